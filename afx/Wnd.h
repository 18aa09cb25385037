// CWnd: one object per HWND, a window procedure that routes every message to its
// object, message maps, command routing and reflection of owner-draw messages.
#pragma once

#include "Gdi.h"
#include "String.h"
#include "Types.h"

#include <commctrl.h>

class CWnd
{
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to a window, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creation: the object is bound before the window's first message.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, void* param = nullptr);
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                  int w, int h, HWND parent, HMENU menuOrId, void* param = nullptr);
    virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    // Binding to windows made by other code: subclassing swaps the window procedure
    // (and restores it at WM_NCDESTROY); attaching only maps the handle.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    BOOL Attach(HWND hWnd);
    HWND Detach();

    // Overridables.
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Every message of the window comes here; the default runs the message map,
    // then the default procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message map: true when a handler took the message (its result in *result).
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A message the parent reflects to this child (WM_DRAWITEM, WM_MEASUREITEM,
    // WM_CTLCOLOR*, WM_COMMAND and WM_NOTIFY from this control).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled now.
    LRESULT Default();

    // Handlers that message maps name; each does the default handling here.
    int OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

    // Thin wrappers of the window functions.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) const { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    void MoveWindow(const RECT& r, BOOL repaint = TRUE) const
    {
        ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, after, x, y, w, h, flags);
    }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const;
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const;
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    CString GetWindowText() const;
    void SetFont(HFONT font, BOOL redraw = TRUE) const { SendMessage(WM_SETFONT, (WPARAM)font, redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0) const;
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND SetCapture() const { return ::SetCapture(m_hWnd); }
    BOOL SetWindowRgn(HRGN region, BOOL redraw) const { return ::SetWindowRgn(m_hWnd, region, redraw); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    void CenterWindow() const;

    // The message being handled, for Default().
    struct CCurrentMessage
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

protected:
    WNDPROC m_pfnSuper; // the procedure that handled the window before us
    CCurrentMessage m_current;
    bool m_subclassed;
    int m_dispatchDepth;
    bool m_ncDestroyPending;

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    // Sends reflected messages to the child object that the message concerns.
    BOOL ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void BindHandle(HWND hWnd);
    void UnbindHandle();
};

// While it lives, the next window created on this thread is bound to wnd before its
// first message (a thread hook on window creation); scopes nest.
class CWndCreationScope
{
public:
    explicit CWndCreationScope(CWnd* wnd);
    ~CWndCreationScope();
    CWndCreationScope(const CWndCreationScope&) = delete;
    CWndCreationScope& operator=(const CWndCreationScope&) = delete;

private:
    CWnd* m_previous;
    void* m_hook;
};

// The window procedure of every window bound to a CWnd.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// What the program does with an exception that reached the framework (a window or
// dialog procedure, a thread's entry, WinMain): nothing crosses into the system, but
// it is reported, through the program's reporter (a message box in the window program).
// where says what was running; what is the exception's text.
typedef void (*AfxExceptionReporter)(const char* where, const char* what);
// Sets the reporter; nullptr leaves the default (a line in the debugger's output).
void AfxSetExceptionReporter(AfxExceptionReporter reporter);
// Reports the exception being handled; call it from a catch block only.
void AfxReportCurrentException(const char* where);

// Registers (once) a window class with AfxWndProc and returns its name.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);
// Dispatches one message of the thread's queue; FALSE on WM_QUIT.
BOOL AfxPumpMessage();
CWnd* AfxGetMainWnd();

// ---- Message maps ----
// A map is an override of OnWndMsg; entries test the message and call the handler.
// Unmatched messages go on to the base class's map.
#define BEGIN_MSG_MAP_EX(theClass, baseClass)                                                                 \
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override                     \
    {                                                                                                         \
        typedef baseClass TheBaseClass;                                                                       \
        (void)wParam;                                                                                         \
        (void)lParam;                                                                                         \
        (void)pResult;

#define END_MSG_MAP_EX()                                                                                      \
    return TheBaseClass::OnWndMsg(message, wParam, lParam, pResult);                                        \
    }

#define AFX_MSG_VOID(msg, call)                                                                               \
    if (message == (msg))                                                                                     \
    {                                                                                                         \
        call;                                                                                                 \
        *pResult = 0;                                                                                         \
        return TRUE;                                                                                          \
    }
#define AFX_MSG_RESULT(msg, call)                                                                             \
    if (message == (msg))                                                                                     \
    {                                                                                                         \
        *pResult = (LRESULT)(call);                                                                           \
        return TRUE;                                                                                          \
    }

#define ON_WM_CREATE() AFX_MSG_RESULT(WM_CREATE, OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam)))
#define ON_WM_DESTROY() AFX_MSG_VOID(WM_DESTROY, OnDestroy())
#define ON_WM_CLOSE() AFX_MSG_VOID(WM_CLOSE, OnClose())
#define ON_WM_PAINT() AFX_MSG_VOID(WM_PAINT, OnPaint())
#define ON_WM_TIMER() AFX_MSG_VOID(WM_TIMER, OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_SIZE() AFX_MSG_VOID(WM_SIZE, OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_LBUTTONDOWN() AFX_MSG_VOID(WM_LBUTTONDOWN, OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_LBUTTONUP() AFX_MSG_VOID(WM_LBUTTONUP, OnLButtonUp(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_LBUTTONDBLCLK()                                                                                 \
    AFX_MSG_VOID(WM_LBUTTONDBLCLK, OnLButtonDblClk(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_RBUTTONDOWN() AFX_MSG_VOID(WM_RBUTTONDOWN, OnRButtonDown(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_MOUSEMOVE() AFX_MSG_VOID(WM_MOUSEMOVE, OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_KILLFOCUS()                                                                                     \
    AFX_MSG_VOID(WM_KILLFOCUS, OnKillFocus(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(wParam))))
#define ON_WM_SETFOCUS()                                                                                      \
    AFX_MSG_VOID(WM_SETFOCUS, OnSetFocus(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(wParam))))
#define ON_WM_KEYDOWN()                                                                                       \
    AFX_MSG_VOID(WM_KEYDOWN, OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_CHAR() AFX_MSG_VOID(WM_CHAR, OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_ERASEBKGND()                                                                                    \
    if (message == WM_ERASEBKGND)                                                                             \
    {                                                                                                         \
        CDC dc_;                                                                                              \
        dc_.Attach(reinterpret_cast<HDC>(wParam));                                                            \
        *pResult = OnEraseBkgnd(&dc_);                                                                        \
        dc_.Detach();                                                                                         \
        return TRUE;                                                                                          \
    }
// WM_CTLCOLOR* of every kind; a null brush leaves the message unhandled.
#define ON_WM_CTLCOLOR()                                                                                      \
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)                                         \
    {                                                                                                         \
        CDC dc_;                                                                                              \
        dc_.Attach(reinterpret_cast<HDC>(wParam));                                                            \
        HBRUSH brush_ = OnCtlColor(&dc_, CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam)),           \
                                   message - WM_CTLCOLORMSGBOX);                                              \
        dc_.Detach();                                                                                         \
        if (brush_)                                                                                           \
        {                                                                                                     \
            *pResult = reinterpret_cast<LRESULT>(brush_);                                                     \
            return TRUE;                                                                                      \
        }                                                                                                     \
    }
#define ON_MESSAGE(msg, memberFxn) AFX_MSG_RESULT(msg, memberFxn(wParam, lParam))
// For a message number known only at run time (RegisterWindowMessage).
#define ON_REGISTERED_MESSAGE(msgVariable, memberFxn)                                                         \
    if ((msgVariable) != 0 && message == (msgVariable))                                                       \
    {                                                                                                         \
        *pResult = memberFxn(wParam, lParam);                                                                 \
        return TRUE;                                                                                          \
    }
// Menu commands and control notifications.
#define ON_COMMAND(id, memberFxn)                                                                             \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) <= 1)                               \
    {                                                                                                         \
        memberFxn();                                                                                          \
        *pResult = 0;                                                                                         \
        return TRUE;                                                                                          \
    }
#define ON_CONTROL(notifyCode, id, memberFxn)                                                                       \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (notifyCode))                          \
    {                                                                                                         \
        memberFxn();                                                                                          \
        *pResult = 0;                                                                                         \
        return TRUE;                                                                                          \
    }
#define ON_CONTROL_RANGE(notifyCode, idFirst, idLast, memberFxn)                                                    \
    if (message == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast) &&                 \
        HIWORD(wParam) == (notifyCode))                                                                             \
    {                                                                                                         \
        memberFxn(LOWORD(wParam));                                                                            \
        *pResult = 0;                                                                                         \
        return TRUE;                                                                                          \
    }
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_NOTIFY(notifyCode, id, memberFxn)                                                                  \
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == (UINT)(notifyCode) &&               \
        reinterpret_cast<NMHDR*>(lParam)->idFrom == (UINT_PTR)(id))                                           \
    {                                                                                                         \
        *pResult = 0;                                                                                         \
        memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult);                                                 \
        return TRUE;                                                                                          \
    }
