#include "SplashDlg.h"

#include "afx/App.h"
#include "resources/resource.h"

DWORD CSplashDlg::s_delay = 2000;

CSplashDlg::CSplashDlg() : exmfc::CWindowSkin<CDialog>(IDB_SPLASH_SKIN), m_delay(std::make_shared<CDelay>())
{
    m_templateId = IDD_SPLASH;
}

void CSplashDlg::SetupSkin()
{
    m_shaped = true;
    m_transparentColour = RGB(255, 0, 255);
}

BOOL CSplashDlg::OnInitDialog()
{
    BOOL result = exmfc::CWindowSkin<CDialog>::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, exmfc::Scaled(620), exmfc::Scaled(226), SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    // On the screen now, so that its two seconds are seen whole.
    ShowWindow(SW_SHOW);
    UpdateWindow();
    m_delay->window = m_hWnd;
    std::shared_ptr<CDelay>* share = new std::shared_ptr<CDelay>(m_delay);
    HANDLE thread = AfxBeginThread(WaitThenPost, share);
    if (thread)
        ::CloseHandle(thread);
    else
    {
        delete share;
        EndDialog(IDOK); // no timer: never keep the user waiting
    }
    if (m_whileShown)
        PostMessage(WM_WHILE_SHOWN);
    return result;
}

LRESULT CSplashDlg::OnWhileShown(WPARAM, LPARAM)
{
    std::function<void()> work;
    work.swap(m_whileShown);
    if (work)
        work();
    return 0;
}

// The worker holds its own share of the flag, so it never writes to a dialog that has
// gone away in the meantime.
unsigned CSplashDlg::WaitThenPost(void* delay)
{
    std::unique_ptr<std::shared_ptr<CDelay>> shared(static_cast<std::shared_ptr<CDelay>*>(delay));
    ::Sleep(s_delay);
    InterlockedExchange(&(*shared)->done, 1);
    ::PostMessageA((*shared)->window, WM_TIMER, 1, 0);
    return 0;
}

LRESULT CSplashDlg::OnTimer(WPARAM, LPARAM)
{
    // The work may still be to run (its message comes after this one when it was slow to
    // be posted): it runs first.
    if (m_whileShown)
        OnWhileShown(0, 0);
    if (InterlockedCompareExchange(&m_delay->done, 0, 0))
        EndDialog(IDOK);
    return 0;
}
