// Registry lists, clipboard, recycle bin and the free-space wipe, under Wine.
#include "TestUtil.h"
#include "areas/ClipboardTarget.h"
#include "areas/DiskTarget.h"
#include "areas/MRUListTarget.h"
#include "areas/RecycleBin.h"
#include "model/CleanHost.h"
#include "engine/CleanRun.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

using namespace testutil;

namespace
{

// The display texts as CString, as the windows-area checks compare them.
std::vector<CString> DisplayTexts(const CFoundItemList& list)
{
    std::vector<CString> texts;
    for (const CCleanTargetPtr& item : list)
        texts.push_back(item->GetDisplayText());
    return texts;
}

// ---- registry lists ----

const char kTestKey[] = "Software\\QuorvantisTest\\MRU";

class MRUTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuorvantisTest");
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &m_key, nullptr));
    }
    void TearDown() override
    {
        RegCloseKey(m_key);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuorvantisTest");
    }
    void SetString(const char* name, const char* data)
    {
        RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), DWORD(strlen(data) + 1));
    }
    void SetRaw(const char* name, DWORD type, const std::string& data)
    {
        RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size()));
    }
    std::vector<std::string> ValueNames()
    {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0;; ++i)
        {
            DWORD size = sizeof(name);
            if (RegEnumValueA(m_key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.push_back(name);
        }
        return names;
    }
    HKEY m_key = nullptr;
};
} // namespace

TEST_F(MRUTest, RunHistoryLosesItsSuffixAndKeepsItsOrderValue)
{
    SetString("a", "notepad\\1");
    SetString("b", "cmd /c dir\\1");
    SetString("MRUList", "ab");
    CFoundItemList list;
    CCountingTick tick;
    ScanMRUKey(kTestKey, list, tick);
    EXPECT_EQ((std::vector<CString>{"notepad", "cmd /c dir"}), DisplayTexts(list));
    EXPECT_EQ(2, tick.m_count);
    EXPECT_EQ(CString("Recently typed"), list[0]->GetTypeName());
    for (size_t i = list.size(); i-- > 0;)
    {
        list[i]->Clean();
        EXPECT_EQ(1, list[i]->GetCleaned());
    }
    EXPECT_EQ(std::vector<std::string>{"MRUList"}, ValueNames());
    // Gone already: the item stays uncleaned.
    list[0]->Clean();
    EXPECT_EQ(0, list[0]->GetCleaned());
}

TEST_F(MRUTest, BinaryValuesByNameOtherTypesSkippedOtherCaseListed)
{
    SetRaw("0123abcd", REG_BINARY, std::string("\x01\x02\x00\x03", 4));
    SetRaw("4567efab", REG_BINARY, std::string(300, '\x7f'));
    SetRaw("count", REG_DWORD, std::string("\x05\x00\x00\x00", 4));
    SetString("mrulist", "zz");
    SetRaw("unterminated", REG_SZ, "no zero at the end");
    CFoundItemList list;
    CCountingTick tick;
    ScanMRUKey(kTestKey, list, tick);
    EXPECT_EQ((std::vector<CString>{"0123abcd", "4567efab", "zz", "no zero at the end"}), DisplayTexts(list));
    EXPECT_EQ(CString("mrulist"), dynamic_cast<CMRUListTarget&>(*list[2]).GetValueName());
}

TEST_F(MRUTest, WhatCannotBeReadIsSaidAndMissingListsAreNot)
{
    SetString("a", "first");
    SetString("b", "second");
    SetRaw("c", REG_SZ, std::string(1999, 'x') + '\0');
    SetString("d", "fourth");
    CFoundItemList list;
    CProblemSink sink;
    ScanMRUKey(kTestKey, list, sink);
    EXPECT_EQ((std::vector<CString>{"first", "second"}), DisplayTexts(list));
    EXPECT_EQ((std::vector<std::string>{std::string("HKCU\\") + kTestKey}), sink.m_places)
        << "the listing stopped at a value too large";

    list.clear();
    sink.m_places.clear();
    ScanMRUKey("Software\\QuorvantisTest\\Missing", list, sink);
    ScanMRUKey("", list, sink);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(sink.m_places.empty()) << "a list that is not there holds nothing";

    // A key whose access list lets nobody in: said, not taken for an empty list.
    SECURITY_DESCRIPTOR closed;
    InitializeSecurityDescriptor(&closed, SECURITY_DESCRIPTOR_REVISION);
    ACL acl;
    InitializeAcl(&acl, sizeof(acl), ACL_REVISION);
    SetSecurityDescriptorDacl(&closed, TRUE, &acl, FALSE);
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, &closed));
    ScanMRUKey(kTestKey, list, sink);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ((std::vector<std::string>{std::string("HKCU\\") + kTestKey}), sink.m_places);
}

// ---- clipboard ----

namespace
{
class ClipboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_owner = CreateWindowA("STATIC", "clipboard owner", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_owner);
        Put({});
    }
    void TearDown() override
    {
        Put({});
        DestroyWindow(m_owner);
    }
    struct CFormat
    {
        UINT format;
        HANDLE data;
    };
    // Replaces the clipboard's contents with the given formats.
    void Put(std::vector<CFormat> formats)
    {
        ASSERT_TRUE(OpenClipboard(m_owner));
        EmptyClipboard();
        for (const CFormat& f : formats)
            SetClipboardData(f.format, f.data);
        CloseClipboard();
    }
    static HANDLE Text(const char* text)
    {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
        memcpy(GlobalLock(h), text, strlen(text) + 1);
        GlobalUnlock(h);
        return h;
    }
    std::vector<CString> Scan()
    {
        CFoundItemList list;
        CCountingTick tick;
        ScanClipboard(list, m_owner, tick);
        for (const CCleanTargetPtr& item : list)
            EXPECT_EQ(CString("Clipboard contents"), item->GetTypeName());
        m_last = list;
        return DisplayTexts(list);
    }
    HWND m_owner = nullptr;
    CFoundItemList m_last;
};
} // namespace

TEST_F(ClipboardTest, TextPictureMetafileOrNothing)
{
    EXPECT_TRUE(Scan().empty());

    Put({{CF_TEXT, Text("abc")}});
    EXPECT_EQ(std::vector<CString>{"As text - \"abc\""}, Scan());
    Put({{CF_TEXT, Text("")}});
    EXPECT_EQ(std::vector<CString>{"As text - \"\""}, Scan());

    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    Put({{CF_BITMAP, bitmap}, {CF_TEXT, Text("with picture")}});
    EXPECT_EQ(std::vector<CString>{"As text - \"with picture\""}, Scan());
    bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
    Put({{CF_BITMAP, bitmap}});
    EXPECT_EQ(std::vector<CString>{"A picture"}, Scan());

    HDC metaDc = CreateMetaFileA(nullptr);
    Rectangle(metaDc, 0, 0, 10, 10);
    HMETAFILE meta = CloseMetaFile(metaDc);
    HGLOBAL pictureHandle = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    METAFILEPICT* picture = static_cast<METAFILEPICT*>(GlobalLock(pictureHandle));
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = picture->yExt = 100;
    picture->hMF = meta;
    GlobalUnlock(pictureHandle);
    Put({{CF_METAFILEPICT, pictureHandle}});
    EXPECT_EQ(std::vector<CString>{"A metafile"}, Scan());

    // Files copied in Explorer are neither text nor a picture.
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + 16);
    DROPFILES* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    strcpy(reinterpret_cast<char*>(files + 1), "C:\\a.txt");
    GlobalUnlock(drop);
    Put({{CF_HDROP, drop}});
    EXPECT_TRUE(Scan().empty());
}

TEST_F(ClipboardTest, CleaningEmptiesEveryFormat)
{
    UINT custom = RegisterClipboardFormatA("Quorvantis test format");
    HGLOBAL extra = GlobalAlloc(GMEM_MOVEABLE, 4);
    Put({{CF_TEXT, Text("secret")}, {custom, extra}});
    ASSERT_EQ(1u, Scan().size());
    m_last[0]->Clean();
    EXPECT_EQ(1, m_last[0]->GetCleaned());
    ASSERT_TRUE(OpenClipboard(m_owner));
    EXPECT_EQ(0, CountClipboardFormats());
    CloseClipboard();

    // A clipboard held open by another thread: no item, and a clean that fails.
    Put({{CF_TEXT, Text("busy")}});
    ASSERT_TRUE(Scan().size() == 1);
    CFoundItemList kept = m_last;
    struct CHolder
    {
        HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        static DWORD WINAPI Run(void* self)
        {
            CHolder& h = *static_cast<CHolder*>(self);
            HWND window = CreateWindowA("STATIC", "holder", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
            BOOL open = OpenClipboard(window);
            SetEvent(h.opened);
            WaitForSingleObject(h.release, 10000);
            if (open)
                CloseClipboard();
            DestroyWindow(window);
            return 0;
        }
    } holder;
    HANDLE thread = CreateThread(nullptr, 0, CHolder::Run, &holder, 0, nullptr);
    WaitForSingleObject(holder.opened, 10000);
    EXPECT_TRUE(Scan().empty());
    kept[0]->Clean();
    EXPECT_EQ(0, kept[0]->GetCleaned());
    SetEvent(holder.release);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(holder.opened);
    CloseHandle(holder.release);
    EXPECT_EQ(1u, Scan().size()); // still there: the failed clean changed nothing
}

// A program that offers text to render on request and then stops answering: the scan
// and the clean each wait a bounded time for it, say so, and go on.
TEST_F(ClipboardTest, AnOwnerThatDoesNotAnswerIsWaitedForABoundedTime)
{
    struct COwner
    {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE wake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        static DWORD WINAPI Run(void* self)
        {
            COwner& o = *static_cast<COwner*>(self);
            HWND window = CreateWindowA("STATIC", "lazy owner", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
            if (OpenClipboard(window))
            {
                EmptyClipboard();
                SetClipboardData(CF_TEXT, nullptr); // rendered when asked for
                CloseClipboard();
            }
            SetEvent(o.ready);
            WaitForSingleObject(o.wake, INFINITE); // answers no message meanwhile
            DestroyWindow(window);
            return 0;
        }
    } owner;
    HANDLE ownerThread = CreateThread(nullptr, 0, COwner::Run, &owner, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(owner.ready, 10000));

    // Run on a worker, so that a scan that waits without end fails the test instead of
    // stopping it.
    struct CRun
    {
        CProblemSink sink;
        CFoundItemList list;
        int cleaned = -1;
        CString note;
        static DWORD WINAPI Run(void* self)
        {
            CRun& r = *static_cast<CRun*>(self);
            ScanClipboard(r.list, nullptr, r.sink);
            CClipboardTarget target("As text - \"x\"");
            target.Clean();
            r.cleaned = target.GetCleaned();
            r.note = target.GetCleanNote();
            return 0;
        }
    } run;
    HANDLE runThread = CreateThread(nullptr, 0, CRun::Run, &run, 0, nullptr);
    const bool ended = WaitForSingleObject(runThread, 60000) == WAIT_OBJECT_0;
    SetEvent(owner.wake);
    WaitForSingleObject(ownerThread, 10000);
    ASSERT_TRUE(ended) << "the clipboard was waited for without end";
    EXPECT_TRUE(run.list.empty());
    EXPECT_EQ((std::vector<std::string>{"the clipboard"}), run.sink.m_places);
    EXPECT_EQ((std::vector<std::string>{"its owner does not answer"}), run.sink.m_reasons);
    EXPECT_EQ(0, run.cleaned);
    EXPECT_EQ(CString("its owner does not answer"), run.note);
    for (HANDLE h : {ownerThread, runThread, owner.ready, owner.wake})
        CloseHandle(h);
}

// ---- recycle bin ----

namespace
{
bool MoveToRecycleBin(const CString& path)
{
    std::string from = path.str() + '\0'; // the list ends with two zeros
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationA(&op) == 0;
}
} // namespace

TEST(RecycleBinTest, EntriesListedByOriginalNameAndEmptiedByOneCall)
{
    SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    CFoundItemList list;
    ScanRecycleBin(list, nullptr);
    EXPECT_TRUE(list.empty());

    CString root = MakeTestRoot("bin");
    // A long name in another script: 80 CJK letters, 240 bytes, shown whole.
    CString longName;
    for (int i = 0; i < 80; ++i)
        longName += "長";
    longName += ".txt";
    for (const CString& name : {CString("one.txt"), CString("two.txt"), longName})
    {
        WriteBytes(root + "\\" + name, "x");
        ASSERT_TRUE(MoveToRecycleBin(root + "\\" + name)) << name.GetString();
    }
    ScanRecycleBin(list, nullptr);
    ASSERT_EQ(3u, list.size());
    std::vector<CString> names = DisplayTexts(list);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<CString>{"one.txt", "two.txt", longName}), names);
    EXPECT_EQ(CString("RecycleBin entry"), list[0]->GetTypeName());
    const CCleanTargetPtr bin = dynamic_cast<CRecycleBinTarget&>(*list[0]).GetRelayed(); // held past the items
    for (const CCleanTargetPtr& item : list)
        EXPECT_EQ(bin, dynamic_cast<CRecycleBinTarget&>(*item).GetRelayed());

    // Deleted after the scan: goes too, since the whole bin is emptied.
    WriteBytes(root + "\\late.txt", "late");
    ASSERT_TRUE(MoveToRecycleBin(root + "\\late.txt"));

    CSectionList sections(1, CScanItemPtr(new CScanItem("Windows", 0)));
    sections[0]->GetFoundItems() = list;
    list.clear();
    CSilentSink sink;
    CleanSections(sections, sink, nullptr);
    EXPECT_TRUE(sections[0]->GetFoundItems().empty());
    EXPECT_EQ(1, bin->GetAttempted());
    ScanRecycleBin(list, nullptr);
    EXPECT_TRUE(list.empty());
    RemoveTree(root);
}

// ---- free-space wipe ----

namespace
{
const ULONGLONG MiB = 1048576;
ULONGLONG g_fakeFree = 0;

// The free-space figure the wipe tests give, for drives mapped to test folders.
bool FakeFreeSpace(const CString&, ULONGLONG& freeBytes)
{
    freeBytes = g_fakeFree;
    return true;
}

class CWipeHost : public ICleanHost
{
public:
    HWND GetOwnerWindow() const override { return nullptr; }
    bool IsShredOn() const override { return false; }
    bool IsCancelled() const override { return m_cancel; }
    int GetDontShowWipeNotice() const override { return m_dontShow; }
    void SetDontShowWipeNotice(int value) override { m_dontShow = value; }
    int ShowWipeNotice() override
    {
        ++m_notices;
        return m_tickBox;
    }
    void BeginProgress(int chunks) override { m_ranges.push_back(chunks); }
    void StepProgress() override
    {
        ++m_steps;
        // The wipe file exists while the wipe runs; after the first chunk it already
        // has the whole free size (extended before the first write) and starts
        // with the fill byte 0xAA (read on the host: the wipe holds it exclusively).
        m_sawFile = m_sawFile || Exists(m_wipeFile);
        if (m_steps == 1 && m_expectedSize)
        {
            CString file = HostQuote(HostPath(m_wipeFile));
            CString check;
            check.Format("[ $(stat -c %%s %s) -eq %llu ] && [ \"$(head -c 4 %s | od -An -tx1 | tr -d ' ')\" = aaaaaaaa ]",
                         file.GetString(), m_expectedSize, file.GetString());
            m_sizeAndFillSeen = RunHost(check);
        }
        if (m_cancelAfter && m_steps == m_cancelAfter)
            m_cancel = true;
        if (m_hang)
            Sleep(INFINITE);
    }
    void EndProgress() override { ++m_ends; }

    bool m_cancel = false;
    int m_dontShow = 0;
    int m_tickBox = 0;
    int m_notices = 0;
    std::vector<int> m_ranges;
    int m_steps = 0;
    int m_ends = 0;
    int m_cancelAfter = 0;
    bool m_hang = false;
    bool m_sawFile = false;
    CString m_wipeFile;
    unsigned long long m_expectedSize = 0;
    bool m_sizeAndFillSeen = false;
};

class WipeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetWipeNoticeOnce();
        SetFreeSpaceQuery(FakeFreeSpace);
        if (GetDriveTypeA("T:\\") != DRIVE_FIXED)
            GTEST_SKIP() << "the test drives T:, U:, V: come with the test harness";
    }
    void TearDown() override { SetFreeSpaceQuery(nullptr); }

    // Wipes drive with the given free-space figure; returns the item's cleaned flag.
    int Wipe(const char* drive, ULONGLONG freeBytes, CWipeHost& host)
    {
        g_fakeFree = freeBytes;
        host.m_wipeFile = CString(drive) + "\\tmpfile01010101";
        CDiskTarget disk(drive);
        disk.SetOwner(&host);
        disk.Clean();
        EXPECT_FALSE(Exists(host.m_wipeFile)) << "the wipe file was left behind";
        return disk.GetCleaned();
    }
};
} // namespace

TEST_F(WipeTest, ListsFixedDrivesOnly)
{
    CFoundItemList list;
    ScanFixedDisks(list);
    // C: is the prefix; T:, U: and V: are the harness's; R: is removable and Z: a network drive.
    EXPECT_EQ((std::vector<CString>{"C:", "T:", "U:", "V:"}), DisplayTexts(list));
    EXPECT_EQ(CString("Logical disk unused space"), list[0]->GetTypeName());
}

TEST_F(WipeTest, ChunksProgressRangeAndTheFileGone)
{
    CWipeHost host;
    host.m_dontShow = 1;
    host.m_expectedSize = 20 * MiB;
    EXPECT_EQ(1, Wipe("T:", 20 * MiB, host));
    EXPECT_EQ(std::vector<int>{2}, host.m_ranges); // 0..2
    EXPECT_EQ(3, host.m_steps);                    // 8, 8 and 4 MiB
    EXPECT_EQ(1, host.m_ends);
    EXPECT_TRUE(host.m_sawFile);
    EXPECT_TRUE(host.m_sizeAndFillSeen);
    EXPECT_EQ(0, host.m_notices);

    CWipeHost small;
    small.m_dontShow = 1;
    EXPECT_EQ(1, Wipe("T:", 5 * MiB + 123, small));
    EXPECT_EQ(std::vector<int>{0}, small.m_ranges);
    EXPECT_EQ(1, small.m_steps);

    CWipeHost none;
    none.m_dontShow = 1;
    EXPECT_EQ(1, Wipe("T:", 0, none));
    EXPECT_EQ(0, none.m_steps);
}

TEST_F(WipeTest, NoticeShownOncePerRunUnlessSuppressed)
{
    CWipeHost host;
    Wipe("T:", 1 * MiB, host);
    Wipe("T:", 1 * MiB, host);
    EXPECT_EQ(1, host.m_notices);
    EXPECT_EQ(0, host.m_dontShow);

    ResetWipeNoticeOnce(); // a new program run
    host.m_tickBox = 1;
    Wipe("T:", 1 * MiB, host);
    EXPECT_EQ(2, host.m_notices);
    EXPECT_EQ(1, host.m_dontShow);
    ResetWipeNoticeOnce();
    Wipe("T:", 1 * MiB, host);
    EXPECT_EQ(2, host.m_notices);
}

TEST_F(WipeTest, CancelLeavesThisAndEveryLaterDiskUntouched)
{
    g_fakeFree = 20 * MiB;
    CWipeHost host;
    host.m_dontShow = 1;
    host.m_cancelAfter = 1;
    host.m_wipeFile = "V:\\tmpfile01010101";
    CSectionList sections(1, CScanItemPtr(new CScanItem("Wipe free space", 3)));
    CFoundItemList& list = sections[0]->GetFoundItems();
    list.push_back(CCleanTargetPtr(new CDiskTarget("T:")));
    list.push_back(CCleanTargetPtr(new CDiskTarget("V:"))); // cleaned first
    CSilentSink sink;
    CleanSections(sections, sink, &host);
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ(1, list[1]->GetAttempted());
    EXPECT_EQ(0, list[1]->GetCleaned());
    EXPECT_EQ(0, list[0]->GetAttempted());
    EXPECT_EQ(0, list[0]->GetCleaned());
    EXPECT_EQ(1, host.m_steps);
    EXPECT_EQ(1, host.m_ends);
    EXPECT_FALSE(Exists("T:\\tmpfile01010101"));
    EXPECT_FALSE(Exists("V:\\tmpfile01010101"));
}

TEST_F(WipeTest, FullDiskEndsTheWipeUncleanedWithTheFileGone)
{
    if (!GetEnvironmentVariableA("QV_TMPFS_DRIVE", nullptr, 0) || GetDiskFreeSpaceExA("U:\\", nullptr, nullptr, nullptr) == 0)
        GTEST_SKIP();
    char flag[4] = {};
    GetEnvironmentVariableA("QV_TMPFS_DRIVE", flag, sizeof(flag));
    if (strcmp(flag, "1") != 0)
        GTEST_SKIP() << "no small file system could be mounted for U: here";

    // The real figure of the 24 MiB drive: the wipe fills it and cleans it.
    SetFreeSpaceQuery(nullptr);
    ULARGE_INTEGER before;
    ASSERT_TRUE(GetDiskFreeSpaceExA("U:\\", &before, nullptr, nullptr));
    ASSERT_LE(before.QuadPart, 24 * MiB);
    CWipeHost host;
    host.m_dontShow = 1;
    EXPECT_EQ(1, Wipe("U:", before.QuadPart, host));
    EXPECT_EQ(int(before.QuadPart / (8 * MiB)) + (before.QuadPart % (8 * MiB) ? 1 : 0), host.m_steps);

    // Claiming more free space than there is: the extension fails, nothing is left behind.
    SetFreeSpaceQuery(FakeFreeSpace);
    CWipeHost full;
    full.m_dontShow = 1;
    EXPECT_EQ(0, Wipe("U:", 64 * MiB, full));
    ULARGE_INTEGER after;
    ASSERT_TRUE(GetDiskFreeSpaceExA("U:\\", &after, nullptr, nullptr));
    EXPECT_EQ(before.QuadPart, after.QuadPart);

    // A drive with no free space at all (filled from the host): nothing is left unwiped,
    // so it counts as done, and the clean says why there was nothing to write.
    SetFreeSpaceQuery(nullptr);
    ASSERT_TRUE(RunHost("dd if=/dev/zero of=" + HostQuote(HostPath("U:\\filler")) + " bs=1M 2>/dev/null; true"));
    ULARGE_INTEGER none;
    ASSERT_TRUE(GetDiskFreeSpaceExA("U:\\", &none, nullptr, nullptr));
    ASSERT_EQ(0u, none.QuadPart);
    CSectionList sections(1, CScanItemPtr(new CScanItem("Wipe", SECTION_WIPE)));
    sections[0]->GetFoundItems().push_back(CCleanTargetPtr(new CDiskTarget("U:")));
    CProblemSink sink;
    CWipeHost filled;
    filled.m_dontShow = 1;
    CleanSections(sections, sink, &filled);
    EXPECT_TRUE(sections[0]->GetFoundItems().empty());
    EXPECT_EQ((std::vector<std::string>{"U:"}), sink.m_places);
    EXPECT_EQ((std::vector<std::string>{"no free space to wipe"}), sink.m_reasons);
    DeleteFileA("U:\\filler");
}

TEST_F(WipeTest, ANameAlreadyTakenIsNeverWrittenThroughNorDeleted)
{
    // T:'s wipe name is a hard link to a document; V:'s a link to a file on T:.
    RemoveTree("T:\\data");
    ASSERT_TRUE(MakeDir("T:\\data"));
    ASSERT_TRUE(WriteBytes("T:\\data\\thesis.txt", "my thesis"));
    ASSERT_TRUE(WriteBytes("T:\\data\\linked.txt", "linked"));
    ASSERT_TRUE(CreateHardLinkA("T:\\tmpfile01010101", "T:\\data\\thesis.txt", nullptr));
    ASSERT_TRUE(MakeHostLink("T:\\data\\linked.txt", "V:\\tmpfile01010101"));

    for (const char* drive : {"T:", "V:"})
    {
        CWipeHost host;
        host.m_dontShow = 1;
        host.m_wipeFile = CString(drive) + "\\tmpfile01010101.1";
        host.m_expectedSize = 1 * MiB;
        g_fakeFree = 1 * MiB;
        CDiskTarget disk(drive);
        disk.SetOwner(&host);
        disk.Clean();
        EXPECT_EQ(1, disk.GetCleaned()) << drive;
        EXPECT_TRUE(host.m_sawFile && host.m_sizeAndFillSeen) << drive << ": wiped through a name of its own";
        EXPECT_FALSE(Exists(host.m_wipeFile)) << drive;
    }
    std::string bytes;
    EXPECT_TRUE(ReadBytes("T:\\data\\thesis.txt", bytes) && bytes == "my thesis") << bytes;
    EXPECT_TRUE(ReadBytes("T:\\tmpfile01010101", bytes) && bytes == "my thesis") << bytes;
    EXPECT_TRUE(ReadBytes("T:\\data\\linked.txt", bytes) && bytes == "linked") << bytes;
    EXPECT_TRUE(RunHost("[ -L " + HostQuote(HostPath("V:\\tmpfile01010101")) + " ]"));
    DeleteFileA("T:\\tmpfile01010101");
    RemoveTree("V:\\tmpfile01010101");
    RemoveTree("T:\\data");
}

// Run in a child process by the next test: holds a wipe open until it is killed.
TEST(WipeChild, HoldsAWipeOpenUntilKilled)
{
    if (!GetEnvironmentVariableA("QV_WIPE_CHILD", nullptr, 0))
        GTEST_SKIP() << "runs only as the child of KilledWipeLeavesNoFile";
    ULONGLONG twentyMiB = 20 * MiB;
    g_fakeFree = twentyMiB;
    SetFreeSpaceQuery(FakeFreeSpace);
    CWipeHost host;
    host.m_dontShow = 1;
    host.m_hang = true;
    CDiskTarget disk("T:");
    disk.SetOwner(&host);
    disk.Clean(); // never returns
}

TEST_F(WipeTest, KilledWipeLeavesNoFile)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    CString command;
    command.Format("\"%s\" --gtest_filter=WipeChild.*", self);
    SetEnvironmentVariableA("QV_WIPE_CHILD", "1");
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, command.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("QV_WIPE_CHILD", nullptr);
    ASSERT_TRUE(started);
    bool seen = false;
    for (int i = 0; i < 200 && !seen; ++i)
    {
        seen = Exists("T:\\tmpfile01010101");
        if (!seen)
            Sleep(50);
    }
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(seen) << "the child never started its wipe";
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i)
    {
        gone = !Exists("T:\\tmpfile01010101");
        if (!gone)
            Sleep(50);
    }
    EXPECT_TRUE(gone) << "a killed wipe left its file filling the disk";
}
