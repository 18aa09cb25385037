// The Chromium family and every Firefox profile: real table layouts made through
// SQLite in Default and Profile 1, listed, cleaned, locked, corrupted or missing.
#include "TestUtil.h"
#include "browsers/Chromium.h"
#include "browsers/Mozilla.h"
#include "engine/CleanRun.h"
#include "engine/ScanRun.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>

using namespace testutil;

namespace
{
const char kHistory[] =
    "create table meta(key longvarchar not null unique primary key, value longvarchar);"
    "create table urls(id integer primary key autoincrement, url longvarchar, title longvarchar,"
    " visit_count integer default 0 not null, typed_count integer default 0 not null,"
    " last_visit_time integer not null default 0, hidden integer default 0 not null);"
    "create table visits(id integer primary key, url integer not null, visit_time integer not null,"
    " from_visit integer, transition integer default 0 not null, segment_id integer);"
    "create table keyword_search_terms(keyword_id integer not null, url_id integer not null, term "
    "longvarchar not null,"
    " normalized_term longvarchar not null);"
    "create table segments(id integer primary key, name varchar, url_id integer non null);"
    "create table segment_usage(id integer primary key, segment_id integer not null, time_slot integer not "
    "null,"
    " visit_count integer default 0 not null);"
    "create table downloads(id integer primary key, guid varchar not null, current_path longvarchar not null,"
    " target_path longvarchar not null, start_time integer not null, received_bytes integer not null,"
    " total_bytes integer not null, state integer not null);"
    "create table downloads_url_chains(id integer not null, chain_index integer not null, url longvarchar "
    "not null,"
    " primary key (id, chain_index));"
    "insert into meta values ('version', '56');"
    "insert into urls (id, url, typed_count) values (1, 'https://visited.example/', 0),"
    " (2, 'https://typed.example/', 2), (3, 'https://later.example/', 0);"
    "insert into visits (id, url, visit_time) values (1, 1, 100), (2, 2, 200), (3, 1, 300);"
    "insert into keyword_search_terms values (1, 1, 'secret search', 'secret search');"
    "insert into segments values (1, 'visited.example', 1);"
    "insert into segment_usage values (1, 1, 1, 1);"
    "insert into downloads values (1, 'g', 'C:\\dl\\setup.crdownload', 'C:\\dl\\setup.exe', 1, 1, 1, 1);"
    "insert into downloads_url_chains values (1, 0, 'https://dl.example/setup.exe');";
const char kCookies[] =
    "create table cookies(creation_utc integer not null, host_key text not null, name text not null,"
    " value text not null, path text not null, encrypted_value blob default '');"
    "insert into cookies values (1, '.example.com', 'sid', '', '/app', x'00');";
const char kWebData[] =
    "create table autofill(name varchar, value varchar, value_lower varchar,"
    " date_created int default 0, date_last_used int default 0, count int default 1,"
    " primary key (name, value));"
    "create table credit_cards(guid varchar primary key, name_on_card varchar);"
    "insert into autofill (name, value, value_lower) values ('email', 'me@example.com', 'me@example.com');"
    "insert into credit_cards values ('card', 'Card Holder');";
const char kLogins[] = "create table logins(origin_url varchar, username_value varchar);"
                       "insert into logins values ('https://bank.example/', 'me');";
const char kBookmarks[] =
    "{\"roots\": {\"bookmark_bar\": {\"children\": [{\"url\": \"https://visited.example/\"}]}}}";

bool Exec(const CString& path, const char* sql)
{
    sqlite3* db = nullptr;
    bool ok =
        sqlite3_open(path, &db) == SQLITE_OK && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

int Count(const CString& path, const char* sql)
{
    sqlite3* db = nullptr;
    int count = -1;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        sqlite3_exec(
            db, sql,
            [](void* c, int, char** texts, char**)
            {
                *static_cast<int*>(c) = texts[0] ? atoi(texts[0]) : -1;
                return 0;
            },
            &count, nullptr);
    sqlite3_close(db);
    return count;
}

class ChromiumTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = MakeTestRoot("chromium");
        m_local = m_root + "\\local";
        m_roaming = m_root + "\\roaming";
        m_chrome = m_local + "\\Google\\Chrome\\User Data\\";
        for (const CString& dir :
             {m_local, m_roaming, m_local + "\\Google", m_local + "\\Google\\Chrome",
              m_chrome.Left(m_chrome.GetLength() - 1), m_chrome + "Default", m_chrome + "Profile 1",
              m_chrome + "Default\\Network", m_chrome + "System Profile"})
            MakeDir(dir);
    }
    void TearDown() override { RemoveTree(m_root); }
    // A whole profile: history, cookies, forms, saved passwords and bookmarks.
    void MakeProfile(const CString& profile)
    {
        ASSERT_TRUE(Exec(profile + "History", kHistory));
        ASSERT_TRUE(Exec(profile + "Network\\Cookies", kCookies));
        ASSERT_TRUE(Exec(profile + "Web Data", kWebData));
        ASSERT_TRUE(Exec(profile + "Login Data", kLogins));
        ASSERT_TRUE(WriteBytes(profile + "Bookmarks", kBookmarks));
    }
    CString m_root, m_local, m_roaming, m_chrome;
};
} // namespace

TEST_F(ChromiumTest, ListsAndCleansTracesAndKeepsPasswordsBookmarksAndLaterVisits)
{
    const CString profile = m_chrome + "Default\\";
    MakeProfile(profile);
    EXPECT_EQ((std::vector<CString>{profile, m_chrome + "Profile 1\\"}),
              FindChromiumProfiles(m_local, m_roaming));

    CFoundItemList list;
    CCountingTick tick;
    for (int query : {CQ_COOKIES, CQ_HISTORY, CQ_TYPED, CQ_FORMS, CQ_DOWNLOADS})
        ScanChromiumProfile(profile, query, list, tick);
    EXPECT_EQ(
        (std::vector<std::string>{
            "Chromium cookie: sid at .example.com/app", "Chromium history entry: https://visited.example/",
            "Chromium history entry: https://typed.example/",
            "Chromium history entry: https://visited.example/", "Chromium typed URL: https://typed.example/",
            "Chromium search term: secret search", "Chromium form data: me@example.com",
            "Chromium download: C:\\dl\\setup.exe - https://dl.example/setup.exe"}),
        Texts(list, true));

    // A visit made after the scan, and the address it uses, stay.
    ASSERT_TRUE(Exec(profile + "History", "insert into visits (id, url, visit_time) values (4, 3, 400);"));
    std::string bookmarks;
    CleanList(list);
    EXPECT_TRUE(list.empty());
    const CString history = profile + "History";
    EXPECT_EQ(1, Count(history, "select count(*) from visits where id = 4"));
    EXPECT_EQ(0, Count(history, "select count(*) from visits where id < 4"));
    EXPECT_EQ(1, Count(history, "select count(*) from urls"));
    EXPECT_EQ(1, Count(history, "select count(*) from urls where url = 'https://later.example/'"));
    for (const char* table :
         {"keyword_search_terms", "segments", "segment_usage", "downloads", "downloads_url_chains"})
        EXPECT_EQ(0, Count(history, (std::string("select count(*) from ") + table).c_str())) << table;
    EXPECT_EQ(1, Count(history, "select count(*) from meta"));
    EXPECT_EQ(0, Count(profile + "Network\\Cookies", "select count(*) from cookies"));
    EXPECT_EQ(0, Count(profile + "Web Data", "select count(*) from autofill"));
    EXPECT_EQ(1, Count(profile + "Web Data", "select count(*) from credit_cards"));
    EXPECT_EQ(1, Count(profile + "Login Data", "select count(*) from logins"));
    ASSERT_TRUE(ReadBytes(profile + "Bookmarks", bookmarks));
    EXPECT_EQ(kBookmarks, bookmarks);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(history, bytes));
    EXPECT_EQ(std::string::npos, bytes.find("secret search")) << "deleted rows are overwritten";
}

TEST_F(ChromiumTest, LockedCorruptedAndMissingDatabases)
{
    const CString profile = m_chrome + "Profile 1\\";
    ASSERT_TRUE(Exec(profile + "History", kHistory));
    ASSERT_TRUE(WriteBytes(profile + "Web Data", std::string(4096, 'x'))); // not a database
    sqlite3* holder = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(profile + "History", &holder));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr,
                                      nullptr, nullptr));

    CFoundItemList list;
    CProblemSink problems;
    for (int query : {CQ_COOKIES, CQ_HISTORY, CQ_FORMS})
        ScanChromiumProfile(profile, query, list, problems);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ((std::vector<std::string>{(profile + "History").str(), (profile + "Web Data").str()}),
              problems.m_places);
    EXPECT_FALSE(Exists(profile + "Cookies")) << "a database that is not there is not made";
    EXPECT_FALSE(Exists(profile + "Network"));
    sqlite3_exec(holder, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(holder);

    // A database whose clean fails (here a stored trigger refuses it) is said once, with
    // SQLite's message, and its rows stay listed.
    ASSERT_TRUE(Exec(profile + "Cookies", kCookies));
    ASSERT_TRUE(Exec(profile + "Cookies", "insert into cookies values (2, '.b.com', 'b', '', '/', x'00');"
                                         "create trigger keep before delete on cookies"
                                         " begin select raise(abort, 'cookies are kept'); end;"));
    CSectionList sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
    ScanChromiumProfile(profile, CQ_COOKIES, sections[SECTION_BROWSERS]->GetFoundItems(), problems);
    ASSERT_EQ(2u, sections[SECTION_BROWSERS]->GetFoundItems().size());
    CProblemSink cleanProblems;
    CTestCleanHost host;
    CleanSections(sections, cleanProblems, &host);
    EXPECT_EQ(2u, sections[SECTION_BROWSERS]->GetFoundItems().size());
    ASSERT_EQ((std::vector<std::string>{(profile + "Cookies").str()}), cleanProblems.m_places);
    EXPECT_NE(std::string::npos, cleanProblems.m_reasons[0].find("cookies are kept")) << cleanProblems.m_reasons[0];
}

TEST(FirefoxProfilesTest, ProfilesIniRelativeAbsoluteAndDefaultFolders)
{
    CString appData = MakeTestRoot("profiles");
    const CString firefox = appData + "\\Mozilla\\Firefox";
    for (const CString& dir :
         {appData + "\\Mozilla", firefox, firefox + "\\Profiles", firefox + "\\Profiles\\rel.default-release",
          firefox + "\\Profiles\\old.default", appData + "\\elsewhere"})
        MakeDir(dir);
    MakeDir(appData + "\\late");
    // A profile listed after 64 KiB of other sections is read too; relative paths that
    // climb out, and "absolute" ones that are not, are said and never taken from the
    // current folder.
    WriteBytes(firefox + "\\profiles.ini", "[General]\r\nStartWithLastProfile=1\r\n\r\n"
                                           "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\n"
                                           "Path=Profiles/rel.default-release\r\n\r\n"
                                           "[Profile1]\r\nName=abs\r\nIsRelative=0\r\nPath=" +
                                               (appData + "\\elsewhere").str() +
                                               "\r\n\r\n[Profile2]\r\nIsRelative=1\r\nPath=../../escape\r\n"
                                               "\r\n[Profile3]\r\nIsRelative=0\r\nPath=.\r\n" +
                                               "\r\n[Install]\r\nPad=" + std::string(70000, 'x') +
                                               "\r\n[Profile4]\r\nIsRelative=0\r\nPath=" + (appData + "\\late").str());
    CProblemSink sink;
    EXPECT_EQ((std::vector<CString>{firefox + "\\Profiles\\rel.default-release\\", appData + "\\elsewhere\\",
                                    appData + "\\late\\", firefox + "\\Profiles\\old.default\\"}),
              FindFirefoxProfiles(appData, sink));
    EXPECT_EQ((std::vector<std::string>{"../../escape", "."}), sink.m_places);
    RemoveTree(appData);
}

TEST(BrowserAdviceTest, ChromiumBrowsersByProgramFile)
{
    const std::map<std::string, const char*> names = {
        {"chrome.exe", "Google Chrome"}, {"MSEDGE.EXE", "Microsoft Edge"}, {"brave.exe", "Brave"},
        {"vivaldi.exe", "Vivaldi"},      {"opera.exe", "Opera"},           {"notepad.exe", nullptr}};
    for (const auto& n : names)
    {
        const char* name = ChromiumBrowserName(n.first.c_str());
        EXPECT_STREQ(n.second, name) << n.first;
    }
    CRunningBrowsers browsers;
    browsers.firefox = true;
    browsers.chromium = {"Google Chrome", "Microsoft Edge"};
    EXPECT_EQ(CString("For best cleaning results it is recomended to close the following applications:\n"
                      "\tMozilla Firefox\n\tGoogle Chrome\n\tMicrosoft Edge\n"),
              BuildBrowserAdvice(browsers));
}
