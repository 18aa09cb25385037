#include "ScanPaths.h"

#include <shlobj.h>

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

const DWORD kTempBuffer = 4096;

void RemoveOneTrailingSeparator(CString& path)
{
    int last = path.GetLength() - 1;
    if (last >= 0 && (path[last] == '\\' || path[last] == '/'))
        path = path.Left(last);
}
} // namespace

CString GetShellFolderPath(HWND owner, int csidl)
{
    char path[MAX_PATH];
    if (FAILED(SHGetFolderPathA(owner, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return CString();
    return CString(path);
}

CString ResolveUserTempPath()
{
    CString tempPath;
    DWORD length = GetTempPathA(kTempBuffer, tempPath.GetBuffer(kTempBuffer));
    tempPath.ReleaseBuffer(length > 0 && length < kTempBuffer ? static_cast<int>(length) : 0);
    RemoveOneTrailingSeparator(tempPath);

    CString tempVariable;
    length = GetEnvironmentVariableA("TEMP", tempVariable.GetBuffer(kTempBuffer), kTempBuffer);
    tempVariable.ReleaseBuffer(length > 0 && length < kTempBuffer ? static_cast<int>(length) : 0);
    RemoveOneTrailingSeparator(tempVariable);

    if (tempPath.CompareNoCase(tempVariable) != 0)
        return CString();
    return tempPath;
}

void ResolveScanPaths(CScanPaths& paths, HWND owner)
{
    for (const auto& registryPath : kRegistryPaths)
        paths[registryPath.entry] = registryPath.key;
    for (const auto& folder : kShellFolders)
        paths[folder.entry] = GetShellFolderPath(owner, folder.csidl);
    paths[SP_WINDOWS_TEMP] = GetShellFolderPath(owner, CSIDL_WINDOWS);
    // Without a Windows folder there is no Windows temp folder to walk.
    if (!paths[SP_WINDOWS_TEMP].IsEmpty())
        paths[SP_WINDOWS_TEMP] += "\\TEMP";
    paths[SP_APPDATA] = GetShellFolderPath(owner, CSIDL_APPDATA);
    paths[SP_LOCAL_APPDATA] = GetShellFolderPath(owner, CSIDL_LOCAL_APPDATA);
    paths[SP_USER_TEMP] = ResolveUserTempPath();
}
