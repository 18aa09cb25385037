// CMainFrame: the program's window. Four page buttons on the left, one of four pages on
// the right (scan, clean options, configuration, about), the tray icon, and the scan
// and clean commands, whose runs go on a worker thread through the run controller.
#pragma once

#include "AppRulesList.h"
#include "KeepTab.h"
#include "Label.h"
#include "RunController.h"
#include "ScanListBox.h"
#include "afx/Controls.h"
#include "afx/FrameWnd.h"
#include "engine/Catalogue.h"
#include "engine/ScanPaths.h"
#include "engine/UserRules.h"
#include "exmfc/SkinButton.h"
#include "exmfc/TrayIcon.h"
#include "exmfc/WindowSkin.h"
#include "model/CleanHost.h"
#include "options/SettingsFile.h"
#include "resources/resource.h"
#include "ScheduleControls.h"

#include <functional>
#include <vector>

// The about page's controls.
class CAboutControls
{
protected:
    CStatic m_aboutTitle;
    CWnd m_homeLink;
    CStatic m_aboutVersion;
    CStatic m_aboutCopyright;
};

class CMainFrame : public exmfc::CWindowSkin<CFrameWnd>,
                   public CScheduleControls,
                   public CAboutControls,
                   public IScanListOwner
{
public:
    enum Page
    {
        PAGE_SCAN,
        PAGE_OPTIONS,
        PAGE_CONFIG,
        PAGE_ABOUT,
        PAGE_COUNT
    };
    enum
    {
        AREA_TABS = 3,                 // a tab of check boxes per section
        MORE_APPS_TAB = AREA_TABS,     // the rule files' entries
        KEEP_TAB = AREA_TABS + 1,      // what the user keeps
        OPTION_TABS = AREA_TABS + 2,
        CONFIG_TABS = 2
    };

    CMainFrame();

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void SetupSkin() override;

    // Messages the window posts to itself.
    enum
    {
        WM_LOAD_SCHEDULE = WM_APP + 1, // read the scheduled job once the window is up
        WM_ADD_TRAY_ICON,              // add the tray icon once the window is up
        WM_RUN_PROGRESS,               // the run's rows changed
        WM_RUN_DONE,                   // the run's worker has returned
        WM_RUN_WIPE,                   // the wipe's progress (see RunJobs.h)
        WM_RUN_NOTICE                  // sent: the wipe notice (see RunJobs.h)
    };

    // The scan and clean commands. Each starts its run and returns; while a scan runs,
    // Scan stops it.
    void OnScan();
    void OnClean();
    void OnCancelWipe();
    // Starts what the command line asks: a scan (/scan), then without a question a clean
    // (/clean), after which the program ends.
    void RunFromCommandLine();
    RunState GetRunState() const { return m_run.GetState(); }
    void ShowPage(int page);
    // Makes the clean options page (its check boxes, the rule files' entries, the Keep
    // tab), once; the choices are kept without it until then.
    void EnsureOptionsPage();
    // Writes the settings file from the controls; a failure is said in the tray balloon.
    bool SaveSettings();
    // Reads the settings file into the controls, or the defaults when there is none or it
    // cannot be read or understood (said once in the tray balloon).
    void LoadSettings();
    // How reading the settings file went at start-up.
    SettingsLoad GetSettingsLoad() const { return m_settingsLoad; }
    // For a run that cleans unattended: when the settings file could not be read or
    // understood, nothing is scanned or cleaned; the balloon says why and the program ends
    // with status 1. True when the run may go on.
    bool MayRunUnattended();
    // Runs a modal window of the program (a message box, a dialog); a close asked for
    // meanwhile waits until it returns, and is honoured then.
    INT_PTR RunModal(const std::function<INT_PTR()>& run);
    int ShowMessage(const CString& text, UINT type);
    // Ends the program through the window's normal close, once nothing modal is up.
    void CloseWhenIdle() { PostMessage(WM_CLOSE); }

    // What a scan started now would read.
    bool IsAreaChecked(int areaId) const;
    std::vector<const CRuleEntry*> GetCheckedRules() const { return m_appRules.GetChecked(); }
    // A copy of the keep list as it is now: a change on the Keep tab after a scan never
    // changes what that scan's clean removes.
    CKeepChoice GetKeepChoice() const;
    // Shows the wipe notice modally; returns the state of its "don't show again" box.
    int ShowWipeNotice();

    // IScanListOwner
    bool IsRunning() const override { return m_run.IsRunning(); }
    void EnableScanAndClean(bool scan, bool clean) override;
    CWnd* GetDetailsOwner() override { return this; }
    INT_PTR RunDetails(const std::function<INT_PTR()>& run) override { return RunModal(run); }

    CScanListBox& GetScanList() { return m_list; }
    CAppRulesList& GetAppRulesList() { return m_appRules; }
    CKeepTab& GetKeepTab() { return m_keepTab; }
    // Writes keep.cfg from the Keep tab; a failure is said in a message box.
    bool SaveKeepList();
    // Writes which entries of the rule files are checked; a failure is said in the balloon.
    bool SaveAppChoices();
    int GetCurrentPage() const { return m_currentPage; }
    bool IsClosePending() const { return m_run.IsClosing(); }
    bool IsModalUp() const { return m_run.IsModalUp(); }

    BEGIN_MSG_MAP_EX(CMainFrame, exmfc::CWindowSkin<CFrameWnd>)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_CTLCOLOR()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_ACTIVATE, OnActivate)
    if (message == WM_SETFOCUS || message == WM_CHAR)
    {
        *pResult = 0;
        return TRUE;
    }
    ON_REGISTERED_MESSAGE(s_trayMessage, OnTrayNotify)
    ON_MESSAGE(WM_LOAD_SCHEDULE, OnLoadSchedule)
    ON_MESSAGE(WM_ADD_TRAY_ICON, OnAddTrayIcon)
    ON_MESSAGE(WM_RUN_PROGRESS, OnRunProgress)
    ON_MESSAGE(WM_RUN_DONE, OnRunDone)
    ON_MESSAGE(WM_RUN_WIPE, OnRunWipe)
    ON_MESSAGE(WM_RUN_NOTICE, OnRunNotice)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_MINIMIZE, OnMinimizeToTray)
    ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelp)
    ON_BN_CLICKED(IDC_SCAN, OnScan)
    ON_BN_CLICKED(IDC_CLEAN, OnClean)
    ON_BN_CLICKED(IDC_CANCEL_WIPE, OnCancelWipe)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_PAGE_SCAN, IDC_PAGE_ABOUT, OnPageButton)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_AREA_FIRST, IDC_AREA_LAST, OnAreaClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_KEEP_FOUND, IDC_KEEP_REMOVE_PATH, OnKeepClicked)
    ON_CONTROL(LBN_DBLCLK, IDC_KEEP_FOUND, OnKeepFoundDoubleClick)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_NO_AUTORUN, IDC_AUTORUN_CLEAN, OnScheduleChanged)
    ON_CBN_SELCHANGE(IDC_PERIOD, OnPeriodChanged)
    ON_CBN_SELCHANGE(IDC_DAY, OnDayChanged)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_TIME, OnTimeChanged)
    ON_NOTIFY(TCN_SELCHANGE, IDC_OPTIONS_TABS, OnTabChanged)
    ON_NOTIFY(TCN_SELCHANGE, IDC_CONFIG_TABS, OnTabChanged)
    ON_NOTIFY(NM_CLICK, IDC_HOME_LINK, OnLinkClicked)
    ON_NOTIFY(NM_RETURN, IDC_HOME_LINK, OnLinkClicked)
    ON_COMMAND(ID_TRAY_SHOW, OnShowMainWindow)
    ON_COMMAND(ID_TRAY_ABOUT, OnShowMainWindow)
    ON_COMMAND(ID_TRAY_HOME_PAGE, OnHomePage)
    ON_COMMAND(ID_TRAY_EXIT, OnTrayExit)
    END_MSG_MAP_EX()

    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnClose();
    HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
    // As a dialog does: the keyboard focus the window gets goes on to the control that had
    // it when the window was last left, else to the first control Tab reaches.
    void OnSetFocus(CWnd*);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotify(WPARAM, LPARAM lParam);
    void OnCloseButton() { PostMessage(WM_CLOSE); }
    void OnMinimizeToTray();
    void OnHelp();
    void OnPageButton(UINT id) { ShowPage(static_cast<int>(id - IDC_PAGE_SCAN)); }
    void OnAreaClicked(UINT id);
    void OnKeepClicked(UINT id) { m_keepTab.OnCommand(id, BN_CLICKED); }
    void OnKeepFoundDoubleClick() { m_keepTab.OnCommand(IDC_KEEP_FOUND, LBN_DBLCLK); }
    void OnScheduleChanged(UINT id);
    void OnPeriodChanged()
    {
        FillDayList();
        ApplySchedule();
    }
    void OnDayChanged() { ApplySchedule(); }
    void OnTimeChanged(NMHDR*, LRESULT*) { ApplySchedule(); }
    LRESULT OnAddTrayIcon(WPARAM, LPARAM)
    {
        AddTrayIcon();
        return 0;
    }
    LRESULT OnLoadSchedule(WPARAM, LPARAM)
    {
        LoadScheduledTask();
        return 0;
    }
    LRESULT OnRunProgress(WPARAM, LPARAM);
    LRESULT OnRunDone(WPARAM, LPARAM);
    LRESULT OnRunWipe(WPARAM kind, LPARAM value);
    LRESULT OnRunNotice(WPARAM kind, LPARAM value);
    void OnTimer(UINT_PTR id);
    void OnTabChanged(NMHDR* header, LRESULT*);
    void OnLinkClicked(NMHDR*, LRESULT*) { OpenHomePage(); }
    void OnShowMainWindow();
    void OnHomePage() { OpenHomePage(); }
    void OnTrayExit() { PostMessage(WM_CLOSE); }

    static const UINT s_trayMessage;

private:
    void CreatePageButtons(const CRect& client);
    void CreateScanPage();
    void CreateOptionsPage();
    void CreateConfigPage();
    void CreateAboutPage();
    void CreateTabPictures(int first, int end);
    // Each page: what it shows; each tab: its controls, then its picture.
    void FillPageLists();
    void ShowTab(std::vector<CWnd*>* tabs, int count, int selected);
    // The buttons as the run has them: while a scan runs Stop in Scan's place and no page
    // button; while a clean runs none of them; else as the list says.
    void UpdateRunControls();
    // After a scan: the question whether to clean (none when it was stopped or nothing
    // was found), or the unattended clean.
    void AfterScan(bool stopped);
    void OpenHomePage();
    void ReportScheduleFailure(const CString& reason) override;
    // A notice in the tray balloon: never a box that waits for an answer.
    void ShowNotice(const CString& text);
    // Hides the window and closes it once a notice has had time to be read.
    void CloseAfterNotice();
    // Whether an entry of the rule files may be checked: one with a warning asks first.
    bool MayCheckRule(const CRuleEntry& entry);
    // Reads keep.cfg; one that cannot be used is said, on the Keep tab and in the balloon.
    void LoadKeepList();
    // Reads the rule files and fills "More applications", once.
    void LoadRules();
    // Adds the tray icon, and says the notices that waited for it.
    void AddTrayIcon();

    // What reading the rule files had to say: the first file that could not be read.
    struct CRuleProblems : CTickable
    {
        void Tick() override {}
        void ReportProblem(ProblemKind kind, const CString& place, const CString& reason) override
        {
            if (kind == PROBLEM_UNREADABLE && m_first.IsEmpty())
                m_first = "The rule file " + place + " could not be read: " + reason + ".";
        }
        CString m_first;
    };
    CRuleProblems m_ruleProblems;

    exmfc::CTrayIcon m_trayIcon;
    CScanListBox m_list;
    std::vector<CWnd*> m_pages[PAGE_COUNT];
    std::vector<CWnd*> m_optionTabs[OPTION_TABS];
    std::vector<CWnd*> m_configTabs[CONFIG_TABS];
    CBrush m_backgroundBrush;
    CRunController m_run;
    bool m_unattendedClean = false; // the command line's clean follows the scan, then the end
    int m_dontShowWipeNotice;
    bool m_closing;     // the close has saved the settings; what is left is to go
    SettingsLoad m_settingsLoad;
    bool m_keepUnreadSettings; // the file that could not be read is kept at the next save
    int m_currentPage;
    CScanPaths m_paths;
    CIcon m_bigIcon;
    CIcon m_smallIcon;

    exmfc::CSkinButton m_help, m_close, m_minimize, m_pageButtons[PAGE_COUNT];
    exmfc::CSkinButton m_scan, m_clean, m_cancelWipe;
    CLabel m_labels[3];
    CStatic m_columnHeaders;
    CProgressCtrl m_progress;
    CTabCtrl m_optionTabCtrl, m_configTabCtrl;
    CButton m_areas[AREA_COUNT];
    CButton m_splash, m_shred;
    CStatic m_on, m_at;
    CStatic m_tabPictures[AREA_TABS + CONFIG_TABS];
    CUserRules m_userRules;
    CAppRulesList m_appRules;
    CStatic m_noRules; // in the list's place when no rule file gives an entry
    CStatic m_rulesNote; // under the list: what reading the rule files had to say
    CKeepTab m_keepTab;
    std::shared_ptr<CKeepList> m_keep;
    CString m_keepProblem;    // why keep.cfg cannot be used; "" when it can
    bool m_keepUnread = false; // the file that could not be used is kept at the next save
    HWND m_lastFocus = nullptr; // the control that had the focus when the window was left
    bool m_rulesLoaded = false;
    bool m_optionsCreated = false;
    long m_areaStates[AREA_COUNT] = {}; // the areas' choices while their page is not made
    bool m_trayAdded = false;
    std::vector<CString> m_pendingNotices;
};
