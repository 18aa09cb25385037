#include "Chromium.h"

#include "Mozilla.h"
#include "TextConversion.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"
#include "model/TypeNames.h"

#include <cstring>
#include <sqlite3.h>

const char* const kChromiumCacheFolders[3] = {"Cache\\Cache_Data", "Code Cache", "GPUCache"};

namespace
{
const int kMaxRowUnits = 4192;

const struct
{
    const char* name;
    bool roaming;       // below the roaming application data, else the local one
    const char* folder; // "User Data" (profiles below it), or the one profile
    bool singleProfile;
    const char* imageName;
} kBrowsers[] = {
    {"Google Chrome", false, "Google\\Chrome\\User Data", false, "chrome.exe"},
    {"Microsoft Edge", false, "Microsoft\\Edge\\User Data", false, "msedge.exe"},
    {"Brave", false, "BraveSoftware\\Brave-Browser\\User Data", false, "brave.exe"},
    {"Vivaldi", false, "Vivaldi\\User Data", false, "vivaldi.exe"},
    {"Chromium", false, "Chromium\\User Data", false, nullptr},
    {"Opera", true, "Opera Software\\Opera Stable", true, "opera.exe"},
};

// One listing: its database (the first that exists), kind, statement and deletion.
struct CChromiumListing
{
    int query;
    const char* databases[2];
    int kind;
    const char* listing;
    int columns; // 1: the text; 2: "a - b"; 3: cookie "a at bc"; history: id then text
    const char* deletion;
};

// The history deletion is completed with the last visit listed: visits that come
// later, and the addresses they use, stay.
const char kHistoryDeletion[] =
    "begin;"
    "create temp table qv_listed as select distinct url from visits where id <= %LAST%;"
    "delete from visits where id <= %LAST%;"
    "delete from urls where id in (select url from qv_listed) and typed_count = 0"
    " and id not in (select url from visits);"
    "delete from keyword_search_terms;"
    "delete from segment_usage;"
    "delete from segments;"
    "commit;";

const CChromiumListing kListings[] = {
    {CQ_COOKIES,
     {"Network\\Cookies", "Cookies"},
     CK_COOKIE,
     "select name, host_key, path from cookies",
     3,
     "delete from cookies"},
    {CQ_HISTORY,
     {"History", nullptr},
     CK_HISTORY_ENTRY,
     "select visits.id, urls.url from visits left join urls on urls.id = visits.url order by "
     "visits.visit_time desc",
     0,
     kHistoryDeletion},
    {CQ_TYPED,
     {"History", nullptr},
     CK_TYPED_URL,
     "select url from urls where typed_count > 0",
     1,
     "begin;"
     "delete from urls where typed_count > 0 and id not in (select url from visits);"
     "update urls set typed_count = 0 where typed_count > 0;"
     "commit;"},
    {CQ_TYPED,
     {"History", nullptr},
     CK_SEARCH_TERM,
     "select term from keyword_search_terms",
     1,
     "delete from keyword_search_terms"},
    {CQ_FORMS, {"Web Data", nullptr}, CK_FORM_DATA, "select value from autofill", 1, "delete from autofill"},
    {CQ_DOWNLOADS,
     {"History", nullptr},
     CK_DOWNLOAD,
     "select target_path, (select url from downloads_url_chains where id = downloads.id"
     " order by chain_index desc limit 1) from downloads",
     2,
     "begin; delete from downloads_url_chains; delete from downloads; commit;"},
};

// The rows of one listing become items relaying to one cleaner.
struct CRowSink
{
    const CChromiumListing& listing;
    CFoundItemList& list;
    CTickable& tick;
    CCleanTargetPtr cleaner;
    long long lastVisit;
};

std::string Column(int columns, char** texts, int index)
{
    return index < columns && texts[index] ? std::string(texts[index]) : std::string();
}

int OnRow(void* context, int columns, char** texts, char**)
{
    CRowSink& sink = *static_cast<CRowSink*>(context);
    std::string text;
    switch (sink.listing.columns)
    {
    case 0: // history: the visit's id, then its address
    {
        long long id = texts[0] ? std::atoll(texts[0]) : 0;
        if (id > sink.lastVisit)
            sink.lastVisit = id;
        text = Column(columns, texts, 1);
        break;
    }
    case 2:
        text = Column(columns, texts, 0) + " - " + Column(columns, texts, 1);
        break;
    case 3:
        if (!texts[0])
            return 0;
        text = Column(columns, texts, 0) + " at " + Column(columns, texts, 1) + Column(columns, texts, 2);
        break;
    default:
        text = Column(columns, texts, 0);
        break;
    }
    if (text.empty())
        return 0; // still deleted with its table, but nothing to show
    sink.list.push_back(std::make_shared<CChromiumTarget>(Utf8ToAnsi(text, kMaxRowUnits), sink.cleaner, sink.listing.kind));
    sink.tick.Tick();
    return 0;
}

void RunListing(const CString& profile, const CChromiumListing& listing, CFoundItemList& list,
                CTickable& tick)
{
    CString database;
    for (const char* name : listing.databases)
        if (name && database.IsEmpty() && IsFilePath(profile + name))
            database = profile + name;
    if (database.IsEmpty())
        return; // a database that is not there is not made
    std::shared_ptr<CChromiumCleanerTarget> cleaner(new CChromiumCleanerTarget(database, listing.deletion));
    CRowSink sink = {listing, list, tick, cleaner, 0};
    CString error;
    if (RunStatement(database, DB_READ, listing.listing, OnRow, &sink, &error) != SQLITE_OK)
    {
        tick.ReportProblem(PROBLEM_UNREADABLE, database, error);
        return;
    }
    if (listing.columns == 0)
    {
        std::string statement = listing.deletion, last = std::to_string(sink.lastVisit);
        for (size_t at = statement.find("%LAST%"); at != std::string::npos; at = statement.find("%LAST%"))
            statement.replace(at, 6, last);
        cleaner->SetQuery(CString(statement));
    }
}
} // namespace

std::vector<CString> FindChromiumProfiles(const CString& localAppData, const CString& appData)
{
    std::vector<CString> profiles;
    for (const auto& browser : kBrowsers)
    {
        const CString& base = browser.roaming ? appData : localAppData;
        if (base.IsEmpty())
            continue;
        const CString folder = base + "\\" + browser.folder;
        if (browser.singleProfile)
        {
            if (IsFolderPath(folder))
                profiles.push_back(folder + "\\");
            continue;
        }
        if (IsFolderPath(folder + "\\Default"))
            profiles.push_back(folder + "\\Default\\");
        for (const CString& name : FindSubfolders(folder, L"Profile *"))
            profiles.push_back(folder + "\\" + name + "\\");
    }
    return profiles;
}

void ScanChromiumProfile(const CString& profile, int query, CFoundItemList& list, CTickable& tick)
{
    for (const CChromiumListing& listing : kListings)
        if (listing.query == query)
            RunListing(profile, listing, list, tick);
}

const char* ChromiumBrowserName(const char* imageName)
{
    if (!imageName)
        return nullptr;
    for (const auto& browser : kBrowsers)
        if (browser.imageName && _stricmp(browser.imageName, imageName) == 0)
            return browser.name;
    return nullptr;
}

const CString& CChromiumCleanerTarget::GetTypeName() const
{
    return GetTypeText(TN_CHROMIUM_QUERY);
}

CChromiumTarget::CChromiumTarget(const CString& displayText, const CCleanTargetPtr& cleaner, int chromiumKind)
    : CRelayTarget(displayText, cleaner), m_kind(chromiumKind)
{
}

const CString& CChromiumTarget::GetTypeName() const
{
    return GetTypeText(m_kind);
}
