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
} // namespace

CScanListBox::CScanListBox()
    : m_sections(CreateSections(SectionNames())), m_iconRects(m_sections.size()), m_itemHeight(1),
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
    Invalidate(TRUE);
    UpdateWindow();
    if (m_owner && m_owner->IsCleaning())
        return;
    CRect client;
    GetClientRect(&client);
    bool anyChecked = false, anyFound = false;
    int y = client.top + 2;
    for (size_t i = 0; i < m_sections.size(); ++i)
    {
        if (i < m_details.size())
            m_details[i]->MoveWindow(client.right - 69, y, 68, 18, FALSE);
        y += m_itemHeight;
        anyChecked = anyChecked || m_sections[i]->GetChecked();
        anyFound = anyFound || !m_sections[i]->GetFoundItems().empty();
    }
    if (m_owner)
        m_owner->EnableScanAndClean(anyChecked, anyFound);
}

void CScanListBox::Tick()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    const DWORD low = static_cast<DWORD>(now.QuadPart);
    if (static_cast<DWORD>(low - m_lastRefresh) > kRefreshCounts)
    {
        RefreshList();
        m_lastRefresh = low;
    }
}

CString CScanListBox::CountText(const CScanItem& section)
{
    const size_t found = section.GetFoundItems().size();
    CString text;
    if (section.GetStatus() == SS_CLEANING && found > 0 && section.GetToClean() > 0)
        text.Format("%d%%", section.GetCleanedSoFar() * 100 / section.GetToClean());
    else
        text.Format("%u", static_cast<unsigned>(found));
    return text;
}

bool CScanListBox::HasDetailsButton(int section) const
{
    return section >= 0 && section < static_cast<int>(m_sections.size()) &&
           !m_sections[static_cast<size_t>(section)]->GetFoundItems().empty();
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
    if (row < m_sections.size())
    {
        CScanItem& section = *m_sections[row];
        using exmfc::Scaled;
        const int icon = Scaled(16), inset = Scaled(2);
        if (row < m_iconRects.size())
            m_iconRects[row] =
                CRect(r.left + inset, r.top + inset, r.left + inset + icon, r.top + inset + icon);
        ::DrawIconEx(dc, r.left + inset, r.top + inset,
                     section.GetChecked() ? m_checkedIcon : m_uncheckedIcon, icon, icon, 0, nullptr,
                     DI_NORMAL);
        const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
        CRect name(r.left + Scaled(20), r.top, r.left + Scaled(NAME_WIDTH), r.bottom);
        dc.DrawText(section.GetName(), name, format);

        const int separators[] = {r.left + Scaled(NAME_WIDTH), r.left + Scaled(NAME_WIDTH + STATUS_WIDTH),
                                  r.left + Scaled(NAME_WIDTH + STATUS_WIDTH + COUNT_WIDTH)};
        for (int x : separators)
        {
            dc.MoveTo(x, r.top);
            dc.LineTo(x, r.bottom);
        }
        const int status = section.GetStatus();
        CString statusText = status >= SS_READY && status <= SS_CLEANING
                                 ? CString::FromResource(status + IDS_STATUS_OFFSET)
                                 : "";
        CRect statusRect(separators[0] + Scaled(5), r.top, separators[1], r.bottom);
        dc.DrawText(statusText, statusRect, format);
        CRect countRect(separators[1] + Scaled(5), r.top, separators[2], r.bottom);
        dc.DrawText(CountText(section), countRect, format);

        if (!section.GetFoundItems().empty() && row < m_details.size())
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
