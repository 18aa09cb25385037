#include "RuleScan.h"

#include "areas/EntryHandle.h"
#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"
#include "areas/RegistryTarget.h"
#include "areas/Wildcard.h"

namespace
{
// Registry keys no rule may name or lie above, besides the hive roots.
const struct
{
    const char* root;
    const char* subKey;
} kProtectedKeys[] = {
    {"HKCU", "Software"},
    {"HKCU", "Software\\Classes"},
    {"HKCU", "Software\\Microsoft"},
    {"HKCU", "Software\\Microsoft\\Windows"},
    {"HKCU", "Software\\Microsoft\\Windows\\CurrentVersion"},
    {"HKCU", "Software\\Microsoft\\Windows NT\\CurrentVersion"},
    {"HKCU", "Software\\Policies"},
    {"HKCU", "Software\\Wow6432Node"},
    {"HKCU", "Control Panel"},
    {"HKCU", "Environment"},
    {"HKLM", "SOFTWARE"},
    {"HKLM", "SOFTWARE\\Classes"},
    {"HKLM", "SOFTWARE\\Microsoft"},
    {"HKLM", "SOFTWARE\\Microsoft\\Windows"},
    {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"},
    {"HKLM", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"},
    {"HKLM", "SOFTWARE\\Policies"},
    {"HKLM", "SOFTWARE\\Wow6432Node"},
    {"HKLM", "SYSTEM"},
    {"HKLM", "SYSTEM\\CurrentControlSet"},
    {"HKLM", "SAM"},
    {"HKLM", "SECURITY"},
    {"HKLM", "HARDWARE"},
};

// The part of a path before its first component holding a wildcard, or the whole path.
CString BeforeWildcards(const CString& path, bool& wild)
{
    wild = false;
    int start = 0;
    while (start <= path.GetLength())
    {
        int end = path.Find('\\', start);
        if (end < 0)
            end = path.GetLength();
        const CString part = path.Mid(start, end - start);
        if (part.Find('*') >= 0 || part.Find('?') >= 0)
        {
            wild = true;
            return path.Left(start > 0 ? start - 1 : 0);
        }
        start = end + 1;
    }
    return path;
}

std::wstring Folded(const CString& text) { return FoldedName(Utf8ToWide(text, text.GetLength())); }

bool TakesAll(const std::vector<CString>& patterns)
{
    for (const CString& pattern : patterns)
        if (pattern == "*" || pattern == "*.*")
            return true;
    return false;
}

// A file exclusion with its folder resolved.
struct CFileExclusion
{
    ExcludeKind kind;
    CString folder;
    std::wstring pattern; // folded; empty for a whole folder
};
} // namespace

bool IsProtectedRegistryKey(const CString& rootName, const CString& subKey, CString& reason)
{
    const CString key = WithoutTrailingSeparators(subKey);
    // A user's hive under HKU, or a class under HKCR, is a root of its own.
    if (key.IsEmpty() || ((rootName == "HKU" || rootName == "HKCR") && key.Find('\\') < 0))
    {
        reason = "a hive root";
        return true;
    }
    for (const auto& known : kProtectedKeys)
    {
        if (rootName != known.root || !IsSameOrBelow(known.subKey, key))
            continue;
        reason = (IsSameOrBelow(key, known.subKey) ? "is " : "holds ") + rootName + "\\" + known.subKey;
        return true;
    }
    return false;
}

// What a rule's file keys list, and what they leave.
class CRuleScanner::CEntryWalk : public IMatchingWalk
{
public:
    CEntryWalk(const CRuleEntry& entry, std::set<std::wstring>& listed) : m_entry(entry), m_listed(listed) {}

    void AddExclusion(ExcludeKind kind, const CString& folder, const CString& pattern)
    {
        const CString resolved = ResolveFolder(folder);
        m_exclusions.push_back({kind, resolved.IsEmpty() ? WithoutTrailingSeparators(folder) : resolved, Folded(pattern)});
    }
    void SetPatterns(const std::vector<CString>& patterns)
    {
        m_patterns.clear();
        for (const CString& pattern : patterns)
            m_patterns.push_back(Folded(pattern));
    }

    bool Matches(const std::wstring& foldedName) const override
    {
        for (const std::wstring& pattern : m_patterns)
            if (MatchesWildcard(pattern, foldedName))
                return true;
        return false;
    }
    bool IsKept(const CString& path, bool folder) const override
    {
        if (m_listed.count(Folded(path)))
            return true;
        const std::wstring name = Folded(LastComponent(path));
        for (const CFileExclusion& exclusion : m_exclusions)
        {
            if (exclusion.kind == EXCLUDE_FILE)
            {
                if (!folder && IsSameOrBelow(path, exclusion.folder) &&
                    LastComponent(path).GetLength() + exclusion.folder.GetLength() + 1 == path.GetLength() &&
                    MatchesWildcard(exclusion.pattern, name))
                    return true;
            }
            else if (IsSameOrBelow(path, exclusion.folder) &&
                     (exclusion.pattern.empty() || (!folder && MatchesWildcard(exclusion.pattern, name))))
                return true;
        }
        return false;
    }
    CCleanTargetPtr MakeTarget(const CString& path, bool folder) override
    {
        m_listed.insert(Folded(path));
        return std::make_shared<CNamedFileTarget>(folder ? path + "\\" : path, folder ? FK_TEMP_FOLDER : FK_TEMP_FILE,
                                                  m_entry.typeName);
    }

private:
    const CRuleEntry& m_entry;
    std::set<std::wstring>& m_listed;
    std::vector<std::wstring> m_patterns;
    std::vector<CFileExclusion> m_exclusions;
};

void CRuleScanner::Refuse(const CRuleEntry& entry, const CString& key, const CString& reason)
{
    m_tick.ReportProblem(PROBLEM_REFUSED, entry.name, key + ": " + reason);
}

void CRuleScanner::ScanFileKey(const CRuleEntry& entry, const CFileKeyRule& key, CEntryWalk& walk)
{
    const CString& name = key.keyName;
    std::vector<CString> expanded;
    if (!m_variables.Expand(key.folder, expanded))
        return; // a variable that stands for nothing here: nothing to find
    // Every folder the key names is checked before any is listed: a key that reaches one
    // folder it may not lists nothing.
    std::vector<CString> admitted;
    const bool takesAll = TakesAll(key.patterns);
    for (const CString& path : expanded)
    {
        CString root, rest, reason;
        if (HasParentComponent(path))
            return Refuse(entry, name, path + " names a parent folder (..)");
        if (!SplitVolumePath(path, root, rest))
            return Refuse(entry, name, path + " is not a full path");
        bool wild = false;
        const CString searched = BeforeWildcards(path, wild);
        if (wild && m_roots.IsAboveProtected(searched, reason))
            return Refuse(entry, name, path + " searches with wildcards from a folder that " + reason);
        for (const CString& folder : wild ? m_probe.Find(path, true) : std::vector<CString>{path})
        {
            CString resolved;
            switch (m_roots.AdmitRuleFolder(folder, resolved, reason, takesAll))
            {
            case CScanRoots::ROOT_REFUSED:
                return Refuse(entry, name, folder + ": " + reason);
            case CScanRoots::ROOT_WALK:
                admitted.push_back(resolved);
                break;
            case CScanRoots::ROOT_MISSING:
            case CScanRoots::ROOT_DUPLICATE: // inside a folder its area walks whole
                break;
            }
        }
    }
    walk.SetPatterns(key.patterns);
    for (const CString& folder : admitted)
        WalkMatching(folder, key.recurse, key.removeSelf, walk, m_list, m_tick);
}

bool CRuleScanner::IsRegistryExcluded(const CRuleEntry& entry, const CString& rootName, const CString& subKey,
                                      const CString* value)
{
    for (const CExcludeRule& exclusion : entry.excludes)
    {
        CRegistryPath path;
        if (exclusion.kind != EXCLUDE_REG || !ParseRegistryPath(WithoutTrailingSeparators(exclusion.path), path) ||
            path.rootName != rootName)
            continue;
        // A whole key is kept when it is, holds or lies inside what is excluded.
        if (!value && (IsSameOrBelow(path.subKey, subKey) || IsSameOrBelow(subKey, path.subKey)))
            return true;
        if (value && IsSameOrBelow(subKey, path.subKey) &&
            (exclusion.pattern.IsEmpty() ||
             (subKey.CompareNoCase(path.subKey) == 0 && value->CompareNoCase(exclusion.pattern) == 0)))
            return true;
    }
    return false;
}

void CRuleScanner::ScanRegKey(const CRuleEntry& entry, const CRegKeyRule& key)
{
    const CString& name = key.keyName;
    CRegistryPath path;
    if (!ParseRegistryPath(WithoutTrailingSeparators(key.key), path))
        return Refuse(entry, name, key.key + " is not a registry key");
    CString reason;
    bool wild = false;
    const CString searched = BeforeWildcards(path.subKey, wild);
    if (IsProtectedRegistryKey(path.rootName, searched, reason))
        return Refuse(entry, name, key.key + (wild ? " searches with wildcards from a key that " : ": ") + reason);
    const std::vector<CString> keys = FindRegistryKeys(path.root, path.subKey);
    for (const CString& found : keys)
        if (IsProtectedRegistryKey(path.rootName, found, reason))
            return Refuse(entry, name, path.rootName + "\\" + found + ": " + reason);
    for (const CString& found : keys)
    {
        CRegistryPath concrete = path;
        concrete.subKey = found;
        if (key.isValue ? !HasRegistryValue(path.root, found, key.value) : !HasRegistryContent(path.root, found))
            continue;
        if (IsRegistryExcluded(entry, path.rootName, found, key.isValue ? &key.value : nullptr))
            continue;
        auto item = std::make_shared<CRegistryTarget>(concrete, key.value, key.isValue, entry.typeName);
        if (!m_listed.insert(Folded(item->GetDisplayText())).second)
            continue;
        m_list.push_back(item);
        m_tick.Tick();
    }
}

void CRuleScanner::Scan(const CRuleEntry& entry)
{
    CEntryWalk walk(entry, m_listed);
    for (const CExcludeRule& exclusion : entry.excludes)
    {
        std::vector<CString> folders;
        if (exclusion.kind == EXCLUDE_REG || !m_variables.Expand(exclusion.path, folders))
            continue;
        for (const CString& folder : folders)
        {
            const bool wild = HasWildcard(Utf8ToWide(folder, folder.GetLength()));
            for (const CString& concrete : wild ? m_probe.Find(folder, true) : std::vector<CString>{folder})
                walk.AddExclusion(exclusion.kind, concrete, exclusion.pattern);
        }
    }
    for (const CFileKeyRule& key : entry.fileKeys)
    {
        if (m_tick.IsStopRequested())
            return;
        ScanFileKey(entry, key, walk);
    }
    for (const CRegKeyRule& key : entry.regKeys)
        ScanRegKey(entry, key);
}
