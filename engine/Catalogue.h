// The fixed catalogue: the sections, the 22 areas, and the scanners run for them.
#pragma once

#include "ScanItem.h"
#include "ScanPaths.h"

struct CSectionInfo
{
    int sectionIndex;
    int nameId; // string id of the caption
    bool checkedAtStart;
};

struct CAreaInfo
{
    int controlId;
    int captionId;
    int section;
    bool checkedAtStart;
};

enum ScanStepKind
{
    STEP_WALK,             // WalkFolder(scan path, file kind, folder kind)
    STEP_WALK_OPERA_LOCAL, // WalkFolder(local Opera profile + relative folder, file kind, folder kind)
    STEP_MRU,              // ScanMRUKey(scan path)
    STEP_CLIPBOARD,
    STEP_RECYCLE_BIN,
    STEP_SCANDISK,
    STEP_OPERA_CACHE,      // the cache indexes of the two local Opera cache folders
    STEP_OPERA_FILE,       // one roaming Opera profile file, read by its reader
    STEP_FIREFOX,          // one Firefox query kind on the roaming profile
    STEP_FIXED_DISKS,
};

// The reader of each Opera profile file.
enum OperaReader
{
    OR_VISITED_LINKS,
    OR_DOWNLOADS,
    OR_COOKIES,
    OR_GLOBAL_HISTORY,
    OR_BOOKMARKS,
    OR_DIRECTORY_LIST,
    OR_TYPED_HISTORY,
};

// What the Firefox scanner lists, in the order the scan runs it.
enum FirefoxQuery
{
    FQ_TYPED_URLS,
    FQ_HISTORY,
    FQ_DOWNLOADS,
    FQ_COOKIES,
    FQ_BOOKMARKS,
    FQ_FORM_DATA,
};

struct CScanStep
{
    int section;
    int areaId;       // the check box that enables the step; 0 for the section itself
    ScanStepKind kind;
    int pathEntry;    // STEP_WALK, STEP_MRU
    int fileKind;     // walks
    int folderKind;   // walks
    const char* name; // Opera file name, or folder relative to the local Opera profile
    int reader;       // OperaReader or FirefoxQuery
};

// Each table with its length.
const CSectionInfo* GetSectionTable(int& count);
const CAreaInfo* GetAreaTable(int& count);
// Every scanner of every section, in the order the scan runs them.
const CScanStep* GetScanSteps(int& count);
// The area of a control id, or nullptr.
const CAreaInfo* FindArea(int controlId);

// Folders of the Opera profiles, below the local and the roaming application data.
extern const char kOperaProfile[];
