#include "Controls.h"

int CTabCtrl::InsertItem(int index, const char* text) const
{
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessage(TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item)));
}

CString CListBox::GetText(int index) const
{
    const LRESULT length = SendMessage(LB_GETTEXTLEN, index);
    if (length == LB_ERR || length < 0)
        return CString();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessage(LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    if (copied == LB_ERR || copied < 0)
        return CString();
    text.resize(static_cast<size_t>(copied));
    return CString(text);
}
