// The window framework under Wine and Xvfb: binding, message maps, command routing,
// reflection, subclassing, modal dialogs from templates.
#include "afx/App.h"
#include "afx/Controls.h"
#include "afx/Dialog.h"
#include "afx/FrameWnd.h"
#include "resources/resource.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace
{
using testutil::PumpPending;

class CRecordingWnd : public CWnd
{
public:
    std::vector<UINT> m_seen;
    int m_created = 0;
    UINT_PTR m_timer = 0;
    CPoint m_click;
    int m_clicked = 0;
    int m_menuCommand = 0;
    int m_notified = 0;
    bool m_postNcDestroy = false;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_seen.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { m_postNcDestroy = true; }

    BEGIN_MSG_MAP_EX(CRecordingWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(100, OnButton)
    ON_COMMAND(32776, OnMenu)
    ON_NOTIFY(NM_CLICK, 101, OnNotifyClick)
    ON_MESSAGE(WM_USER + 7, OnThrow)
    END_MSG_MAP_EX()

    int OnCreate(LPCREATESTRUCTA cs)
    {
        ++m_created;
        return CWnd::OnCreate(cs);
    }
    void OnTimer(UINT_PTR id) { m_timer = id; }
    void OnLButtonDown(UINT, CPoint p) { m_click = p; }
    void OnButton() { ++m_clicked; }
    void OnMenu() { ++m_menuCommand; }
    void OnNotifyClick(NMHDR*, LRESULT* result)
    {
        ++m_notified;
        *result = 5;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }

    BOOL CreateTop()
    {
        return CreateEx(0, AfxRegisterWndClass(0), "recording", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 150), nullptr, 0);
    }
};

class COwnerDrawButton : public CButton
{
public:
    int m_drawn = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        ++m_drawn;
        ::FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
};
} // namespace

TEST(WindowFrameworkTest, ObjectIsBoundFromTheFirstMessageAndMapsDispatch)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    ASSERT_FALSE(wnd.m_seen.empty());
    // Messages before WM_CREATE reached the object too.
    EXPECT_NE(static_cast<UINT>(WM_CREATE), wnd.m_seen.front());
    EXPECT_EQ(1, wnd.m_created);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));

    wnd.SendMessage(WM_TIMER, 9);
    EXPECT_EQ(9u, wnd.m_timer);
    wnd.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(-5, 12));
    EXPECT_EQ(CPoint(-5, 12), wnd.m_click);
    // Unhandled messages get the default handling.
    wnd.SetWindowText("new title");
    EXPECT_EQ(CString("new title"), wnd.GetWindowText());
    // An exception in a handler never crosses the window procedure.
    EXPECT_EQ(0, wnd.SendMessage(WM_USER + 7));

    HWND hWnd = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_TRUE(wnd.m_postNcDestroy);
}

namespace
{
std::vector<std::string> g_reported;
void RecordReport(const char* where, const char* what) { g_reported.push_back(std::string(where) + ": " + what); }

class CFailingCreation : public CWnd
{
public:
    BEGIN_MSG_MAP_EX(CFailingCreation, CWnd)
    ON_WM_CREATE()
    END_MSG_MAP_EX()
    int OnCreate(LPCREATESTRUCTA) { throw std::runtime_error("no controls"); }
};
} // namespace

// What a handler throws is reported (the program shows it), and a window whose
// WM_CREATE threw is not made.
TEST(WindowFrameworkTest, ExceptionsAreReportedAndFailACreation)
{
    g_reported.clear();
    AfxSetExceptionReporter(RecordReport);
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    wnd.SendMessage(WM_USER + 7);
    ASSERT_EQ(1u, g_reported.size());
    EXPECT_NE(std::string::npos, g_reported[0].find("handler failed")) << g_reported[0];
    EXPECT_NE(std::string::npos, g_reported[0].find("0x0407")) << g_reported[0];
    wnd.DestroyWindow();

    CFailingCreation failing;
    EXPECT_FALSE(failing.CreateEx(0, AfxRegisterWndClass(0), "failing", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_EQ(nullptr, failing.m_hWnd);
    ASSERT_EQ(2u, g_reported.size());
    EXPECT_NE(std::string::npos, g_reported[1].find("no controls"));
    AfxSetExceptionReporter(nullptr);
}

TEST(WindowFrameworkTest, CommandsAndNotificationsReachTheParentsHandlers)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.CreateTop());
    CButton button;
    ASSERT_TRUE(button.Create("Go", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &parent, 100));
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(1, parent.m_clicked);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(32776, 0), 0); // a menu command
    EXPECT_EQ(1, parent.m_menuCommand);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(100, BN_SETFOCUS), reinterpret_cast<LPARAM>(button.m_hWnd));
    EXPECT_EQ(1, parent.m_clicked) << "another notification code is not a click";

    NMHDR header = {nullptr, 101, NM_CLICK};
    EXPECT_EQ(5, parent.SendMessage(WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ(1, parent.m_notified);
    header.idFrom = 102;
    parent.SendMessage(WM_NOTIFY, 102, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(1, parent.m_notified);
}

TEST(WindowFrameworkTest, DrawItemIsReflectedToTheOwnerDrawnChild)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.CreateTop());
    parent.ShowWindow(SW_SHOWNA);
    COwnerDrawButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 60, 30), &parent, 102));
    ::RedrawWindow(button.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpPending();
    EXPECT_GE(button.m_drawn, 1);

    // A WM_DRAWITEM for a menu (wParam 0) is not a control's.
    int before = button.m_drawn;
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.hwndItem = button.m_hWnd;
    parent.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(before, button.m_drawn);
}

TEST(WindowFrameworkTest, SubclassingAWindowMadeElsewhereAndGivingItBack)
{
    HWND plain = ::CreateWindowA("STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    LONG_PTR original = ::GetWindowLongPtrA(plain, GWLP_WNDPROC);
    {
        CRecordingWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(plain));
        EXPECT_NE(original, ::GetWindowLongPtrA(plain, GWLP_WNDPROC));
        wnd.SendMessage(WM_TIMER, 3);
        EXPECT_EQ(3u, wnd.m_timer);
        EXPECT_EQ(CString("plain"), wnd.GetWindowText()); // the control's own procedure still answers
        EXPECT_FALSE(CRecordingWnd().SubclassWindow(plain)) << "one object per window";
        EXPECT_EQ(plain, wnd.UnsubclassWindow());
    }
    EXPECT_EQ(original, ::GetWindowLongPtrA(plain, GWLP_WNDPROC));
    EXPECT_TRUE(::IsWindow(plain));
    ::DestroyWindow(plain);
}

namespace
{
class CNoticeDialog : public CDialog
{
public:
    CNoticeDialog() : CDialog(IDD_WIPE_NOTICE) {}
    CButton m_check;
    int m_initCount = 0;
    int m_result = 0;
    bool m_clickOk = false;
    CString m_caption;

    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_DONT_SHOW_AGAIN, m_check); }
    BOOL OnInitDialog() override
    {
        ++m_initCount;
        CDialog::OnInitDialog();
        m_caption = GetWindowText();
        m_check.SetCheck(BST_CHECKED);
        if (m_clickOk)
            ::PostMessageA(GetDlgItem(IDOK), BM_CLICK, 0, 0);
        else
            ::SetTimer(m_hWnd, 1, 10, nullptr);
        return TRUE;
    }
    void OnOK() override
    {
        m_result = m_check.GetCheck();
        CDialog::OnOK();
    }

    BEGIN_MSG_MAP_EX(CNoticeDialog, CDialog)
    ON_WM_TIMER()
    END_MSG_MAP_EX()
    void OnTimer(UINT_PTR)
    {
        ::KillTimer(m_hWnd, 1);
        EndDialog(42);
    }
};
} // namespace

TEST(DialogTest, ModalDialogFromATemplateEndsWithEndDialog)
{
    CNoticeDialog dialog;
    EXPECT_EQ(42, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_initCount);
    EXPECT_EQ(CString("Quorvantis"), dialog.m_caption);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, dialog.m_check.m_hWnd);

    CNoticeDialog clicked;
    clicked.m_clickOk = true;
    EXPECT_EQ(IDOK, clicked.DoModal());
    EXPECT_EQ(BST_CHECKED, clicked.m_result);
}

TEST(FrameTest, CloseDestroysTheFrame)
{
    CFrameWnd* frame = new CFrameWnd;
    frame->m_bAutoDelete = false;
    ASSERT_TRUE(frame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100)));
    HWND hWnd = frame->m_hWnd;
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, frame->m_hWnd);
    delete frame;
}

namespace
{
unsigned SetFlag(void* flag)
{
    *static_cast<volatile LONG*>(flag) = 1;
    return 7;
}
} // namespace

TEST(FrameworkServicesTest, ThreadsAndOneMessageAtATime)
{
    volatile LONG flag = 0;
    HANDLE thread = AfxBeginThread(SetFlag, const_cast<LONG*>(&flag));
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 10000));
    DWORD code = 0;
    ::GetExitCodeThread(thread, &code);
    ::CloseHandle(thread);
    EXPECT_EQ(1, flag);
    EXPECT_EQ(7u, code);

    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    PumpPending();
    wnd.PostMessage(WM_TIMER, 11);
    wnd.PostMessage(WM_TIMER, 12);
    EXPECT_TRUE(AfxPumpMessage());
    EXPECT_EQ(11u, wnd.m_timer);
    EXPECT_TRUE(AfxPumpMessage());
    EXPECT_EQ(12u, wnd.m_timer);
}

namespace
{
class CSwitches : public CCommandLineInfo
{
public:
    std::vector<std::string> m_seen;
    void ParseParam(const char* param, BOOL flag, BOOL last) override
    {
        m_seen.push_back(std::string(flag ? "/" : "") + param + (last ? "!" : ""));
    }
};
} // namespace

TEST(FrameworkServicesTest, CommandLineArgumentsReachParseParamInOrder)
{
    CWinApp app;
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    CSwitches switches;
    const char* argv[] = {"Quorvantis.exe", "/scan", "-clean", "fast", "/"};
    CWinApp::ParseArguments(switches, 5, argv);
    EXPECT_EQ((std::vector<std::string>{"/scan", "/clean", "fast", "/!"}), switches.m_seen);
}
