#include "TestUtil.h"

#include <windows.h>

namespace testutil
{
CString MakeTestRoot(const char* name)
{
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    CString root;
    root.Format("%sqv-%s-%lu-%d", temp, name, GetCurrentProcessId(), ++counter);
    RemoveTree(root);
    CreateDirectoryA(root, nullptr);
    return root;
}

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool MakeDir(const CString& path) { return CreateDirectoryA(path, nullptr) != FALSE; }

bool WriteBytes(const CString& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(h);
    return ok && done == bytes.size();
}

bool ReadBytes(const CString& path, std::string& bytes)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    GetFileSizeEx(h, &size);
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    BOOL ok = bytes.empty() || ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(h);
    return ok && done == bytes.size();
}

bool Exists(const CString& path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const CString& path)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path + "\\*", &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (!strcmp(data.cFileName, ".") || !strcmp(data.cFileName, ".."))
                continue;
            CString child = path + "\\" + data.cFileName;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(child);
            else
            {
                SetFileAttributesA(child, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child);
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path);
}
} // namespace testutil
