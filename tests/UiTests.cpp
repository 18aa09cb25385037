// The windows under Wine and Xvfb: the scan area list's decisions, pages and tabs, the
// settings written by a click, a close deferred during a clean, the warning and the
// splash. Screenshots of the dialogs go to QV_SCREENSHOTS when it is set.
#include "TestUtil.h"
#include "afx/App.h"
#include "app/SettingsFile.h"
#include "engine/ScanPaths.h"
#include "ui/MainFrame.h"
#include "ui/SplashDlg.h"
#include "ui/Warning.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>

using namespace testutil;

namespace
{
// Records what the list asks of its owner.
class CRecordingOwner : public IScanListOwner
{
public:
    bool IsCleaning() const override { return m_cleaning; }
    void EnableScanAndClean(bool scan, bool clean) override
    {
        m_scan = scan;
        m_clean = clean;
        ++m_calls;
    }
    CWnd* GetDetailsOwner() override { return nullptr; }
    bool m_cleaning = false, m_scan = false, m_clean = false;
    int m_calls = 0;
};

// A found item that runs a test's action while it is cleaned.
class CActionTarget : public CCleanTarget
{
public:
    explicit CActionTarget(std::function<void()> action) : CCleanTarget("action"), m_action(action) {}
    int Clean() override
    {
        m_attempted = 1;
        m_action();
        m_cleaned = 1;
        return 1;
    }
    std::function<void()> m_action;
};

// Runs an action on a dialog of this thread once it shows (from a second thread).
void OnDialogShown(const char* caption, std::function<void(HWND)> action)
{
    struct CArgs
    {
        std::string caption;
        std::function<void(HWND)> action;
    };
    CArgs* args = new CArgs{caption, action};
    HANDLE thread = AfxBeginThread(
        [](void* p) -> unsigned {
            CArgs* a = static_cast<CArgs*>(p);
            for (int i = 0; i < 500; ++i)
            {
                HWND dialog = ::FindWindowA("#32770", a->caption.c_str());
                if (dialog && ::IsWindowVisible(dialog))
                {
                    ::Sleep(100);
                    a->action(dialog);
                    break;
                }
                ::Sleep(20);
            }
            delete a;
            return 0;
        },
        args);
    if (thread)
        ::CloseHandle(thread);
}

void Screenshot(const char* name)
{
    char folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("QV_SCREENSHOTS", folder, sizeof(folder)))
        return;
    RunHost(CString("import -window root ") + HostQuote(CString(folder) + "/" + name));
}

class ListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_parent.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 120, nullptr, nullptr);
        ASSERT_TRUE(m_list.CreateList(CRect(0, 0, 390, 80), &m_parent, IDC_SCAN_LIST, &m_owner));
    }
    void TearDown() override { m_parent.DestroyWindow(); }
    CWnd m_parent;
    CScanListBox m_list;
    CRecordingOwner m_owner;
};
} // namespace

TEST_F(ListTest, CountsPercentageDetailsHitTestsAndButtonRules)
{
    CSectionList& sections = m_list.GetSections();
    ASSERT_EQ(4u, sections.size());
    EXPECT_EQ(20, m_list.GetItemHeight());
    for (int i = 0; i < 3; ++i)
        sections[1]->GetFoundItems().push_back(CCleanTargetPtr(new CCleanTarget("x")));

    // The count column: the number found, or the share cleaned while cleaning.
    const struct
    {
        int status, cleaned, toClean;
        const char* text;
    } counts[] = {{SS_COMPLETE, 0, 0, "3"}, {SS_CLEANING, 1, 4, "25%"}, {SS_CLEANING, 4, 4, "100%"}, {SS_READY, 2, 4, "3"}};
    for (const auto& c : counts)
    {
        sections[1]->SetStatus(c.status);
        sections[1]->SetCleanedSoFar(c.cleaned);
        sections[1]->SetToClean(c.toClean);
        EXPECT_EQ(CString(c.text), CScanListBox::CountText(*sections[1])) << c.text;
    }
    EXPECT_EQ(CString("0"), CScanListBox::CountText(*sections[0]));

    // Painting places the check icons; clicks hit them and the details of a row with items.
    m_list.RefreshList();
    EXPECT_TRUE(m_owner.m_scan);
    EXPECT_TRUE(m_owner.m_clean);
    const struct
    {
        CPoint point;
        int icon, details;
    } hits[] = {
        {CPoint(10, 10), 0, -1},  {CPoint(10, 30), 1, -1},  {CPoint(360, 30), -1, 1}, {CPoint(360, 10), -1, -1},
        {CPoint(100, 30), -1, -1}, {CPoint(360, 79), -1, -1}, {CPoint(10, 70), 3, -1},
    };
    for (const auto& h : hits)
    {
        int icon = -2, details = -2;
        m_list.HitTest(h.point, icon, details);
        EXPECT_EQ(h.icon, icon) << h.point.x << "," << h.point.y;
        EXPECT_EQ(h.details, details) << h.point.x << "," << h.point.y;
    }
    EXPECT_FALSE(m_list.HasDetailsButton(0));
    EXPECT_TRUE(m_list.HasDetailsButton(1));

    // Scan is enabled while any section is checked; clicks on the icons toggle them.
    for (int row = 0; row < 3; ++row)
        m_list.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10 + 20 * row));
    EXPECT_FALSE(m_owner.m_scan) << "all four unchecked";
    m_list.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 70));
    EXPECT_TRUE(m_owner.m_scan);
    sections[1]->GetFoundItems().clear();
    m_list.RefreshList();
    EXPECT_FALSE(m_owner.m_clean);
    // While a clean runs the list leaves the buttons alone.
    m_owner.m_cleaning = true;
    const int calls = m_owner.m_calls;
    m_list.RefreshList();
    EXPECT_EQ(calls, m_owner.m_calls);
}

namespace
{
class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_settings = GetShellFolderPath(nullptr, CSIDL_APPDATA) + "\\Quorvantis\\settings.cfg";
        DeleteFileA(m_settings);
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->Create(nullptr, nullptr, WS_POPUP));
        m_hWnd = m_frame->m_hWnd;
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        PumpPending();
        DeleteFileA(m_settings);
    }
    bool Visible(int id) const { return ::IsWindowVisible(::GetDlgItem(m_hWnd, id)) != FALSE; }
    void SelectTab(int tabs, int index)
    {
        HWND control = ::GetDlgItem(m_hWnd, tabs);
        ::SendMessageA(control, TCM_SETCURSEL, index, 0);
        NMHDR header = {control, static_cast<UINT_PTR>(tabs), static_cast<UINT>(TCN_SELCHANGE)};
        ::SendMessageA(m_hWnd, WM_NOTIFY, tabs, reinterpret_cast<LPARAM>(&header));
    }

    CString m_settings;
    CMainFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
};
} // namespace

TEST_F(MainFrameTest, PagesOpenOnTheirFirstTab)
{
    m_frame->ShowWindow(SW_SHOW);
    EXPECT_TRUE(Visible(IDC_SCAN));
    EXPECT_FALSE(Visible(IDC_AREA_RECENT_DOCS));
    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_CONFIG, BN_CLICKED), 0);
    EXPECT_TRUE(Visible(IDC_SPLASH_OPTION));
    EXPECT_FALSE(Visible(IDC_NO_AUTORUN));
    SelectTab(IDC_CONFIG_TABS, 1);
    EXPECT_FALSE(Visible(IDC_SPLASH_OPTION));
    EXPECT_TRUE(Visible(IDC_NO_AUTORUN) && Visible(IDC_PERIOD) && Visible(IDC_TIME));
    // Schedule controls are enabled only with an automatic run chosen.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_PERIOD)));
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_AUTORUN_SCAN), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_PERIOD)));

    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_SCAN, BN_CLICKED), 0);
    EXPECT_FALSE(Visible(IDC_NO_AUTORUN));
    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_CONFIG, BN_CLICKED), 0);
    EXPECT_TRUE(Visible(IDC_SPLASH_OPTION)) << "the configuration page opens on General again";
    EXPECT_FALSE(Visible(IDC_NO_AUTORUN));

    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OPTIONS, BN_CLICKED), 0);
    SelectTab(IDC_OPTIONS_TABS, 2);
    EXPECT_TRUE(Visible(IDC_AREA_COOKIES));
    EXPECT_FALSE(Visible(IDC_AREA_RECENT_DOCS));
    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_ABOUT, BN_CLICKED), 0);
    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OPTIONS, BN_CLICKED), 0);
    EXPECT_TRUE(Visible(IDC_AREA_RECENT_DOCS));
    EXPECT_FALSE(Visible(IDC_AREA_COOKIES));
}

TEST_F(MainFrameTest, AnAreaClickWritesTheWholeSettingsFile)
{
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_SHRED), BM_CLICK, 0, 0); // not written by itself
    EXPECT_FALSE(Exists(m_settings));
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_AREA_TEMP_FOLDERS), BM_CLICK, 0, 0);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(m_settings, bytes));
    EXPECT_EQ("0 1 1 1 1 0 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 0 0 ", bytes);
    // Closing writes it again; a new window reads it back.
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_AREA_TEMP_FOLDERS), BM_SETCHECK, BST_CHECKED, 0);
    ::DestroyWindow(m_hWnd);
    ASSERT_TRUE(ReadBytes(m_settings, bytes));
    EXPECT_EQ("0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 0 0 ", bytes);
    m_frame = new CMainFrame;
    ASSERT_TRUE(m_frame->Create(nullptr, nullptr, WS_POPUP));
    m_hWnd = m_frame->m_hWnd;
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageA(::GetDlgItem(m_hWnd, IDC_SHRED), BM_GETCHECK, 0, 0));
}

TEST_F(MainFrameTest, CloseDuringACleanWaitsForTheRunToReturn)
{
    // The item stands in for the wipe: messages are dispatched while it works, and
    // the user closes the window meanwhile.
    bool aliveAfterClose = false;
    m_frame->GetScanList().GetSections()[0]->GetFoundItems().push_back(CCleanTargetPtr(new CActionTarget([&] {
        ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        aliveAfterClose = ::IsWindow(m_hWnd) != FALSE;
    })));
    m_frame->OnClean();
    EXPECT_TRUE(aliveAfterClose);
    EXPECT_TRUE(m_frame->IsCancelled()) << "the close cancels the rest of the run";
    EXPECT_TRUE(::IsWindow(m_hWnd));
    PumpPending(); // the close posted when the run returned
    EXPECT_FALSE(::IsWindow(m_hWnd));
}

TEST(DialogTest, WarningCheckStateOnlyFromOk)
{
    const struct
    {
        bool tick;
        WPARAM command;
        int expected;
    } cases[] = {{true, IDOK, 1}, {false, IDOK, 0}, {true, IDCANCEL, 0}};
    for (const auto& c : cases)
    {
        CWarning warning;
        OnDialogShown("Quorvantis", [c](HWND dialog) {
            if (c.tick)
                ::SendMessageA(::GetDlgItem(dialog, IDC_DONT_SHOW_AGAIN), BM_CLICK, 0, 0);
            if (c.tick && c.command == IDOK)
                Screenshot("warning.png");
            ::PostMessageA(dialog, WM_COMMAND, c.command, 0);
        });
        warning.DoModal();
        EXPECT_EQ(c.expected, warning.GetCheckState()) << c.tick << " " << c.command;
    }
}

TEST(DialogTest, SplashClosesByItselfWithoutATaskbarButton)
{
    CSplashDlg::s_delay = 1000;
    CSplashDlg splash;
    DWORD exStyle = 0;
    HANDLE thread = AfxBeginThread(
        [](void* style) -> unsigned {
            for (int i = 0; i < 100; ++i)
            {
                HWND splashWindow = ::FindWindowExA(nullptr, nullptr, "#32770", "");
                if (splashWindow && ::IsWindowVisible(splashWindow))
                {
                    *static_cast<DWORD*>(style) = static_cast<DWORD>(::GetWindowLongPtrA(splashWindow, GWL_EXSTYLE));
                    Screenshot("splash.png");
                    break;
                }
                ::Sleep(20);
            }
            return 0;
        },
        &exStyle);
    const DWORD start = GetTickCount();
    EXPECT_EQ(IDOK, splash.DoModal());
    const DWORD elapsed = GetTickCount() - start;
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    EXPECT_GE(elapsed, 900u);
    EXPECT_NE(0u, exStyle & WS_EX_TOOLWINDOW);
    CSplashDlg::s_delay = 2000;
}
