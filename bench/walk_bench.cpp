// Times the folder walk and the clean run of the engine on a prepared tree, or the
// free-space wipe of one test drive.
//   walk_bench.exe FOLDER [--shred]   prints "walk ITEMS SECONDS" and "clean ITEMS SECONDS LEFT"
//   walk_bench.exe FOLDER --list      the walk alone: prints "walk ITEMS SECONDS"
//   walk_bench.exe --bare FOLDER      the same work in bare Win32 calls, as the baseline:
//                                     prints "bare_walk ITEMS SECONDS" and "bare_delete ITEMS SECONDS LEFT"
//   walk_bench.exe --calls FOLDER     the cost of each Win32 call of a checked delete, on the
//                                     files of FOLDER (half deleted by DeleteFileW, half through
//                                     a handle): prints "calls DELETEFILE OPEN TAG NAME DISPOSITION
//                                     CLOSE", microseconds per file
//   walk_bench.exe --wipe DRIVE       prints "wipe BYTES SECONDS CLEANED"
//   walk_bench.exe --memory files FOLDER | registry KEY | opera ROAMING_APPDATA
//                                     lists the folder's tree, the HKCU key's values or
//                                     the Opera profile's opera.dir, and prints "memory
//                                     KIND ITEMS BYTES_PER_ITEM TEXT_PER_ITEM": the
//                                     process's private bytes the items took, beyond
//                                     their texts, and their texts' average length
//   walk_bench.exe --chromium PROFILE prints "chromium_scan ITEMS SECONDS" and
//                                     "chromium_clean ITEMS SECONDS LEFT" (history)
//   walk_bench.exe --firefox APPDATA  prints "firefox_scan ITEMS SECONDS" and
//                                     "firefox_clean ITEMS SECONDS LEFT" (history)
#include "areas/DiskTarget.h"
#include "areas/EntryHandle.h"
#include "areas/FileTarget.h"
#include "areas/FolderChain.h"
#include "areas/FolderWalk.h"
#include "areas/MRUListTarget.h"
#include "areas/PathText.h"
#include "browsers/Chromium.h"
#include "browsers/Mozilla.h"
#include "browsers/OperaReaders.h"
#include "engine/CleanRun.h"
#include "model/CleanHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

#include <psapi.h>

namespace
{
class CBenchHost : public CHeadlessCleanHost, public IProgressSink
{
public:
    explicit CBenchHost(bool shred) : CHeadlessCleanHost(shred) {}
    void Tick() override {}
    void RefreshList() override {}
};

// A bare recursive listing in the literal path form: folders before their content.
void BareWalk(const std::wstring& folder, std::vector<std::pair<std::wstring, bool>>& entries)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (!wcscmp(data.cFileName, L".") || !wcscmp(data.cFileName, L".."))
            continue;
        std::wstring path = folder + L"\\" + data.cFileName;
        bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.emplace_back(path, isFolder);
        if (isFolder)
            BareWalk(path, entries);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Times a browser history scan and the clean of what it found; prints
// "NAME_scan ITEMS SECONDS" and "NAME_clean ITEMS SECONDS LEFT".
int TimeHistory(const char* name, const std::function<void(CFoundItemList&, CTickable&)>& scan)
{
    CBenchHost host(false);
    CSectionList sections(1, CScanItemPtr(new CScanItem("bench", 2)));
    CFoundItemList& items = sections[0]->GetFoundItems();
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    scan(items, host);
    QueryPerformanceCounter(&t1);
    size_t found = items.size();
    CleanSections(sections, host, &host);
    QueryPerformanceCounter(&t2);
    std::printf("%s_scan %u %.6f\n", name, static_cast<unsigned>(found), Seconds(t0, t1));
    std::printf("%s_clean %u %.6f %u\n", name, static_cast<unsigned>(found), Seconds(t1, t2),
                static_cast<unsigned>(items.size()));
    return 0;
}
// What one file costs in each call: DeleteFileW alone, against the calls of the clean's
// delete in a held folder (open inside the folder's handle without following a link, the
// handle's place where the system follows links anyway, disposition, close).
int TimeCalls(const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, bool>> entries;
    BareWalk(folder, entries);
    const size_t half = entries.size() / 2;
    if (half == 0)
        return 1;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (size_t i = 0; i < half; ++i)
        DeleteFileW(entries[i].first.c_str());
    QueryPerformanceCounter(&end);
    const double deleteFile = Seconds(start, end);

    double calls[4] = {};
    HANDLE folderHandle = OpenFolderForListing(folder);
    if (folderHandle == INVALID_HANDLE_VALUE)
        return 1;
    std::vector<wchar_t> name(32768);
    for (size_t i = half; i < 2 * half; ++i)
    {
        const std::wstring& path = entries[i].first;
        const size_t slash = path.rfind(L'\\');
        LARGE_INTEGER t[5];
        QueryPerformanceCounter(&t[0]);
        HANDLE handle = INVALID_HANDLE_VALUE;
        OpenRelative(folderHandle, path.data() + slash + 1, path.size() - slash - 1, DELETE | FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false, true, handle);
        QueryPerformanceCounter(&t[1]);
        if (handle == INVALID_HANDLE_VALUE)
            continue;
        if (!OpensLinksAsThemselves())
            GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        QueryPerformanceCounter(&t[2]);
        FILE_DISPOSITION_INFO disposition = {TRUE};
        SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof(disposition));
        QueryPerformanceCounter(&t[3]);
        CloseHandle(handle);
        QueryPerformanceCounter(&t[4]);
        for (int c = 0; c < 4; ++c)
            calls[c] += Seconds(t[c], t[c + 1]);
    }
    CloseHandle(folderHandle);
    const double perFile = 1e6 / double(half);
    std::printf("calls %.1f %.1f %.1f %.1f %.1f\n", deleteFile * perFile, calls[0] * perFile, calls[1] * perFile,
                calls[2] * perFile, calls[3] * perFile);
    return 0;
}
// The memory the process has committed (Wine leaves the private-bytes figure at 0 and
// keeps this one).
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// What the found items of one kind take in memory, beyond their texts.
int MeasureMemory(const char* kind, const CString& where)
{
    CBenchHost host(false);
    CFoundItemList items;
    const SIZE_T before = PrivateBytes();
    if (std::strcmp(kind, "files") == 0)
        WalkFolder(where, FK_TEMP_FILE, FK_TEMP_FOLDER, items, host);
    else if (std::strcmp(kind, "registry") == 0)
        ScanMRUKey(where, items, host);
    else if (std::strcmp(kind, "opera") == 0)
    {
        SetOperaEntryBound(100000000); // the bound itself is not measured here
        ReadOperaFile(7, "", where, items, host);
    }
    else
        return 2;
    const SIZE_T after = PrivateBytes();
    if (items.empty())
        return 1;
    double texts = 0;
    for (const CCleanTargetPtr& item : items)
        texts += item->GetDisplayText().GetLength();
    const double count = static_cast<double>(items.size());
    std::printf("memory %s %u %.1f %.1f\n", kind, static_cast<unsigned>(items.size()),
                (static_cast<double>(after - before) - texts) / count, texts / count);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: walk_bench.exe FOLDER [--shred]\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--wipe") == 0)
    {
        if (argc < 3)
            return 2;
        CBenchHost host(false);
        ULARGE_INTEGER freeBytes;
        CString drive(argv[2], 2);
        if (!GetDiskFreeSpaceExA(drive + "\\", &freeBytes, nullptr, nullptr))
            return 1;
        CDiskTarget disk(drive);
        disk.SetOwner(&host);
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        disk.Clean();
        QueryPerformanceCounter(&t1);
        std::printf("wipe %llu %.6f %d\n", static_cast<unsigned long long>(freeBytes.QuadPart),
                    Seconds(t0, t1), disk.GetCleaned());
        return 0;
    }
    if (std::strcmp(argv[1], "--memory") == 0 && argc > 3)
        return MeasureMemory(argv[2], argv[3]);
    if (std::strcmp(argv[1], "--calls") == 0 && argc > 2)
        return TimeCalls(ToLongPath(argv[2]));
    if (std::strcmp(argv[1], "--firefox") == 0 && argc > 2)
    {
        const CString profile = argv[2];
        return TimeHistory("firefox", [&](CFoundItemList& items, CTickable& tick)
                           { ScanFirefoxProfile(profile, BT_HISTORY, items, tick); });
    }
    // The listing and the clean script of the history of a profile, as the engine would
    // run them with the given bound, for the sqlite3 tool to run alike.
    if (std::strcmp(argv[1], "--script") == 0 && argc > 4)
    {
        const CBrowserFamily& family =
            std::strcmp(argv[2], "firefox") == 0 ? FirefoxFamily() : ChromiumFamily();
        const CCleanScript script = DescribeClean(family, argv[3], BT_HISTORY, std::atoll(argv[4]));
        std::printf("%s\n%s\n", script.listing.c_str(), script.clean.c_str());
        return script.listing.empty() ? 1 : 0;
    }
    if (std::strcmp(argv[1], "--chromium") == 0 && argc > 2)
    {
        const CString profile = argv[2];
        return TimeHistory("chromium", [&](CFoundItemList& items, CTickable& tick)
                           { ScanChromiumProfile(profile, BT_HISTORY, items, tick); });
    }
    // The cookie scan and clean of a Chromium profile with a keep list of KEPT sites
    // ("keptN.example"; 0: no list at all).
    if (std::strcmp(argv[1], "--cookies") == 0 && argc > 3)
    {
        const CString profile = argv[2];
        const int kept = std::atoi(argv[3]);
        std::shared_ptr<CKeepList> keep;
        if (kept > 0)
        {
            keep = std::make_shared<CKeepList>();
            for (int i = 0; i < kept; ++i)
                keep->AddSite("kept" + std::to_string(i) + ".example");
        }
        return TimeHistory("cookies", [&](CFoundItemList& items, CTickable& tick)
                           { ScanChromiumProfile(profile, BT_COOKIES, items, tick, keep); });
    }
    if (std::strcmp(argv[1], "--bare") == 0)
    {
        if (argc < 3)
            return 2;
        std::vector<std::pair<std::wstring, bool>> entries;
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        BareWalk(ToLongPath(argv[2]), entries);
        QueryPerformanceCounter(&t1);
        unsigned left = 0;
        for (size_t i = entries.size(); i-- > 0;)
        {
            const std::wstring& path = entries[i].first;
            if (!(entries[i].second ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str())))
                ++left;
        }
        QueryPerformanceCounter(&t2);
        std::printf("bare_walk %u %.6f\n", static_cast<unsigned>(entries.size()), Seconds(t0, t1));
        std::printf("bare_delete %u %.6f %u\n", static_cast<unsigned>(entries.size()), Seconds(t1, t2), left);
        return 0;
    }
    bool shred = argc > 2 && std::strcmp(argv[2], "--shred") == 0;
    const bool listOnly = argc > 2 && std::strcmp(argv[2], "--list") == 0;
    CBenchHost host(shred);

    CSectionList sections(1, CScanItemPtr(new CScanItem("bench", 0)));
    CFoundItemList& items = sections[0]->GetFoundItems();
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    WalkFolder(argv[1], FK_TEMP_FILE, FK_TEMP_FOLDER, items, host);
    QueryPerformanceCounter(&t1);
    size_t found = items.size();
    if (listOnly)
    {
        std::printf("walk %u %.6f\n", static_cast<unsigned>(found), Seconds(t0, t1));
        return 0;
    }
    CleanSections(sections, host, &host);
    QueryPerformanceCounter(&t2);

    std::printf("walk %u %.6f\n", static_cast<unsigned>(found), Seconds(t0, t1));
    std::printf("clean %u %.6f %u\n", static_cast<unsigned>(found), Seconds(t1, t2),
                static_cast<unsigned>(items.size()));
    return 0;
}
