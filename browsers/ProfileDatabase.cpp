#include "ProfileDatabase.h"

#include "CheckedVfs.h"
#include "TextConversion.h"
#include "afx/String.h"
#include "areas/EntryHandle.h"
#include "areas/FileTarget.h"
#include "areas/PathText.h"
#include "model/TypeNames.h"

#include <windows.h>

#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace
{
const char kLeftAlone[] = "; the database is left as it is";

// Whether a host is a kept site or below one: qv_kept(host) is 1 or 0.
void KeptFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const CKeepList* keep = static_cast<const CKeepList*>(sqlite3_user_data(context));
    const unsigned char* host = sqlite3_value_text(values[0]);
    sqlite3_result_int(context, keep && host && keep->IsSiteKept(reinterpret_cast<const char*>(host)) ? 1 : 0);
}

// The host of a Firefox storage key ("moc.elpmaxe.www.:https:443" is "www.example.com"):
// the part before the scheme, reversed.
void OriginHostFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const unsigned char* key = sqlite3_value_text(values[0]);
    std::string host = key ? reinterpret_cast<const char*>(key) : "";
    host = host.substr(0, host.find(':'));
    host.assign(host.rbegin(), host.rend());
    while (!host.empty() && host[0] == '.')
        host.erase(0, 1);
    sqlite3_result_text(context, host.c_str(), static_cast<int>(host.size()), SQLITE_TRANSIENT);
}

// The program's functions, callable from its own statements only (never from a stored
// trigger, view or index).
int AddFunctions(sqlite3* db, const CKeepList* keep)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    int result = sqlite3_create_function_v2(db, "qv_kept", 1, flags, const_cast<CKeepList*>(keep), KeptFunction,
                                            nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        result = sqlite3_create_function_v2(db, "qv_origin_host", 1, flags, nullptr, OriginHostFunction, nullptr,
                                            nullptr, nullptr);
    return result;
}

// An open database, closed with its scope. Every file of it is opened through the checked
// layer, and nothing stored in it runs: no trigger, no view, and no function of the
// schema that is not harmless.
class CDatabase
{
public:
    CDatabase() = default;
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;
    ~CDatabase() { Close(); }
    void Close()
    {
        sqlite3_close(m_db);
        m_db = nullptr;
    }

    // keep: the sites the statements' qv_kept(host) spares; nullptr spares none.
    int Open(const CString& name, int flags, const CKeepList* keep = nullptr)
    {
        TakeFileRefusal(); // what an earlier open said is not this one's
        int result = sqlite3_open_v2(name, &m_db, flags, CheckedVfsName());
        if (!m_db)
            return result;
        if (result == SQLITE_OK)
            result = AddFunctions(m_db, keep);
        sqlite3_extended_result_codes(m_db, 1);
        const struct
        {
            int option;
            int value;
        } kUntrusted[] = {{SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
                          {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
                          {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
                          {SQLITE_DBCONFIG_DEFENSIVE, 1}};
        for (const auto& setting : kUntrusted)
        {
            int now = -1;
            if (result == SQLITE_OK)
                result = sqlite3_db_config(m_db, setting.option, setting.value, &now);
            if (result == SQLITE_OK && now != setting.value)
                result = SQLITE_MISUSE; // never read with stored code switched on
        }
        return result;
    }
    int Exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
    // What went wrong: a file the checked layer refused, else SQLite's message.
    CString Error(int result) const
    {
        const CString refusal = TakeFileRefusal();
        if (!refusal.IsEmpty())
            return refusal + kLeftAlone;
        return m_db ? CString(sqlite3_errmsg(m_db)) : CString(sqlite3_errstr(result));
    }
    sqlite3* Get() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// A prepared statement, finalized with its scope.
class CQuery
{
public:
    CQuery(sqlite3* db, const char* sql)
    {
        m_result = sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr);
    }
    CQuery(const CQuery&) = delete;
    CQuery& operator=(const CQuery&) = delete;
    ~CQuery() { sqlite3_finalize(m_statement); }
    int Prepared() const { return m_result; }
    sqlite3_stmt* Get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_result;
};

// Whether the layout has every item a statement needs (see CStatement), in meets; nullptr
// is always met. A table is there when it has columns: pragma_table_info names none for
// anything else. SQLITE_OK, or the failure that kept the layout from being read.
int LayoutMeets(sqlite3* db, const char* needs, bool& meets)
{
    meets = true;
    if (!needs)
        return SQLITE_OK;
    CQuery table(db, "select count(*) from pragma_table_info(?1, ?2)");
    CQuery column(db, "select count(*) from pragma_table_info(?1, ?2) where name = ?3 collate nocase");
    if (table.Prepared() != SQLITE_OK)
        return table.Prepared();
    if (column.Prepared() != SQLITE_OK)
        return column.Prepared();
    const std::string all = needs;
    for (size_t start = all.find_first_not_of(' '); meets && start != std::string::npos;
         start = all.find_first_not_of(' ', start))
    {
        size_t end = all.find(' ', start);
        std::string item = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end;
        const bool without = item[0] == '!';
        if (without)
            item.erase(0, 1);
        std::string schema = "main";
        const size_t colon = item.find(':');
        if (colon != std::string::npos)
        {
            schema = item.substr(0, colon);
            item.erase(0, colon + 1);
        }
        const size_t dot = item.find('.');
        sqlite3_stmt* query = dot == std::string::npos ? table.Get() : column.Get();
        sqlite3_reset(query);
        sqlite3_bind_text(query, 1, item.c_str(), static_cast<int>(dot == std::string::npos ? item.size() : dot),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(query, 2, schema.c_str(), -1, SQLITE_TRANSIENT);
        if (dot != std::string::npos)
            sqlite3_bind_text(query, 3, item.c_str() + dot + 1, -1, SQLITE_TRANSIENT);
        const int result = sqlite3_step(query);
        if (result != SQLITE_ROW)
            return result;
        meets = (sqlite3_column_int(query, 0) > 0) != without;
    }
    return SQLITE_OK;
}

std::string WithBound(const char* sql, long long last)
{
    std::string text = sql;
    const std::string bound = std::to_string(last);
    for (size_t at = text.find("%LAST%"); at != std::string::npos;
         at = text.find("%LAST%", at + bound.size()))
        text.replace(at, 6, bound);
    return text;
}

// Runs the statements whose layout is there; SQLITE_OK or the first failure.
int RunStatements(CDatabase& db, const CStatement* statements, long long last)
{
    for (const CStatement* s = statements; s && s->sql; ++s)
    {
        bool meets = false;
        int result = LayoutMeets(db.Get(), s->needs, meets);
        if (result == SQLITE_OK && meets)
            result = db.Exec(WithBound(s->sql, last).c_str());
        if (result != SQLITE_OK)
            return result;
    }
    return SQLITE_OK;
}

// What a rule's rows are read and removed through: its preparation, then whether the
// layout is one it knows. SQLITE_OK; SQLITE_ABORT (with unknown said) for a layout it
// does not know; or the first failure.
int PrepareLayout(CDatabase& db, const CDatabaseRule& rule, CString& unknown)
{
    int result = RunStatements(db, rule.prepare, 0);
    if (result != SQLITE_OK || !rule.known)
        return result;
    CQuery check(db.Get(), rule.known->sql);
    if ((result = check.Prepared()) != SQLITE_OK)
        return result;
    if ((result = sqlite3_step(check.Get())) != SQLITE_ROW)
        return result;
    if (sqlite3_column_int64(check.Get(), 0) != 0)
        return SQLITE_OK;
    unknown = rule.known->unknown;
    return SQLITE_ABORT;
}

// A write connection: locked for this connection alone from the first read, so that a
// write-ahead log is read and folded back without the shared index beside it (SQLite
// opens that file on its own, past the checked layer, and it holds nothing a clean needs);
// foreign keys enforced (their cascades remove what pointed at a removed row), removed
// content overwritten, temporary tables kept in memory, and a journal that would keep old
// pages in the profile deleted after each transaction.
int OpenForWriting(CDatabase& db, const CString& path, const CKeepList* keep)
{
    int result = db.Open(path, SQLITE_OPEN_READWRITE, keep);
    if (result == SQLITE_OK)
        result = db.Exec("pragma locking_mode = exclusive; pragma foreign_keys = on; pragma secure_delete = on;"
                         " pragma temp_store = memory;");
    if (result == SQLITE_OK)
    {
        CQuery mode(db.Get(), "pragma journal_mode");
        std::string current;
        if (mode.Prepared() == SQLITE_OK && sqlite3_step(mode.Get()) == SQLITE_ROW)
            current = reinterpret_cast<const char*>(sqlite3_column_text(mode.Get(), 0));
        if (current == "persist" || current == "truncate")
            result = db.Exec("pragma journal_mode = delete");
    }
    return result;
}

// Ends a transaction begun with "begin immediate". With result SQLITE_OK it is committed,
// then the database is rebuilt whole and its write-ahead log folded back and emptied:
// deleted rows are overwritten where they lay, and older copies of them that the browser
// left in unused parts of pages are gone with the rebuild. Else it is rolled back. Gives
// SQLITE_OK, or the first failure with its message in error (unless error says already).
int FinishTransaction(CDatabase& db, int result, CString& error)
{
    if (result == SQLITE_OK)
        result = db.Exec("commit");
    if (result == SQLITE_OK)
        result = db.Exec("vacuum");
    if (result == SQLITE_OK)
        result = db.Exec("pragma wal_checkpoint(truncate)");
    if (result != SQLITE_OK)
    {
        if (error.IsEmpty())
            error = db.Error(result);
        sqlite3_exec(db.Get(), "rollback", nullptr, nullptr, nullptr);
    }
    return result;
}

// The files a clean of rule would write, in the order they are checked: the database and
// its side files, then each follow-up database there is, with its side files.
std::vector<CString> FilesWritten(const CString& profile, const CString& database, const CDatabaseRule& rule)
{
    std::vector<CString> databases(1, database);
    for (const CFollowUp* f = rule.followUps; f && f->file; ++f)
        if (IsFilePath(profile + f->file))
            databases.push_back(profile + f->file);
    std::vector<CString> files;
    for (const CString& path : databases)
        for (const char* side : {"", "-wal", "-shm", "-journal"})
            files.push_back(path + side);
    return files;
}

// Why a clean of rule may not write where it would (a file there that is a link, or a name
// shared with a file elsewhere), or "".
CString CheckFilesWritten(const CString& profile, const CString& database, const CDatabaseRule& rule)
{
    for (const CString& file : FilesWritten(profile, database, rule))
    {
        bool exists = false;
        const CString why = CheckPlainFileAt(file, exists);
        if (!why.IsEmpty())
            return LastComponent(file) + " " + why + kLeftAlone;
    }
    return CString();
}

// Runs one rule's clean on one profile database; never listed itself. Its display text
// is the database's path.
class CDatabaseCleaner : public CCleanTarget
{
public:
    CDatabaseCleaner(const CString& path, const CString& profile, const CDatabaseRule& rule, int typeText,
                     const CKeepListPtr& keep)
        : CCleanTarget(path), m_profile(profile), m_rule(rule), m_typeText(typeText), m_keep(keep)
    {
    }
    const CString& GetTypeName() const override { return GetTypeText(m_typeText); }
    CString GetCleanNote() const override { return m_failure; }
    void SetBound(long long last) { m_last = last; }

    int Clean() override
    {
        m_attempted = 1;
        m_failure = CheckFilesWritten(m_profile, GetDisplayText(), m_rule);
        m_cleaned = m_failure.IsEmpty() && CleanDatabase() && CleanFollowUps() ? 1 : 0;
        return m_cleaned;
    }

private:
    bool CleanDatabase()
    {
        CDatabase db;
        int result = OpenForWriting(db, GetDisplayText(), m_keep.get());
        if (result == SQLITE_OK && (result = db.Exec("begin immediate")) == SQLITE_OK)
        {
            result = PrepareLayout(db, m_rule, m_failure);
            if (result == SQLITE_OK)
                result = RunStatements(db, m_rule.clean, m_last);
            if (result == SQLITE_OK)
                result = RunStatements(db, m_rule.residue, m_last);
            result = FinishTransaction(db, result, m_failure);
        }
        else
            m_failure = db.Error(result);
        return result == SQLITE_OK;
    }

    bool CleanFollowUps()
    {
        for (const CFollowUp* f = m_rule.followUps; f && f->file; ++f)
        {
            const CString path = m_profile + f->file;
            if (!IsFilePath(path))
                continue;
            CDatabase db;
            int result = OpenForWriting(db, path, m_keep.get());
            if (result == SQLITE_OK)
            {
                CQuery attach(db.Get(), "attach database ?1 as listed");
                result = attach.Prepared();
                if (result == SQLITE_OK)
                {
                    sqlite3_bind_text(attach.Get(), 1, GetDisplayText(), -1, SQLITE_TRANSIENT);
                    result =
                        sqlite3_step(attach.Get()) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db.Get());
                }
            }
            CString error;
            if (result == SQLITE_OK && (result = db.Exec("begin immediate")) == SQLITE_OK)
                result = FinishTransaction(db, RunStatements(db, f->statements, m_last), error);
            else
                error = db.Error(result);
            if (result != SQLITE_OK)
            {
                m_failure = path + ": " + error;
                return false;
            }
        }
        return true;
    }

    CString m_profile;
    const CDatabaseRule& m_rule;
    int m_typeText;
    CKeepListPtr m_keep; // the sites the clean spares, as the scan listed them
    long long m_last = 0;
    CString m_failure;
};

std::string Column(sqlite3_stmt* row, int index)
{
    const unsigned char* text = sqlite3_column_text(row, index);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(row, index)))
                : std::string();
}

// The text a row shows, from its first text column on.
std::string ShapeRow(sqlite3_stmt* row, int first, RowShape shape)
{
    switch (shape)
    {
    case ROW_PAIR:
        return Column(row, first) + " - " + Column(row, first + 1);
    case ROW_COOKIE:
        if (sqlite3_column_type(row, first) == SQLITE_NULL)
            return std::string();
        return Column(row, first) + " at " + Column(row, first + 1) + Column(row, first + 2);
    case ROW_TEXT:
        break;
    }
    return Column(row, first);
}

// A copy of a database and its journal or write-ahead log in a folder of its own, read
// in place of the profile's so that nothing is written beside the original; the copies
// are overwritten and removed with the scope.
class CSnapshot
{
public:
    CSnapshot(const CString& path)
    {
        wchar_t temp[MAX_PATH + 1];
        DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH)
            return;
        static LONG serial = 0;
        for (int attempt = 0; attempt < 100 && m_folder.empty(); ++attempt)
        {
            std::wstring folder = std::wstring(temp) + L"qv-read-" + std::to_wstring(GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(InterlockedIncrement(&serial));
            if (CreateDirectoryW(folder.c_str(), nullptr))
                m_folder = folder;
            else if (GetLastError() != ERROR_ALREADY_EXISTS)
                return;
        }
        // Named as the file system names it (not through a short name or a link), as the
        // checked layer expects of every file it opens.
        CString named;
        if (m_folder.empty() || !WideToUtf8(m_folder.data(), m_folder.size(), named))
            return;
        const CString resolved = ResolveFolder(named);
        if (resolved.IsEmpty())
            return;
        m_folder = Utf8ToWide(resolved, resolved.GetLength());
        const std::wstring source = Utf8ToWide(path);
        const std::wstring copy = m_folder + L"\\db";
        bool copied = CopyFileW(source.c_str(), copy.c_str(), TRUE) != 0;
        for (const wchar_t* sidecar : {L"-journal", L"-wal"})
            if (copied && GetFileAttributesW((source + sidecar).c_str()) != INVALID_FILE_ATTRIBUTES)
                copied = CopyFileW((source + sidecar).c_str(), (copy + sidecar).c_str(), TRUE) != 0;
        if (copied)
            WideToUtf8(copy.c_str(), copy.size(), m_copy);
    }
    CSnapshot(const CSnapshot&) = delete;
    CSnapshot& operator=(const CSnapshot&) = delete;
    ~CSnapshot()
    {
        if (m_folder.empty())
            return;
        for (const wchar_t* name : {L"\\db", L"\\db-journal", L"\\db-wal", L"\\db-shm"})
        {
            CString path;
            const std::wstring file = m_folder + name;
            if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES &&
                WideToUtf8(file.c_str(), file.size(), path))
                RemoveListedEntry(path, false, true);
        }
        RemoveDirectoryW(m_folder.c_str());
    }
    // The copy's path, "" when it could not be made.
    const CString& GetPath() const { return m_copy; }

private:
    std::wstring m_folder;
    CString m_copy;
};

// Whether the database's header says it keeps a write-ahead log.
bool IsWalDatabase(const CString& path)
{
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    unsigned char header[20] = {};
    DWORD read = 0;
    bool wal = ReadFile(file, header, sizeof(header), &read, nullptr) && read == sizeof(header) &&
               header[18] == 2 && header[19] == 2;
    CloseHandle(file);
    return wal;
}

// The URI that opens a database without taking a lock or writing anything beside it;
// "" for a path that has no such form (a share).
CString ImmutableUri(const CString& path)
{
    const std::string plain = path.str();
    if (plain.size() < 3 || plain[1] != ':')
        return CString();
    std::string uri = "file:///";
    for (char c : plain)
    {
        if (c == '\\')
            uri += '/';
        else if (c == '%' || c == '?' || c == '#')
        {
            static const char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[(static_cast<unsigned char>(c) >> 4) & 15];
            uri += kHex[static_cast<unsigned char>(c) & 15];
        }
        else
            uri += c;
    }
    return CString(uri + "?immutable=1");
}

// Lists one rule's rows of one database; false (with SQLite's message) when it cannot be
// read. A layout without what the listing needs has nothing of the rule's to list; one
// the rule does not know is said and left.
bool ListRows(CDatabase& db, const CString& path, const CDatabaseRule& rule, CDatabaseCleaner& cleaner,
              const CCleanTargetPtr& shared, CFoundItemList& list, CTickable& tick, CString& error)
{
    bool meets = false;
    int prepared = LayoutMeets(db.Get(), rule.needs, meets);
    if (prepared == SQLITE_OK && !meets)
        return true;
    CString unknown;
    if (prepared == SQLITE_OK)
        prepared = PrepareLayout(db, rule, unknown);
    if (!unknown.IsEmpty())
    {
        tick.ReportProblem(PROBLEM_SKIPPED, path, unknown);
        return true;
    }
    if (prepared != SQLITE_OK)
    {
        error = db.Error(prepared);
        return false;
    }
    CQuery query(db.Get(), rule.listing);
    if (query.Prepared() != SQLITE_OK)
    {
        error = db.Error(query.Prepared());
        return false;
    }
    const int first = rule.bounded ? 1 : 0;
    long long last = 0;
    int result;
    while ((result = sqlite3_step(query.Get())) == SQLITE_ROW)
    {
        if (rule.bounded)
        {
            long long id = sqlite3_column_int64(query.Get(), 0);
            if (id > last)
                last = id;
        }
        const std::string text = ShapeRow(query.Get(), first, rule.shape);
        if (text.empty())
            continue; // removed with the rest, but nothing to show
        list.push_back(
            std::make_shared<CDatabaseRowTarget>(Utf8ToAnsi(text, kMaxRowUnits), shared, rule.kind));
        tick.Tick();
    }
    // What was listed is what the clean may remove, even when the listing stopped early.
    cleaner.SetBound(last);
    if (result != SQLITE_DONE)
    {
        error = db.Error(result);
        return false;
    }
    return true;
}

const char kNeedsRecovery[] =
    "left by a crash with changes to roll back; the clean recovers it as the browser would";

// Opens a profile database for reading without writing to the profile: one that keeps a
// write-ahead log is opened as it stands when the log is empty, and read from a copy
// while the log is there; one with a journal to roll back is read from a recovered copy.
int OpenForReading(CDatabase& db, const CString& path, std::unique_ptr<CSnapshot>& snapshot, CTickable& tick,
                   const CKeepList* keep)
{
    const bool logged = GetPathAttributes(path + "-wal") != INVALID_FILE_ATTRIBUTES;
    if (!logged && IsWalDatabase(path))
    {
        const CString uri = ImmutableUri(path);
        if (!uri.IsEmpty())
            return db.Open(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, keep);
    }
    if (!logged)
    {
        int result = db.Open(path, SQLITE_OPEN_READONLY, keep);
        if (result == SQLITE_OK)
            result = db.Exec("pragma schema_version");
        if (result != SQLITE_READONLY_ROLLBACK)
            return result;
        tick.ReportProblem(PROBLEM_NOTE, path, kNeedsRecovery);
    }
    snapshot.reset(new CSnapshot(path));
    if (snapshot->GetPath().IsEmpty())
        return SQLITE_CANTOPEN;
    db.Close();
    return db.Open(snapshot->GetPath(), SQLITE_OPEN_READWRITE, keep);
}

void ScanRule(const CBrowserFamily& family, const CString& profile, const CDatabaseRule& rule,
              const CKeepListPtr& keep, CFoundItemList& list, CTickable& tick)
{
    CString path;
    for (const char* name : rule.files)
        if (name && path.IsEmpty() && IsFilePath(profile + name))
            path = profile + name;
    if (path.IsEmpty())
    {
        for (const char* name : rule.files)
        {
            DWORD error =
                name && GetPathAttributes(profile + name) == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
            if (error != 0 && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                tick.ReportProblem(PROBLEM_UNREADABLE, profile + name, ErrorText(error));
        }
        return; // a database that is not there is not made
    }
    if (!rule.listing)
    {
        list.push_back(std::make_shared<CFileTarget>(path, rule.kind));
        tick.Tick();
        return;
    }
    // What the clean could not write safely is not read either: it is said once, up front.
    const CString refusal = CheckFilesWritten(profile, path, rule);
    if (!refusal.IsEmpty())
    {
        tick.ReportProblem(PROBLEM_SKIPPED, path, refusal);
        return;
    }
    auto cleaner = std::make_shared<CDatabaseCleaner>(path, profile, rule, family.cleanerType, keep);
    std::unique_ptr<CSnapshot> snapshot;
    CString error;
    {
        CDatabase db;
        int result = OpenForReading(db, path, snapshot, tick, keep.get());
        if (result != SQLITE_OK)
            error = db.Error(result);
        else
            ListRows(db, path, rule, *cleaner, cleaner, list, tick, error);
    }
    if (!error.IsEmpty())
        tick.ReportProblem(PROBLEM_UNREADABLE, path, error);
}
} // namespace

void ScanProfileDatabases(const CBrowserFamily& family, const CString& profile, int trace,
                          CFoundItemList& list, CTickable& tick, const CKeepListPtr& keep)
{
    if (profile.IsEmpty())
        return; // bare file names would open databases in whatever folder is current
    for (size_t i = 0; i < family.count; ++i)
        if (family.rules[i].trace == trace)
            ScanRule(family, profile, family.rules[i], keep, list, tick);
}

CCleanScript DescribeClean(const CBrowserFamily& family, const CString& profile, int trace, long long last)
{
    CCleanScript script;
    for (size_t i = 0; i < family.count && script.database.IsEmpty(); ++i)
    {
        const CDatabaseRule& rule = family.rules[i];
        if (rule.trace != trace || !rule.listing)
            continue;
        for (const char* name : rule.files)
            if (name && script.database.IsEmpty() && IsFilePath(profile + name))
                script.database = profile + name;
        CDatabase db;
        if (script.database.IsEmpty() || db.Open(script.database, SQLITE_OPEN_READONLY) != SQLITE_OK)
            continue;
        script.listing = rule.listing;
        script.clean = "pragma locking_mode = exclusive; pragma foreign_keys = on; pragma secure_delete = on;"
                       " pragma temp_store = memory; begin immediate;";
        for (const CStatement* list : {rule.prepare, rule.clean, rule.residue})
            for (const CStatement* s = list; s && s->sql; ++s)
            {
                bool meets = false;
                if (LayoutMeets(db.Get(), s->needs, meets) == SQLITE_OK && meets)
                    script.clean += " " + WithBound(s->sql, last) + ";";
            }
        script.clean += " commit; vacuum; pragma wal_checkpoint(truncate);";
    }
    return script;
}

CDatabaseRowTarget::CDatabaseRowTarget(const CString& displayText, const CCleanTargetPtr& cleaner, int kind)
    : CRelayTarget(displayText, cleaner), m_kind(kind)
{
}

const CString& CDatabaseRowTarget::GetTypeName() const
{
    return GetTypeText(m_kind);
}

void ListCookieSites(const CBrowserFamily& family, const CString& profile, std::vector<std::string>& sites,
                     CTickable& tick)
{
    if (profile.IsEmpty())
        return;
    for (size_t i = 0; i < family.count; ++i)
    {
        const CDatabaseRule& rule = family.rules[i];
        if (rule.trace != BT_COOKIES || !rule.sites)
            continue;
        CString path;
        for (const char* name : rule.files)
            if (name && path.IsEmpty() && IsFilePath(profile + name))
                path = profile + name;
        if (path.IsEmpty() || !CheckFilesWritten(profile, path, rule).IsEmpty())
            continue; // what the scan would not read is not read here either
        std::unique_ptr<CSnapshot> snapshot;
        CDatabase db;
        bool meets = false;
        if (OpenForReading(db, path, snapshot, tick, nullptr) != SQLITE_OK ||
            LayoutMeets(db.Get(), rule.needs, meets) != SQLITE_OK || !meets)
            continue;
        CQuery query(db.Get(), rule.sites);
        if (query.Prepared() != SQLITE_OK)
            continue;
        while (sqlite3_step(query.Get()) == SQLITE_ROW)
        {
            std::string host = Column(query.Get(), 0);
            host.erase(0, host.find_first_not_of('.'));
            if (!host.empty())
                sites.push_back(host);
        }
    }
}
