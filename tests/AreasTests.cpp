#include "TestUtil.h"
#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "model/CleanHost.h"
#include "engine/CleanRun.h"
#include "model/ScanItem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace testutil;

namespace
{

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 23);
    return bytes;
}

int CleanFile(const CString& path, int kind, bool shred = false)
{
    CTestCleanHost host(shred);
    CFileTarget target(path, kind);
    target.SetOwner(&host);
    target.Clean();
    EXPECT_EQ(1, target.GetAttempted());
    return target.GetCleaned();
}

class AreasTest : public ::testing::Test
{
protected:
    void SetUp() override { m_root = MakeTestRoot("areas"); }
    void TearDown() override { RemoveTree(m_root); }
    CString m_root;
};
} // namespace

TEST_F(AreasTest, WalkListsFoldersBeforeTheirCompleteContent)
{
    // root: A, S\{B, T\{C}, U\{}}, V\{D}
    for (const char* dir : {"\\S", "\\S\\T", "\\S\\U", "\\V"})
        MakeDir(m_root + dir);
    for (const char* file : {"\\A", "\\S\\B", "\\S\\T\\C", "\\V\\D"})
        WriteBytes(m_root + file, "x");

    CFoundItemList list;
    CCountingTick tick;
    WalkFolder(m_root, FK_TEMP_FILE, FK_TEMP_FOLDER, list, tick);
    ASSERT_EQ(8u, list.size());
    EXPECT_EQ(8, tick.m_count);

    std::map<std::string, size_t> position;
    for (size_t i = 0; i < list.size(); ++i)
    {
        const CFileTarget& item = dynamic_cast<const CFileTarget&>(*list[i]);
        CString path = item.GetDisplayText();
        ASSERT_EQ(m_root, path.Left(m_root.GetLength()));
        bool isFolder = path[path.GetLength() - 1] == '\\';
        EXPECT_EQ(isFolder ? FK_TEMP_FOLDER : FK_TEMP_FILE, item.GetFileKind()) << path;
        EXPECT_EQ(-1, path.Find("\\\\")) << path;
        position[path.Mid(m_root.GetLength()).str()] = i;
    }
    ASSERT_EQ(8u, position.size());
    // Each folder is followed directly by its whole content before any sibling: the
    // four entries below S take exactly the four positions after it.
    const size_t s = position["\\S\\"];
    std::set<size_t> inside, expected = {s + 1, s + 2, s + 3, s + 4};
    for (const char* entry : {"\\S\\B", "\\S\\T\\", "\\S\\T\\C", "\\S\\U\\"})
        inside.insert(position[entry]);
    EXPECT_EQ(expected, inside);
    EXPECT_EQ(position["\\S\\T\\"] + 1, position["\\S\\T\\C"]);
    EXPECT_EQ(position["\\V\\"] + 1, position["\\V\\D"]);

    // A trailing backslash on the walked folder changes nothing; the folder is no item.
    CFoundItemList again;
    WalkFolder(m_root + "\\", FK_TEMP_FILE, FK_TEMP_FOLDER, again, tick);
    ASSERT_EQ(list.size(), again.size());
    for (size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(list[i]->GetDisplayText(), again[i]->GetDisplayText());
}

TEST_F(AreasTest, WalkOfEmptyMissingOrUnnamedFolderAddsNothing)
{
    CFoundItemList list;
    CCountingTick tick;
    WalkFolder(m_root, FK_TEMP_FILE, FK_TEMP_FOLDER, list, tick);
    WalkFolder(m_root + "\\missing", FK_TEMP_FILE, FK_TEMP_FOLDER, list, tick);
    WalkFolder("", FK_TEMP_FILE, FK_TEMP_FOLDER, list, tick);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(0, tick.m_count);
}

TEST_F(AreasTest, WalkNeitherListsNorEntersDirectoryLinks)
{
    MakeDir(m_root + "\\temp");
    MakeDir(m_root + "\\documents");
    WriteBytes(m_root + "\\documents\\precious.doc", "keep");
    WriteBytes(m_root + "\\temp\\junk.tmp", "x");
    // Wine's CreateSymbolicLink makes nothing: the link is made on the host.
    ASSERT_TRUE(MakeHostLink(m_root + "\\documents", m_root + "\\temp\\link"));
    ASSERT_NE(0u, GetFileAttributesA(m_root + "\\temp\\link") & FILE_ATTRIBUTE_REPARSE_POINT);

    CFoundItemList list;
    CCountingTick tick;
    WalkFolder(m_root + "\\temp", FK_TEMP_FILE, FK_TEMP_FOLDER, list, tick);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(m_root + "\\temp\\junk.tmp", list[0]->GetDisplayText());
    EXPECT_TRUE(Exists(m_root + "\\documents\\precious.doc"));
}

// A tree deeper than the host takes in one path (60 folders of 100-letter names, over
// 6,000 bytes): each folder is listed from its parent's handle, so every entry is
// found; what the clean then cannot reach is left, each with its reason.
TEST_F(AreasTest, ATreeDeeperThanOnePathIsListedWholeAndWhatIsLeftSaysWhy)
{
    ASSERT_TRUE(RunHost("python3 -c \"import os,sys\nfd=os.open(sys.argv[1],os.O_RDONLY)\n"
                        "for i in range(60):\n os.mkdir('n'*100,dir_fd=fd)\n"
                        " f=os.open('f%d'%i,os.O_WRONLY|os.O_CREAT,dir_fd=fd); os.close(f)\n"
                        " n=os.open('n'*100,os.O_RDONLY,dir_fd=fd); os.close(fd); fd=n\" " +
                        HostQuote(HostPath(m_root))));
    CSectionList sections(1, CScanItemPtr(new CScanItem("Windows", 0)));
    CFoundItemList& list = sections[0]->GetFoundItems();
    CProblemSink sink;
    WalkFolder(m_root, FK_TEMP_FILE, FK_TEMP_FOLDER, list, sink);
    EXPECT_EQ(120u, list.size());
    EXPECT_TRUE(sink.m_places.empty());
    const CString deepest = list.back()->GetDisplayText();
    EXPECT_GT(deepest.GetLength(), 6000);

    CTestCleanHost host;
    CProblemSink cleanSink;
    CleanSections(sections, cleanSink, &host);
    for (const CCleanTargetPtr& left : list)
        EXPECT_NE(cleanSink.m_places.end(),
                  std::find(cleanSink.m_places.begin(), cleanSink.m_places.end(), left->GetDisplayText().str()))
            << "left without a reason: " << left->GetDisplayText().Right(40).GetString();
    EXPECT_EQ(list.size(), cleanSink.m_places.size());
}

TEST_F(AreasTest, ReadOnlyFileIsForcedAndVanishedFileCountsAsGone)
{
    CString path = m_root + "\\readonly.txt";
    WriteBytes(path, "data");
    SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, CleanFile(path, FK_TEMP_FILE, true));
    EXPECT_FALSE(Exists(path));
    // Removed by its owner between the scan and the clean: the trace is gone.
    EXPECT_EQ(1, CleanFile(path, FK_TEMP_FILE));
    EXPECT_EQ(1, CleanFile(m_root + "\\gone\\", FK_TEMP_FOLDER));
    EXPECT_EQ(1, DeleteFileForced(path));
}

TEST_F(AreasTest, LockedFileStaysAndItsFolderToo)
{
    MakeDir(m_root + "\\busy");
    CString path = m_root + "\\busy\\locked.log";
    WriteBytes(path, "in use");
    HANDLE lock = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_EQ(0, CleanFile(path, FK_TEMP_FILE, true));
    EXPECT_EQ(0, CleanFile(m_root + "\\busy\\", FK_TEMP_FOLDER));
    EXPECT_TRUE(Exists(path));
    CloseHandle(lock);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(path, bytes));
    EXPECT_EQ("in use", bytes); // the shred could not open it either
    EXPECT_EQ(1, CleanFile(path, FK_TEMP_FILE));
    EXPECT_EQ(1, CleanFile(m_root + "\\busy\\", FK_TEMP_FOLDER));
    EXPECT_FALSE(Exists(m_root + "\\busy"));
}

TEST_F(AreasTest, OnlyALockedFileNamedIndexDatCountsAsCleaned)
{
    MakeDir(m_root + "\\index.dat.d");
    const struct
    {
        const char* name;
        int cleaned;
    } cases[] = {{"\\index.dat", 1}, {"\\index.dat.d\\INDEX.DAT", 1}, {"\\index.dat.d\\report.docx", 0}, {"\\index.dat.bak", 0}};
    for (const auto& c : cases)
    {
        CString path = m_root + c.name;
        WriteBytes(path, "index");
        HANDLE lock = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        EXPECT_EQ(c.cleaned, CleanFile(path, FK_IE_HISTORY_FILE)) << c.name;
        EXPECT_TRUE(Exists(path)) << c.name;
        CloseHandle(lock);
    }
}

TEST_F(AreasTest, ShredOverwritesAtMostTheFirstMegabyteAndKeepsTheLength)
{
    const size_t sizes[] = {3 * 1048576, 5000, 4096, 1048577, 0};
    for (size_t size : sizes)
    {
        CString path;
        path.Format("%s\\shred-%u.bin", m_root.GetString(), static_cast<unsigned>(size));
        std::string original = Pattern(size);
        ASSERT_TRUE(WriteBytes(path, original));
        ShredFile(path);
        std::string after;
        ASSERT_TRUE(ReadBytes(path, after));
        ASSERT_EQ(size, after.size());
        size_t limit = size < 1048576 ? size : 1048576;
        EXPECT_EQ(std::string(limit, '\0'), after.substr(0, limit)) << size;
        EXPECT_EQ(original.substr(limit), after.substr(limit)) << size;
    }
}

TEST_F(AreasTest, ShredSkipsFilesItCannotOpenOrThatHaveOtherLinks)
{
    CString readOnly = m_root + "\\ro.bin";
    WriteBytes(readOnly, "read only");
    SetFileAttributesA(readOnly, FILE_ATTRIBUTE_READONLY);
    ShredFile(readOnly);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(readOnly, bytes));
    EXPECT_EQ("read only", bytes);
    ShredFile(m_root + "\\missing.bin"); // nothing to do, nothing created
    EXPECT_FALSE(Exists(m_root + "\\missing.bin"));

    CString original = m_root + "\\document.txt";
    CString link = m_root + "\\temp-link.txt";
    WriteBytes(original, "listed nowhere");
    ASSERT_TRUE(CreateHardLinkA(link, original, nullptr));
    EXPECT_EQ(1, CleanFile(link, FK_TEMP_FILE, true));
    EXPECT_FALSE(Exists(link));
    ASSERT_TRUE(ReadBytes(original, bytes));
    EXPECT_EQ("listed nowhere", bytes);
}

TEST_F(AreasTest, ScanDiskFragmentsInTheRootOfFixedDrives)
{
    // Drive C: is the test prefix's own folder.
    const CString found = "C:\\FOUND.000";
    RemoveTree(found);
    ASSERT_TRUE(MakeDir(found));
    MakeDir(found + "\\DIR0000.CHK");
    WriteBytes(found + "\\FILE0001.CHK", "x");
    WriteBytes("C:\\FILE0000.CHK", "x");

    CFoundItemList list;
    CCountingTick tick;
    ScanScanDiskFragments(list, tick);
    std::map<std::string, int> kinds;
    for (const CCleanTargetPtr& item : list)
        kinds[item->GetDisplayText().str()] = dynamic_cast<CFileTarget&>(*item).GetFileKind();
    std::map<std::string, int> expected = {{"C:\\FILE0000.CHK", FK_SCANDISK_FILE},
                                           {"C:\\FOUND.000\\", FK_SCANDISK_FOLDER},
                                           {"C:\\FOUND.000\\DIR0000.CHK\\", FK_SCANDISK_FOLDER},
                                           {"C:\\FOUND.000\\FILE0001.CHK", FK_SCANDISK_FILE}};
    EXPECT_EQ(expected, kinds);
    EXPECT_EQ(4, tick.m_count);

    DeleteFileA("C:\\FILE0000.CHK");
    RemoveTree(found);
}

TEST_F(AreasTest, DefaultProfileIsTheFirstDotDefaultFolder)
{
    CString profiles = m_root + "\\Profiles\\";
    MakeDir(profiles);
    EXPECT_EQ(CString(""), FindDefaultProfile(profiles));
    EXPECT_EQ(CString(""), FindDefaultProfile(""));
    MakeDir(profiles + "abc.default-release");
    EXPECT_EQ(CString(""), FindDefaultProfile(profiles));
    MakeDir(profiles + "x1.default");
    MakeDir(profiles + "y2.default");
    CString found = FindDefaultProfile(profiles);
    EXPECT_TRUE(found == profiles + "x1.default\\" || found == profiles + "y2.default\\") << found;
}
