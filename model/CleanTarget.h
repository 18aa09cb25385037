// The found-item model: every trace a scan finds is one CCleanTarget.
#pragma once

#include "ItemText.h"
#include "afx/String.h"

#include <memory>
#include <vector>

class ICleanHost;

class CCleanTarget
{
public:
    explicit CCleanTarget(const CString& displayText);
    // With a second text of the item's own, kept beside the first (see GetExtraText).
    CCleanTarget(const CString& displayText, const CString& extraText);
    virtual ~CCleanTarget();
    CCleanTarget(const CCleanTarget&) = delete;
    CCleanTarget& operator=(const CCleanTarget&) = delete;

    // A text that lives for the whole program; never allocates.
    virtual const CString& GetTypeName() const;
    // Removes the trace and sets the attempted and cleaned flags; callers read
    // the cleaned flag, not the result.
    virtual int Clean();
    // What does the work of cleaning this item: the item itself, or the one target its
    // group shares (a database statement).
    virtual const CCleanTarget* GetWorker() const { return this; }
    // What the worker's last clean has to say, "" for nothing: why it failed, where it
    // can say more than "left", or what it found (a drive with no free space to wipe).
    virtual CString GetCleanNote() const { return CString(); }

    CString GetDisplayText() const { return m_displayText.Get(); }
    CString GetExtraText() const { return m_displayText.GetExtra(); }
    int GetAttempted() const { return m_attempted; }
    int GetCleaned() const { return m_cleaned; }
    ICleanHost* GetOwner() const { return m_pOwner; }
    void SetOwner(ICleanHost* owner) { m_pOwner = owner; }

protected:
    // Kept small: a scan may hold a million items.
    CItemText m_displayText;
    ICleanHost* m_pOwner;
    unsigned char m_attempted;
    unsigned char m_cleaned;
};

typedef std::shared_ptr<CCleanTarget> CCleanTargetPtr;
typedef std::vector<CCleanTargetPtr> CFoundItemList;
