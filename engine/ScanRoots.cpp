#include "ScanRoots.h"

#include "ScanPaths.h"
#include "afx/Com.h"
#include "areas/EntryHandle.h"
#include "areas/PathText.h"

#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace
{
// The user's and the system's folders, and whether a root may lie inside them.
const struct
{
    int csidl;
    bool inside;
} kProtectedFolders[] = {
    {CSIDL_WINDOWS, false},          {CSIDL_SYSTEM, false},          {CSIDL_PROFILE, false},
    {CSIDL_APPDATA, false},          {CSIDL_LOCAL_APPDATA, false},   {CSIDL_COMMON_APPDATA, false},
    {CSIDL_PERSONAL, true},          {CSIDL_DESKTOPDIRECTORY, true}, {CSIDL_MYPICTURES, true},
    {CSIDL_MYMUSIC, true},           {CSIDL_MYVIDEO, true},          {CSIDL_PROGRAM_FILES, true},
    {CSIDL_PROGRAM_FILESX86, true},  {CSIDL_FAVORITES, true},
};

std::wstring FoldedKey(const CString& path)
{
    std::wstring wide = Utf8ToWide(path, path.GetLength());
    if (!wide.empty())
        CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return wide;
}

bool IsDriveOrShareRoot(const CString& path)
{
    CString root, rest;
    if (!SplitVolumePath(path, root, rest))
        return true; // not an absolute path: never a place to empty
    return path.GetLength() <= root.GetLength();
}

CString DownloadsFolder()
{
    CCoTaskMem<wchar_t> path;
    CString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, path.Receive())) && path.Get())
        WideToUtf8(path.Get(), wcslen(path.Get()), folder);
    return folder;
}

void AddProtected(std::vector<CScanRoots::CProtected>& folders, const CString& path, bool inside, bool favorites)
{
    if (path.IsEmpty())
        return;
    CString resolved = ResolveFolder(path);
    folders.push_back({resolved.IsEmpty() ? path : resolved, inside, favorites});
}
} // namespace

bool IsSameOrBelow(const CString& inner, const CString& outer)
{
    std::wstring a = FoldedKey(inner), b = FoldedKey(outer);
    while (!b.empty() && b.back() == L'\\')
        b.pop_back();
    if (b.empty() || a.compare(0, b.size(), b) != 0)
        return false;
    return a.size() == b.size() || a[b.size()] == L'\\';
}

CScanRoots::CScanRoots(HWND owner)
{
    for (const auto& folder : kProtectedFolders)
        AddProtected(m_protected, GetShellFolderPath(owner, folder.csidl), folder.inside,
                     folder.csidl == CSIDL_FAVORITES);
    AddProtected(m_protected, DownloadsFolder(), true, false);
}

CScanRoots::CScanRoots(const std::vector<CProtected>& protectedFolders)
{
    for (const CProtected& folder : protectedFolders)
        AddProtected(m_protected, folder.path, folder.inside, folder.favorites);
}

CScanRoots::Verdict CScanRoots::Check(const CString& path, CString& resolved, CString& reason, bool favoritesArea,
                                      const char* what) const
{
    // "C:" alone (a temp path of "C:\" without its separator) is the drive's root.
    const bool bareDrive = path.GetLength() == 2 && path[1] == ':';
    resolved = ResolveFolder(bareDrive ? path + "\\" : path);
    if (resolved.IsEmpty())
        return ROOT_MISSING;
    const CString leads = resolved.CompareNoCase(WithoutTrailingSeparators(path)) == 0 ? CString()
                                                                                        : " (where it leads)";
    if (IsDriveOrShareRoot(resolved))
    {
        reason = "a drive root" + leads + what;
        return ROOT_REFUSED;
    }
    for (const CProtected& folder : m_protected)
    {
        if (folder.favorites && favoritesArea)
            continue;
        if (IsSameOrBelow(folder.path, resolved))
        {
            reason = (IsSameOrBelow(resolved, folder.path) ? "is " : "holds ") + folder.path + leads + what;
            return ROOT_REFUSED;
        }
        if (folder.inside && IsSameOrBelow(resolved, folder.path))
        {
            reason = "lies inside " + folder.path + leads + what;
            return ROOT_REFUSED;
        }
    }
    return ROOT_WALK;
}

CScanRoots::Verdict CScanRoots::Admit(const CString& path, CString& resolved, CString& reason, bool favoritesArea)
{
    Verdict verdict = Check(path, resolved, reason, favoritesArea, ", not a temporary folder; not walked");
    if (verdict == ROOT_WALK && !m_walked.insert(FoldedKey(resolved)).second)
        return ROOT_DUPLICATE;
    return verdict;
}

CScanRoots::Verdict CScanRoots::AdmitProfile(const CString& path, CString& resolved, CString& reason)
{
    return Check(path, resolved, reason, false, ", not a browser profile; not read");
}
