// CDialog: a modal dialog from a template resource, with data exchange.
#pragma once

#include "Wnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds a dialog control to a member object (once).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd
{
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Uses an in-memory template instead of a resource id (kept by the caller).
    BOOL InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void OnOK();
    virtual void OnCancel();

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    UINT m_templateId;
    const DLGTEMPLATE* m_template;
    CWnd* m_pParentWnd;
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
