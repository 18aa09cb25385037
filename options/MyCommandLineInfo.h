// The command line: "/scan", "/clean" and "/fast" (or with "-"), case-sensitive,
// each a whole argument, in any order; anything else is ignored.
#pragma once

#include "afx/App.h"

// The process-wide record of the three switches.
struct CCommandLineFlags
{
    int scan = 0;  // scan as soon as the main window is up, and announce it in a balloon
    int clean = 0; // clean after start-up, then end the program
    int fast = 0;  // start with the main window hidden
};

CCommandLineFlags& GetCommandLineFlags();

class CMyCommandLineInfo : public CCommandLineInfo
{
public:
    void ParseParam(const char* param, BOOL flag, BOOL last) override;
};
