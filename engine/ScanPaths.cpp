#include "ScanPaths.h"

#include <shlobj.h>

#include <string>

namespace
{
const struct
{
    int entry;
    const char* key;
} kRegistryPaths[] = {
    {SP_ACMRU_5001, "Software\\Microsoft\\Search Assistant\\ACMru\\5001"},
    {SP_ACMRU_5603, "Software\\Microsoft\\Search Assistant\\ACMru\\5603"},
    {SP_ACMRU_5604, "Software\\Microsoft\\Search Assistant\\ACMru\\5604"},
    {SP_ACMRU_5647, "Software\\Microsoft\\Search Assistant\\ACMru\\5647"},
    {SP_RUN_MRU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"},
    {SP_UNUSED_12, ""},
    {SP_EXCEL, "Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files"},
    {SP_POWERPOINT, "Software\\Microsoft\\Office\\11.0\\PowerPoint\\Recent File List"},
    {SP_UNUSED_15, ""},
    {SP_WORDPAD, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List"},
    {SP_PAINT, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List"},
    {SP_MEDIAPLAYER_FILES, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList"},
    {SP_MEDIAPLAYER_URLS, "Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList"},
    {SP_TYPED_URLS, "Software\\Microsoft\\Internet Explorer\\TypedURLs"},
    {SP_INTELLIFORMS_1, "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage1"},
    {SP_INTELLIFORMS_2, "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage2"},
};

const struct
{
    int entry;
    int csidl;
} kShellFolders[] = {
    {SP_RECENT, CSIDL_RECENT},       {SP_COOKIES, CSIDL_COOKIES},
    {SP_FAVORITES, CSIDL_FAVORITES}, {SP_HISTORY, CSIDL_HISTORY},
    {SP_INTERNET_CACHE, CSIDL_INTERNET_CACHE},
};

// The names of the folder entries, for what a scan says of one it could not resolve.
const struct
{
    int entry;
    const char* name;
} kFolderNames[] = {
    {SP_WINDOWS_TEMP, "the Windows temporary folder"},
    {SP_USER_TEMP, "the temporary folder"},
    {SP_RECENT, "the Recent folder"},
    {SP_COOKIES, "the Cookies folder"},
    {SP_FAVORITES, "the Favorites folder"},
    {SP_HISTORY, "the History folder"},
    {SP_INTERNET_CACHE, "the Temporary Internet Files folder"},
    {SP_LOCAL_APPDATA, "the local application data folder"},
    {SP_APPDATA, "the application data folder"},
};

CString WithoutOneTrailingSeparator(const CString& path)
{
    int last = path.GetLength() - 1;
    if (last >= 0 && (path[last] == '\\' || path[last] == '/'))
        return path.Left(last);
    return path;
}

CString FromWide(const std::wstring& wide)
{
    CString text;
    WideToUtf8(wide.data(), wide.size(), text);
    return text;
}

// A variable of the environment, as its wide form holds it; false when it is not set.
bool EnvironmentVariable(const wchar_t* name, std::wstring& value)
{
    DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0)
        return false;
    value.assign(length, L'\0');
    length = GetEnvironmentVariableW(name, &value[0], length);
    value.resize(length);
    return true;
}
} // namespace

CString GetShellFolderPath(HWND owner, int csidl, CString* reason)
{
    wchar_t path[MAX_PATH] = {};
    const HRESULT result = SHGetFolderPathW(owner, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    if (FAILED(result))
    {
        if (reason)
            *reason = "the system could not give it: " + ErrorText(static_cast<unsigned long>(result));
        return CString();
    }
    return FromWide(path);
}

CString ResolveUserTempPath(CString* reason)
{
    std::wstring temp(MAX_PATH + 1, L'\0');
    DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), &temp[0]);
    if (length >= temp.size())
    {
        temp.assign(length + 1, L'\0');
        length = GetTempPathW(static_cast<DWORD>(temp.size()), &temp[0]);
    }
    temp.resize(length < temp.size() ? length : 0);
    const CString tempPath = WithoutOneTrailingSeparator(FromWide(temp));

    std::wstring variable;
    EnvironmentVariable(L"TEMP", variable);
    const CString tempVariable = WithoutOneTrailingSeparator(FromWide(variable));
    if (tempPath.IsEmpty() || tempPath.CompareNoCase(tempVariable) != 0)
    {
        if (reason)
            *reason = "the system's temporary folder (" + tempPath +
                      ") is not the one the TEMP variable names (" + tempVariable + "); not walked";
        return CString();
    }
    return tempPath;
}

void ResolveScanPaths(CScanPaths& paths, HWND owner)
{
    for (const auto& registryPath : kRegistryPaths)
        paths[registryPath.entry] = registryPath.key;
    CString reason;
    // A folder the system names but that is not there (Internet Explorer's, on many of
    // today's systems) is simply not walked; only a folder the system cannot name is said.
    auto folder = [&](int entry, int csidl) {
        reason.Empty();
        paths[entry] = GetShellFolderPath(owner, csidl | CSIDL_FLAG_DONT_VERIFY, &reason);
        paths.SetUnresolvedReason(entry, reason);
    };
    for (const auto& shellFolder : kShellFolders)
        folder(shellFolder.entry, shellFolder.csidl);
    folder(SP_WINDOWS_TEMP, CSIDL_WINDOWS);
    // Without a Windows folder there is no Windows temp folder to walk.
    if (!paths[SP_WINDOWS_TEMP].IsEmpty())
        paths[SP_WINDOWS_TEMP] += "\\TEMP";
    folder(SP_APPDATA, CSIDL_APPDATA);
    folder(SP_LOCAL_APPDATA, CSIDL_LOCAL_APPDATA);
    reason.Empty();
    paths[SP_USER_TEMP] = ResolveUserTempPath(&reason);
    paths.SetUnresolvedReason(SP_USER_TEMP, reason);
}

const char* ScanPathName(int entry)
{
    for (const auto& folder : kFolderNames)
        if (folder.entry == entry)
            return folder.name;
    return "a folder";
}
