#include "TestUtil.h"
#include "afx/File.h"
#include "afx/String.h"

#include <gtest/gtest.h>

using namespace testutil;

TEST(CStringTest, FormatConcatenateAndCompare)
{
    CString s;
    s.Format("%s\\%s", "C:\\temp", "a.txt");
    EXPECT_STREQ("C:\\temp\\a.txt", s);
    s.Format("%d%%", 250 * 100 / 1000);
    EXPECT_EQ(CString("25%"), s);
    // Long texts are not cut by any fixed buffer.
    std::string longText(5000, 'x');
    s.Format("<%s>", longText.c_str());
    EXPECT_EQ(5002, s.GetLength());

    CString a = "abc";
    CString b = a + "def" + 'g';
    EXPECT_EQ(CString("abcdefg"), b);
    EXPECT_TRUE("x" + a == "xabc");
    a += CString("!");
    EXPECT_EQ(CString("abc!"), a);
    EXPECT_LT(CString("abc").Compare("abd"), 0);
    EXPECT_NE(CString("ABC").Compare("abc"), 0);
    EXPECT_EQ(0, CString("C:\\Users\\Temp").CompareNoCase("c:\\users\\TEMP"));
    EXPECT_NE(0, CString("abc").CompareNoCase("abcd"));
    CString fromNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
}

TEST(CStringTest, FindAndSubstringsClipInsteadOfOverrunning)
{
    CString s = "C:\\Temp\\index.dat";
    EXPECT_EQ(2, s.Find('\\'));
    EXPECT_EQ(7, s.Find('\\', 3));
    EXPECT_EQ(8, s.Find("index.dat"));
    EXPECT_EQ(-1, s.Find("INDEX.DAT")); // case-sensitive
    EXPECT_EQ(-1, s.Find('x', 100));
    EXPECT_EQ(7, s.ReverseFind('\\'));

    EXPECT_EQ(CString("Temp"), s.Mid(3, 4));
    EXPECT_EQ(CString("index.dat"), s.Mid(8));
    EXPECT_EQ(CString(""), s.Mid(100, 2));
    EXPECT_EQ(CString("dat"), s.Mid(14, 100));
    EXPECT_EQ(CString("C:"), s.Left(2));
    EXPECT_EQ(s, s.Left(1000));
    EXPECT_EQ(CString(""), s.Left(-1));
    EXPECT_EQ(CString(".dat"), s.Right(4));
    EXPECT_EQ(s, s.Right(1000));
    EXPECT_EQ(CString(""), s.Right(0));
}

TEST(CStringTest, CaseAndBuffers)
{
    CString s = "Abc.Default";
    s.MakeUpper();
    EXPECT_EQ(CString("ABC.DEFAULT"), s);
    s.MakeLower();
    EXPECT_EQ(CString("abc.default"), s);

    CString buffer;
    char* p = buffer.GetBuffer(10);
    strcpy(p, "hello");
    buffer.ReleaseBuffer();
    EXPECT_EQ(5, buffer.GetLength());
    EXPECT_EQ(CString("hello"), buffer);
    buffer.GetBuffer(10);
    buffer.ReleaseBuffer(2);
    EXPECT_EQ(CString("he"), buffer);

    CString trimmed = "C:\\a\\\\";
    trimmed.TrimRight('\\');
    EXPECT_EQ(CString("C:\\a"), trimmed);
}

class CFileTest : public ::testing::Test
{
protected:
    void SetUp() override { m_root = MakeTestRoot("file"); }
    void TearDown() override { RemoveTree(m_root); }
    CString m_root;
};

TEST_F(CFileTest, CreateWriteSeekReadAndLength)
{
    CString path = m_root + "\\a.bin";
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
        EXPECT_TRUE(file.Write("hello world", 11));
        ULONGLONG length = 0;
        ASSERT_TRUE(file.GetLength(length));
        EXPECT_EQ(11u, length);
        EXPECT_TRUE(file.SetLength(5));
        ASSERT_TRUE(file.GetLength(length));
        EXPECT_EQ(5u, length);
        EXPECT_EQ(2u, file.Seek(2, CFile::begin));
        EXPECT_TRUE(file.SetLength(1 << 20));
        ASSERT_TRUE(file.GetLength(length));
        EXPECT_EQ(1u << 20, length);
    }
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::osSequentialScan));
    char text[8] = {};
    EXPECT_EQ(5u, file.Read(text, 5));
    EXPECT_STREQ("hello", text);
    EXPECT_EQ(1u, file.Seek(-((1 << 20) - 1), CFile::end));
    EXPECT_TRUE(file.SeekToBegin());
    EXPECT_FALSE(file.Write("x", 1)); // opened read-only
}

TEST_F(CFileTest, WriteToExistingNeitherCreatesNorTruncates)
{
    CString path = m_root + "\\b.bin";
    CFile file;
    EXPECT_FALSE(file.Open(path, CFile::modeWrite | CFile::shareExclusive | CFile::osRandomAccess));
    EXPECT_FALSE(Exists(path));

    ASSERT_TRUE(WriteBytes(path, "0123456789"));
    ASSERT_TRUE(file.Open(path, CFile::modeWrite | CFile::shareExclusive | CFile::osRandomAccess));
    EXPECT_TRUE(file.Write("ab", 2));
    file.Close();
    std::string bytes;
    ASSERT_TRUE(ReadBytes(path, bytes));
    EXPECT_EQ("ab23456789", bytes);
}

TEST_F(CFileTest, ExclusiveOpenShutsOutOthersAndFailuresAreReturned)
{
    CString path = m_root + "\\c.bin";
    ASSERT_TRUE(WriteBytes(path, "data"));
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    CFile other;
    EXPECT_FALSE(other.Open(path, CFile::modeRead | CFile::shareDenyNone));
    EXPECT_FALSE(other.IsOpen());
    holder.Close();
    EXPECT_TRUE(other.Open(path, CFile::modeRead | CFile::shareDenyNone));

    // A closed file reports failure from every operation instead of crashing.
    CFile closed;
    ULONGLONG length = 0;
    char byte = 0;
    EXPECT_FALSE(closed.GetLength(length));
    EXPECT_EQ(static_cast<ULONGLONG>(-1), closed.Seek(0, CFile::begin));
    EXPECT_EQ(0u, closed.Read(&byte, 1));
    EXPECT_FALSE(closed.Write(&byte, 1));
    EXPECT_FALSE(closed.SetLength(0));
    EXPECT_FALSE(closed.Flush());
    EXPECT_FALSE(closed.Open(nullptr, CFile::modeRead));
}
