// The clean run, and the advice about browsers that are still running.
#pragma once

#include "model/CleanHost.h"
#include "model/ScanItem.h"
#include "model/Tickable.h"

#include <vector>

// Cleans every section's items from the last found to the first and drops those
// that report success; what could not be removed stays listed, in found order. A
// cancel from the owner stops the run at the next item; the rest stays listed.
void CleanSections(CSectionList& sections, IProgressSink& sink, ICleanHost* owner);

struct CRunningBrowsers
{
    bool firefox = false;
    bool internetExplorer = false;
    bool opera = false;
    // Chromium-family browsers by name ("Google Chrome"), each once, as first seen.
    std::vector<CString> chromium;
    bool Any() const { return firefox || internetExplorer || opera || !chromium.empty(); }
};

// Recognises running browsers by their top-level window classes; the Chromium family,
// whose windows share one class, by their program files.
CRunningBrowsers FindRunningBrowsers();
// The text of the advice shown before a clean when any browser is running.
CString BuildBrowserAdvice(const CRunningBrowsers& browsers);
