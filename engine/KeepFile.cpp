#include "KeepFile.h"

#include "areas/EntryHandle.h"
#include "areas/FolderChain.h"
#include "areas/FileTarget.h"
#include "areas/FolderWalk.h"
#include "areas/PathText.h"
#include "areas/WholeFile.h"
#include "browsers/Chromium.h"
#include "browsers/Mozilla.h"
#include "browsers/OperaReaders.h"
#include "browsers/OperaTarget.h"
#include "browsers/ProfileFiles.h"
#include "ScanPaths.h"

#include <algorithm>

#include <vector>

namespace
{
// A keep list this program wrote is small; a larger file is not one of them.
const DWORD kMaxKeepFile = 4 * 1024 * 1024;
} // namespace

CKeepFile::CKeepFile(const CString& appData)
    : m_folder(appData + "\\Quorvantis"), m_path(appData + "\\Quorvantis\\keep.cfg")
{
}

CString ResolveKeptPath(const CString& path)
{
    const CString plain = WithoutTrailingSeparators(path);
    const CString folder = ResolveFolder(plain);
    if (!folder.IsEmpty())
        return folder;
    const CString name = LastComponent(plain);
    if (name.IsEmpty() || plain.GetLength() <= name.GetLength() + 1)
        return CString();
    const CString parent = ResolveFolder(plain.Left(plain.GetLength() - name.GetLength() - 1));
    if (parent.IsEmpty())
        return CString();
    return WithoutTrailingSeparators(parent) + "\\" + name;
}

KeepLoad CKeepFile::Load(CKeepList& keep, CString& error) const
{
    keep = CKeepList();
    // Read only when it is a plain file of one name in the settings folder: a link would
    // let another file decide what a clean spares.
    const CString folder = ResolveFolder(m_folder);
    if (folder.IsEmpty())
        return KEEP_MISSING;
    CEntryHandle file;
    bool exists = false;
    const CString refusal = file.OpenPlainFile(folder + "\\keep.cfg", GENERIC_READ, FILE_SHARE_READ, exists);
    if (!refusal.IsEmpty())
    {
        error = refusal;
        return KEEP_UNREADABLE;
    }
    if (!exists)
        return KEEP_MISSING;
    std::vector<char> buffer(kMaxKeepFile + 1);
    DWORD length = 0;
    if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &length, nullptr))
    {
        error = "could not be read: " + ErrorText(GetLastError());
        return KEEP_UNREADABLE;
    }
    CKeepList read;
    CString why;
    if (length > kMaxKeepFile)
        why = "it is larger than a keep list";
    else
        read.Parse(CString(buffer.data(), static_cast<int>(length)), why);
    if (!why.IsEmpty())
    {
        error = "is not understood: " + why;
        return KEEP_NOT_UNDERSTOOD;
    }
    const std::vector<CString> paths = read.GetPaths();
    for (size_t i = 0; i < paths.size(); ++i)
    {
        const CString resolved = ResolveKeptPath(paths[i]);
        if (!resolved.IsEmpty())
            read.SetResolved(i, resolved);
    }
    keep = read;
    return KEEP_READ;
}

bool CKeepFile::Save(const CKeepList& keep, CString& error, bool keepOld) const
{
    return WriteWholeFile(m_folder, m_path, keep.Format(), error, keepOld ? m_path + ".bad" : CString());
}

std::vector<std::string> FindCookieSites(const CScanPaths& paths, CTickable& tick)
{
    std::vector<std::string> sites;
    for (const CString& profile : FindFirefoxProfiles(paths[SP_APPDATA], tick))
        ListCookieSites(FirefoxFamily(), profile, sites, tick);
    for (const CString& profile : FindChromiumProfiles(paths[SP_LOCAL_APPDATA], paths[SP_APPDATA]))
        ListCookieSites(ChromiumFamily(), profile, sites, tick);
    // Internet Explorer: one file per site, holding its cookies.
    CFoundItemList files;
    if (!paths[SP_COOKIES].IsEmpty())
        WalkFolder(paths[SP_COOKIES], FK_IE_COOKIE, FK_TEMP_FOLDER, files, tick);
    for (const CCleanTargetPtr& item : files)
    {
        std::vector<std::string> hosts;
        if (!IsFolderKind(static_cast<const CFileTarget&>(*item).GetFileKind()) &&
            ReadIeCookieHosts(item->GetDisplayText(), hosts))
            sites.insert(sites.end(), hosts.begin(), hosts.end());
    }
    // Opera: "name at host/path" for each cookie of cookies4.dat.
    CFoundItemList cookies;
    ReadOperaFile(kOperaCookiesFile, paths[SP_LOCAL_APPDATA], paths[SP_APPDATA], cookies, tick);
    for (const CCleanTargetPtr& item : cookies)
    {
        const COperaTarget* cookie = dynamic_cast<const COperaTarget*>(item.get());
        const std::string text = cookie && cookie->GetOperaKind() == OK_COOKIE ? item->GetDisplayText().str() : "";
        const size_t at = text.rfind(" at ");
        if (at != std::string::npos)
            sites.push_back(text.substr(at + 4, text.find('/', at + 4) - at - 4));
    }
    std::vector<std::string> normal;
    for (const std::string& site : sites)
    {
        const std::string plain = CKeepList::NormalizeSite(site);
        if (!plain.empty())
            normal.push_back(plain);
    }
    std::sort(normal.begin(), normal.end());
    normal.erase(std::unique(normal.begin(), normal.end()), normal.end());
    return normal;
}
