// The Chromium family (Google Chrome, Microsoft Edge, Brave, Vivaldi, Chromium and
// Opera's Chromium-based profile): their profiles' SQLite databases, listed and cleaned by
// the rules of their table, like Firefox's. Saved passwords, bookmarks and
// extensions are never touched.
#pragma once

#include "ProfileDatabase.h"
#include "model/TypeNames.h"

#include <vector>

// Chromium row kinds, each its type text.
enum ChromiumKind
{
    CK_COOKIE = TN_CHROMIUM_COOKIE,
    CK_HISTORY_ENTRY = TN_CHROMIUM_HISTORY_ENTRY,
    CK_TYPED_URL = TN_CHROMIUM_TYPED_URL,
    CK_SEARCH_TERM = TN_CHROMIUM_SEARCH_TERM,
    CK_FORM_DATA = TN_CHROMIUM_FORM_DATA,
    CK_DOWNLOAD = TN_CHROMIUM_DOWNLOAD,
};

// The folders of a profile's disk caches.
extern const char* const kChromiumCacheFolders[3];

// Every profile folder (ending with a backslash) of every Chromium browser here: "Default"
// and each "Profile N" below a browser's "User Data", and Opera's single profile.
std::vector<CString> FindChromiumProfiles(const CString& localAppData, const CString& appData);

// Lists what one profile folder (ending with a backslash) holds of trace (a
// BrowserTrace), each row relaying to the clean of its rule.
// Kept sites' cookies are neither listed nor removed.
void ScanChromiumProfile(const CString& profile, int trace, CFoundItemList& list, CTickable& tick,
                         const CKeepListPtr& keep = nullptr);
// The rules themselves.
const CBrowserFamily& ChromiumFamily();

// The name of the Chromium browser whose program file is imageName ("chrome.exe"), or
// nullptr.
const char* ChromiumBrowserName(const char* imageName);
