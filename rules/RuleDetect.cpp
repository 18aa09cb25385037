#include "RuleDetect.h"

#include "afx/Handle.h"
#include "areas/PathText.h"
#include "areas/RegistryTarget.h"
#include "areas/Wildcard.h"

#include <cstdlib>

namespace
{
// The places the older files' SpecialDetect names stand for.
const struct
{
    const char* name;
    const char* path;
} kSpecialDetects[] = {
    {"DET_CHROME", "%LocalAppData%\\Google\\Chrome\\User Data"},
    {"DET_MOZILLA", "%AppData%\\Mozilla\\Firefox"},
    {"DET_THUNDERBIRD", "%AppData%\\Thunderbird"},
    {"DET_OPERA", "%AppData%\\Opera Software"},
    {"DET_WINSTORE", "%LocalAppData%\\Packages"},
    {"DET_WINDOWS", nullptr}, // Windows itself, always there
};

std::vector<std::wstring> Components(const CString& rest)
{
    std::vector<std::wstring> parts;
    const std::wstring wide = Utf8ToWide(rest, rest.GetLength());
    size_t start = 0;
    while (start <= wide.size())
    {
        size_t end = wide.find_first_of(L"\\/", start);
        if (end == std::wstring::npos)
            end = wide.size();
        if (end > start && !(end - start == 1 && wide[start] == L'.'))
            parts.push_back(wide.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

CString Joined(const CString& folder, const std::wstring& name)
{
    CString text;
    WideToUtf8(name.data(), name.size(), text);
    return folder.Right(1) == "\\" ? folder + text : folder + "\\" + text;
}

// "10.0" as a number that orders versions; false for anything else.
bool ParseVersion(const CString& text, DWORD& version)
{
    const char* at = text.GetString();
    char* end = nullptr;
    const unsigned long major = strtoul(at, &end, 10);
    unsigned long minor = 0;
    if (end == at)
        return false;
    if (*end == '.')
    {
        const char* start = end + 1;
        minor = strtoul(start, &end, 10);
        if (end == start)
            return false;
    }
    if (*end != '\0' || major > 0xFFFF || minor > 0xFFFF)
        return false;
    version = (major << 16) | minor;
    return true;
}
} // namespace

bool HasParentComponent(const CString& path)
{
    for (const std::wstring& part : Components(path))
        if (part == L"..")
            return true;
    return false;
}

const CPathProbe::CListing& CPathProbe::List(const CString& folder)
{
    const std::wstring wide = Utf8ToWide(folder, folder.GetLength());
    auto found = m_listings.find(FoldedName(wide));
    if (found != m_listings.end())
        return found->second;
    CListing& listing = m_listings[FoldedName(wide)];
    WIN32_FIND_DATAW data;
    CFindHandle find;
    const std::wstring longFolder = ToLongPath(WithoutTrailingSeparators(folder));
    if (find.First(longFolder + L"\\*", data) != ERROR_SUCCESS)
        return listing;
    do
    {
        if (!IsPlainName(data.cFileName))
            continue;
        const std::wstring name = data.cFileName;
        listing.byFoldedName[FoldedName(name)] = {name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
    } while (find.Next(data));
    return listing;
}

std::vector<CString> CPathProbe::Find(const CString& pattern, bool foldersOnly)
{
    CString root, rest;
    if (!SplitVolumePath(pattern, root, rest) || HasParentComponent(rest))
        return {};
    const std::vector<std::wstring> parts = Components(rest);
    if (parts.empty())
        return foldersOnly ? std::vector<CString>{root} : std::vector<CString>{};
    std::vector<CString> current{root};
    for (size_t i = 0; i < parts.size() && !current.empty(); ++i)
    {
        const bool last = i + 1 == parts.size();
        const std::wstring folded = FoldedName(parts[i]);
        const bool wild = HasWildcard(folded);
        std::vector<CString> next;
        for (const CString& folder : current)
        {
            const CListing& listing = List(folder);
            auto take = [&](const CListed& entry) {
                if (entry.folder || (last && !foldersOnly))
                    next.push_back(Joined(folder, entry.name));
            };
            if (!wild)
            {
                auto found = listing.byFoldedName.find(folded);
                if (found != listing.byFoldedName.end())
                    take(found->second);
                continue;
            }
            for (const auto& entry : listing.byFoldedName)
                if (MatchesWildcard(folded, entry.first))
                    take(entry.second);
        }
        current.swap(next);
    }
    return current;
}

COsVersion CurrentOsVersion()
{
    typedef LONG(WINAPI * GetVersionFunction)(OSVERSIONINFOW*);
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const GetVersionFunction getVersion =
        ntdll ? reinterpret_cast<GetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    if (getVersion && getVersion(&info) == 0)
        return {info.dwMajorVersion, info.dwMinorVersion};
    return {0, 0};
}

bool CRuleDetector::IsFileThere(const CString& path)
{
    std::vector<CString> expanded;
    if (!m_variables.Expand(path, expanded))
        return false;
    for (const CString& candidate : expanded)
        if (m_probe.Exists(candidate))
            return true;
    return false;
}

bool CRuleDetector::IsOsInRange(const CString& range) const
{
    if (range.IsEmpty())
        return true;
    // One version means exactly that one; with "|" either end may be open.
    const int bar = range.Find('|');
    const CString low = bar < 0 ? range : range.Left(bar);
    const CString high = bar < 0 ? range : range.Mid(bar + 1);
    const DWORD current = (m_os.major << 16) | m_os.minor;
    DWORD version = 0;
    if (!low.IsEmpty() && (!ParseVersion(low, version) || current < version))
        return false;
    if (!high.IsEmpty() && (!ParseVersion(high, version) || current > version))
        return false;
    return true;
}

bool CRuleDetector::IsDetected(const CRuleEntry& entry)
{
    if (!IsOsInRange(entry.detectOS))
        return false;
    if (entry.detect.empty() && entry.detectFile.empty() && entry.specialDetect.empty())
        return true;
    for (const CString& key : entry.detect)
    {
        const int bar = key.Find('|');
        CRegistryPath path;
        if (!ParseRegistryPath(bar < 0 ? key : key.Left(bar), path) || path.subKey.IsEmpty())
            continue;
        for (const CString& found : FindRegistryKeys(path.root, path.subKey))
            if (bar < 0 || HasRegistryValue(path.root, found, key.Mid(bar + 1)))
                return true;
    }
    for (const CString& file : entry.detectFile)
        if (IsFileThere(file))
            return true;
    for (const CString& special : entry.specialDetect)
        for (const auto& known : kSpecialDetects)
            if (special.CompareNoCase(known.name) == 0 && (!known.path || IsFileThere(known.path)))
                return true;
    return false;
}
