// Most-recently-used lists kept as the values of one registry key.
#pragma once

#include "model/CleanTarget.h"
#include "model/Tickable.h"

class CMRUListTarget : public CCleanTarget
{
public:
    // A display text ending with the Run history's "\1" suffix loses it.
    CMRUListTarget(const CString& displayText, const CString& keyPath, const CString& valueName);

    const CString& GetTypeName() const override;
    // Deletes the value under HKEY_CURRENT_USER\keyPath.
    int Clean() override;

    const CString& GetKeyPath() const { return m_keyPath; }
    const CString& GetValueName() const { return m_valueName; }

private:
    CString m_keyPath;
    CString m_valueName;
};

// One item per string value (but "MRUList", the list's order) and per binary value of
// HKEY_CURRENT_USER\keyPath; stops at the first value that does not fit 1024 bytes.
void ScanMRUKey(const CString& keyPath, CFoundItemList& list, CTickable& tick);
