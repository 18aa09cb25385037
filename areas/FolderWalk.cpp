#include "FolderWalk.h"

#include "FileTarget.h"
#include "PathText.h"
#include "afx/Handle.h"

namespace
{
// A folder that is there but cannot be listed is reported; a missing one is not.
void ReportUnlisted(CFolderWalk& walk, DWORD error)
{
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_NO_MORE_FILES)
        walk.tick.ReportProblem(PROBLEM_UNREADABLE, walk.path, ErrorText(error));
}

// Calls AddFolderEntry for every match of pattern (a name or wildcard in walk's folder).
void AddMatches(CFolderWalk& walk, const wchar_t* pattern)
{
    WIN32_FIND_DATAW data;
    CFindHandle find;
    DWORD error = find.First(walk.wide + L"\\" + pattern, data);
    if (error != ERROR_SUCCESS)
    {
        ReportUnlisted(walk, error);
        return;
    }
    do
    {
        if (walk.tick.IsStopRequested())
            return;
        AddFolderEntry(data, walk);
    } while (find.Next(data));
}
} // namespace

void WalkFolder(const CString& folder, int fileKind, int folderKind, CFoundItemList& list, CTickable& tick)
{
    // A caller's trailing backslash would double the separator in every path below.
    CString parent = WithoutTrailingSeparators(folder);
    if (parent.IsEmpty())
        return;
    CFolderWalk walk = {fileKind, folderKind, list, tick, parent, ToLongPath(parent)};
    AddMatches(walk, L"*");
}

void AddFolderEntry(const WIN32_FIND_DATAW& entry, CFolderWalk& walk)
{
    if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0)
        return;
    // A junction or link may lead anywhere (the user's documents, a whole drive):
    // following it would delete what was never inside the walked folder.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return;
    CString name;
    bool exact = WideToUtf8(entry.cFileName, wcslen(entry.cFileName), name);
    // A name holding a separator or a drive colon would be read as a path leading
    // out of the folder; it is neither listed nor touched.
    if (!IsPlainName(entry.cFileName))
    {
        walk.tick.ReportProblem(PROBLEM_SKIPPED, walk.path + "\\" + name, "not a plain file name; left alone");
        return;
    }
    CString path = walk.path + "\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    {
        walk.list.push_back(CCleanTargetPtr(new CFileTarget(path + "\\", walk.folderKind, exact)));
        walk.tick.Tick();
        if (!exact)
            return; // its content could not be named either
        const size_t wideLength = walk.wide.size();
        const CString parent = walk.path;
        walk.wide += L"\\";
        walk.wide += entry.cFileName;
        walk.path = path;
        AddMatches(walk, L"*");
        walk.wide.resize(wideLength);
        walk.path = parent;
    }
    else
    {
        walk.list.push_back(CCleanTargetPtr(new CFileTarget(path, walk.fileKind, exact)));
        walk.tick.Tick();
    }
}

std::vector<CString> GetFixedDriveNames()
{
    std::vector<CString> names;
    char drives[260];
    DWORD length = GetLogicalDriveStringsA(sizeof(drives), drives);
    if (length == 0 || length > sizeof(drives))
        return names;
    for (const char* drive = drives; *drive; drive += strlen(drive) + 1)
    {
        if (GetDriveTypeA(drive) == DRIVE_FIXED)
            names.push_back(CString(drive, 2));
    }
    return names;
}

void ScanScanDiskFragments(CFoundItemList& list, CTickable& tick)
{
    for (const CString& drive : GetFixedDriveNames())
    {
        CFolderWalk walk = {FK_SCANDISK_FILE, FK_SCANDISK_FOLDER, list, tick, drive, ToLongPath(drive + "\\")};
        walk.wide.resize(walk.wide.size() - 1); // "\\?\C:" + "\" + pattern
        AddMatches(walk, L"file????.chk");
        AddMatches(walk, L"found.???");
    }
}

std::vector<CString> FindSubfolders(const CString& folder, const wchar_t* pattern)
{
    std::vector<CString> names;
    if (folder.IsEmpty())
        return names;
    WIN32_FIND_DATAW data;
    CFindHandle find;
    if (find.First(ToLongPath(WithoutTrailingSeparators(folder)) + L"\\" + pattern, data) != ERROR_SUCCESS)
        return names;
    do
    {
        CString name;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsPlainName(data.cFileName) &&
            WideToUtf8(data.cFileName, wcslen(data.cFileName), name))
            names.push_back(name);
    } while (find.Next(data));
    return names;
}

CString FindDefaultProfile(const CString& folder)
{
    std::vector<CString> names = FindSubfolders(folder, L"*.default");
    return names.empty() ? CString() : folder + names[0] + "\\";
}
