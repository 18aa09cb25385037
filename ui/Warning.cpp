#include "Warning.h"

#include "resources/resource.h"

CWarning::CWarning(CWnd* parent) : CDialog(IDD_WIPE_NOTICE, parent), m_checkState(0) {}

BOOL CWarning::OnInitDialog()
{
    BOOL result = CDialog::OnInitDialog();
    CenterWindow(); // the main window stands in the middle of the screen too
    return result;
}

void CWarning::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_DONT_SHOW_AGAIN, m_dontShowAgain);
}

void CWarning::OnOK()
{
    m_checkState = m_dontShowAgain.GetCheck() == BST_CHECKED ? 1 : 0;
    CDialog::OnOK();
}
