#include "ListDialog.h"

#include "exmfc/Fonts.h"
#include "resources/resource.h"

#include <cstring>

static_assert(CListDialog::IDC_FOUND_LIST_ID == IDC_FOUND_LIST, "the list's id in the template");

CListDialog::CListDialog(const CFoundItemList& items, CWnd* parent)
    : exmfc::CWindowSkin<CDialog>(IDB_DETAILS_SKIN), m_items(items)
{
    m_templateId = IDD_DETAILS;
    m_pParentWnd = parent;
}

void CListDialog::SetupSkin()
{
    CRect client;
    GetClientRect(&client);
    m_shaped = true;
    m_transparentColour = RGB(255, 0, 255);
    m_title.Empty();
    m_captionRect.SetRect(25, 5, client.Width() - 70, 33);
    m_titleRect.SetRect(m_captionRect.left + 22, m_captionRect.top + 4, m_captionRect.right - 4,
                        m_captionRect.bottom - 2);
    m_titleColour = RGB(255, 255, 255);
    m_systemMenuPoint = CPoint(11, 39);
    m_cursor = ::LoadCursorA(nullptr, IDC_ARROW);
    exmfc::CopyFont(exmfc::GetFont(exmfc::FONT_TITLE), m_titleFont);
}

BOOL CListDialog::OnInitDialog()
{
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    BOOL result = exmfc::CWindowSkin<CDialog>::OnInitDialog();
    m_captionRect.SetRect(25, 5, w - 20, 40);
    // Over the middle of the window that opened it.
    if (m_pParentWnd && m_pParentWnd->m_hWnd)
    {
        CRect owner, self;
        m_pParentWnd->GetWindowRect(&owner);
        GetWindowRect(&self);
        SetWindowPos(nullptr, owner.left + (owner.Width() - self.Width()) / 2,
                     owner.top + (owner.Height() - self.Height()) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    m_ok.Create("OK", WS_CHILD | WS_VISIBLE, CRect(w - 120, h - 41, w - 20, h - 17), this, IDOK);
    m_ok.SetSkin(IDB_TEXT_BUTTON, exmfc::FACES_WITH_DISABLED, 100);
    m_ok.SetFont(*exmfc::GetFont(exmfc::FONT_BUTTON));
    m_close.Create("", WS_CHILD | WS_VISIBLE, CRect(w - 32, 6, w - 10, 27), this, IDCANCEL);
    m_close.SetSkin(IDB_CLOSE, exmfc::FACES_NORMAL_PRESSED_HOVER, 22);

    HWND list = GetDlgItem(IDC_FOUND_LIST);
    const char* titles[] = {"Type", "Info"};
    const int widths[] = {150, 1000};
    for (int i = 0; i < 2; ++i)
    {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<char*>(titles[i]);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        ::SendMessageA(list, LVM_SETCOLUMNWIDTH, i, widths[i]);
    }
    return result;
}

void CListDialog::DoDataExchange(CDataExchange* dx)
{
    if (!dx->m_bSaveAndValidate)
        ::SendMessageA(GetDlgItem(IDC_FOUND_LIST), LVM_SETITEMCOUNT, m_items.size(), 0);
}

void CListDialog::OnGetDispInfo(NMHDR* header, LRESULT* result)
{
    *result = 0;
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0 || item.iItem < 0 ||
        static_cast<size_t>(item.iItem) >= m_items.size())
        return;
    const CCleanTargetPtr& target = m_items[static_cast<size_t>(item.iItem)];
    const CString& text = item.iSubItem == 0 ? target->GetTypeName() : target->GetDisplayText();
    // Cut to the list's buffer, the terminating zero included.
    size_t length = static_cast<size_t>(text.GetLength());
    if (length > static_cast<size_t>(item.cchTextMax - 1))
        length = static_cast<size_t>(item.cchTextMax - 1);
    std::memcpy(item.pszText, text.GetString(), length);
    item.pszText[length] = '\0';
}
