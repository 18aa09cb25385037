// CFrameWnd: a top-level window.
#pragma once

#include "Wnd.h"

class CFrameWnd : public CWnd
{
public:
    CFrameWnd();
    BOOL Create(const char* className, const char* title, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = CRect(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0), CWnd* parent = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // The program ends with its main window; a frame made with new deletes itself.
    void PostNcDestroy() override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnClose();

    bool m_bAutoDelete;
    // The status the program ends with when this, its main window, goes.
    int m_quitCode;
};
