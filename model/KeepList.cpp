#include "KeepList.h"
#include "afx/App.h"

#include <windows.h>

#include <algorithm>

namespace
{
const char kSitePrefix[] = "site=";
const char kPathPrefix[] = "path=";

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

// The ASCII form of a name that holds other characters ("bücher.de" is
// "xn--bcher-kva.de"), as the browsers store it; "" when it has none.
std::string ToAsciiName(const std::string& name)
{
    const std::wstring wide = Utf8ToWide(name.c_str(), static_cast<int>(name.size()));
    if (wide.empty())
        return std::string();
    wchar_t ascii[256];
    const int length = IdnToAscii(0, wide.c_str(), static_cast<int>(wide.size()), ascii, 256);
    if (length <= 0)
        return std::string();
    std::string out;
    for (int i = 0; i < length; ++i)
    {
        if (ascii[i] == 0 || ascii[i] > 127)
            return std::string();
        out += static_cast<char>(ascii[i]);
    }
    return out;
}

// The file-system comparison of two names: case is not told apart.
bool SameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

std::wstring Plain(const CString& path)
{
    std::wstring wide = Utf8ToWide(path);
    while (wide.size() > 3 && (wide.back() == L'\\' || wide.back() == L'/'))
        wide.pop_back();
    return wide;
}

// Whether inner is outer or lies below it.
bool IsAtOrBelow(const std::wstring& inner, const std::wstring& outer)
{
    if (outer.empty() || inner.size() < outer.size() || !SameName(inner.substr(0, outer.size()), outer))
        return false;
    return inner.size() == outer.size() || outer.back() == L'\\' || inner[outer.size()] == L'\\';
}
} // namespace

std::string CKeepList::NormalizeSite(const std::string& text)
{
    std::string site = text;
    // What a user may paste: an address, with a scheme, a path, a port.
    const size_t scheme = site.find("://");
    if (scheme != std::string::npos)
        site.erase(0, scheme + 3);
    const size_t end = site.find_first_of("/?#");
    if (end != std::string::npos)
        site.erase(end);
    const size_t at = site.rfind('@');
    if (at != std::string::npos)
        site.erase(0, at + 1);
    const size_t port = site.find(':');
    if (port != std::string::npos)
        site.erase(port);
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!site.empty() && space(site.back()))
        site.pop_back();
    while (!site.empty() && space(site.front()))
        site.erase(0, 1);
    while (!site.empty() && site.front() == '.')
        site.erase(0, 1);
    while (!site.empty() && site.back() == '.')
        site.pop_back();
    if (site.empty() || site.size() > 253)
        return std::string();
    if (std::any_of(site.begin(), site.end(), [](char c) { return static_cast<unsigned char>(c) > 127; }))
        site = ToAsciiName(site);
    for (char& c : site)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (!(c >= 'a' && c <= 'z') && !(c >= '0' && c <= '9') && c != '-' && c != '_' && c != '.')
            return std::string(); // a space, a wildcard, anything no host holds
    }
    if (site.empty() || site.find("..") != std::string::npos)
        return std::string();
    return site;
}

bool CKeepList::AddSite(const std::string& text)
{
    const std::string site = NormalizeSite(text);
    if (site.empty())
        return false;
    if (m_sites.insert(site).second)
        m_siteOrder.push_back(site);
    return true;
}

bool CKeepList::RemoveSite(const std::string& site)
{
    const std::string normal = NormalizeSite(site);
    if (m_sites.erase(normal) == 0)
        return false;
    m_siteOrder.erase(std::find(m_siteOrder.begin(), m_siteOrder.end(), normal));
    return true;
}

void CKeepList::AddPath(const CString& given, const CString& resolved)
{
    for (const CKeptPath& kept : m_paths)
        if (SameName(Plain(kept.given), Plain(given)))
            return;
    m_paths.push_back({given, resolved.IsEmpty() ? given : resolved});
}

bool CKeepList::RemovePath(const CString& given)
{
    for (size_t i = 0; i < m_paths.size(); ++i)
        if (SameName(Plain(m_paths[i].given), Plain(given)))
        {
            m_paths.erase(m_paths.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    return false;
}

bool CKeepList::IsSiteKept(const std::string& host) const
{
    if (m_sites.empty() || host.empty())
        return false;
    // Asked once for every cookie of a profile: the name is folded into a buffer kept
    // between calls, and each name it lies below is looked up in place.
    thread_local std::string *nameSlot = nullptr, *probeSlot = nullptr;
    std::string& name = AfxThreadObject(nameSlot);
    std::string& probe = AfxThreadObject(probeSlot);
    name.assign(host);
    bool plain = true;
    for (char& c : name)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (static_cast<unsigned char>(c) > 127)
            plain = false;
    }
    if (!plain)
        name = NormalizeSite(name);
    const size_t start = name.find_first_not_of('.');
    const size_t end = name.find_last_not_of('.');
    if (start == std::string::npos)
        return false;
    // The host itself, then each name it lies below, at label boundaries only.
    for (size_t at = start; at <= end;)
    {
        probe.assign(name, at, end - at + 1);
        if (m_sites.count(probe))
            return true;
        const size_t dot = name.find('.', at);
        if (dot == std::string::npos || dot >= end)
            break;
        at = dot + 1;
    }
    return false;
}

bool CKeepList::IsPathKept(const CString& path) const
{
    const std::wstring wide = Plain(path);
    for (const CKeptPath& kept : m_paths)
        if (IsAtOrBelow(wide, Plain(kept.resolved)) || IsAtOrBelow(wide, Plain(kept.given)))
            return true;
    return false;
}

bool CKeepList::HoldsKeptPath(const CString& folder) const
{
    const std::wstring wide = Plain(folder);
    for (const CKeptPath& kept : m_paths)
        if (IsAtOrBelow(Plain(kept.resolved), wide) || IsAtOrBelow(Plain(kept.given), wide))
            return true;
    return false;
}

std::vector<CString> CKeepList::GetPaths() const
{
    std::vector<CString> paths;
    for (const CKeptPath& kept : m_paths)
        paths.push_back(kept.given);
    return paths;
}

CString CKeepList::Format() const
{
    std::string text = "# Quorvantis: sites whose cookies and site data stay, and places never listed\r\n";
    for (const std::string& site : m_siteOrder)
        text += kSitePrefix + site + "\r\n";
    for (const CKeptPath& kept : m_paths)
        text += kPathPrefix + kept.given.str() + "\r\n";
    return CString(text);
}

bool CKeepList::Parse(const CString& text, CString& error)
{
    const std::string& all = text.str();
    size_t start = 0;
    for (int number = 1; start < all.size(); ++number)
    {
        size_t end = all.find('\n', start);
        if (end == std::string::npos)
            end = all.size();
        std::string line = all.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool control =
            std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 32 && c != '\t'; });
        if (!control && (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#'))
            continue;
        bool taken = false;
        if (!control && StartsWith(line, kSitePrefix))
            taken = AddSite(line.substr(strlen(kSitePrefix)));
        else if (!control && StartsWith(line, kPathPrefix))
        {
            const CString path(line.substr(strlen(kPathPrefix)));
            // Only a full path (a drive's or a share's) can name a place to keep.
            const std::string& p = path.str();
            taken = (p.size() >= 3 && p[1] == ':' && p[2] == '\\') || (p.size() > 2 && p[0] == '\\' && p[1] == '\\');
            if (taken)
                AddPath(path, path);
        }
        if (!taken)
        {
            error = "line " + CString(std::to_string(number)) + " is not a site or a path to keep";
            return false;
        }
    }
    return true;
}
