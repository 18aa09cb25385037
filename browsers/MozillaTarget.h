// Firefox entries: each listed row relays to the one DELETE statement of its query.
#pragma once

#include "model/RelayTarget.h"
#include "model/TypeNames.h"

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

// Runs one deletion statement on a profile database; never listed itself. Its display
// text is the database's path.
class CMozillaCleanerTarget : public CCleanTarget
{
public:
    CMozillaCleanerTarget(const CString& databasePath, const CString& query);
    const CString& GetTypeName() const override;
    int Clean() override;
    const CString& GetQuery() const { return m_query; }
    // The statement can be completed once the listing has run (the last row listed).
    void SetQuery(const CString& query) { m_query = query; }
    // SQLite's message when the statement did not run.
    CString GetCleanNote() const override { return m_failure; }

private:
    CString m_query;
    CString m_failure;
};

class CMozillaTarget : public CRelayTarget
{
public:
    CMozillaTarget(const CString& displayText, const CCleanTargetPtr& cleaner, int mozillaKind);
    const CString& GetTypeName() const override;
    int GetMozillaKind() const { return m_mozillaKind; }

private:
    int m_mozillaKind;
};
