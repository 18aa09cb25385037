// One section of the scan list: its status and everything its last scan found.
#pragma once

#include "CleanTarget.h"

#include <memory>

enum SectionStatus
{
    SS_READY = 100,
    SS_SCANNING = 101,
    SS_COMPLETE = 102,
    SS_CLEANING = 103,
    SS_STOPPED = 104 // the user stopped the scan in this section: what it found so far is listed
};

enum SectionIndex
{
    SECTION_WINDOWS = 0,
    SECTION_APPLICATIONS = 1,
    SECTION_BROWSERS = 2,
    SECTION_WIPE = 3,
    SECTION_COUNT = 4
};

class CScanItem
{
public:
    CScanItem(const CString& name, int sectionIndex);
    virtual ~CScanItem() {}
    CScanItem(const CScanItem&) = delete;
    CScanItem& operator=(const CScanItem&) = delete;

    const CString& GetName() const { return m_name; }
    int GetStatus() const { return m_status; }
    void SetStatus(int status) { m_status = status; }
    CFoundItemList& GetFoundItems() { return m_foundItems; }
    const CFoundItemList& GetFoundItems() const { return m_foundItems; }
    int GetSectionIndex() const { return m_sectionIndex; }
    int GetCleanedSoFar() const { return m_cleanedSoFar; }
    void SetCleanedSoFar(int count) { m_cleanedSoFar = count; }
    int GetToClean() const { return m_toClean; }
    void SetToClean(int count) { m_toClean = count; }
    int GetChecked() const { return m_checked; }
    void SetChecked(int checked) { m_checked = checked; }

private:
    CString m_name;
    int m_status;
    CFoundItemList m_foundItems;
    int m_sectionIndex;
    int m_cleanedSoFar;
    int m_toClean;
    int m_checked;
};

typedef std::shared_ptr<CScanItem> CScanItemPtr;
typedef std::vector<CScanItemPtr> CSectionList;
