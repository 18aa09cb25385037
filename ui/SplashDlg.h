// CSplashDlg: the shaped picture shown for two seconds at start-up.
#pragma once

#include "afx/Dialog.h"
#include "exmfc/WindowSkin.h"

#include <memory>

class CSplashDlg : public exmfc::CWindowSkin<CDialog>
{
public:
    CSplashDlg();

    void SetupSkin() override;
    BOOL OnInitDialog() override;

    BEGIN_MSG_MAP_EX(CSplashDlg, exmfc::CWindowSkin<CDialog>)
    ON_MESSAGE(WM_TIMER, OnTimer)
    END_MSG_MAP_EX()

    LRESULT OnTimer(WPARAM id, LPARAM mark);

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
};
