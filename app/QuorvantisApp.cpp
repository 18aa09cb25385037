#include "QuorvantisApp.h"

#include "options/MyCommandLineInfo.h"
#include "options/SettingsFile.h"
#include "resources/resource.h"
#include "ui/MainFrame.h"
#include "ui/SplashDlg.h"

#include <commctrl.h>
#include <shlobj.h>
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
// The settings file's splash choice, read before the window is made (which reads the
// whole file again); a file that cannot be read or understood gives the default, shown.
bool IsSplashWanted()
{
    wchar_t folder[MAX_PATH] = {};
    CString appData;
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK ||
        !WideToUtf8(folder, wcslen(folder), appData))
        return true;
    CSettings settings;
    CSettingsFile(appData).Load(settings);
    return (settings.showSplash & 1) != 0;
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
    // The splash shows at once, and the window is made while it shows; a close asked for
    // from the tray meanwhile waits for the splash.
    bool created = false;
    auto create = [&] { created = frame->Create(AfxRegisterWndClass(0), nullptr, WS_POPUP) != FALSE; };
    if (IsSplashWanted())
    {
        CSplashDlg splash;
        splash.SetWhileShown(create);
        frame->RunModal([&splash] { return splash.DoModal(); });
    }
    else
        create();
    if (!created)
    {
        m_pMainWnd = nullptr;
        return FALSE;
    }
    frame->CenterWindow();
    frame->ShowWindow(show);
    frame->UpdateWindow();
    // A close asked for from the tray meanwhile goes first: nothing is started.
    if (frame->IsClosePending())
        return TRUE;
    if (flags.clean && !frame->MayRunUnattended())
        return TRUE;
    frame->RunFromCommandLine();
    return TRUE;
}

int CQuorvantisApp::ExitInstance()
{
    return CWinApp::ExitInstance();
}
