// Which folders a walk of a temporary or cache area may start from. Such an area is
// emptied whole, so a root that is not scratch space (a drive root, the Windows
// folder, the user's profile, a folder holding the user's documents or application
// data) is refused, and a folder reached under two names is walked once.
#pragma once

#include "afx/String.h"

#include <set>
#include <string>
#include <vector>
#include <windows.h>

class CScanRoots
{
public:
    enum Verdict
    {
        ROOT_WALK,      // walk it, under its resolved name
        ROOT_MISSING,   // no such folder (or no path at all)
        ROOT_DUPLICATE, // already walked in this scan
        ROOT_REFUSED    // not scratch space; reason says why
    };

    // Resolves the folders that no walk may start from or above; owner is the
    // window that owns the shell folder queries.
    explicit CScanRoots(HWND owner);
    // Given folders instead of the shell's (for tests).
    explicit CScanRoots(const std::vector<CString>& protectedFolders);

    Verdict Admit(const CString& path, CString& resolved, CString& reason);

private:
    std::vector<CString> m_protected;
    std::set<std::wstring> m_walked;
};

// Whether inner is outer or lies below it, comparing as the file system does
// (without regard to letter case).
bool IsSameOrBelow(const CString& inner, const CString& outer);
