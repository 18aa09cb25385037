#include "ListDialog.h"

#include "exmfc/Fonts.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

static_assert(CListDialog::IDC_FOUND_LIST_ID == IDC_FOUND_LIST, "the list's id in the template");

namespace
{
const int kTypeWidth = 150;
// Texts measured for the width of the "Info" column: the longest by length, so that a
// long list is not measured whole.
const size_t kMeasured = 200;
enum
{
    MENU_COPY = 1,
    MENU_OPEN_FOLDER
};

std::wstring Wide(const CString& text)
{
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), &wide[0], units);
    return wide;
}

// Whether a text names a place on a drive or a share.
bool IsPathText(const CString& text)
{
    const std::string plain = text.str();
    return (plain.size() > 2 && plain[1] == ':' && plain[2] == '\\') || plain.compare(0, 2, "\\\\") == 0;
}
} // namespace

CString CListDialog::Caption(const CString& sectionName, size_t count)
{
    return sectionName + ": " + CString(std::to_string(count).c_str()) + (count == 1 ? " item" : " items");
}

CListDialog::CListDialog(const CFoundItemList& items, const CString& sectionName, CWnd* parent)
    : exmfc::CWindowSkin<CDialog>(IDB_DETAILS_SKIN), m_items(items),
      m_caption(Caption(sectionName, items.size()))
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
    m_title = m_caption;
    using exmfc::Scaled;
    m_captionRect.SetRect(Scaled(25), Scaled(5), client.Width() - Scaled(70), Scaled(33));
    m_titleRect.SetRect(m_captionRect.left + Scaled(22), m_captionRect.top + Scaled(4),
                        m_captionRect.right - Scaled(4), m_captionRect.bottom - Scaled(2));
    m_titleColour = RGB(255, 255, 255);
    m_systemMenuPoint = CPoint(Scaled(11), Scaled(39));
    m_cursor = ::LoadCursorA(nullptr, IDC_ARROW);
    exmfc::CopyFont(exmfc::GetFont(exmfc::FONT_TITLE), m_titleFont);
}

BOOL CListDialog::OnInitDialog()
{
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    BOOL result = exmfc::CWindowSkin<CDialog>::OnInitDialog();
    SetWindowText(m_caption);
    using exmfc::Scaled;
    m_captionRect.SetRect(Scaled(25), Scaled(5), w - Scaled(20), Scaled(40));
    // Over the middle of the window that opened it.
    if (m_pParentWnd && m_pParentWnd->m_hWnd)
    {
        CRect owner, self;
        m_pParentWnd->GetWindowRect(&owner);
        GetWindowRect(&self);
        SetWindowPos(nullptr, owner.left + (owner.Width() - self.Width()) / 2,
                     owner.top + (owner.Height() - self.Height()) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    m_ok.Create("OK", WS_CHILD | WS_VISIBLE,
                CRect(w - Scaled(120), h - Scaled(41), w - Scaled(20), h - Scaled(17)), this, IDOK);
    m_ok.SetSkin(IDB_TEXT_BUTTON, exmfc::FACES_WITH_DISABLED, 100);
    m_ok.SetFont(*exmfc::GetFont(exmfc::FONT_BUTTON));
    m_close.Create("", WS_CHILD | WS_VISIBLE, CRect(w - Scaled(32), Scaled(6), w - Scaled(10), Scaled(27)),
                   this, IDCANCEL);
    m_close.SetSkin(IDB_CLOSE, exmfc::FACES_NORMAL_PRESSED_HOVER, 22);

    HWND list = GetDlgItem(IDC_FOUND_LIST);
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const char* titles[] = {"Type", "Info"};
    for (int i = 0; i < 2; ++i)
    {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<char*>(titles[i]);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    ::SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, Scaled(kTypeWidth));
    SizeInfoColumn(list);
    return result;
}

void CListDialog::SizeInfoColumn(HWND list)
{
    // The width the list leaves, less a vertical scroll bar when the lines need one.
    CRect client;
    ::GetClientRect(list, &client);
    int available = client.Width() - exmfc::Scaled(kTypeWidth);
    const LRESULT perPage = ::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    if (perPage >= 0 && m_items.size() > static_cast<size_t>(perPage) &&
        !(::GetWindowLongPtrA(list, GWL_STYLE) & WS_VSCROLL))
        available -= ::GetSystemMetrics(SM_CXVSCROLL);
    // The widest text among the longest ones, with the list's own padding.
    std::vector<size_t> order(m_items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const size_t measured = std::min(kMeasured, order.size());
    std::partial_sort(
        order.begin(), order.begin() + static_cast<std::ptrdiff_t>(measured), order.end(),
        [this](size_t a, size_t b)
        { return m_items[a]->GetDisplayText().GetLength() > m_items[b]->GetDisplayText().GetLength(); });
    int widest = 0;
    for (size_t i = 0; i < measured; ++i)
    {
        const LRESULT width =
            ::SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                           reinterpret_cast<LPARAM>(m_items[order[i]]->GetDisplayText().GetString()));
        widest = std::max(widest, static_cast<int>(width) + exmfc::Scaled(12));
    }
    ::SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, std::max(available, widest));
}

CString CListDialog::SelectedLines() const
{
    CString text;
    HWND list = ::GetDlgItem(m_hWnd, IDC_FOUND_LIST);
    for (LRESULT i = -1;
         (i = ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)) >= 0;)
    {
        if (static_cast<size_t>(i) >= m_items.size())
            break;
        const CCleanTargetPtr& item = m_items[static_cast<size_t>(i)];
        text += item->GetTypeName() + "\t" + item->GetDisplayText() + "\r\n";
    }
    return text;
}

bool CListDialog::CopySelection()
{
    const std::wstring text = Wide(SelectedLines());
    if (text.empty() || !::OpenClipboard(m_hWnd))
        return false;
    bool copied = false;
    if (::EmptyClipboard())
    {
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        void* data = memory ? ::GlobalLock(memory) : nullptr;
        if (data)
        {
            std::memcpy(data, text.c_str(), bytes);
            ::GlobalUnlock(memory);
            copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (memory && !copied)
            ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return copied;
}

CString CListDialog::SelectedFolder() const
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_FOUND_LIST);
    const LRESULT i = ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (i < 0 || static_cast<size_t>(i) >= m_items.size())
        return CString();
    std::string path = m_items[static_cast<size_t>(i)]->GetDisplayText().str();
    if (!IsPathText(CString(path.c_str())))
        return CString();
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos || slash < 2)
        return CString();
    const CString folder(path.substr(0, slash == 2 ? 3 : slash).c_str());
    const DWORD attributes = ::GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? folder
                                                                                            : CString();
}

void CListDialog::OnListKeyDown(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
    if (key == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000))
        CopySelection();
    else if (key == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000))
    {
        LVITEMA all = {};
        all.stateMask = all.state = LVIS_SELECTED;
        ::SendMessageA(header->hwndFrom, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&all));
    }
}

LRESULT CListDialog::OnContextMenu(WPARAM window, LPARAM point)
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_FOUND_LIST);
    if (reinterpret_cast<HWND>(window) != list)
        return Default();
    CPoint at(static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point)));
    if (point == static_cast<LPARAM>(-1)) // from the keyboard: at the list's corner
    {
        CRect rect;
        ::GetWindowRect(list, &rect);
        at = rect.TopLeft();
    }
    const bool selected = ::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    const CString folder = SelectedFolder();
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return 0;
    ::AppendMenuA(menu, MF_STRING | (selected ? 0 : MF_GRAYED), MENU_COPY, "&Copy\tCtrl+C");
    ::AppendMenuA(menu, MF_STRING | (folder.IsEmpty() ? MF_GRAYED : 0), MENU_OPEN_FOLDER, "&Open folder");
    const int chosen =
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    if (chosen == MENU_COPY)
        CopySelection();
    else if (chosen == MENU_OPEN_FOLDER && !folder.IsEmpty())
        ::ShellExecuteW(m_hWnd, L"open", L"explorer.exe", Wide(folder).c_str(), nullptr, SW_SHOWNORMAL);
    return 0;
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
