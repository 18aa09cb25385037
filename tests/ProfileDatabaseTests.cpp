// Browser profiles made from the browsers' own table layouts (tests/data/browsers) with a
// few hundred rows each: every area is scanned and cleaned alone, and then every file of
// the profile is searched byte by byte for what was removed and for what must stay, and
// every database is checked whole.
#include "BrowserSchemas.h"
#include "TestUtil.h"
#include "browsers/CheckedVfs.h"
#include "browsers/Chromium.h"
#include "browsers/Mozilla.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

using namespace testutil;

namespace
{
std::string Query(const CString& path, const std::string& sql, const CString& attach = CString())
{
    sqlite3* db = nullptr;
    std::string result, error;
    if (sqlite3_open(path, &db) == SQLITE_OK)
    {
        std::string script =
            attach.IsEmpty() ? sql : "attach database '" + attach.str() + "' as listed;" + sql;
        char* message = nullptr;
        auto first = [](void* out, int, char** texts, char**)
        {
            std::string& text = *static_cast<std::string*>(out);
            if (text.empty())
                text = texts[0] ? texts[0] : "null";
            return 0;
        };
        if (sqlite3_exec(db, script.c_str(), first, &result, &message) != SQLITE_OK)
            error = std::string("error: ") + (message ? message : "");
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return error.empty() ? result : error;
}

// Every file below a folder, by its path from there, with its bytes.
std::map<std::string, std::string> FolderBytes(const CString& folder,
                                               const std::string& prefix = std::string())
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(folder + "*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do
    {
        const std::string name = data.cFileName;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ReadBytes(folder + name.c_str(), files[prefix + name]);
        else if (name != "." && name != "..")
            for (const auto& file : FolderBytes(folder + name.c_str() + "\\", prefix + name + "\\"))
                files.insert(file);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return files;
}

std::string FilesHolding(const std::map<std::string, std::string>& files, const std::string& text)
{
    std::string names;
    for (const auto& file : files)
        if (file.second.find(text) != std::string::npos)
            names += file.first + " ";
    return names;
}

// What one area must leave: markers gone from every file, markers still there, and
// queries (on a file, with the listed database attached where named) and their answers.
struct CCheck
{
    const char* file;
    const char* sql;
    const char* answer;
};
struct CAreaCase
{
    int trace;
    std::vector<const char*> gone;
    std::vector<const char*> kept;
    std::vector<CCheck> checks;
};

// Integrity, foreign keys and references without declared keys, after every clean.
const CCheck kFirefoxConsistent[] = {
    {"places.sqlite",
     "select count(*) from moz_historyvisits where place_id not in (select id from moz_places)", "0"},
    {"places.sqlite",
     "select count(*) from moz_bookmarks where guid <> 'root________'"
     " and parent not in (select id from moz_bookmarks)",
     "0"},
    {"places.sqlite", "select count(*) from moz_bookmarks where fk not in (select id from moz_places)", "0"},
    {"places.sqlite",
     "select count(*) from moz_places where foreign_count <> (select count(*) from moz_bookmarks"
     " where fk = moz_places.id) + (select count(*) from moz_keywords where place_id = moz_places.id)",
     "0"},
    {"places.sqlite",
     "select count(*) from moz_places where visit_count <> (select count(*) from moz_historyvisits v"
     " where v.place_id = moz_places.id and v.visit_type not in (0, 4, 7, 8, 9))",
     "0"},
    {"places.sqlite", "select count(*) from moz_origins where id not in (select origin_id from moz_places)",
     "0"},
    {"places.sqlite", "select count(*) from moz_annos where place_id not in (select id from moz_places)",
     "0"},
    {"places.sqlite",
     "select count(*) from moz_inputhistory where place_id not in (select id from moz_places)", "0"},
    {"favicons.sqlite",
     "select count(*) from moz_icons where root = 0 and id not in"
     " (select icon_id from moz_icons_to_pages)",
     "0"},
};
const CCheck kChromiumConsistent[] = {
    {"History", "select count(*) from visits where url not in (select id from urls)", "0"},
    {"History",
     "select count(*) from urls where visit_count <> (select count(*) from visits where url = urls.id)", "0"},
    {"History", "select count(*) from clusters_and_visits where visit_id not in (select id from visits)",
     "0"},
    {"History", "select count(*) from content_annotations where visit_id not in (select id from visits)",
     "0"},
    {"History",
     "select count(*) from visited_links where id not in (select visited_link_id from visits)"
     " and link_url_id not in (select id from urls)",
     "0"},
    {"Favicons", "select count(*) from favicons where id not in (select icon_id from icon_mapping)", "0"},
};

class ProfileDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { m_root = MakeTestRoot("profiles"); }
    void TearDown() override { RemoveTree(m_root); }

    void Exec(const CString& path, const std::string& sql, const CString& attach = CString())
    {
        const std::string result = Query(path, sql, attach);
        ASSERT_NE(0, result.compare(0, 6, "error:")) << path.str() << ": " << result;
    }

    CString NewProfile(const char* name)
    {
        CString profile = m_root + "\\" + name;
        MakeDir(profile);
        return profile + "\\";
    }

    // A Firefox profile: places (write-ahead log, as Firefox keeps it), icons, cookies
    // and form history.
    CString MakeFirefoxProfile(const char* name)
    {
        const CString p = NewProfile(name);
        Exec(p + "places.sqlite", std::string("pragma journal_mode = wal;") + kSchema_firefox_places + R"(
insert into moz_origins (id, prefix, host, frecency) values (21, 'https://', 'kept.example', 1),
  (22, 'https://', 'qvtypedhost.example', 1), (23, 'https://', 'qvdlhost.example', 1);
with recursive n(i) as (select 1 union all select i + 1 from n where i < 20)
  insert into moz_origins (id, prefix, host, frecency) select i, 'https://', 'visited' || i || '.example', 1 from n;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 200)
  insert into moz_places (id, url, guid, origin_id, typed, visit_count, url_hash)
  select i, 'https://visited' || (i % 20 + 1) || '.example/' ||
    case when i % 10 = 0 then 'qvTYPEDVISITED' else 'qvVISITED' end || i, 'v' || i, i % 20 + 1, i % 10 = 0, 2, i from n;
with recursive n(i) as (select 201 union all select i + 1 from n where i < 220)
  insert into moz_places (id, url, guid, origin_id, typed, url_hash)
  select i, 'https://qvtypedhost.example/qvTYPEDONLY' || i, 't' || i, 22, 1, i from n;
with recursive n(i) as (select 221 union all select i + 1 from n where i < 236)
  insert into moz_places (id, url, guid, origin_id, foreign_count, visit_count, url_hash)
  select i, 'https://kept.example/' || case when i <= 230 then 'qvBMVISITED' when i <= 235 then 'qvBMONLY'
    else 'qvKEYWORD' end || i, 'k' || i, 21, 1 + (i = 231), i <= 230, i from n;
insert into moz_places (id, url, guid, origin_id, url_hash) values (237, 'https://qvdlhost.example/qvDLSOURCE237', 'd237', 23, 237),
  (238, 'https://qvdlhost.example/qvDLSOURCE238', 'd238', 23, 238);
with recursive n(i) as (select 1 union all select i + 1 from n where i < 400)
  insert into moz_historyvisits (id, place_id, visit_date, visit_type, from_visit) select i, (i + 1) / 2, i * 1000, 1, 0 from n;
insert into moz_historyvisits (place_id, visit_date, visit_type) select id, id * 1000 + 500000, case when id < 237 then 2 else 7 end
  from moz_places where id between 221 and 230 or id > 236;
insert into moz_inputhistory select id, 'qvINPUT' || id, 1 from moz_places where id between 201 and 220;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 10)
  insert into moz_places_metadata_search_queries select i, 'qvSEARCH' || i from n;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 70)
  insert into moz_places_metadata (place_id, referrer_place_id, created_at, search_query_id)
  select i, case when i > 1 then i - 1 end, i, case when i % 7 = 0 then i / 7 end from n;
insert into moz_places_metadata (place_id, created_at) select id, id from moz_places where id between 221 and 225;
insert into moz_newtab_shortcuts_interaction (place_id, event_type, timestamp_s, pinned, tile_position)
  select id, 0, id, 0, id from moz_places where id <= 5;
insert into moz_anno_attributes values (1, 'downloads/destinationFileURI'), (2, 'downloads/metaData'), (3, 'qvpage/kept');
insert into moz_annos (place_id, anno_attribute_id, content) select id, 1,
  'file:///C:/Users/u/Downloads/qvDOWNLOAD' || id || '.exe' from moz_places where id > 236;
insert into moz_annos (place_id, anno_attribute_id, content) select id, 2, '{"state":1}' from moz_places where id > 236;
insert into moz_annos (place_id, anno_attribute_id, content) values (222, 3, 'qvPAGEANNO');
insert into moz_bookmarks (id, type, fk, parent, position, title, guid) values (1, 2, null, 0, 0, '', 'root________'),
  (2, 2, null, 1, 0, 'menu', 'menu________'), (3, 2, null, 1, 1, 'toolbar', 'toolbar_____'),
  (4, 2, null, 1, 2, 'tags', 'tags________'), (5, 2, null, 1, 3, 'unfiled', 'unfiled_____'),
  (6, 2, null, 1, 4, 'mobile', 'mobile______'), (7, 2, null, 2, 0, 'qvFOLDER', 'userfolder01'),
  (8, 1, 221, 7, 0, 'qvBMTITLEmoved', 'defaultbm001'), (40, 2, null, 4, 0, 'qvTAG', 'tagfolder001'),
  (41, 1, 231, 40, 0, null, 'tagentry0001');
insert into moz_bookmarks (id, type, fk, parent, position, title, guid)
  select id - 212, 1, id, 7, id - 221, 'qvBMTITLE' || id, 'bm' || id from moz_places where id between 222 and 235;
insert into moz_keywords (keyword, place_id) values ('qvKEYWORDkw', 236);
insert into moz_items_annos (item_id, anno_attribute_id, content) values (7, 3, 'qvFOLDERANNO'))");
        Exec(p + "favicons.sqlite",
             std::string("pragma journal_mode = wal;") + kSchema_firefox_favicons + R"(;
insert into moz_pages_w_icons select id, url, url_hash from listed.moz_places;
insert into moz_icons (id, icon_url, fixed_icon_url_hash) select id, url || '/icon.png', id from listed.moz_places;
insert into moz_icons_to_pages (page_id, icon_id) select id, id from listed.moz_places;
insert into moz_icons (icon_url, fixed_icon_url_hash, root) select prefix || host || '/favicon.ico', 0, 1
  from listed.moz_origins)",
             p + "places.sqlite");
        Exec(p + "cookies.sqlite", std::string(kSchema_firefox_cookies) + R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 50)
  insert into moz_cookies (name, value, host, path) select 'qvCOOKIE' || i, 'x', '.site' || i || '.example', '/' from n)");
        Exec(p + "formhistory.sqlite", std::string(kSchema_firefox_formhistory) + R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 100)
  insert into moz_formhistory (id, fieldname, value, timesUsed, guid) select i, 'searchbar-history', 'qvFORM' || i, 1, 'g' || i from n;
insert into moz_sources values (1, 'qvSOURCE');
insert into moz_history_to_sources select id, 1 from moz_formhistory where id <= 26)");
        return p;
    }

    // Chromium's Favicons beside a profile's History: an icon for every address there.
    void AddChromiumIcons(const CString& p)
    {
        Exec(p + "Favicons", std::string(kSchema_chromium_Favicons) + R"(
insert into favicons select id, url || '/favicon.ico', 1 from listed.urls;
insert into favicon_bitmaps (icon_id, image_data) select id, x'00' from favicons;
insert into icon_mapping (page_url, icon_id, page_url_type) select url, id, 0 from listed.urls)",
             p + "History");
    }

    // A Chromium profile: history and the files beside it, cookies, form values, saved
    // passwords and cards, bookmarks.
    CString MakeChromiumProfile(const char* name)
    {
        const CString p = NewProfile(name);
        MakeDir(p + "Network");
        Exec(p + "History", std::string(kSchema_chromium_History) + R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 200)
  insert into urls (id, url, title, visit_count, typed_count, last_visit_time)
  select i, 'https://visited' || (i % 20 + 1) || '.example/' ||
    case when i % 10 = 0 then 'qvTYPEDVISITED' else 'qvVISITED' end || i, 'page', 2, i % 10 = 0, i * 2000 from n;
with recursive n(i) as (select 201 union all select i + 1 from n where i < 220)
  insert into urls (id, url, title, typed_count, last_visit_time) select i, 'https://qvtypedhost.example/qvTYPEDONLY' || i, '', 1, 0 from n;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 400)
  insert into visits (id, url, visit_time, transition, visited_link_id) select i, (i + 1) / 2, i * 1000, 1, (i + 1) / 2 from n;
insert into visit_source select id, 1 from visits where id <= 20;
insert into content_annotations (visit_id, annotation_flags, search_terms, has_url_keyed_image)
  select id, 0, 'qvSEARCHANNOT' || id, 0 from visits where id <= 50;
insert into context_annotations (visit_id, context_annotation_flags) select id, 0 from visits where id <= 50;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 10)
  insert into clusters select i, 1, 'qvCLUSTER' || i, 'qvCLUSTER' || i, 1, '', 0 from n;
insert into clusters_and_visits (cluster_id, visit_id, url_for_deduping, normalized_url, url_for_display)
  select visits.id % 10 + 1, visits.id, urls.url, urls.url, urls.url from visits join urls on urls.id = visits.url where visits.id <= 100;
insert into cluster_keywords select cluster_id, 'qvCLUSTERKEY' || cluster_id, 0, 1, '' from clusters;
insert into cluster_visit_duplicates select id, id + 1 from visits where id <= 20 and id % 2 = 1;
insert into visited_links (id, link_url_id, top_level_url, frame_url, visit_count) select id, id, url, url, 2 from urls where id <= 200;
insert into keyword_search_terms select 2, id, 'qvSEARCHTERM' || id, 'qvsearchterm' || id from urls where id <= 30;
insert into segments select id, 'visited' || id || '.example', id from urls where id <= 20;
insert into segment_usage select id, id, 100, 1 from segments;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 5)
  insert into downloads select i, 'guid' || i, 'C:\Users\u\Downloads\qvDOWNLOAD' || i || '.crdownload',
    'C:\Users\u\Downloads\qvDOWNLOAD' || i || '.exe', 1, 100, 100, 1, 0, 0, x'00', 2, 0, 2, 0, '', '', '', '', '',
    'GET', '', '', '', '', '', 'application/octet-stream', '' from n;
insert into downloads_url_chains select id, 0, 'https://qvdlhost.example/qvDLSOURCE' || id from downloads;
insert into downloads_slices select id, 0, 100, 1 from downloads)");
        AddChromiumIcons(p);
        Exec(p + "Top Sites", std::string(kSchema_chromium_TopSites) + R"(
insert into top_sites select url, id, 'page' from listed.urls where id <= 10)",
             p + "History");
        Exec(p + "Shortcuts", std::string(kSchema_chromium_Shortcuts) + R"(
insert into omni_box_shortcuts (id, text, fill_into_edit, url, contents, last_access_time, number_of_hits)
  select 's' || id, case when typed_count > 0 then 'qvSHORTCUTTYPED' else 'qvSHORTCUTVISITED' end || id, url, url, url, 1,
    1 from listed.urls where id <= 20 or id > 215)",
             p + "History");
        Exec(p + "Network Action Predictor", std::string(kSchema_chromium_NetworkActionPredictor) + R"(
insert into network_action_predictor select 'p' || id, case when typed_count > 0 then 'qvPREDICTTYPED' else 'qvPREDICTVISITED' end
  || id, url, 1, 0 from listed.urls where id <= 20 or id > 215)",
             p + "History");
        Exec(p + "Web Data", std::string(kSchema_chromium_WebData) + R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 50)
  insert into autofill (name, value, value_lower) select 'email', 'qvFORM' || i, 'qvform' || i from n;
insert into credit_cards (guid, name_on_card, card_number_encrypted) values ('card', 'qvCARDKEPT', x'00'))");
        Exec(p + "Login Data", std::string(kSchema_chromium_LoginData) + R"(
insert into logins (origin_url, username_value, password_value, signon_realm, date_created, blacklisted_by_user, scheme)
  values ('https://bank.example/', 'qvPASSWORDKEPT', x'00', 'https://bank.example/', 1, 0, 0))");
        Exec(p + "Network\\Cookies", std::string(kSchema_chromium_Cookies) + R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 50)
  insert into cookies select i, '.site' || i || '.example', '', 'qvCOOKIE' || i, '', x'00', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0 from n)");
        WriteBytes(p + "Visited Links", "VLnk" + std::string(1024, '\x5a'));
        WriteBytes(p + "Bookmarks",
                   "{\"roots\": {\"bookmark_bar\": {\"children\": [{\"name\": \"qvBOOKMARKKEPT\"}]}}}");
        return p;
    }

    // A Firefox profile of an older layout (see tests/data/browsers): visited, typed,
    // bookmarked and downloaded places with their hosts and icons in places.sqlite, and
    // Firefox's roots found either by their fixed guids or through moz_bookmarks_roots.
    CString MakeOlderFirefoxProfile(const char* name, const char* schema, bool rootsTable)
    {
        const CString p = NewProfile(name);
        std::string rows = R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 20)
  insert into moz_places (id, url, rev_host, guid, visit_count, favicon_id)
  select i, 'https://' || case when i = 20 then 'www.' else '' end || 'qvhistoryhost.example/qvVISITED' || i,
    'elpmaxe.tsohyrotsihvq.' || case when i = 20 then 'www.' else '' end, 'v' || i, 2, i from n;
with recursive n(i) as (select 21 union all select i + 1 from n where i < 25)
  insert into moz_places (id, url, rev_host, guid, typed, favicon_id)
  select i, 'https://qvtypedhost.example/qvTYPEDONLY' || i, 'elpmaxe.tsohdepytvq.', 't' || i, 1, i from n;
with recursive n(i) as (select 26 union all select i + 1 from n where i < 33)
  insert into moz_places (id, url, rev_host, guid, visit_count, foreign_count)
  select i, 'https://kept.example/' || case when i <= 30 then 'qvBMVISITED' else 'qvBMONLY' end || i,
    'elpmaxe.tpek.', 'k' || i, i <= 30, 1 from n;
insert into moz_places (id, url, rev_host, guid) values (34, 'https://qvdlhost.example/qvDLSOURCE34', 'elpmaxe.tsohldvq.', 'd34');
insert into moz_hosts (host, frecency) values ('qvhistoryhost.example', 1), ('qvtypedhost.example', 1), ('kept.example', 1),
  ('qvdlhost.example', 1);
insert into moz_favicons (id, url) select id, url || '/favicon.ico' from moz_places where favicon_id is not null;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 40)
  insert into moz_historyvisits (id, place_id, visit_date, visit_type, from_visit) select i, (i + 1) / 2, i * 1000, 1, 0 from n;
insert into moz_historyvisits (place_id, visit_date, visit_type) select id, id * 1000 + 50000, case when id = 34 then 7 else 1 end
  from moz_places where id between 26 and 30 or id = 34;
insert into moz_inputhistory select id, 'qvINPUT' || id, 1 from moz_places where typed = 1;
insert into moz_anno_attributes values (1, 'downloads/destinationFileURI'), (2, 'downloads/metaData');
insert into moz_annos (place_id, anno_attribute_id, content) values (34, 1, 'file:///C:/Users/u/Downloads/qvDOWNLOAD34.exe'),
  (34, 2, '{"state":1}');
insert into moz_bookmarks (id, type, fk, parent, position, title, guid) values (1, 2, null, 0, 0, '', 'root________'),
  (2, 2, null, 1, 0, 'menu', 'menu________'), (3, 2, null, 1, 1, 'toolbar', 'toolbar_____'),
  (4, 2, null, 1, 2, 'tags', 'tags________'), (5, 2, null, 1, 3, 'unfiled', 'unfiled_____'),
  (6, 2, null, 1, 4, 'mobile', 'mobile______'), (7, 2, null, 2, 0, 'qvFOLDER', 'userfolder01'),
  (16, 2, null, 4, 0, 'qvTAG', 'tagfolder001'), (17, 1, 26, 16, 0, null, 'tagentry0001');
insert into moz_bookmarks (id, type, fk, parent, position, title, guid)
  select id - 18, 1, id, 7, id - 26, 'qvBMTITLE' || id, 'bm' || id from moz_places where id between 26 and 33;
insert into moz_items_annos (item_id, anno_attribute_id, content) values (7, 2, 'qvFOLDERANNO');
update moz_places set foreign_count = 2 where id = 26;)";
        // Before the fixed guids the roots had guids like any folder, and keywords were
        // named by bookmarks.
        rows += rootsTable ? R"(
update moz_bookmarks set guid = 'rndguid' || id where id <= 6;
insert into moz_bookmarks_roots values ('places', 1), ('menu', 2), ('toolbar', 3), ('tags', 4), ('unfiled', 5);
insert into moz_keywords (id, keyword) values (1, 'qvKEYWORDkw');
update moz_bookmarks set keyword_id = 1 where fk = 33;)"
                           : R"(
insert into moz_keywords (keyword, place_id) values ('qvKEYWORDkw', 33);
update moz_places set foreign_count = 2 where id = 33;)";
        Exec(p + "places.sqlite", schema + rows);
        return p;
    }

    // A Chromium profile of an older layout: History and Web Data as the given versions
    // define them, the other files as today's.
    CString MakeOlderChromiumProfile(const char* name, const char* history, const char* webData, bool clusters)
    {
        const CString p = NewProfile(name);
        MakeDir(p + "Network");
        std::string rows = R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 20)
  insert into urls (id, url, title, visit_count, last_visit_time) select i, 'https://qvvisitedhost.example/qvVISITED' || i, 'page', 2,
    i * 2000 from n;
with recursive n(i) as (select 21 union all select i + 1 from n where i < 25)
  insert into urls (id, url, title, typed_count, last_visit_time) select i, 'https://qvtypedhost.example/qvTYPEDONLY' || i, '', 1, 0 from n;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 40)
  insert into visits (id, url, visit_time, transition) select i, (i + 1) / 2, i * 1000, 1 from n;
insert into visit_source select id, 1 from visits where id <= 10;
insert into keyword_search_terms select 2, id, 'qvSEARCHTERM' || id, 'qvsearchterm' || id from urls where id <= 5;
insert into segments select id, 'qvSEGMENT' || id, id from urls where id <= 5;
insert into segment_usage select id, id, 100, 1 from segments;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 3)
  insert into downloads (id, guid, current_path, target_path, start_time, received_bytes, total_bytes, state, danger_type,
    interrupt_reason, hash, end_time, opened, last_access_time, transient, referrer, site_url, tab_url, tab_referrer_url,
    http_method, by_ext_id, by_ext_name, etag, last_modified, mime_type, original_mime_type EMBEDDER_COLUMN)
  select i, 'guid' || i, 'C:\Users\u\Downloads\qvDOWNLOAD' || i || '.crdownload', 'C:\Users\u\Downloads\qvDOWNLOAD' || i || '.exe',
    1, 100, 100, 1, 0, 0, x'00', 2, 0, 2, 0, '', '', '', '', 'GET', '', '', '', '', 'application/octet-stream', '' EMBEDDER_VALUE from n;
insert into downloads_url_chains select id, 0, 'https://qvdlhost.example/qvDLSOURCE' || id from downloads;
insert into downloads_slices select id, 0, 100, 1 from downloads;)";
        if (clusters)
            rows += R"(
insert into content_annotations (visit_id, annotation_flags, search_terms) select id, 0, 'qvSEARCHANNOT' || id from visits where id <= 10;
insert into context_annotations (visit_id, context_annotation_flags) select id, 0 from visits where id <= 10;
insert into clusters values (1, 1), (2, 1);
insert into clusters_and_visits select id % 2 + 1, id, 1 from visits where id <= 10;)";
        // The 2022 layout adds a column without a default to the downloads.
        const bool embedder = std::string(history).find("embedder_download_data") != std::string::npos;
        for (const auto& field : {std::make_pair(std::string("EMBEDDER_COLUMN"), std::string(", embedder_download_data")),
                                  std::make_pair(std::string("EMBEDDER_VALUE"), std::string(", ''"))})
            rows.replace(rows.find(field.first), field.first.size(), embedder ? field.second : std::string());
        Exec(p + "History", history + rows);
        AddChromiumIcons(p);
        Exec(p + "Web Data", std::string(webData) + R"(
with recursive n(i) as (select 1 union all select i + 1 from n where i < 20)
  insert into autofill (name, value, value_lower) select 'email', 'qvFORM' || i, 'qvform' || i from n;
insert into credit_cards (guid, name_on_card, card_number_encrypted) values ('card', 'qvCARDKEPT', x'00'))");
        return p;
    }

    // Scans one area of a profile, cleans what it lists, and checks what is left.
    template <typename Scan, size_t N>
    void CleanAndCheck(const CString& profile, Scan scan, const CAreaCase& area,
                       const CCheck (&consistent)[N], const char* listed)
    {
        SCOPED_TRACE("trace " + std::to_string(area.trace));
        const std::map<std::string, std::string> before = FolderBytes(profile);
        CFoundItemList list;
        CProblemSink problems;
        scan(profile, area.trace, list, problems, nullptr);
        EXPECT_FALSE(list.empty());
        EXPECT_EQ(std::vector<std::string>{}, problems.m_places);
        CleanList(list);
        EXPECT_TRUE(list.empty()) << "everything listed was cleaned";

        const std::map<std::string, std::string> after = FolderBytes(profile);
        for (const char* marker : area.gone)
            EXPECT_EQ("", FilesHolding(after, marker)) << marker << " is left";
        for (const char* marker : area.kept)
            EXPECT_NE("", FilesHolding(after, marker)) << marker << " was lost";
        // Saved passwords, cards and bookmarks stay byte for byte.
        for (const char* file : {"Login Data", "Bookmarks", "Web Data"})
        {
            if (!before.count(file) || (area.trace == BT_FORMS && std::string(file) == "Web Data"))
                continue;
            EXPECT_EQ(before.at(file), after.count(file) ? after.at(file) : "") << file << " changed";
        }
        for (const auto& file : after)
        {
            if (file.second.compare(0, 15, "SQLite format 3") != 0)
                continue;
            EXPECT_EQ("ok", Query(profile + file.first.c_str(), "pragma integrity_check")) << file.first;
            EXPECT_EQ("", Query(profile + file.first.c_str(), "pragma foreign_key_check")) << file.first;
        }
        for (const CCheck& check : consistent)
            EXPECT_EQ(check.answer, Query(profile + check.file, check.sql)) << check.sql;
        for (const CCheck& check : area.checks)
            EXPECT_EQ(check.answer, Query(profile + check.file, check.sql, profile + listed)) << check.sql;
    }

    CString m_root;
};
} // namespace

TEST_F(ProfileDatabaseTest, EachFirefoxAreaRemovesWhatItListsAndNothingElse)
{
    const std::vector<CAreaCase> areas = {
        // Typing: the typed mark, the typed input and the pages only typing made; never a
        // page with visits.
        {BT_TYPED,
         {"qvTYPEDONLY", "qvINPUT", "qvtypedhost"},
         {"qvTYPEDVISITED", "qvVISITED", "qvBMONLY", "qvDOWNLOAD"},
         {{"places.sqlite", "select count(*) from moz_historyvisits", "412"},
          {"places.sqlite", "select count(*) from moz_places where typed = 1", "0"}}},
        // History: every visit, the pages only visits kept (downloads too), their
        // interaction records, search terms and icons; bookmarked and typed pages stay,
        // recounted.
        {BT_HISTORY,
         {"qvVISITED", "qvSEARCH", "qvDOWNLOAD", "qvDLSOURCE", "qvdlhost"},
         {"qvTYPEDVISITED", "qvTYPEDONLY", "qvBMVISITED", "qvBMTITLE", "qvKEYWORD", "qvPAGEANNO"},
         {{"places.sqlite", "select count(*) from moz_historyvisits", "0"},
          {"places.sqlite", "select count(*) from moz_places where last_visit_date is not null", "0"},
          {"places.sqlite", "select count(*) from moz_places_metadata", "0"},
          {"places.sqlite", "select count(*) from moz_newtab_shortcuts_interaction", "0"},
          {"favicons.sqlite",
           "select count(*) from moz_pages_w_icons where page_url not in"
           " (select url from listed.moz_places)",
           "0"}}},
        // Downloads: the destination and its source page, nothing of the other visits.
        {BT_DOWNLOADS,
         {"qvDOWNLOAD", "qvDLSOURCE", "qvdlhost"},
         {"qvVISITED", "qvBMVISITED", "qvPAGEANNO"},
         {{"places.sqlite", "select count(*) from moz_historyvisits", "410"}}},
        // Bookmarks: the user's whole tree with tags, keywords and annotations; Firefox's
        // folders stay; visited pages stay, bookmark-only pages go.
        {BT_BOOKMARKS,
         {"qvBMTITLE", "qvFOLDER", "qvTAG", "qvKEYWORD", "qvBMONLY"},
         {"qvBMVISITED", "qvVISITED", "qvTYPEDONLY"},
         {{"places.sqlite", "select group_concat(guid) from (select guid from moz_bookmarks order by id)",
           "root________,menu________,toolbar_____,tags________,unfiled_____,mobile______"},
          {"places.sqlite", "select count(*) from moz_items_annos", "0"}}},
        {BT_FORMS,
         {"qvFORM", "qvSOURCE"},
         {},
         {{"formhistory.sqlite", "select count(*) from moz_history_to_sources", "0"}}},
        {BT_COOKIES, {"qvCOOKIE"}, {"qvVISITED"}, {}},
    };
    int index = 0;
    for (const CAreaCase& area : areas)
    {
        const CString profile = MakeFirefoxProfile(("firefox" + std::to_string(index++)).c_str());
        CleanAndCheck(profile, ScanFirefoxProfile, area, kFirefoxConsistent, "places.sqlite");
    }
}

TEST_F(ProfileDatabaseTest, EachChromiumAreaRemovesWhatItListsAndNothingElse)
{
    const std::vector<CAreaCase> areas = {
        // History: every visit and what History and the files beside it keep of them;
        // typed addresses stay for their own area, and the fingerprints file goes.
        {BT_HISTORY,
         {"qvVISITED", "qvSEARCHANNOT", "qvCLUSTER", "qvSEARCHTERM", "qvSHORTCUTVISITED", "qvPREDICTVISITED",
          "VLnk"},
         {"qvTYPEDVISITED", "qvTYPEDONLY", "qvSHORTCUTTYPED", "qvDOWNLOAD", "qvCOOKIE", "qvFORM",
          "qvCARDKEPT"},
         {{"History", "select count(*) from visits", "0"},
          {"History", "select count(*) from visit_source", "0"},
          {"History", "select count(*) from cluster_visit_duplicates", "0"},
          {"History", "select count(*) from urls where last_visit_time <> 0", "0"},
          {"History", "select count(*) from downloads_slices", "5"}}},
        // Typing: typed counts, the addresses only typing made, search terms, the
        // address bar's shortcuts and predictions.
        {BT_TYPED,
         {"qvTYPEDONLY", "qvSEARCHTERM", "qvSHORTCUTTYPED", "qvSHORTCUTVISITED", "qvPREDICTTYPED"},
         {"qvTYPEDVISITED", "qvVISITED", "VLnk"},
         {{"History", "select count(*) from urls where typed_count > 0", "0"},
          {"History", "select count(*) from visits", "400"}}},
        {BT_DOWNLOADS,
         {"qvDOWNLOAD", "qvDLSOURCE"},
         {"qvVISITED"},
         {{"History", "select count(*) from downloads_slices", "0"}}},
        {BT_FORMS, {"qvFORM"}, {"qvCARDKEPT", "qvPASSWORDKEPT"}, {}},
        {BT_COOKIES, {"qvCOOKIE"}, {"qvVISITED", "qvPASSWORDKEPT"}, {}},
    };
    int index = 0;
    for (const CAreaCase& area : areas)
    {
        const CString profile = MakeChromiumProfile(("chromium" + std::to_string(index++)).c_str());
        CleanAndCheck(profile, ScanChromiumProfile, area, kChromiumConsistent, "History");
    }
}

TEST_F(ProfileDatabaseTest, APreviewWritesNothingAndACrashedDatabaseIsRecoveredByTheClean)
{
    // A preview of every area leaves the profile's files as they were: a database that
    // keeps a write-ahead log, with and without a log in use beside it.
    const CString firefox = MakeFirefoxProfile("preview");
    const CString chromium = MakeChromiumProfile("chromium");
    Exec(chromium + "History", "pragma journal_mode = wal");
    sqlite3* holder = nullptr;
    for (bool logInUse : {false, true})
    {
        if (logInUse)
        {
            ASSERT_EQ(SQLITE_OK, sqlite3_open(firefox + "places.sqlite", &holder));
            ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder,
                                              "pragma wal_autocheckpoint = 0;"
                                              "update moz_places set title = 'qvLOGGED' where id = 1",
                                              nullptr, nullptr, nullptr));
        }
        for (const CString& profile : {firefox, chromium})
        {
            const std::map<std::string, std::string> before = FolderBytes(profile);
            CFoundItemList list;
            CProblemSink problems;
            for (int trace : {BT_TYPED, BT_HISTORY, BT_DOWNLOADS, BT_COOKIES, BT_BOOKMARKS, BT_FORMS})
                (profile == firefox ? ScanFirefoxProfile : ScanChromiumProfile)(profile, trace, list,
                                                                                problems, nullptr);
            EXPECT_EQ(std::vector<std::string>{}, problems.m_places);
            EXPECT_LT(500u, list.size());
            EXPECT_TRUE(before == FolderBytes(profile))
                << profile.str() << (logInUse ? " with its log in use" : "");
        }
    }
    sqlite3_close(holder);

    // A crash in the middle of a change leaves History with a journal to roll back: the
    // preview lists what the recovered database holds and says so, the clean recovers
    // and cleans it.
    const CString crashed = NewProfile("crashed");
    const CString source = MakeChromiumProfile("source");
    ASSERT_EQ(SQLITE_OK, sqlite3_open(source + "History", &holder));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder,
                                      "pragma cache_size = 1; begin;"
                                      "update urls set url = 'qvTORN' || id || hex(zeroblob(2000));",
                                      nullptr, nullptr, nullptr));
    ASSERT_TRUE(CopyFileA(source + "History", crashed + "History", FALSE));
    ASSERT_TRUE(CopyFileA(source + "History-journal", crashed + "History-journal", FALSE));
    sqlite3_exec(holder, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    const std::map<std::string, std::string> before = FolderBytes(crashed);
    ASSERT_NE("", FilesHolding(before, "qvTORN")) << "the database file holds the half-made change";

    CFoundItemList list;
    CProblemSink problems;
    ScanChromiumProfile(crashed, BT_HISTORY, list, problems);
    ASSERT_EQ(400u, list.size());
    EXPECT_EQ("https://visited1.example/qvTYPEDVISITED200", list[0]->GetDisplayText().str());
    EXPECT_EQ(std::vector<std::string>{(crashed + "History").str()}, problems.m_places);
    EXPECT_NE(std::string::npos, problems.m_reasons[0].find("recovers")) << problems.m_reasons[0];
    EXPECT_TRUE(before == FolderBytes(crashed)) << "the preview wrote nothing";
    CleanList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ("0", Query(crashed + "History", "select count(*) from visits"));
    EXPECT_EQ("0", Query(crashed + "History", "select count(*) from urls where url like 'qvTORN%'"));
    EXPECT_FALSE(Exists(crashed + "History-journal"));
}

TEST_F(ProfileDatabaseTest, RowsShowAsTheirAreaSaysAndTheCleanStopsAtTheLastRowListed)
{
    const CString profile = MakeFirefoxProfile("texts");
    Exec(profile + "cookies.sqlite",
         "delete from moz_cookies where id > 1;"
         "insert into moz_cookies (name, host, path) values (null, 'nameless', '/'),"
         " ('caf\xC3\xA9', '.example.com', '/app'), ('" +
             std::string(4193, 'x') + "', 'h', '/')");
    CFoundItemList list;
    CCountingTick tick;
    for (int trace : {BT_COOKIES, BT_DOWNLOADS})
        ScanFirefoxProfile(profile, trace, list, tick);
    // A row without a name is not shown (it goes with the rest); one too long is shown
    // empty; UTF-8 stays as it is.
    EXPECT_EQ(
        (std::vector<std::string>{"Mozilla cookie: caf\xC3\xA9 at .example.com/app",
                                  "Mozilla cookie: qvCOOKIE1 at .site1.example/", "Mozilla cookie: ",
                                  "Mozilla download link: file:///C:/Users/u/Downloads/qvDOWNLOAD237.exe - "
                                  "https://qvdlhost.example/qvDLSOURCE237",
                                  "Mozilla download link: file:///C:/Users/u/Downloads/qvDOWNLOAD238.exe - "
                                  "https://qvdlhost.example/qvDLSOURCE238"}),
        Texts(list, true));
    EXPECT_EQ(5, tick.m_count);

    // Visits and typed addresses made after the scan stay, with their pages.
    list.clear();
    for (int trace : {BT_HISTORY, BT_TYPED})
        ScanFirefoxProfile(profile, trace, list, tick);
    Exec(profile + "places.sqlite",
         "insert into moz_places (id, url, guid, typed, visit_count) values"
         " (300, 'https://later.example/', 'later', 1, 1);"
         "insert into moz_historyvisits (place_id, visit_date, visit_type) values (300, 1, 1)");
    CleanList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ("1", Query(profile + "places.sqlite", "select count(*) from moz_historyvisits"));
    EXPECT_EQ("1", Query(profile + "places.sqlite", "select typed from moz_places where id = 300"));
}

// Older profiles are cleaned as far as their layout goes: what a layout lacks is not there
// to clean, what it has in place of today's (hosts for sites, icons in places.sqlite, the
// table of bookmark roots) goes as today's does.
TEST_F(ProfileDatabaseTest, OlderLayoutsAreCleanedWhole)
{
    const std::vector<CAreaCase> firefoxAreas = {
        {BT_TYPED,
         {"qvTYPEDONLY", "qvINPUT", "qvtypedhost"},
         {"qvVISITED", "qvBMONLY", "qvDOWNLOAD"},
         {{"places.sqlite", "select count(*) from moz_places where typed = 1", "0"}}},
        {BT_HISTORY,
         {"qvVISITED", "qvhistoryhost", "qvDOWNLOAD", "qvDLSOURCE", "qvdlhost"},
         {"qvTYPEDONLY", "qvBMVISITED", "qvBMTITLE", "kept.example", "qvKEYWORD"},
         {{"places.sqlite", "select count(*) from moz_historyvisits", "0"}}},
        {BT_DOWNLOADS,
         {"qvDOWNLOAD", "qvDLSOURCE", "qvdlhost"},
         {"qvVISITED", "qvBMVISITED"},
         {{"places.sqlite", "select count(*) from moz_historyvisits", "45"}}},
        {BT_BOOKMARKS,
         {"qvBMTITLE", "qvFOLDER", "qvTAG", "qvKEYWORD", "qvBMONLY"},
         {"qvBMVISITED", "qvVISITED"},
         {{"places.sqlite", "select group_concat(id) from moz_bookmarks", "1,2,3,4,5,6"},
          {"places.sqlite", "select count(*) from moz_items_annos", "0"}}},
    };
    const CCheck firefoxConsistent[] = {
        {"places.sqlite",
         "select count(*) from moz_historyvisits where place_id not in (select id from moz_places)", "0"},
        {"places.sqlite", "select count(*) from moz_bookmarks where id > 1 and parent not in (select id from moz_bookmarks)",
         "0"},
        {"places.sqlite", "select count(*) from moz_bookmarks where fk not in (select id from moz_places)", "0"},
        {"places.sqlite",
         "select count(*) from moz_places where visit_count <> (select count(*) from moz_historyvisits v"
         " where v.place_id = moz_places.id and v.visit_type not in (0, 4, 7, 8, 9))",
         "0"},
        {"places.sqlite", "select count(*) from moz_annos where place_id not in (select id from moz_places)", "0"},
        {"places.sqlite", "select count(*) from moz_favicons where id not in (select favicon_id from moz_places)", "0"},
    };
    const struct
    {
        const char* name;
        const char* schema;
        bool rootsTable;
    } firefoxLayouts[] = {{"firefox2015", kSchema_firefox_places_2015, true},
                          {"firefox2017", kSchema_firefox_places_2017, false}};
    for (const auto& layout : firefoxLayouts)
        for (const CAreaCase& area : firefoxAreas)
        {
            SCOPED_TRACE(layout.name);
            const CString profile = MakeOlderFirefoxProfile(
                (layout.name + std::to_string(area.trace)).c_str(), layout.schema, layout.rootsTable);
            CleanAndCheck(profile, ScanFirefoxProfile, area, firefoxConsistent, "places.sqlite");
        }

    const std::vector<CAreaCase> chromiumAreas = {
        {BT_HISTORY,
         {"qvVISITED", "qvSEARCHTERM", "qvSEGMENT", "qvSEARCHANNOT"},
         {"qvTYPEDONLY", "qvDOWNLOAD", "qvFORM", "qvCARDKEPT"},
         {{"History", "select count(*) from visits", "0"}, {"History", "select count(*) from visit_source", "0"}}},
        {BT_TYPED, {"qvTYPEDONLY", "qvSEARCHTERM"}, {"qvVISITED"}, {{"History", "select count(*) from visits", "40"}}},
        {BT_DOWNLOADS,
         {"qvDOWNLOAD", "qvDLSOURCE"},
         {"qvVISITED"},
         {{"History", "select count(*) from downloads_slices", "0"}}},
        {BT_FORMS, {"qvFORM"}, {"qvCARDKEPT"}, {}},
    };
    const CCheck chromiumConsistent[] = {
        {"History", "select count(*) from visits where url not in (select id from urls)", "0"},
        {"History",
         "select count(*) from urls where visit_count <> (select count(*) from visits where url = urls.id)", "0"},
        {"Favicons", "select count(*) from favicons where id not in (select icon_id from icon_mapping)", "0"},
    };
    const struct
    {
        const char* name;
        const char* history;
        const char* webData;
        bool clusters;
    } chromiumLayouts[] = {{"chromium2020", kSchema_chromium_History_42, kSchema_chromium_WebData_85, false},
                           {"chromium2022", kSchema_chromium_History_56, kSchema_chromium_WebData_104, true}};
    for (const auto& layout : chromiumLayouts)
        for (const CAreaCase& area : chromiumAreas)
        {
            SCOPED_TRACE(layout.name);
            const CString profile =
                MakeOlderChromiumProfile((layout.name + std::to_string(area.trace)).c_str(), layout.history,
                                         layout.webData, layout.clusters);
            CleanAndCheck(profile, ScanChromiumProfile, area, chromiumConsistent, "History");
        }
}

// What has nothing of a rule's to clean is no problem (an empty database file); a layout
// whose bookmark roots cannot be told from the user's folders is said, and left whole.
TEST_F(ProfileDatabaseTest, EmptyFilesAndUnknownLayouts)
{
    const CString empty = NewProfile("empty");
    for (const char* name : {"places.sqlite", "cookies.sqlite", "formhistory.sqlite", "History", "Web Data"})
        ASSERT_TRUE(WriteBytes(empty + name, ""));
    CFoundItemList list;
    CProblemSink problems;
    for (int trace : {BT_TYPED, BT_HISTORY, BT_DOWNLOADS, BT_COOKIES, BT_BOOKMARKS, BT_FORMS})
    {
        ScanFirefoxProfile(empty, trace, list, problems);
        ScanChromiumProfile(empty, trace, list, problems);
    }
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(std::vector<std::string>{}, problems.m_places);

    const CString unknown = MakeOlderFirefoxProfile("unknown", kSchema_firefox_places_2015, true);
    Exec(unknown + "places.sqlite", "drop table moz_bookmarks_roots");
    const std::map<std::string, std::string> before = FolderBytes(unknown);
    ScanFirefoxProfile(unknown, BT_BOOKMARKS, list, problems);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(std::vector<std::string>{(unknown + "places.sqlite").str()}, problems.m_places);
    EXPECT_EQ(std::vector<std::string>{"bookmarks of an unknown layout left"}, problems.m_reasons);
    EXPECT_TRUE(before == FolderBytes(unknown));
}

// Whoever can write a profile plants links and second names where a clean would write:
// beside a database (its log, its shared index, its journal), at the database itself, at
// a database the clean follows up. Planted before the scan, the database is skipped and
// said; planted between the scan and the clean, the clean leaves it and says why. Either
// way the document they lead to, and the database, keep every byte. A trigger stored in
// the database never runs.
TEST_F(ProfileDatabaseTest, NothingIsWrittenThroughALinkAndNoStoredCodeRuns)
{
    const CString documents = m_root + "\\documents";
    MakeDir(documents);
    const struct
    {
        bool firefox;
        const char* planted;
        const char* database; // the one said, and the one that must keep its bytes
        bool symbolic;
        bool beforeScan;
        const char* reason;
    } cases[] = {
        {false, "History-wal", "History", true, true, "History-wal leads elsewhere (a link)"},
        {false, "History-shm", "History", false, true, "History-shm has 2 names (hard links)"},
        {false, "History-journal", "History", true, false, "History-journal leads elsewhere (a link)"},
        {true, "places.sqlite-wal", "places.sqlite", false, false, "places.sqlite-wal has 2 names (hard links)"},
        {true, "places.sqlite", "places.sqlite", true, true, "places.sqlite leads elsewhere (a link)"},
        {false, "Favicons", "History", true, false, "Favicons leads elsewhere (a link)"},
    };
    int index = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.planted);
        const CString profile = c.firefox ? MakeFirefoxProfile(("linked" + std::to_string(index)).c_str())
                                          : MakeChromiumProfile(("linked" + std::to_string(index)).c_str());
        const CString document = documents + "\\document" + std::to_string(index++).c_str();
        // A database planted at the name is a copy of the profile's own, so it can be cleaned.
        std::string content = "my thesis, chapter one";
        if (CString(c.planted) == c.database || CString(c.planted) == "Favicons")
        {
            ASSERT_TRUE(ReadBytes(profile + c.planted, content));
        }
        ASSERT_TRUE(WriteBytes(document, content));
        auto plant = [&]
        {
            const CString at = profile + c.planted;
            DeleteFileA(at);
            ASSERT_TRUE(c.symbolic ? MakeHostLink(document, at)
                                   : RunHost("ln " + HostQuote(HostPath(document)) + " " + HostQuote(HostPath(at))));
        };
        if (c.beforeScan)
            plant();
        std::string database;
        ASSERT_TRUE(ReadBytes(profile + c.database, database));
        CFoundItemList list;
        CProblemSink problems;
        (c.firefox ? ScanFirefoxProfile : ScanChromiumProfile)(profile, BT_HISTORY, list, problems, nullptr);
        if (!c.beforeScan)
        {
            EXPECT_EQ(std::vector<std::string>{}, problems.m_places);
            ASSERT_FALSE(list.empty());
            plant();
        }
        // Only the Visited Links file, an item of its own, may go.
        const size_t listed = list.size() - (c.firefox ? 0 : 1);
        CleanList(list, &problems);
        EXPECT_EQ(listed, list.size()) << "no row was cleaned";
        ASSERT_EQ(std::vector<std::string>{(profile + c.database).str()}, problems.m_places);
        EXPECT_EQ(std::string(c.reason) + "; the database is left as it is", problems.m_reasons[0]);
        std::string after;
        EXPECT_TRUE(ReadBytes(document, after) && after == content) << "the document changed";
        if (CString(c.planted) != c.database)
        {
            EXPECT_TRUE(ReadBytes(profile + c.database, after) && after == database) << "the database changed";
        }
        EXPECT_TRUE(RunHost(CString(c.symbolic ? "test -L " : "test \"$(stat -c %h ") +
                            HostQuote(HostPath(profile + c.planted)) + (c.symbolic ? "" : ")\" = 2")));
    }

    // A trigger planted to remove what was never listed: the bookmarks and keywords stay.
    const CString profile = MakeFirefoxProfile("trigger");
    Exec(profile + "places.sqlite", "create trigger qv_planted after delete on moz_historyvisits"
                                    " begin delete from moz_bookmarks; delete from moz_keywords; end");
    const std::string kept = "select (select count(*) from moz_bookmarks) || ' ' || (select count(*) from moz_keywords)";
    const std::string before = Query(profile + "places.sqlite", kept);
    CFoundItemList list;
    CProblemSink problems;
    ScanFirefoxProfile(profile, BT_HISTORY, list, problems);
    ASSERT_FALSE(list.empty());
    CleanList(list, &problems);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(std::vector<std::string>{}, problems.m_places);
    EXPECT_EQ("0", Query(profile + "places.sqlite", "select count(*) from moz_historyvisits"));
    EXPECT_EQ(before, Query(profile + "places.sqlite", kept));
}

// The file layer itself: a journal whose name is a link that leads nowhere is neither
// made through it nor opened, and a database reached through a link is not opened.
TEST_F(ProfileDatabaseTest, TheCheckedLayerOpensNothingThroughALink)
{
    const CString profile = NewProfile("layer");
    const CString nowhere = m_root + "\\nowhere.txt";
    Exec(profile + "plain.db", "create table t (a)");
    ASSERT_TRUE(MakeHostLink(nowhere, profile + "plain.db-journal"));
    ASSERT_TRUE(MakeHostLink(profile + "plain.db", profile + "linked.db"));
    for (const char* name : {"plain.db", "linked.db"})
    {
        sqlite3* db = nullptr;
        int result = sqlite3_open_v2(profile + name, &db, SQLITE_OPEN_READWRITE, CheckedVfsName());
        if (result == SQLITE_OK)
            result = sqlite3_exec(db, "insert into t values (1)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        EXPECT_NE(SQLITE_OK, result) << name;
        EXPECT_EQ(CString(name) == "plain.db" ? "plain.db-journal is a link that leads nowhere"
                                              : "linked.db leads elsewhere (a link)",
                  TakeFileRefusal().str());
    }
    EXPECT_FALSE(RunHost("test -e " + HostQuote(HostPath(nowhere))));
    EXPECT_EQ("0", Query(profile + "plain.db", "select count(*) from t"));
}
