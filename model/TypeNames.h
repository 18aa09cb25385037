// The fixed type texts of found items, built once before any window exists.
#pragma once

#include "afx/String.h"

enum TypeNameId
{
    TN_CLEAN_TARGET,
    TN_FILE_FIRST, // file kinds 0..11 follow in order
    TN_RECENTLY_TYPED = TN_FILE_FIRST + 12,
    TN_RELAY_TARGET,
    TN_RECYCLE_BIN_ENTRY,
    TN_CLIPBOARD_CONTENTS,
    TN_OPERA_FIRST, // Opera kinds 0..6
    TN_MOZILLA_FIRST = TN_OPERA_FIRST + 7, // Firefox kinds 0..7
    TN_MOZILLA_QUERY = TN_MOZILLA_FIRST + 8,
    TN_LOGICAL_DISK,
    // The first design's 34 kinds end here; the newer browsers' follow.
    TN_BROWSER_CACHE_FILE,
    TN_BROWSER_CACHE_FOLDER,
    TN_CHROMIUM_FIRST, // Chromium kinds 0..5
    TN_CHROMIUM_QUERY = TN_CHROMIUM_FIRST + 6,
    TN_COUNT
};

const CString& GetTypeText(int id);
