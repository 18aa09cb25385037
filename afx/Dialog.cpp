#include "Dialog.h"

#include "App.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (!control.GetSafeHwnd())
        control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

CDialog::CDialog() : m_templateId(0), m_template(nullptr), m_pParentWnd(nullptr) {}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_template(nullptr), m_pParentWnd(parent)
{
}

BOOL CDialog::InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent)
{
    m_template = dialogTemplate;
    m_pParentWnd = parent;
    return dialogTemplate != nullptr;
}

// The dialog's window procedure is ours (bound by the creation hook); this procedure
// is what the system's dialog procedure calls for what we leave to it.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!dialog)
        return TRUE;
    try
    {
        return dialog->OnInitDialog();
    }
    catch (...)
    {
        // A dialog that could not be set up is not shown half made.
        AfxReportCurrentException("the opening of a dialog");
        ::EndDialog(hWnd, -1);
        return TRUE;
    }
}

INT_PTR CDialog::DoModal()
{
    HWND parent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!parent && AfxGetMainWnd() && AfxGetMainWnd() != this)
        parent = AfxGetMainWnd()->GetSafeHwnd();
    HINSTANCE module = GetModuleHandleA(nullptr);
    INT_PTR result;
    {
        // Bind the dialog to this object from its first message on.
        CWndCreationScope scope(this);
        if (m_template)
            result = ::DialogBoxIndirectParamA(module, m_template, parent, DialogProc, 0);
        else
            result = ::DialogBoxParamA(module, MAKEINTRESOURCEA(m_templateId), parent, DialogProc, 0);
    }
    return result;
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND && HIWORD(wParam) <= 1)
    {
        // Enter and Escape arrive as IDOK and IDCANCEL, as do the buttons of those ids.
        if (LOWORD(wParam) == IDOK)
        {
            OnOK();
            *result = 0;
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL)
        {
            OnCancel();
            *result = 0;
            return TRUE;
        }
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) { return ::IsDialogMessageA(m_hWnd, msg); }
