#include "Catalogue.h"

#include "areas/FileTarget.h"
#include "browsers/Chromium.h"

#include <iterator>

namespace
{
const CSectionInfo kSections[] = {
    {SECTION_WINDOWS, true},
    {SECTION_APPLICATIONS, true},
    {SECTION_BROWSERS, true},
    {SECTION_WIPE, false},
};

const CAreaInfo kAreas[] = {
    {AREA_RECENT_DOCS, SECTION_WINDOWS, true},
    {AREA_FIND_HISTORY, SECTION_WINDOWS, true},
    {AREA_CLIPBOARD, SECTION_WINDOWS, true},
    {AREA_RECYCLE_BIN, SECTION_WINDOWS, true},
    {AREA_TEMP_FOLDERS, SECTION_WINDOWS, true},
    {AREA_SCANDISK, SECTION_WINDOWS, true},
    {AREA_RUN_HISTORY, SECTION_WINDOWS, true},
    {AREA_NETWORK_MAPPINGS, SECTION_WINDOWS, true},
    {AREA_OFFICE, SECTION_APPLICATIONS, true},
    {AREA_ACROBAT, SECTION_APPLICATIONS, true},
    {AREA_WORDPAD, SECTION_APPLICATIONS, true},
    {AREA_PAINT, SECTION_APPLICATIONS, true},
    {AREA_MEDIAPLAYER, SECTION_APPLICATIONS, true},
    {AREA_TEMP_INTERNET, SECTION_BROWSERS, true},
    {AREA_COOKIES, SECTION_BROWSERS, true},
    {AREA_HISTORY, SECTION_BROWSERS, true},
    {AREA_FAVORITES, SECTION_BROWSERS, false},
    {AREA_TYPED_URLS, SECTION_BROWSERS, true},
    {AREA_FORMS, SECTION_BROWSERS, true},
    {AREA_PASSWORDS, SECTION_BROWSERS, true},
    {AREA_DOWNLOADED_PROGRAMS, SECTION_BROWSERS, true},
    {AREA_DOWNLOAD_LIST, SECTION_BROWSERS, true},
    {AREA_SITE_DATA, SECTION_BROWSERS, true},
    {AREA_SESSIONS, SECTION_BROWSERS, false}, // the open tabs are lost with it
};

// Shorthands that keep the step table readable.
constexpr CScanStep Walk(int section, int area, int entry, int fileKind, int folderKind)
{
    return {section, area, STEP_WALK, entry, fileKind, folderKind, 0};
}
constexpr CScanStep Mru(int section, int area, int entry)
{
    return {section, area, STEP_MRU, entry, 0, 0, 0};
}
constexpr CScanStep Step(int section, int area, ScanStepKind kind)
{
    return {section, area, kind, 0, 0, 0, 0};
}
// Opera files by their number in the Opera file table (cache4 and opcache indexes,
// vlink4.dat, download.dat, cookies4.dat, global.dat, opera6.adr, opera.dir,
// typed_history.xml, temporary downloads).
constexpr CScanStep Opera(int area, int file)
{
    return {SECTION_BROWSERS, area, STEP_OPERA_FILE, 0, 0, 0, file};
}
constexpr CScanStep Firefox(int area, BrowserTrace trace)
{
    return {SECTION_BROWSERS, area, STEP_FIREFOX, 0, 0, 0, trace};
}
constexpr CScanStep Chromium(int area, BrowserTrace trace)
{
    return {SECTION_BROWSERS, area, STEP_CHROMIUM, 0, 0, 0, trace};
}
constexpr CScanStep Files(int area, BrowserTrace trace)
{
    return {SECTION_BROWSERS, area, STEP_PROFILE_FILES, 0, 0, 0, trace};
}

const CScanStep kScanSteps[] = {
    // Windows
    Walk(SECTION_WINDOWS, AREA_RECENT_DOCS, SP_RECENT, FK_TEMP_FILE, FK_TEMP_FOLDER),
    Step(SECTION_WINDOWS, AREA_RECENT_DOCS, STEP_RULES),
    Mru(SECTION_WINDOWS, AREA_FIND_HISTORY, SP_ACMRU_5001),
    Mru(SECTION_WINDOWS, AREA_FIND_HISTORY, SP_ACMRU_5603),
    Mru(SECTION_WINDOWS, AREA_FIND_HISTORY, SP_ACMRU_5604),
    Mru(SECTION_WINDOWS, AREA_FIND_HISTORY, SP_ACMRU_5647),
    Step(SECTION_WINDOWS, AREA_FIND_HISTORY, STEP_RULES),
    Step(SECTION_WINDOWS, AREA_CLIPBOARD, STEP_CLIPBOARD),
    Step(SECTION_WINDOWS, AREA_RECYCLE_BIN, STEP_RECYCLE_BIN),
    Walk(SECTION_WINDOWS, AREA_TEMP_FOLDERS, SP_USER_TEMP, FK_TEMP_FILE, FK_TEMP_FOLDER),
    Walk(SECTION_WINDOWS, AREA_TEMP_FOLDERS, SP_WINDOWS_TEMP, FK_TEMP_FILE, FK_TEMP_FOLDER),
    Step(SECTION_WINDOWS, AREA_SCANDISK, STEP_SCANDISK),
    Mru(SECTION_WINDOWS, AREA_RUN_HISTORY, SP_RUN_MRU),
    // Applications
    Mru(SECTION_APPLICATIONS, AREA_OFFICE, SP_POWERPOINT),
    Mru(SECTION_APPLICATIONS, AREA_OFFICE, SP_EXCEL),
    Step(SECTION_APPLICATIONS, AREA_OFFICE, STEP_RULES),
    Mru(SECTION_APPLICATIONS, AREA_WORDPAD, SP_WORDPAD),
    Mru(SECTION_APPLICATIONS, AREA_PAINT, SP_PAINT),
    Mru(SECTION_APPLICATIONS, AREA_MEDIAPLAYER, SP_MEDIAPLAYER_FILES),
    Mru(SECTION_APPLICATIONS, AREA_MEDIAPLAYER, SP_MEDIAPLAYER_URLS),
    // The entries of the user's rule files that are checked
    Step(SECTION_APPLICATIONS, 0, STEP_USER_RULES),
    // Browsers: Internet Explorer
    Walk(SECTION_BROWSERS, AREA_TEMP_INTERNET, SP_INTERNET_CACHE, FK_IE_CACHE_FILE, FK_IE_CACHE_FOLDER),
    Walk(SECTION_BROWSERS, AREA_COOKIES, SP_COOKIES, FK_IE_COOKIE, FK_TEMP_FOLDER),
    Walk(SECTION_BROWSERS, AREA_HISTORY, SP_HISTORY, FK_IE_HISTORY_FILE, FK_TEMP_FOLDER),
    Walk(SECTION_BROWSERS, AREA_FAVORITES, SP_FAVORITES, FK_IE_FAV_LINK, FK_TEMP_FOLDER),
    Mru(SECTION_BROWSERS, AREA_TYPED_URLS, SP_TYPED_URLS),
    Mru(SECTION_BROWSERS, AREA_FORMS, SP_INTELLIFORMS_1),
    Mru(SECTION_BROWSERS, AREA_PASSWORDS, SP_INTELLIFORMS_2),
    // Browsers: Opera
    Opera(AREA_TEMP_INTERNET, 0),
    Opera(AREA_TEMP_INTERNET, 1),
    Opera(AREA_HISTORY, 2),
    Opera(AREA_DOWNLOAD_LIST, 3),
    Opera(AREA_COOKIES, 4),
    Opera(AREA_HISTORY, 5),
    Opera(AREA_FAVORITES, 6),
    Opera(AREA_HISTORY, 7),
    Opera(AREA_TYPED_URLS, 8),
    Opera(AREA_TEMP_INTERNET, 9),
    // Browsers: Firefox
    Firefox(AREA_TYPED_URLS, BT_TYPED),
    Firefox(AREA_HISTORY, BT_HISTORY),
    Firefox(AREA_DOWNLOAD_LIST, BT_DOWNLOADS),
    Firefox(AREA_COOKIES, BT_COOKIES),
    Firefox(AREA_FAVORITES, BT_BOOKMARKS),
    Firefox(AREA_FORMS, BT_FORMS),
    Step(SECTION_BROWSERS, AREA_TEMP_INTERNET, STEP_FIREFOX_CACHE),
    // Browsers: the Chromium family
    Step(SECTION_BROWSERS, AREA_TEMP_INTERNET, STEP_CHROMIUM_CACHE),
    Chromium(AREA_COOKIES, BT_COOKIES),
    Chromium(AREA_HISTORY, BT_HISTORY),
    Chromium(AREA_TYPED_URLS, BT_TYPED),
    Chromium(AREA_FORMS, BT_FORMS),
    Chromium(AREA_DOWNLOAD_LIST, BT_DOWNLOADS),
    // Browsers: what every profile keeps beside its databases
    Files(AREA_TEMP_INTERNET, BT_NETWORK),
    Files(AREA_HISTORY, BT_HISTORY),
    Firefox(AREA_SITE_DATA, BT_SITE_DATA),
    Files(AREA_SITE_DATA, BT_SITE_DATA),
    Files(AREA_SESSIONS, BT_SESSIONS),
    // Wipe free space: no area of its own
    Step(SECTION_WIPE, 0, STEP_FIXED_DISKS),
};
static_assert(std::size(kAreas) == AREA_COUNT, "one row per area");
} // namespace

const CSectionInfo* GetSectionTable(int& count)
{
    count = static_cast<int>(std::size(kSections));
    return kSections;
}

const CAreaInfo* GetAreaTable(int& count)
{
    count = static_cast<int>(std::size(kAreas));
    return kAreas;
}

const CScanStep* GetScanSteps(int& count)
{
    count = static_cast<int>(std::size(kScanSteps));
    return kScanSteps;
}

const CAreaInfo* FindArea(int areaId)
{
    for (const CAreaInfo& area : kAreas)
        if (area.areaId == areaId)
            return &area;
    return nullptr;
}
