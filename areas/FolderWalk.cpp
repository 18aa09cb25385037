#include "FolderWalk.h"

#include "FileTarget.h"

namespace
{
// Owns a FindFirstFileA listing.
class CFindHandle
{
public:
    CFindHandle(const CString& pattern, WIN32_FIND_DATAA& data) : m_h(FindFirstFileA(pattern, &data)) {}
    ~CFindHandle()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            FindClose(m_h);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    bool IsValid() const { return m_h != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) { return FindNextFileA(m_h, &data) != FALSE; }

private:
    HANDLE m_h;
};

// Calls AddFolderEntry for every match of pattern, with parent as the entries' folder.
void AddMatches(const CString& pattern, const CString& parent, int fileKind, int folderKind,
                CFoundItemList& list, CTickable& tick)
{
    WIN32_FIND_DATAA data;
    CFindHandle find(pattern, data);
    if (!find.IsValid())
        return;
    do
        AddFolderEntry(data, parent, fileKind, folderKind, list, tick);
    while (find.Next(data));
}

const char kScanDiskFilePattern[] = "\\file????.chk";
const char kScanDiskFolderPattern[] = "\\found.???";
} // namespace

void WalkFolder(const CString& folder, int fileKind, int folderKind, CFoundItemList& list, CTickable& tick)
{
    if (folder.IsEmpty())
        return;
    // A caller's trailing backslash would double the separator in every path below.
    CString parent = folder;
    if (parent[parent.GetLength() - 1] == '\\')
        parent = parent.Left(parent.GetLength() - 1);
    AddMatches(parent + "\\*", parent, fileKind, folderKind, list, tick);
}

void AddFolderEntry(const WIN32_FIND_DATAA& entry, const CString& parent, int fileKind, int folderKind,
                    CFoundItemList& list, CTickable& tick)
{
    if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0)
        return;
    // A junction or link may lead anywhere (the user's documents, a whole drive):
    // following it would delete what was never inside the walked folder.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return;
    CString path = parent + "\\" + entry.cFileName;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    {
        list.push_back(CCleanTargetPtr(new CFileTarget(path + "\\", folderKind)));
        tick.Tick();
        WalkFolder(path, fileKind, folderKind, list, tick);
    }
    else
    {
        list.push_back(CCleanTargetPtr(new CFileTarget(path, fileKind)));
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
        AddMatches(drive + kScanDiskFilePattern, drive, FK_SCANDISK_FILE, FK_SCANDISK_FOLDER, list, tick);
        AddMatches(drive + kScanDiskFolderPattern, drive, FK_SCANDISK_FILE, FK_SCANDISK_FOLDER, list, tick);
    }
}

CString FindDefaultProfile(const CString& folder)
{
    if (folder.IsEmpty())
        return CString();
    WIN32_FIND_DATAA data;
    CFindHandle find(folder + "*.default", data);
    if (!find.IsValid())
        return CString();
    return folder + data.cFileName + "\\";
}
