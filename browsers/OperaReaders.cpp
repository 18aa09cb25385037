#include "OperaReaders.h"

#include "OperaTarget.h"
#include "TextConversion.h"
#include "afx/File.h"
#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"

const char kOperaProfileFolder[] = "\\Opera\\Opera\\profile\\";

namespace
{
const int kLineUnits = 4096;

// A file read through CFile, buffered, for the parsers.
class CFileSource : public opera::IByteSource
{
public:
    explicit CFileSource(CFile& file) : m_file(file), m_length(0), m_position(0), m_begin(0), m_end(0)
    {
        if (!m_file.GetLength(m_length))
            m_length = 0;
    }
    size_t Read(void* buffer, size_t count) override
    {
        char* out = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < count)
        {
            if (m_begin == m_end)
            {
                m_begin = 0;
                m_end = m_file.Read(m_buffer, sizeof(m_buffer));
                if (m_end == 0)
                    break;
            }
            size_t n = count - done < m_end - m_begin ? count - done : m_end - m_begin;
            memcpy(out + done, m_buffer + m_begin, n);
            m_begin += n;
            done += n;
        }
        m_position += done;
        return done;
    }
    uint64_t Position() const override { return m_position; }
    uint64_t Length() const override { return m_length; }

private:
    CFile& m_file;
    ULONGLONG m_length;
    uint64_t m_position;
    char m_buffer[65536];
    size_t m_begin, m_end;
};

// Opens an Opera file exclusively and lists it; false (and nothing listed) when it
// cannot be opened, as when the browser holds it.
bool OpenAndList(CFile& file, const CString& path, CFoundItemList& list)
{
    if (!file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::osSequentialScan))
        return false;
    list.push_back(std::make_shared<CFileTarget>(path, FK_OPERA_FILE));
    return true;
}

// A profile file that is there but could not be opened (the browser holds it) is
// reported; one that is not there is not.
void ReportUnreadable(const CString& path, CTickable& tick)
{
    CFile file;
    if (file.Open(path, CFile::modeRead | CFile::shareExclusive))
        return;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        tick.ReportProblem(PROBLEM_UNREADABLE, path, ErrorText(error));
}

size_t g_entryBound = kMaxOperaEntriesPerFile;

// Counts the entries of one file; past the bound, the rest of the file is not read,
// and that is said.
class CEntryBound
{
public:
    CEntryBound(const CString& path, CFoundItemList& list, CTickable& tick)
        : m_path(path), m_list(list), m_tick(tick), m_count(0)
    {
    }
    // Lists the entry make gives while the bound allows; false (and said) once it does not.
    template <class Make> bool Add(Make make)
    {
        if (m_count >= g_entryBound)
        {
            CString reason;
            reason.Format("more than %llu entries; the rest was not read",
                          static_cast<unsigned long long>(g_entryBound));
            m_tick.ReportProblem(PROBLEM_UNREADABLE, m_path, reason);
            return false;
        }
        ++m_count;
        m_list.push_back(make());
        m_tick.Tick();
        return true;
    }

private:
    const CString& m_path;
    CFoundItemList& m_list;
    CTickable& m_tick;
    size_t m_count;
};

// Runs a line reader on the file and lists each entry, converted.
template <class Reader>
void ReadTextFile(CFoundItemList& list, const CString& path, int kind, Reader reader, CTickable& tick)
{
    CFile file;
    if (!OpenAndList(file, path, list))
        return;
    CFileSource source(file);
    CEntryBound bound(path, list, tick);
    reader(source, [&](const std::string& line) {
        return bound.Add(
            [&] { return std::make_shared<COperaTarget>(Utf8ToAnsi(line, kLineUnits), CString(), kind, 0); });
    });
}

void ReadRecordFile(opera::CRecordFileDescription& d, const CString& path, const CString& cacheFolder,
                    CFoundItemList& list, CTickable& tick)
{
    CFile file;
    if (!OpenAndList(file, path, list))
        return;
    CFileSource source(file);
    const bool cacheIndex = d.wantedRecordTag == 1;
    const auto folder = cacheIndex ? std::make_shared<const CString>(cacheFolder) : nullptr;
    CEntryBound bound(path, list, tick);
    opera::ReadRecordEntries(source, d, [&](const std::string& text, const std::string& fileName) {
        return bound.Add([&] {
            return std::make_shared<COperaTarget>(CString(text), CString(fileName), d.operaKind, cacheIndex ? 1 : 0,
                                                  folder);
        });
    });
}

void ReadCookies(opera::CRecordFileDescription& d, const CString& path, CFoundItemList& list, CTickable& tick)
{
    CFile file;
    if (!OpenAndList(file, path, list))
        return;
    CFileSource source(file);
    CEntryBound bound(path, list, tick);
    opera::ReadCookieEntries(source, d, [&](const std::string& text) {
        return bound.Add([&] { return std::make_shared<COperaTarget>(CString(text), CString(), OK_COOKIE, 0); });
    });
}
} // namespace

void SetOperaEntryBound(size_t bound) { g_entryBound = bound ? bound : kMaxOperaEntriesPerFile; }

namespace
{
enum OperaProfile
{
    LOCAL,
    ROAMING
};

enum OperaReaderKind
{
    RECORDS,
    COOKIES,
    GLOBAL_HISTORY,
    BOOKMARKS,
    DIRECTORY_LIST,
    TYPED_HISTORY,
    TEMPORARY_DOWNLOADS
};

struct COperaFile
{
    OperaProfile profile;
    const char* path;        // below the profile folder
    OperaReaderKind reader;
    int recordTag, fieldTag; // record files
    int kind;                // Opera kind of the entries
    const char* cacheFolder; // below the profile folder, for a cache index
};

const COperaFile kOperaFiles[OPERA_FILE_COUNT] = {
    {LOCAL, "cache4\\dcache4.url", RECORDS, 1, 3, OK_CACHE_FILE, "cache4\\"},
    {LOCAL, "opcache\\dcache4.url", RECORDS, 1, 3, OK_CACHE_FILE, "opcache\\"},
    {ROAMING, "vlink4.dat", RECORDS, 2, 3, OK_VISITED_LINK, nullptr},
    {ROAMING, "download.dat", RECORDS, 65, 3, OK_DOWNLOAD_LINK, nullptr},
    {ROAMING, "cookies4.dat", COOKIES, 0, 0, OK_COOKIE, nullptr},
    {ROAMING, "global.dat", GLOBAL_HISTORY, 0, 0, OK_HISTORY_ENTRY, nullptr},
    {ROAMING, "opera6.adr", BOOKMARKS, 0, 0, OK_BOOKMARK, nullptr},
    {ROAMING, "opera.dir", DIRECTORY_LIST, 0, 0, OK_HISTORY_ENTRY, nullptr},
    {ROAMING, "typed_history.xml", TYPED_HISTORY, 0, 0, OK_TYPED_URL, nullptr},
    {LOCAL, "cache4\\temporary_download", TEMPORARY_DOWNLOADS, 0, 0, 0, nullptr},
};
} // namespace

bool IsOperaFolder(int index)
{
    return index >= 0 && index < OPERA_FILE_COUNT && kOperaFiles[index].reader == TEMPORARY_DOWNLOADS;
}

CString OperaFilePath(int index, const CString& localAppData, const CString& appData)
{
    if (index < 0 || index >= OPERA_FILE_COUNT)
        return CString();
    const COperaFile& f = kOperaFiles[index];
    const CString& base = f.profile == LOCAL ? localAppData : appData;
    return base.IsEmpty() ? CString() : base + kOperaProfileFolder + f.path;
}

void ReadOperaFile(int index, const CString& localAppData, const CString& appData, CFoundItemList& list,
                   CTickable& tick)
{
    const CString path = OperaFilePath(index, localAppData, appData);
    if (path.IsEmpty())
        return;
    const COperaFile& f = kOperaFiles[index];
    const CString profile = (f.profile == LOCAL ? localAppData : appData) + kOperaProfileFolder;
    const size_t listedBefore = list.size();
    opera::CRecordFileDescription description;
    description.wantedRecordTag = f.recordTag;
    description.wantedFieldTag = f.fieldTag;
    description.operaKind = f.kind;
    switch (f.reader)
    {
    case RECORDS:
        ReadRecordFile(description, path, f.cacheFolder ? profile + f.cacheFolder : CString(), list, tick);
        break;
    case COOKIES:
        description.wantedRecordTag = 3;
        description.wantedFieldTag = 16;
        ReadCookies(description, path, list, tick);
        break;
    case GLOBAL_HISTORY:
        ReadTextFile(list, path, OK_HISTORY_ENTRY, opera::ReadGlobalHistoryLines, tick);
        break;
    case BOOKMARKS:
        ReadTextFile(list, path, OK_BOOKMARK, opera::ReadBookmarkLines, tick);
        break;
    case DIRECTORY_LIST:
        ReadTextFile(list, path, OK_HISTORY_ENTRY, opera::ReadDirectoryListLines, tick);
        break;
    case TYPED_HISTORY:
        ReadTextFile(list, path, OK_TYPED_URL, opera::ReadTypedHistoryLines, tick);
        break;
    case TEMPORARY_DOWNLOADS:
        return; // a folder: the scan run walks it, through the checks of every walk's root
    }
    if (list.size() == listedBefore)
        ReportUnreadable(path, tick);
}
