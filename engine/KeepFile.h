// "keep.cfg" beside the settings file: what the user keeps (see CKeepList). The file is
// untrusted: one that is a link or a second name of another file, that cannot be read, or
// that holds a line that is not understood is not used, and then nothing that a keep list
// could narrow (cookies, site data) is cleaned.
#pragma once

#include "model/KeepList.h"
#include "model/Tickable.h"

#include <string>
#include <vector>

enum KeepLoad
{
    KEEP_READ,
    KEEP_MISSING,       // no file: nothing is kept
    KEEP_UNREADABLE,    // a link, held, denied
    KEEP_NOT_UNDERSTOOD // a line that is no site or path
};

class CKeepFile
{
public:
    // appData: the roaming application-data folder.
    explicit CKeepFile(const CString& appData);
    const CString& GetFolder() const { return m_folder; }
    const CString& GetPath() const { return m_path; }
    // Reads the file into keep (kept paths resolved as the file system names them);
    // keep is left empty unless KEEP_READ, and error says why for the failures.
    KeepLoad Load(CKeepList& keep, CString& error) const;
    // Writes keep as the whole file or nothing, as the settings file is written; with
    // keepOld, a file that could not be used is first kept as "keep.cfg.bad".
    bool Save(const CKeepList& keep, CString& error, bool keepOld = false) const;

private:
    CString m_folder;
    CString m_path;
};

// The place a kept path names, as the file system names it ("" when it is not there).
CString ResolveKeptPath(const CString& path);

struct CScanPaths;
// The sites (lower case, without a leading dot, sorted, each once) that the cookies of
// every browser here name: the Firefox and Chromium profiles, Internet Explorer's cookie
// files and Opera's cookies4.dat. Nothing is written.
std::vector<std::string> FindCookieSites(const CScanPaths& paths, CTickable& tick);
