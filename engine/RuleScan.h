// The scan of cleaning rules: the built-in rules of the catalogue's areas and the user's
// rule files. Every folder and key a rule names passes the guards of the walks and more:
// a key that names or lies above a folder or registry key of the user's or the system's
// is refused (said once, as PROBLEM_REFUSED with the entry's name), and nothing of it is
// listed.
#pragma once

#include "ScanRoots.h"
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
    void ScanFileKey(const CRuleEntry& entry, const CFileKeyRule& key, CEntryWalk& walk);
    void ScanRegKey(const CRuleEntry& entry, const CRegKeyRule& key);
    void Refuse(const CRuleEntry& entry, const CString& key, const CString& reason);
    bool IsRegistryExcluded(const CRuleEntry& entry, const CString& rootName, const CString& subKey,
                            const CString* value);

    CScanRoots& m_roots;
    const CRuleVariables& m_variables;
    CFoundItemList& m_list;
    CTickable& m_tick;
    CPathProbe m_probe;
    std::set<std::wstring> m_listed; // folded paths of what is listed
};
