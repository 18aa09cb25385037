#include "FolderWalk.h"
#include "afx/App.h"

#include "FileTarget.h"
#include "FolderChain.h"
#include "PathText.h"
#include "Wildcard.h"
#include "afx/Handle.h"

namespace
{
// One walk in progress: where it is and what it makes of the entries.
struct CFolderWalk
{
    int fileKind;
    int folderKind;
    CFoundItemList& list;
    CTickable& tick;
    CString path; // the folder being listed, plain form, no trailing separator
};

// One entry of a listing, copied out of the system's buffer before the walk goes down.
struct CListedEntry
{
    DWORD attributes;
    std::wstring name;
};

const size_t kListBuffer = 64 * 1024;

// A folder that is there but cannot be listed is reported; a missing one is not.
void ReportUnlisted(CFolderWalk& walk, DWORD error)
{
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_NO_MORE_FILES)
        walk.tick.ReportProblem(PROBLEM_UNREADABLE, walk.path, ErrorText(error));
}

// Reads the next part of an open folder's listing; false at its end (error 0) or when
// it could not be read (error set).
bool ReadListing(HANDLE folder, bool first, std::vector<CListedEntry>& entries, DWORD& error)
{
    thread_local std::vector<LONGLONG>* slot = nullptr;
    std::vector<LONGLONG>& buffer = AfxThreadObject(slot);
    buffer.resize(kListBuffer / sizeof(LONGLONG));
    entries.clear();
    error = ERROR_SUCCESS;
    if (!GetFileInformationByHandleEx(folder, first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo,
                                      buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(LONGLONG))))
    {
        DWORD code = GetLastError();
        if (code != ERROR_NO_MORE_FILES)
            error = code;
        return false;
    }
    const BYTE* at = reinterpret_cast<const BYTE*>(buffer.data());
    for (;;)
    {
        const FILE_ID_BOTH_DIR_INFO* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
        entries.push_back({info->FileAttributes, std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t))});
        if (info->NextEntryOffset == 0)
            return true;
        at += info->NextEntryOffset;
    }
}

void ListFolder(HANDLE folder, CFolderWalk& walk);

// Handles one entry of the folder open as parent (walk.path).
void AddFolderEntry(HANDLE parent, const CListedEntry& entry, CFolderWalk& walk)
{
    const wchar_t* raw = entry.name.c_str();
    if (entry.name == L"." || entry.name == L"..")
        return;
    // A junction or link may lead anywhere (the user's documents, a whole drive):
    // following it would delete what was never inside the walked folder.
    if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return;
    CString name;
    const bool exact = WideToUtf8(raw, entry.name.size(), name);
    // A name holding a separator or a drive colon would be read as a path leading
    // out of the folder; it is neither listed nor touched.
    if (!IsPlainName(raw))
    {
        walk.tick.ReportProblem(PROBLEM_SKIPPED, walk.path + "\\" + name, "not a plain file name; left alone");
        return;
    }
    const CString path = walk.path + "\\" + name;
    if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        walk.list.push_back(std::make_shared<CFileTarget>(path, walk.fileKind, exact));
        walk.tick.Tick();
        return;
    }
    walk.list.push_back(std::make_shared<CFileTarget>(path + "\\", walk.folderKind, exact));
    walk.tick.Tick();
    if (!exact)
        return; // its content could not be named either
    const CString outer = walk.path;
    walk.path = path;
    HANDLE child = INVALID_HANDLE_VALUE;
    const DWORD error = OpenRelative(parent, raw, entry.name.size(), kFolderListAccess, kShareAll, true, false, child);
    if (error != ERROR_SUCCESS)
        ReportUnlisted(walk, error);
    else
    {
        CHandle owned(child);
        ListFolder(owned, walk);
    }
    walk.path = outer;
}

// Calls AddFolderEntry for every entry of the open folder (walk.path).
void ListFolder(HANDLE folder, CFolderWalk& walk)
{
    std::vector<CListedEntry> entries;
    DWORD error = ERROR_SUCCESS;
    for (bool first = true; ReadListing(folder, first, entries, error); first = false)
    {
        for (const CListedEntry& entry : entries)
        {
            if (walk.tick.IsStopRequested())
                return;
            AddFolderEntry(folder, entry, walk);
        }
    }
    if (error != ERROR_SUCCESS)
        ReportUnlisted(walk, error);
}

// One rule's walk in progress.
struct CMatchWalk
{
    IMatchingWalk& rule;
    bool recurse;
    bool removeSelf;
    CFoundItemList& list;
    CTickable& tick;
    CString path; // the folder being listed, plain form, no trailing separator
};

// Lists the matching entries of the open folder (walk.path); true when every entry in it
// was listed, so that the clean leaves it empty.
bool ListMatching(HANDLE folder, CMatchWalk& walk)
{
    bool complete = true;
    std::vector<CListedEntry> entries;
    DWORD error = ERROR_SUCCESS;
    for (bool first = true; ReadListing(folder, first, entries, error); first = false)
    {
        for (const CListedEntry& entry : entries)
        {
            if (walk.tick.IsStopRequested())
                return false;
            if (entry.name == L"." || entry.name == L"..")
                continue;
            CString name;
            const bool exact = WideToUtf8(entry.name.data(), entry.name.size(), name);
            // Links are neither listed nor entered, and keep their folder.
            if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !exact)
            {
                complete = false;
                continue;
            }
            const CString path = walk.path + "\\" + name;
            if (!IsPlainName(entry.name.c_str()))
            {
                walk.tick.ReportProblem(PROBLEM_SKIPPED, path, "not a plain file name; left alone");
                complete = false;
                continue;
            }
            const bool isFolder = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder ? !walk.recurse || walk.rule.IsKept(path, true)
                         : !walk.rule.Matches(FoldedName(entry.name)) || walk.rule.IsKept(path, false))
            {
                complete = false;
                continue;
            }
            if (!isFolder)
            {
                walk.list.push_back(walk.rule.MakeTarget(path, false));
                walk.tick.Tick();
                continue;
            }
            HANDLE child = INVALID_HANDLE_VALUE;
            const DWORD opened =
                OpenRelative(folder, entry.name.c_str(), entry.name.size(), kFolderListAccess, kShareAll, true, false, child);
            if (opened != ERROR_SUCCESS)
            {
                walk.tick.ReportProblem(PROBLEM_UNREADABLE, path, ErrorText(opened));
                complete = false;
                continue;
            }
            CHandle owned(child);
            const size_t at = walk.list.size();
            const CString outer = walk.path;
            walk.path = path;
            const bool emptied = ListMatching(owned, walk);
            walk.path = outer;
            // A folder comes before its content: the clean, which runs from the last item
            // up, reaches it once its content is gone.
            if (emptied && walk.removeSelf)
            {
                walk.list.insert(walk.list.begin() + static_cast<std::ptrdiff_t>(at), walk.rule.MakeTarget(path, true));
                walk.tick.Tick();
            }
            else
                complete = false;
        }
    }
    if (error != ERROR_SUCCESS)
    {
        walk.tick.ReportProblem(PROBLEM_UNREADABLE, walk.path, ErrorText(error));
        complete = false;
    }
    return complete;
}

// Walks the folder at the literal path wide (reported as walk.path).
void WalkFrom(const std::wstring& wide, CFolderWalk& walk)
{
    CHandle folder(OpenFolderForListing(wide));
    if (!folder.IsValid())
        ReportUnlisted(walk, GetLastError());
    else
        ListFolder(folder, walk);
}
} // namespace

void WalkFolder(const CString& folder, int fileKind, int folderKind, CFoundItemList& list, CTickable& tick)
{
    // A caller's trailing backslash would double the separator in every path below.
    CString parent = WithoutTrailingSeparators(folder);
    if (parent.IsEmpty())
        return;
    CFolderWalk walk = {fileKind, folderKind, list, tick, parent};
    WalkFrom(ToLongPath(parent), walk);
}

void WalkMatching(const CString& folder, bool recurse, bool removeSelf, IMatchingWalk& rule, CFoundItemList& list,
                  CTickable& tick)
{
    const CString parent = WithoutTrailingSeparators(folder);
    if (parent.IsEmpty())
        return;
    CHandle handle(OpenFolderForListing(ToLongPath(parent)));
    if (!handle.IsValid())
    {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            tick.ReportProblem(PROBLEM_UNREADABLE, parent, ErrorText(error));
        return;
    }
    CMatchWalk walk = {rule, recurse, removeSelf, list, tick, parent};
    const size_t at = list.size();
    if (ListMatching(handle, walk) && removeSelf)
    {
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), rule.MakeTarget(parent, true));
        tick.Tick();
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
        CHandle root(OpenFolderForListing(ToLongPath(drive + "\\")));
        if (!root.IsValid())
            continue;
        CFolderWalk walk = {FK_SCANDISK_FILE, FK_SCANDISK_FOLDER, list, tick, drive};
        // The patterns are matched as the system matches them (short names included).
        for (const wchar_t* pattern : {L"file????.chk", L"found.???"})
        {
            WIN32_FIND_DATAW data;
            CFindHandle find;
            if (find.First(ToLongPath(drive + "\\") + pattern, data) != ERROR_SUCCESS)
                continue;
            do
            {
                if (tick.IsStopRequested())
                    return;
                AddFolderEntry(root, {data.dwFileAttributes, data.cFileName}, walk);
            } while (find.Next(data));
        }
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
