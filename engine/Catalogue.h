// The fixed catalogue: the sections, the 22 areas, and the scanners run for them.
#pragma once

#include "model/ScanItem.h"
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
    STEP_WALK,       // WalkFolder(scan path, file kind, folder kind)
    STEP_MRU,        // ScanMRUKey(scan path)
    STEP_CLIPBOARD,
    STEP_RECYCLE_BIN,
    STEP_SCANDISK,
    STEP_OPERA_FILE, // one Opera profile file, by its number in the Opera file table
    STEP_FIREFOX,    // one Firefox query group of every Firefox profile
    STEP_FIXED_DISKS,
    STEP_FIREFOX_CACHE, // the disk cache of every Firefox profile
    STEP_CHROMIUM,      // one query group (ChromiumQuery) of every Chromium profile
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
    int pathEntry;  // STEP_WALK, STEP_MRU
    int fileKind;   // walks
    int folderKind; // walks
    int reader;     // Opera file number, or FirefoxQuery
};

// Each table with its length.
const CSectionInfo* GetSectionTable(int& count);
const CAreaInfo* GetAreaTable(int& count);
// Every scanner of every section, in the order the scan runs them.
const CScanStep* GetScanSteps(int& count);
// The area of a control id, or nullptr.
const CAreaInfo* FindArea(int controlId);
