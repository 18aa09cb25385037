#include "TestUtil.h"
#include "areas/FileTarget.h"
#include "areas/RecycleBin.h"
#include "browsers/Mozilla.h"
#include "browsers/OperaTarget.h"
#include "engine/Catalogue.h"
#include "engine/CleanRun.h"
#include "engine/ScanRun.h"
#include "model/TypeNames.h"
#include "resources/resource.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <set>
#include <vector>

using namespace testutil;

namespace
{
// A found item whose Clean outcome the test decides, recording the order of calls.
class CScriptedTarget : public CCleanTarget
{
public:
    CScriptedTarget(const CString& text, bool succeeds, std::vector<CString>* log = nullptr)
        : CCleanTarget(text), m_succeeds(succeeds), m_log(log)
    {
    }
    int Clean() override
    {
        m_attempted = 1;
        ++m_calls;
        if (m_log)
            m_log->push_back(GetDisplayText());
        if (m_onClean)
            m_onClean();
        m_cleaned = m_succeeds ? 1 : 0;
        return m_cleaned;
    }
    bool m_succeeds;
    int m_calls = 0;
    std::vector<CString>* m_log;
    std::function<void()> m_onClean;
};

// Records what the runs report, and answers the scan run's questions.
class CRecordingContext : public IScanContext, public CHeadlessCleanHost
{
public:
    CRecordingContext() { ResolveScanPaths(m_paths, nullptr); }

    bool IsAreaChecked(int id) const override { return m_areas.count(id) != 0; }
    const CScanPaths& GetScanPaths() const override { return m_paths; }
    HWND GetOwnerWindow() const override { return nullptr; }
    void Tick() override { Record('T'); }
    void RefreshList() override { Record('R'); }
    bool IsCancelled() const override { return m_cancel; }
    void ReportProblem(ProblemKind, const CString& place, const CString&) override
    {
        m_problems.push_back(place);
    }

    void Record(char what)
    {
        CString line;
        line += what;
        for (const CScanItemPtr& s : *m_sections)
            line.AppendFormat(" %d:%d/%d/%d", s->GetStatus(), static_cast<int>(s->GetFoundItems().size()),
                              s->GetCleanedSoFar(), s->GetToClean());
        m_events.push_back(line);
    }

    std::set<int> m_areas;
    CScanPaths m_paths;
    CSectionList* m_sections = nullptr;
    std::vector<CString> m_events;
    std::vector<CString> m_problems;
    bool m_cancel = false;
};

CCleanTargetPtr Scripted(const char* text, bool succeeds, std::vector<CString>* log = nullptr)
{
    return CCleanTargetPtr(new CScriptedTarget(text, succeeds, log));
}
} // namespace

TEST(TypeNamesTest, EveryKindHasItsFixedText)
{
    const char* const expected[TN_COUNT] = {
        "Clean target", "Temporary file", "Temporary folder", "Link to file", "Scandisk file fragment",
        "Scandisk folder", "IE cookie", "IE cache file", "IE cache folder", "IE fav link", "IE history file",
        "Opera temporary download", "Opera file", "Recently typed", "Relay Target", "RecycleBin entry",
        "Clipboard contents", "Opera cache file", "Opera visited link", "Opera download link", "Opera cookie",
        "Opera history entry", "Opera bookmark", "Opera typed URL", "Mozilla cache file",
        "Mozilla visited link", "Mozilla download link", "Mozilla cookie", "Mozilla history entry",
        "Mozilla bookmark", "Mozilla typed URL", "Mozilla form data", "Mozilla cleaning query",
        "Logical disk unused space",
        // The newer browsers' kinds.
        "Browser cache file", "Browser cache folder", "Chromium cookie", "Chromium history entry",
        "Chromium typed URL", "Chromium search term", "Chromium form data", "Chromium download",
        "Chromium cleaning query", "Chromium visited links file",
        // What a profile keeps beside its databases.
        "Browser history file", "Browser history folder", "Browser network state file", "Site data file",
        "Site data folder", "Site storage", "Browser session file", "Browser session folder",
        "Browser site preferences"};
    for (int i = 0; i < TN_COUNT; ++i)
        EXPECT_EQ(CString(expected[i]), GetTypeText(i)) << i;

    // Items select theirs by kind; the texts live for the whole program.
    CCleanTarget base("x");
    EXPECT_EQ(&base.GetTypeName(), &GetTypeText(TN_CLEAN_TARGET));
    EXPECT_EQ(&GetTypeText(TN_SCANDISK_FOLDER), &CFileTarget("C:\\F\\", FK_SCANDISK_FOLDER).GetTypeName());
    EXPECT_EQ(&GetTypeText(TN_BROWSER_CACHE_FOLDER),
              &CFileTarget("C:\\F\\", FK_BROWSER_CACHE_FOLDER).GetTypeName());
    EXPECT_EQ(&GetTypeText(TN_OPERA_TYPED_URL), &COperaTarget("u", "", OK_TYPED_URL, 0).GetTypeName());
    EXPECT_EQ(&GetTypeText(TN_MOZILLA_FORM_DATA),
              &CDatabaseRowTarget("f", nullptr, MK_FORM_DATA).GetTypeName());
    base.Clean();
    EXPECT_EQ(1, base.GetAttempted());
    EXPECT_EQ(0, base.GetCleaned());
}

TEST(RelayTargetTest, GroupCleansOnceAndSharesTheResult)
{
    for (bool succeeds : {true, false})
    {
        CScriptedTarget* real = new CScriptedTarget("real", succeeds);
        CCleanTargetPtr shared(real);
        CRelayTarget a("a", shared), b("b", shared), c("c", shared);
        c.Clean();
        b.Clean();
        a.Clean();
        EXPECT_EQ(1, real->m_calls);
        for (CRelayTarget* relay : {&a, &b, &c})
        {
            EXPECT_EQ(1, relay->GetAttempted());
            EXPECT_EQ(succeeds ? 1 : 0, relay->GetCleaned());
        }
        // A later clean run copies the stored result without repeating the work.
        a.Clean();
        EXPECT_EQ(1, real->m_calls);
    }
}

TEST(RelayTargetTest, SharedTargetLivesAsLongAsItsLastEntry)
{
    std::weak_ptr<CRecycleBin> watch;
    CFoundItemList list;
    {
        std::shared_ptr<CRecycleBin> bin(new CRecycleBin);
        watch = bin;
        for (const char* name : {"one.txt", "two.txt", "three.txt"})
            list.push_back(CCleanTargetPtr(new CRecycleBinTarget(name, bin)));
    }
    EXPECT_EQ(CString("RecycleBin entry"), list[0]->GetTypeName());
    EXPECT_EQ(CString("Clean target"), watch.lock()->GetTypeName());
    EXPECT_EQ(CString("RecBin"), watch.lock()->GetDisplayText());
    list.erase(list.begin(), list.begin() + 2);
    EXPECT_FALSE(watch.expired());
    list.clear();
    EXPECT_TRUE(watch.expired());
}

TEST(CatalogueTest, AreasSectionsAndStepsAgree)
{
    int areaCount = 0, sectionCount = 0, stepCount = 0;
    const CAreaInfo* areas = GetAreaTable(areaCount);
    const CSectionInfo* sections = GetSectionTable(sectionCount);
    const CScanStep* steps = GetScanSteps(stepCount);
    ASSERT_EQ(24, areaCount);
    ASSERT_EQ(4, sectionCount);
    for (int i = 0; i < areaCount; ++i)
    {
        EXPECT_EQ(AREA_FIRST + i, areas[i].areaId);
        // Favorites, and the tabs a browser would reopen, only when the user asks.
        EXPECT_EQ(areas[i].areaId != AREA_FAVORITES && areas[i].areaId != AREA_SESSIONS, areas[i].checkedAtStart);
    }
    for (int i = 0; i < sectionCount; ++i)
    {
        EXPECT_EQ(i, sections[i].sectionIndex);
        EXPECT_EQ(i != SECTION_WIPE, sections[i].checkedAtStart);
    }
    std::set<int> scanned;
    int lastSection = 0;
    for (int i = 0; i < stepCount; ++i)
    {
        EXPECT_GE(steps[i].section, lastSection) << "steps are grouped by section in row order";
        lastSection = steps[i].section;
        if (steps[i].areaId == 0)
        {
            // The wipe, and the user's rule entries, which the context checks one by one.
            EXPECT_EQ(steps[i].kind == STEP_USER_RULES ? SECTION_APPLICATIONS : SECTION_WIPE, steps[i].section);
            continue;
        }
        const CAreaInfo* area = FindArea(steps[i].areaId);
        ASSERT_NE(nullptr, area);
        EXPECT_EQ(area->section, steps[i].section);
        scanned.insert(steps[i].areaId);
    }
    // Network mappings, Acrobat Reader and downloaded programs have no scanner.
    EXPECT_EQ(21u, scanned.size());
    for (int none : {AREA_NETWORK_MAPPINGS, AREA_ACROBAT, AREA_DOWNLOADED_PROGRAMS})
        EXPECT_EQ(0u, scanned.count(none));

    // Every section's steps in run order, written as "area:what" (what: the scan path of
    // a walk or a list, the Opera file number, the browser trace, or the step kind).
    std::vector<std::string> order;
    for (int i = 0; i < stepCount; ++i)
    {
        const CScanStep& step = steps[i];
        char text[64];
        const char* kinds[] = {"walk",    "mru",   "clipboard",     "bin",      "scandisk",      "opera",
                               "firefox", "disks", "firefox-cache", "chromium", "chromium-cache", "rules",
                               "user-rules", "files"};
        static_assert(std::size(kinds) == STEP_PROFILE_FILES + 1, "a name for every step kind");
        int what = step.kind == STEP_WALK || step.kind == STEP_MRU ? step.pathEntry : step.reader;
        snprintf(text, sizeof(text), "%d %d %s %d", step.section, step.areaId, kinds[step.kind], what);
        order.push_back(text);
    }
    const std::vector<std::string> expected = {
        // Windows: each area's built-in rules after its own scanners
        "0 701 walk 2", "0 701 rules 0", "0 702 mru 7", "0 702 mru 8", "0 702 mru 9", "0 702 mru 10",
        "0 702 rules 0", "0 703 clipboard 0", "0 704 bin 0", "0 705 walk 1", "0 705 walk 0", "0 706 scandisk 0",
        "0 707 mru 11",
        // Applications: PowerPoint before Excel, today's Office, WordPad, Paint, Media Player files then
        // addresses, then the user's rule entries
        "1 709 mru 14", "1 709 mru 13", "1 709 rules 0", "1 711 mru 16", "1 712 mru 17", "1 713 mru 18",
        "1 713 mru 19", "1 0 user-rules 0",
        // Browsers: Internet Explorer
        "2 714 walk 6", "2 715 walk 3", "2 716 walk 5", "2 717 walk 4", "2 718 mru 20", "2 719 mru 21",
        "2 720 mru 22",
        // Opera: cache4 and opcache indexes, vlink4, download.dat, cookies4, global.dat, opera6.adr,
        // opera.dir, typed_history.xml, temporary downloads
        "2 714 opera 0", "2 714 opera 1", "2 716 opera 2", "2 722 opera 3", "2 715 opera 4", "2 716 opera 5",
        "2 717 opera 6", "2 716 opera 7", "2 718 opera 8", "2 714 opera 9",
        // Firefox (traces: 0 typed, 1 history, 2 downloads, 3 cookies, 4 bookmarks, 5 forms)
        "2 718 firefox 0", "2 716 firefox 1", "2 722 firefox 2", "2 715 firefox 3", "2 717 firefox 4",
        "2 719 firefox 5", "2 714 firefox-cache 0",
        // The Chromium family: caches, cookies, history, typed addresses, forms, downloads
        "2 714 chromium-cache 0", "2 715 chromium 3", "2 716 chromium 1", "2 718 chromium 0",
        "2 719 chromium 5", "2 722 chromium 2",
        // What every profile keeps beside its databases (traces: 6 network, 1 history, 7 site
        // data, 8 sessions), Firefox's old site storage database first
        "2 714 files 6", "2 716 files 1", "2 723 firefox 7", "2 723 files 7", "2 724 files 8",
        // Wipe free space
        "3 0 disks 0"};
    EXPECT_EQ(expected, order);
}

// The front ends name the areas and sections from the string table by their ids.
TEST(CatalogueTest, CaptionsAndSectionNamesOfTheStringTable)
{
    const char* const captions[] = {"Clean Recent Docs",
                                    "Clean Find history",
                                    "Clean clipboard",
                                    "Clean Recycle Bin",
                                    "Clean Windows Temp folders",
                                    "Clean ScanDisk file fragments",
                                    "Clean Run history",
                                    "Clean network disk mappings",
                                    "Clean MS Office recent documents list",
                                    "Clean Adobe Acrobat reader recent documents list",
                                    "Clean Wordpad recent documents list",
                                    "Clean Windows Paint documents list",
                                    "Clean Mediaplayer documents list",
                                    "Clean Temporary internet files",
                                    "Clean cookies",
                                    "Clean browsers history",
                                    "Clean favorites",
                                    "Clean typed URL history",
                                    "Clean forms data",
                                    "Clean browser passwords",
                                    "Clean downloaded programs",
                                    "Clean downloaded programs list",
                                    "Clean site data",
                                    "Clean open and closed tabs"};
    int count = 0;
    const CAreaInfo* areas = GetAreaTable(count);
    ASSERT_EQ(24, count);
    char text[256];
    for (int i = 0; i < count; ++i)
    {
        LoadStringA(GetModuleHandleA(nullptr), IDS_AREA_RECENT_DOCS + areas[i].areaId - AREA_FIRST, text,
                    sizeof(text));
        EXPECT_STREQ(captions[i], text) << areas[i].areaId;
    }
    std::vector<CString> names;
    for (int section = 0; section < SECTION_COUNT; ++section)
        names.push_back(CString::FromResource(IDS_SECTION_WINDOWS + section));
    EXPECT_EQ((std::vector<CString>{"Windows cleaning", "Applications cleaning", "Browsers cleaning",
                                    "Wipe free space"}),
              names);
    CSectionList sections = CreateSections(names);
    for (size_t i = 0; i < sections.size(); ++i)
        EXPECT_EQ(names[i], sections[i]->GetName());
}

TEST(ScanPathsTest, RegistryKeysAndFoldersWithoutTrailingBackslash)
{
    CScanPaths paths;
    ResolveScanPaths(paths, nullptr);
    const struct
    {
        int entry;
        const char* key;
    } keys[] = {
        {SP_ACMRU_5001, "Software\\Microsoft\\Search Assistant\\ACMru\\5001"},
        {SP_ACMRU_5603, "Software\\Microsoft\\Search Assistant\\ACMru\\5603"},
        {SP_ACMRU_5604, "Software\\Microsoft\\Search Assistant\\ACMru\\5604"},
        {SP_ACMRU_5647, "Software\\Microsoft\\Search Assistant\\ACMru\\5647"},
        {SP_RUN_MRU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"},
        {SP_UNUSED_12, ""},
        {SP_EXCEL, "Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files"},
        {SP_POWERPOINT, "Software\\Microsoft\\Office\\11.0\\PowerPoint\\Recent File List"},
        {SP_UNUSED_15, ""},
        {SP_WORDPAD, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List"},
        {SP_PAINT, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List"},
        {SP_MEDIAPLAYER_FILES, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList"},
        {SP_MEDIAPLAYER_URLS, "Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList"},
        {SP_TYPED_URLS, "Software\\Microsoft\\Internet Explorer\\TypedURLs"},
        {SP_INTELLIFORMS_1, "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage1"},
        {SP_INTELLIFORMS_2, "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage2"},
    };
    for (const auto& key : keys)
        EXPECT_EQ(CString(key.key), paths[key.entry]) << key.entry;
    for (int entry : {SP_WINDOWS_TEMP, SP_RECENT, SP_COOKIES, SP_FAVORITES, SP_HISTORY, SP_INTERNET_CACHE,
                      SP_LOCAL_APPDATA, SP_APPDATA})
    {
        ASSERT_FALSE(paths[entry].IsEmpty()) << entry;
        EXPECT_NE('\\', paths[entry][paths[entry].GetLength() - 1]) << paths[entry];
    }
    EXPECT_EQ(CString("\\TEMP"), paths[SP_WINDOWS_TEMP].Right(5));
}

// A folder the system names but does not have (Internet Explorer's, on many of today's
// systems) is not walked and not said, by the preview or by the clean.
TEST(ScanPathsTest, AShellFolderThatIsNotThereIsNoProblem)
{
    wchar_t cookies[MAX_PATH] = {};
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_COOKIES | CSIDL_FLAG_DONT_VERIFY, nullptr, SHGFP_TYPE_CURRENT,
                                     cookies));
    const std::wstring aside = std::wstring(cookies) + L".aside";
    const bool moved = MoveFileW(cookies, aside.c_str()) != 0;
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(cookies));

    CRecordingContext context;
    EXPECT_FALSE(context.m_paths[SP_COOKIES].IsEmpty());
    EXPECT_EQ(CString(), context.m_paths.GetUnresolvedReason(SP_COOKIES));
    context.m_areas = {AREA_COOKIES};
    CSectionList sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
    context.m_sections = &sections;
    ScanSections(sections, context);
    CleanSections(sections, context, &context);
    EXPECT_EQ(std::vector<CString>{}, context.m_problems);
    if (moved)
        MoveFileW(aside.c_str(), cookies);
}

TEST(ScanPathsTest, UserTempFolderOnlyWhenItIsTheOneNamedByTemp)
{
    char oldTmp[4096] = {}, oldTemp[4096] = {};
    GetEnvironmentVariableA("TMP", oldTmp, sizeof(oldTmp));
    GetEnvironmentVariableA("TEMP", oldTemp, sizeof(oldTemp));

    // The system takes TMP first: when it names another folder, the user temp is rejected.
    SetEnvironmentVariableA("TMP", "C:\\users\\other\\Temp\\");
    SetEnvironmentVariableA("TEMP", "C:\\users\\me\\Temp");
    EXPECT_TRUE(ResolveUserTempPath().IsEmpty());

    // Same folder, other case and trailing separators: accepted, without the separator.
    SetEnvironmentVariableA("TMP", "C:\\Users\\Me\\Temp\\");
    SetEnvironmentVariableA("TEMP", "c:\\users\\me\\TEMP\\");
    EXPECT_EQ(CString("C:\\Users\\Me\\Temp"), ResolveUserTempPath());

    SetEnvironmentVariableA("TMP", oldTmp);
    SetEnvironmentVariableA("TEMP", oldTemp);
    EXPECT_FALSE(ResolveUserTempPath().IsEmpty());
}

class ScanRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
        m_context.m_sections = &m_sections;
        m_root = MakeTestRoot("scanrun");
        // Every folder area points into the test's own folders.
        for (int entry = 0; entry < SP_COUNT; ++entry)
            if (entry != SP_LOCAL_APPDATA && entry != SP_APPDATA && entry < SP_ACMRU_5001)
                m_context.m_paths[entry] = "";
        m_context.m_paths[SP_LOCAL_APPDATA] = m_root + "\\local";
        m_context.m_paths[SP_APPDATA] = m_root + "\\roaming";
    }
    void TearDown() override { RemoveTree(m_root); }

    CSectionList m_sections;
    CRecordingContext m_context;
    CString m_root;
};

TEST_F(ScanRunTest, SectionsGoThroughTheirStatusesInRowOrder)
{
    ASSERT_EQ(4u, m_sections.size());
    EXPECT_EQ(0, m_sections[SECTION_WIPE]->GetChecked());
    MakeDir(m_root + "\\recent");
    WriteBytes(m_root + "\\recent\\doc.lnk", "x");
    m_context.m_paths[SP_RECENT] = m_root + "\\recent";
    m_context.m_areas = {AREA_RECENT_DOCS, AREA_NETWORK_MAPPINGS, AREA_ACROBAT, AREA_DOWNLOADED_PROGRAMS};
    // Left over from an earlier scan: discarded before the new one starts.
    m_sections[SECTION_BROWSERS]->GetFoundItems().push_back(Scripted("old", false));
    m_sections[SECTION_WIPE]->SetStatus(SS_COMPLETE);

    ScanSections(m_sections, m_context);

    std::vector<CString> expected = {
        "R 100:0/0/0 100:0/0/0 100:0/0/0 100:0/0/0", // cleared
        "T 101:0/0/0 100:0/0/0 100:0/0/0 100:0/0/0", // Windows starts
        "T 101:1/0/0 100:0/0/0 100:0/0/0 100:0/0/0", // doc.lnk
        "R 102:1/0/0 100:0/0/0 100:0/0/0 100:0/0/0", "T 102:1/0/0 101:0/0/0 100:0/0/0 100:0/0/0",
        "R 102:1/0/0 102:0/0/0 100:0/0/0 100:0/0/0", "T 102:1/0/0 102:0/0/0 101:0/0/0 100:0/0/0",
        "R 102:1/0/0 102:0/0/0 102:0/0/0 100:0/0/0", // the wipe section is unchecked: stays ready
        "R 102:1/0/0 102:0/0/0 102:0/0/0 100:0/0/0",
    };
    EXPECT_EQ(expected, m_context.m_events);
    EXPECT_EQ(1, CountFoundItems(m_sections));
    EXPECT_EQ(CString("Temporary file"), m_sections[SECTION_WINDOWS]->GetFoundItems()[0]->GetTypeName());
}

TEST_F(ScanRunTest, UncheckedSectionIsNotScannedEvenWithItsAreasChecked)
{
    MakeDir(m_root + "\\recent");
    WriteBytes(m_root + "\\recent\\doc.lnk", "x");
    m_context.m_paths[SP_RECENT] = m_root + "\\recent";
    m_context.m_areas = {AREA_RECENT_DOCS};
    m_sections[SECTION_WINDOWS]->SetChecked(0);
    ScanSections(m_sections, m_context);
    EXPECT_EQ(SS_READY, m_sections[SECTION_WINDOWS]->GetStatus());
    EXPECT_EQ(0, CountFoundItems(m_sections));

    // An unchecked area finds nothing even in a checked section.
    m_sections[SECTION_WINDOWS]->SetChecked(1);
    m_context.m_areas.clear();
    ScanSections(m_sections, m_context);
    EXPECT_EQ(SS_COMPLETE, m_sections[SECTION_WINDOWS]->GetStatus());
    EXPECT_EQ(0, CountFoundItems(m_sections));
}

TEST_F(ScanRunTest, TempAreaWalksUserTempThenWindowsTempAndSkipsEmptyPaths)
{
    for (const char* name : {"user", "windows"})
    {
        MakeDir(m_root + "\\" + name);
        WriteBytes(m_root + "\\" + name + "\\f.tmp", "x");
    }
    m_context.m_paths[SP_USER_TEMP] = m_root + "\\user";
    m_context.m_paths[SP_WINDOWS_TEMP] = m_root + "\\windows";
    m_context.m_areas = {AREA_TEMP_FOLDERS};
    ScanSections(m_sections, m_context);
    const CFoundItemList& items = m_sections[SECTION_WINDOWS]->GetFoundItems();
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(m_root + "\\user\\f.tmp", items[0]->GetDisplayText());
    EXPECT_EQ(m_root + "\\windows\\f.tmp", items[1]->GetDisplayText());

    // A rejected user temp folder (empty entry) is simply not walked.
    m_context.m_paths[SP_USER_TEMP] = "";
    ScanSections(m_sections, m_context);
    ASSERT_EQ(1u, m_sections[SECTION_WINDOWS]->GetFoundItems().size());
    EXPECT_EQ(m_root + "\\windows\\f.tmp", m_sections[SECTION_WINDOWS]->GetFoundItems()[0]->GetDisplayText());
}

TEST_F(ScanRunTest, TempFoldersAreWalkedOnceAndOnlyWhenTheyAreScratchSpace)
{
    MakeDir(m_root + "\\user");
    WriteBytes(m_root + "\\user\\f.tmp", "x");
    m_context.m_areas = {AREA_TEMP_FOLDERS};
    // TEMP and the Windows temp folder naming one folder (a service account's setting).
    m_context.m_paths[SP_USER_TEMP] = m_root + "\\user";
    m_context.m_paths[SP_WINDOWS_TEMP] = m_root + "\\USER\\";
    ScanSections(m_sections, m_context);
    EXPECT_EQ(1u, m_sections[SECTION_WINDOWS]->GetFoundItems().size());
    EXPECT_TRUE(m_context.m_problems.empty());
    // The user's profile and a drive root: refused, reported, nothing listed.
    m_context.m_paths[SP_USER_TEMP] = GetShellFolderPath(nullptr, CSIDL_PROFILE);
    m_context.m_paths[SP_WINDOWS_TEMP] = "C:\\";
    ScanSections(m_sections, m_context);
    EXPECT_EQ(0u, m_sections[SECTION_WINDOWS]->GetFoundItems().size());
    EXPECT_EQ((std::vector<CString>{m_context.m_paths[SP_USER_TEMP], "C:\\"}), m_context.m_problems);
}

TEST_F(ScanRunTest, OperaTemporaryDownloadsAreWalkedInTheLocalProfile)
{
    CString downloads = m_root + "\\local\\Opera\\Opera\\profile\\cache4\\temporary_download";
    for (const char* dir : {"\\local", "\\local\\Opera", "\\local\\Opera\\Opera",
                            "\\local\\Opera\\Opera\\profile", "\\local\\Opera\\Opera\\profile\\cache4"})
        MakeDir(m_root + dir);
    MakeDir(downloads);
    WriteBytes(downloads + "\\setup.exe", "x");
    m_context.m_areas = {AREA_TEMP_INTERNET};
    ScanSections(m_sections, m_context);
    const CFoundItemList& items = m_sections[SECTION_BROWSERS]->GetFoundItems();
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(downloads + "\\setup.exe", items[0]->GetDisplayText());
    EXPECT_EQ(CString("Opera temporary download"), items[0]->GetTypeName());
}

class CleanRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
        m_context.m_sections = &m_sections;
    }
    CSectionList m_sections;
    CRecordingContext m_context;
};

TEST_F(CleanRunTest, LastFoundFirstAndFailuresStayInFoundOrder)
{
    std::vector<CString> order;
    CFoundItemList& items = m_sections[SECTION_APPLICATIONS]->GetFoundItems();
    for (int i = 1; i <= 5; ++i)
    {
        CString name;
        name.Format("item%d", i);
        items.push_back(Scripted(name, i != 2, &order));
    }
    CleanSections(m_sections, m_context, &m_context);

    EXPECT_EQ((std::vector<CString>{"item5", "item4", "item3", "item2", "item1"}), order);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(CString("item2"), items[0]->GetDisplayText());
    EXPECT_EQ(&m_context, static_cast<ICleanHost*>(items[0]->GetOwner()));
    // The progress counters reach 5 of 5, that is 100%.
    bool reachedAll = false;
    for (const CString& e : m_context.m_events)
        reachedAll |= e.Find(" 103:1/5/5") >= 0 || e.Find(" 103:2/5/5") >= 0;
    EXPECT_TRUE(reachedAll);
    for (const CScanItemPtr& s : m_sections)
        EXPECT_EQ(SS_COMPLETE, s->GetStatus());
}

TEST_F(CleanRunTest, CancelStopsTheRunAtTheNextItem)
{
    std::vector<CString> order;
    CFoundItemList& windows = m_sections[SECTION_WINDOWS]->GetFoundItems();
    for (const char* name : {"w1", "w2", "w3"})
        windows.push_back(Scripted(name, true, &order));
    m_sections[SECTION_BROWSERS]->GetFoundItems().push_back(Scripted("b1", true, &order));
    // Ctrl+C (or Cancel) arrives while w2 is cleaned.
    static_cast<CScriptedTarget&>(*windows[1]).m_onClean = [this] { m_context.m_cancel = true; };
    CleanSections(m_sections, m_context, &m_context);
    EXPECT_EQ((std::vector<CString>{"w3", "w2"}), order);
    ASSERT_EQ(1u, windows.size());
    EXPECT_EQ(CString("w1"), windows[0]->GetDisplayText());
    EXPECT_EQ(1u, m_sections[SECTION_BROWSERS]->GetFoundItems().size());
    EXPECT_EQ(SS_READY, m_sections[SECTION_BROWSERS]->GetStatus());
}

TEST_F(CleanRunTest, EmptyListsPassThroughCleaningToComplete)
{
    CleanSections(m_sections, m_context, &m_context);
    std::vector<CString> expected = {
        "R 103:0/0/0 100:0/0/0 100:0/0/0 100:0/0/0", "R 102:0/0/0 100:0/0/0 100:0/0/0 100:0/0/0",
        "R 102:0/0/0 103:0/0/0 100:0/0/0 100:0/0/0", "R 102:0/0/0 102:0/0/0 100:0/0/0 100:0/0/0",
        "R 102:0/0/0 102:0/0/0 103:0/0/0 100:0/0/0", "R 102:0/0/0 102:0/0/0 102:0/0/0 100:0/0/0",
        "R 102:0/0/0 102:0/0/0 102:0/0/0 103:0/0/0", "R 102:0/0/0 102:0/0/0 102:0/0/0 102:0/0/0",
    };
    EXPECT_EQ(expected, m_context.m_events);
}

TEST_F(CleanRunTest, RelayGroupIsCleanedOnceByTheLastEntry)
{
    for (bool succeeds : {false, true})
    {
        std::vector<CString> order;
        CCleanTargetPtr bin(new CScriptedTarget("bin", succeeds, &order));
        CFoundItemList& items = m_sections[SECTION_WINDOWS]->GetFoundItems();
        items.clear();
        items.push_back(Scripted("before", true));
        for (const char* name : {"a", "b", "c"})
            items.push_back(CCleanTargetPtr(new CRelayTarget(name, bin)));
        CleanSections(m_sections, m_context, &m_context);
        EXPECT_EQ(1u, order.size());
        EXPECT_EQ(succeeds ? 0u : 3u, items.size());
    }
}

TEST_F(CleanRunTest, ListChangedDuringACleanDoesNotCrashTheRun)
{
    CFoundItemList& items = m_sections[SECTION_WINDOWS]->GetFoundItems();
    items.push_back(Scripted("first", true));
    items.push_back(Scripted("second", true));
    CScriptedTarget* third = new CScriptedTarget("third", true);
    items.push_back(CCleanTargetPtr(third));
    // As if a message dispatched during a wipe had started a new scan.
    third->m_onClean = [&items]() { items.clear(); };
    CleanSections(m_sections, m_context, &m_context);
    EXPECT_TRUE(items.empty());
}

TEST_F(CleanRunTest, FolderWalkResultIsRemovedContentFirst)
{
    CString root = MakeTestRoot("cleanwalk");
    MakeDir(root + "\\S");
    WriteBytes(root + "\\A.txt", "a");
    WriteBytes(root + "\\S\\B.txt", "b");
    WriteBytes(root + "\\S\\C.txt", "c");
    m_context.m_paths[SP_RECENT] = root;
    m_context.m_areas = {AREA_RECENT_DOCS};
    ScanSections(m_sections, m_context);
    ASSERT_EQ(4, CountFoundItems(m_sections));
    CleanSections(m_sections, m_context, &m_context);
    EXPECT_EQ(0, CountFoundItems(m_sections));
    EXPECT_FALSE(Exists(root + "\\S"));
    EXPECT_FALSE(Exists(root + "\\A.txt"));
    EXPECT_TRUE(Exists(root)); // the walked folder itself is never an item
    RemoveTree(root);
}

namespace
{
LRESULT CALLBACK PlainWindowProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefWindowProcA(h, m, w, l);
}

HWND MakeWindowOfClass(const char* className)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}
} // namespace

TEST(BrowserAdviceTest, RunningBrowsersAreNamedFirefoxFirst)
{
    EXPECT_FALSE(FindRunningBrowsers().Any());

    HWND ie = MakeWindowOfClass("IEFrame");
    ASSERT_NE(nullptr, ie);
    CRunningBrowsers found = FindRunningBrowsers();
    EXPECT_TRUE(found.internetExplorer);
    EXPECT_FALSE(found.firefox);
    HWND firefox = MakeWindowOfClass("MozillaUIWindowClass");
    ASSERT_NE(nullptr, firefox);
    found = FindRunningBrowsers();
    EXPECT_TRUE(found.firefox && found.internetExplorer && !found.opera);
    EXPECT_EQ(CString("For best cleaning results it is recommended to close the following applications:\n"
                      "\tMozilla Firefox\n\tInternet Explorer\n"),
              BuildBrowserAdvice(found));
    DestroyWindow(ie);
    DestroyWindow(firefox);
    EXPECT_FALSE(FindRunningBrowsers().Any());

    CRunningBrowsers operaOnly;
    operaOnly.opera = true;
    EXPECT_EQ(
        CString("For best cleaning results it is recommended to close the following applications:\nOpera\n"),
        BuildBrowserAdvice(operaOnly));
}
