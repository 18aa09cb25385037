// Firefox: the default profile's SQLite databases, listed row by row and cleaned by
// one deletion statement per query.
#pragma once

#include "MozillaTarget.h"
#include "model/Tickable.h"

// How a database is opened: an existing one only, never created. A scan reads; a clean
// writes, with deleted content overwritten and the write-ahead log folded back into
// the database file, so that deleted rows cannot be read from either afterwards.
enum DatabaseMode
{
    DB_READ,
    DB_WRITE
};

// Runs one statement on a database (path in UTF-8). SQLITE_OK when the database opened
// and the statement ran to its end, else the SQLite result, with its text in error.
typedef int (*RowCallback)(void* context, int columns, char** texts, char** names);
int RunStatement(const CString& path, DatabaseMode mode, const char* statement, RowCallback callback, void* context,
                 CString* error = nullptr);

// Every Firefox profile below the roaming application data: those that profiles.ini
// lists (relative ones below the Firefox folder, absolute ones by drive or share), then
// any "*.default" folder it does not list. Each ends with a backslash; a profile is given
// once. A listed path that is neither is reported as skipped, and so is what was left
// unread of a profiles.ini over its size bound.
std::vector<CString> FindFirefoxProfiles(const CString& appData, CTickable& tick);
// The bound on the size of profiles.ini that is read.
const unsigned kMaxProfilesIni = 1048576;

class CMozilla
{
public:
    // appData: the roaming application-data folder; the profile is its first
    // "Mozilla\Firefox\Profiles\*.default" folder.
    CMozilla(const CString& appData, CFoundItemList& list, CTickable& tick);
    // A given profile folder (ending with a backslash).
    CMozilla(CFoundItemList& list, CTickable& tick, const CString& profileFolder);

    void ScanFirefoxTypedUrls();
    void ScanFirefoxHistory();
    void ScanFirefoxDownloads();
    void ScanFirefoxCookies();
    void ScanFirefoxBookmarks();
    void ScanFirefoxFormHistory();

    const CString& GetProfileFolder() const { return m_profileFolder; }

    // Row callbacks of sqlite3_exec; the context is the CMozilla.
    static int OnSingleColumnRow(void* context, int columns, char** texts, char** names);
    static int OnDownloadRow(void* context, int columns, char** texts, char** names);
    static int OnCookieRow(void* context, int columns, char** texts, char** names);
    // Converts a row's UTF-8 text and appends one item of the current query.
    void AddFirefoxItem(const std::string& utf8);

    // One query: the database, the item kind, the listing and the deletion. In both
    // statements "%KEPT%" stands for the condition that keeps the addresses that
    // bookmarks and keywords point at.
    struct CQuery
    {
        const char* database;
        int kind;
        const char* listing;
        RowCallback callback;
        const char* deletion;
    };

private:
    void RunQuery(const CQuery& query);

    CString m_profileFolder;
    CFoundItemList& m_list;
    CTickable& m_tick;
    CCleanTargetPtr m_currentCleaner;
    int m_currentKind;
};
