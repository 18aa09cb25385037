// A listed item whose real work is done once, by a shared target, for its whole group.
#pragma once

#include "CleanTarget.h"

class CRelayTarget : public CCleanTarget
{
public:
    CRelayTarget(const CString& displayText, const CCleanTargetPtr& relayed);

    const CString& GetTypeName() const override;
    // Cleans the shared target on the group's first call only, then takes its result.
    int Clean() override;

    const CCleanTargetPtr& GetRelayed() const { return m_relayed; }
    const CCleanTarget* GetWorker() const override { return m_relayed ? m_relayed.get() : this; }

private:
    CCleanTargetPtr m_relayed;
};
