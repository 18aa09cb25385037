// CSplashDlg: the shaped picture shown for two seconds at start-up, counted from when it is
// on the screen; what the program does meanwhile (making its main window) runs while it
// shows.
#pragma once

#include "afx/Dialog.h"
#include "exmfc/WindowSkin.h"

#include <functional>
#include <memory>

class CSplashDlg : public exmfc::CWindowSkin<CDialog>
{
public:
    CSplashDlg();

    void SetupSkin() override;
    BOOL OnInitDialog() override;

    // Work to do once the splash is on the screen; the splash stays until it is done
    // and its two seconds have passed.
    void SetWhileShown(const std::function<void()>& work) { m_whileShown = work; }

    enum
    {
        WM_WHILE_SHOWN = WM_APP + 1
    };

    BEGIN_MSG_MAP_EX(CSplashDlg, exmfc::CWindowSkin<CDialog>)
    ON_MESSAGE(WM_TIMER, OnTimer)
    ON_MESSAGE(WM_WHILE_SHOWN, OnWhileShown)
    END_MSG_MAP_EX()

    LRESULT OnTimer(WPARAM id, LPARAM mark);
    LRESULT OnWhileShown(WPARAM, LPARAM);

    // How long the splash stays, in milliseconds (tests shorten it).
    static DWORD s_delay;

private:
    // What the worker shares with the dialog; it may outlive the dialog.
    struct CDelay
    {
        HWND window = nullptr;
        volatile LONG done = 0;
    };
    static unsigned WaitThenPost(void* delay);

    std::shared_ptr<CDelay> m_delay;
    std::function<void()> m_whileShown;
};
