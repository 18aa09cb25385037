#include "ScanListBox.h"

#include "exmfc/Drawing.h"

#include "ListDialog.h"
#include "exmfc/Fonts.h"
#include "resources/resource.h"

namespace
{
const COLORREF kLineColour = RGB(204, 204, 204);
const DWORD kRefreshCounts = 100000;

// The section names of the string table, in row order.
std::vector<CString> SectionNames()
{
    std::vector<CString> names;
    for (int section = 0; section < SECTION_COUNT; ++section)
        names.push_back(CString::FromResource(IDS_SECTION_WINDOWS + section));
    return names;
}

// The status column's text of each section status.
const struct
{
    int status;
    UINT text;
} kStatusTexts[] = {{SS_READY, IDS_STATUS_READY},       {SS_SCANNING, IDS_STATUS_SCANNING},
                    {SS_COMPLETE, IDS_STATUS_COMPLETE}, {SS_CLEANING, IDS_STATUS_CLEANING},
                    {SS_STOPPED, IDS_STATUS_STOPPED}};
} // namespace

std::vector<CSectionRow> SnapshotRows(const CSectionList& sections)
{
    std::vector<CSectionRow> rows(sections.size());
    for (size_t i = 0; i < sections.size(); ++i)
    {
        const CScanItem& section = *sections[i];
        rows[i].status = section.GetStatus();
        rows[i].checked = section.GetChecked() != 0;
        rows[i].found = section.GetFoundItems().size();
        rows[i].cleanedSoFar = section.GetCleanedSoFar();
        rows[i].toClean = section.GetToClean();
    }
    return rows;
}

CScanListBox::CScanListBox()
    : m_sections(CreateSections(SectionNames())), m_rows(SnapshotRows(m_sections)), m_iconRects(m_sections.size()),
      m_itemHeight(1),
      m_lastRefresh(0), m_owner(nullptr)
{
    m_background.CreateSolidBrush(RGB(255, 255, 255));
}

BOOL CScanListBox::CreateList(const RECT& rect, CWnd* parent, UINT id, IScanListOwner* owner)
{
    m_owner = owner;
    const DWORD style = WS_CHILD | WS_VISIBLE | LBS_NOSEL | LBS_NODATA | LBS_NOINTEGRALHEIGHT |
                        LBS_OWNERDRAWFIXED | LBS_NOTIFY;
    if (!Create(style, rect, parent, id))
        return FALSE;
    m_checkedIcon.Load(IDI_SECTION_CHECKED, exmfc::Scaled(16));
    m_uncheckedIcon.Load(IDI_SECTION_UNCHECKED, exmfc::Scaled(16));
    const int count = static_cast<int>(m_sections.size());
    m_itemHeight = (rect.bottom - rect.top) / count;
    SendMessage(LB_SETITEMHEIGHT, 0, m_itemHeight);
    SendMessage(LB_SETCOUNT, count);
    const CString caption = CString::FromResource(IDS_DETAILS);
    for (int i = 0; i < count; ++i)
    {
        std::unique_ptr<exmfc::CSkinButton> button(new exmfc::CSkinButton);
        button->Create(caption, WS_CHILD, exmfc::Scaled(CRect(0, 0, 68, 18)), this, IDC_DETAILS_FIRST + i);
        button->SetSkin(IDB_DETAILS_BUTTON, exmfc::FACES_WITH_DISABLED, 68, 0, 0, false, 0);
        button->SetFont(*exmfc::GetFont(exmfc::FONT_LIST_BUTTON));
        m_details.push_back(std::move(button));
    }
    return TRUE;
}

void CScanListBox::RefreshList()
{
    if (!IsWindow())
        return;
    if (m_owner && m_owner->IsRunning())
    {
        Invalidate(TRUE);
        UpdateWindow();
        return;
    }
    m_rows = SnapshotRows(m_sections);
    Invalidate(TRUE);
    UpdateWindow();
    CRect client;
    GetClientRect(&client);
    bool anyChecked = false, anyFound = false;
    int y = client.top + 2;
    for (size_t i = 0; i < m_sections.size(); ++i)
    {
        if (i < m_details.size())
            m_details[i]->MoveWindow(client.right - 69, y, 68, 18, FALSE);
        y += m_itemHeight;
        anyChecked = anyChecked || m_rows[i].checked;
        anyFound = anyFound || m_rows[i].found > 0;
    }
    if (m_owner)
        m_owner->EnableScanAndClean(anyChecked, anyFound);
}

bool IsRefreshDue(DWORD& last)
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    const DWORD low = static_cast<DWORD>(now.QuadPart);
    if (static_cast<DWORD>(low - last) <= kRefreshCounts)
        return false;
    last = low;
    return true;
}

void CScanListBox::Tick()
{
    if (IsRefreshDue(m_lastRefresh))
        RefreshList();
}

void CScanListBox::ShowRows(std::vector<CSectionRow> rows)
{
    if (rows.size() != m_sections.size())
        return;
    m_rows = std::move(rows);
    Invalidate(TRUE);
    UpdateWindow();
}

CString CScanListBox::CountText(const CSectionRow& row)
{
    CString text;
    if (row.status == SS_CLEANING && row.found > 0 && row.toClean > 0)
        text.Format("%d%%", row.cleanedSoFar * 100 / row.toClean);
    else
        text.Format("%u", static_cast<unsigned>(row.found));
    return text;
}

bool CScanListBox::HasDetailsButton(int section) const
{
    return section >= 0 && section < static_cast<int>(m_rows.size()) && !(m_owner && m_owner->IsRunning()) &&
           m_rows[static_cast<size_t>(section)].found > 0;
}

void CScanListBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CDC dc;
    dc.Attach(dis->hDC);
    const int saved = dc.SaveDC();
    const RECT& r = dis->rcItem;
    dc.FillRect(r, m_background);
    dc.SetBkMode(TRANSPARENT);
    CPen pen(PS_SOLID, 1, kLineColour);
    dc.SelectObject(pen);
    dc.MoveTo(r.left, r.top);
    dc.LineTo(r.right, r.top);
    if (CFont* font = exmfc::GetFont(exmfc::FONT_LIST))
        dc.SelectObject(*font);

    const UINT row = dis->itemID;
    if (row < m_rows.size() && row < m_sections.size())
    {
        const CSectionRow& section = m_rows[row];
        const CString& name = m_sections[row]->GetName(); // set once, never changed
        using exmfc::Scaled;
        const int icon = Scaled(16), inset = Scaled(2);
        if (row < m_iconRects.size())
            m_iconRects[row] =
                CRect(r.left + inset, r.top + inset, r.left + inset + icon, r.top + inset + icon);
        ::DrawIconEx(dc, r.left + inset, r.top + inset,
                     section.checked ? m_checkedIcon : m_uncheckedIcon, icon, icon, 0, nullptr,
                     DI_NORMAL);
        const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
        CRect nameRect(r.left + Scaled(20), r.top, r.left + Scaled(NAME_WIDTH), r.bottom);
        dc.DrawText(name, nameRect, format);

        const int separators[] = {r.left + Scaled(NAME_WIDTH), r.left + Scaled(NAME_WIDTH + STATUS_WIDTH),
                                  r.left + Scaled(NAME_WIDTH + STATUS_WIDTH + COUNT_WIDTH)};
        for (int x : separators)
        {
            dc.MoveTo(x, r.top);
            dc.LineTo(x, r.bottom);
        }
        CString statusText;
        for (const auto& known : kStatusTexts)
            if (known.status == section.status)
                statusText = CString::FromResource(known.text);
        CRect statusRect(separators[0] + Scaled(5), r.top, separators[1], r.bottom);
        dc.DrawText(statusText, statusRect, format);
        CRect countRect(separators[1] + Scaled(5), r.top, separators[2], r.bottom);
        dc.DrawText(CountText(section), countRect, format);

        if (HasDetailsButton(static_cast<int>(row)) && row < m_details.size())
        {
            DRAWITEMSTRUCT button = *dis;
            button.CtlType = ODT_BUTTON;
            button.CtlID = IDC_DETAILS_FIRST + row;
            button.hwndItem = *m_details[row];
            button.itemState = 0;
            button.rcItem =
                CRect(separators[2] + 1, r.top + inset, separators[2] + Scaled(DETAILS_WIDTH), r.bottom);
            m_details[row]->DrawItem(&button);
        }
    }
    dc.RestoreDC(saved);
    dc.Detach();
}

void CScanListBox::HitTest(CPoint point, int& iconSection, int& detailsSection) const
{
    iconSection = detailsSection = -1;
    for (size_t i = 0; i < m_iconRects.size(); ++i)
    {
        if (m_iconRects[i].PtInRect(point))
        {
            iconSection = static_cast<int>(i);
            return;
        }
    }
    CRect client;
    GetClientRect(&client);
    if (point.x <= client.right - exmfc::Scaled(DETAILS_WIDTH) || m_itemHeight <= 0)
        return;
    const int row = point.y / m_itemHeight;
    if (row < 0 || row > 3 || !HasDetailsButton(row))
        return;
    detailsSection = row;
}

void CScanListBox::OnLButtonDown(UINT, CPoint point)
{
    int iconSection = -1, detailsSection = -1;
    HitTest(point, iconSection, detailsSection);
    if (m_owner && m_owner->IsRunning())
        return; // the sections are the run's until it ends
    if (iconSection >= 0)
    {
        CScanItem& section = *m_sections[static_cast<size_t>(iconSection)];
        section.SetChecked(section.GetChecked() ? 0 : 1);
        RefreshList();
        return;
    }
    if (detailsSection < 0)
        return;
    const CScanItem& section = *m_sections[static_cast<size_t>(detailsSection)];
    CListDialog details(section.GetFoundItems(), section.GetName(),
                        m_owner ? m_owner->GetDetailsOwner() : nullptr);
    if (m_owner)
        m_owner->RunDetails([&details] { return details.DoModal(); });
    else
        details.DoModal();
}
