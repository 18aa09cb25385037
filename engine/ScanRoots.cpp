#include "ScanRoots.h"

#include "ScanPaths.h"
#include "afx/Com.h"
#include "afx/File.h"
#include "areas/EntryHandle.h"
#include "areas/PathText.h"

#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace
{
// The user's and the system's folders, whether a root may lie inside them, and whether
// they hold the user's own files.
const struct
{
    int csidl;
    bool inside;
    bool content;
    bool appData;
} kProtectedFolders[] = {
    {CSIDL_WINDOWS, false, false, false},         {CSIDL_SYSTEM, false, false, false},
    {CSIDL_PROFILE, false, false, false},         {CSIDL_APPDATA, false, false, true},
    {CSIDL_LOCAL_APPDATA, false, false, true},    {CSIDL_COMMON_APPDATA, false, false, true},
    {CSIDL_PERSONAL, true, true, false},          {CSIDL_DESKTOPDIRECTORY, true, true, false},
    {CSIDL_MYPICTURES, true, true, false},        {CSIDL_MYMUSIC, true, true, false},
    {CSIDL_MYVIDEO, true, true, false},           {CSIDL_PROGRAM_FILES, true, false, false},
    {CSIDL_PROGRAM_FILESX86, true, false, false}, {CSIDL_FAVORITES, true, true, false},
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

void AddProtected(std::vector<CScanRoots::CProtected>& folders, const CScanRoots::CProtected& folder)
{
    if (folder.path.IsEmpty())
        return;
    CString resolved = ResolveFolder(folder.path);
    folders.push_back(folder);
    if (!resolved.IsEmpty())
        folders.back().path = resolved;
}
} // namespace

namespace
{
// IsSameOrBelow of two folded paths.
bool IsKeySameOrBelow(const std::wstring& inner, std::wstring outer)
{
    while (!outer.empty() && outer.back() == L'\\')
        outer.pop_back();
    if (outer.empty() || inner.compare(0, outer.size(), outer) != 0)
        return false;
    return inner.size() == outer.size() || inner[outer.size()] == L'\\';
}
} // namespace

bool IsSameOrBelow(const CString& inner, const CString& outer)
{
    return IsKeySameOrBelow(FoldedKey(inner), FoldedKey(outer));
}

CScanRoots::CScanRoots(HWND owner)
{
    for (const auto& folder : kProtectedFolders)
        AddProtected(m_protected, {GetShellFolderPath(owner, folder.csidl), folder.inside,
                                   folder.csidl == CSIDL_FAVORITES, folder.content, folder.appData});
    AddProtected(m_protected, {DownloadsFolder(), true, false, true});
    // The program's own choices and rule files, and the folder it runs from: no rule
    // reaches them, as none reaches the user's documents.
    const CString appData = GetShellFolderPath(owner, CSIDL_APPDATA);
    if (!appData.IsEmpty())
        AddProtected(m_protected, {appData + "\\Quorvantis", true, false, true, false, true});
    const CString program = GetRunningProgramPath();
    const int slash = program.ReverseFind('\\');
    if (slash > 2)
        AddProtected(m_protected, {program.Left(slash), true, false, true, false, true});
}

CScanRoots::CScanRoots(const std::vector<CProtected>& protectedFolders)
{
    for (const CProtected& folder : protectedFolders)
        AddProtected(m_protected, folder);
}

CScanRoots::Verdict CScanRoots::Check(const CString& path, CString& resolved, CString& reason, bool favoritesArea,
                                      const char* what, bool CProtected::*inside) const
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
    // The program's own folders guard against rules only: the walks may hold them.
    const bool forRules = inside != &CProtected::inside;
    for (const CProtected& folder : m_protected)
    {
        if ((folder.favorites && favoritesArea) || (folder.rulesOnly && !forRules))
            continue;
        if (IsSameOrBelow(folder.path, resolved))
        {
            reason = (IsSameOrBelow(resolved, folder.path) ? "is " : "holds ") + folder.path + leads + what;
            return ROOT_REFUSED;
        }
        if (inside && folder.*inside && IsSameOrBelow(resolved, folder.path))
        {
            reason = "lies inside " + folder.path + leads + what;
            return ROOT_REFUSED;
        }
    }
    return ROOT_WALK;
}

CScanRoots::Verdict CScanRoots::Admit(const CString& path, CString& resolved, CString& reason, bool favoritesArea)
{
    Verdict verdict =
        Check(path, resolved, reason, favoritesArea, ", not a temporary folder; not walked", &CProtected::inside);
    if (verdict == ROOT_WALK && !m_walked.insert(FoldedKey(resolved)).second)
        return ROOT_DUPLICATE;
    return verdict;
}

CScanRoots::Verdict CScanRoots::AdmitProfile(const CString& path, CString& resolved, CString& reason)
{
    return Check(path, resolved, reason, false, ", not a browser profile; not read", &CProtected::inside);
}

bool CScanRoots::IsApplicationDataFolder(const CString& resolved) const
{
    for (const CProtected& folder : m_protected)
        if (folder.appData && IsSameOrBelow(resolved, folder.path) && IsSameOrBelow(folder.path, resolved))
            return true;
    return false;
}

bool CScanRoots::IsAboveProtected(const CString& path, CString& reason) const
{
    if (IsDriveOrShareRoot(path))
    {
        reason = "a drive root";
        return true;
    }
    // The folder as named and where it leads: it need not be there yet.
    const CString resolved = ResolveFolder(path);
    for (const CProtected& folder : m_protected)
    {
        if (IsSameOrBelow(folder.path, path) || (!resolved.IsEmpty() && IsSameOrBelow(folder.path, resolved)))
        {
            reason = (IsSameOrBelow(path, folder.path) ? "is " : "holds ") + folder.path;
            return true;
        }
    }
    return false;
}

CScanRoots::Verdict CScanRoots::AdmitRuleFolder(const CString& path, CString& resolved, CString& reason,
                                                bool takesAll) const
{
    CString root, rest;
    if (!SplitVolumePath(path, root, rest))
    {
        reason = "not a full path";
        return ROOT_REFUSED;
    }
    const Verdict verdict = Check(path, resolved, reason, false, "", takesAll ? &CProtected::content : nullptr);
    if (verdict != ROOT_WALK)
        return verdict;
    const std::wstring key = FoldedKey(resolved);
    for (const std::wstring& walked : m_walked)
        if (IsKeySameOrBelow(key, walked))
            return ROOT_DUPLICATE;
    return ROOT_WALK;
}
