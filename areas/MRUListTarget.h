// Most-recently-used lists kept as the values of one registry key.
#pragma once

#include "model/CleanTarget.h"
#include "model/Tickable.h"

class CMRUListTarget : public CCleanTarget
{
public:
    // A display text ending with the Run history's "\1" suffix loses it. The values of
    // one key share its path.
    CMRUListTarget(const CString& displayText, const std::shared_ptr<const CString>& keyPath,
                   const CString& valueName);

    const CString& GetTypeName() const override;
    // Deletes the value under HKEY_CURRENT_USER\keyPath.
    int Clean() override;

    const CString& GetKeyPath() const { return *m_keyPath; }
    CString GetValueName() const { return GetExtraText(); }

private:
    std::shared_ptr<const CString> m_keyPath;
};

// One item per string value (but "MRUList", the list's order) and per binary value of
// HKEY_CURRENT_USER\keyPath; stops at the first value that does not fit 1024 bytes.
void ScanMRUKey(const CString& keyPath, CFoundItemList& list, CTickable& tick);
