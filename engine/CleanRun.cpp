#include "CleanRun.h"

#include <windows.h>

void CleanSections(CSectionList& sections, IProgressSink& sink, ICleanHost* owner)
{
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
            if (item->GetCleaned() && i < items.size() && items[i] == item)
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            if (i > items.size())
                i = items.size(); // the list was changed under us; go on from its end
        }
        section.SetStatus(SS_COMPLETE);
        sink.RefreshList();
    }
}

CRunningBrowsers FindRunningBrowsers()
{
    CRunningBrowsers browsers;
    browsers.firefox = FindWindowA("MozillaUIWindowClass", nullptr) != nullptr;
    browsers.internetExplorer = FindWindowA("IEFrame", nullptr) != nullptr;
    return browsers;
}

CString BuildBrowserAdvice(const CRunningBrowsers& browsers)
{
    CString text = "For best cleaning results it is recomended to close the following applications:\n";
    if (browsers.firefox)
        text += "\tMozilla Firefox\n";
    if (browsers.internetExplorer)
        text += "\tInternet Explorer\n";
    if (browsers.opera)
        text += "Opera\n";
    return text;
}
