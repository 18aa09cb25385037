// The fixed catalogue: the sections, the 22 areas, and the scanners run for them.
#pragma once

#include "model/ScanItem.h"
#include "ScanPaths.h"

// The cleaning areas, by the ids that the console takes and that the window maps to its
// check boxes, in the order of the settings file.
enum AreaId
{
    AREA_RECENT_DOCS = 701,
    AREA_FIND_HISTORY,
    AREA_CLIPBOARD,
    AREA_RECYCLE_BIN,
    AREA_TEMP_FOLDERS,
    AREA_SCANDISK,
    AREA_RUN_HISTORY,
    AREA_NETWORK_MAPPINGS,
    AREA_OFFICE,
    AREA_ACROBAT,
    AREA_WORDPAD,
    AREA_PAINT,
    AREA_MEDIAPLAYER,
    AREA_TEMP_INTERNET,
    AREA_COOKIES,
    AREA_HISTORY,
    AREA_FAVORITES,
    AREA_TYPED_URLS,
    AREA_FORMS,
    AREA_PASSWORDS,
    AREA_DOWNLOADED_PROGRAMS,
    AREA_DOWNLOAD_LIST,
    // Added later: the settings file keeps them after the first design's numbers.
    AREA_SITE_DATA,
    AREA_SESSIONS,
    AREA_FIRST = AREA_RECENT_DOCS,
    AREA_LAST = AREA_SESSIONS,
    AREA_FIRST_DESIGN_LAST = AREA_DOWNLOAD_LIST,
    AREA_COUNT = AREA_LAST - AREA_FIRST + 1
};

struct CSectionInfo
{
    int sectionIndex;
    bool checkedAtStart;
};

struct CAreaInfo
{
    int areaId;
    int section;
    bool checkedAtStart; // the choice of a user who has made none
};

enum ScanStepKind
{
    STEP_WALK,       // WalkFolder(scan path, file kind, folder kind)
    STEP_MRU,        // ScanMRUKey(scan path)
    STEP_CLIPBOARD,
    STEP_RECYCLE_BIN,
    STEP_SCANDISK,
    STEP_OPERA_FILE, // one Opera profile file, by its number in the Opera file table
    STEP_FIREFOX,    // one trace (BrowserTrace) of every Firefox profile
    STEP_FIXED_DISKS,
    STEP_FIREFOX_CACHE,  // the disk cache of every Firefox profile
    STEP_CHROMIUM,       // one trace (BrowserTrace) of every Chromium profile
    STEP_CHROMIUM_CACHE, // the disk caches of every Chromium profile
    STEP_RULES,          // the built-in cleaning rules of the step's area
    STEP_USER_RULES,     // the entries of the user's rule files that the context checks
    STEP_PROFILE_FILES,  // the files and folders of every browser profile for a trace
};

struct CScanStep
{
    int section;
    int areaId;       // the check box that enables the step; 0 for the section itself
    ScanStepKind kind;
    int pathEntry;  // STEP_WALK, STEP_MRU
    int fileKind;   // walks
    int folderKind; // walks
    int reader;     // Opera file number, or BrowserTrace
};

// Each table with its length.
const CSectionInfo* GetSectionTable(int& count);
const CAreaInfo* GetAreaTable(int& count);
// Every scanner of every section, in the order the scan runs them.
const CScanStep* GetScanSteps(int& count);
// The area of an id, or nullptr.
const CAreaInfo* FindArea(int areaId);
