// Owners of the system's handles that have no class of their own elsewhere: a kernel
// object, a directory listing, a registry key. Each closes what it holds, and each
// opening call returns the status of the call it wraps.
#pragma once

#include <string>
#include <windows.h>

// A kernel object handle (file, process, thread, mutex). Null and INVALID_HANDLE_VALUE
// both mean "none".
class CHandle
{
public:
    CHandle() : m_h(nullptr) {}
    explicit CHandle(HANDLE h) : m_h(h) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    bool IsValid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }
    operator HANDLE() const { return m_h; }
    // Takes h (closing what was held); true when h is a handle.
    bool Reset(HANDLE h = nullptr)
    {
        Close();
        m_h = h;
        return IsValid();
    }
    HANDLE Detach()
    {
        HANDLE h = m_h;
        m_h = nullptr;
        return h;
    }
    void Close()
    {
        if (IsValid())
            ::CloseHandle(m_h);
        m_h = nullptr;
    }

private:
    HANDLE m_h;
};

// A directory listing (FindFirstFileExW in the basic, large-fetch form).
class CFindHandle
{
public:
    CFindHandle() : m_h(INVALID_HANDLE_VALUE) {}
    ~CFindHandle() { Close(); }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    // Starts a listing of pattern; ERROR_SUCCESS with the first entry in data, or the error.
    DWORD First(const std::wstring& pattern, WIN32_FIND_DATAW& data)
    {
        Close();
        m_h = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
        return m_h == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    }
    // The next entry; false at the end (ERROR_NO_MORE_FILES in GetLastError) or on failure.
    bool Next(WIN32_FIND_DATAW& data) { return ::FindNextFileW(m_h, &data) != FALSE; }
    bool IsValid() const { return m_h != INVALID_HANDLE_VALUE; }
    void Close()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            ::FindClose(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_h;
};

// An open registry key.
class CRegKey
{
public:
    CRegKey() : m_key(nullptr) {}
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    // ERROR_SUCCESS, or the registry's error (ERROR_FILE_NOT_FOUND when there is no such key).
    LONG Open(HKEY root, const char* path, REGSAM access)
    {
        Close();
        return ::RegOpenKeyExA(root, path, 0, access, &m_key);
    }
    // options: REG_OPTION_OPEN_LINK opens a registry link as itself.
    LONG OpenW(HKEY root, const wchar_t* path, REGSAM access, DWORD options = 0)
    {
        Close();
        return ::RegOpenKeyExW(root, path, options, access, &m_key);
    }
    HKEY Get() const { return m_key; }
    operator HKEY() const { return m_key; }
    void Attach(HKEY key)
    {
        Close();
        m_key = key;
    }
    HKEY Detach()
    {
        HKEY key = m_key;
        m_key = nullptr;
        return key;
    }
    void Close()
    {
        if (m_key)
            ::RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key;
};
