#include "SplashDlg.h"

#include "afx/App.h"
#include "resources/resource.h"

DWORD CSplashDlg::s_delay = 2000;

CSplashDlg::CSplashDlg() : exmfc::CWindowSkin<CDialog>(IDB_SPLASH_SKIN), m_done(false) { m_templateId = IDD_SPLASH; }

void CSplashDlg::SetupSkin()
{
    m_shaped = true;
    m_transparentColour = RGB(255, 0, 255);
}

BOOL CSplashDlg::OnInitDialog()
{
    BOOL result = exmfc::CWindowSkin<CDialog>::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, 620, 226, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    HANDLE thread = AfxBeginThread(WaitThenPost, m_hWnd);
    if (thread)
        ::CloseHandle(thread);
    else
        EndDialog(IDOK); // no timer: never keep the user waiting
    return result;
}

// The worker touches no object that the dialog owns (the dialog may be gone when it
// wakes): the "done" mark travels with the message it posts.
unsigned CSplashDlg::WaitThenPost(void* window)
{
    ::Sleep(s_delay);
    ::PostMessageA(static_cast<HWND>(window), WM_TIMER, 1, kDoneMark);
    return 0;
}

LRESULT CSplashDlg::OnTimer(WPARAM, LPARAM mark)
{
    if (mark == kDoneMark)
        m_done = true;
    if (m_done)
        EndDialog(IDOK);
    return 0;
}
