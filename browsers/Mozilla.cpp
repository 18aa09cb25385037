#include "Mozilla.h"

#include "TextConversion.h"
#include "areas/FolderWalk.h"
#include "afx/File.h"
#include "areas/PathText.h"

#include <cstring>
#include <sqlite3.h>

namespace
{
// Longest row text shown, in UTF-16 units; a longer one is shown empty.
const int kMaxRowUnits = 4192;

// Addresses that a bookmark or a keyword points at are kept by the typed-address
// clean, which would otherwise leave them pointing at nothing.
#define KEPT " where %KEPT%"
const char kKeptBookmarked[] = "id not in (select fk from moz_bookmarks where fk is not null)";
const char kKeptBookmarkedOrKeyword[] =
    "id not in (select fk from moz_bookmarks where fk is not null"
    " union select place_id from moz_keywords where place_id is not null)";

const CMozilla::CQuery kQueries[] = {
    {"places.sqlite", MK_TYPED_URL, "select distinct url from moz_places" KEPT, CMozilla::OnSingleColumnRow,
     "delete from moz_places" KEPT},
    {"places.sqlite", MK_TYPED_URL, "select input from moz_inputhistory", CMozilla::OnSingleColumnRow,
     "delete from moz_inputhistory"},
    {"places.sqlite", MK_HISTORY_ENTRY,
     "select (select url from moz_places where id = place_id) from moz_historyvisits order by visit_date desc",
     CMozilla::OnSingleColumnRow, "delete from moz_historyvisits "},
    {"downloads.sqlite", MK_DOWNLOAD_LINK, "select name,source from moz_downloads", CMozilla::OnDownloadRow,
     "delete from moz_downloads"},
    {"cookies.sqlite", MK_COOKIE, "select name, host, path from moz_cookies", CMozilla::OnCookieRow,
     "delete from moz_cookies"},
    {"places.sqlite", MK_BOOKMARK, "select title from moz_bookmarks where fk <> 0 and id > 12",
     CMozilla::OnSingleColumnRow, "delete from moz_bookmarks where id > 12"},
    {"formhistory.sqlite", MK_FORM_DATA, "select distinct value from moz_formhistory", CMozilla::OnSingleColumnRow,
     "delete from moz_formhistory"},
};
#undef KEPT

enum QueryIndex
{
    Q_TYPED_URLS,
    Q_INPUT_HISTORY,
    Q_HISTORY,
    Q_DOWNLOADS,
    Q_COOKIES,
    Q_BOOKMARKS,
    Q_FORM_HISTORY
};

int IgnoreRow(void*, int, char**, char**) { return 0; }

CString WithKept(const char* statement, const char* kept)
{
    std::string text = statement;
    size_t at = text.find("%KEPT%");
    if (at != std::string::npos)
        text.replace(at, 6, kept);
    return CString(text);
}

std::string Column(int columns, char** texts, int index)
{
    return index < columns && texts[index] ? std::string(texts[index]) : std::string();
}
} // namespace

int RunStatement(const CString& path, DatabaseMode mode, const char* statement, RowCallback callback, void* context,
                 CString* error)
{
    sqlite3* db = nullptr;
    const int flags = mode == DB_READ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    int result = sqlite3_open_v2(path, &db, flags, nullptr);
    if (result == SQLITE_OK && mode == DB_WRITE)
        result = sqlite3_exec(db, "pragma secure_delete = on", nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        result = sqlite3_exec(db, statement, callback, context, nullptr);
    // A write-ahead log would keep the old pages until the next checkpoint.
    if (result == SQLITE_OK && mode == DB_WRITE)
        result = sqlite3_exec(db, "pragma wal_checkpoint(truncate)", nullptr, nullptr, nullptr);
    if (result != SQLITE_OK && error)
        *error = db ? sqlite3_errmsg(db) : sqlite3_errstr(result);
    sqlite3_close(db);
    return result;
}

int CMozillaCleanerTarget::Clean()
{
    m_attempted = 1;
    m_failure.Empty();
    m_cleaned = RunStatement(GetDisplayText(), DB_WRITE, m_query, IgnoreRow, nullptr, &m_failure) == SQLITE_OK ? 1 : 0;
    return m_cleaned;
}

CMozilla::CMozilla(const CString& appData, CFoundItemList& list, CTickable& tick)
    : m_list(list), m_tick(tick), m_currentKind(0)
{
    if (!appData.IsEmpty())
        m_profileFolder = FindDefaultProfile(appData + "\\Mozilla\\Firefox\\Profiles\\");
}

CMozilla::CMozilla(CFoundItemList& list, CTickable& tick, const CString& profileFolder)
    : m_profileFolder(profileFolder), m_list(list), m_tick(tick), m_currentKind(0)
{
}

namespace
{
CString Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? CString() : CString(text.substr(first, last - first + 1));
}

// A relative profile path of profiles.ini as a path below folder; "" when it holds
// anything but plain names.
CString RelativeProfile(const CString& folder, const CString& relative)
{
    CString path = folder;
    std::string rest = relative.str();
    size_t start = 0;
    while (start <= rest.size())
    {
        size_t end = rest.find_first_of("/\\", start);
        std::string part = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty())
        {
            std::wstring wide = Utf8ToWide(part.c_str(), static_cast<int>(part.size()));
            if (!IsPlainName(wide.c_str()))
                return CString();
            path += "\\" + CString(part);
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return path;
}

void AddProfile(std::vector<CString>& profiles, const CString& folder)
{
    if (folder.IsEmpty())
        return;
    CString withSeparator = folder[folder.GetLength() - 1] == '\\' ? folder : folder + "\\";
    for (const CString& known : profiles)
        if (known.CompareNoCase(withSeparator) == 0)
            return;
    if (IsFolderPath(withSeparator))
        profiles.push_back(withSeparator);
}
} // namespace

namespace
{
// The profile a [Profile] section names, or "" (reported) for a path that is not one.
CString ListedProfile(const CString& firefox, const CString& path, bool relative, CTickable& tick)
{
    if (relative)
    {
        CString below = RelativeProfile(firefox, path);
        if (below.IsEmpty())
            tick.ReportProblem(PROBLEM_SKIPPED, path, "not a folder below the Firefox folder; not read");
        return below;
    }
    // An absolute path names its drive or share: anything else would be taken from the
    // folder that happens to be current.
    CString root, rest;
    if (!SplitVolumePath(path, root, rest))
    {
        tick.ReportProblem(PROBLEM_SKIPPED, path, "not an absolute path; not read");
        return CString();
    }
    return path;
}

// The text of profiles.ini, up to its bound (what is left beyond it is reported).
std::string ReadProfilesIni(const CString& path, CTickable& tick)
{
    CFile ini;
    if (!ini.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return std::string();
    std::string text(kMaxProfilesIni + 1, '\0');
    UINT total = 0;
    for (UINT got = 0; total < text.size(); total += got)
        if ((got = ini.Read(&text[total], static_cast<UINT>(text.size() - total))) == 0)
            break;
    text.resize(total);
    if (text.size() > kMaxProfilesIni)
    {
        text.resize(kMaxProfilesIni);
        tick.ReportProblem(PROBLEM_UNREADABLE, path, "longer than 1 MiB; the profiles listed after that were not read");
    }
    return text;
}
} // namespace

std::vector<CString> FindFirefoxProfiles(const CString& appData, CTickable& tick)
{
    std::vector<CString> profiles;
    if (appData.IsEmpty())
        return profiles;
    const CString firefox = appData + "\\Mozilla\\Firefox";
    const std::string text = ReadProfilesIni(firefox + "\\profiles.ini", tick);
    bool inProfile = false, relative = true;
    CString path;
    auto finish = [&] {
        if (inProfile && !path.IsEmpty())
            AddProfile(profiles, ListedProfile(firefox, path, relative, tick));
        path.Empty();
        relative = true;
    };
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        CString line = Trimmed(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.GetLength() > 0 && line[0] == '[')
        {
            finish();
            inProfile = line.Left(8).CompareNoCase("[Profile") == 0;
        }
        else if (line.Left(5).CompareNoCase("Path=") == 0)
            path = line.Mid(5);
        else if (line.Left(11).CompareNoCase("IsRelative=") == 0)
            relative = line.Mid(11) != "0";
    }
    finish();
    // The first design's rule: "*.default" folders, listed or not.
    for (const CString& name : FindSubfolders(firefox + "\\Profiles", L"*.default"))
        AddProfile(profiles, firefox + "\\Profiles\\" + name);
    return profiles;
}

void CMozilla::RunQuery(const CQuery& query)
{
    // Without a profile the bare file names would open databases in whatever folder
    // is current: there is nothing to scan.
    if (m_profileFolder.IsEmpty())
        return;
    CString path = m_profileFolder + query.database;
    DWORD attributes = GetPathAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
    {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            m_tick.ReportProblem(PROBLEM_UNREADABLE, path, ErrorText(error));
        return; // a database that is not there is not made
    }
    // Keywords point at places only in newer databases; only the statements that keep
    // places need to know (the others would open the database once more for nothing).
    const char* kept = kKeptBookmarked;
    if (std::strstr(query.listing, "%KEPT%") &&
        RunStatement(path, DB_READ, "select place_id from moz_keywords limit 0", IgnoreRow, nullptr) == SQLITE_OK)
        kept = kKeptBookmarkedOrKeyword;
    m_currentKind = query.kind;
    m_currentCleaner.reset(new CMozillaCleanerTarget(path, WithKept(query.deletion, kept)));
    CString error;
    if (RunStatement(path, DB_READ, WithKept(query.listing, kept), query.callback, this, &error) != SQLITE_OK)
        m_tick.ReportProblem(PROBLEM_UNREADABLE, path, error);
    m_currentCleaner.reset();
}

void CMozilla::ScanFirefoxTypedUrls()
{
    RunQuery(kQueries[Q_TYPED_URLS]);
    RunQuery(kQueries[Q_INPUT_HISTORY]);
}
void CMozilla::ScanFirefoxHistory() { RunQuery(kQueries[Q_HISTORY]); }
void CMozilla::ScanFirefoxDownloads() { RunQuery(kQueries[Q_DOWNLOADS]); }
void CMozilla::ScanFirefoxCookies() { RunQuery(kQueries[Q_COOKIES]); }
void CMozilla::ScanFirefoxBookmarks() { RunQuery(kQueries[Q_BOOKMARKS]); }
void CMozilla::ScanFirefoxFormHistory() { RunQuery(kQueries[Q_FORM_HISTORY]); }

int CMozilla::OnSingleColumnRow(void* context, int columns, char** texts, char**)
{
    if (columns >= 1 && texts[0])
        static_cast<CMozilla*>(context)->AddFirefoxItem(texts[0]);
    return 0;
}

int CMozilla::OnDownloadRow(void* context, int columns, char** texts, char**)
{
    if (columns >= 1 && texts[0])
        static_cast<CMozilla*>(context)->AddFirefoxItem(Column(columns, texts, 0) + " - " + Column(columns, texts, 1));
    return 0;
}

int CMozilla::OnCookieRow(void* context, int columns, char** texts, char**)
{
    if (columns >= 1 && texts[0])
        static_cast<CMozilla*>(context)->AddFirefoxItem(Column(columns, texts, 0) + " at " +
                                                        Column(columns, texts, 1) + Column(columns, texts, 2));
    return 0;
}

void CMozilla::AddFirefoxItem(const std::string& utf8)
{
    m_list.push_back(std::make_shared<CMozillaTarget>(Utf8ToAnsi(utf8, kMaxRowUnits), m_currentCleaner, m_currentKind));
    m_tick.Tick();
}
