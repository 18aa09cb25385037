// CMainFrame: the program's window. Four page buttons on the left, one of four pages on
// the right (scan, clean options, configuration, about), the tray icon, and the scan
// and clean commands that drive the engine's runs through its scan context and clean
// host interfaces.
#pragma once

#include "Label.h"
#include "ScanListBox.h"
#include "afx/Controls.h"
#include "afx/FrameWnd.h"
#include "engine/Catalogue.h"
#include "engine/ScanPaths.h"
#include "exmfc/SkinButton.h"
#include "exmfc/TrayIcon.h"
#include "exmfc/WindowSkin.h"
#include "model/CleanHost.h"
#include "resources/resource.h"
#include "scheduler/Scheduler.h"

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
                   public CScheduler,
                   public CAboutControls,
                   public IScanContext,
                   public ICleanHost,
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
        OPTION_TABS = 3,
        CONFIG_TABS = 2
    };

    CMainFrame();

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void SetupSkin() override;

    // The scan and clean commands.
    void OnScan();
    void OnClean();
    void OnCancelWipe() { m_cancel = 1; }
    void ShowPage(int page);
    void SaveSettings();
    void LoadSettings();

    // IScanContext
    bool IsAreaChecked(int areaId) const override;
    const CScanPaths& GetScanPaths() const override { return m_paths; }
    HWND GetOwnerWindow() const override { return m_hWnd; }
    void Tick() override { m_list.Tick(); }
    void RefreshList() override { m_list.RefreshList(); }
    bool IsStopRequested() const override { return false; }

    // ICleanHost
    bool IsShredOn() const override { return m_shred.GetCheck() == BST_CHECKED; }
    bool IsCancelled() const override { return m_cancel != 0; }
    int GetDontShowWipeNotice() const override { return m_dontShowWipeNotice; }
    void SetDontShowWipeNotice(int value) override { m_dontShowWipeNotice = value; }
    int ShowWipeNotice() override;
    void BeginProgress(int chunks) override;
    void StepProgress() override;
    void EndProgress() override;

    // IScanListOwner
    bool IsCleaning() const override { return m_busy != 0; }
    void EnableScanAndClean(bool scan, bool clean) override;
    CWnd* GetDetailsOwner() override { return this; }

    CScanListBox& GetScanList() { return m_list; }
    int GetCurrentPage() const { return m_currentPage; }
    bool IsClosePending() const { return m_closePending; }

    BEGIN_MSG_MAP_EX(CMainFrame, exmfc::CWindowSkin<CFrameWnd>)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_CTLCOLOR()
    if (message == WM_SETFOCUS || message == WM_CHAR)
    {
        *pResult = 0;
        return TRUE;
    }
    ON_REGISTERED_MESSAGE(s_trayMessage, OnTrayNotify)
    ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_MINIMIZE, OnMinimizeToTray)
    ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelp)
    ON_BN_CLICKED(IDC_SCAN, OnScan)
    ON_BN_CLICKED(IDC_CLEAN, OnClean)
    ON_BN_CLICKED(IDC_CANCEL_WIPE, OnCancelWipe)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_PAGE_SCAN, IDC_PAGE_ABOUT, OnPageButton)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_AREA_FIRST, IDC_AREA_LAST, OnAreaClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_NO_AUTORUN, IDC_AUTORUN_CLEAN, OnScheduleChanged)
    ON_CBN_SELCHANGE(IDC_PERIOD, OnPeriodChanged)
    ON_CBN_SELCHANGE(IDC_DAY, ApplySchedule)
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
    LRESULT OnTrayNotify(WPARAM, LPARAM lParam);
    void OnCloseButton() { PostMessage(WM_CLOSE); }
    void OnMinimizeToTray();
    void OnHelp();
    void OnPageButton(UINT id) { ShowPage(static_cast<int>(id - IDC_PAGE_SCAN)); }
    void OnAreaClicked(UINT) { SaveSettings(); }
    void OnScheduleChanged(UINT id);
    void OnPeriodChanged()
    {
        FillDayList();
        ApplySchedule();
    }
    void OnTimeChanged(NMHDR*, LRESULT*) { ApplySchedule(); }
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
    void SetPageButtonsEnabled(bool enabled);
    void ShowTab(std::vector<CWnd*>* tabs, int count, int selected);
    void PumpPendingMessage();
    void OpenHomePage();

    exmfc::CTrayIcon m_trayIcon;
    CScanListBox m_list;
    std::vector<CWnd*> m_pages[PAGE_COUNT];
    std::vector<CWnd*> m_optionTabs[OPTION_TABS];
    std::vector<CWnd*> m_configTabs[CONFIG_TABS];
    CBrush m_backgroundBrush;
    int m_busy;
    int m_cancel;
    int m_dontShowWipeNotice;
    bool m_closePending;
    int m_currentPage;
    CScanPaths m_paths;
    HICON m_bigIcon;
    HICON m_smallIcon;

    exmfc::CSkinButton m_help, m_close, m_minimize, m_pageButtons[PAGE_COUNT];
    exmfc::CSkinButton m_scan, m_clean, m_cancelWipe;
    CLabel m_labels[3];
    CStatic m_columnHeaders;
    CProgressCtrl m_progress;
    CTabCtrl m_optionTabCtrl, m_configTabCtrl;
    CButton m_areas[AREA_COUNT];
    CButton m_splash, m_shred;
    CStatic m_on, m_at;
    CStatic m_tabPictures[OPTION_TABS + CONFIG_TABS];
};
