// CSplashDlg: the shaped picture shown for two seconds at start-up.
#pragma once

#include "afx/Dialog.h"
#include "exmfc/WindowSkin.h"

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
    static unsigned WaitThenPost(void* splash);

    // Marks the worker's timer message: the delay has passed.
    static const LPARAM kDoneMark = 0x5153;
    bool m_done;
};
