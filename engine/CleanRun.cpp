#include "CleanRun.h"

#include "afx/Handle.h"
#include "areas/FolderChain.h"
#include "browsers/Chromium.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <windows.h>

void CleanSections(CSectionList& sections, IProgressSink& sink, ICleanHost* owner)
{
    // What a worker says (a database that failed) is told once, however many items it served.
    std::set<const CCleanTarget*> told;
    for (const CScanItemPtr& sectionPtr : sections)
    {
        if (owner && owner->IsCancelled())
            break; // what was not reached stays listed
        CScanItem& section = *sectionPtr;
        CFoundItemList& items = section.GetFoundItems();
        section.SetStatus(SS_CLEANING);
        section.SetCleanedSoFar(0);
        section.SetToClean(static_cast<int>(items.size()));
        sink.RefreshList();

        for (size_t i = items.size(); i-- > 0;)
        {
            if (owner && owner->IsCancelled())
                break;
            section.SetCleanedSoFar(section.GetCleanedSoFar() + 1);
            // Hold the item: the wipe dispatches window messages while it works.
            CCleanTargetPtr item = items[i];
            item->SetOwner(owner);
            item->Clean();
            sink.Tick();
            const CCleanTarget* worker = item->GetWorker();
            const CString note = worker->GetCleanNote();
            if (!note.IsEmpty() && told.insert(worker).second)
                sink.ReportProblem(item->GetCleaned() ? PROBLEM_NOTE : PROBLEM_NOT_CLEANED, worker->GetDisplayText(),
                                   note);
            if (item->GetCleaned() && i < items.size() && items[i] == item)
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            if (i > items.size())
                i = items.size(); // the list was changed under us; go on from its end
        }
        section.SetStatus(SS_COMPLETE);
        sink.RefreshList();
    }
    ReleaseHeldFolders(); // the folders the clean kept open on its way
}

namespace
{
BOOL CALLBACK AddChromiumWindow(HWND window, LPARAM browsers)
{
    char className[64];
    if (!GetClassNameA(window, className, sizeof(className)) || strcmp(className, "Chrome_WidgetWin_1") != 0)
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.IsValid())
        return TRUE;
    char image[MAX_PATH * 4];
    DWORD length = sizeof(image);
    if (QueryFullProcessImageNameA(process, 0, image, &length))
    {
        const char* slash = strrchr(image, '\\');
        const char* name = ChromiumBrowserName(slash ? slash + 1 : image);
        std::vector<CString>& found = reinterpret_cast<CRunningBrowsers*>(browsers)->chromium;
        if (name && std::find(found.begin(), found.end(), CString(name)) == found.end())
            found.push_back(name);
    }
    return TRUE;
}
} // namespace

CRunningBrowsers FindRunningBrowsers()
{
    CRunningBrowsers browsers;
    browsers.firefox = FindWindowA("MozillaUIWindowClass", nullptr) != nullptr;
    browsers.internetExplorer = FindWindowA("IEFrame", nullptr) != nullptr;
    EnumWindows(AddChromiumWindow, reinterpret_cast<LPARAM>(&browsers));
    return browsers;
}

CString BuildBrowserAdvice(const CRunningBrowsers& browsers)
{
    CString text = "For best cleaning results it is recommended to close the following applications:\n";
    if (browsers.firefox)
        text += "\tMozilla Firefox\n";
    if (browsers.internetExplorer)
        text += "\tInternet Explorer\n";
    for (const CString& name : browsers.chromium)
        text += "\t" + name + "\n";
    if (browsers.opera)
        text += "Opera\n";
    return text;
}
