// CScanListBox: the owner-drawn list of the four scan sections: a check icon, the name,
// the status, the number found (or the percentage cleaned) and a "Details..." cell.
// It owns the sections that the scan and clean runs work on, and repaints as they go.
#pragma once

#include "afx/Controls.h"
#include "engine/ScanRun.h"
#include "exmfc/SkinButton.h"

#include <functional>
#include <memory>
#include <vector>

// What a row shows of its section: taken from the sections by whoever owns them at the
// time (a run's worker, or the window's thread when no run is on).
struct CSectionRow
{
    int status = SS_READY;
    bool checked = false;
    size_t found = 0;
    int cleanedSoFar = 0;
    int toClean = 0;
};
std::vector<CSectionRow> SnapshotRows(const CSectionList& sections);
// True when about 10 ms of the performance counter have passed since last, which it then
// holds the time of.
bool IsRefreshDue(DWORD& last);

// What the list needs of the window that holds it.
class IScanListOwner
{
public:
    // True while a run works on the sections: the list then shows the rows the run sends,
    // opens no details, and the run has set the buttons itself.
    virtual bool IsRunning() const = 0;
    virtual void EnableScanAndClean(bool scan, bool clean) = 0;
    // The owner of the details dialog, and how it runs it (modally).
    virtual CWnd* GetDetailsOwner() = 0;
    virtual INT_PTR RunDetails(const std::function<INT_PTR()>& run) { return run(); }

protected:
    ~IScanListOwner() {}
};

class CScanListBox : public CListBox, public IProgressSink
{
public:
    // Column widths: name, status, count, details.
    enum
    {
        NAME_WIDTH = 150,
        STATUS_WIDTH = 110,
        COUNT_WIDTH = 59,
        DETAILS_WIDTH = 70
    };

    CScanListBox();

    // Creates the list over rect (its height gives the row height), with a hidden skin
    // button per section that paints the row's "Details..." cell.
    BOOL CreateList(const RECT& rect, CWnd* parent, UINT id, IScanListOwner* owner);

    CSectionList& GetSections() { return m_sections; }
    const std::vector<CSectionRow>& GetRows() const { return m_rows; }

    // Repaints now; unless a run is on, takes the rows from the sections, places the
    // details painters and sets which of Scan and Clean the owner enables.
    void RefreshList() override;
    // RefreshList, at most about every 10 ms of the performance counter.
    void Tick() override;
    // Shows the rows a run sent (from its worker, through the window's thread).
    void ShowRows(std::vector<CSectionRow> rows);
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    BEGIN_MSG_MAP_EX(CScanListBox, CListBox)
    ON_WM_LBUTTONDOWN()
    ON_WM_ERASEBKGND()
    END_MSG_MAP_EX()

    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }

    // What a click at point in the client area means: the section whose check icon it
    // hits, the section whose details it opens, or neither (-1 each).
    void HitTest(CPoint point, int& iconSection, int& detailsSection) const;
    // The text of the count column of a row.
    static CString CountText(const CSectionRow& row);
    int GetItemHeight() const { return m_itemHeight; }
    bool HasDetailsButton(int section) const;

private:
    CBrush m_background;
    CSectionList m_sections;
    std::vector<CSectionRow> m_rows; // what is painted
    std::vector<CRect> m_iconRects; // where each row's check icon was last drawn
    std::vector<std::unique_ptr<exmfc::CSkinButton>> m_details;
    int m_itemHeight;
    CIcon m_checkedIcon;
    CIcon m_uncheckedIcon;
    DWORD m_lastRefresh;
    IScanListOwner* m_owner;
};
