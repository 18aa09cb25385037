#include "FrameWnd.h"

#include "App.h"

CFrameWnd::CFrameWnd() : m_bAutoDelete(true), m_quitCode(0) {}

BOOL CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect, CWnd* parent)
{
    int w = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    int h = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    return CreateEx(WS_EX_CLIENTEDGE, className, title, style, rect.left, rect.top, w, h,
                    parent ? parent->GetSafeHwnd() : nullptr, nullptr);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return cs.lpszClass != nullptr;
}

void CFrameWnd::OnClose() { DestroyWindow(); }

BOOL CFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_CLOSE)
    {
        OnClose();
        *result = 0;
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
    {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(m_quitCode);
    }
    if (m_bAutoDelete)
        delete this;
}
