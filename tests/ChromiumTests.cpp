// The Chromium family's profiles and every Firefox profile: found, and databases locked,
// corrupted or missing.
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
    "create table urls(id integer primary key, url longvarchar);"
    "create table visits(id integer primary key, url integer not null, visit_time integer not null);"
    "insert into urls values (1, 'https://visited.example/');"
    "insert into visits values (1, 1, 100);";
const char kCookies[] =
    "create table cookies(creation_utc integer not null, host_key text not null, name text not null,"
    " value text not null, path text not null, encrypted_value blob default '');"
    "insert into cookies values (1, '.example.com', 'sid', '', '/app', x'00');";

bool Exec(const CString& path, const char* sql)
{
    sqlite3* db = nullptr;
    bool ok =
        sqlite3_open(path, &db) == SQLITE_OK && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
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
    CString m_root, m_local, m_roaming, m_chrome;
};
} // namespace

TEST_F(ChromiumTest, ProfilesOfEveryBrowser)
{
    EXPECT_EQ((std::vector<CString>{m_chrome + "Default\\", m_chrome + "Profile 1\\"}),
              FindChromiumProfiles(m_local, m_roaming));
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
    for (int trace : {BT_COOKIES, BT_HISTORY, BT_FORMS})
        ScanChromiumProfile(profile, trace, list, problems);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ((std::vector<std::string>{(profile + "History").str(), (profile + "Web Data").str()}),
              problems.m_places);
    EXPECT_FALSE(Exists(profile + "Cookies")) << "a database that is not there is not made";
    EXPECT_FALSE(Exists(profile + "Network"));
    sqlite3_exec(holder, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(holder);

    // A database whose clean fails (the browser holds it) is said once, with SQLite's
    // message, and its rows stay listed. A stored trigger that would refuse the clean
    // never runs.
    ASSERT_TRUE(Exec(profile + "Cookies", kCookies));
    ASSERT_TRUE(Exec(profile + "Cookies", "insert into cookies values (2, '.b.com', 'b', '', '/', x'00');"
                                          "create trigger keep before delete on cookies"
                                          " begin select raise(abort, 'cookies are kept'); end;"));
    for (bool held : {true, false})
    {
        CSectionList sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
        ScanChromiumProfile(profile, BT_COOKIES, sections[SECTION_BROWSERS]->GetFoundItems(), problems);
        ASSERT_EQ(2u, sections[SECTION_BROWSERS]->GetFoundItems().size());
        if (held)
        {
            ASSERT_EQ(SQLITE_OK, sqlite3_open(profile + "Cookies", &holder));
            ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder, "begin exclusive", nullptr, nullptr, nullptr));
        }
        CProblemSink cleanProblems;
        CTestCleanHost host;
        CleanSections(sections, cleanProblems, &host);
        sqlite3_close(holder);
        holder = nullptr;
        EXPECT_EQ(held ? 2u : 0u, sections[SECTION_BROWSERS]->GetFoundItems().size());
        ASSERT_EQ(held ? std::vector<std::string>{(profile + "Cookies").str()} : std::vector<std::string>{},
                  cleanProblems.m_places);
        if (held)
        {
            EXPECT_NE(std::string::npos, cleanProblems.m_reasons[0].find("locked")) << cleanProblems.m_reasons[0];
        }
    }
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
    WriteBytes(firefox + "\\profiles.ini",
               "[General]\r\nStartWithLastProfile=1\r\n\r\n"
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
    EXPECT_EQ(CString("For best cleaning results it is recommended to close the following applications:\n"
                      "\tMozilla Firefox\n\tGoogle Chrome\n\tMicrosoft Edge\n"),
              BuildBrowserAdvice(browsers));
}
