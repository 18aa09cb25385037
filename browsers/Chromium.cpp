#include "Chromium.h"

#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"

#include <iterator>

const char* const kChromiumCacheFolders[3] = {"Cache\\Cache_Data", "Code Cache", "GPUCache"};

namespace
{
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

// The addresses History still has.
#define KNOWN_URLS "(select url from listed.urls where url is not null)"

// What the other files of a profile keep of the pages History no longer has: their
// icons, the most visited sites, the address bar's shortcuts and its predictions.
const CStatement kFaviconsResidue[] = {
    {"icon_mapping.page_url listed:urls.url", "delete from icon_mapping where page_url not in " KNOWN_URLS},
    {"favicon_bitmaps.icon_id icon_mapping.icon_id",
     "delete from favicon_bitmaps where icon_id not in"
     " (select icon_id from icon_mapping where icon_id is not null)"},
    {"favicons icon_mapping.icon_id",
     "delete from favicons where id not in (select icon_id from icon_mapping where icon_id is not null)"},
    {nullptr, nullptr}};
const CStatement kTopSitesResidue[] = {
    {"top_sites.url listed:urls.url", "delete from top_sites where url not in " KNOWN_URLS}, {nullptr, nullptr}};
const CStatement kShortcutsResidue[] = {
    {"omni_box_shortcuts.url listed:urls.url", "delete from omni_box_shortcuts where url not in " KNOWN_URLS},
    {nullptr, nullptr}};
const CStatement kPredictorResidue[] = {
    {"network_action_predictor.url listed:urls.url",
     "delete from network_action_predictor where url not in " KNOWN_URLS},
    // The per-host and per-page tables of every layout (Chromium's predictor tables);
    // each keyed by the sites visited.
    {"resource_prefetch_predictor_host_redirect", "delete from resource_prefetch_predictor_host_redirect"},
    {"resource_prefetch_predictor_origin", "delete from resource_prefetch_predictor_origin"},
    {"resource_prefetch_predictor_host", "delete from resource_prefetch_predictor_host"},
    {"resource_prefetch_predictor_host_metadata", "delete from resource_prefetch_predictor_host_metadata"},
    {"resource_prefetch_predictor_url", "delete from resource_prefetch_predictor_url"},
    {"resource_prefetch_predictor_url_redirect", "delete from resource_prefetch_predictor_url_redirect"},
    {"resource_prefetch_predictor_url_metadata", "delete from resource_prefetch_predictor_url_metadata"},
    {"resource_prefetch_predictor_manifest", "delete from resource_prefetch_predictor_manifest"},
    {nullptr, nullptr}};
const CFollowUp kHistoryFollowUps[] = {{"Favicons", kFaviconsResidue},
                                       {"Top Sites", kTopSitesResidue},
                                       {"Shortcuts", kShortcutsResidue},
                                       {"Network Action Predictor", kPredictorResidue},
                                       {nullptr, nullptr}};

// What the user typed into the address bar: its shortcuts and predictions go whole.
const CStatement kTypedShortcuts[] = {{"omni_box_shortcuts", "delete from omni_box_shortcuts"},
                                      {nullptr, nullptr}};
const CStatement kTypedPredictions[] = {{"network_action_predictor", "delete from network_action_predictor"},
                                        {nullptr, nullptr}};
const CFollowUp kTypedFollowUps[] = {{"Favicons", kFaviconsResidue},
                                     {"Shortcuts", kTypedShortcuts},
                                     {"Network Action Predictor", kTypedPredictions},
                                     {nullptr, nullptr}};

// The listed visits go, with everything History keeps about them; addresses that only
// they used go too (a typed one stays for the typed-address clean), the rest are
// recounted. What a layout does not have (visited links before 2023, clusters before
// 2022, annotations before 2021) is not there to clean.
const CStatement kHistoryClean[] = {
    {"visits.url", "create temp table qv_urls as select distinct url as id from visits where id <= %LAST%"},
    {"visits", "delete from visits where id <= %LAST%"},
    {"visit_source", "delete from visit_source where id not in (select id from visits)"},
    {"context_annotations.visit_id",
     "delete from context_annotations where visit_id not in (select id from visits)"},
    {"content_annotations.visit_id",
     "delete from content_annotations where visit_id not in (select id from visits)"},
    {"clusters_and_visits.visit_id",
     "delete from clusters_and_visits where visit_id not in (select id from visits)"},
    {"cluster_visit_duplicates.visit_id cluster_visit_duplicates.duplicate_visit_id",
     "delete from cluster_visit_duplicates where visit_id not in (select id from visits)"
     " or duplicate_visit_id not in (select id from visits)"},
    {"clusters.cluster_id clusters_and_visits.cluster_id",
     "delete from clusters where cluster_id not in (select cluster_id from clusters_and_visits)"},
    {"cluster_keywords.cluster_id clusters.cluster_id",
     "delete from cluster_keywords where cluster_id not in (select cluster_id from clusters)"},
    {"urls.typed_count visits.url", "delete from urls where id in (select id from qv_urls) and typed_count = 0"
                                    " and id not in (select url from visits)"},
    {"urls.visit_count urls.last_visit_time visits.url visits.visit_time",
     "update urls set visit_count = (select count(*) from visits where visits.url = urls.id),"
     " last_visit_time = coalesce((select max(visit_time) from visits where visits.url = urls.id), 0)"
     " where id in (select id from qv_urls)"},
    {"visited_links visits.visited_link_id",
     "delete from visited_links where id not in (select visited_link_id from visits)"},
    {"visited_links.link_url_id !visits.visited_link_id visits.url",
     "delete from visited_links where link_url_id not in (select url from visits)"},
    {"keyword_search_terms", "delete from keyword_search_terms"},
    {"segment_usage", "delete from segment_usage"},
    {"segments", "delete from segments"},
    {nullptr, nullptr}};

// Typed addresses lose their typed count; those never visited go, with what named them.
const CStatement kTypedClean[] = {
    {"urls.typed_count",
     "create temp table qv_urls as select id from urls where typed_count > 0 and id <= %LAST%"},
    {"visits.url", "delete from urls where id in (select id from qv_urls) and id not in (select url from visits)"},
    {"urls.typed_count", "update urls set typed_count = 0 where id in (select id from qv_urls)"},
    {"keyword_search_terms.url_id",
     "delete from keyword_search_terms where url_id not in (select id from urls)"},
    {"visited_links.link_url_id", "delete from visited_links where link_url_id not in (select id from urls)"},
    {"segments.url_id", "delete from segments where url_id not in (select id from urls)"},
    {"segment_usage.segment_id segments",
     "delete from segment_usage where segment_id not in (select id from segments)"},
    {nullptr, nullptr}};

const CStatement kSearchTermsClean[] = {{"keyword_search_terms", "delete from keyword_search_terms"},
                                        {nullptr, nullptr}};
// Kept sites' cookies stay.
const CStatement kCookiesClean[] = {{"cookies", "delete from cookies where not qv_kept(host_key)"},
                                    {nullptr, nullptr}};
const CStatement kFormsClean[] = {{"autofill", "delete from autofill"}, {nullptr, nullptr}};
const CStatement kDownloadsClean[] = {{"downloads_url_chains", "delete from downloads_url_chains"},
                                      {"downloads_slices", "delete from downloads_slices"},
                                      {"downloads", "delete from downloads"},
                                      {nullptr, nullptr}};

// A cookie database (the first of its two names that exists): kept sites' rows stay.
constexpr CDatabaseRule CookieRule(const char* file, const char* older)
{
    return {BT_COOKIES,
            {file, older},
            CK_COOKIE,
            "cookies.name cookies.host_key cookies.path",
            "select name, host_key, path from cookies where not qv_kept(host_key)",
            ROW_COOKIE,
            false,
            kCookiesClean,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            "select distinct host_key from cookies"};
}

// Saved passwords, cards, addresses, bookmarks and extensions are never named here.
const CDatabaseRule kRules[] = {
    CookieRule("Network\\Cookies", "Cookies"),
    // The cookies extensions' pages keep, in a file of the same layout.
    CookieRule("Extension Cookies", nullptr),
    {BT_HISTORY,
     {"History", nullptr},
     CK_HISTORY_ENTRY,
     "visits.url visits.visit_time urls.url",
     "select visits.id, urls.url from visits left join urls on urls.id = visits.url order by "
     "visits.visit_time desc",
     ROW_TEXT,
     true,
     kHistoryClean,
     nullptr,
     kHistoryFollowUps},
    // A table of salted fingerprints of visited addresses, which the browser rebuilds
    // from History.
    {BT_HISTORY,
     {"Visited Links", nullptr},
     FK_CHROMIUM_VISITED_LINKS,
     nullptr,
     nullptr,
     ROW_TEXT,
     false,
     nullptr,
     nullptr,
     nullptr},
    {BT_TYPED,
     {"History", nullptr},
     CK_TYPED_URL,
     "urls.typed_count urls.url",
     "select id, url from urls where typed_count > 0",
     ROW_TEXT,
     true,
     kTypedClean,
     nullptr,
     kTypedFollowUps},
    {BT_TYPED,
     {"History", nullptr},
     CK_SEARCH_TERM,
     "keyword_search_terms.term",
     "select term from keyword_search_terms",
     ROW_TEXT,
     false,
     kSearchTermsClean,
     nullptr,
     nullptr},
    {BT_FORMS,
     {"Web Data", nullptr},
     CK_FORM_DATA,
     "autofill.value",
     "select value from autofill",
     ROW_TEXT,
     false,
     kFormsClean,
     nullptr,
     nullptr},
    {BT_DOWNLOADS,
     {"History", nullptr},
     CK_DOWNLOAD,
     "downloads.target_path downloads_url_chains.url downloads_url_chains.chain_index",
     "select target_path, (select url from downloads_url_chains where id = downloads.id"
     " order by chain_index desc limit 1) from downloads",
     ROW_PAIR,
     false,
     kDownloadsClean,
     nullptr,
     nullptr},
};
#undef KNOWN_URLS

const CBrowserFamily kChromium = {kRules, std::size(kRules), TN_CHROMIUM_QUERY};
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

void ScanChromiumProfile(const CString& profile, int trace, CFoundItemList& list, CTickable& tick,
                         const CKeepListPtr& keep)
{
    ScanProfileDatabases(kChromium, profile, trace, list, tick, keep);
}

const CBrowserFamily& ChromiumFamily()
{
    return kChromium;
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
