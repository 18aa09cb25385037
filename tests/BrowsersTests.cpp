// Browser areas under Wine: Opera files written byte by byte, Internet Explorer folders.
#include "TestUtil.h"
#include "areas/FileTarget.h"
#include "browsers/OperaFormat.h"
#include "browsers/OperaReaders.h"
#include "browsers/OperaTarget.h"
#include "engine/Catalogue.h"
#include "engine/CleanRun.h"
#include "engine/ScanRun.h"
#include "model/CleanHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace testutil;

namespace
{
// A record file: header with the given widths, then raw bytes.
struct CRecordWriter
{
    std::string bytes;
    int tagWidth, lengthWidth;
    CRecordWriter(int tw = 1, int lw = 2) : tagWidth(tw), lengthWidth(lw)
    {
        Number(0x00001000, 4);
        Number(0x00020000, 4);
        Number(tw, 2);
        Number(lw, 2);
    }
    void Number(uint32_t value, int width)
    {
        for (int i = width - 1; i >= 0; --i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    static std::string Field(int tag, const std::string& data, int tw = 1, int lw = 2)
    {
        CRecordWriter w(tw, lw);
        w.bytes.clear();
        w.Number(tag, tw);
        w.Number(static_cast<uint32_t>(data.size()), lw);
        return w.bytes + data;
    }
    void Record(int tag, const std::string& payload)
    {
        Number(tag, tagWidth);
        Number(static_cast<uint32_t>(payload.size()), lengthWidth);
        bytes += payload;
    }
    void Flag(uint32_t tag) { Number(tag, tagWidth); }
};

std::vector<std::pair<std::string, std::string>> Entries(const std::string& file, int recordTag, int fieldTag)
{
    opera::CMemorySource source(file.data(), file.size());
    opera::CRecordFileDescription d;
    d.wantedRecordTag = recordTag;
    d.wantedFieldTag = fieldTag;
    std::vector<std::pair<std::string, std::string>> out;
    opera::ReadRecordEntries(source, d,
                             [&](const std::string& t, const std::string& f)
                             {
                                 out.push_back({t, f});
                                 return true;
                             });
    return out;
}

std::vector<std::string> Cookies(const std::string& file)
{
    opera::CMemorySource source(file.data(), file.size());
    opera::CRecordFileDescription d;
    std::vector<std::string> out;
    opera::ReadCookieEntries(source, d,
                             [&](const std::string& t)
                             {
                                 out.push_back(t);
                                 return true;
                             });
    return out;
}

template <class Reader> std::vector<std::string> Lines(const std::string& text, Reader reader)
{
    opera::CMemorySource source(text.data(), text.size());
    std::vector<std::string> out;
    reader(source,
           [&](const std::string& line)
           {
               out.push_back(line);
               return true;
           });
    return out;
}

typedef std::vector<std::pair<std::string, std::string>> CEntries;
} // namespace

TEST(OperaFormatTest, RecordsFieldsFlagsAndLimits)
{
    CRecordWriter w;
    w.Record(2, CRecordWriter::Field(3, "http://a/"));
    w.Flag(0x80); // a flag record: no length
    w.Record(9, CRecordWriter::Field(3, "other tag"));
    w.Record(2, CRecordWriter::Field(4, "x") + CRecordWriter::Field(3, "first") +
                    CRecordWriter::Field(3, "http://b/"));
    w.Record(2, CRecordWriter::Field(4, "no wanted field"));
    w.Record(2, CRecordWriter::Field(3, ""));
    EXPECT_EQ((CEntries{{"http://a/", ""}, {"http://b/", ""}}), Entries(w.bytes, 2, 3));

    CRecordWriter cache;
    cache.Record(1, CRecordWriter::Field(3, "http://c/") + CRecordWriter::Field(13, "opr00001.tmp"));
    cache.Record(1, CRecordWriter::Field(3, "http://d/"));
    // A field running past its record ends that record's parse; what came before counts.
    cache.Record(1, CRecordWriter::Field(3, "http://e/") + std::string("\x0d\x00\x09short", 8));
    EXPECT_EQ((CEntries{{"http://c/", "opr00001.tmp"}, {"http://d/", ""}, {"http://e/", ""}}),
              Entries(cache.bytes, 1, 3));

    // A record longer than 1048576 bytes ends the file; 1048576 itself is read.
    CRecordWriter big(1, 4);
    big.Record(2, CRecordWriter::Field(3, "before", 1, 4));
    std::string payload = CRecordWriter::Field(3, std::string(1048576 - 5, 'p'), 1, 4);
    ASSERT_EQ(1048576u, payload.size());
    big.Record(2, payload);
    big.Number(2, 1);
    big.Number(1048577, 4);
    big.bytes += CRecordWriter::Field(3, "after", 1, 4);
    auto entries = Entries(big.bytes, 2, 3);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("before", entries[0].first);

    // A short payload is skipped; the header must be whole and sane.
    CRecordWriter cut;
    cut.Record(2, CRecordWriter::Field(3, "ok"));
    cut.Number(2, 1);
    cut.Number(50, 2);
    cut.bytes += "only a few";
    EXPECT_EQ((CEntries{{"ok", ""}}), Entries(cut.bytes, 2, 3));
    EXPECT_TRUE(Entries(std::string("\0\0\0\1\0\0\0\1\0\1", 10), 2, 3).empty());
    CRecordWriter wide(5, 2);
    wide.bytes += std::string(20, '\x02');
    EXPECT_TRUE(Entries(wide.bytes, 2, 3).empty());
    EXPECT_TRUE(Entries("", 2, 3).empty());
}

TEST(OperaFormatTest, CookieLocationsAndPathFlags)
{
    CRecordWriter w;
    w.Record(3, CRecordWriter::Field(16, "early")); // before any domain or path
    w.Record(1, CRecordWriter::Field(30, "x"));
    w.Record(1, CRecordWriter::Field(30, "y"));
    w.Record(2, CRecordWriter::Field(29, "p"));
    w.Record(3, CRecordWriter::Field(16, "n"));
    w.Record(2, CRecordWriter::Field(29, "a"));
    w.Record(2, CRecordWriter::Field(29, "b"));
    w.Flag(0x85); // end of path: b goes
    w.Flag(0x85); // the current path name is empty now: nothing goes
    w.Record(3, CRecordWriter::Field(16, "after paths"));
    w.Flag(0x84); // end of domain y
    w.Record(3, CRecordWriter::Field(16, "outer"));
    EXPECT_EQ((std::vector<std::string>{"early at ", "n at y.x\\p\\", "after paths at y.x\\p\\a\\",
                                        "outer at x\\p\\a\\"}),
              Cookies(w.bytes));
    EXPECT_EQ("z.y.x\\p\\", opera::BuildCookieLocation({"x", "y", "z"}, {"p"}));
    EXPECT_EQ("a\\b\\", opera::BuildCookieLocation({}, {"a", "b"}));
}

TEST(OperaFormatTest, CookieNestingAndTextsAreBounded)
{
    // Domains nested past the bound, never closed: the cookies up to the bound are
    // read and the file ends there, instead of every text carrying every domain.
    CRecordWriter deep;
    for (size_t i = 0; i < opera::kMaxCookieDepth + 10; ++i)
    {
        deep.Record(1, CRecordWriter::Field(30, "d"));
        deep.Record(3, CRecordWriter::Field(16, "c"));
    }
    EXPECT_EQ(opera::kMaxCookieDepth, Cookies(deep.bytes).size());
    // A cookie whose text would pass the bound ends the file too.
    CRecordWriter longText;
    longText.Record(1, CRecordWriter::Field(30, std::string(opera::kMaxCookieText, 'x')));
    longText.Record(3, CRecordWriter::Field(16, "c"));
    EXPECT_TRUE(Cookies(longText.bytes).empty());
}

TEST(OperaFormatTest, TextFiles)
{
    EXPECT_EQ((std::vector<std::string>{"one", "five"}),
              Lines("one\n2\n3\n4\nfive\n6\n7\n8\n", opera::ReadGlobalHistoryLines));
    EXPECT_EQ((std::vector<std::string>{"one"}),
              Lines("one\n2\n3\n4\n\n6\n7\n8\n", opera::ReadGlobalHistoryLines));

    std::string adr =
        "Opera Hotlist version 2.0\n#FOLDER\n\tNAME=Folder title\n\n#URL\n\tID=1\n\tNAME=Page title\r\n"
        "\n#NOTE\n\tNAME=still in the block\n\tNAME=\n#FOLDER\n\tNAME=not a page\n";
    EXPECT_EQ((std::vector<std::string>{"Page title", "still in the block", ""}),
              Lines(adr, opera::ReadBookmarkLines));

    EXPECT_EQ((std::vector<std::string>{"C:\\a\r", "C:\\b"}),
              Lines("C:\\a\r\n\nC:\\b", opera::ReadDirectoryListLines));

    std::string typed =
        "<typed_history>\n<typed_history_item content=\"http://a/?q=1&amp;b\" type=\"text\"/>\n"
        "<typed_history_item content=\"no closing quote\n<other/>\n";
    EXPECT_EQ((std::vector<std::string>{"http://a/?q=1&amp;b", "no closing quote"}),
              Lines(typed, opera::ReadTypedHistoryLines));

    // A 5000-byte line keeps its first 4094 bytes; the next line starts after its line feed.
    std::string longLine = std::string(5000, 'L') + "\nnext\n";
    auto lines = Lines(longLine, opera::ReadDirectoryListLines);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(std::string(4094, 'L'), lines[0]);
    EXPECT_EQ("next", lines[1]);
}

TEST(OperaFormatTest, CacheFileNamesStayInTheirFolder)
{
    for (const char* bad : {"", ".", "..", "..\\..\\secret.doc", "C:\\Windows\\win.ini", "\\root.txt",
                            "/etc/passwd", "sub/file", "sub\\file", "C:file", "file:stream"})
        EXPECT_FALSE(opera::IsSafeCacheFileName(bad)) << bad;
    for (const char* good : {"opr00001.tmp", "g_0000\x01.x", "..tmp", "a..b"})
        EXPECT_TRUE(opera::IsSafeCacheFileName(good)) << good;
}

// ---- Opera: the files ----

namespace
{
class OperaFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = MakeTestRoot("opera");
        for (const char* base : {"\\local", "\\roaming"})
        {
            CString path = m_root + base;
            MakeDir(path);
            for (const char* dir : {"\\Opera", "\\Opera", "\\profile"})
                MakeDir(path += dir);
        }
        m_local = m_root + "\\local\\Opera\\Opera\\profile\\";
        m_roaming = m_root + "\\roaming\\Opera\\Opera\\profile\\";
        MakeDir(m_local + "cache4");
        MakeDir(m_local + "opcache");
    }
    void TearDown() override { RemoveTree(m_root); }
    void Read(int index) { ReadOperaFile(index, m_root + "\\local", m_root + "\\roaming", m_list, m_tick); }

    CString m_root, m_local, m_roaming;
    CFoundItemList m_list;
    CCountingTick m_tick;
};
} // namespace

TEST_F(OperaFilesTest, CacheIndexListsAndDeletesOnlyInsideItsFolder)
{
    CRecordWriter w;
    w.Record(1, CRecordWriter::Field(3, "http://a/") + CRecordWriter::Field(13, "opr001.tmp"));
    w.Record(1, CRecordWriter::Field(3, "http://b/"));
    w.Record(1, CRecordWriter::Field(3, "http://c/") + CRecordWriter::Field(13, "..\\..\\precious.doc"));
    WriteBytes(m_local + "cache4\\dcache4.url", w.bytes);
    WriteBytes(m_local + "cache4\\opr001.tmp", "cached");
    WriteBytes(m_root + "\\local\\Opera\\precious.doc", "keep");

    ASSERT_TRUE(Exists(m_local + "cache4\\dcache4.url")) << m_local;
    Read(0);
    ASSERT_EQ(4u, m_list.size());
    EXPECT_EQ((std::vector<std::string>{(m_local + "cache4\\dcache4.url").str(), "opr001.tmp [http://a/]",
                                        "http://b/", "..\\..\\precious.doc [http://c/]"}),
              Texts(m_list));
    EXPECT_EQ(CString("Opera file"), m_list[0]->GetTypeName());
    EXPECT_EQ(CString("Opera cache file"), m_list[1]->GetTypeName());
    for (size_t i = m_list.size(); i-- > 1;)
        m_list[i]->Clean();
    EXPECT_EQ(1, m_list[1]->GetCleaned());
    EXPECT_FALSE(Exists(m_local + "cache4\\opr001.tmp"));
    EXPECT_EQ(0, m_list[2]->GetCleaned()) << "no file name: the cleaning fails";
    EXPECT_EQ(0, m_list[3]->GetCleaned()) << "a name reaching outside the cache folder deletes nothing";
    EXPECT_TRUE(Exists(m_root + "\\local\\Opera\\precious.doc"));
    m_list[0]->Clean();
    EXPECT_FALSE(Exists(m_local + "cache4\\dcache4.url")) << "the whole index goes with its Opera file item";
}

TEST_F(OperaFilesTest, VisitedLinksCookiesAndAFileHeldOpen)
{
    CRecordWriter links;
    links.Record(2, CRecordWriter::Field(3, "http://a/"));
    links.Record(2, CRecordWriter::Field(3, "http://b/"));
    links.Record(7, CRecordWriter::Field(3, "http://c/"));
    WriteBytes(m_roaming + "vlink4.dat", links.bytes);
    Read(2);
    EXPECT_EQ(3u, m_list.size());
    EXPECT_EQ(CString("Opera visited link"), m_list[2]->GetTypeName());

    CRecordWriter cookies;
    cookies.Record(1, CRecordWriter::Field(30, "com"));
    cookies.Record(1, CRecordWriter::Field(30, "example"));
    cookies.Record(3, CRecordWriter::Field(16, "sid"));
    WriteBytes(m_roaming + "cookies4.dat", cookies.bytes);
    m_list.clear();
    Read(4);
    EXPECT_EQ((std::vector<std::string>{(m_roaming + "cookies4.dat").str(), "sid at example.com\\"}),
              Texts(m_list));
    EXPECT_EQ(3, m_tick.m_count) << "one tick per entry of each file";

    // Held open by the browser: not even its file item.
    HANDLE held = CreateFileA(m_roaming + "vlink4.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    m_list.clear();
    Read(2);
    EXPECT_TRUE(m_list.empty());
    CloseHandle(held);
    Read(5); // global.dat is missing
    EXPECT_TRUE(m_list.empty());
}

TEST_F(OperaFilesTest, TheFileTableReadsEachFileWithItsReader)
{
    // Through the real table: the opcache index (cache kind, in the opcache folder),
    // download.dat (records of tag 65), opera6.adr (names in #URL blocks) and
    // opera.dir (every line).
    CRecordWriter cache, downloads;
    cache.Record(1, CRecordWriter::Field(3, "http://cached/") + CRecordWriter::Field(13, "opr002.tmp"));
    downloads.Record(65, CRecordWriter::Field(3, "http://download/setup.exe"));
    downloads.Record(2, CRecordWriter::Field(3, "http://not-a-download/"));
    WriteBytes(m_local + "opcache\\dcache4.url", cache.bytes);
    WriteBytes(m_local + "opcache\\opr002.tmp", "cached");
    WriteBytes(m_roaming + "download.dat", downloads.bytes);
    WriteBytes(m_roaming + "opera6.adr",
               "Opera Hotlist version 2.0\n#FOLDER\n\tNAME=Folder\n#URL\n\tNAME=Bookmark\n");
    WriteBytes(m_roaming + "opera.dir", "C:\\downloads\n\nC:\\music\n");
    const struct
    {
        int file;
        CString path;
        std::vector<std::string> entries;
        const char* type;
    } files[] = {
        {1, m_local + "opcache\\dcache4.url", {"opr002.tmp [http://cached/]"}, "Opera cache file"},
        {3, m_roaming + "download.dat", {"http://download/setup.exe"}, "Opera download link"},
        {6, m_roaming + "opera6.adr", {"Bookmark"}, "Opera bookmark"},
        {7, m_roaming + "opera.dir", {"C:\\downloads", "C:\\music"}, "Opera history entry"},
    };
    for (const auto& f : files)
    {
        m_list.clear();
        Read(f.file);
        std::vector<std::string> expected = {f.path.str()};
        expected.insert(expected.end(), f.entries.begin(), f.entries.end());
        EXPECT_EQ(expected, Texts(m_list)) << f.file;
        if (m_list.size() > 1)
        {
            EXPECT_EQ(CString(f.type), m_list[1]->GetTypeName()) << f.file;
        }
    }
    // The opcache entry deletes its file in the opcache folder.
    m_list.clear();
    Read(1);
    ASSERT_EQ(2u, m_list.size());
    m_list[1]->Clean();
    EXPECT_FALSE(Exists(m_local + "opcache\\opr002.tmp"));
}

// ---- Internet Explorer and the Browsers section ----

namespace
{
class CBrowserContext : public IScanContext
{
public:
    bool IsAreaChecked(int id) const override { return m_areas.count(id) != 0; }
    const CScanPaths& GetScanPaths() const override { return m_paths; }
    HWND GetOwnerWindow() const override { return nullptr; }
    void Tick() override {}
    void RefreshList() override {}
    std::set<int> m_areas;
    CScanPaths m_paths;
};
} // namespace

TEST(InternetExplorerTest, CacheFoldersAndTheLockedIndexRule)
{
    CString cache = MakeTestRoot("iecache");
    CString content = cache + "\\Content.IE5";
    MakeDir(content);
    WriteBytes(content + "\\index.dat", "index");
    for (const char* sub : {"\\AB12CD34", "\\EF56GH78"})
    {
        MakeDir(content + sub);
        WriteBytes(content + sub + "\\page[1].htm", "page");
    }
    CBrowserContext context;
    context.m_paths[SP_INTERNET_CACHE] = cache;
    context.m_areas = {AREA_TEMP_INTERNET};
    CSectionList sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
    ScanSections(sections, context);
    CFoundItemList& items = sections[SECTION_BROWSERS]->GetFoundItems();
    ASSERT_EQ(6u, items.size());
    EXPECT_EQ(content + "\\", items[0]->GetDisplayText());
    EXPECT_EQ(CString("IE cache folder"), items[0]->GetTypeName());
    for (size_t i = 1; i < items.size(); ++i)
    {
        const CString& text = items[i]->GetDisplayText();
        bool folder = text[text.GetLength() - 1] == '\\';
        EXPECT_EQ(CString(folder ? "IE cache folder" : "IE cache file"), items[i]->GetTypeName()) << text;
        if (folder)
        {
            EXPECT_EQ(text + "page[1].htm", items[i + 1]->GetDisplayText())
                << "a folder directly before its file";
        }
    }

    // The browser holds its index: it leaves the list anyway, its folder stays.
    HANDLE held = CreateFileA(content + "\\index.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CSilentSink sink;
    CleanSections(sections, sink, nullptr);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(content + "\\", items[0]->GetDisplayText());
    EXPECT_TRUE(Exists(content + "\\index.dat"));
    CloseHandle(held);
    RemoveTree(cache);
}
