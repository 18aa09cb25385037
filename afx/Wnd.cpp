#include "Wnd.h"

#include <cstdio>
#include <exception>
#include <map>

namespace
{
// One map per thread, as windows belong to the thread that made them.
thread_local std::map<HWND, CWnd*> t_handleMap;
// The object whose window is being created, bound at its first message.
thread_local CWnd* t_creating = nullptr;
thread_local HHOOK t_createHook = nullptr;

void DebuggerReporter(const char* where, const char* what)
{
    char line[512];
    std::snprintf(line, sizeof(line), "Unexpected error in %s: %s\n", where, what);
    OutputDebugStringA(line);
}

AfxExceptionReporter g_reporter = DebuggerReporter;
// A failure while the reporter shows the last one is not shown again.
thread_local bool t_reporting = false;

LRESULT CALLBACK CreateHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    char className[8] = {};
    if (code == HCBT_CREATEWND && t_creating &&
        !(GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof(className)) && !lstrcmpiA(className, "IME")))
    {
        CWnd* wnd = t_creating;
        t_creating = nullptr;
        wnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(t_createHook, code, wParam, lParam);
}

} // namespace

CWndCreationScope::CWndCreationScope(CWnd* wnd) : m_previous(t_creating), m_hook(nullptr)
{
    t_creating = wnd;
    if (!t_createHook)
    {
        m_hook = SetWindowsHookExA(WH_CBT, CreateHookProc, nullptr, GetCurrentThreadId());
        t_createHook = static_cast<HHOOK>(m_hook);
    }
}

CWndCreationScope::~CWndCreationScope()
{
    t_creating = m_previous;
    if (m_hook)
    {
        UnhookWindowsHookEx(static_cast<HHOOK>(m_hook));
        t_createHook = nullptr;
    }
}

CWnd::CWnd()
    : m_hWnd(nullptr), m_pfnSuper(nullptr), m_current(), m_subclassed(false), m_dispatchDepth(0),
      m_ncDestroyPending(false)
{
}

CWnd::~CWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd) && t_handleMap.count(m_hWnd) && m_subclassed)
        ::DestroyWindow(m_hWnd);
    else if (m_hWnd)
        UnbindHandle();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto it = t_handleMap.find(hWnd);
    return it == t_handleMap.end() ? nullptr : it->second;
}

void CWnd::BindHandle(HWND hWnd)
{
    m_hWnd = hWnd;
    t_handleMap[hWnd] = this;
}

void CWnd::UnbindHandle()
{
    if (!m_hWnd)
        return;
    if (m_subclassed && m_pfnSuper &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == AfxWndProc)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    auto it = t_handleMap.find(m_hWnd);
    if (it != t_handleMap.end() && it->second == this)
        t_handleMap.erase(it);
    m_hWnd = nullptr;
    m_subclassed = false;
    m_pfnSuper = nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&) { return TRUE; }

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param)
{
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int w,
                    int h, HWND parent, HMENU menuOrId, void* param)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = x;
    cs.y = y;
    cs.cx = w;
    cs.cy = h;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = GetModuleHandleA(nullptr);
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs))
        return FALSE;
    HWND hWnd;
    {
        CWndCreationScope scope(this);
        hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    }
    // A window that failed in WM_CREATE is gone already: it was unbound at WM_NCDESTROY,
    // and PostNcDestroy may have deleted this object, which is not touched again.
    return hWnd != nullptr;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    BindHandle(hWnd);
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    if (old != AfxWndProc)
    {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc));
        m_pfnSuper = old;
    }
    else
        m_pfnSuper = ::DefWindowProcA; // a class of our own: AfxWndProc is its procedure
    m_subclassed = true;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    UnbindHandle();
    return hWnd;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    BindHandle(hWnd);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    m_subclassed = false; // an attached window keeps its own procedure
    UnbindHandle();
    return hWnd;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ReflectToChild(message, wParam, lParam, &result))
        return result;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    CWnd* child = nullptr;
    switch (message)
    {
    case WM_DRAWITEM:
        // wParam 0: the item belongs to a menu, not to a control.
        if (wParam != 0)
            child = FromHandlePermanent(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem);
        break;
    case WM_MEASUREITEM:
        if (wParam != 0)
            child = FromHandlePermanent(::GetDlgItem(m_hWnd, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID));
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMMAND:
        if (lParam != 0)
            child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
        break;
    case WM_NOTIFY:
    {
        // Only direct children's notifications are reflected.
        HWND from = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        if (from && ::GetParent(from) == m_hWnd)
            child = FromHandlePermanent(from);
        break;
    }
    default:
        return FALSE;
    }
    if (!child || child == this)
        return FALSE;
    LRESULT childResult = 0;
    if (!child->OnChildNotify(message, wParam, lParam, &childResult))
        return FALSE;
    // For the colour messages a null brush means "not handled".
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && childResult == 0)
        return FALSE;
    *result = childResult;
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result)
{
    switch (message)
    {
    case WM_DRAWITEM:
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *result = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        *result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

void CWnd::ClientToScreen(RECT* r) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2);
}

void CWnd::ScreenToClient(RECT* r) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2);
}

CString CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    CString text;
    if (length > 0)
    {
        ::GetWindowTextA(m_hWnd, text.GetBuffer(length + 1), length + 1);
        text.ReleaseBuffer();
    }
    return text;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) const
{
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

void CWnd::CenterWindow() const
{
    RECT window, area;
    GetWindowRect(&window);
    HWND parent = ::GetParent(m_hWnd);
    if (parent && ::IsWindowVisible(parent))
        ::GetWindowRect(parent, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int w = window.right - window.left, h = window.bottom - window.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd && t_creating)
    {
        // A class whose procedure is ours, created outside the hook: bind now.
        wnd = t_creating;
        t_creating = nullptr;
        wnd->BindHandle(hWnd);
        wnd->m_pfnSuper = ::DefWindowProcA;
        wnd->m_subclassed = true;
    }
    if (!wnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    CWnd::CCurrentMessage saved = wnd->m_current;
    wnd->m_current = {message, wParam, lParam};
    LRESULT result = 0;
    ++wnd->m_dispatchDepth;
    try
    {
        result = wnd->WindowProc(message, wParam, lParam);
    }
    catch (...)
    {
        // No exception may cross the system's window procedure: it is reported, and a
        // window whose creation failed is not made.
        char where[96];
        std::snprintf(where, sizeof(where), "the handling of window message 0x%04X", message);
        AfxReportCurrentException(where);
        result = message == WM_CREATE ? -1 : message == WM_NCCREATE ? FALSE : 0;
    }
    --wnd->m_dispatchDepth;
    wnd->m_current = saved;
    if (message == WM_NCDESTROY && wnd->m_hWnd == hWnd)
    {
        wnd->UnbindHandle();
        wnd->m_ncDestroyPending = true;
    }
    // PostNcDestroy is the one place where an object may delete itself: only once
    // every message it is handling has unwound.
    if (wnd->m_ncDestroyPending && wnd->m_dispatchDepth == 0)
    {
        wnd->m_ncDestroyPending = false;
        wnd->PostNcDestroy();
    }
    return result;
}

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    static thread_local std::map<std::string, std::string> registered;
    char name[128];
    wsprintfA(name, "Afx:%p:%x:%p:%p:%p", GetModuleHandleA(nullptr), classStyle, cursor, background, icon);
    auto it = registered.find(name);
    if (it != registered.end())
        return it->second.c_str();
    WNDCLASSA wc = {};
    wc.style = classStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return (registered[name] = name).c_str();
}

void AfxSetExceptionReporter(AfxExceptionReporter reporter) { g_reporter = reporter ? reporter : DebuggerReporter; }

void AfxReportCurrentException(const char* where)
{
    const char* what = "an unknown error";
    std::string text;
    try
    {
        throw;
    }
    catch (const std::exception& e)
    {
        text = e.what();
        what = text.c_str();
    }
    catch (...)
    {
    }
    if (t_reporting)
        return;
    t_reporting = true;
    try
    {
        g_reporter(where, what);
    }
    catch (...)
    {
    }
    t_reporting = false;
}
