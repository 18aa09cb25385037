// The "More applications" check list: the entries of the user's rule files found on this
// machine, grouped under their sections with the count of each; a click on an entry, or
// Space on the selected one, checks or unchecks it.
#pragma once

#include "afx/Controls.h"
#include "afx/Gdi.h"
#include "rules/RuleFile.h"

#include <functional>
#include <vector>

class CAppRulesList : public CListBox
{
public:
    BOOL CreateList(const RECT& rect, CWnd* parent, UINT id);
    // Whether a user's check may stand (an entry with a warning asks first); called
    // before the change, and the owner is told after it.
    void SetCallbacks(const std::function<bool(const CRuleEntry&)>& mayCheck, const std::function<void()>& changed)
    {
        m_mayCheck = mayCheck;
        m_changed = changed;
    }
    // Shows the entries, grouped by section in the order first seen; those named in
    // checked (compared without regard to case) are checked.
    void SetEntries(const std::vector<const CRuleEntry*>& entries, const std::vector<CString>& checked);
    std::vector<const CRuleEntry*> GetChecked() const;
    std::vector<CString> GetCheckedNames() const;
    // Checks or unchecks the entry at row (a header row is left); for clicks and tests.
    void Toggle(int row);
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }

    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    BEGIN_MSG_MAP_EX(CAppRulesList, CListBox)
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
    END_MSG_MAP_EX()

    void OnLButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);

private:
    struct CRow
    {
        CString text;
        const CRuleEntry* entry; // nullptr for a section's header
        bool checked;
    };
    std::vector<CRow> m_rows;
    std::function<bool(const CRuleEntry&)> m_mayCheck;
    std::function<void()> m_changed;
};
