#include "MozillaTarget.h"

#include "model/TypeNames.h"

CMozillaCleanerTarget::CMozillaCleanerTarget(const CString& databasePath, const CString& query)
    : CCleanTarget(databasePath), m_query(query)
{
}

const CString& CMozillaCleanerTarget::GetTypeName() const { return GetTypeText(TN_MOZILLA_QUERY); }

CMozillaTarget::CMozillaTarget(const CString& displayText, const CCleanTargetPtr& cleaner, int mozillaKind)
    : CRelayTarget(displayText, cleaner), m_mozillaKind(mozillaKind)
{
}

const CString& CMozillaTarget::GetTypeName() const { return GetTypeText(m_mozillaKind); }
