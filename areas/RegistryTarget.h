// Registry keys and values named by cleaning rules ("HKCU\Software\Vendor\App\Recent"),
// found when they exist and deleted whole.
#pragma once

#include "model/CleanTarget.h"

#include <vector>
#include <windows.h>

// A key's path split at its root: "HKCU\Software\A" gives HKEY_CURRENT_USER, "HKCU" and
// "Software\A". The long root names ("HKEY_CURRENT_USER") are taken too; the short one is
// what found items show.
struct CRegistryPath
{
    HKEY root = nullptr;
    CString rootName;
    CString subKey; // "" for the root itself
};
// False for a text that does not start with a known root.
bool ParseRegistryPath(const CString& text, CRegistryPath& path);

// The sub-keys of root that exist and match subKey, whose components may hold wildcards
// ("Software\Microsoft\Office\*\Word\File MRU"), as the registry names them.
std::vector<CString> FindRegistryKeys(HKEY root, const CString& subKey);
// Whether a value of that name is in the key.
bool HasRegistryValue(HKEY root, const CString& subKey, const CString& valueName);
// Whether the key holds any value or sub-key.
bool HasRegistryContent(HKEY root, const CString& subKey);

class CRegistryTarget : public CCleanTarget
{
public:
    // A whole key (valueName "" and isValue false) or one value of it; typeName is the
    // rule's name, shared by every item it found.
    CRegistryTarget(const CRegistryPath& key, const CString& valueName, bool isValue,
                    const std::shared_ptr<const CString>& typeName);

    const CString& GetTypeName() const override { return *m_typeName; }
    // Deletes the value, or the key with everything below it; one already gone counts as
    // cleaned.
    int Clean() override;
    CString GetCleanNote() const override;

private:
    HKEY m_root;
    CString m_subKey;
    bool m_isValue;
    std::shared_ptr<const CString> m_typeName;
    LONG m_error;
};
