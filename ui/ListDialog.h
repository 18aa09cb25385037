// CListDialog: the skinned modal list of one section's found items, a "Type" and an
// "Info" column per item. It only reads the list it is given.
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
    CListDialog(const CFoundItemList& items, CWnd* parent);

    void SetupSkin() override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    BEGIN_MSG_MAP_EX(CListDialog, exmfc::CWindowSkin<CDialog>)
    ON_NOTIFY(LVN_GETDISPINFOA, IDC_FOUND_LIST_ID, OnGetDispInfo)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_FOUND_LIST_ID, OnItemChanged)
    END_MSG_MAP_EX()

    void OnGetDispInfo(NMHDR* header, LRESULT* result);
    void OnItemChanged(NMHDR*, LRESULT* result) { *result = 0; }

    enum
    {
        IDC_FOUND_LIST_ID = 1001
    };

private:
    const CFoundItemList& m_items;
    exmfc::CSkinButton m_close;
    exmfc::CSkinButton m_ok;
};
