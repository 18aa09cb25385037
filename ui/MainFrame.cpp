#include "MainFrame.h"

#include "RunJobs.h"
#include "Warning.h"
#include "areas/PathText.h"
#include "engine/CleanRun.h"
#include "engine/KeepFile.h"
#include "exmfc/Fonts.h"
#include "options/MyCommandLineInfo.h"
#include "options/AppChoices.h"
#include "options/SettingsFile.h"

#include <shellapi.h>

const UINT CMainFrame::s_trayMessage = ::RegisterWindowMessageA("QTSTrayMsg");

namespace
{
const char kHomePage[] = "https://www.quorvantis.com/";
const wchar_t kHomeLinkMarkup[] = L"<a href=\"https://www.quorvantis.com/\">www.quorvantis.com</a>";
const char kCopyright[] = "Copyright (C) 2026 The Quorvantis developers";
const char kBackgroundScan[] = "Quorvantis is performing a background scan.";
// How long a notice stays before a window that is closing goes, in milliseconds.
const UINT kNoticeMilliseconds = 8000;
const UINT_PTR kCloseTimer = 1;

// The page area's description strip, and the first row of a tab's controls.
const CRect kLabelRect(252, 94, 642, 154);
const CRect kTabRect(252, 164, 642, 184);
// The clean options' four tabs take two rows of tabs, and their controls start a row lower.
const CRect kOptionTabRect(252, 164, 642, 204);
const int kOptionRowShift = 1;
// Rows end before the tab's picture (582 on), which a click on a row would otherwise
// paint over; the longest caption needs about 300 pixels.
const int kRowLeft = 262, kRowRight = 572, kFirstRowTop = 204, kRowHeight = 20;

// A picture of the program's at the screen's DPI; the static showing it keeps it for the
// life of the window.
HBITMAP LoadPicture(UINT id)
{
    HBITMAP loaded = static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!loaded || exmfc::GetScreenDpi() == 96)
        return loaded;
    CBitmap scaled;
    const bool done = exmfc::ScaleToScreen(loaded, scaled, CLR_INVALID);
    if (!done)
        return loaded;
    ::DeleteObject(loaded);
    return static_cast<HBITMAP>(scaled.Detach());
}

CRect Row(int index)
{
    return exmfc::Scaled(CRect(kRowLeft, kFirstRowTop + kRowHeight * index, kRowRight,
                               kFirstRowTop + kRowHeight * (index + 1)));
}

// The page buttons: control, strip, face width, rectangle, and the caption their faces
// show (their window text, for screen readers).
const struct
{
    UINT id;
    UINT strip;
    int faceWidth;
    CRect rect;
    const char* caption;
} kPageButtons[] = {
    {IDC_PAGE_SCAN, IDB_PAGE_SCAN, 222, CRect(10, 80, 232, 154), "Scan"},
    {IDC_PAGE_OPTIONS, IDB_PAGE_OPTIONS, 180, CRect(48, 163, 228, 205), "Clean options"},
    {IDC_PAGE_CONFIG, IDB_PAGE_CONFIG, 180, CRect(48, 207, 228, 249), "Settings"},
    {IDC_PAGE_ABOUT, IDB_PAGE_ABOUT, 180, CRect(48, 252, 228, 294), "About"},
};
// The inset of the focus rectangle on a skin button that has the keyboard.
const int kFocusMargin = 3;

// The clean-options tabs: their first and last area.
const struct
{
    UINT firstArea, lastArea;
    UINT caption;
} kOptionTabs[] = {
    {IDC_AREA_RECENT_DOCS, IDC_AREA_NETWORK_MAPPINGS, IDS_SECTION_WINDOWS},
    {IDC_AREA_OFFICE, IDC_AREA_MEDIAPLAYER, IDS_SECTION_APPLICATIONS},
    {IDC_AREA_TEMP_INTERNET, IDC_AREA_SESSIONS, IDS_SECTION_BROWSERS},
};
// Progress of a read nobody waits on in steps.
class CSilentTick : public CTickable
{
public:
    void Tick() override {}
};

// A tab holds this many rows of check boxes below each other; a longer tab goes on in a
// second column to the right.
const int kRowsPerColumn = 9;
const int kSecondColumnLeft = 466, kSecondColumnRight = 640;

// The check boxes stand in area order: box i is area AREA_FIRST + i.
static_assert(IDC_AREA_LAST - IDC_AREA_FIRST + 1 == AREA_COUNT, "one check box per area");

const UINT kTabPictures[] = {IDB_TAB_WINDOWS, IDB_TAB_APPLICATIONS, IDB_TAB_BROWSERS, IDB_TAB_GENERAL,
                             IDB_TAB_SCHEDULE};
} // namespace

CMainFrame::CMainFrame()
    : m_run(WM_RUN_PROGRESS, WM_RUN_DONE), m_dontShowWipeNotice(0), m_closing(false),
      m_settingsLoad(SETTINGS_MISSING), m_keepUnreadSettings(false), m_currentPage(PAGE_SCAN)
{
    CBitmap pattern;
    if (pattern.LoadBitmap(IDB_LABEL_PATTERN))
        m_backgroundBrush.CreatePatternBrush(pattern);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    // Tab, arrows, Space and Enter move between and press the controls, as in a dialog.
    cs.dwExStyle |= WS_EX_CONTROLPARENT;
    cs.cx = exmfc::Scaled(668);
    cs.cy = exmfc::Scaled(437);
    cs.hMenu = nullptr;
    cs.style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    cs.lpszClass = AfxRegisterWndClass(0);
    return cs.lpszClass != nullptr;
}

void CMainFrame::SetupSkin()
{
    CRect client;
    GetClientRect(&client);
    m_shaped = true;
    m_transparentColour = RGB(255, 0, 255);
    m_captionRect.SetRect(0, 0, client.Width(), exmfc::Scaled(50));
    m_iconRect.SetRectEmpty();
    m_icon = nullptr;
    m_title.Empty();
    m_cursor = ::LoadCursorA(nullptr, IDC_ARROW);
    exmfc::CopyFont(exmfc::GetFont(exmfc::FONT_TITLE), m_titleFont);
}

int CMainFrame::OnCreate(LPCREATESTRUCTA cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    m_run.SetWindow(m_hWnd);
    m_bigIcon.Load(IDI_APP, 32);
    m_smallIcon.Load(IDI_APP, 16);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(static_cast<HICON>(m_bigIcon)));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(static_cast<HICON>(m_smallIcon)));

    const CString appName = CString::FromResource(IDS_APP_TITLE);
    // The tray icon, which the system's tray takes its time to add, comes once the
    // window is up (first of what waits).
    PostMessage(WM_ADD_TRAY_ICON);

    CRect client;
    GetClientRect(&client);
    CreatePageButtons(client);
    SetWindowText(appName);

    CreateScanPage();
    m_progress.Create(WS_CHILD | WS_VISIBLE, exmfc::Scaled(CRect(260, 340, 630, 360)), this,
                      IDC_WIPE_PROGRESS);
    m_progress.SetRange32(0, 100);
    m_progress.SetPos(50);
    m_progress.ShowWindow(SW_HIDE);
    m_cancelWipe.Create(CString::FromResource(IDS_CANCEL), WS_CHILD, exmfc::Scaled(CRect(390, 375, 490, 400)),
                        this, IDC_CANCEL_WIPE);
    m_cancelWipe.SetSkin(IDB_TEXT_BUTTON, exmfc::FACES_WITH_DISABLED, 100);
    m_cancelWipe.SetFont(exmfc::GetFontHandle(exmfc::FONT_BUTTON));

    // The clean options page is made when it is first shown (or a scan needs what only it
    // holds): its two dozen controls are most of what a start would make.
    CreateConfigPage();
    InitSchedule();
    CreateAboutPage();

    FillPageLists();

    ResolveScanPaths(m_paths, m_hWnd);
    LoadSettings();
    EnableScheduleControls();
    ShowPage(PAGE_SCAN);
    m_list.RefreshList();
    // The Task Scheduler can take a second to answer: the job is read once the window
    // is up. The rule files are read with the clean options page.
    PostMessage(WM_LOAD_SCHEDULE);
    return 0;
}

void CMainFrame::EnsureOptionsPage()
{
    if (m_optionsCreated)
        return;
    m_optionsCreated = true;
    CreateOptionsPage();
    for (int tab = 0; tab < AREA_TABS; ++tab)
    {
        for (UINT id = kOptionTabs[tab].firstArea; id <= kOptionTabs[tab].lastArea; ++id)
            m_optionTabs[tab].push_back(&m_areas[id - IDC_AREA_FIRST]);
        m_optionTabs[tab].push_back(&m_tabPictures[tab]);
    }
    m_optionTabs[KEEP_TAB] = m_keepTab.GetControls();
    for (int i = 0; i < AREA_COUNT; ++i)
        m_areas[i].SetCheck(static_cast<int>(m_areaStates[i]));
    m_keepTab.SetList(m_keep);
    LoadRules();
}

void CMainFrame::FillPageLists()
{
    // Each page: what it shows; each tab: its controls, then its picture.
    m_pages[PAGE_SCAN] = {&m_labels[0], &m_columnHeaders, &m_list, &m_scan, &m_clean};
    m_pages[PAGE_OPTIONS] = {&m_labels[1], &m_optionTabCtrl};
    m_pages[PAGE_CONFIG] = {&m_labels[2], &m_configTabCtrl};
    m_pages[PAGE_ABOUT] = {&m_aboutTitle};
    if (m_homeLink.m_hWnd)
        m_pages[PAGE_ABOUT].push_back(&m_homeLink);
    m_pages[PAGE_ABOUT].push_back(&m_aboutVersion);
    m_pages[PAGE_ABOUT].push_back(&m_aboutCopyright);
    m_configTabs[0] = {&m_splash, &m_shred, &m_tabPictures[AREA_TABS]};
    m_configTabs[1] = {&m_noScheduleButton,
                       &m_scanButton,
                       &m_scanAndCleanButton,
                       &m_period,
                       &m_on,
                       &m_day,
                       &m_at,
                       &m_time,
                       &m_scheduleNote,
                       &m_tabPictures[AREA_TABS + 1]};
}

void CMainFrame::CreatePageButtons(const CRect& client)
{
    m_close.Create("Close", WS_CHILD | WS_VISIBLE, exmfc::Scaled(CRect(0, 0, 22, 21)), this, IDC_CLOSE);
    m_close.SetSkin(IDB_CLOSE, exmfc::FACES_NORMAL_PRESSED_HOVER, 22);
    m_minimize.Create("Minimize", WS_CHILD | WS_VISIBLE, exmfc::Scaled(CRect(0, 0, 22, 21)), this,
                      IDC_MINIMIZE);
    m_minimize.SetSkin(IDB_MINIMIZE, exmfc::FACES_NORMAL_PRESSED_HOVER, 22);
    for (int i = 0; i < PAGE_COUNT; ++i)
    {
        m_pageButtons[i].Create(kPageButtons[i].caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                exmfc::Scaled(kPageButtons[i].rect), this, kPageButtons[i].id);
        m_pageButtons[i].SetSkin(kPageButtons[i].strip, exmfc::FACES_NORMAL_PRESSED_HOVER,
                                 kPageButtons[i].faceWidth, 0, 0, false, kFocusMargin);
    }
    // Created after the page buttons, so that Tab reaches it after them.
    m_help.Create("Help", WS_CHILD | WS_VISIBLE | WS_TABSTOP, exmfc::Scaled(CRect(573, 30, 630, 58)), this,
                  IDC_HELP_BUTTON);
    m_help.SetSkin(IDB_HELP, exmfc::FACES_NORMAL_PRESSED_HOVER, 57, 0, 0, false, kFocusMargin);
    for (exmfc::CSkinButton* button : {&m_close, &m_minimize, &m_help, &m_pageButtons[0], &m_pageButtons[1],
                                       &m_pageButtons[2], &m_pageButtons[3]})
        button->SetCaptionInFace(true);
    using exmfc::Scaled;
    m_close.MoveWindow(client.Width() - Scaled(32), Scaled(6), Scaled(22), Scaled(21));
    m_minimize.MoveWindow(client.Width() - Scaled(61), Scaled(8), Scaled(22), Scaled(21));
}

void CMainFrame::CreateScanPage()
{
    m_labels[0].Create(CString::FromResource(IDS_SCAN_DESCRIPTION), WS_CHILD, exmfc::Scaled(kLabelRect), this,
                       IDC_LABEL_SCAN);
    m_labels[0].SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_columnHeaders.Create("", WS_CHILD | SS_BITMAP, exmfc::Scaled(CRect(252, 164, 642, 191)), this);
    m_columnHeaders.SetBitmap(LoadPicture(IDB_COLUMN_HEADERS));
    const int rows = static_cast<int>(m_list.GetSections().size());
    m_list.CreateList(exmfc::Scaled(CRect(252, 191, 642, 191 + 20 * rows)), this, IDC_SCAN_LIST, this);
    m_list.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_scan.Create(CString::FromResource(IDS_SCAN), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                  exmfc::Scaled(CRect(412, 291, 512, 314)), this, IDC_SCAN);
    m_scan.SetSkin(IDB_TEXT_BUTTON, exmfc::FACES_WITH_DISABLED, 100, 0, 0, false, kFocusMargin);
    m_scan.SetFont(exmfc::GetFontHandle(exmfc::FONT_BUTTON));
    m_clean.Create(CString::FromResource(IDS_CLEAN), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                   exmfc::Scaled(CRect(532, 291, 632, 314)), this, IDC_CLEAN);
    m_clean.SetSkin(IDB_TEXT_BUTTON, exmfc::FACES_WITH_DISABLED, 100, 0, 0, false, kFocusMargin);
    m_clean.SetFont(exmfc::GetFontHandle(exmfc::FONT_BUTTON));
    m_clean.EnableWindow(FALSE);
    for (CLabel& label : m_labels)
        label.SetBackgroundBrush(m_backgroundBrush);
}

void CMainFrame::CreateOptionsPage()
{
    m_labels[1].Create(CString::FromResource(IDS_OPTIONS_DESCRIPTION), WS_CHILD, exmfc::Scaled(kLabelRect),
                       this, IDC_LABEL_OPTIONS);
    m_labels[1].SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_optionTabCtrl.Create(WS_CHILD | WS_TABSTOP | TCS_HOTTRACK | TCS_MULTILINE, exmfc::Scaled(kOptionTabRect), this,
                           IDC_OPTIONS_TABS);
    m_optionTabCtrl.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_optionTabCtrl.InsertItem(0, CString::FromResource(IDS_TAB_KEEP));
    m_optionTabCtrl.InsertItem(0, CString::FromResource(IDS_TAB_MORE_APPS));
    for (int tab = AREA_TABS; tab-- > 0;)
        m_optionTabCtrl.InsertItem(0, CString::FromResource(kOptionTabs[tab].caption));
    for (int tab = 0; tab < AREA_TABS; ++tab)
    {
        const int rows = static_cast<int>(kOptionTabs[tab].lastArea - kOptionTabs[tab].firstArea) + 1;
        int row = 0;
        for (UINT id = kOptionTabs[tab].firstArea; id <= kOptionTabs[tab].lastArea; ++id, ++row)
        {
            CButton& box = m_areas[id - IDC_AREA_FIRST];
            CRect place = Row(row % kRowsPerColumn + kOptionRowShift);
            if (row >= kRowsPerColumn)
            {
                place.left = exmfc::Scaled(kSecondColumnLeft);
                place.right = exmfc::Scaled(kSecondColumnRight);
            }
            else if (rows > kRowsPerColumn)
                place.right = exmfc::Scaled(kSecondColumnLeft - 1);
            box.Create(CString::FromResource(id + IDS_AREA_OFFSET), WS_CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, place,
                       this, id);
            box.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
        }
    }
    // The rule files' entries fill the tab once they are read (LoadRules); a note on them
    // takes the list's last two rows.
    const int listTop = kFirstRowTop + kRowHeight * kOptionRowShift;
    m_appRules.CreateList(exmfc::Scaled(CRect(kRowLeft, listTop, 632, 404)), this, IDC_APP_RULES);
    m_rulesNote.Create("", WS_CHILD | SS_NOPREFIX, exmfc::Scaled(CRect(kRowLeft, 404 - 2 * kRowHeight + 4, 632, 404)),
                       this);
    m_rulesNote.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_appRules.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_appRules.SetCallbacks([this](const CRuleEntry& entry) { return MayCheckRule(entry); },
                            [this] { SaveAppChoices(); });
    m_noRules.Create(CString::FromResource(IDS_NO_RULE_FILE), WS_CHILD, Row(0), this);
    m_noRules.MoveWindow(exmfc::Scaled(CRect(kRowLeft, listTop, 632, listTop + 3 * kRowHeight)), FALSE);
    m_noRules.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_keepTab.Create(
        this, [this] { return SaveKeepList(); }, [this](const CString& text) { ShowMessage(text, MB_OK | MB_ICONINFORMATION); });
    CreateTabPictures(0, AREA_TABS);
}

void CMainFrame::CreateTabPictures(int first, int end)
{
    for (int i = first; i < end; ++i)
    {
        m_tabPictures[i].Create("", WS_CHILD | SS_BITMAP, exmfc::Scaled(CRect(582, 352, 630, 400)), this);
        m_tabPictures[i].SetBitmap(LoadPicture(kTabPictures[i]));
        m_tabPictures[i].MoveWindow(exmfc::Scaled(CRect(582, 352, 630, 400)), FALSE);
    }
}

void CMainFrame::CreateConfigPage()
{
    m_labels[2].Create(CString::FromResource(IDS_CONFIG_DESCRIPTION), WS_CHILD, exmfc::Scaled(kLabelRect),
                       this, IDC_LABEL_CONFIG);
    m_labels[2].SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_configTabCtrl.Create(WS_CHILD | WS_TABSTOP | TCS_HOTTRACK, exmfc::Scaled(kTabRect), this,
                           IDC_CONFIG_TABS);
    m_configTabCtrl.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    m_configTabCtrl.InsertItem(0, CString::FromResource(IDS_TAB_SCHEDULE));
    m_configTabCtrl.InsertItem(0, CString::FromResource(IDS_TAB_GENERAL));
    CreateTabPictures(AREA_TABS, AREA_TABS + CONFIG_TABS);

    m_splash.Create(CString::FromResource(IDS_SPLASH_OPTION), WS_CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, Row(0),
                    this, IDC_SPLASH_OPTION);
    m_shred.Create(CString::FromResource(IDS_SHRED), WS_CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, Row(1), this,
                   IDC_SHRED);
    for (CButton* box : {&m_splash, &m_shred})
    {
        box->SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
        box->SetCheck(BST_CHECKED);
    }
    const UINT captions[] = {IDS_NO_AUTORUN, IDS_AUTORUN_SCAN, IDS_AUTORUN_CLEAN};
    CButton* radios[] = {&m_noScheduleButton, &m_scanButton, &m_scanAndCleanButton};
    for (int i = 0; i < 3; ++i)
    {
        DWORD style = WS_CHILD | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        radios[i]->Create(CString::FromResource(captions[i]), style, Row(i + 1), this, IDC_NO_AUTORUN + i);
        radios[i]->SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
    }
    using exmfc::Scaled;
    const int top = kFirstRowTop + kRowHeight * 4, noteTop = kFirstRowTop + kRowHeight * 5;
    m_period.Create(WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                    Scaled(CRect(262, top, 342, top + 100)), this, IDC_PERIOD);
    m_on.Create("on", WS_CHILD | SS_CENTER, Scaled(CRect(347, top + 3, 367, top + 20)), this);
    m_day.Create(WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                 Scaled(CRect(367, top, 447, top + 200)), this, IDC_DAY);
    m_at.Create("at", WS_CHILD | SS_CENTER, Scaled(CRect(452, top + 3, 472, top + 20)), this);
    m_time.Create(WS_CHILD | DTS_TIMEFORMAT | DTS_UPDOWN | DTS_RIGHTALIGN | WS_TABSTOP,
                  Scaled(CRect(472, top, 542, top + 20)), this, IDC_TIME);
    // Hours and minutes, as the schedule uses them; a 12-hour clock's AM/PM would not fit.
    m_time.SendMessage(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH':'mm"));
    m_scheduleNote.Create("", WS_CHILD, Scaled(CRect(262, noteTop + 4, 570, noteTop + 40)), this);
    for (CWnd* control :
         std::initializer_list<CWnd*>{&m_period, &m_on, &m_day, &m_at, &m_time, &m_scheduleNote})
        control->SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
}

void CMainFrame::CreateAboutPage()
{
    // Centred on the page's panel, so that no text reaches past it.
    using exmfc::Scaled;
    const int left = kLabelRect.left, right = kLabelRect.right, middle = (left + right) / 2;
    m_aboutTitle.Create(CString::FromResource(IDS_APP_TITLE), WS_CHILD | SS_CENTER,
                        Scaled(CRect(left, 130, right, 160)), this);
    m_aboutTitle.SetFont(exmfc::GetFontHandle(exmfc::FONT_TITLE));
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool linkAvailable = ::GetVersionExA(&version) && version.dwMajorVersion > 4;
#pragma GCC diagnostic pop
    if (linkAvailable)
    {
        HWND link = ::CreateWindowExW(0, L"SysLink", kHomeLinkMarkup, WS_CHILD | WS_TABSTOP | LWS_TRANSPARENT,
                                      Scaled(middle - 60), Scaled(160), Scaled(120), Scaled(20), m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_HOME_LINK)),
                                      ::GetModuleHandleA(nullptr), nullptr);
        if (link)
        {
            m_homeLink.Attach(link);
            m_homeLink.SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
        }
    }
    m_aboutVersion.Create(CString::FromResource(IDS_VERSION), WS_CHILD | SS_CENTER,
                          Scaled(CRect(left, 206, right, 226)), this);
    m_aboutCopyright.Create(kCopyright, WS_CHILD | SS_CENTER, Scaled(CRect(left, 370, right, 386)), this);
    for (CStatic* text : {&m_aboutVersion, &m_aboutCopyright})
        text->SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
}

void CMainFrame::ShowPage(int page)
{
    if (page == PAGE_OPTIONS)
        EnsureOptionsPage();
    m_currentPage = page;
    for (int p = 0; p < PAGE_COUNT; ++p)
        m_pageButtons[p].SetSelected(p == page);
    for (int p = 0; p < PAGE_COUNT; ++p)
    {
        const bool shown = p == page;
        for (CWnd* control : m_pages[p])
        {
            control->ShowWindow(shown ? SW_SHOW : SW_HIDE);
            // Every page opens on its first tab.
            if (control == &m_optionTabCtrl)
            {
                m_optionTabCtrl.SetCurSel(0);
                ShowTab(m_optionTabs, OPTION_TABS, shown ? 0 : -1);
            }
            else if (control == &m_configTabCtrl)
            {
                m_configTabCtrl.SetCurSel(0);
                ShowTab(m_configTabs, CONFIG_TABS, shown ? 0 : -1);
            }
        }
    }
}

void CMainFrame::ShowTab(std::vector<CWnd*>* tabs, int count, int selected)
{
    for (int tab = 0; tab < count; ++tab)
        for (CWnd* control : tabs[tab])
            control->ShowWindow(tab == selected ? SW_SHOW : SW_HIDE);
}

void CMainFrame::OnScheduleChanged(UINT id)
{
    // One choice of the three, whatever the system makes of the radio group.
    SetAutoRunMode(static_cast<int>(id - IDC_NO_AUTORUN));
    EnableScheduleControls();
    ApplySchedule();
}

void CMainFrame::OnTabChanged(NMHDR* header, LRESULT*)
{
    if (header->idFrom == IDC_OPTIONS_TABS)
    {
        // The sites of the browsers' cookies are read when the Keep tab is first shown.
        if (m_optionTabCtrl.GetCurSel() == KEEP_TAB && !m_keepTab.HasFoundSites())
        {
            HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            CSilentTick silent;
            m_keepTab.SetFoundSites(FindCookieSites(m_paths, silent));
            ::SetCursor(old);
        }
        ShowTab(m_optionTabs, OPTION_TABS, m_optionTabCtrl.GetCurSel());
    }
    else
        ShowTab(m_configTabs, CONFIG_TABS, m_configTabCtrl.GetCurSel());
}

bool CMainFrame::IsAreaChecked(int areaId) const
{
    if (areaId < AREA_FIRST || areaId > AREA_LAST)
        return false;
    if (!m_optionsCreated)
        return (m_areaStates[areaId - AREA_FIRST] & 1) != 0;
    return m_areas[areaId - AREA_FIRST].GetCheck() == BST_CHECKED;
}

void CMainFrame::EnableScanAndClean(bool scan, bool clean)
{
    m_scan.EnableWindow(scan);
    m_clean.EnableWindow(clean);
}

void CMainFrame::UpdateRunControls()
{
    const RunState state = m_run.GetState();
    const bool running = m_run.IsRunning();
    m_scan.SetWindowText(CString::FromResource(running && state == RUN_SCANNING ? IDS_STOP : IDS_SCAN));
    for (exmfc::CSkinButton& button : m_pageButtons)
        button.EnableWindow(!running);
    if (!running)
    {
        m_list.RefreshList(); // Scan and Clean as the list has them
        return;
    }
    m_scan.EnableWindow(state == RUN_SCANNING && !m_run.IsStopRequested());
    m_clean.EnableWindow(FALSE);
}

void CMainFrame::OnScan()
{
    // While a scan runs, its button is Stop: the scan ends at its next entry.
    if (m_run.GetState() == RUN_SCANNING)
    {
        m_run.RequestStop();
        UpdateRunControls();
        return;
    }
    // One run at a time: a click that arrives during a clean, under a question or while
    // the window closes starts nothing.
    if (m_run.GetState() != RUN_IDLE || m_run.IsModalUp())
        return;
    AddTrayIcon();       // a scan at start is said in its balloon
    EnsureOptionsPage(); // the checked entries of the rule files scan with the Applications section
    // The scan reads the choices as they are now; it never reads the controls.
    std::vector<bool> areas(AREA_COUNT);
    for (int i = 0; i < AREA_COUNT; ++i)
        areas[static_cast<size_t>(i)] = IsAreaChecked(AREA_FIRST + i);
    CSectionList& sections = m_list.GetSections();
    auto job = std::make_shared<CScanJob>(m_run, sections, m_paths, m_hWnd, std::move(areas), GetCheckedRules(),
                                          GetKeepChoice());
    if (!m_run.Start(RUN_SCANNING, [job, &sections] { ScanSections(sections, *job); }))
    {
        ShowMessage("The scan could not be started: the system gave it no thread.", MB_OK | MB_ICONWARNING);
        return;
    }
    UpdateRunControls();
}

void CMainFrame::OnClean()
{
    if (m_run.GetState() != RUN_IDLE || m_run.IsModalUp())
        return;
    CRunningBrowsers browsers = FindRunningBrowsers();
    if (browsers.Any())
        ShowMessage(BuildBrowserAdvice(browsers), MB_OK | MB_ICONEXCLAMATION);
    if (m_run.IsClosing())
        return; // the close asked for during the advice is on its way
    // While a clean runs no page can be opened: the shred choice cannot change under it.
    CSectionList& sections = m_list.GetSections();
    auto job = std::make_shared<CCleanJob>(m_run, sections, m_hWnd, WM_RUN_WIPE, WM_RUN_NOTICE,
                                           m_shred.GetCheck() == BST_CHECKED, m_dontShowWipeNotice);
    if (!m_run.Start(RUN_CLEANING, [job, &sections] { CleanSections(sections, *job, job.get()); }))
    {
        ShowMessage("The clean could not be started: the system gave it no thread.", MB_OK | MB_ICONWARNING);
        if (m_unattendedClean)
            CloseWhenIdle();
        return;
    }
    UpdateRunControls();
}

void CMainFrame::OnCancelWipe()
{
    m_run.RequestStop();
    m_cancelWipe.EnableWindow(FALSE);
}

void CMainFrame::RunFromCommandLine()
{
    const CCommandLineFlags& flags = GetCommandLineFlags();
    m_unattendedClean = flags.clean;
    if (flags.scan)
        OnScan();
    else if (flags.clean)
        OnClean();
    // The run ends as any run does, its settings saved, its tray icon removed; also when
    // it could not start.
    if (m_unattendedClean && !m_run.IsRunning())
        CloseWhenIdle();
}

LRESULT CMainFrame::OnRunProgress(WPARAM, LPARAM)
{
    if (m_run.IsRunning())
        m_list.ShowRows(m_run.TakeRows());
    return 0;
}

LRESULT CMainFrame::OnRunDone(WPARAM, LPARAM)
{
    if (!m_run.IsRunning())
        return 0; // the run was waited for as the window went
    const bool stopped = m_run.IsStopRequested();
    const RunState ran = m_run.Finish();
    UpdateRunControls();
    if (m_run.IsClosing())
    {
        if (m_run.ShouldCloseNow())
            PostMessage(WM_CLOSE); // the close that waited for the run
        return 0;
    }
    if (ran == RUN_SCANNING)
        AfterScan(stopped);
    else if (m_unattendedClean)
    {
        m_unattendedClean = false;
        CloseWhenIdle();
    }
    return 0;
}

void CMainFrame::AfterScan(bool stopped)
{
    if (stopped)
    {
        // The user stopped it: the window stays with what was found, to clean or not.
        m_unattendedClean = false;
        return;
    }
    // Run to scan and clean, the program cleans what it found without asking; otherwise
    // the answer decides.
    if (m_unattendedClean)
        OnClean();
    else if (CountFoundItems(m_list.GetSections()) > 0 &&
             ShowMessage(CString::FromResource(IDS_ASK_CLEAN), MB_YESNO | MB_ICONQUESTION) == IDYES &&
             !m_run.IsClosing())
        OnClean();
}

LRESULT CMainFrame::OnRunWipe(WPARAM kind, LPARAM value)
{
    switch (kind)
    {
    case WIPE_BEGIN:
        m_run.SetWiping(true);
        m_progress.SetRange32(0, static_cast<int>(value));
        m_progress.SetPos(0);
        m_progress.ShowWindow(SW_SHOW);
        m_cancelWipe.ShowWindow(SW_SHOW);
        m_cancelWipe.EnableWindow(!m_run.IsStopRequested());
        break;
    case WIPE_STEP:
        m_progress.SetPos(static_cast<int>(value));
        break;
    case WIPE_END:
        m_run.SetWiping(false);
        m_progress.ShowWindow(SW_HIDE);
        m_cancelWipe.ShowWindow(SW_HIDE);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CMainFrame::OnRunNotice(WPARAM kind, LPARAM value)
{
    if (kind == NOTICE_REMEMBER)
    {
        m_dontShowWipeNotice = static_cast<int>(value);
        return 0;
    }
    // A run that is stopping (a close, the window going) wipes nothing: no notice.
    return m_run.IsStopRequested() ? 0 : ShowWipeNotice();
}

INT_PTR CMainFrame::RunModal(const std::function<INT_PTR()>& run)
{
    INT_PTR result = 0;
    {
        CRunController::CModal modal(m_run);
        result = run();
    }
    // A close asked for meanwhile was held; it goes once nothing modal is up and no run
    // is on (a run's end posts it itself).
    if (m_run.ShouldCloseNow())
        PostMessage(WM_CLOSE);
    return result;
}

int CMainFrame::ShowMessage(const CString& text, UINT type)
{
    return static_cast<int>(RunModal(
        [&] {
            return static_cast<INT_PTR>(
                ::MessageBoxA(m_hWnd, text, CString::FromResource(IDS_APP_TITLE), type));
        }));
}

void CMainFrame::ReportScheduleFailure(const CString& reason)
{
    ShowMessage("The automatic run could not be changed: " + reason + ".", MB_OK | MB_ICONWARNING);
}

void CMainFrame::ShowNotice(const CString& text)
{
    if (!m_trayAdded)
    {
        m_pendingNotices.push_back(text); // said once the icon is there
        return;
    }
    m_trayIcon.ShowBalloon(CString::FromResource(IDS_APP_TITLE), "", text, 10);
}

void CMainFrame::AddTrayIcon()
{
    if (m_trayAdded)
        return;
    const CString appName = CString::FromResource(IDS_APP_TITLE);
    m_trayIcon.SetIcon(m_smallIcon);
    m_trayIcon.SetTooltip(appName);
    m_trayIcon.Create(m_hWnd, s_trayMessage, true);
    m_trayAdded = true;
    if (GetCommandLineFlags().scan)
        m_trayIcon.ShowBalloon(appName, "", kBackgroundScan, 5);
    for (const CString& notice : m_pendingNotices)
        ShowNotice(notice);
    m_pendingNotices.clear();
}

void CMainFrame::CloseAfterNotice()
{
    ShowWindow(SW_HIDE);
    SetTimer(m_hWnd, kCloseTimer, kNoticeMilliseconds, nullptr);
}

void CMainFrame::OnTimer(UINT_PTR id)
{
    if (id != kCloseTimer)
        return;
    ::KillTimer(m_hWnd, kCloseTimer);
    m_closing = true;
    PostMessage(WM_CLOSE);
}

bool CMainFrame::MayRunUnattended()
{
    if (m_settingsLoad != SETTINGS_UNREADABLE && m_settingsLoad != SETTINGS_NOT_UNDERSTOOD)
        return true;
    // Nothing is saved either: the file stays for the user to see, and the next unattended
    // run stops again instead of cleaning with choices the user never made.
    m_quitCode = 1;
    m_closing = true;
    CloseAfterNotice();
    return false;
}

void CMainFrame::OnClose()
{
    // A run or a modal window is on: the run is stopped, and the window closes once both
    // have returned.
    if (!m_run.RequestClose())
    {
        UpdateRunControls();
        return;
    }
    if (!m_closing)
    {
        m_closing = true;
        if (!SaveSettings())
        {
            CloseAfterNotice(); // the balloon says why; the window goes when it has been read
            return;
        }
    }
    CFrameWnd::OnClose();
}

int CMainFrame::ShowWipeNotice()
{
    CWarning warning(this);
    RunModal([&warning] { return warning.DoModal(); });
    return warning.GetCheckState();
}

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM lParam)
{
    switch (static_cast<UINT>(lParam))
    {
    case WM_LBUTTONDBLCLK:
        OnShowMainWindow();
        break;
    case WM_RBUTTONDOWN:
    {
        HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
        if (!menu)
            break;
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::SetForegroundWindow(m_hWnd);
        ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        PostMessage(WM_NULL);
        ::DestroyMenu(menu);
        break;
    }
    default:
        break;
    }
    return 0;
}

void CMainFrame::OnShowMainWindow()
{
    ShowWindow(SW_SHOW);
    ShowWindow(SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
}

void CMainFrame::OnMinimizeToTray()
{
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_HIDE);
}

void CMainFrame::OnHelp()
{
    ::ShellExecuteA(m_hWnd, "open", CString::FromResource(IDS_HELP_ADDRESS), nullptr, nullptr,
                    SW_SHOWMAXIMIZED);
}

void CMainFrame::OpenHomePage()
{
    ::ShellExecuteA(nullptr, "open", kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
}

HBRUSH CMainFrame::OnCtlColor(CDC* dc, CWnd* control, UINT kind)
{
    // Check boxes and radio buttons show the skin behind their text, as statics do.
    if (kind == CTLCOLOR_BTN || kind == CTLCOLOR_STATIC)
        return OnSkinCtlColor(*dc, control ? control->m_hWnd : nullptr);
    dc->SetTextColor(RGB(0, 0, 0));
    dc->SetBkMode(TRANSPARENT);
    return nullptr; // the default brush
}

void CMainFrame::OnDestroy()
{
    // Destroyed without a close (the session ends): a run still on is stopped and waited
    // for, as it works on the list's sections.
    m_run.StopAndWait();
    // A window destroyed without a close (the system ending the session) saves too; the
    // schedule is changed only by the user's changes, each when it was made.
    if (!m_closing)
    {
        m_closing = true;
        SaveSettings();
    }
    ::KillTimer(m_hWnd, kCloseTimer);
    if (m_homeLink.m_hWnd)
        m_homeLink.Detach();
    m_trayIcon.Remove();
    CFrameWnd::OnDestroy();
}

void CMainFrame::OnSetFocus(CWnd*)
{
    HWND target = m_lastFocus;
    if (!target || !::IsChild(m_hWnd, target) || !::IsWindowVisible(target) || !::IsWindowEnabled(target))
        target = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    if (target)
        ::SetFocus(target);
}

LRESULT CMainFrame::OnActivate(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == WA_INACTIVE)
    {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(m_hWnd, focus))
            m_lastFocus = focus;
    }
    return Default();
}

void CMainFrame::OnAreaClicked(UINT id)
{
    // The tabs a browser would reopen are lost with this area: it is checked only when
    // the user says so.
    CButton& box = m_areas[id - IDC_AREA_FIRST];
    if (id == IDC_AREA_SESSIONS && box.GetCheck() == BST_CHECKED &&
        ShowMessage(CString::FromResource(IDS_SESSIONS_WARNING), MB_YESNO | MB_ICONWARNING) != IDYES)
        box.SetCheck(BST_UNCHECKED);
    SaveSettings();
}

CKeepChoice CMainFrame::GetKeepChoice() const
{
    CKeepChoice choice;
    if (!m_keepProblem.IsEmpty())
    {
        choice.place = CKeepFile(m_paths[SP_APPDATA]).GetPath();
        choice.problem = m_keepProblem;
    }
    else if (m_keep)
        choice.list = std::make_shared<const CKeepList>(*m_keep);
    return choice;
}

void CMainFrame::LoadKeepList()
{
    m_keep = std::make_shared<CKeepList>();
    const CKeepFile file(m_paths[SP_APPDATA]);
    CString error;
    const KeepLoad load = file.Load(*m_keep, error);
    m_keepProblem = load == KEEP_UNREADABLE || load == KEEP_NOT_UNDERSTOOD ? error : CString();
    m_keepUnread = load == KEEP_NOT_UNDERSTOOD;
    m_keepTab.SetList(m_keep);
    if (m_keepProblem.IsEmpty())
        return;
    m_keepTab.SetNote("keep.cfg " + m_keepProblem + ": cookies and site data are not cleaned.");
    ShowNotice("The keep list " + file.GetPath() + " " + m_keepProblem +
               "; cookies and site data are not cleaned until it is saved again from the Keep tab.");
    // An unattended run cleans the rest, and ends saying that not all was done.
    if (GetCommandLineFlags().clean)
        m_quitCode = 1;
}

bool CMainFrame::SaveKeepList()
{
    CString error;
    if (!CKeepFile(m_paths[SP_APPDATA]).Save(*m_keep, error, m_keepUnread))
    {
        ShowMessage("The keep list could not be saved: " + error + ".", MB_OK | MB_ICONWARNING);
        return false;
    }
    m_keepProblem.Empty();
    m_keepUnread = false;
    m_keepTab.SetNote(CString());
    return true;
}

bool CMainFrame::MayCheckRule(const CRuleEntry& entry)
{
    if (entry.warning.IsEmpty())
        return true;
    return ShowMessage(entry.name + "\n\n" + entry.warning, MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

bool CMainFrame::SaveAppChoices()
{
    CString error;
    if (CAppChoicesFile(m_paths[SP_APPDATA]).Save(m_appRules.GetCheckedNames(), error))
        return true;
    ShowNotice("Your choices of more applications could not be saved: " + error + ".");
    return false;
}

bool CMainFrame::SaveSettings()
{
    CSettings settings;
    settings.autoRunMode = GetAutoRunMode();
    for (int i = 0; i < AREA_COUNT; ++i)
        settings.areas[i] = m_optionsCreated ? m_areas[i].GetCheck() & 1 : m_areaStates[i] & 1;
    settings.showSplash = m_splash.GetCheck() & 1;
    settings.shred = m_shred.GetCheck() & 1;
    settings.dontShowWipeNotice = m_dontShowWipeNotice & 1;
    CSettingsFile file(m_paths[SP_APPDATA]);
    CString error;
    if (!file.Save(settings, error, m_keepUnreadSettings))
    {
        ShowNotice("Your choices could not be saved: " + error + ".");
        return false;
    }
    m_keepUnreadSettings = false;
    return true;
}

void CMainFrame::LoadSettings()
{
    // Without a file every control shows the choices of a user who has made none.
    CSettings settings;
    CSettingsFile file(m_paths[SP_APPDATA]);
    CString error;
    m_settingsLoad = file.Load(settings, &error);
    if (m_settingsLoad == SETTINGS_UNREADABLE || m_settingsLoad == SETTINGS_NOT_UNDERSTOOD)
    {
        settings = CSettings();
        m_keepUnreadSettings = true;
        const char* what = m_settingsLoad == SETTINGS_UNREADABLE ? "could not be read" : "was not understood";
        if (GetCommandLineFlags().clean)
            ShowNotice(CString("The settings file ") + what + " (" + error +
                       "); the automatic scan and clean did not run.");
        else
            ShowNotice(CString("The settings file ") + what + " (" + error +
                       "); Quorvantis starts with its default choices and keeps the file as " +
                       LastComponent(file.GetKeptPath()) + ".");
    }
    SetAutoRunMode(static_cast<int>(settings.autoRunMode));
    for (int i = 0; i < AREA_COUNT; ++i)
    {
        m_areaStates[i] = settings.areas[i];
        if (m_optionsCreated)
            m_areas[i].SetCheck(static_cast<int>(settings.areas[i]));
    }
    m_splash.SetCheck(static_cast<int>(settings.showSplash));
    m_shred.SetCheck(static_cast<int>(settings.shred));
    m_dontShowWipeNotice = static_cast<int>(settings.dontShowWipeNotice);
    LoadKeepList();
}

void CMainFrame::LoadRules()
{
    if (m_rulesLoaded)
        return;
    m_rulesLoaded = true;
    m_userRules.Load(GetUserRuleFiles(), m_ruleProblems);
    const CString notes = m_userRules.GetNotes();
    if (!notes.IsEmpty())
    {
        const int listTop = kFirstRowTop + kRowHeight * kOptionRowShift;
        m_appRules.MoveWindow(exmfc::Scaled(CRect(kRowLeft, listTop, 632, 404 - 2 * kRowHeight)), FALSE);
        m_rulesNote.SetWindowText(notes);
    }
    // Entries of the rule files stay unchecked until the user checks them.
    m_appRules.SetEntries(m_userRules.GetDetected(), CAppChoicesFile(m_paths[SP_APPDATA]).Load());
    m_optionTabs[MORE_APPS_TAB] = {m_userRules.GetDetected().empty() ? static_cast<CWnd*>(&m_noRules) : &m_appRules};
    if (!notes.IsEmpty())
        m_optionTabs[MORE_APPS_TAB].push_back(&m_rulesNote);
    if (!m_ruleProblems.m_first.IsEmpty())
        ShowNotice(m_ruleProblems.m_first);
}
