// The Chromium family (Google Chrome, Microsoft Edge, Brave, Vivaldi, Chromium and
// Opera's Chromium-based profile): their profiles' SQLite databases, listed row by row
// and cleaned by one statement per query, like Firefox's. Saved passwords, bookmarks and
// extensions are never touched.
#pragma once

#include "MozillaTarget.h"
#include "model/Tickable.h"

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

// What a Chromium step lists, by area.
enum ChromiumQuery
{
    CQ_CACHE,     // the cache folders, walked by the scan run
    CQ_COOKIES,   // cookies
    CQ_HISTORY,   // visits
    CQ_TYPED,     // typed addresses and search terms
    CQ_FORMS,     // form values
    CQ_DOWNLOADS, // the downloads list
};

// The folders of a profile's disk caches.
extern const char* const kChromiumCacheFolders[3];

// Every profile folder (ending with a backslash) of every Chromium browser here: "Default"
// and each "Profile N" below a browser's "User Data", and Opera's single profile.
std::vector<CString> FindChromiumProfiles(const CString& localAppData, const CString& appData);

// Lists one query's rows of one profile; a database that is not there gives nothing,
// one that cannot be read is reported.
void ScanChromiumProfile(const CString& profile, int query, CFoundItemList& list, CTickable& tick);

// The name of the Chromium browser whose program file is imageName ("chrome.exe"), or
// nullptr.
const char* ChromiumBrowserName(const char* imageName);

// Runs one deletion on a profile database; never listed itself.
class CChromiumCleanerTarget : public CMozillaCleanerTarget
{
public:
    using CMozillaCleanerTarget::CMozillaCleanerTarget;
    const CString& GetTypeName() const override;
};

class CChromiumTarget : public CRelayTarget
{
public:
    CChromiumTarget(const CString& displayText, const CCleanTargetPtr& cleaner, int chromiumKind);
    const CString& GetTypeName() const override;
    int GetChromiumKind() const { return m_kind; }

private:
    int m_kind;
};
