#include "Mozilla.h"

#include "afx/File.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"

#include <iterator>

namespace
{
// Removes the places of qv_places that nothing keeps any more: no visit is left, no
// bookmark or keyword points at them (counted in foreign_count where the layout has it),
// and they are not typed addresses, which the typed-address clean lists.
#define REMOVE_UNKEPT_PLACES                                                                                 \
    {"moz_places.foreign_count moz_places.typed moz_historyvisits.place_id",                                 \
     "delete from moz_places where id in (select id from qv_places) and foreign_count = 0"                   \
     " and typed = 0 and id not in (select place_id from moz_historyvisits where place_id is not null)"},    \
    {                                                                                                        \
        "!moz_places.foreign_count moz_places.typed moz_bookmarks.fk moz_historyvisits.place_id",            \
            "delete from moz_places where id in (select id from qv_places) and typed = 0"                    \
            " and id not in (select fk from moz_bookmarks where fk is not null)"                             \
            " and id not in (select place_id from moz_historyvisits"                                         \
            " where place_id is not null)"                                                                   \
    }

// The counts of the places of qv_places that stay, from the visits they still have
// (downloads, embeds, redirects and reloads do not count, as in Firefox).
#define RECOUNT_PLACES                                                                                       \
    {"moz_places.visit_count moz_places.last_visit_date moz_historyvisits.place_id"                          \
     " moz_historyvisits.visit_type moz_historyvisits.visit_date",                                           \
     "update moz_places set"                                                                                 \
     " visit_count = (select count(*) from moz_historyvisits v where v.place_id = moz_places.id"             \
     " and v.visit_type not in (0, 4, 7, 8, 9)),"                                                            \
     " last_visit_date = (select max(visit_date) from moz_historyvisits v where v.place_id = moz_places.id)" \
     " where id in (select id from qv_places)"},                                                             \
    {                                                                                                        \
        "moz_places.recalc_frecency",                                                                        \
            "update moz_places set recalc_frecency = 1 where id in (select id from qv_places)"               \
    }

// What only removed places needed: their annotations, typed input, interaction records
// and the search terms that only those recorded, the sites no place is on any more
// (moz_origins; moz_hosts before it, whose host names a place's reversed host, "www."
// aside), and the icons of older layouts that no place shows.
const CStatement kPlacesResidue[] = {
    {"moz_annos.place_id", "delete from moz_annos where place_id not in (select id from moz_places)"},
    {"moz_inputhistory.place_id",
     "delete from moz_inputhistory where place_id not in (select id from moz_places)"},
    {"moz_places_metadata.place_id moz_places_metadata.referrer_place_id",
     "delete from moz_places_metadata where place_id not in (select id from moz_places)"
     " or referrer_place_id not in (select id from moz_places)"},
    {"moz_places_metadata_search_queries moz_places_metadata.search_query_id",
     "delete from moz_places_metadata_search_queries where id not in"
     " (select search_query_id from moz_places_metadata where search_query_id is not null)"},
    {"moz_newtab_shortcuts_interaction.place_id",
     "delete from moz_newtab_shortcuts_interaction where place_id not in (select id from moz_places)"},
    {"moz_origins moz_places.origin_id",
     "delete from moz_origins where id not in (select origin_id from moz_places where origin_id is not null)"},
    {"moz_hosts.host moz_places.rev_host",
     "delete from moz_hosts where id not in (with recursive r(id, rest, reversed) as"
     " (select id, host, '' from moz_hosts"
     " union all select id, substr(rest, 2), substr(rest, 1, 1) || reversed from r where rest <> '')"
     " select r.id from r join moz_places p on p.rev_host in (r.reversed || '.', r.reversed || '.www.')"
     " where r.rest = '')"},
    {"moz_favicons moz_places.favicon_id",
     "delete from moz_favicons where id not in (select favicon_id from moz_places where favicon_id is not null)"},
    {nullptr, nullptr}};

// favicons.sqlite keeps the address of every page with an icon; pages no longer in
// places.sqlite go, with their icons, and a site's root icon once no place is on it (a
// layout without sites keeps root icons).
const CStatement kFaviconsResidue[] = {
    {"moz_pages_w_icons.page_url listed:moz_places.url",
     "delete from moz_pages_w_icons where page_url not in (select url from listed.moz_places"
     " where url is not null)"},
    {"moz_icons_to_pages.page_id moz_pages_w_icons",
     "delete from moz_icons_to_pages where page_id not in (select id from moz_pages_w_icons)"},
    {"moz_icons.root moz_icons.icon_url moz_icons_to_pages.icon_id listed:moz_origins.host",
     "delete from moz_icons where id not in (select icon_id from moz_icons_to_pages) and (root = 0"
     " or not exists (select 1 from listed.moz_origins o"
     " where moz_icons.icon_url like '%://' || o.host || '/%'))"},
    {"moz_icons.root moz_icons_to_pages.icon_id !listed:moz_origins",
     "delete from moz_icons where id not in (select icon_id from moz_icons_to_pages) and root = 0"},
    {nullptr, nullptr}};
const CFollowUp kFavicons[] = {{"favicons.sqlite", kFaviconsResidue}, {nullptr, nullptr}};

// Typing leaves the typed mark of a place and the pages that exist only because they
// were typed: never a place with visits, a bookmark or a keyword.
const CStatement kTypedClean[] = {
    {"moz_places.typed",
     "create temp table qv_places as select id from moz_places where typed = 1 and id <= %LAST%"},
    {"moz_places.typed", "update moz_places set typed = 0 where id in (select id from qv_places)"},
    REMOVE_UNKEPT_PLACES,
    {nullptr, nullptr}};

// The listed visits go; so do the places only they kept, and the interaction records of
// every page whose visits went. The places that stay are recounted.
const CStatement kHistoryClean[] = {
    {"moz_historyvisits.place_id", "create temp table qv_places as select distinct place_id as id"
                                   " from moz_historyvisits where id <= %LAST%"},
    {"moz_historyvisits", "delete from moz_historyvisits where id <= %LAST%"},
    {"moz_places_metadata.place_id moz_places_metadata.referrer_place_id",
     "delete from moz_places_metadata where place_id in (select id from qv_places)"
     " or referrer_place_id in (select id from qv_places)"},
    REMOVE_UNKEPT_PLACES,
    RECOUNT_PLACES,
    {nullptr, nullptr}};

// A download is a place with a destination annotation and a visit of the download kind.
#define DOWNLOAD_ANNOS "moz_annos.place_id moz_annos.anno_attribute_id moz_anno_attributes.name"
const CStatement kDownloadsClean[] = {
    {DOWNLOAD_ANNOS,
     "create temp table qv_places as select distinct place_id as id from moz_annos where id <= %LAST%"
     " and anno_attribute_id in (select id from moz_anno_attributes"
     " where name = 'downloads/destinationFileURI')"},
    {DOWNLOAD_ANNOS, "delete from moz_annos where place_id in (select id from qv_places) and anno_attribute_id in"
                     " (select id from moz_anno_attributes where name like 'downloads/%')"},
    {"moz_historyvisits.visit_type moz_historyvisits.place_id",
     "delete from moz_historyvisits where visit_type = 7 and place_id in (select id from qv_places)"},
    REMOVE_UNKEPT_PLACES,
    RECOUNT_PLACES,
    {nullptr, nullptr}};

// Firefox's own bookmark folders (everything else in the tree is the user's): by their
// fixed guids where the layout gives them, else through the table of roots of older
// layouts; with every folder directly below the root, so that no folder of Firefox's
// own is taken for the user's.
#define ROOTS                                                                                                \
    "('root________', 'menu________', 'toolbar_____', 'tags________', 'unfiled_____', 'mobile______')"
const CStatement kBookmarkRoots[] = {
    {nullptr, "create temp table qv_roots (id integer primary key, name text)"},
    {"moz_bookmarks.guid",
     "insert or ignore into qv_roots select id, rtrim(guid, '_') from moz_bookmarks where guid in " ROOTS},
    {"moz_bookmarks_roots.root_name moz_bookmarks_roots.folder_id",
     "insert or ignore into qv_roots select folder_id, root_name from moz_bookmarks_roots"
     " where not exists (select 1 from qv_roots)"},
    {"moz_bookmarks.type moz_bookmarks.parent",
     "insert or ignore into qv_roots select id, null from moz_bookmarks where type = 2"
     " and parent in (select id from qv_roots where name in ('root', 'places'))"},
    {nullptr, nullptr}};
const CLayoutCheck kBookmarkLayout = {"select count(*) from qv_roots where name in ('root', 'places')",
                                      "bookmarks of an unknown layout left"};

// The user's bookmarks go as a whole tree below Firefox's own folders, with their tags,
// keywords and annotations; the pages they alone kept go too, and the counts of the rest
// are made right.
const CStatement kBookmarksClean[] = {
    {"moz_bookmarks.fk", "create temp table qv_places as select fk as id from moz_bookmarks where fk is not null"
                         " and id not in (select id from qv_roots)"},
    {"moz_keywords.place_id",
     "insert into qv_places select place_id from moz_keywords where place_id is not null"},
    {"moz_bookmarks", "delete from moz_bookmarks where id not in (select id from qv_roots)"},
    {"moz_keywords", "delete from moz_keywords"},
    {"moz_items_annos.item_id",
     "delete from moz_items_annos where item_id not in (select id from moz_bookmarks)"},
    {"moz_places.foreign_count moz_bookmarks.fk",
     "update moz_places set foreign_count = (select count(*) from moz_bookmarks where fk = moz_places.id)"
     " where id in (select id from qv_places)"},
    REMOVE_UNKEPT_PLACES,
    {nullptr, nullptr}};

const CStatement kInputHistoryClean[] = {{"moz_inputhistory", "delete from moz_inputhistory"},
                                         {nullptr, nullptr}};
const CStatement kOldDownloadsClean[] = {{"moz_downloads", "delete from moz_downloads"}, {nullptr, nullptr}};
// Kept sites' cookies stay.
const CStatement kCookiesClean[] = {{"moz_cookies", "delete from moz_cookies where not qv_kept(host)"},
                                    {nullptr, nullptr}};
// The storage sites kept in the old local-storage database, by the site of its key.
const CStatement kStorageClean[] = {
    {"webappsstore2", "delete from webappsstore2 where not qv_kept(qv_origin_host(originKey))"},
    {nullptr, nullptr}};
const CStatement kOldStorageClean[] = {
    {"webappsstore2", "delete from webappsstore2 where not qv_kept(qv_origin_host(scope))"}, {nullptr, nullptr}};
// Form values go with the records of which extension or app added them, and the
// sources no value has any more.
const CStatement kFormsClean[] = {
    {"moz_formhistory", "delete from moz_formhistory"},
    {"moz_history_to_sources.history_id",
     "delete from moz_history_to_sources where history_id not in (select id from moz_formhistory)"},
    {"moz_sources moz_history_to_sources.source_id",
     "delete from moz_sources where id not in"
     " (select source_id from moz_history_to_sources where source_id is not null)"},
    {nullptr, nullptr}};

const CDatabaseRule kRules[] = {
    {BT_TYPED,
     {"places.sqlite", nullptr},
     MK_TYPED_URL,
     "moz_places.typed moz_places.url",
     "select id, url from moz_places where typed = 1",
     ROW_TEXT,
     true,
     kTypedClean,
     kPlacesResidue,
     kFavicons},
    {BT_TYPED,
     {"places.sqlite", nullptr},
     MK_TYPED_URL,
     "moz_inputhistory.input",
     "select input from moz_inputhistory",
     ROW_TEXT,
     false,
     kInputHistoryClean,
     nullptr,
     nullptr},
    {BT_HISTORY,
     {"places.sqlite", nullptr},
     MK_HISTORY_ENTRY,
     "moz_historyvisits.place_id moz_historyvisits.visit_date moz_places.url",
     "select v.id, p.url from moz_historyvisits v left join moz_places p on p.id = v.place_id"
     " order by v.visit_date desc",
     ROW_TEXT,
     true,
     kHistoryClean,
     kPlacesResidue,
     kFavicons},
    {BT_DOWNLOADS,
     {"places.sqlite", nullptr},
     MK_DOWNLOAD_LINK,
     DOWNLOAD_ANNOS " moz_annos.content moz_places.url",
     "select a.id, a.content, p.url from moz_annos a join moz_anno_attributes n on n.id = a.anno_attribute_id"
     " left join moz_places p on p.id = a.place_id where n.name = 'downloads/destinationFileURI'",
     ROW_PAIR,
     true,
     kDownloadsClean,
     kPlacesResidue,
     kFavicons},
    {BT_DOWNLOADS,
     {"downloads.sqlite", nullptr},
     MK_DOWNLOAD_LINK,
     "moz_downloads.name moz_downloads.source",
     "select name, source from moz_downloads",
     ROW_PAIR,
     false,
     kOldDownloadsClean,
     nullptr,
     nullptr},
    {BT_COOKIES,
     {"cookies.sqlite", nullptr},
     MK_COOKIE,
     "moz_cookies.name moz_cookies.host moz_cookies.path",
     "select name, host, path from moz_cookies where not qv_kept(host)",
     ROW_COOKIE,
     false,
     kCookiesClean,
     nullptr,
     nullptr,
     nullptr,
     nullptr,
     "select distinct host from moz_cookies"},
    {BT_BOOKMARKS,
     {"places.sqlite", nullptr},
     MK_BOOKMARK,
     "moz_bookmarks.type moz_bookmarks.fk moz_bookmarks.parent moz_bookmarks.title moz_places.url",
     "select b.id, coalesce(nullif(b.title, ''), p.url) from moz_bookmarks b left join moz_places p on p.id "
     "= b.fk where b.type = 1 and b.id not in (select id from qv_roots) and b.parent not in"
     " (select id from moz_bookmarks where parent in (select id from qv_roots where name = 'tags'))",
     ROW_TEXT,
     true,
     kBookmarksClean,
     kPlacesResidue,
     kFavicons,
     kBookmarkRoots,
     &kBookmarkLayout},
    {BT_FORMS,
     {"formhistory.sqlite", nullptr},
     MK_FORM_DATA,
     "moz_formhistory.value",
     "select distinct value from moz_formhistory",
     ROW_TEXT,
     false,
     kFormsClean,
     nullptr,
     nullptr},
    {BT_SITE_DATA,
     {"webappsstore.sqlite", nullptr},
     TN_BROWSER_SITE_STORAGE,
     "webappsstore2.originKey",
     "select distinct qv_origin_host(originKey) from webappsstore2 where not qv_kept(qv_origin_host(originKey))",
     ROW_TEXT,
     false,
     kStorageClean,
     nullptr,
     nullptr},
    // Before Firefox 45 the key was in scope alone, of the same form.
    {BT_SITE_DATA,
     {"webappsstore.sqlite", nullptr},
     TN_BROWSER_SITE_STORAGE,
     "webappsstore2.scope !webappsstore2.originKey",
     "select distinct qv_origin_host(scope) from webappsstore2 where not qv_kept(qv_origin_host(scope))",
     ROW_TEXT,
     false,
     kOldStorageClean,
     nullptr,
     nullptr},
};
#undef ROOTS
#undef DOWNLOAD_ANNOS
#undef REMOVE_UNKEPT_PLACES
#undef RECOUNT_PLACES

const CBrowserFamily kFirefox = {kRules, std::size(kRules), TN_MOZILLA_QUERY};
} // namespace

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
        tick.ReportProblem(PROBLEM_UNREADABLE, path,
                           "longer than 1 MiB; the profiles listed after that were not read");
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
    auto finish = [&]
    {
        if (inProfile && !path.IsEmpty())
            AddProfile(profiles, ListedProfile(firefox, path, relative, tick));
        path.Empty();
        relative = true;
    };
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        CString line =
            Trimmed(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
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

void ScanFirefoxProfile(const CString& profile, int trace, CFoundItemList& list, CTickable& tick,
                        const CKeepListPtr& keep)
{
    ScanProfileDatabases(kFirefox, profile, trace, list, tick, keep);
}

const CBrowserFamily& FirefoxFamily()
{
    return kFirefox;
}
