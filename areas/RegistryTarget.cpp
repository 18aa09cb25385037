#include "RegistryTarget.h"

#include "Wildcard.h"
#include "afx/Handle.h"

#include <sddl.h>
#include <winternl.h>

extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

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

// The names of an open key's sub-keys, as the registry holds them (at most 255 characters).
std::vector<std::wstring> SubKeyNames(HKEY key)
{
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i)
    {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
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
    for (const std::wstring& name : SubKeyNames(parent))
        if (MatchesWildcard(pattern, FoldedName(name)))
            descend(name);
}
} // namespace

const CString& CurrentUserSid()
{
    static const CString sid = [] {
        CString text;
        CHandle token;
        HANDLE raw = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
            return text;
        token.Reset(raw);
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size ? size : 1);
        wchar_t* string = nullptr;
        if (GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
            ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &string))
        {
            WideToUtf8(string, wcslen(string), text);
            LocalFree(string);
        }
        return text;
    }();
    return sid;
}

bool ParseRegistryPath(const CString& text, CRegistryPath& path, CString* refusal)
{
    // The components, without empty ones: "HKCU\\Software\" is "HKCU\Software".
    std::vector<CString> parts;
    for (int start = 0; start <= text.GetLength();)
    {
        int end = text.Find('\\', start);
        if (end < 0)
            end = text.GetLength();
        if (end > start)
            parts.push_back(text.Mid(start, end - start));
        start = end + 1;
    }
    if (parts.empty())
        return false;
    for (const auto& root : kRoots)
    {
        if (parts[0].CompareNoCase(root.shortName) != 0 && parts[0].CompareNoCase(root.longName) != 0)
            continue;
        path.root = root.root;
        path.rootName = root.shortName;
        size_t first = 1;
        if (path.root == HKEY_USERS && parts.size() > 1)
        {
            // This user's own hive is HKCU; any other is another user's.
            const CString& sid = CurrentUserSid();
            const bool own = !sid.IsEmpty() && parts[1].CompareNoCase(sid) == 0;
            const bool classes = !sid.IsEmpty() && parts[1].CompareNoCase(sid + "_Classes") == 0;
            if (!own && !classes)
            {
                if (refusal)
                    *refusal = "HKU\\" + parts[1] + " is another user's part of the registry";
                return false;
            }
            path.root = HKEY_CURRENT_USER;
            path.rootName = "HKCU";
            first = 2;
            if (classes)
                parts.insert(parts.begin() + 2, {CString("Software"), CString("Classes")});
        }
        path.subKey.Empty();
        for (size_t i = first; i < parts.size(); ++i)
            path.subKey += (path.subKey.IsEmpty() ? "" : "\\") + parts[i];
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

const CRegistryProbe::CListing& CRegistryProbe::List(HKEY root, const std::wstring& path)
{
    const std::wstring cacheKey = std::to_wstring(reinterpret_cast<uintptr_t>(root)) + L"|" + FoldedName(path);
    auto found = m_listings.find(cacheKey);
    if (found != m_listings.end())
        return found->second;
    CListing& listing = m_listings[cacheKey];
    CRegKey key;
    if (key.OpenW(root, path.c_str(), KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS)
        return listing;
    for (const std::wstring& name : SubKeyNames(key))
        listing.emplace(FoldedName(name), name);
    return listing;
}

std::vector<CString> CRegistryProbe::Find(HKEY root, const CString& subKey)
{
    std::vector<std::wstring> current{std::wstring()};
    const std::wstring wide = Utf8ToWide(subKey, subKey.GetLength());
    size_t start = 0;
    while (start < wide.size() && !current.empty())
    {
        size_t end = wide.find(L'\\', start);
        if (end == std::wstring::npos)
            end = wide.size();
        const std::wstring component = FoldedName(wide.substr(start, end - start));
        start = end + 1;
        if (component.empty())
            continue;
        std::vector<std::wstring> next;
        for (const std::wstring& parent : current)
        {
            const CListing& listing = List(root, parent);
            auto join = [&](const std::wstring& name) { return parent.empty() ? name : parent + L"\\" + name; };
            if (!HasWildcard(component))
            {
                auto found = listing.find(component);
                if (found != listing.end())
                    next.push_back(join(found->second));
                continue;
            }
            for (const auto& entry : listing)
                if (MatchesWildcard(component, entry.first))
                    next.push_back(join(entry.second));
        }
        current.swap(next);
    }
    std::vector<CString> keys;
    for (const std::wstring& key : current)
        if (!key.empty())
            keys.push_back(FromWide(key));
    return keys;
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

std::vector<CString> RegistrySubKeys(HKEY root, const CString& subKey)
{
    std::vector<CString> names;
    CRegKey key;
    if (key.OpenW(root, Utf8ToWide(subKey, subKey.GetLength()).c_str(), KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS)
        return names;
    for (const std::wstring& name : SubKeyNames(key))
        names.push_back(FromWide(name));
    return names;
}

std::vector<CString> RegistryValueNames(HKEY root, const CString& subKey)
{
    std::vector<CString> names;
    CRegKey key;
    if (key.OpenW(root, Utf8ToWide(subKey, subKey.GetLength()).c_str(), KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return names;
    // Value names are at most 16383 characters.
    std::vector<wchar_t> name(16384);
    for (DWORD i = 0;; ++i)
    {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(FromWide(std::wstring(name.data(), length)));
    }
    return names;
}

namespace
{
// Whether an open key (opened as itself) is a registry link.
bool IsLink(HKEY key)
{
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

LONG FromStatus(NTSTATUS status) { return static_cast<LONG>(RtlNtStatusToDosError(status)); }

// Deletes an open key (opened as itself, with DELETE and KEY_ENUMERATE_SUB_KEYS) and
// everything below it. Each sub-key is opened as itself: a registry link inside the tree
// goes as the link, and what it leads to stays.
LONG DeleteTree(HKEY key)
{
    LONG result = ERROR_SUCCESS;
    for (const std::wstring& child : SubKeyNames(key))
    {
        CRegKey sub;
        LONG error = sub.OpenW(key, child.c_str(), DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE,
                               REG_OPTION_OPEN_LINK);
        if (error == ERROR_SUCCESS)
            error = IsLink(sub) ? FromStatus(NtDeleteKey(sub)) : DeleteTree(sub);
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND && result == ERROR_SUCCESS)
            result = error;
    }
    if (result != ERROR_SUCCESS)
        return result;
    return FromStatus(NtDeleteKey(key));
}
} // namespace

RegistryReach OpenKeyWithoutLinks(HKEY root, const CString& subKey, REGSAM access, CRegKey& key, LONG& error)
{
    error = ERROR_SUCCESS;
    const std::wstring wide = Utf8ToWide(subKey, subKey.GetLength());
    HKEY parent = root;
    CRegKey step;
    size_t start = 0;
    while (start < wide.size())
    {
        size_t end = wide.find(L'\\', start);
        if (end == std::wstring::npos)
            end = wide.size();
        const bool last = end == wide.size();
        CRegKey next;
        error = next.OpenW(parent, wide.substr(start, end - start).c_str(),
                           (last ? access : 0) | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, REG_OPTION_OPEN_LINK);
        if (error == ERROR_FILE_NOT_FOUND)
            return REACH_MISSING;
        if (error != ERROR_SUCCESS)
            return REACH_FAILED;
        if (IsLink(next))
            return REACH_LINK;
        if (last)
        {
            key.Attach(next.Detach());
            return REACH_OPEN;
        }
        step.Attach(next.Detach());
        parent = step;
        start = end + 1;
    }
    error = ERROR_INVALID_PARAMETER; // a root is never opened this way
    return REACH_FAILED;
}

int CRegistryTarget::Clean()
{
    m_attempted = 1;
    m_throughLink = false;
    CRegKey key;
    const REGSAM access = m_isValue ? KEY_SET_VALUE : DELETE;
    switch (m_subKey.IsEmpty() ? REACH_FAILED : OpenKeyWithoutLinks(m_root, m_subKey, access, key, m_error))
    {
    case REACH_OPEN:
        if (m_isValue)
        {
            const CString value = GetExtraText();
            m_error = RegDeleteValueW(key, Utf8ToWide(value, value.GetLength()).c_str());
        }
        else
            m_error = DeleteTree(key);
        break;
    case REACH_MISSING:
        m_error = ERROR_FILE_NOT_FOUND;
        break;
    case REACH_LINK:
        m_throughLink = true;
        m_error = ERROR_ACCESS_DENIED;
        break;
    case REACH_FAILED:
        if (m_subKey.IsEmpty()) // a root is never listed; never deleted either
            m_error = ERROR_ACCESS_DENIED;
        break;
    }
    m_cleaned = m_error == ERROR_SUCCESS || m_error == ERROR_FILE_NOT_FOUND ? 1 : 0;
    return m_cleaned;
}

CString CRegistryTarget::GetCleanNote() const
{
    if (!m_attempted || m_cleaned)
        return CString();
    if (m_throughLink)
        return "it is reached through a registry link now; left alone";
    return ErrorText(static_cast<unsigned long>(m_error));
}
