#include "MyCommandLineInfo.h"

#include <cstring>

CCommandLineFlags& GetCommandLineFlags()
{
    static CCommandLineFlags flags;
    return flags;
}

void CMyCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL)
{
    if (!flag || !param)
        return; // file names and other plain arguments mean nothing here
    CCommandLineFlags& flags = GetCommandLineFlags();
    const struct
    {
        const char* name;
        int CCommandLineFlags::*field;
    } kSwitches[] = {{"scan", &CCommandLineFlags::scan},
                     {"clean", &CCommandLineFlags::clean},
                     {"fast", &CCommandLineFlags::fast}};
    for (const auto& s : kSwitches)
        if (std::strcmp(param, s.name) == 0)
            flags.*s.field = 1;
}
