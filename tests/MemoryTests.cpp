// What found items cost in memory: the bytes the program allocates for them, beyond
// their texts, counted by the allocator of this test program (each block with its
// allocator's own 16 bytes), for files, registry values and Opera entries; and the bound
// on the entries read from one Opera file.
#include "TestUtil.h"
#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "areas/MRUListTarget.h"
#include "browsers/OperaReaders.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

using namespace testutil;

namespace
{
std::atomic<long long> g_liveBytes(0);
const size_t kHeader = 16; // each block carries its size, as a heap block carries its own header

void* CountedAlloc(size_t size)
{
    void* block = std::malloc(size + kHeader);
    if (!block)
        throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    g_liveBytes += static_cast<long long>(size + kHeader);
    return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* p)
{
    if (!p)
        return;
    void* block = static_cast<char*>(p) - kHeader;
    g_liveBytes -= static_cast<long long>(*static_cast<size_t*>(block) + kHeader);
    std::free(block);
}
} // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

TEST(MemoryTest, FoundItemsCostAtMost150BytesBeyondTheirTexts)
{
    const int kItems = 3000;
    const CString root = MakeTestRoot("memory");
    ASSERT_TRUE(RunHost("python3 -c \"import sys\nfor i in range(3000): open(sys.argv[1]+'/document-%05d.tmp'%i,'w')\" " +
                        HostQuote(HostPath(root))));
    const char kKey[] = "Software\\QuorvantisTest\\Memory";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    for (int i = 0; i < kItems; ++i)
    {
        CString name, data;
        name.Format("%d", i);
        data.Format("C:\\Users\\someone\\Documents\\report %05d.docx", i);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.GetString()), data.GetLength() + 1);
    }
    RegCloseKey(key);
    const CString roaming = root + "\\roaming";
    for (const char* dir : {"\\roaming", "\\roaming\\Opera", "\\roaming\\Opera\\Opera", "\\roaming\\Opera\\Opera\\profile"})
        MakeDir(root + dir);
    std::string lines;
    for (int i = 0; i < kItems; ++i)
        lines += "C:\\Users\\someone\\Downloads\\folder" + std::to_string(i) + "\n";
    ASSERT_TRUE(WriteBytes(roaming + "\\Opera\\Opera\\profile\\opera.dir", lines));

    const struct
    {
        const char* name;
        std::function<void(CFoundItemList&, CTickable&)> scan;
    } kinds[] = {
        {"files", [&](CFoundItemList& list, CTickable& tick) { WalkFolder(root, FK_TEMP_FILE, FK_TEMP_FOLDER, list, tick); }},
        {"registry values", [&](CFoundItemList& list, CTickable& tick) { ScanMRUKey(kKey, list, tick); }},
        {"Opera entries", [&](CFoundItemList& list, CTickable& tick) { ReadOperaFile(7, "", roaming, list, tick); }},
    };
    for (const auto& kind : kinds)
    {
        CCountingTick tick;
        CFoundItemList* list = new CFoundItemList;
        const long long before = g_liveBytes;
        kind.scan(*list, tick);
        const long long used = g_liveBytes - before;
        long long texts = 0;
        for (const CCleanTargetPtr& item : *list)
            texts += item->GetDisplayText().GetLength();
        ASSERT_GE(list->size(), static_cast<size_t>(kItems)) << kind.name;
        const long long perItem = (used - texts) / static_cast<long long>(list->size());
        EXPECT_LE(perItem, 150) << kind.name << ": " << perItem << " bytes per item beyond its text";
        delete list;
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuorvantisTest");
    RemoveTree(root);
}

TEST(MemoryTest, AnOperaFileGivesAtMostItsBoundOfEntriesAndSaysTheRestWasNotRead)
{
    const CString root = MakeTestRoot("bound");
    for (const char* dir : {"\\Opera", "\\Opera\\Opera", "\\Opera\\Opera\\profile"})
        MakeDir(root + dir);
    std::string lines;
    for (int i = 0; i < 150; ++i)
        lines += "C:\\folder" + std::to_string(i) + "\n";
    const CString path = root + "\\Opera\\Opera\\profile\\opera.dir";
    ASSERT_TRUE(WriteBytes(path, lines));
    SetOperaEntryBound(100);
    CFoundItemList list;
    CProblemSink sink;
    ReadOperaFile(7, "", root, list, sink);
    SetOperaEntryBound(0);
    EXPECT_EQ(101u, list.size()) << "the file, then its first 100 entries";
    EXPECT_EQ(std::vector<std::string>{path.str()}, sink.m_places);
    EXPECT_EQ(std::vector<std::string>{"more than 100 entries; the rest was not read"}, sink.m_reasons);
    RemoveTree(root);
}
