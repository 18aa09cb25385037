// The windows under Wine and Xvfb: the scan area list's decisions, pages and tabs, the
// settings written by a click, a close deferred during a clean, the warning and the
// splash. Screenshots of the dialogs go to QV_SCREENSHOTS when it is set.
#include "TestUtil.h"
#include "afx/App.h"
#include "afx/Com.h"
#include "afx/Handle.h"
#include "engine/ScanPaths.h"
#include "exmfc/Fonts.h"
#include "options/SettingsFile.h"
#include "ui/AppRulesList.h"
#include "ui/ListDialog.h"
#include "ui/MainFrame.h"
#include "ui/SplashDlg.h"
#include "ui/Warning.h"

#include <initguid.h>
#include <mstask.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <functional>

using namespace testutil;

namespace
{
// Records what the list asks of its owner.
class CRecordingOwner : public IScanListOwner
{
public:
    bool IsRunning() const override { return m_running; }
    void EnableScanAndClean(bool scan, bool clean) override
    {
        m_scan = scan;
        m_clean = clean;
        ++m_calls;
    }
    CWnd* GetDetailsOwner() override { return nullptr; }
    bool m_running = false, m_scan = false, m_clean = false;
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
        [](void* p) -> unsigned
        {
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

// A screenshot taken while this thread goes on answering its windows' messages.
void ScreenshotWhilePumping(const char* name)
{
    HANDLE thread = AfxBeginThread(
        [](void* name) -> unsigned
        {
            Screenshot(static_cast<const char*>(name));
            return 0;
        },
        const_cast<char*>(name));
    if (!thread)
        return;
    PumpUntil([thread] { return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 30000);
    ::CloseHandle(thread);
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
    } counts[] = {{SS_COMPLETE, 0, 0, "3"},
                  {SS_CLEANING, 1, 4, "25%"},
                  {SS_CLEANING, 4, 4, "100%"},
                  {SS_READY, 2, 4, "3"}};
    for (const auto& c : counts)
    {
        CSectionRow row;
        row.status = c.status;
        row.found = 3;
        row.cleanedSoFar = c.cleaned;
        row.toClean = c.toClean;
        EXPECT_EQ(CString(c.text), CScanListBox::CountText(row)) << c.text;
    }
    EXPECT_EQ(CString("0"), CScanListBox::CountText(CSectionRow()));

    // Painting places the check icons; clicks hit them and the details of a row with items.
    m_list.RefreshList();
    EXPECT_TRUE(m_owner.m_scan);
    EXPECT_TRUE(m_owner.m_clean);
    const struct
    {
        CPoint point;
        int icon, details;
    } hits[] = {
        {CPoint(10, 10), 0, -1},   {CPoint(10, 30), 1, -1},   {CPoint(360, 30), -1, 1},
        {CPoint(360, 10), -1, -1}, {CPoint(100, 30), -1, -1}, {CPoint(360, 79), -1, -1},
        {CPoint(10, 70), 3, -1},
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
    // While a run works on the sections the list shows the rows it is sent, and leaves the
    // buttons and the sections alone: no details, no check icon.
    m_owner.m_running = true;
    const int calls = m_owner.m_calls;
    std::vector<CSectionRow> rows(4);
    rows[2].found = 7;
    m_list.ShowRows(rows);
    m_list.RefreshList();
    EXPECT_EQ(calls, m_owner.m_calls);
    EXPECT_EQ(7u, m_list.GetRows()[2].found);
    EXPECT_FALSE(m_list.HasDetailsButton(2));
    const int checked = sections[0]->GetChecked();
    m_list.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(checked, sections[0]->GetChecked());
    m_owner.m_running = false;
    m_list.RefreshList();
    EXPECT_EQ(0u, m_list.GetRows()[2].found) << "the sections' own rows once the run has ended";
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
        m_frame->EnsureOptionsPage();
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

// The "More applications" list: entries under their section's header with its count; a
// header is never checked, and an entry is checked only when the owner allows it.
TEST(AppRulesListTest, GroupsBySectionAndAsksBeforeAWarnedEntry)
{
    CRuleSet rules;
    const std::string text = "[Notes *]\nLangSecRef=3021\nFileKey1=%Temp%\\N|*.log\n"
                             "[Paint *]\nLangSecRef=3023\nWarning=Forgets brushes.\nFileKey1=%Temp%\\P|*.*\n"
                             "[Player *]\nLangSecRef=3023\nRegKey1=HKCU\\Software\\Player\\Recent\n";
    ParseRules(text.data(), text.size(), rules);
    std::vector<const CRuleEntry*> entries;
    for (const CRuleEntry& entry : rules.entries)
        entries.push_back(&entry);
    CWnd parent;
    parent.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, nullptr, nullptr);
    CAppRulesList list;
    ASSERT_TRUE(list.CreateList(CRect(0, 0, 390, 180), &parent, IDC_APP_RULES));
    bool allow = false;
    int asked = 0, changed = 0;
    list.SetCallbacks([&](const CRuleEntry&) { ++asked; return allow; }, [&] { ++changed; });
    list.SetEntries(entries, {"player *"});
    // Applications (1), Notes, Multimedia (2), Paint, Player.
    EXPECT_EQ(5, list.GetRowCount());
    EXPECT_EQ((std::vector<CString>{"Player *"}), list.GetCheckedNames());
    list.Toggle(0); // a header
    list.Toggle(3); // Paint, refused at its question
    EXPECT_EQ(1, asked);
    EXPECT_EQ(0, changed);
    allow = true;
    list.Toggle(3);
    list.Toggle(1);
    // Every check is asked about (the window asks the user only of a warned one); an
    // uncheck is not.
    list.Toggle(4);
    EXPECT_EQ(3, asked);
    EXPECT_EQ(3, changed);
    EXPECT_EQ((std::vector<CString>{"Notes *", "Paint *"}), list.GetCheckedNames());
    parent.DestroyWindow();
}

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
    EXPECT_EQ("0 1 1 1 1 0 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 0 0 1 0 ", bytes);
    // Closing writes it again; a new window reads it back.
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_AREA_TEMP_FOLDERS), BM_SETCHECK, BST_CHECKED, 0);
    ::DestroyWindow(m_hWnd);
    ASSERT_TRUE(ReadBytes(m_settings, bytes));
    EXPECT_EQ("0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 0 0 1 0 ", bytes);
    m_frame = new CMainFrame;
    ASSERT_TRUE(m_frame->Create(nullptr, nullptr, WS_POPUP));
    m_frame->EnsureOptionsPage();
    m_hWnd = m_frame->m_hWnd;
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageA(::GetDlgItem(m_hWnd, IDC_SHRED), BM_GETCHECK, 0, 0));
}

// The tabs a browser would reopen are cleaned only when the user confirms; the Keep tab
// writes keep.cfg at each change, and one that cannot be used narrows nothing until saved.
TEST_F(MainFrameTest, TheSessionsAreaAsksAndTheKeepTabSavesAtOnce)
{
    std::string bytes;
    for (WPARAM answer : {IDNO, IDYES})
    {
        OnDialogShown("Quorvantis", [answer](HWND box) { ::PostMessageA(box, WM_COMMAND, answer, 0); });
        ::SendMessageA(::GetDlgItem(m_hWnd, IDC_AREA_SESSIONS), BM_CLICK, 0, 0);
        ASSERT_TRUE(ReadBytes(m_settings, bytes));
        EXPECT_EQ(answer == IDYES ? "1 1 " : "1 0 ", bytes.substr(bytes.size() - 4)) << answer;
    }

    const CString keepFile = GetShellFolderPath(nullptr, CSIDL_APPDATA) + "\\Quorvantis\\keep.cfg";
    m_frame->ShowWindow(SW_SHOW);
    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OPTIONS, BN_CLICKED), 0);
    SelectTab(IDC_OPTIONS_TABS, CMainFrame::KEEP_TAB);
    EXPECT_TRUE(Visible(IDC_KEEP_SITES));
    EXPECT_FALSE(Visible(IDC_AREA_COOKIES));
    CKeepTab& tab = m_frame->GetKeepTab();
    EXPECT_TRUE(tab.KeepSite("WWW.Example.com"));
    ASSERT_TRUE(ReadBytes(keepFile, bytes));
    EXPECT_NE(std::string::npos, bytes.find("\r\nsite=www.example.com\r\n")) << bytes;
    const CKeepChoice choice = m_frame->GetKeepChoice();
    ASSERT_TRUE(choice.list);
    EXPECT_TRUE(choice.list->IsSiteKept("a.www.example.com"));
    EXPECT_TRUE(tab.RemoveSite(0));
    EXPECT_TRUE(choice.list->IsSiteKept("www.example.com")) << "a scan's copy stays as it was";
    ASSERT_TRUE(ReadBytes(keepFile, bytes));
    EXPECT_EQ(std::string::npos, bytes.find("site=")) << bytes;

    // Not understood: nothing is kept or cleaned of cookies and site data until a save.
    ASSERT_TRUE(WriteBytes(keepFile, "site=kept.example\r\nall cookies\r\n"));
    ::DestroyWindow(m_hWnd);
    m_frame = new CMainFrame;
    ASSERT_TRUE(m_frame->Create(nullptr, nullptr, WS_POPUP));
    m_frame->EnsureOptionsPage();
    m_hWnd = m_frame->m_hWnd;
    EXPECT_NE(-1, m_frame->GetKeepChoice().problem.Find("line 2 is not a site or a path"));
    char note[256] = {};
    ::GetWindowTextA(::GetDlgItem(m_hWnd, IDC_KEEP_NOTE), note, sizeof(note));
    EXPECT_NE(nullptr, strstr(note, "not cleaned")) << note;
    EXPECT_TRUE(m_frame->GetKeepTab().KeepSite("example.org"));
    EXPECT_TRUE(m_frame->GetKeepChoice().problem.IsEmpty());
    ASSERT_TRUE(ReadBytes(keepFile + ".bad", bytes));
    EXPECT_EQ("site=kept.example\r\nall cookies\r\n", bytes) << "the file that was not understood is kept";
    DeleteFileA(keepFile);
    DeleteFileA(keepFile + ".bad");
}

TEST_F(MainFrameTest, CloseDuringACleanWaitsForTheRunToReturn)
{
    // The user closes the window while the clean works on its last item (cleaned first);
    // the window stays until that item returns, and the item before it is never reached.
    std::atomic<bool> aliveAfterClose{false}, reached{false};
    const HWND window = m_hWnd;
    CFoundItemList& items = m_frame->GetScanList().GetSections()[0]->GetFoundItems();
    items.push_back(CCleanTargetPtr(new CActionTarget([&] { reached = true; })));
    items.push_back(CCleanTargetPtr(new CActionTarget(
        [&]
        {
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            ::Sleep(300);
            aliveAfterClose = ::IsWindow(window) != FALSE;
        })));
    m_frame->OnClean();
    EXPECT_EQ(RUN_CLEANING, m_frame->GetRunState());
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(window); }, 10000)) << "the close that waited";
    EXPECT_TRUE(aliveAfterClose);
    EXPECT_FALSE(reached) << "the close stops the rest of the run";
}

// A close asked for (the tray's Exit) while any modal window of the program is up waits
// until it returns, then goes: the window is never destroyed under a box.
TEST_F(MainFrameTest, CloseWhileAModalWindowIsUpWaitsForIt)
{
    // A window of Firefox's class, so that a clean gives its advice first.
    WNDCLASSA firefoxClass = {};
    firefoxClass.lpfnWndProc = ::DefWindowProcA;
    firefoxClass.lpszClassName = "MozillaUIWindowClass";
    RegisterClassA(&firefoxClass);
    const CString root = MakeTestRoot("modal-close");
    ASSERT_TRUE(WriteBytes(root + "\\found.tmp", "x"));
    const struct
    {
        const char* name;
        const char* caption; // of the modal window
        WPARAM answer;
        std::function<void(CMainFrame&)> open;
    } modals[] = {
        {"the question after a scan", "Quorvantis", IDNO,
         [](CMainFrame& frame)
         {
             for (int id = IDC_AREA_FIRST; id <= IDC_AREA_LAST; ++id)
                 ::SendMessageA(::GetDlgItem(frame.m_hWnd, id), BM_SETCHECK,
                                id == IDC_AREA_TEMP_FOLDERS ? BST_CHECKED : BST_UNCHECKED, 0);
             frame.OnScan(); // the question comes when the scan's worker has returned
         }},
        {"the browser advice", "Quorvantis", IDOK,
         [](CMainFrame& frame)
         {
             frame.GetScanList().GetSections()[0]->GetFoundItems().push_back(
                 CCleanTargetPtr(new CCleanTarget("kept")));
             frame.OnClean();
             EXPECT_EQ(1u, frame.GetScanList().GetSections()[0]->GetFoundItems().size())
                 << "a clean asked for before the close started after it";
         }},
        {"the details", "Windows cleaning: 1 item", IDOK,
         [](CMainFrame& frame)
         {
             CScanListBox& list = frame.GetScanList();
             list.GetSections()[0]->GetFoundItems().push_back(CCleanTargetPtr(new CCleanTarget("an item")));
             list.RefreshList();
             CRect client;
             list.GetClientRect(&client);
             list.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(client.right - 10, 5));
         }},
        {"the wipe notice", "Quorvantis", IDOK, [](CMainFrame& frame) { frame.ShowWipeNotice(); }},
    };
    for (const auto& m : modals)
    {
        HWND firefox = ::CreateWindowA("MozillaUIWindowClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       nullptr, nullptr);
        bool aliveUnderTheBox = false;
        HWND frameWindow = m_hWnd;
        OnDialogShown(m.caption,
                      [&, frameWindow](HWND dialog)
                      {
                          ::PostMessageA(frameWindow, WM_CLOSE, 0, 0);
                          ::Sleep(300);
                          aliveUnderTheBox = ::IsWindow(frameWindow) != FALSE;
                          ::PostMessageA(dialog, WM_COMMAND, m.answer, 0);
                      });
        m.open(*m_frame);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(frameWindow); }, 20000)) << m.name << ": the close that waited";
        ::DestroyWindow(firefox);
        EXPECT_TRUE(aliveUnderTheBox) << m.name;
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->Create(nullptr, nullptr, WS_POPUP));
        m_frame->EnsureOptionsPage();
        m_hWnd = m_frame->m_hWnd;
    }
    UnregisterClassA("MozillaUIWindowClass", nullptr);
    RemoveTree(root);
}

// The window works like a dialog from the keyboard: Tab walks the controls a page shows
// in order (skipping disabled ones), Enter and Space press the focused skin button, the
// open page's button is shown selected, and the page texts use the page font.
TEST_F(MainFrameTest, TheKeyboardWalksAndPressesTheControls)
{
    m_frame->ShowWindow(SW_SHOW);
    EXPECT_TRUE(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    for (int label : {IDC_LABEL_SCAN, IDC_LABEL_OPTIONS, IDC_LABEL_CONFIG})
        EXPECT_EQ(exmfc::GetFontHandle(exmfc::FONT_TEXT),
                  reinterpret_cast<HFONT>(::SendMessageA(::GetDlgItem(m_hWnd, label), WM_GETFONT, 0, 0)))
            << label;
    auto key = [this](UINT message, WPARAM vk)
    {
        MSG msg = {::GetFocus(), message, vk, 0, 0, {0, 0}};
        if (!::IsDialogMessageA(m_hWnd, &msg))
            ::DispatchMessageA(&msg);
    };
    auto focused = [] { return ::GetDlgCtrlID(::GetFocus()); };
    // The window itself takes the focus (as when it is shown or comes back to the front):
    // it goes on to a control, so the first Tab press moves between controls.
    ::SetFocus(m_hWnd);
    ASSERT_EQ(IDC_PAGE_SCAN, focused());
    std::vector<int> order;
    for (int i = 0; i < 6; ++i)
    {
        key(WM_KEYDOWN, VK_TAB);
        order.push_back(focused());
    }
    // Clean is disabled until a scan has found something.
    EXPECT_EQ((std::vector<int>{IDC_PAGE_OPTIONS, IDC_PAGE_CONFIG, IDC_PAGE_ABOUT, IDC_HELP_BUTTON, IDC_SCAN,
                                IDC_PAGE_SCAN}),
              order);
    key(WM_KEYDOWN, VK_TAB); // to the clean-options page's button
    key(WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(Visible(IDC_OPTIONS_TABS)) << "Enter presses the focused page button";
    key(WM_KEYDOWN, VK_TAB);
    key(WM_KEYDOWN, VK_SPACE);
    key(WM_KEYUP, VK_SPACE);
    EXPECT_TRUE(Visible(IDC_NO_AUTORUN) || Visible(IDC_SPLASH_OPTION)) << "Space presses it too";
    const int pages[] = {IDC_PAGE_SCAN, IDC_PAGE_OPTIONS, IDC_PAGE_CONFIG, IDC_PAGE_ABOUT};
    for (int page : pages)
    {
        char caption[64] = {};
        ::GetWindowTextA(::GetDlgItem(m_hWnd, page), caption, sizeof(caption));
        EXPECT_STRNE("", caption) << "a screen reader names page button " << page;
        auto* button =
            dynamic_cast<exmfc::CSkinButton*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, page)));
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(page == IDC_PAGE_CONFIG, button->IsSelected()) << page;
    }
}

// While a scan runs its button is Stop, and the window answers: a click on Stop ends the
// scan part way, leaving what it found listed, its section "Stopped", no question asked,
// and a list that cleans exactly what it shows; a close during a scan stops it too, and
// the window goes once the worker has returned.
TEST_F(MainFrameTest, AScanStopsPartWayAtStopOrAClose)
{
    const CString root = MakeTestRoot("stopped-scan");
    const int kFiles = 10000; // far more than a scan lists before the window answers
    for (int i = 0; i < kFiles; ++i)
        ASSERT_TRUE(WriteBytes(root + "\\" + std::to_string(i).c_str() + ".tmp", "x"));
    for (int id = IDC_AREA_FIRST; id <= IDC_AREA_LAST; ++id)
        ::SendMessageA(::GetDlgItem(m_hWnd, id), BM_SETCHECK, id == IDC_AREA_TEMP_FOLDERS ? BST_CHECKED : BST_UNCHECKED,
                       0);
    auto text = [this](int id)
    {
        char caption[64] = {};
        ::GetWindowTextA(::GetDlgItem(m_hWnd, id), caption, sizeof(caption));
        return std::string(caption);
    };
    auto enabled = [this](int id) { return ::IsWindowEnabled(::GetDlgItem(m_hWnd, id)) != FALSE; };
    auto click = [this](int id)
    {
        HWND button = ::GetDlgItem(m_hWnd, id);
        ::PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    auto listing = [&]
    {
        const CSectionRow& row = m_frame->GetScanList().GetRows()[0];
        return row.status == SS_SCANNING && row.found > 0;
    };
    m_frame->CenterWindow();
    m_frame->ShowWindow(SW_SHOW);

    // Stop, pressed the moment the first rows show (a scan left to run would finish first).
    click(IDC_SCAN);
    ASSERT_TRUE(PumpUntil(listing, 20000));
    EXPECT_EQ(RUN_SCANNING, m_frame->GetRunState());
    EXPECT_EQ("Stop", text(IDC_SCAN));
    EXPECT_TRUE(enabled(IDC_SCAN));
    EXPECT_FALSE(enabled(IDC_CLEAN));
    EXPECT_FALSE(enabled(IDC_PAGE_OPTIONS)) << "no page opens under a run";
    m_frame->OnScan(); // Stop
    ASSERT_TRUE(PumpUntil([&] { return !m_frame->IsRunning(); }, 20000));
    PumpUntil([] { return false; }, 300); // a question would show now
    EXPECT_EQ(nullptr, ::FindWindowA("#32770", "Quorvantis")) << "a stopped scan asks nothing";
    EXPECT_EQ(RUN_IDLE, m_frame->GetRunState());
    const CSectionList& sections = m_frame->GetScanList().GetSections();
    EXPECT_EQ(SS_STOPPED, sections[0]->GetStatus());
    for (size_t i = 1; i < sections.size(); ++i)
        EXPECT_EQ(SS_READY, sections[i]->GetStatus()) << i << ": never reached";
    std::vector<CString> listed;
    for (const CCleanTargetPtr& item : sections[0]->GetFoundItems())
        if (item->GetDisplayText().Find(root + "\\") == 0 && item->GetDisplayText().Right(1) != "\\")
            listed.push_back(item->GetDisplayText()); // the files; the folder stays while it holds the rest
    EXPECT_GT(listed.size(), 0u);
    EXPECT_LT(listed.size(), static_cast<size_t>(kFiles)) << "stopped part way";
    EXPECT_EQ("Scan", text(IDC_SCAN));
    EXPECT_TRUE(enabled(IDC_CLEAN));
    EXPECT_TRUE(enabled(IDC_PAGE_OPTIONS));
    ScreenshotWhilePumping("scan-stopped.png");

    // What was listed is cleaned, and nothing else of the folder.
    m_frame->OnClean();
    ASSERT_TRUE(PumpUntil([&] { return !m_frame->IsRunning(); }, 60000));
    for (const CString& path : listed)
        EXPECT_FALSE(Exists(path)) << path.GetString();
    int left = 0;
    for (int i = 0; i < kFiles; ++i)
        left += Exists(root + "\\" + std::to_string(i).c_str() + ".tmp") ? 1 : 0;
    EXPECT_EQ(kFiles - static_cast<int>(listed.size()), left);

    // A close: the scan stops, and the window goes when its worker has returned.
    const CScanItemPtr windows = sections[0]; // outlives the window
    const HWND window = m_hWnd;
    click(IDC_SCAN);
    ASSERT_TRUE(PumpUntil(listing, 20000));
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(window); }, 20000));
    EXPECT_EQ(SS_STOPPED, windows->GetStatus());
    EXPECT_LT(windows->GetFoundItems().size(), static_cast<size_t>(left)) << "the close did not wait for the whole scan";
    RemoveTree(root);
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
        OnDialogShown("Quorvantis",
                      [c](HWND dialog)
                      {
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

// The details: a caption with the section and its count, an "Info" column as wide as the
// list leaves unless a line needs more, and the selected lines copied as text.
TEST(DialogTest, DetailsAreCaptionedSizedAndCopied)
{
    EXPECT_EQ(CString("Windows cleaning: 1 item"), CListDialog::Caption("Windows cleaning", 1));
    EXPECT_EQ(CString("Browsers cleaning: 0 items"), CListDialog::Caption("Browsers cleaning", 0));
    const struct
    {
        const char* longest;
        bool scrolls;
    } cases[] = {{"C:\\Temp\\b.tmp", false}, {nullptr, true}};
    for (const auto& c : cases)
    {
        CFoundItemList items{CCleanTargetPtr(new CCleanTarget("C:\\Temp\\a.tmp")),
                             CCleanTargetPtr(new CCleanTarget(
                                 c.longest ? CString(c.longest) : CString(std::string(400, 'w').c_str())))};
        CListDialog dialog(items, "Windows cleaning", nullptr);
        bool scrolls = !c.scrolls;
        std::wstring copied;
        OnDialogShown("Windows cleaning: 2 items",
                      [&](HWND window)
                      {
                          HWND list = ::GetDlgItem(window, IDC_FOUND_LIST);
                          scrolls = (::GetWindowLongPtrA(list, GWL_STYLE) & WS_HSCROLL) != 0;
                          LVITEMA all = {};
                          all.stateMask = all.state = LVIS_SELECTED;
                          ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&all));
                          if (c.longest && dialog.CopySelection() && ::OpenClipboard(nullptr))
                          {
                              HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
                              const wchar_t* text =
                                  data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
                              if (text)
                                  copied = text;
                              if (data)
                                  ::GlobalUnlock(data);
                              ::CloseClipboard();
                          }
                          ::PostMessageA(window, WM_COMMAND, IDOK, 0);
                      });
        dialog.DoModal();
        EXPECT_EQ(c.scrolls, scrolls) << (c.longest ? "short lines" : "a long line");
        if (c.longest)
            EXPECT_EQ(L"Clean target\tC:\\Temp\\a.tmp\r\nClean target\tC:\\Temp\\b.tmp\r\n", copied);
    }
}

TEST(DialogTest, SplashClosesByItselfWithoutATaskbarButton)
{
    CSplashDlg::s_delay = 1000;
    CSplashDlg splash;
    DWORD exStyle = 0;
    HANDLE thread = AfxBeginThread(
        [](void* style) -> unsigned
        {
            for (int i = 0; i < 100; ++i)
            {
                HWND splashWindow = ::FindWindowExA(nullptr, nullptr, "#32770", "");
                if (splashWindow && ::IsWindowVisible(splashWindow))
                {
                    *static_cast<DWORD*>(style) =
                        static_cast<DWORD>(::GetWindowLongPtrA(splashWindow, GWL_EXSTYLE));
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

// ---- The scheduled job ----

namespace
{
const char kJobFile[] = "C:\\windows\\Tasks\\Quorvantis.job";

CString SelfPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return self;
}

// Writes the job "Quorvantis" with one trigger, as an earlier run or another program would.
void WriteJob(const wchar_t* program, const wchar_t* parameters, WORD type, DWORD days, WORD hour,
              WORD minute)
{
    CComInit com;
    com.Initialize();
    CComPtr<ITaskScheduler> scheduler;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_ITaskScheduler, scheduler.ReceiveVoid())));
    scheduler->Delete(L"Quorvantis");
    CComPtr<ITask> task;
    ASSERT_TRUE(
        SUCCEEDED(scheduler->NewWorkItem(L"Quorvantis", CLSID_CTask, IID_ITask, task.ReceiveUnknown())));
    task->SetApplicationName(program);
    task->SetParameters(parameters);
    WORD index = 0;
    CComPtr<ITaskTrigger> trigger;
    ASSERT_TRUE(SUCCEEDED(task->CreateTrigger(&index, trigger.Receive())));
    TASK_TRIGGER data = {};
    data.cbTriggerSize = sizeof(data);
    data.wBeginYear = 2026;
    data.wBeginMonth = 1;
    data.wBeginDay = 1;
    data.wStartHour = hour;
    data.wStartMinute = minute;
    data.TriggerType = static_cast<TASK_TRIGGER_TYPE>(type);
    if (type == TASK_TIME_TRIGGER_WEEKLY)
    {
        data.Type.Weekly.WeeksInterval = 1;
        data.Type.Weekly.rgfDaysOfTheWeek = static_cast<WORD>(days);
    }
    else
    {
        data.Type.MonthlyDate.rgfDays = days;
        data.Type.MonthlyDate.rgfMonths = 0x0FFF;
    }
    trigger->SetTrigger(&data);
    CComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(task->QueryInterface(IID_IPersistFile, file.ReceiveVoid())));
    ASSERT_TRUE(SUCCEEDED(file->Save(nullptr, TRUE)));
}

// What a new process of the Task Scheduler reads back of the job.
struct CJob
{
    bool exists = false;
    CString parameters, workingDirectory;
    TASK_TRIGGER trigger = {};
};

CString TakeText(LPWSTR text)
{
    CString narrow;
    if (text)
    {
        WideToUtf8(text, wcslen(text), narrow);
        CoTaskMemFree(text);
    }
    return narrow;
}

CJob ReadJob()
{
    CJob job;
    CComInit com;
    com.Initialize();
    CComPtr<ITaskScheduler> scheduler;
    CComPtr<ITask> task;
    if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                scheduler.ReceiveVoid())) ||
        FAILED(scheduler->Activate(L"Quorvantis", IID_ITask, task.ReceiveUnknown())))
        return job;
    job.exists = true;
    LPWSTR text = nullptr;
    if (SUCCEEDED(task->GetParameters(&text)))
        job.parameters = TakeText(text);
    if (SUCCEEDED(task->GetWorkingDirectory(&text)))
        job.workingDirectory = TakeText(text);
    CComPtr<ITaskTrigger> trigger;
    job.trigger.cbTriggerSize = sizeof(job.trigger);
    if (SUCCEEDED(task->GetTrigger(0, trigger.Receive())))
        trigger->GetTrigger(&job.trigger);
    return job;
}

std::string JobBytes()
{
    std::string bytes;
    ReadBytes(kJobFile, bytes);
    return bytes;
}

void DeleteJob()
{
    DeleteFileA(kJobFile);
}

int Selection(HWND frame, int id)
{
    return static_cast<int>(::SendMessageA(::GetDlgItem(frame, id), CB_GETCURSEL, 0, 0));
}

void Select(HWND frame, int id, int index)
{
    ::SendMessageA(::GetDlgItem(frame, id), CB_SETCURSEL, index, 0);
    ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(frame, id)));
}

void Click(HWND frame, int id)
{
    ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(frame, id)));
}

bool Checked(HWND frame, int id)
{
    return ::SendMessageA(::GetDlgItem(frame, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The main window with the schedule's failures recorded instead of shown in a box.
class CScheduleFrame : public CMainFrame
{
public:
    void ReportScheduleFailure(const CString& reason) override { m_failures.push_back(reason); }
    std::vector<CString> m_failures;
};

// A main window whose job has been read, as once its window is up.
CScheduleFrame* OpenFrame()
{
    CScheduleFrame* frame = new CScheduleFrame;
    if (!frame->Create(nullptr, nullptr, WS_POPUP))
        return nullptr;
    PumpPending();
    return frame;
}
} // namespace

TEST(SchedulerTest, OnlyOurJobIsShownAndNothingChangesItButTheUser)
{
    const CString self = SelfPath();
    const std::wstring program = Utf8ToWide(self);
    const struct
    {
        const wchar_t* program;
        const wchar_t* parameters;
        WORD type;
        DWORD days;
        int period, day, mode;
        const char* dayText;
    } jobs[] = {
        {program.c_str(), L"/scan", TASK_TIME_TRIGGER_WEEKLY, 0x08, 0, 3, 1, "Wednesday"},
        {program.c_str(), L"/scan /clean", TASK_TIME_TRIGGER_MONTHLYDATE, 1u << 20, 1, 20, 2, "21st"},
        {program.c_str(), L"/scan", TASK_TIME_TRIGGER_WEEKLY, 0x02 | 0x10, 0, 6, 1, "Saturday"},
        // Another program's job of that name: shown as nobody's, never touched.
        {L"C:\\Other\\other.exe", L"/x", TASK_TIME_TRIGGER_WEEKLY, 0x08, 1, 0, 0, "1st"},
    };
    for (const auto& j : jobs)
    {
        WriteJob(j.program, j.parameters, j.type, j.days, 14, 30);
        const std::string before = JobBytes();
        CScheduleFrame* frame = OpenFrame();
        ASSERT_NE(nullptr, frame);
        HWND hWnd = frame->m_hWnd;
        const bool ours = j.mode != 0;
        EXPECT_EQ(j.period, Selection(hWnd, IDC_PERIOD)) << j.dayText;
        EXPECT_EQ(j.day, Selection(hWnd, IDC_DAY)) << j.dayText;
        char text[32] = {};
        ::SendMessageA(::GetDlgItem(hWnd, IDC_DAY), CB_GETLBTEXT, j.day, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(j.dayText, text);
        EXPECT_TRUE(Checked(hWnd, IDC_NO_AUTORUN + j.mode)) << j.dayText;
        SYSTEMTIME time = {};
        ::SendMessageA(::GetDlgItem(hWnd, IDC_TIME), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        if (ours)
        {
            EXPECT_EQ(14, time.wHour);
        }
        for (int id : {IDC_NO_AUTORUN, IDC_AUTORUN_SCAN, IDC_PERIOD})
            EXPECT_EQ(ours, ::IsWindowEnabled(::GetDlgItem(hWnd, id)) != FALSE) << j.dayText << " " << id;
        EXPECT_EQ(ours ? JOB_OURS : JOB_FOREIGN, frame->GetJobOwner());
        if (!ours)
        {
            // Even a change that reaches the window leaves the other program's job alone.
            ::SendMessageA(::GetDlgItem(hWnd, IDC_AUTORUN_SCAN), BM_SETCHECK, BST_CHECKED, 0);
            Click(hWnd, IDC_AUTORUN_SCAN);
            EXPECT_EQ(1u, frame->m_failures.size());
        }
        // Quitting changes nothing: the schedule changes only when the user changes it.
        ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
        PumpPending();
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(before, JobBytes()) << j.dayText;
    }
    DeleteJob();
    DeleteFileA(GetShellFolderPath(nullptr, CSIDL_APPDATA) + "\\Quorvantis\\settings.cfg");
}

TEST(SchedulerTest, ControlsChangeTheJobInPlaceAndAFailedChangeKeepsIt)
{
    DeleteJob();
    CScheduleFrame* frame = OpenFrame();
    ASSERT_NE(nullptr, frame);
    HWND hWnd = frame->m_hWnd;
    // Period switches refill the day list; the period already chosen leaves the day.
    Select(hWnd, IDC_PERIOD, 0);
    EXPECT_EQ(7, ::SendMessageA(::GetDlgItem(hWnd, IDC_DAY), CB_GETCOUNT, 0, 0));
    Select(hWnd, IDC_DAY, 4);
    Select(hWnd, IDC_PERIOD, 0);
    EXPECT_EQ(4, Selection(hWnd, IDC_DAY));
    Select(hWnd, IDC_PERIOD, 1);
    EXPECT_EQ(31, ::SendMessageA(::GetDlgItem(hWnd, IDC_DAY), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, Selection(hWnd, IDC_DAY));

    // "Run and scan automatically", monthly on the 3rd at 08:05.
    ::SendMessageA(::GetDlgItem(hWnd, IDC_AUTORUN_SCAN), BM_CLICK, 0, 0);
    Select(hWnd, IDC_DAY, 2);
    SYSTEMTIME time = {2000, 1, 1, 1, 8, 5, 0, 0};
    ::SendMessageA(::GetDlgItem(hWnd, IDC_TIME), DTM_SETSYSTEMTIME, GDT_VALID,
                   reinterpret_cast<LPARAM>(&time));
    NMHDR change = {::GetDlgItem(hWnd, IDC_TIME), IDC_TIME, static_cast<UINT>(DTN_DATETIMECHANGE)};
    ::SendMessageA(hWnd, WM_NOTIFY, IDC_TIME, reinterpret_cast<LPARAM>(&change));
    CJob job = ReadJob();
    ASSERT_TRUE(job.exists);
    EXPECT_EQ(CString("/scan"), job.parameters);
    EXPECT_EQ(CScheduler::WorkingFolderOf(SelfPath()), job.workingDirectory)
        << "the folder of a program of another name";
    SYSTEMTIME today;
    GetLocalTime(&today);
    EXPECT_EQ(TASK_TIME_TRIGGER_MONTHLYDATE, job.trigger.TriggerType);
    EXPECT_EQ(0x4u, job.trigger.Type.MonthlyDate.rgfDays);
    EXPECT_EQ(0x0FFF, job.trigger.Type.MonthlyDate.rgfMonths);
    EXPECT_EQ(8, job.trigger.wStartHour);
    EXPECT_EQ(5, job.trigger.wStartMinute);
    EXPECT_EQ(today.wYear, job.trigger.wBeginYear);
    EXPECT_EQ(today.wMonth, job.trigger.wBeginMonth);
    EXPECT_EQ(today.wDay, job.trigger.wBeginDay);
    EXPECT_TRUE(frame->m_failures.empty());

    // A change the Task Scheduler cannot store (its file held by another program) keeps
    // the job as it was, is reported, and the controls show what is really scheduled.
    const std::string before = JobBytes();
    {
        CHandle held(CreateFileA(kJobFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        ::SendMessageA(::GetDlgItem(hWnd, IDC_AUTORUN_CLEAN), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(1u, frame->m_failures.size());
    EXPECT_EQ(before, JobBytes());
    EXPECT_TRUE(Checked(hWnd, IDC_AUTORUN_SCAN) && !Checked(hWnd, IDC_AUTORUN_CLEAN));
    // Changed in place, not deleted and made again.
    ::SendMessageA(::GetDlgItem(hWnd, IDC_AUTORUN_CLEAN), BM_CLICK, 0, 0);
    EXPECT_EQ(CString("/scan /clean"), ReadJob().parameters);

    // "Don't auto run" deletes it and disables the three controls.
    ::SendMessageA(::GetDlgItem(hWnd, IDC_NO_AUTORUN), BM_CLICK, 0, 0);
    EXPECT_FALSE(ReadJob().exists);
    for (int id : {IDC_PERIOD, IDC_DAY, IDC_TIME})
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hWnd, id))) << id;
    ::DestroyWindow(hWnd);
    DeleteFileA(GetShellFolderPath(nullptr, CSIDL_APPDATA) + "\\Quorvantis\\settings.cfg");

    EXPECT_EQ(CString("C:\\Program Files\\Quorvantis"),
              CScheduler::WorkingFolderOf("C:\\Program Files\\Quorvantis\\other.exe"));
    const char* const names[] = {"1st",  "2nd",  "3rd",  "4th",  "11th", "12th",
                                 "13th", "21st", "22nd", "23rd", "24th", "31st"};
    const int days[] = {1, 2, 3, 4, 11, 12, 13, 21, 22, 23, 24, 31};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(CString(names[i]), CScheduler::MonthDayName(days[i]));
}

// Run in a child process with the Task Scheduler disabled, by the next test.
TEST(SchedulerChild, WithoutATaskScheduler)
{
    if (!GetEnvironmentVariableA("QV_NO_SCHEDULER_CHILD", nullptr, 0))
        GTEST_SKIP() << "runs only as the child of WithoutTaskSchedulerNothingIsWritten";
    CScheduleFrame* frame = OpenFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_FALSE(frame->GetScheduler().IsOpen());
    // The tab says so and offers nothing that would not happen.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(frame->m_hWnd, IDC_AUTORUN_SCAN)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(frame->m_hWnd, IDC_PERIOD)));
    ::DestroyWindow(frame->m_hWnd);
}

TEST(SchedulerTest, WithoutTaskSchedulerNothingIsWritten)
{
    DeleteJob();
    CString command;
    command.Format("\"%s\" --gtest_filter=SchedulerChild.*", SelfPath().GetString());
    SetEnvironmentVariableA("QV_NO_SCHEDULER_CHILD", "1");
    // Wine's own switch: the Task Scheduler's library is not loaded in new processes.
    HKEY overrides = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &overrides, nullptr));
    RegSetValueExA(overrides, "mstask", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    BOOL started =
        CreateProcessA(nullptr, command.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("QV_NO_SCHEDULER_CHILD", nullptr);
    ASSERT_TRUE(started);
    WaitForSingleObject(pi.hProcess, 60000);
    RegDeleteValueA(overrides, "mstask");
    RegCloseKey(overrides);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(0u, code) << "the child's checks failed or it crashed";
    EXPECT_FALSE(ReadJob().exists);
    DeleteFileA(GetShellFolderPath(nullptr, CSIDL_APPDATA) + "\\Quorvantis\\settings.cfg");
}
