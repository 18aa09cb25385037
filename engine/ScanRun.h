// The scan run: clears the sections and runs the scanners of the checked areas.
#pragma once

#include "model/KeepList.h"
#include "model/ScanItem.h"
#include "ScanPaths.h"
#include "model/Tickable.h"
#include "rules/RuleFile.h"

#include <vector>

// What the user keeps for a scan: the list (nullptr keeps nothing), or, when the keep
// file could not be used, where it is and why; nothing a keep list narrows (cookies, site
// data) is then scanned.
struct CKeepChoice
{
    CKeepListPtr list;
    CString place;
    CString problem;
};

// What the scan run needs of the window that drives it.
class IScanContext : public IProgressSink
{
public:
    virtual bool IsAreaChecked(int areaId) const = 0;
    virtual const CScanPaths& GetScanPaths() const = 0;
    // Owner of clipboard and shell calls; may be NULL.
    virtual HWND GetOwnerWindow() const = 0;
    // The entries of the user's rule files to scan with the Applications section (detected
    // and checked); none unless the context has rule files.
    virtual std::vector<const CRuleEntry*> GetCheckedRules() const { return {}; }
    // What the user keeps; nothing unless the context reads a keep list.
    virtual CKeepChoice GetKeepChoice() const { return {}; }

protected:
    ~IScanContext() {}
};

// The four sections in row order, named by the caller (names[i] for section i), the wipe
// section unchecked.
CSectionList CreateSections(const std::vector<CString>& names);
// Releases every found item and sets every status to ready.
void ClearSections(CSectionList& sections);
// Scans the checked sections in row order; each section's checked areas in catalogue order.
void ScanSections(CSectionList& sections, IScanContext& context);
// Found items of all four sections.
int CountFoundItems(const CSectionList& sections);
