// CQuorvantisApp: start-up of the window program.
#pragma once

#include "afx/App.h"

class CQuorvantisApp : public CWinApp
{
public:
    // Common controls, the mutex, the command line, the main window, the splash, and
    // the scan and clean the command line asks for.
    BOOL InitInstance() override;
    // The code of the ended message loop: 0 after a normal run.
    int ExitInstance() override;
};
