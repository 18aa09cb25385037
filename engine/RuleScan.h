// The scan of cleaning rules: the built-in rules of the catalogue's areas and the user's
// rule files. Every folder and key a rule names passes the guards of the walks and more:
// a key that names or lies above a folder or registry key of the user's or the system's
// is refused (said once, as PROBLEM_REFUSED with the entry's name), and nothing of it is
// listed.
#pragma once

#include "ScanRoots.h"
#include "areas/RegistryTarget.h"
#include "model/CleanTarget.h"
#include "model/Tickable.h"
#include "rules/RuleDetect.h"
#include "rules/RuleFile.h"

#include <set>
#include <string>

// The built-in rules of the catalogue's areas (see CRuleEntry::areaId), parsed once.
const CRuleSet& GetBuiltInRules();

// Whether a registry key (root name and sub-key, "HKCU" and "Software") is or holds a key
// no rule may delete; reason says which.
bool IsProtectedRegistryKey(const CString& rootName, const CString& subKey, CString& reason);

// Scans rule entries into one section's list; an item two keys find is listed once.
class CRuleScanner
{
public:
    CRuleScanner(CScanRoots& roots, const CRuleVariables& variables, CFoundItemList& list, CTickable& tick)
        : m_roots(roots), m_variables(variables), m_list(list), m_tick(tick)
    {
    }
    void Scan(const CRuleEntry& entry);

private:
    class CEntryWalk;
    // A registry exclusion as the registry names its key.
    struct CRegistryExclusion
    {
        CString rootName;
        CString subKey;
        CString value; // "" for the whole key
    };
    // Reads the entry's exclusions (the registry's into m_registryExclusions, the files'
    // into walk); false, with the entry refused and said, when any cannot be honoured.
    bool ReadExclusions(const CRuleEntry& entry, CEntryWalk& walk);
    void ScanFileKey(const CRuleEntry& entry, const CFileKeyRule& key, CEntryWalk& walk);
    void ScanRegKey(const CRuleEntry& entry, const CRegKeyRule& key);
    // Lists a key whole, or, when it holds an exclusion, everything of it but the excluded
    // keys and values and the keys on the way to them.
    void ListKeyTree(const CRuleEntry& entry, const CRegistryPath& key);
    void AddRegistryItem(const CRuleEntry& entry, const CRegistryPath& key, const CString& value, bool isValue);
    // Whether a key (or with value, one value of it) is excluded; holdsExcluded tells a key
    // that is not but holds something that is.
    bool IsKeyExcluded(const CString& rootName, const CString& subKey, const CString* value,
                       bool& holdsExcluded) const;
    void Refuse(const CRuleEntry& entry, const CString& key, const CString& reason);

    CScanRoots& m_roots;
    const CRuleVariables& m_variables;
    CFoundItemList& m_list;
    CTickable& m_tick;
    CPathProbe m_probe;
    CRegistryProbe m_registry;
    std::set<std::wstring> m_listed; // folded paths of what is listed ("K"/"V" before a registry item's)
    std::vector<CRegistryExclusion> m_registryExclusions; // of the entry being scanned
};
