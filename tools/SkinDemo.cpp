// skin-demo: a shaped, skinned window with skin buttons of every kind and a tray
// icon, to look at the skin toolkit. "--close-after=MS" ends it by itself.
#include "afx/App.h"
#include "afx/FrameWnd.h"
#include "exmfc/Fonts.h"
#include "exmfc/SkinButton.h"
#include "exmfc/TrayIcon.h"
#include "exmfc/WindowSkin.h"
#include "resources/resource.h"

#include <cstdlib>
#include <cstring>

namespace
{
const UINT kTrayMessage = RegisterWindowMessageA("QTSTrayMsg");
const UINT_PTR kCloseTimer = 1;
int g_closeAfter = 0;

class CDemoFrame : public exmfc::CWindowSkin<CFrameWnd>
{
public:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override
    {
        if (!CFrameWnd::PreCreateWindow(cs))
            return FALSE;
        cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
        cs.cx = 668;
        cs.cy = 437;
        cs.style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
        cs.lpszClass = AfxRegisterWndClass(0);
        return cs.lpszClass != nullptr;
    }

    void SetupSkin() override
    {
        CRect client;
        GetClientRect(&client);
        m_shaped = true;
        m_transparentColour = RGB(255, 0, 255);
        m_captionRect.SetRect(0, 0, client.Width(), 50);
        m_cursor = ::LoadCursorA(nullptr, IDC_ARROW);
        m_title = "Skin demo";
        m_titleRect.SetRect(340, 10, 560, 40);
        m_titleColour = RGB(255, 255, 255);
        exmfc::CopyFont(exmfc::GetFont(exmfc::FONT_TITLE), m_titleFont);
    }

    BEGIN_MSG_MAP_EX(CDemoFrame, exmfc::CWindowSkin<CFrameWnd>)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
    END_MSG_MAP_EX()

    int OnCreate(LPCREATESTRUCTA cs)
    {
        if (CFrameWnd::OnCreate(cs) == -1)
            return -1;
        CRect client;
        GetClientRect(&client);
        m_close.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 22, 21), this, IDC_CLOSE);
        m_close.SetSkin(IDB_CLOSE, exmfc::FACES_NORMAL_PRESSED_HOVER, 22);
        m_close.MoveWindow(client.Width() - 32, 6, 22, 21);

        HFONT bold = *exmfc::GetFont(exmfc::FONT_BUTTON), regular = *exmfc::GetFont(exmfc::FONT_TEXT);
        m_push.Create("Scan", WS_CHILD | WS_VISIBLE, CRect(280, 110, 380, 133), this, 2001);
        m_push.SetSkin(IDB_TEXT_BUTTON, exmfc::FACES_WITH_DISABLED, 100);
        m_push.SetFont(bold);
        m_disabled.Create("Clean", WS_CHILD | WS_VISIBLE | WS_DISABLED, CRect(400, 110, 500, 133), this, 2002);
        m_disabled.SetSkin(IDB_TEXT_BUTTON, exmfc::FACES_WITH_DISABLED, 100);
        m_disabled.SetFont(bold);
        m_check.Create(" Shred files before cleaning", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                       CRect(280, 160, 560, 178), this, 2003);
        m_check.SetSkin(IDB_DETAILS_BUTTON, exmfc::FACES_WITH_DISABLED, 68);
        m_check.SetFont(regular);
        m_check.SendMessage(BM_SETCHECK, BST_CHECKED);
        const char* radios[] = {" Don't auto run", " Run and scan automatically", " Run, scan and clean"};
        for (int i = 0; i < 3; ++i)
        {
            DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
            m_radio[i].Create(radios[i], style, CRect(280, 200 + 26 * i, 600, 218 + 26 * i), this, 2004 + i);
            m_radio[i].SetSkin(IDB_DETAILS_BUTTON, exmfc::FACES_WITH_DISABLED, 68);
            m_radio[i].SetFont(regular);
        }
        m_radio[1].SendMessage(BM_SETCHECK, BST_CHECKED);

        m_trayIcon.SetIcon(static_cast<HICON>(
            ::LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0)));
        m_trayIcon.SetTooltip("Quorvantis skin demo");
        m_trayIcon.Create(m_hWnd, kTrayMessage, true);
        if (g_closeAfter > 0)
            ::SetTimer(m_hWnd, kCloseTimer, static_cast<UINT>(g_closeAfter), nullptr);
        return 0;
    }

    void OnTimer(UINT_PTR id)
    {
        if (id == kCloseTimer)
            DestroyWindow();
    }

    void OnCloseButton() { PostMessage(WM_CLOSE); }

private:
    exmfc::CSkinButton m_close, m_push, m_disabled, m_check, m_radio[3];
    exmfc::CTrayIcon m_trayIcon;
};

class CDemoApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        for (int i = 1; i < __argc; ++i)
            if (std::strncmp(__argv[i], "--close-after=", 14) == 0)
                g_closeAfter = std::atoi(__argv[i] + 14);
        CDemoFrame* frame = new CDemoFrame;
        if (!frame->Create(nullptr, "Quorvantis skin demo"))
            return FALSE;
        m_pMainWnd = frame;
        frame->CenterWindow();
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
        return TRUE;
    }
} theApp;
} // namespace
