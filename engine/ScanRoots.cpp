#include "ScanRoots.h"

#include "ScanPaths.h"
#include "areas/EntryHandle.h"
#include "areas/PathText.h"

#include <shlobj.h>

namespace
{
// Folders of the user and the system that a scratch folder never is nor holds.
const int kProtectedFolders[] = {CSIDL_WINDOWS,       CSIDL_SYSTEM,           CSIDL_PROFILE,
                                 CSIDL_PERSONAL,      CSIDL_DESKTOPDIRECTORY, CSIDL_APPDATA,
                                 CSIDL_LOCAL_APPDATA, CSIDL_PROGRAM_FILES,    CSIDL_MYPICTURES,
                                 CSIDL_MYMUSIC,       CSIDL_MYVIDEO,          CSIDL_COMMON_APPDATA};

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
    for (int csidl : kProtectedFolders)
    {
        CString folder = ResolveFolder(GetShellFolderPath(owner, csidl));
        if (!folder.IsEmpty())
            m_protected.push_back(folder);
    }
}

CScanRoots::CScanRoots(const std::vector<CString>& protectedFolders)
{
    for (const CString& folder : protectedFolders)
    {
        CString resolved = ResolveFolder(folder);
        m_protected.push_back(resolved.IsEmpty() ? folder : resolved);
    }
}

CScanRoots::Verdict CScanRoots::Admit(const CString& path, CString& resolved, CString& reason)
{
    // "C:" alone (a temp path of "C:\" without its separator) is the drive's root.
    const bool bareDrive = path.GetLength() == 2 && path[1] == ':';
    resolved = ResolveFolder(bareDrive ? path + "\\" : path);
    if (resolved.IsEmpty())
        return ROOT_MISSING;
    if (IsDriveOrShareRoot(resolved))
    {
        reason = "a drive root, not a temporary folder; not walked";
        return ROOT_REFUSED;
    }
    for (const CString& folder : m_protected)
    {
        if (IsSameOrBelow(folder, resolved))
        {
            reason = "holds " + folder + ", not a temporary folder; not walked";
            return ROOT_REFUSED;
        }
    }
    if (!m_walked.insert(FoldedKey(resolved)).second)
        return ROOT_DUPLICATE;
    return ROOT_WALK;
}
