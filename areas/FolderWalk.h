// Folder walks that turn a folder's content into found files and folders,
// the ScanDisk fragments of the fixed drives, and the browser profile lookup.
#pragma once

#include "model/CleanTarget.h"
#include "model/Tickable.h"

#include <string>
#include <windows.h>

// Appends every file and sub-folder below folder, at any depth; a folder comes before
// its content. Each folder is listed by its handle and each sub-folder opened from its
// parent's handle, so an entry costs the same at any depth. Directory junctions and
// symbolic links are neither listed nor entered. Names are taken exactly as the file
// system holds them (any length, any characters); one that is not a single path
// component is refused and reported, and so is a folder that cannot be listed. Stops at
// the next entry when the tick asks to stop.
void WalkFolder(const CString& folder, int fileKind, int folderKind, CFoundItemList& list, CTickable& tick);

// What a cleaning rule makes of the entries of the folders it names.
class IMatchingWalk
{
public:
    // Whether a file's name (folded, see FoldedName) matches the rule's patterns.
    virtual bool Matches(const std::wstring& foldedName) const = 0;
    // Whether an entry stays out of the list (an exclusion, or already listed).
    virtual bool IsKept(const CString& path, bool folder) const = 0;
    // The found item of a matching file, or of a folder (path without a trailing separator).
    virtual CCleanTargetPtr MakeTarget(const CString& path, bool folder) = 0;

protected:
    ~IMatchingWalk() {}
};

// Lists the files of folder whose names match the rule; with recurse, also those of every
// sub-folder at any depth. With removeSelf, every folder whose whole content was listed
// (folder itself included) is listed before that content, so the clean removes it once it
// is empty; a folder that keeps anything is never listed. Links are neither listed nor
// entered; folders are listed by handle and opened from their parent's, as WalkFolder does.
void WalkMatching(const CString& folder, bool recurse, bool removeSelf, IMatchingWalk& rule, CFoundItemList& list,
                  CTickable& tick);

// Files "file????.chk" and folders "found.???" in the root of every fixed drive.
void ScanScanDiskFragments(CFoundItemList& list, CTickable& tick);

// The fixed drives as two-character names ("C:"), in the order the system lists them.
std::vector<CString> GetFixedDriveNames();

// The names of the sub-folders of folder that match pattern ("*.default"), in the order
// the system lists them; names that are not plain (see IsPlainName) are left out.
std::vector<CString> FindSubfolders(const CString& folder, const wchar_t* pattern);

// folder (ending with a backslash) + the first "*.default" sub-folder + "\", or "".
CString FindDefaultProfile(const CString& folder);
