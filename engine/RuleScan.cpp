#include "RuleScan.h"

#include "areas/EntryHandle.h"
#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"
#include "areas/RegistryTarget.h"
#include "areas/Wildcard.h"

namespace
{
// Registry keys no rule may name or lie above, besides the hive roots. Keys are compared
// with their Wow6432Node components taken out: the 32-bit view mirrors the key it names.
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
    {"HKCU", "Control Panel"},
    {"HKCU", "Environment"},
    {"HKLM", "SOFTWARE"},
    {"HKLM", "SOFTWARE\\Classes"},
    {"HKLM", "SOFTWARE\\Microsoft"},
    {"HKLM", "SOFTWARE\\Microsoft\\Windows"},
    {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"},
    {"HKLM", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"},
    {"HKLM", "SOFTWARE\\Policies"},
    {"HKLM", "SYSTEM"},
    {"HKLM", "SYSTEM\\CurrentControlSet"},
    {"HKLM", "SAM"},
    {"HKLM", "SECURITY"},
    {"HKLM", "HARDWARE"},
};

// The part of a path before its first component holding a wildcard (the whole path when
// none does), and that component.
CString BeforeWildcards(const CString& path, bool& wild, CString& component)
{
    wild = false;
    int start = 0;
    while (start <= path.GetLength())
    {
        int end = path.Find('\\', start);
        if (end < 0)
            end = path.GetLength();
        component = path.Mid(start, end - start);
        if (component.Find('*') >= 0 || component.Find('?') >= 0)
        {
            wild = true;
            return path.Left(start > 0 ? start - 1 : 0);
        }
        start = end + 1;
    }
    component.Empty();
    return path;
}

// Whether a wildcard component names something: it starts or ends with plain text
// ("Discord*", "*Cache"), so it finds a program's folder, not every folder.
bool NamesSomething(const CString& component)
{
    const int last = component.GetLength() - 1;
    return last >= 0 && ((component[0] != '*' && component[0] != '?') ||
                         (component[last] != '*' && component[last] != '?'));
}

// A key without its Wow6432Node components, as the guard compares keys.
CString WithoutWow64(const CString& subKey)
{
    CString folded;
    int start = 0;
    while (start <= subKey.GetLength())
    {
        int end = subKey.Find('\\', start);
        if (end < 0)
            end = subKey.GetLength();
        const CString part = subKey.Mid(start, end - start);
        if (!part.IsEmpty() && part.CompareNoCase("Wow6432Node") != 0)
            folded += (folded.IsEmpty() ? "" : "\\") + part;
        start = end + 1;
    }
    return folded;
}

std::wstring Folded(const CString& text) { return FoldedName(Utf8ToWide(text, text.GetLength())); }

// Whether a pattern takes every name: stars, with at most one "?" among them (a name has
// at least one character), or "*.*", which the system takes for every name.
bool MatchesEveryName(const CString& pattern)
{
    if (pattern == "*.*")
        return true;
    int stars = 0, questions = 0;
    for (int i = 0; i < pattern.GetLength(); ++i)
    {
        if (pattern[i] == '*')
            ++stars;
        else if (pattern[i] == '?')
            ++questions;
        else
            return false;
    }
    return stars > 0 && questions <= 1;
}

bool TakesAll(const std::vector<CString>& patterns)
{
    for (const CString& pattern : patterns)
        if (MatchesEveryName(pattern))
            return true;
    return false;
}

bool HasWildcardIn(const std::vector<CString>& patterns)
{
    for (const CString& pattern : patterns)
        if (pattern.Find('*') >= 0 || pattern.Find('?') >= 0)
            return true;
    return false;
}

// A file exclusion with its folder resolved.
struct CFileExclusion
{
    ExcludeKind kind;
    CString folder;
    std::vector<std::wstring> patterns; // folded; none for a whole folder
};

bool MatchesAny(const std::vector<std::wstring>& patterns, const std::wstring& name)
{
    for (const std::wstring& pattern : patterns)
        if (MatchesWildcard(pattern, name))
            return true;
    return false;
}

// The text of a refusal: the key and why.
CString KeyRefusal(const CString& key, const CString& reason) { return key + ": " + reason; }
} // namespace

bool IsProtectedRegistryKey(const CString& rootName, const CString& subKey, CString& reason)
{
    const CString key = WithoutWow64(WithoutTrailingSeparators(subKey));
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

    void AddExclusion(ExcludeKind kind, const CString& folder, const std::vector<CString>& patterns)
    {
        const CString resolved = ResolveFolder(folder);
        CFileExclusion exclusion = {kind, resolved.IsEmpty() ? WithoutTrailingSeparators(folder) : resolved, {}};
        for (const CString& pattern : patterns)
            exclusion.patterns.push_back(Folded(pattern));
        m_exclusions.push_back(exclusion);
    }
    void SetPatterns(const std::vector<CString>& patterns)
    {
        m_patterns.clear();
        for (const CString& pattern : patterns)
            m_patterns.push_back(Folded(pattern));
    }

    bool Matches(const std::wstring& foldedName) const override { return MatchesAny(m_patterns, foldedName); }
    bool IsKept(const CString& path, bool folder) const override
    {
        if (m_listed.count(Folded(path)))
            return true;
        const std::wstring name = Folded(LastComponent(path));
        for (const CFileExclusion& exclusion : m_exclusions)
        {
            if (!IsSameOrBelow(path, exclusion.folder))
                continue;
            if (exclusion.kind == EXCLUDE_FILE)
            {
                // The files of the folder itself, by name.
                if (!folder && LastComponent(path).GetLength() + exclusion.folder.GetLength() + 1 == path.GetLength() &&
                    MatchesAny(exclusion.patterns, name))
                    return true;
            }
            else if (exclusion.patterns.empty() || (!folder && MatchesAny(exclusion.patterns, name)))
                return true; // below the folder at any depth
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
    m_tick.ReportProblem(PROBLEM_REFUSED, entry.name, KeyRefusal(key, reason));
}

void CRuleScanner::ScanFileKey(const CRuleEntry& entry, const CFileKeyRule& key, CEntryWalk& walk)
{
    const CString& name = key.keyName;
    std::vector<CString> expanded;
    if (!m_variables.Expand(key.folder, expanded))
        return; // a variable that stands for nothing here: nothing to find
    // Every folder the key names is checked before any is listed: a key that reaches one
    // folder it may not lists nothing.
    struct CAdmitted
    {
        CString folder;
        bool namedFilesOnly; // an application-data folder itself: only the files named
    };
    std::vector<CAdmitted> admitted;
    const bool takesAll = TakesAll(key.patterns);
    const bool namesFiles = !key.recurse && !HasWildcardIn(key.patterns);
    for (const CString& path : expanded)
    {
        CString root, rest, reason, component;
        if (HasParentComponent(path))
            return Refuse(entry, name, path + " names a parent folder (..)");
        if (!SplitVolumePath(path, root, rest))
            return Refuse(entry, name, path + " is not a full path");
        bool wild = false;
        const CString searched = BeforeWildcards(path, wild, component);
        // Wildcards may search a protected folder for what they name ("Discord*"), never
        // for every folder in it, and never a drive from its root.
        const bool driveRoot = WithoutTrailingSeparators(searched).GetLength() < root.GetLength();
        if (wild && m_roots.IsAboveProtected(searched, reason) && (!NamesSomething(component) || driveRoot))
            return Refuse(entry, name, path + " searches with wildcards from a folder that " + reason);
        // The folders are looked up in listings kept for the scan: thousands of keys below
        // a few folders cost a few listings, not an open each.
        for (const CString& folder : m_probe.Find(path, true))
        {
            CString resolved;
            switch (m_roots.AdmitRuleFolder(folder, resolved, reason, takesAll))
            {
            case CScanRoots::ROOT_REFUSED:
                if (namesFiles && m_roots.IsApplicationDataFolder(resolved))
                {
                    admitted.push_back({resolved, true});
                    break;
                }
                return Refuse(entry, name, folder + ": " + reason);
            case CScanRoots::ROOT_WALK:
                admitted.push_back({resolved, false});
                break;
            case CScanRoots::ROOT_MISSING:
            case CScanRoots::ROOT_DUPLICATE: // inside a folder its area walks whole
                break;
            }
        }
    }
    walk.SetPatterns(key.patterns);
    for (const CAdmitted& folder : admitted)
        WalkMatching(folder.folder, key.recurse && !folder.namedFilesOnly, key.removeSelf && !folder.namedFilesOnly,
                     walk, m_list, m_tick);
}

bool CRuleScanner::IsKeyExcluded(const CString& rootName, const CString& subKey, const CString* value,
                                 bool& holdsExcluded) const
{
    holdsExcluded = false;
    for (const CRegistryExclusion& exclusion : m_registryExclusions)
    {
        if (exclusion.rootName != rootName)
            continue;
        if (exclusion.value.IsEmpty())
        {
            // A whole key: what lies inside it stays, and what holds it keeps it.
            if (IsSameOrBelow(subKey, exclusion.subKey))
                return true;
            if (!value && IsSameOrBelow(exclusion.subKey, subKey))
                holdsExcluded = true;
        }
        else if (IsSameOrBelow(exclusion.subKey, subKey))
        {
            if (value && subKey.CompareNoCase(exclusion.subKey) == 0 && value->CompareNoCase(exclusion.value) == 0)
                return true;
            if (!value)
                holdsExcluded = true;
        }
    }
    return false;
}

void CRuleScanner::AddRegistryItem(const CRuleEntry& entry, const CRegistryPath& key, const CString& value,
                                   bool isValue)
{
    auto item = std::make_shared<CRegistryTarget>(key, value, isValue, entry.typeName);
    // A key and a value of the same name are two items.
    if (!m_listed.insert((isValue ? L"V" : L"K") + Folded(item->GetDisplayText())).second)
        return;
    m_list.push_back(item);
    m_tick.Tick();
}

void CRuleScanner::ListKeyTree(const CRuleEntry& entry, const CRegistryPath& key)
{
    bool holdsExcluded = false;
    if (IsKeyExcluded(key.rootName, key.subKey, nullptr, holdsExcluded))
        return;
    if (!holdsExcluded)
    {
        if (HasRegistryContent(key.root, key.subKey))
            AddRegistryItem(entry, key, CString(), false);
        return;
    }
    // The key keeps what is excluded and the keys on the way to it; everything else goes.
    for (const CString& value : RegistryValueNames(key.root, key.subKey))
        if (!IsKeyExcluded(key.rootName, key.subKey, &value, holdsExcluded))
            AddRegistryItem(entry, key, value, true);
    for (const CString& child : RegistrySubKeys(key.root, key.subKey))
    {
        CRegistryPath sub = key;
        sub.subKey = key.subKey + "\\" + child;
        CRegKey open;
        LONG error = ERROR_SUCCESS;
        // A link inside is neither entered nor listed.
        if (OpenKeyWithoutLinks(sub.root, sub.subKey, KEY_READ, open, error) == REACH_OPEN)
            ListKeyTree(entry, sub);
    }
}

void CRuleScanner::ScanRegKey(const CRuleEntry& entry, const CRegKeyRule& key)
{
    const CString& name = key.keyName;
    CRegistryPath path;
    CString reason;
    if (!ParseRegistryPath(key.key, path, &reason))
        return Refuse(entry, name, reason.IsEmpty() ? key.key + " is not a registry key" : reason);
    bool wild = false;
    CString component;
    const CString searched = BeforeWildcards(path.subKey, wild, component);
    if (IsProtectedRegistryKey(path.rootName, searched, reason))
        return Refuse(entry, name, key.key + (wild ? " searches with wildcards from a key that " : ": ") + reason);
    const std::vector<CString> keys = m_registry.Find(path.root, path.subKey);
    for (const CString& found : keys)
    {
        if (IsProtectedRegistryKey(path.rootName, found, reason))
            return Refuse(entry, name, path.rootName + "\\" + found + ": " + reason);
        CRegKey open;
        LONG error = ERROR_SUCCESS;
        if (OpenKeyWithoutLinks(path.root, found, KEY_READ, open, error) == REACH_LINK)
            return Refuse(entry, name,
                          path.rootName + "\\" + found + " is, or is reached through, a registry link; not entered");
    }
    for (const CString& found : keys)
    {
        CRegistryPath concrete = path;
        concrete.subKey = found;
        if (!key.isValue)
            ListKeyTree(entry, concrete);
        else
        {
            bool holdsExcluded = false;
            if (HasRegistryValue(path.root, found, key.value) &&
                !IsKeyExcluded(path.rootName, found, &key.value, holdsExcluded))
                AddRegistryItem(entry, concrete, key.value, true);
        }
    }
}

bool CRuleScanner::ReadExclusions(const CRuleEntry& entry, CEntryWalk& walk)
{
    m_registryExclusions.clear();
    if (!entry.unusable.IsEmpty())
    {
        m_tick.ReportProblem(PROBLEM_REFUSED, entry.name, entry.unusable);
        return false;
    }
    for (const CExcludeRule& exclusion : entry.excludes)
    {
        if (exclusion.kind == EXCLUDE_REG)
        {
            CRegistryPath path;
            CString reason;
            if (!ParseRegistryPath(exclusion.path, path, &reason))
            {
                Refuse(entry, exclusion.keyName,
                       (reason.IsEmpty() ? exclusion.path + " is not a registry key" : reason) +
                           "; the entry does not run without it");
                return false;
            }
            m_registryExclusions.push_back({path.rootName, path.subKey, exclusion.value});
            continue;
        }
        std::vector<CString> folders;
        if (!m_variables.Expand(exclusion.path, folders))
        {
            Refuse(entry, exclusion.keyName,
                   exclusion.path + " names a folder this system does not have; the entry does not run without it");
            return false;
        }
        for (const CString& folder : folders)
        {
            const bool wild = HasWildcard(Utf8ToWide(folder, folder.GetLength()));
            for (const CString& concrete : wild ? m_probe.Find(folder, true) : std::vector<CString>{folder})
                walk.AddExclusion(exclusion.kind, concrete, exclusion.patterns);
        }
    }
    return true;
}

void CRuleScanner::Scan(const CRuleEntry& entry)
{
    CEntryWalk walk(entry, m_listed);
    // Every exclusion is read before any key runs: an entry whose exclusions cannot all be
    // honoured does not run at all.
    if (!ReadExclusions(entry, walk))
        return;
    for (const CFileKeyRule& key : entry.fileKeys)
    {
        if (m_tick.IsStopRequested())
            return;
        ScanFileKey(entry, key, walk);
    }
    for (const CRegKeyRule& key : entry.regKeys)
        ScanRegKey(entry, key);
}
