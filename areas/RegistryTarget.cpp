#include "RegistryTarget.h"

#include "Wildcard.h"
#include "afx/Handle.h"

namespace
{
const struct
{
    const char* shortName;
    const char* longName;
    HKEY root;
} kRoots[] = {
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKU", "HKEY_USERS", HKEY_USERS},                {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKCC", "HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

CString FromWide(const std::wstring& wide)
{
    CString text;
    WideToUtf8(wide.data(), wide.size(), text);
    return text;
}

// Appends to found the keys below the open key parent (named prefix) that match the
// components from index on.
void FindMatching(HKEY parent, const std::wstring& prefix, const std::vector<std::wstring>& components, size_t index,
                  std::vector<CString>& found)
{
    if (index == components.size())
    {
        found.push_back(FromWide(prefix));
        return;
    }
    const std::wstring& component = components[index];
    auto descend = [&](const std::wstring& name) {
        CRegKey child;
        if (child.OpenW(parent, name.c_str(), KEY_READ) == ERROR_SUCCESS)
            FindMatching(child, prefix.empty() ? name : prefix + L"\\" + name, components, index + 1, found);
    };
    if (!HasWildcard(component))
    {
        descend(component);
        return;
    }
    const std::wstring pattern = FoldedName(component);
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i)
    {
        DWORD length = 256;
        if (RegEnumKeyExW(parent, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (MatchesWildcard(pattern, FoldedName(name, length)))
            names.emplace_back(name, length);
    }
    for (const std::wstring& match : names)
        descend(match);
}
} // namespace

bool ParseRegistryPath(const CString& text, CRegistryPath& path)
{
    const int slash = text.Find('\\');
    const CString first = slash < 0 ? text : text.Left(slash);
    for (const auto& root : kRoots)
    {
        if (first.CompareNoCase(root.shortName) != 0 && first.CompareNoCase(root.longName) != 0)
            continue;
        path.root = root.root;
        path.rootName = root.shortName;
        path.subKey = slash < 0 ? CString() : text.Mid(slash + 1);
        return true;
    }
    return false;
}

std::vector<CString> FindRegistryKeys(HKEY root, const CString& subKey)
{
    // Runs of plain components are opened in one call: each open is a round trip to the
    // registry, and most keys hold no wildcard at all.
    std::vector<std::wstring> components;
    const std::wstring wide = Utf8ToWide(subKey, subKey.GetLength());
    size_t start = 0;
    bool literalRun = false;
    while (start <= wide.size())
    {
        size_t end = wide.find(L'\\', start);
        if (end == std::wstring::npos)
            end = wide.size();
        if (end > start)
        {
            const std::wstring part = wide.substr(start, end - start);
            const bool literal = !HasWildcard(part);
            if (literal && literalRun)
                components.back() += L"\\" + part;
            else
                components.push_back(part);
            literalRun = literal;
        }
        start = end + 1;
    }
    std::vector<CString> found;
    if (!components.empty())
        FindMatching(root, std::wstring(), components, 0, found);
    return found;
}

bool HasRegistryValue(HKEY root, const CString& subKey, const CString& valueName)
{
    CRegKey key;
    if (key.OpenW(root, Utf8ToWide(subKey, subKey.GetLength()).c_str(), KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExW(key, Utf8ToWide(valueName, valueName.GetLength()).c_str(), nullptr, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
}

bool HasRegistryContent(HKEY root, const CString& subKey)
{
    CRegKey key;
    if (key.OpenW(root, Utf8ToWide(subKey, subKey.GetLength()).c_str(), KEY_READ) != ERROR_SUCCESS)
        return false;
    DWORD keys = 0, values = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS &&
           keys + values > 0;
}

CRegistryTarget::CRegistryTarget(const CRegistryPath& key, const CString& valueName, bool isValue,
                                 const std::shared_ptr<const CString>& typeName)
    : CCleanTarget(key.rootName + "\\" + key.subKey + (isValue ? "\\" + valueName : CString()), valueName),
      m_root(key.root), m_subKey(key.subKey), m_isValue(isValue), m_typeName(typeName), m_error(ERROR_SUCCESS)
{
}

int CRegistryTarget::Clean()
{
    m_attempted = 1;
    const std::wstring subKey = Utf8ToWide(m_subKey, m_subKey.GetLength());
    if (m_isValue)
    {
        CRegKey key;
        m_error = key.OpenW(m_root, subKey.c_str(), KEY_SET_VALUE);
        if (m_error == ERROR_SUCCESS)
        {
            const CString value = GetExtraText();
            m_error = RegDeleteValueW(key, Utf8ToWide(value, value.GetLength()).c_str());
        }
    }
    else if (!subKey.empty()) // a root is never listed; never deleted either
        m_error = RegDeleteTreeW(m_root, subKey.c_str());
    else
        m_error = ERROR_ACCESS_DENIED;
    m_cleaned = m_error == ERROR_SUCCESS || m_error == ERROR_FILE_NOT_FOUND ? 1 : 0;
    return m_cleaned;
}

CString CRegistryTarget::GetCleanNote() const
{
    return m_attempted && !m_cleaned ? ErrorText(static_cast<unsigned long>(m_error)) : CString();
}
