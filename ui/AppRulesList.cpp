#include "AppRulesList.h"

#include "exmfc/Drawing.h"
#include "exmfc/Fonts.h"

#include <map>

BOOL CAppRulesList::CreateList(const RECT& rect, CWnd* parent, UINT id)
{
    const DWORD style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NODATA | LBS_NOINTEGRALHEIGHT |
                        LBS_OWNERDRAWFIXED | LBS_NOTIFY;
    if (!Create(style, rect, parent, id))
        return FALSE;
    SendMessage(LB_SETITEMHEIGHT, 0, exmfc::Scaled(18));
    return TRUE;
}

void CAppRulesList::SetEntries(const std::vector<const CRuleEntry*>& entries, const std::vector<CString>& checked)
{
    // Sections in the order first seen, each with its entries.
    std::vector<CString> sections;
    std::map<std::string, std::vector<const CRuleEntry*>> bySection;
    for (const CRuleEntry* entry : entries)
    {
        std::vector<const CRuleEntry*>& group = bySection[entry->section.str()];
        if (group.empty())
            sections.push_back(entry->section);
        group.push_back(entry);
    }
    m_rows.clear();
    for (const CString& section : sections)
    {
        const std::vector<const CRuleEntry*>& group = bySection[section.str()];
        m_rows.push_back({section + " (" + CString(std::to_string(group.size())) + ")", nullptr, false});
        for (const CRuleEntry* entry : group)
        {
            bool on = false;
            for (const CString& name : checked)
                on = on || name.CompareNoCase(entry->name) == 0;
            m_rows.push_back({entry->name, entry, on});
        }
    }
    if (IsWindow())
    {
        SendMessage(LB_SETCOUNT, m_rows.size());
        Invalidate(TRUE);
    }
}

std::vector<const CRuleEntry*> CAppRulesList::GetChecked() const
{
    std::vector<const CRuleEntry*> checked;
    for (const CRow& row : m_rows)
        if (row.entry && row.checked)
            checked.push_back(row.entry);
    return checked;
}

std::vector<CString> CAppRulesList::GetCheckedNames() const
{
    std::vector<CString> names;
    for (const CRuleEntry* entry : GetChecked())
        names.push_back(entry->name);
    return names;
}

void CAppRulesList::Toggle(int index)
{
    if (index < 0 || index >= GetRowCount() || !m_rows[static_cast<size_t>(index)].entry)
        return;
    CRow& row = m_rows[static_cast<size_t>(index)];
    if (!row.checked && m_mayCheck && !m_mayCheck(*row.entry))
        return;
    row.checked = !row.checked;
    Invalidate(FALSE);
    if (m_changed)
        m_changed();
}

void CAppRulesList::OnLButtonDown(UINT, CPoint point)
{
    ::SetFocus(m_hWnd);
    const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit))
        return; // below the last row
    const int row = LOWORD(hit);
    SendMessage(LB_SETCURSEL, row);
    Toggle(row);
}

void CAppRulesList::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_SPACE)
    {
        Toggle(static_cast<int>(SendMessage(LB_GETCURSEL)));
        return;
    }
    DefWindowProc(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}

void CAppRulesList::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (dis->itemID >= m_rows.size())
        return;
    const CRow& row = m_rows[dis->itemID];
    CDC dc;
    dc.Attach(dis->hDC);
    const int saved = dc.SaveDC();
    CRect r = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) && (dis->itemState & ODS_FOCUS);
    const bool header = row.entry == nullptr;
    ::FillRect(dc, &r, ::GetSysColorBrush(header ? COLOR_BTNFACE : selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(selected && !header ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    if (CFont* font = exmfc::GetFont(header ? exmfc::FONT_BOLD_TEXT : exmfc::FONT_TEXT))
        dc.SelectObject(*font);
    using exmfc::Scaled;
    CRect text(r.left + Scaled(header ? 4 : 24), r.top, r.right - Scaled(2), r.bottom);
    if (!header)
    {
        const int box = Scaled(13);
        CRect check(r.left + Scaled(6), r.top + (r.Height() - box) / 2, r.left + Scaled(6) + box,
                    r.top + (r.Height() - box) / 2 + box);
        ::DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (row.checked ? DFCS_CHECKED : 0));
    }
    dc.DrawText(row.text, text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    if ((dis->itemState & ODS_FOCUS) && !header)
        ::DrawFocusRect(dc, &r);
    dc.RestoreDC(saved);
    dc.Detach();
}
