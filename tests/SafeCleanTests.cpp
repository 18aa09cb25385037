// What is listed is what is deleted: hostile names, links and swaps planted on the host
// side, cleaned with shredding on, and checked on the host side afterwards.
#include "TestUtil.h"
#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"
#include "engine/CleanRun.h"
#include "engine/ScanPaths.h"
#include "engine/ScanRoots.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <set>

using namespace testutil;

namespace
{
bool CreateWide(const CString& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(ToLongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(h);
    return done == bytes.size();
}

bool MakeWideDir(const CString& path)
{
    return CreateDirectoryW(ToLongPath(path).c_str(), nullptr) != FALSE;
}

// The content of a host file, or "<missing>".
std::string HostContent(const CString& path)
{
    std::string bytes;
    return ReadBytes(path, bytes) ? bytes : std::string("<missing>");
}

class SafeCleanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = MakeTestRoot("safe");
        m_temp = m_root + "\\Temp";
        m_outside = m_root + "\\outside";
        MakeDir(m_temp);
        MakeDir(m_outside);
    }
    void TearDown() override { RemoveTree(m_root); }

    // Walks the temp folder into one section and cleans it with shredding on.
    CSectionList Walk()
    {
        CSectionList sections(1, CScanItemPtr(new CScanItem("Windows", 0)));
        WalkFolder(m_temp, FK_TEMP_FILE, FK_TEMP_FOLDER, sections[0]->GetFoundItems(), m_sink);
        return sections;
    }
    std::set<std::string> Listed(const CSectionList& sections, const char* prefix = "")
    {
        std::set<std::string> texts;
        for (const CCleanTargetPtr& item : sections[0]->GetFoundItems())
            texts.insert(std::string(prefix) + item->GetDisplayText().Mid(m_temp.GetLength()).str());
        return texts;
    }
    void Clean(CSectionList& sections)
    {
        CTestCleanHost shredding(true);
        CleanSections(sections, m_sink, &shredding);
    }

    CString m_root, m_temp, m_outside;
    CProblemSink m_sink;
};
} // namespace

TEST_F(SafeCleanTest, HostileNamesAndLinksNeverLeadOutOfTheFolder)
{
    // Precious files outside the temp folder, each reachable by one trick.
    CreateWide(m_outside + "\\target.bin", "linked file");
    CreateWide(m_root + "\\victim.bin", "one level up");
    MakeDir(m_outside + "\\evil");
    CreateWide(m_outside + "\\evil\\keep.txt", "behind a folder link");
    // 1. a file link; 2. fullwidth dots and reverse solidus, which a best-fit ANSI
    // conversion turns into "..\"; 3. a host name holding a real "\"; 4. a folder
    // "evil." beside a folder link "evil".
    ASSERT_TRUE(MakeHostLink(m_outside + "\\target.bin", m_temp + "\\flink.bin"));
    ASSERT_TRUE(CreateWide(m_temp + "\\\xEF\xBC\x8E\xEF\xBC\x8E\xEF\xBC\xBCvictim.bin", "fullwidth"));
    ASSERT_TRUE(RunHost("echo x > " + HostQuote(HostPath(m_temp) + "/..\\victim.bin")));
    ASSERT_TRUE(MakeWideDir(m_temp + "\\evil."));
    ASSERT_TRUE(CreateWide(m_temp + "\\evil.\\junk.txt", "junk"));
    ASSERT_TRUE(MakeHostLink(m_outside + "\\evil", m_temp + "\\evil"));

    CSectionList sections = Walk();
    const std::set<std::string> listed = {"\\flink.bin", "\\\xEF\xBC\x8E\xEF\xBC\x8E\xEF\xBC\xBCvictim.bin",
                                          "\\evil.\\", "\\evil.\\junk.txt"};
    EXPECT_EQ(listed, Listed(sections));
    EXPECT_EQ(std::vector<std::string>{(m_temp + "\\..\\victim.bin").str()}, m_sink.m_places);

    Clean(sections);
    // The link stays listed: it leads elsewhere. So do "evil." and its content: Wine
    // names their handles without the dot, the very name of the folder link beside
    // them, so they cannot be told apart from it and are left alone.
    EXPECT_EQ((std::set<std::string>{"\\flink.bin", "\\evil.\\", "\\evil.\\junk.txt"}), Listed(sections));
    EXPECT_FALSE(Exists(m_temp + "\\\xEF\xBC\x8E\xEF\xBC\x8E\xEF\xBC\xBCvictim.bin"));
    EXPECT_EQ("linked file", HostContent(m_outside + "\\target.bin"));
    EXPECT_EQ("one level up", HostContent(m_root + "\\victim.bin"));
    EXPECT_EQ("behind a folder link", HostContent(m_outside + "\\evil\\keep.txt"));
}

TEST_F(SafeCleanTest, NamesOfEveryScriptAndLengthAreListedExactlyAndCleaned)
{
    const char* names[] = {"\\\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt", "\\caf\xC3\xA9.txt",
                           "\\\xE6\x97\xA5\xE6\x9C\xAC", "\\\xE6\x97\xA5\xE6\x9C\xAC\\\xF0\x9F\x98\x80.txt"};
    ASSERT_TRUE(CreateWide(m_temp + names[0], "a"));
    ASSERT_TRUE(CreateWide(m_temp + names[1], "b"));
    ASSERT_TRUE(MakeWideDir(m_temp + names[2]));
    ASSERT_TRUE(CreateWide(m_temp + names[3], "c"));
    // Past 260 characters: three nested folders of 100 characters and a file.
    CString deep = m_temp;
    std::set<std::string> expected = {std::string(names[0]), names[1], std::string(names[2]) + "\\",
                                      names[3]};
    for (char letter : {'p', 'q', 'r'})
    {
        deep += "\\" + CString(letter, 100);
        ASSERT_TRUE(MakeWideDir(deep));
        expected.insert(deep.Mid(m_temp.GetLength()).str() + "\\");
    }
    ASSERT_TRUE(CreateWide(deep + "\\long.txt", "d"));
    expected.insert((deep + "\\long.txt").Mid(m_temp.GetLength()).str());
    ASSERT_GT((deep + "\\long.txt").GetLength(), 300);

    CSectionList sections = Walk();
    EXPECT_EQ(expected, Listed(sections));
    Clean(sections);
    EXPECT_TRUE(sections[0]->GetFoundItems().empty());
    EXPECT_TRUE(RunHost("[ -z \"$(ls -A " + HostQuote(HostPath(m_temp)) + ")\" ]"))
        << "the temp folder is not empty";
}

TEST_F(SafeCleanTest, EntriesChangedBetweenListingAndCleaning)
{
    // After the listing: other\c vanishes, other\b becomes a link to a file outside,
    // other\e a second name of a file outside, and the folder sub is swapped for a link
    // to the folder outside.
    MakeDir(m_temp + "\\sub");
    MakeDir(m_temp + "\\other");
    CreateWide(m_temp + "\\sub\\a.txt", "temp");
    for (const char* name : {"\\b.txt", "\\c.txt", "\\d.txt", "\\e.txt"})
        CreateWide(m_temp + "\\other" + name, "temp");
    for (const char* name : {"\\a.txt", "\\b.txt", "\\e.txt"})
        CreateWide(m_outside + name, "precious");
    CSectionList sections = Walk();
    ASSERT_EQ(7u, sections[0]->GetFoundItems().size());

    DeleteFileA(m_temp + "\\other\\c.txt");
    DeleteFileA(m_temp + "\\other\\b.txt");
    DeleteFileA(m_temp + "\\other\\e.txt");
    ASSERT_TRUE(MakeHostLink(m_outside + "\\b.txt", m_temp + "\\other\\b.txt"));
    ASSERT_TRUE(RunHost("ln " + HostQuote(HostPath(m_outside + "\\e.txt")) + " " +
                        HostQuote(HostPath(m_temp + "\\other") + "/e.txt")));
    const CString hostTemp = HostPath(m_temp);
    ASSERT_TRUE(RunHost("mv " + HostQuote(hostTemp + "/sub") + " " + HostQuote(hostTemp + "/sub.old") +
                        " && ln -s " + HostQuote(HostPath(m_outside)) + " " + HostQuote(hostTemp + "/sub")));
    Clean(sections);

    // d is cleaned, c had vanished (cleaned: the trace is gone), e goes as the name it is
    // (the file outside keeps its own name and content); b, sub and what sub holds now
    // lead outside and stay listed (this system opens a link's target whatever is asked,
    // so they cannot be removed as links), and so does other, which still holds b.
    EXPECT_EQ((std::set<std::string>{"\\sub\\", "\\sub\\a.txt", "\\other\\", "\\other\\b.txt"}),
              Listed(sections));
    for (const char* name : {"\\a.txt", "\\b.txt", "\\e.txt"})
        EXPECT_EQ("precious", HostContent(m_outside + name)) << name;
    EXPECT_FALSE(Exists(m_temp + "\\other\\d.txt"));
    EXPECT_FALSE(Exists(m_temp + "\\other\\e.txt"));
    EXPECT_TRUE(RunHost("[ -L " + HostQuote(HostPath(m_temp + "\\other") + "/b.txt") + " ]")) << "the link stays";
    EXPECT_EQ("temp", HostContent(m_temp + "\\sub.old\\a.txt")) << "never listed under this name";
}

TEST_F(SafeCleanTest, OnlyScratchFoldersAreWalkedAndEachOnce)
{
    for (const char* dir : {"\\Documents", "\\Documents\\Projects", "\\windows", "\\windows\\Temp", "\\Favorites",
                            "\\Favorites\\Links", "\\outside"})
        MakeDir(m_root + dir);
    // A cache moved elsewhere through a link is cleaned where it leads; one that leads into
    // the documents is not.
    ASSERT_TRUE(MakeHostLink(m_root + "\\Documents\\Projects", m_root + "\\outside\\GPUCache"));
    ASSERT_TRUE(MakeHostLink(m_temp, m_root + "\\outside\\Cache_Data"));
    CScanRoots roots(std::vector<CScanRoots::CProtected>{{m_root + "\\Documents", true, false},
                                                         {m_root + "\\windows", false, false},
                                                         {m_root + "\\Favorites", true, true}});
    CString lowerTemp = m_temp;
    lowerTemp.MakeLower();
    const struct
    {
        CString path;
        CScanRoots::Verdict verdict;
        bool favoritesArea;
    } cases[] = {
        {"C:\\", CScanRoots::ROOT_REFUSED, false},
        {m_root, CScanRoots::ROOT_REFUSED, false},                           // holds Documents
        {m_root + "\\Documents", CScanRoots::ROOT_REFUSED, false},           // is one
        {m_root + "\\Documents\\Projects", CScanRoots::ROOT_REFUSED, false}, // lies inside one
        {m_root + "\\outside\\GPUCache", CScanRoots::ROOT_REFUSED, false},   // leads inside one
        {m_root + "\\windows", CScanRoots::ROOT_REFUSED, false},
        {m_root + "\\windows\\Temp", CScanRoots::ROOT_WALK, false},          // the Windows folder's scratch space
        {m_root + "\\Favorites\\Links", CScanRoots::ROOT_REFUSED, false},
        {m_root + "\\Favorites", CScanRoots::ROOT_WALK, true},               // the favorites area's own
        {m_temp, CScanRoots::ROOT_WALK, false},
        {lowerTemp, CScanRoots::ROOT_DUPLICATE, false}, // the same folder under another case
        {m_temp + "\\", CScanRoots::ROOT_DUPLICATE, false},
        {m_root + "\\outside\\Cache_Data", CScanRoots::ROOT_DUPLICATE, false}, // where it leads was walked
        {m_root + "\\missing", CScanRoots::ROOT_MISSING, false},
        {"", CScanRoots::ROOT_MISSING, false},
    };
    for (const auto& c : cases)
    {
        CString resolved, reason;
        EXPECT_EQ(c.verdict, roots.Admit(c.path, resolved, reason, c.favoritesArea)) << c.path;
        EXPECT_EQ(c.verdict == CScanRoots::ROOT_REFUSED, !reason.IsEmpty()) << c.path;
    }
    // The shell's folders: the profile, the Windows folder and the documents are refused.
    CScanRoots shell(nullptr);
    CString resolved, reason;
    for (int csidl : {CSIDL_PROFILE, CSIDL_WINDOWS, CSIDL_PERSONAL})
        EXPECT_EQ(CScanRoots::ROOT_REFUSED, shell.Admit(GetShellFolderPath(nullptr, csidl), resolved, reason))
            << csidl;
}
