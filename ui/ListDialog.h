// CListDialog: the skinned modal list of one section's found items, a "Type" and an
// "Info" column per item, captioned with the section's name and count. Selected lines
// can be copied (Ctrl+C, or "Copy" on the context menu) and the folder of a listed path
// opened. It only reads the list it is given.
#pragma once

#include "afx/Dialog.h"
#include "exmfc/SkinButton.h"
#include "exmfc/WindowSkin.h"
#include "model/CleanTarget.h"

#include <commctrl.h>

class CListDialog : public exmfc::CWindowSkin<CDialog>
{
public:
    // items must outlive the dialog.
    CListDialog(const CFoundItemList& items, const CString& sectionName, CWnd* parent);

    // The caption: "NAME: N items" ("1 item").
    static CString Caption(const CString& sectionName, size_t count);
    // The selected lines as "type<TAB>text" lines, each ending with CR LF.
    CString SelectedLines() const;
    // Puts the selected lines on the clipboard; false when nothing was selected or the
    // clipboard could not be taken.
    bool CopySelection();

    void SetupSkin() override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    BEGIN_MSG_MAP_EX(CListDialog, exmfc::CWindowSkin<CDialog>)
    ON_NOTIFY(LVN_GETDISPINFOA, IDC_FOUND_LIST_ID, OnGetDispInfo)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_FOUND_LIST_ID, OnItemChanged)
    ON_NOTIFY(LVN_KEYDOWN, IDC_FOUND_LIST_ID, OnListKeyDown)
    ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
    END_MSG_MAP_EX()

    void OnGetDispInfo(NMHDR* header, LRESULT* result);
    void OnItemChanged(NMHDR*, LRESULT* result) { *result = 0; }
    void OnListKeyDown(NMHDR* header, LRESULT* result);
    LRESULT OnContextMenu(WPARAM window, LPARAM point);

    enum
    {
        IDC_FOUND_LIST_ID = 1001
    };

private:
    void SizeInfoColumn(HWND list);
    // The folder of the first selected item whose text is a path, "" for none.
    CString SelectedFolder() const;

    const CFoundItemList& m_items;
    CString m_caption;
    exmfc::CSkinButton m_close;
    exmfc::CSkinButton m_ok;
};
