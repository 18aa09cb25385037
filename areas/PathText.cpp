#include "PathText.h"

#include <cwchar>

std::wstring ToLongPath(const CString& path)
{
    std::wstring wide = Utf8ToWide(path, path.GetLength());
    if (wide.compare(0, 4, L"\\\\?\\") == 0)
        return wide;
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    if (wide.size() >= 3 && wide[0] == L'\\' && wide[1] == L'\\' && wide[2] != L'.' && wide[2] != L'?')
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

CString FromLongPath(const std::wstring& path)
{
    size_t skip = 0;
    std::wstring prefix;
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    {
        skip = 8;
        prefix = L"\\\\";
    }
    else if (path.compare(0, 4, L"\\\\?\\") == 0)
        skip = 4;
    std::wstring plain = prefix + path.substr(skip);
    CString text;
    WideToUtf8(plain.data(), plain.size(), text);
    return text;
}

DWORD GetPathAttributes(const CString& path)
{
    return GetFileAttributesW(ToLongPath(path).c_str());
}

bool IsFilePath(const CString& path)
{
    DWORD attributes = GetPathAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolderPath(const CString& path)
{
    DWORD attributes = GetPathAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsPlainName(const wchar_t* name)
{
    if (!name || !*name || wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0)
        return false;
    return wcspbrk(name, L"\\/:") == nullptr;
}

CString LastComponent(const CString& path)
{
    int slash = path.ReverseFind('\\');
    return path.Mid(slash + 1);
}

CString WithoutTrailingSeparators(const CString& path)
{
    int length = path.GetLength();
    while (length > 0 && path[length - 1] == '\\')
        --length;
    return path.Left(length);
}

bool SplitVolumePath(const CString& path, CString& root, CString& rest)
{
    const int length = path.GetLength();
    if (length >= 3 && path[1] == ':' && path[2] == '\\')
    {
        root = path.Left(3);
        rest = path.Mid(2);
        return true;
    }
    if (length > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.')
    {
        int share = path.Find('\\', 2);
        int end = share < 0 ? -1 : path.Find('\\', share + 1);
        if (share <= 2 || end < 0)
            return false;
        root = path.Left(end + 1);
        rest = path.Mid(1);
        return true;
    }
    return false;
}
