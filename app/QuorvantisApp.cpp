#include "QuorvantisApp.h"

#include "options/MyCommandLineInfo.h"
#include "resources/resource.h"
#include "ui/MainFrame.h"
#include "ui/SplashDlg.h"

#include <commctrl.h>
#include <new>

namespace
{
// What the framework caught is told to the user, over the main window when there is one.
void ShowUnexpectedError(const char* where, const char* what)
{
    CString text;
    text.Format("Quorvantis met an unexpected error in %s: %s.\n\nWhat was being done there was not "
                "finished; everything else goes on.",
                where, what);
    CMainFrame* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (frame && frame->IsWindow())
        frame->ShowMessage(text, MB_OK | MB_ICONERROR);
    else
        ::MessageBoxA(nullptr, text, "Quorvantis", MB_OK | MB_ICONERROR);
}
} // namespace

BOOL CQuorvantisApp::InitInstance()
{
    AfxSetExceptionReporter(ShowUnexpectedError);
    INITCOMMONCONTROLSEX controls = {8, 0x80FF}; // the Windows 95 classes and the link control
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    // Held for the life of the process; a second copy runs beside the first.
    ::CreateMutexA(nullptr, TRUE, "Quorvantis");
    CMyCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    SetRegistryKey("Quorvantis");
    const CCommandLineFlags& flags = GetCommandLineFlags();
    const int show = flags.fast ? SW_HIDE : SW_SHOWDEFAULT;

    CMainFrame* frame = new (std::nothrow) CMainFrame;
    if (!frame)
        return FALSE;
    m_pMainWnd = frame;
    if (!frame->Create(AfxRegisterWndClass(0), nullptr, WS_POPUP))
    {
        m_pMainWnd = nullptr;
        return FALSE;
    }

    HWND splashOption = frame->GetDlgItem(IDC_SPLASH_OPTION);
    if (splashOption && ::SendMessageA(splashOption, BM_GETCHECK, 0, 0) == BST_CHECKED)
    {
        CSplashDlg splash;
        frame->RunModal([&splash] { return splash.DoModal(); });
    }
    frame->CenterWindow();
    frame->ShowWindow(show);
    frame->UpdateWindow();
    // A close asked for from the tray meanwhile goes first: nothing is started.
    if (frame->IsClosePending())
        return TRUE;
    if (flags.clean && !frame->MayRunUnattended())
        return TRUE;
    if (flags.scan)
        frame->OnScan();
    if (flags.clean)
    {
        frame->OnClean();
        // The run ends as any run does: its settings saved, its tray icon removed.
        frame->CloseWhenIdle();
    }
    return TRUE;
}

int CQuorvantisApp::ExitInstance()
{
    return CWinApp::ExitInstance();
}
