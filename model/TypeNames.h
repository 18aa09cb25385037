// The fixed type texts of found items, built once before any window exists. Each text
// has one id; the kinds of file, Opera, Firefox and Chromium items are these ids
// themselves (see their enums), so a kind and its text cannot drift apart.
#pragma once

#include "afx/String.h"

enum TypeNameId
{
    TN_CLEAN_TARGET,
    // Files and folders found on disk
    TN_TEMP_FILE,
    TN_TEMP_FOLDER,
    TN_LINK_TO_FILE,
    TN_SCANDISK_FILE,
    TN_SCANDISK_FOLDER,
    TN_IE_COOKIE,
    TN_IE_CACHE_FILE,
    TN_IE_CACHE_FOLDER,
    TN_IE_FAV_LINK,
    TN_IE_HISTORY_FILE,
    TN_OPERA_TEMP_DOWNLOAD,
    TN_OPERA_FILE,
    // Registry lists, shared targets, the recycle bin, the clipboard
    TN_RECENTLY_TYPED,
    TN_RELAY_TARGET,
    TN_RECYCLE_BIN_ENTRY,
    TN_CLIPBOARD_CONTENTS,
    // Opera entries
    TN_OPERA_CACHE_FILE,
    TN_OPERA_VISITED_LINK,
    TN_OPERA_DOWNLOAD_LINK,
    TN_OPERA_COOKIE,
    TN_OPERA_HISTORY_ENTRY,
    TN_OPERA_BOOKMARK,
    TN_OPERA_TYPED_URL,
    // Firefox rows
    TN_MOZILLA_CACHE_FILE,
    TN_MOZILLA_VISITED_LINK,
    TN_MOZILLA_DOWNLOAD_LINK,
    TN_MOZILLA_COOKIE,
    TN_MOZILLA_HISTORY_ENTRY,
    TN_MOZILLA_BOOKMARK,
    TN_MOZILLA_TYPED_URL,
    TN_MOZILLA_FORM_DATA,
    TN_MOZILLA_QUERY,
    TN_LOGICAL_DISK,
    // The first design's 34 kinds end here; the newer browsers' follow.
    TN_BROWSER_CACHE_FILE,
    TN_BROWSER_CACHE_FOLDER,
    TN_CHROMIUM_COOKIE,
    TN_CHROMIUM_HISTORY_ENTRY,
    TN_CHROMIUM_TYPED_URL,
    TN_CHROMIUM_SEARCH_TERM,
    TN_CHROMIUM_FORM_DATA,
    TN_CHROMIUM_DOWNLOAD,
    TN_CHROMIUM_QUERY,
    TN_CHROMIUM_VISITED_LINKS,
    // What a profile keeps beside its databases
    TN_BROWSER_HISTORY_FILE,
    TN_BROWSER_HISTORY_FOLDER,
    TN_BROWSER_NETWORK_FILE,
    TN_BROWSER_SITE_DATA_FILE,
    TN_BROWSER_SITE_DATA_FOLDER,
    TN_BROWSER_SITE_STORAGE,
    TN_BROWSER_SESSION_FILE,
    TN_BROWSER_SESSION_FOLDER,
    TN_BROWSER_PREFERENCES,
    TN_COUNT
};

const CString& GetTypeText(int id);
