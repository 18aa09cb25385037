#include "App.h"

#include <process.h>

namespace
{
CWinApp* g_app = nullptr;

CString ModuleBaseName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString name = path;
    int slash = name.ReverseFind('\\');
    if (slash >= 0)
        name = name.Mid(slash + 1);
    int dot = name.ReverseFind('.');
    if (dot > 0)
        name = name.Left(dot);
    return name;
}
} // namespace

void CCommandLineInfo::ParseParam(const char*, BOOL, BOOL) {}

CWinApp::CWinApp() : m_pMainWnd(nullptr), m_hInstance(GetModuleHandleA(nullptr)), m_exitCode(0)
{
    g_app = this;
    m_pszAppName = ModuleBaseName();
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

void CWinApp::ParseCommandLine(CCommandLineInfo& info) { ParseArguments(info, __argc, __argv); }

void CWinApp::ParseArguments(CCommandLineInfo& info, int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i)
    {
        const char* param = argv[i];
        BOOL flag = (param[0] == '/' || param[0] == '-');
        info.ParseParam(flag ? param + 1 : param, flag, i + 1 == argc);
    }
}

BOOL CWinApp::PreTranslateMessage(MSG* msg)
{
    // Offer the message to the window objects from the target up to its top-level window.
    for (HWND hWnd = msg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (!(::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    // Tab, Enter and Escape move between the controls of a window that hosts them.
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && msg->hwnd)
    {
        HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
        if (root && (::GetWindowLongPtrA(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && ::IsDialogMessageA(root, msg))
            return TRUE;
    }
    return FALSE;
}

BOOL AfxPumpMessage()
{
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0)
    {
        ::PostQuitMessage(static_cast<int>(msg.wParam)); // leave WM_QUIT for the main loop
        return FALSE;
    }
    CWinApp* app = AfxGetApp();
    if (!app || !app->PreTranslateMessage(&msg))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    for (;;)
    {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

namespace
{
struct CThreadStart
{
    unsigned (*function)(void*);
    void* param;
};

// What AfxAtThreadEnd was given on this thread: trivially destructible, so that nothing of
// it runs after the thread's storage is gone.
struct CThreadEnd
{
    void (*release[16])(void*);
    void* object[16];
    int count;
};
thread_local CThreadEnd t_threadEnd;

void RunThreadEnd()
{
    while (t_threadEnd.count > 0)
    {
        --t_threadEnd.count;
        t_threadEnd.release[t_threadEnd.count](t_threadEnd.object[t_threadEnd.count]);
    }
}

unsigned __stdcall ThreadEntry(void* raw)
{
    CThreadStart start = *static_cast<CThreadStart*>(raw);
    delete static_cast<CThreadStart*>(raw);
    unsigned result = 1;
    try
    {
        result = start.function(start.param);
    }
    catch (...)
    {
        AfxReportCurrentException("a worker thread");
    }
    RunThreadEnd();
    return result;
}
} // namespace

void AfxAtThreadEnd(void (*release)(void*), void* object)
{
    // A thread keeps a handful of such objects; past the table's end they live on.
    if (t_threadEnd.count >= 16)
        return;
    t_threadEnd.release[t_threadEnd.count] = release;
    t_threadEnd.object[t_threadEnd.count] = object;
    ++t_threadEnd.count;
}

HANDLE AfxBeginThread(unsigned (*function)(void*), void* param, int priority)
{
    CThreadStart* start = new CThreadStart{function, param};
    uintptr_t handle = _beginthreadex(nullptr, 0, ThreadEntry, start, CREATE_SUSPENDED, nullptr);
    if (!handle)
    {
        delete start;
        return nullptr;
    }
    ::SetThreadPriority(reinterpret_cast<HANDLE>(handle), priority);
    ::ResumeThread(reinterpret_cast<HANDLE>(handle));
    return reinterpret_cast<HANDLE>(handle);
}
