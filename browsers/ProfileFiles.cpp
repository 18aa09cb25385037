#include "ProfileFiles.h"

#include "ProfileDatabase.h"
#include "areas/EntryHandle.h"
#include "areas/FileTarget.h"
#include "areas/FolderChain.h"
#include "areas/PathText.h"
#include "areas/WholeFile.h"

#include <nlohmann/json.hpp>

#include <iterator>
#include <vector>

const char* const kPreferencesKeys[4] = {
    "profile.content_settings.exceptions.site_engagement",
    "profile.content_settings.exceptions.media_engagement",
    "omnibox.zero_suggest_cached_results",
    "omnibox.zero_suggest_cached_results_with_url",
};

namespace
{
// Where each browser keeps these, from Chromium's and Firefox's own file names. What the
// network layer remembers of hosts goes with the caches; what history keeps outside its
// database goes with history.
const CProfileEntry kEntries[] = {
    // The Chromium family
    {PF_CHROMIUM, BT_NETWORK, "Network\\Network Persistent State", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_CHROMIUM, BT_NETWORK, "Network Persistent State", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_CHROMIUM, BT_NETWORK, "Network\\Reporting and NEL", PE_DATABASE, FK_NETWORK_FILE, 0},
    {PF_CHROMIUM, BT_NETWORK, "Reporting and NEL", PE_DATABASE, FK_NETWORK_FILE, 0},
    {PF_CHROMIUM, BT_NETWORK, "Network\\TransportSecurity", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_CHROMIUM, BT_NETWORK, "TransportSecurity", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_CHROMIUM, BT_NETWORK, "DIPS", PE_DATABASE, FK_NETWORK_FILE, 0},
    {PF_CHROMIUM, BT_HISTORY, "History Provider Cache", PE_FILE, FK_HISTORY_FILE, 0},
    {PF_CHROMIUM, BT_HISTORY, "HistoryEmbeddings", PE_DATABASE, FK_HISTORY_FILE, 0},
    {PF_CHROMIUM, BT_HISTORY, "Archived History", PE_DATABASE, FK_HISTORY_FILE, 0},
    {PF_CHROMIUM, BT_HISTORY, "DownloadMetadata", PE_FILE, FK_HISTORY_FILE, 0},
    {PF_CHROMIUM, BT_HISTORY, "JumpListIcons", PE_FOLDER, FK_HISTORY_FILE, FK_HISTORY_FOLDER},
    {PF_CHROMIUM, BT_HISTORY, "JumpListIconsMostVisited", PE_FOLDER, FK_HISTORY_FILE, FK_HISTORY_FOLDER},
    {PF_CHROMIUM, BT_HISTORY, "JumpListIconsRecentClosed", PE_FOLDER, FK_HISTORY_FILE, FK_HISTORY_FOLDER},
    {PF_CHROMIUM, BT_SITE_DATA, "IndexedDB", PE_ORIGINS, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_CHROMIUM, BT_SITE_DATA, "Local Storage\\leveldb", PE_SHARED_STORE, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_CHROMIUM, BT_SITE_DATA, "Session Storage", PE_SHARED_STORE, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_CHROMIUM, BT_SITE_DATA, "Service Worker", PE_SHARED_STORE, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_CHROMIUM, BT_SITE_DATA, "Shared Dictionary", PE_SHARED_STORE, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_CHROMIUM, BT_SITE_DATA, "WebStorage", PE_SHARED_STORE, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_CHROMIUM, BT_SESSIONS, "Sessions", PE_FOLDER, FK_SESSION_FILE, FK_SESSION_FOLDER},
    {PF_CHROMIUM, BT_SESSIONS, "Current Session", PE_FILE, FK_SESSION_FILE, 0},
    {PF_CHROMIUM, BT_SESSIONS, "Current Tabs", PE_FILE, FK_SESSION_FILE, 0},
    {PF_CHROMIUM, BT_SESSIONS, "Last Session", PE_FILE, FK_SESSION_FILE, 0},
    {PF_CHROMIUM, BT_SESSIONS, "Last Tabs", PE_FILE, FK_SESSION_FILE, 0},
    // Firefox
    {PF_FIREFOX, BT_NETWORK, "SiteSecurityServiceState.txt", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_FIREFOX, BT_NETWORK, "SiteSecurityServiceState.bin", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_FIREFOX, BT_NETWORK, "AlternateServices.txt", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_FIREFOX, BT_NETWORK, "AlternateServices.bin", PE_FILE, FK_NETWORK_FILE, 0},
    {PF_FIREFOX, BT_NETWORK, "bounce-tracking-protection.sqlite", PE_DATABASE, FK_NETWORK_FILE, 0},
    {PF_FIREFOX_LOCAL, BT_HISTORY, "thumbnails", PE_FOLDER, FK_HISTORY_FILE, FK_HISTORY_FOLDER},
    {PF_FIREFOX_LOCAL, BT_HISTORY, "jumpListCache", PE_FOLDER, FK_HISTORY_FILE, FK_HISTORY_FOLDER},
    {PF_FIREFOX, BT_SITE_DATA, "storage\\default", PE_ORIGINS, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_FIREFOX, BT_SITE_DATA, "storage\\temporary", PE_ORIGINS, FK_SITE_DATA_FILE, FK_SITE_DATA_FOLDER},
    {PF_FIREFOX, BT_SESSIONS, "sessionstore.jsonlz4", PE_FILE, FK_SESSION_FILE, 0},
    {PF_FIREFOX, BT_SESSIONS, "sessionstore.js", PE_FILE, FK_SESSION_FILE, 0},
    {PF_FIREFOX, BT_SESSIONS, "sessionstore-backups", PE_FOLDER, FK_SESSION_FILE, FK_SESSION_FOLDER},
};

bool EndsWith(const std::wstring& text, const wchar_t* end)
{
    const size_t length = wcslen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

std::string AsciiHost(const std::wstring& host)
{
    std::string out;
    for (wchar_t c : host)
    {
        if (c == 0 || c > 127)
            return std::string();
        out += static_cast<char>(c);
    }
    return out;
}

using Json = nlohmann::ordered_json;

// The object holding the last part of a dotted key, and that part; nullptr when the
// path does not lead through objects.
Json* ParentOf(Json& document, const std::string& dotted, std::string& last)
{
    Json* at = &document;
    size_t start = 0;
    for (size_t dot = dotted.find('.'); dot != std::string::npos; dot = dotted.find('.', start))
    {
        const std::string part = dotted.substr(start, dot - start);
        if (!at->is_object() || !at->contains(part))
            return nullptr;
        at = &(*at)[part];
        start = dot + 1;
    }
    last = dotted.substr(start);
    return at->is_object() ? at : nullptr;
}

// Whether a key holds anything (an empty object or list is nothing to clean).
bool HoldsSomething(const Json& value)
{
    return !(value.is_null() || ((value.is_object() || value.is_array() || value.is_string()) && value.empty()));
}

// Reads the file through a checked handle: a plain file of one name at its path.
bool ReadPreferences(const CString& path, std::string& text, CString& error)
{
    CEntryHandle file;
    bool exists = false;
    error = file.OpenPlainFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, exists);
    if (!error.IsEmpty() || !exists)
        return false;
    if (!file.ReadSizeAndLinks() || file.GetInfo().size > 64u * 1024 * 1024)
    {
        error = "is larger than any preferences file";
        return false;
    }
    text.resize(static_cast<size_t>(file.GetInfo().size));
    DWORD read = 0;
    if (!text.empty() && (!ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) ||
                          read != text.size()))
    {
        error = "could not be read: " + ErrorText(GetLastError());
        return false;
    }
    return true;
}

// Removes the per-site keys from the document; how many were there.
int RemoveSiteKeys(Json& document, bool remove)
{
    int found = 0;
    for (const char* key : kPreferencesKeys)
    {
        std::string last;
        Json* parent = ParentOf(document, key, last);
        if (!parent || !parent->contains(last) || !HoldsSomething((*parent)[last]))
            continue;
        ++found;
        if (remove)
            parent->erase(last);
    }
    return found;
}

// The per-site keys of one Preferences file: its clean edits the JSON, writes it whole
// through a new file, and leaves every other key as it was.
class CPreferencesTarget : public CCleanTarget
{
public:
    CPreferencesTarget(const CString& path, const CString& folder) : CCleanTarget(path), m_folder(folder) {}
    const CString& GetTypeName() const override { return GetTypeText(TN_BROWSER_PREFERENCES); }
    CString GetCleanNote() const override { return m_failure; }

    int Clean() override
    {
        m_attempted = 1;
        m_failure.Empty();
        const CString path = GetDisplayText();
        std::string text;
        CString error;
        if (!ReadPreferences(path, text, error))
        {
            m_cleaned = error.IsEmpty() ? 1 : 0; // gone since the scan: nothing left to clean
            m_failure = error.IsEmpty() ? CString() : LastComponent(path) + " " + error + "; it was left as it is";
            return m_cleaned;
        }
        Json document = Json::parse(text, nullptr, false);
        if (document.is_discarded() || !document.is_object())
        {
            m_failure = "Preferences is not JSON; it was left as it is";
            return 0;
        }
        if (RemoveSiteKeys(document, true) == 0)
        {
            m_cleaned = 1;
            return 1;
        }
        std::string out;
        try
        {
            out = document.dump();
        }
        catch (const Json::exception&)
        {
            m_failure = "Preferences holds text that is not UTF-8; it was left as it is";
            return 0;
        }
        m_cleaned = WriteWholeFile(m_folder, path, CString(out), error) ? 1 : 0;
        if (!m_cleaned)
            m_failure = error;
        return m_cleaned;
    }

private:
    CString m_folder;
    CString m_failure;
};
} // namespace

const CProfileEntry* GetProfileEntries(size_t& count)
{
    count = std::size(kEntries);
    return kEntries;
}

std::string OriginFolderHost(ProfileFamily family, const std::wstring& name)
{
    if (family == PF_CHROMIUM)
    {
        // scheme_host_port.indexeddb.leveldb (or .blob)
        std::wstring origin = name;
        for (const wchar_t* suffix : {L".indexeddb.leveldb", L".indexeddb.blob"})
            if (EndsWith(origin, suffix))
                origin.resize(origin.size() - wcslen(suffix));
        if (origin.size() == name.size())
            return std::string();
        const size_t first = origin.find(L'_');
        const size_t last = origin.rfind(L'_');
        if (first == std::wstring::npos || last <= first + 1)
            return std::string();
        const std::wstring scheme = origin.substr(0, first);
        if (scheme != L"http" && scheme != L"https")
            return std::string();
        return AsciiHost(origin.substr(first + 1, last - first - 1));
    }
    // scheme+++host[+port][^attributes]
    for (const wchar_t* scheme : {L"http+++", L"https+++"})
    {
        const size_t length = wcslen(scheme);
        if (name.compare(0, length, scheme) != 0)
            continue;
        const std::wstring rest = name.substr(length);
        const std::wstring host = rest.substr(0, rest.find_first_of(L"+^"));
        return host.empty() ? std::string() : AsciiHost(host);
    }
    return std::string();
}

void ScanChromiumPreferences(const CString& profile, CFoundItemList& list, CTickable& tick)
{
    const CString path = profile + "Preferences";
    std::string text;
    CString error;
    if (!ReadPreferences(path, text, error))
    {
        if (!error.IsEmpty())
            tick.ReportProblem(PROBLEM_SKIPPED, path, error + "; it was left as it is");
        return;
    }
    Json document = Json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object())
    {
        tick.ReportProblem(PROBLEM_SKIPPED, path, "not JSON; it was left as it is");
        return;
    }
    if (RemoveSiteKeys(document, false) == 0)
        return;
    list.push_back(std::make_shared<CPreferencesTarget>(path, WithoutTrailingSeparators(profile)));
    tick.Tick();
}

bool ReadIeCookieHosts(const CString& path, std::vector<std::string>& hosts)
{
    CEntryHandle file;
    bool exists = false;
    if (!file.OpenPlainFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, exists).IsEmpty() || !exists)
        return false;
    std::string text(1024 * 1024 + 1, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) || read == text.size())
        return false;
    text.resize(read);
    // Records of nine lines, each ending with a line holding "*".
    int line = 0;
    for (size_t start = 0; start < text.size();)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string value = text.substr(start, end - start);
        start = end + 1;
        if (!value.empty() && value.back() == '\r')
            value.pop_back();
        if (value == "*")
        {
            line = 0;
            continue;
        }
        if (++line == 3)
            hosts.push_back(value.substr(0, value.find('/')));
    }
    return true;
}
