#include "ScanRun.h"

#include "Catalogue.h"
#include "RuleScan.h"
#include "ScanRoots.h"
#include "areas/ClipboardTarget.h"
#include "areas/DiskTarget.h"
#include "areas/FileTarget.h"
#include "areas/FolderChain.h"
#include "areas/FolderWalk.h"
#include "areas/MRUListTarget.h"
#include "areas/PathText.h"
#include "areas/RecycleBin.h"
#include "browsers/Chromium.h"
#include "browsers/Mozilla.h"
#include "browsers/OperaReaders.h"
#include "browsers/OperaTarget.h"
#include "browsers/ProfileFiles.h"

#include <algorithm>

namespace
{
// The state of one section's scan: the browser profiles are found at the first step
// that needs them.
struct CSectionScan
{
    CFoundItemList& list;
    IScanContext& context;
    CScanRoots& roots;
    bool profilesFound = false;
    std::vector<CString> firefox;
    std::vector<CString> firefoxNames; // each Firefox profile's folder name, as listed
    std::vector<CString> chromium;
    // The rules' folders (for the whole scan) and the section's rule scanner, made at the
    // first step that needs them.
    std::unique_ptr<CRuleVariables>& variables;
    std::unique_ptr<CRuleScanner> rules;
    const CKeepChoice& keep;
};

CRuleScanner& RuleScanner(CSectionScan& scan)
{
    if (!scan.variables)
        scan.variables.reset(new CRuleVariables(CRuleVariables::FromSystem()));
    if (!scan.rules)
        scan.rules.reset(new CRuleScanner(scan.roots, *scan.variables, scan.list, scan.context));
    return *scan.rules;
}

// A root as the area names it, without its trailing separators but a drive root's
// ("C:" of a temp path is the drive's root).
CString RootAsNamed(const CString& path)
{
    CString plain = WithoutTrailingSeparators(path);
    return plain.GetLength() == 2 && plain[1] == ':' ? plain + "\\" : plain;
}

// A browser profile is read only where it really leads is no folder of the user's or the
// system's (a profile folder that is a link to the documents is not one), and it is read
// under the name the file system gives that place: its databases are checked against it.
void AddAdmittedProfile(CSectionScan& scan, std::vector<CString>& profiles, const CString& profile)
{
    CString resolved, reason;
    switch (scan.roots.AdmitProfile(profile, resolved, reason))
    {
    case CScanRoots::ROOT_WALK:
        // A profile reached under two names is read once.
        for (const CString& known : profiles)
            if (known.CompareNoCase(resolved + "\\") == 0)
                return;
        profiles.push_back(resolved + "\\");
        break;
    case CScanRoots::ROOT_REFUSED:
        scan.context.ReportProblem(PROBLEM_SKIPPED, WithoutTrailingSeparators(profile), reason);
        break;
    case CScanRoots::ROOT_MISSING:
    case CScanRoots::ROOT_DUPLICATE:
        break;
    }
}

void FindProfiles(CSectionScan& scan)
{
    if (scan.profilesFound)
        return;
    scan.profilesFound = true;
    const CScanPaths& paths = scan.context.GetScanPaths();
    for (const CString& profile : FindFirefoxProfiles(paths[SP_APPDATA], scan.context))
    {
        const size_t count = scan.firefox.size();
        AddAdmittedProfile(scan, scan.firefox, profile);
        if (scan.firefox.size() > count)
            scan.firefoxNames.push_back(LastComponent(WithoutTrailingSeparators(profile)));
    }
    for (const CString& profile : FindChromiumProfiles(paths[SP_LOCAL_APPDATA], paths[SP_APPDATA]))
        AddAdmittedProfile(scan, scan.chromium, profile);
}

// Walks a temporary or cache folder from its resolved name, once per scan, and only
// when it is scratch space.
void WalkRoot(CSectionScan& scan, const CString& path, int fileKind, int folderKind,
              bool favoritesArea = false)
{
    CString resolved, reason;
    switch (scan.roots.Admit(path, resolved, reason, favoritesArea))
    {
    case CScanRoots::ROOT_WALK:
        WalkFolder(resolved, fileKind, folderKind, scan.list, scan.context);
        break;
    case CScanRoots::ROOT_REFUSED:
        // Named as the area names it ("C:" of a temp path is the drive's root); the reason
        // says where it leads.
        scan.context.ReportProblem(PROBLEM_SKIPPED, RootAsNamed(path), reason);
        break;
    case CScanRoots::ROOT_MISSING:
    case CScanRoots::ROOT_DUPLICATE:
        break;
    }
}

// One trace of every profile of a family.
void ScanProfiles(CSectionScan& scan, const std::vector<CString> CSectionScan::*profiles,
                  void (*scanProfile)(const CString&, int, CFoundItemList&, CTickable&, const CKeepListPtr&),
                  int trace)
{
    FindProfiles(scan);
    for (const CString& profile : scan.*profiles)
        scanProfile(profile, trace, scan.list, scan.context, scan.keep.list);
}

bool HasKeptSites(const CSectionScan& scan)
{
    return scan.keep.list && scan.keep.list->HasSites();
}

// A folder that goes whole, itself included (a site's storage, named by the site): listed
// before its content, from where it really leads, and only when it is scratch space.
void WalkWhole(CSectionScan& scan, const CString& path, int fileKind, int folderKind)
{
    CString resolved, reason;
    switch (scan.roots.Admit(path, resolved, reason))
    {
    case CScanRoots::ROOT_WALK:
        scan.list.push_back(std::make_shared<CFileTarget>(resolved + "\\", folderKind));
        scan.context.Tick();
        WalkFolder(resolved, fileKind, folderKind, scan.list, scan.context);
        break;
    case CScanRoots::ROOT_REFUSED:
        scan.context.ReportProblem(PROBLEM_SKIPPED, path, reason);
        break;
    case CScanRoots::ROOT_MISSING:
    case CScanRoots::ROOT_DUPLICATE:
        break;
    }
}

void AddFileIfThere(CSectionScan& scan, const CString& path, int fileKind)
{
    if (!IsFilePath(path))
        return;
    scan.list.push_back(std::make_shared<CFileTarget>(path, fileKind));
    scan.context.Tick();
}

// One entry of the profile-files table in one profile folder (ending with a backslash).
void ScanProfileEntry(CSectionScan& scan, const CProfileEntry& entry, const CString& profile)
{
    const CString path = profile + entry.path;
    switch (entry.shape)
    {
    case PE_FILE:
        AddFileIfThere(scan, path, entry.fileKind);
        break;
    case PE_DATABASE:
        for (const char* side : {"", "-journal", "-wal", "-shm"})
            AddFileIfThere(scan, path + side, entry.fileKind);
        break;
    case PE_FOLDER:
        WalkRoot(scan, path, entry.fileKind, entry.folderKind);
        break;
    case PE_SHARED_STORE:
        // One store holds every site's storage: it cannot go without a kept site's.
        if (HasKeptSites(scan) && IsFolderPath(path))
            scan.context.ReportProblem(PROBLEM_NOTE, path,
                                       "holds the storage of every site together; it stays while sites are kept");
        else
            WalkRoot(scan, path, entry.fileKind, entry.folderKind);
        break;
    case PE_ORIGINS:
        for (const CString& name : FindSubfolders(path, L"*"))
        {
            const std::string host = OriginFolderHost(entry.family, Utf8ToWide(name));
            if (!host.empty() && !(scan.keep.list && scan.keep.list->IsSiteKept(host)))
                WalkWhole(scan, path + "\\" + name, entry.fileKind, entry.folderKind);
        }
        break;
    }
}

// What every profile keeps of trace beside its databases.
void ScanProfileFiles(CSectionScan& scan, int trace)
{
    FindProfiles(scan);
    const CString& local = scan.context.GetScanPaths()[SP_LOCAL_APPDATA];
    size_t count = 0;
    const CProfileEntry* entries = GetProfileEntries(count);
    for (size_t i = 0; i < count; ++i)
    {
        const CProfileEntry& entry = entries[i];
        if (entry.trace != trace)
            continue;
        if (entry.family == PF_CHROMIUM)
            for (const CString& profile : scan.chromium)
                ScanProfileEntry(scan, entry, profile);
        else if (entry.family == PF_FIREFOX)
            for (const CString& profile : scan.firefox)
                ScanProfileEntry(scan, entry, profile);
        else if (!local.IsEmpty())
            for (const CString& name : scan.firefoxNames)
                ScanProfileEntry(scan, entry, local + "\\Mozilla\\Firefox\\Profiles\\" + name + "\\");
    }
    if (trace == BT_HISTORY)
        for (const CString& profile : scan.chromium)
            ScanChromiumPreferences(profile, scan.list, scan.context);
}

// Internet Explorer's cookie files of kept sites stay: a file is listed only when none
// of its cookies is a kept site's (and it could be read to tell), and a folder that holds
// one is not listed either.
void DropKeptCookieFiles(CSectionScan& scan, size_t from)
{
    if (!HasKeptSites(scan))
        return;
    CFoundItemList& list = scan.list;
    std::vector<CString> kept;
    auto keptFile = [&](const CCleanTargetPtr& item) {
        const CFileTarget* file = dynamic_cast<const CFileTarget*>(item.get());
        if (!file || file->GetFileKind() != FK_IE_COOKIE)
            return false;
        std::vector<std::string> hosts;
        bool keep = !ReadIeCookieHosts(file->GetDisplayText(), hosts);
        for (const std::string& host : hosts)
            keep = keep || scan.keep.list->IsSiteKept(host);
        if (keep)
            kept.push_back(file->GetDisplayText());
        return keep;
    };
    list.erase(std::remove_if(list.begin() + static_cast<std::ptrdiff_t>(from), list.end(), keptFile), list.end());
    auto holdsKept = [&](const CCleanTargetPtr& item) {
        const CFileTarget* folder = dynamic_cast<const CFileTarget*>(item.get());
        if (!folder || !IsFolderKind(folder->GetFileKind()))
            return false;
        for (const CString& path : kept)
            if (IsSameOrBelow(path, WithoutTrailingSeparators(folder->GetDisplayText())))
                return true;
        return false;
    };
    if (!kept.empty())
        list.erase(std::remove_if(list.begin() + static_cast<std::ptrdiff_t>(from), list.end(), holdsKept),
                   list.end());
}

// Opera keeps every cookie in one file, removed whole: with a kept site's cookie in it,
// nothing of it is listed.
void DropOperaCookiesOfKeptSites(CSectionScan& scan, size_t from, const CString& path)
{
    if (!HasKeptSites(scan))
        return;
    for (size_t i = from; i < scan.list.size(); ++i)
    {
        const COperaTarget* cookie = dynamic_cast<const COperaTarget*>(scan.list[i].get());
        if (!cookie || cookie->GetOperaKind() != OK_COOKIE)
            continue;
        // "name at host/path"
        const std::string text = cookie->GetDisplayText().str();
        const size_t at = text.rfind(" at ");
        const std::string location = at == std::string::npos ? std::string() : text.substr(at + 4);
        if (scan.keep.list->IsSiteKept(location.substr(0, location.find('/'))))
        {
            scan.list.resize(from);
            scan.context.ReportProblem(PROBLEM_NOTE, path, "holds cookies of kept sites; it was left as it is");
            return;
        }
    }
}

// Kept folders and files, and the folders that hold them, are never listed.
void DropKeptPaths(CSectionScan& scan, size_t from)
{
    if (!scan.keep.list || !scan.keep.list->HasPaths())
        return;
    const CKeepList& keep = *scan.keep.list;
    CFoundItemList& list = scan.list;
    auto kept = [&](const CCleanTargetPtr& item) {
        const CFileTarget* file = dynamic_cast<const CFileTarget*>(item.get());
        if (!file)
            return false;
        const CString path = file->GetDisplayText();
        return keep.IsPathKept(path) || (IsFolderKind(file->GetFileKind()) && keep.HoldsKeptPath(path));
    };
    list.erase(std::remove_if(list.begin() + static_cast<std::ptrdiff_t>(from), list.end(), kept), list.end());
}

// Firefox keeps a profile's disk cache below the local application data, in a folder
// named as the profile's folder is named where it is listed (a link's name, when it is one).
void WalkFirefoxCaches(CSectionScan& scan)
{
    FindProfiles(scan);
    const CString& local = scan.context.GetScanPaths()[SP_LOCAL_APPDATA];
    if (local.IsEmpty())
        return;
    for (const CString& name : scan.firefoxNames)
        WalkRoot(scan, local + "\\Mozilla\\Firefox\\Profiles\\" + name + "\\cache2", FK_BROWSER_CACHE_FILE,
                 FK_BROWSER_CACHE_FOLDER);
}

void WalkChromiumCaches(CSectionScan& scan)
{
    FindProfiles(scan);
    for (const CString& profile : scan.chromium)
        for (const char* cache : kChromiumCacheFolders)
            WalkRoot(scan, profile + cache, FK_BROWSER_CACHE_FILE, FK_BROWSER_CACHE_FOLDER);
}

void RunStep(const CScanStep& step, CSectionScan& scan)
{
    IScanContext& context = scan.context;
    CFoundItemList& list = scan.list;
    const CScanPaths& paths = context.GetScanPaths();
    switch (step.kind)
    {
    case STEP_WALK:
        // A folder the system could not give is said, not dropped.
        if (paths[step.pathEntry].IsEmpty() && !paths.GetUnresolvedReason(step.pathEntry).IsEmpty())
            context.ReportProblem(PROBLEM_SKIPPED, ScanPathName(step.pathEntry),
                                  paths.GetUnresolvedReason(step.pathEntry));
        else
        {
            const size_t from = list.size();
            WalkRoot(scan, paths[step.pathEntry], step.fileKind, step.folderKind, step.areaId == AREA_FAVORITES);
            if (step.fileKind == FK_IE_COOKIE)
                DropKeptCookieFiles(scan, from);
        }
        break;
    case STEP_MRU:
        ScanMRUKey(paths[step.pathEntry], list, context);
        break;
    case STEP_CLIPBOARD:
        ScanClipboard(list, context.GetOwnerWindow(), context);
        break;
    case STEP_RECYCLE_BIN:
        ScanRecycleBin(list, context.GetOwnerWindow());
        break;
    case STEP_SCANDISK:
        ScanScanDiskFragments(list, context);
        break;
    case STEP_FIXED_DISKS:
        ScanFixedDisks(list);
        break;
    case STEP_OPERA_FILE:
        // The temporary downloads are a folder, walked as any cache is.
        if (IsOperaFolder(step.reader))
            WalkRoot(scan, OperaFilePath(step.reader, paths[SP_LOCAL_APPDATA], paths[SP_APPDATA]),
                     FK_OPERA_TEMP_DOWNLOAD, FK_TEMP_FOLDER);
        else
        {
            const size_t from = list.size();
            ReadOperaFile(step.reader, paths[SP_LOCAL_APPDATA], paths[SP_APPDATA], list, context);
            if (step.areaId == AREA_COOKIES)
                DropOperaCookiesOfKeptSites(scan, from,
                                            OperaFilePath(step.reader, paths[SP_LOCAL_APPDATA], paths[SP_APPDATA]));
        }
        break;
    case STEP_FIREFOX:
        ScanProfiles(scan, &CSectionScan::firefox, ScanFirefoxProfile, step.reader);
        break;
    case STEP_FIREFOX_CACHE:
        WalkFirefoxCaches(scan);
        break;
    case STEP_CHROMIUM:
        ScanProfiles(scan, &CSectionScan::chromium, ScanChromiumProfile, step.reader);
        break;
    case STEP_CHROMIUM_CACHE:
        WalkChromiumCaches(scan);
        break;
    case STEP_RULES:
        for (const CRuleEntry& entry : GetBuiltInRules().entries)
            if (entry.areaId == step.areaId)
                RuleScanner(scan).Scan(entry);
        break;
    case STEP_PROFILE_FILES:
        ScanProfileFiles(scan, step.reader);
        break;
    case STEP_USER_RULES:
        for (const CRuleEntry* entry : context.GetCheckedRules())
            if (!context.IsStopRequested())
                RuleScanner(scan).Scan(*entry);
        break;
    }
}
} // namespace

CSectionList CreateSections(const std::vector<CString>& names)
{
    CSectionList sections;
    int count = 0;
    const CSectionInfo* table = GetSectionTable(count);
    for (int i = 0; i < count; ++i)
    {
        const size_t index = static_cast<size_t>(table[i].sectionIndex);
        CScanItemPtr section(
            new CScanItem(index < names.size() ? names[index] : CString(), table[i].sectionIndex));
        section->SetChecked(table[i].checkedAtStart ? 1 : 0);
        sections.push_back(section);
    }
    return sections;
}

void ClearSections(CSectionList& sections)
{
    for (const CScanItemPtr& section : sections)
    {
        section->GetFoundItems().clear();
        section->SetStatus(SS_READY);
    }
}

void ScanSections(CSectionList& sections, IScanContext& context)
{
    ClearSections(sections);
    context.RefreshList();

    int stepCount = 0;
    const CScanStep* steps = GetScanSteps(stepCount);
    CScanRoots roots(context.GetOwnerWindow());
    std::unique_ptr<CRuleVariables> variables;
    const CKeepChoice keep = context.GetKeepChoice();
    bool keepSaid = false;
    for (const CScanItemPtr& section : sections)
    {
        if (context.IsStopRequested())
            break;
        if (!section->GetChecked())
            continue;
        section->SetStatus(SS_SCANNING);
        context.Tick();
        CSectionScan scan = {section->GetFoundItems(), context, roots, false, {}, {}, {}, variables, {}, keep};
        for (int i = 0; i < stepCount && !context.IsStopRequested(); ++i)
        {
            const CScanStep& step = steps[i];
            if (step.section != section->GetSectionIndex())
                continue;
            if (step.areaId != 0 && !context.IsAreaChecked(step.areaId))
                continue;
            // A keep list that could not be read never widens a clean: what it narrows
            // is left unscanned, and that is said once.
            if (!keep.problem.IsEmpty() && (step.areaId == AREA_COOKIES || step.areaId == AREA_SITE_DATA))
            {
                if (!keepSaid)
                    context.ReportProblem(PROBLEM_SKIPPED, keep.place,
                                          keep.problem + "; cookies and site data were not scanned");
                keepSaid = true;
                continue;
            }
            const size_t from = scan.list.size();
            RunStep(step, scan);
            DropKeptPaths(scan, from);
        }
        section->SetStatus(context.IsStopRequested() ? SS_STOPPED : SS_COMPLETE);
        context.RefreshList();
    }
    ReleaseHeldFolders(); // the folders the checks of the browsers' files kept open
    context.RefreshList();
}

int CountFoundItems(const CSectionList& sections)
{
    int count = 0;
    for (const CScanItemPtr& section : sections)
        count += static_cast<int>(section->GetFoundItems().size());
    return count;
}
