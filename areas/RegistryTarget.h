// Registry keys and values named by cleaning rules ("HKCU\Software\Vendor\App\Recent"),
// found when they exist and deleted whole.
#pragma once

#include "afx/Handle.h"
#include "model/CleanTarget.h"

#include <string>
#include <unordered_map>
#include <vector>
#include <windows.h>

// A key's path split at its root: "HKCU\Software\A" gives HKEY_CURRENT_USER, "HKCU" and
// "Software\A".
struct CRegistryPath
{
    HKEY root = nullptr;
    CString rootName;
    CString subKey; // "" for the root itself
};
// Reads a key's text in the one form the registry names it by: long and short root names
// in any case, separators doubled or at the end dropped, and this user's own hive under
// HKEY_USERS (HKU\<SID>, HKU\<SID>_Classes) taken as HKCU (and HKCU\Software\Classes).
// False for a text that starts with no known root, or (with why in refusal) one that names
// another user's hive (HKU\.DEFAULT, another SID), which no rule reaches.
bool ParseRegistryPath(const CString& text, CRegistryPath& path, CString* refusal = nullptr);
// This user's security identifier as text ("S-1-5-21-..."); "" when it cannot be had.
const CString& CurrentUserSid();

// The sub-keys of root that exist and match subKey, whose components may hold wildcards
// ("Software\Microsoft\Office\*\Word\File MRU"), as the registry names them.
std::vector<CString> FindRegistryKeys(HKEY root, const CString& subKey);
// The same, found in listings of sub-keys kept while the probe lives: thousands of keys
// below a few cost a few listings, not a lookup each.
class CRegistryProbe
{
public:
    std::vector<CString> Find(HKEY root, const CString& subKey);

private:
    // The sub-keys of a key by their folded names (names as the registry holds them).
    typedef std::unordered_map<std::wstring, std::wstring> CListing;
    const CListing& List(HKEY root, const std::wstring& path);
    std::unordered_map<std::wstring, CListing> m_listings; // by root and folded path
};

// Whether a value of that name is in the key.
bool HasRegistryValue(HKEY root, const CString& subKey, const CString& valueName);
// Whether the key holds any value or sub-key.
bool HasRegistryContent(HKEY root, const CString& subKey);
// The names of a key's sub-keys, and of its values, as the registry holds them.
std::vector<CString> RegistrySubKeys(HKEY root, const CString& subKey);
std::vector<CString> RegistryValueNames(HKEY root, const CString& subKey);

// How a key is reached.
enum RegistryReach
{
    REACH_OPEN,    // opened
    REACH_MISSING, // no such key
    REACH_LINK,    // the key, or a key on the way to it, is a registry link: nothing opened
    REACH_FAILED   // the registry refused (see error)
};
// Opens subKey of root one component at a time, each as itself, never following a
// registry link (a link leads wherever its author chose).
RegistryReach OpenKeyWithoutLinks(HKEY root, const CString& subKey, REGSAM access, CRegKey& key, LONG& error);

class CRegistryTarget : public CCleanTarget
{
public:
    // A whole key (valueName "" and isValue false) or one value of it; typeName is the
    // rule's name, shared by every item it found.
    CRegistryTarget(const CRegistryPath& key, const CString& valueName, bool isValue,
                    const std::shared_ptr<const CString>& typeName);

    const CString& GetTypeName() const override { return *m_typeName; }
    bool IsValue() const { return m_isValue; }
    // Deletes the value, or the key with everything below it; one already gone counts as
    // cleaned. The key is reached, and its tree deleted, without following a registry link:
    // a link inside the tree is deleted as the link, and one on the way leaves it alone.
    int Clean() override;
    CString GetCleanNote() const override;

private:
    HKEY m_root;
    CString m_subKey;
    bool m_isValue;
    bool m_throughLink = false; // the last clean found a registry link on the way
    std::shared_ptr<const CString> m_typeName;
    LONG m_error;
};
