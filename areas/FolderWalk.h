// Folder walks that turn a folder's content into found files and folders,
// the ScanDisk fragments of the fixed drives, and the browser profile lookup.
#pragma once

#include "engine/CleanTarget.h"
#include "engine/Tickable.h"

#include <windows.h>

// Appends every file and sub-folder below folder, at any depth; a folder comes before
// its content. Directory junctions and symbolic links are neither listed nor entered.
void WalkFolder(const CString& folder, int fileKind, int folderKind, CFoundItemList& list, CTickable& tick);

// Handles one entry of a listing of parent.
void AddFolderEntry(const WIN32_FIND_DATAA& entry, const CString& parent, int fileKind, int folderKind,
                    CFoundItemList& list, CTickable& tick);

// Files "file????.chk" and folders "found.???" in the root of every fixed drive.
void ScanScanDiskFragments(CFoundItemList& list, CTickable& tick);

// The fixed drives as two-character names ("C:"), in the order the system lists them.
std::vector<CString> GetFixedDriveNames();

// folder (ending with a backslash) + the first "*.default" sub-folder + "\", or "".
CString FindDefaultProfile(const CString& folder);
