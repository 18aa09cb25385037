#include "File.h"

#include <vector>

CString GetRunningProgramPath(bool* exact)
{
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    CString text;
    bool converted = false;
    if (length > 0 && length < path.size())
        converted = WideToUtf8(path.data(), length, text);
    if (exact)
        *exact = converted;
    return text;
}

BOOL CFile::Open(const char* fileName, UINT openFlags, DWORD extraFlags)
{
    Close();
    if (!fileName)
        return FALSE;

    DWORD access = GENERIC_READ;
    switch (openFlags & 3)
    {
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    case modeReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        break;
    }

    DWORD share = 0;
    switch (openFlags & 0x70)
    {
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        break;
    default: // shareExclusive, and MFC's compatibility mode
        share = 0;
        break;
    }

    DWORD creation = OPEN_EXISTING;
    if (openFlags & modeCreate)
        creation = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    DWORD attributes = FILE_ATTRIBUTE_NORMAL | extraFlags;
    if (openFlags & osRandomAccess)
        attributes |= FILE_FLAG_RANDOM_ACCESS;
    if (openFlags & osSequentialScan)
        attributes |= FILE_FLAG_SEQUENTIAL_SCAN;

    m_hFile = CreateFileA(fileName, access, share, nullptr, creation, attributes, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
    {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

bool CFile::GetLength(ULONGLONG& length) const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(m_hFile, &size))
        return false;
    length = static_cast<ULONGLONG>(size.QuadPart);
    return true;
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!IsOpen() || !SetFilePointerEx(m_hFile, distance, &position, from))
        return static_cast<ULONGLONG>(-1);
    return static_cast<ULONGLONG>(position.QuadPart);
}

UINT CFile::Read(void* buffer, UINT count)
{
    DWORD done = 0;
    if (!IsOpen() || !ReadFile(m_hFile, buffer, count, &done, nullptr))
        return 0;
    return done;
}

BOOL CFile::Write(const void* buffer, UINT count)
{
    DWORD done = 0;
    if (!IsOpen() || !WriteFile(m_hFile, buffer, count, &done, nullptr))
        return FALSE;
    return done == count;
}

BOOL CFile::SetLength(ULONGLONG length)
{
    if (Seek(static_cast<LONGLONG>(length), begin) != length)
        return FALSE;
    return SetEndOfFile(m_hFile);
}

BOOL CFile::Flush() { return IsOpen() && FlushFileBuffers(m_hFile); }
