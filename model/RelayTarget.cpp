#include "RelayTarget.h"

#include "TypeNames.h"

CRelayTarget::CRelayTarget(const CString& displayText, const CCleanTargetPtr& relayed)
    : CCleanTarget(displayText), m_relayed(relayed)
{
}

const CString& CRelayTarget::GetTypeName() const { return GetTypeText(TN_RELAY_TARGET); }

int CRelayTarget::Clean()
{
    m_attempted = 1;
    if (!m_relayed)
        return 0;
    if (!m_relayed->GetAttempted())
    {
        m_relayed->SetOwner(m_pOwner);
        m_relayed->Clean();
    }
    m_cleaned = m_relayed->GetCleaned();
    return m_cleaned;
}
