// What the user keeps: the site matching, keep.cfg, and whole profiles of Chrome, Edge,
// Brave and Firefox (their databases made from the browsers' own layouts in
// tests/data/browsers, their other files named as the browsers name them) cleaned with a
// site kept, then checked byte by byte on the host.
#include "BrowserSchemas.h"
#include "TestUtil.h"
#include "areas/FileTarget.h"
#include "engine/Catalogue.h"
#include "engine/CleanRun.h"
#include "engine/KeepFile.h"
#include "engine/ScanRun.h"
#include "model/KeepList.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <map>
#include <set>

using namespace testutil;

namespace
{
std::string Query(const CString& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open(path, &db) == SQLITE_OK)
    {
        auto rows = [](void* out, int, char** texts, char**) {
            std::string& text = *static_cast<std::string*>(out);
            text += std::string(text.empty() ? "" : ",") + (texts[0] ? texts[0] : "null");
            return 0;
        };
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), rows, &result, &message) != SQLITE_OK)
            result = std::string("error: ") + (message ? message : "");
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return result;
}

TEST(KeepListTest, ASiteKeepsItsSubdomainsAndNeverALookAlike)
{
    const struct
    {
        const char* kept;
        const char* host;
        bool matches;
    } kCases[] = {
        {"example.com", "example.com", true},
        {"example.com", ".example.com", true},
        {"example.com", "www.EXAMPLE.com", true},
        {"example.com", "a.b.example.com.", true},
        {".Example.COM", "mail.example.com", true},
        {"https://www.example.com:8443/login?x=1", "www.example.com", true},
        {"https://www.example.com:8443/login?x=1", "example.com", false},
        {"example.com", "example.com.evil.net", false},
        {"example.com", "evilexample.com", false},
        {"example.com", "example.co", false},
        {"example.com", "com", false},
        {"bücher.de", "xn--bcher-kva.de", true},
        {"BÜCHER.de", ".shop.xn--bcher-kva.de", true},
        {"xn--bcher-kva.de", "www.bücher.de", true},
        {"bücher.de", "bucher.de", false},
    };
    for (const auto& c : kCases)
    {
        CKeepList keep;
        ASSERT_TRUE(keep.AddSite(c.kept)) << c.kept;
        EXPECT_EQ(c.matches, keep.IsSiteKept(c.host)) << c.kept << " / " << c.host;
    }
    for (const char* notASite : {"", ".", "  ", "a b.com", "*.example.com", "exa..mple.com", "http://"})
        EXPECT_EQ("", CKeepList::NormalizeSite(notASite)) << notASite;

    // The file form: read back as written; a line of anything else is not understood.
    CKeepList keep;
    keep.AddSite("Example.com");
    keep.AddSite(".example.com"); // the same site
    keep.AddPath("C:\\Data\\Keep", "C:\\Data\\Keep");
    CKeepList read;
    CString error;
    ASSERT_TRUE(read.Parse(keep.Format(), error)) << error.str();
    EXPECT_EQ(std::vector<std::string>{"example.com"}, read.GetSites());
    EXPECT_EQ(std::vector<CString>{"C:\\Data\\Keep"}, read.GetPaths());
    for (const std::string& bad : {std::string("site=a b\r\n"), std::string("cookie=example.com\n"),
                                   std::string("path=relative\\folder\n"), std::string("site=x.com\0\n", 12)})
        EXPECT_FALSE(CKeepList().Parse(CString(bad.data(), static_cast<int>(bad.size())), error)) << bad;

    // Places: by whole components, any case; a folder above a kept one holds it.
    EXPECT_TRUE(read.IsPathKept("c:\\data\\keep"));
    EXPECT_TRUE(read.IsPathKept("C:\\Data\\Keep\\a\\b.txt"));
    EXPECT_FALSE(read.IsPathKept("C:\\Data\\Keeper"));
    EXPECT_FALSE(read.IsPathKept("C:\\Data"));
    EXPECT_TRUE(read.HoldsKeptPath("C:\\Data\\"));
    EXPECT_FALSE(read.HoldsKeptPath("C:\\Data\\Keep\\a"));
}

// The files of a profile that the clean must leave or remove, by path below the test root.
struct CPlanted
{
    const char* path;
    bool gone;
};

class KeepScanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = MakeTestRoot("keep");
        m_sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
        for (int entry = 0; entry < SP_COUNT; ++entry)
            if (entry != SP_LOCAL_APPDATA && entry != SP_APPDATA && entry < SP_ACMRU_5001)
                m_context.m_paths[entry] = "";
        m_context.m_paths[SP_LOCAL_APPDATA] = m_root + "\\local";
        m_context.m_paths[SP_APPDATA] = m_root + "\\roaming";
    }
    void TearDown() override { RemoveTree(m_root); }

    void Plant(const char* path, const std::string& bytes = "qvPLANTED")
    {
        const CString full = m_root + "\\" + path;
        const std::string& text = full.str();
        for (size_t at = text.find('\\', m_root.GetLength() + 1); at != std::string::npos;
             at = text.find('\\', at + 1))
            MakeDir(CString(text.substr(0, at)));
        ASSERT_TRUE(WriteBytes(full, bytes)) << path;
    }
    void Exec(const char* path, const std::string& sql)
    {
        Plant(path, "");
        DeleteFileA(m_root + "\\" + path);
        const std::string result = Query(m_root + "\\" + path, sql);
        ASSERT_EQ(std::string::npos, result.find("error:")) << path << ": " << result;
    }

    // Scans the areas with keep (nullptr: none) and cleans what was found.
    void ScanAndClean(std::set<int> areas, const CKeepChoice& keep)
    {
        m_context.m_areas = std::move(areas);
        m_context.m_keep = keep;
        ScanSections(m_sections, m_context);
        m_found = Texts(m_sections[SECTION_BROWSERS]->GetFoundItems(), true);
        CTestCleanHost host;
        CleanSections(m_sections, m_context, &host);
    }

    class CContext : public IScanContext
    {
    public:
        bool IsAreaChecked(int id) const override { return m_areas.count(id) != 0; }
        const CScanPaths& GetScanPaths() const override { return m_paths; }
        HWND GetOwnerWindow() const override { return nullptr; }
        CKeepChoice GetKeepChoice() const override { return m_keep; }
        void Tick() override {}
        void RefreshList() override {}
        void ReportProblem(ProblemKind kind, const CString& place, const CString& reason) override
        {
            m_problems.push_back(std::to_string(kind) + " " + place.str() + ": " + reason.str());
        }
        std::set<int> m_areas;
        CScanPaths m_paths;
        CKeepChoice m_keep;
        std::vector<std::string> m_problems;
    };

    CString m_root;
    CSectionList m_sections;
    CContext m_context;
    std::vector<std::string> m_found;
};

const char* const kChromiumProfiles[] = {
    "local\\Google\\Chrome\\User Data\\Default\\",
    "local\\Microsoft\\Edge\\User Data\\Default\\",
    "local\\BraveSoftware\\Brave-Browser\\User Data\\Profile 1\\",
};
const char kFirefox[] = "roaming\\Mozilla\\Firefox\\Profiles\\qv.default\\";
const char kFirefoxLocal[] = "local\\Mozilla\\Firefox\\Profiles\\qv.default\\";

// Every file a profile keeps beside its databases, below a Chromium profile and below
// Firefox's two profile folders, and whether a clean of every area with kept.example kept
// takes it.
const CPlanted kChromiumFiles[] = {
    {"IndexedDB\\https_www.kept.example_0.indexeddb.leveldb\\000003.log", false},
    {"IndexedDB\\https_tracker.example_0.indexeddb.leveldb\\000003.log", true},
    {"IndexedDB\\https_tracker.example_0.indexeddb.blob\\1\\00\\1", true},
    {"IndexedDB\\https_kept.example.evil.net_0.indexeddb.leveldb\\LOG", true},
    {"IndexedDB\\chrome-extension_abcdefgh_0.indexeddb.leveldb\\LOG", false},
    {"Local Storage\\leveldb\\000003.log", false}, // every site's, kept.example's too
    {"Session Storage\\000003.log", false},
    {"Sessions\\Session_13350000000000000", true},
    {"Sessions\\Tabs_13350000000000000", true},
    {"Current Session", true},
    {"History Provider Cache", true},
    {"Archived History", true},
    {"DownloadMetadata", true},
    {"JumpListIconsMostVisited\\a1b2.ico", true},
    {"Network\\Network Persistent State", true},
    {"Network\\Reporting and NEL", true},
    {"Network\\TransportSecurity", true},
    {"DIPS", true},
    {"DIPS-wal", true},
    {"Login Data", false},
    {"Bookmarks", false},
    {"Extensions\\abcdefgh\\1.0\\manifest.json", false},
};
const CPlanted kFirefoxFiles[] = {
    {"storage\\default\\https+++www.kept.example\\ls\\data.sqlite", false},
    {"storage\\default\\https+++kept.example^userContextId=2\\idb\\1.sqlite", false},
    {"storage\\default\\https+++tracker.example\\ls\\data.sqlite", true},
    {"storage\\default\\http+++tracker.example+8080\\cache\\morgue\\1", true},
    {"storage\\default\\moz-extension+++0a1b2c3d^userContextId=4294967295\\idb\\x.sqlite", false},
    {"storage\\permanent\\chrome\\idb\\x.sqlite", false},
    {"sessionstore.jsonlz4", true},
    {"sessionstore-backups\\recovery.jsonlz4", true},
    {"sessionstore-backups\\previous.jsonlz4", true},
    {"SiteSecurityServiceState.bin", true},
    {"AlternateServices.bin", true},
    {"bounce-tracking-protection.sqlite", true},
    {"logins.json", false},
    {"key4.db", false},
    {"prefs.js", false},
};
const CPlanted kFirefoxLocalFiles[] = {
    {"thumbnails\\0a1b2c3d.png", true},
    {"jumpListCache\\x.ico", true},
    {"cache2\\entries\\0A1B", true}, // with the cache
};

const char kPreferences[] =
    R"({"browser":{"window_placement":{"bottom":1000,"left":10}},"omnibox":{"zero_suggest_cached_results":)"
    R"("[\"qvSUGGESTED\"]","shown_count":3},"profile":{"content_settings":{"exceptions":{"cookies":)"
    R"({"[*.]kept.example,*":{"setting":1}},"site_engagement":{"https://qvengaged.example:443,*":)"
    R"({"last_modified":"13350000000000000","setting":{"rawScore":12.5}}}}},"name":"Person 1"},)"
    R"("qv_unicode":"Grüße \u2603"})";

TEST_F(KeepScanTest, EveryProfileLosesItsSiteDataSessionsAndSideFilesButKeptSitesStay)
{
    for (const char* profile : kChromiumProfiles)
    {
        const std::string p = profile;
        for (const CPlanted& file : kChromiumFiles)
            Plant((p + file.path).c_str());
        Exec((p + "Network\\Cookies").c_str(), std::string(kSchema_chromium_Cookies) + R"(
insert into cookies select i, h, '', 'qvCOOKIE' || i, 'v', x'00', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  from (select 1 as i, '.kept.example' as h union select 2, 'www.Kept.Example' union select 3, '.tracker.example'
        union select 4, 'kept.example.evil.net' union select 5, 'evilkept.example'))");
        Exec((p + "Extension Cookies").c_str(), std::string(kSchema_chromium_Cookies) + R"(
insert into cookies values (1, 'ext.kept.example', '', 'qvEXTKEPT', 'v', x'00', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
  (2, 'ads.example', '', 'qvEXTGONE', 'v', x'00', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0))");
        Plant((p + "Preferences").c_str(), kPreferences);
    }
    for (const CPlanted& file : kFirefoxFiles)
        Plant((std::string(kFirefox) + file.path).c_str());
    for (const CPlanted& file : kFirefoxLocalFiles)
        Plant((std::string(kFirefoxLocal) + file.path).c_str());
    Exec((std::string(kFirefox) + "cookies.sqlite").c_str(), std::string(kSchema_firefox_cookies) + R"(
insert into moz_cookies (name, value, host, path) values ('qvFFKEPT', 'v', '.kept.example', '/'),
  ('qvFFGONE', 'v', '.tracker.example', '/'), ('qvFFLOOKALIKE', 'v', 'kept.example.evil.net', '/'))");
    Exec((std::string(kFirefox) + "webappsstore.sqlite").c_str(), std::string(kSchema_firefox_webappsstore) + R"(
insert into webappsstore2 values ('', 'elpmaxe.tpek.www.:https:443', '', 'k', 'qvLSKEPT'),
  ('', 'elpmaxe.rekcart.:https:443', '', 'k', 'qvLSGONE'))");
    // Passwords and settings must come out byte for byte.
    std::map<std::string, std::string> before;
    for (const char* profile : kChromiumProfiles)
        for (const char* kept : {"Login Data", "Bookmarks", "Local Storage\\leveldb\\000003.log"})
            ReadBytes(m_root + "\\" + profile + kept, before[std::string(profile) + kept]);

    // Internet Explorer: a cookie file per site, of records of nine lines ("host/path"
    // third), the format of the files WinINet writes.
    m_context.m_paths[SP_COOKIES] = m_root + "\\ie";
    Plant("ie\\Low\\user@kept[1].txt", "SID\nv\nwww.kept.example/\n1536\n0\n0\n0\n0\n*\n");
    Plant("ie\\user@ads[1].txt", "SID\nv\nads.example/\n1536\n0\n0\n0\n0\n*\n");
    auto keep = std::make_shared<CKeepList>();
    keep->AddSite("KEPT.example");
    ScanAndClean({AREA_COOKIES, AREA_SITE_DATA, AREA_SESSIONS, AREA_HISTORY, AREA_TEMP_INTERNET},
                 {keep, CString(), CString()});
    EXPECT_TRUE(Exists(m_root + "\\ie\\Low\\user@kept[1].txt"));
    EXPECT_FALSE(Exists(m_root + "\\ie\\user@ads[1].txt"));

    for (const char* profile : kChromiumProfiles)
    {
        SCOPED_TRACE(profile);
        for (const CPlanted& file : kChromiumFiles)
            EXPECT_EQ(!file.gone, Exists(m_root + "\\" + profile + file.path)) << file.path;
        EXPECT_TRUE(Exists(m_root + "\\" + profile + "Sessions")) << "the browser's folder stays, emptied";
        EXPECT_FALSE(Exists(m_root + "\\" + profile + "IndexedDB\\https_tracker.example_0.indexeddb.leveldb"));
        EXPECT_EQ("qvCOOKIE1,qvCOOKIE2", Query(m_root + "\\" + profile + "Network\\Cookies",
                                                "select name from cookies order by name"));
        EXPECT_EQ("qvEXTKEPT", Query(m_root + "\\" + profile + "Extension Cookies", "select name from cookies"));
        for (const char* kept : {"Login Data", "Bookmarks", "Local Storage\\leveldb\\000003.log"})
        {
            std::string after;
            ReadBytes(m_root + "\\" + profile + kept, after);
            EXPECT_EQ(before[std::string(profile) + kept], after) << kept;
        }
        // Preferences: the two per-site keys gone, everything else as it was.
        std::string text;
        ASSERT_TRUE(ReadBytes(m_root + "\\" + profile + "Preferences", text));
        auto expected = nlohmann::ordered_json::parse(kPreferences);
        expected["profile"]["content_settings"]["exceptions"].erase("site_engagement");
        expected["omnibox"].erase("zero_suggest_cached_results");
        EXPECT_EQ(expected.dump(), text);
        EXPECT_EQ(std::string::npos, text.find("qvengaged"));
    }
    for (const CPlanted& file : kFirefoxFiles)
        EXPECT_EQ(!file.gone, Exists(m_root + "\\" + kFirefox + file.path)) << file.path;
    for (const CPlanted& file : kFirefoxLocalFiles)
        EXPECT_EQ(!file.gone, Exists(m_root + "\\" + kFirefoxLocal + file.path)) << file.path;
    EXPECT_FALSE(Exists(m_root + "\\" + kFirefox + "storage\\default\\https+++tracker.example"));
    EXPECT_EQ("qvFFKEPT", Query(m_root + "\\" + kFirefox + "cookies.sqlite", "select name from moz_cookies"));
    EXPECT_EQ("qvLSKEPT", Query(m_root + "\\" + kFirefox + "webappsstore.sqlite", "select value from webappsstore2"));
    // The shared stores were said, never listed; nothing else was.
    for (const std::string& problem : m_context.m_problems)
        EXPECT_NE(std::string::npos, problem.find("holds the storage of every site together")) << problem;
    EXPECT_EQ(0, CountFoundItems(m_sections)) << "everything listed was cleaned";

    // With nothing kept, the shared stores go too, and every cookie.
    ScanAndClean({AREA_COOKIES, AREA_SITE_DATA}, {});
    for (const char* profile : kChromiumProfiles)
    {
        EXPECT_FALSE(Exists(m_root + "\\" + profile + "Local Storage\\leveldb\\000003.log"));
        EXPECT_FALSE(Exists(m_root + "\\" + profile + "IndexedDB\\https_www.kept.example_0.indexeddb.leveldb"));
        EXPECT_EQ("", Query(m_root + "\\" + profile + "Network\\Cookies", "select name from cookies"));
    }
    EXPECT_EQ("", Query(m_root + "\\" + kFirefox + "webappsstore.sqlite", "select value from webappsstore2"));
}

TEST_F(KeepScanTest, KeptPlacesAreNeverListedAndAKeepFileThatCannotBeUsedNarrowsNothing)
{
    // Kept places in a temporary folder: neither they nor the folders holding them are
    // listed; the rest goes.
    for (const char* file : {"temp\\a.tmp", "temp\\Keep Me\\inner.txt", "temp\\sub\\KEPT.txt", "temp\\sub\\b.tmp"})
        Plant(file);
    m_context.m_paths[SP_USER_TEMP] = m_root + "\\temp";
    CKeepFile file(m_root + "\\roaming");
    Plant("roaming\\Quorvantis\\keep.cfg", "# kept\r\nsite=kept.example\r\npath=" + m_root.str() +
                                                "\\temp\\keep me\r\npath=" + m_root.str() + "\\TEMP\\sub\\kept.txt\r\n");
    auto keep = std::make_shared<CKeepList>();
    CString error;
    ASSERT_EQ(KEEP_READ, file.Load(*keep, error)) << error.str();
    ScanAndClean({AREA_TEMP_FOLDERS}, {keep, CString(), CString()});
    for (const char* gone : {"temp\\a.tmp", "temp\\sub\\b.tmp"})
        EXPECT_FALSE(Exists(m_root + "\\" + gone)) << gone;
    for (const char* kept : {"temp\\Keep Me\\inner.txt", "temp\\sub\\KEPT.txt"})
        EXPECT_TRUE(Exists(m_root + "\\" + kept)) << kept;
    EXPECT_EQ(std::vector<std::string>{}, m_context.m_problems);

    // A keep file that is a link, one of another form, or none at all.
    const CString cfg = m_root + "\\roaming\\Quorvantis\\keep.cfg";
    Plant("roaming\\document.txt", "site=kept.example\r\n");
    const struct
    {
        const char* plant; // a host command, or the text of the file
        bool link;
        KeepLoad load;
        const char* reason;
    } kFiles[] = {
        {"ln -s", true, KEEP_UNREADABLE, "leads elsewhere"},
        {"ln", true, KEEP_UNREADABLE, "has 2 names"},
        {"site=kept.example\r\ncookies=all\r\n", false, KEEP_NOT_UNDERSTOOD, "line 2 is not a site or a path"},
    };
    for (const auto& c : kFiles)
    {
        SCOPED_TRACE(c.plant);
        RunHost("rm -f " + HostQuote(HostPath(cfg)));
        if (c.link)
            ASSERT_TRUE(RunHost(CString(c.plant) + " " + HostQuote(HostPath(m_root + "\\roaming\\document.txt")) +
                                " " + HostQuote(HostPath(m_root + "\\roaming\\Quorvantis")) + "/keep.cfg"));
        else
            Plant("roaming\\Quorvantis\\keep.cfg", c.plant);
        CKeepList read;
        EXPECT_EQ(c.load, file.Load(read, error));
        EXPECT_NE(std::string::npos, error.str().find(c.reason)) << error.str();
        EXPECT_FALSE(read.HasSites());
    }
    DeleteFileA(cfg);
    CKeepList none;
    EXPECT_EQ(KEEP_MISSING, file.Load(none, error));

    // The scan then leaves cookies and site data, says so once, and scans the rest.
    const CString profile = m_root + "\\" + kChromiumProfiles[0];
    Plant((std::string(kChromiumProfiles[0]) + "IndexedDB\\https_a.example_0.indexeddb.leveldb\\LOG").c_str());
    Plant((std::string(kChromiumProfiles[0]) + "Sessions\\Tabs_1").c_str());
    Exec((std::string(kChromiumProfiles[0]) + "Cookies").c_str(), std::string(kSchema_chromium_Cookies) + R"(
insert into cookies values (1, '.a.example', '', 'qvCOOKIE', 'v', x'00', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0))");
    m_context.m_problems.clear();
    ScanAndClean({AREA_COOKIES, AREA_SITE_DATA, AREA_SESSIONS}, {nullptr, cfg, "leads elsewhere (a link)"});
    EXPECT_EQ(std::vector<std::string>{"1 " + cfg.str() +
                                       ": leads elsewhere (a link); cookies and site data were not scanned"},
              m_context.m_problems);
    EXPECT_EQ(std::vector<std::string>{"Browser session file: " + profile.str() + "Sessions\\Tabs_1"}, m_found);
    EXPECT_EQ("qvCOOKIE", Query(profile + "Cookies", "select name from cookies"));
    EXPECT_TRUE(Exists(profile + "IndexedDB\\https_a.example_0.indexeddb.leveldb\\LOG"));
}
} // namespace
