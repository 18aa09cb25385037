// What a browser profile keeps beside the databases the rules clean: history side files,
// the hosts its network layer remembers, the storage sites keep, the sessions that reopen
// tabs, and the per-site keys of Chromium's Preferences. The table says where each is and
// how it goes; the scan run walks the folders through its own checks.
#pragma once

#include "model/CleanTarget.h"
#include "model/KeepList.h"
#include "model/Tickable.h"

#include <string>
#include <vector>

enum ProfileFamily
{
    PF_CHROMIUM,      // a Chromium profile folder
    PF_FIREFOX,       // a Firefox profile folder (roaming)
    PF_FIREFOX_LOCAL, // a Firefox profile's folder below the local application data
};

enum ProfileEntryShape
{
    PE_FILE,         // a file
    PE_DATABASE,     // a SQLite file, with its journal or write-ahead log and index
    PE_FOLDER,       // a folder whose content goes (the browser makes it again)
    PE_ORIGINS,      // a folder of one sub-folder per site origin: each site's goes whole,
                     // a kept site's stays
    PE_SHARED_STORE, // a folder that keeps every site's storage in one store: its content
                     // goes only when no site is kept
};

struct CProfileEntry
{
    ProfileFamily family;
    int trace;        // a BrowserTrace
    const char* path; // below the profile folder
    ProfileEntryShape shape;
    int fileKind;
    int folderKind;
};

// The whole table, in the order the scan lists it.
const CProfileEntry* GetProfileEntries(size_t& count);

// The host of a per-origin folder's name ("https_www.example.com_0.indexeddb.leveldb",
// "https+++www.example.com^userContextId=1"), or "" when it is no web site's (an
// extension's, a file's, a name of another form): such a folder is left.
std::string OriginFolderHost(ProfileFamily family, const std::wstring& name);

// Lists the per-site keys of a Chromium profile's "Preferences" (the sites' engagement
// scores and the address bar's cached suggestions) as one item whose clean removes those
// keys and nothing else; a file that is not JSON is said and left.
void ScanChromiumPreferences(const CString& profile, CFoundItemList& list, CTickable& tick);
// The keys, as dotted paths in the JSON document.
extern const char* const kPreferencesKeys[4];

// The hosts an Internet Explorer cookie file names (the third line of each record:
// "host/path"); false when it cannot be read (a link, held, larger than any cookie file).
bool ReadIeCookieHosts(const CString& path, std::vector<std::string>& hosts);
