// Firefox: its profiles and the rules by which their SQLite databases are listed and
// cleaned.
#pragma once

#include "ProfileDatabase.h"
#include "model/TypeNames.h"

#include <vector>

// Firefox row kinds, each its type text.
enum MozillaKind
{
    MK_CACHE_FILE = TN_MOZILLA_CACHE_FILE,
    MK_VISITED_LINK = TN_MOZILLA_VISITED_LINK,
    MK_DOWNLOAD_LINK = TN_MOZILLA_DOWNLOAD_LINK,
    MK_COOKIE = TN_MOZILLA_COOKIE,
    MK_HISTORY_ENTRY = TN_MOZILLA_HISTORY_ENTRY,
    MK_BOOKMARK = TN_MOZILLA_BOOKMARK,
    MK_TYPED_URL = TN_MOZILLA_TYPED_URL,
    MK_FORM_DATA = TN_MOZILLA_FORM_DATA,
};

// Every Firefox profile below the roaming application data: those that profiles.ini
// lists (relative ones below the Firefox folder, absolute ones by drive or share), then
// any "*.default" folder it does not list. Each ends with a backslash; a profile is given
// once. A listed path that is neither is reported as skipped, and so is what was left
// unread of a profiles.ini over its size bound.
std::vector<CString> FindFirefoxProfiles(const CString& appData, CTickable& tick);
// The bound on the size of profiles.ini that is read.
const unsigned kMaxProfilesIni = 1048576;

// Lists what one Firefox profile folder (ending with a backslash) holds of trace (a
// BrowserTrace), each row relaying to the clean of its rule.
// Kept sites' cookies and storage are neither listed nor removed.
void ScanFirefoxProfile(const CString& profile, int trace, CFoundItemList& list, CTickable& tick,
                        const CKeepListPtr& keep = nullptr);
// The rules themselves.
const CBrowserFamily& FirefoxFamily();
