// Which folders a walk may start from, and which browser profiles may be read and
// cleaned. A temporary or cache area is emptied whole, so its folder is taken by where
// it really leads (by handle, through every link) and refused when that is, holds or lies
// inside a folder of the user's or the system's that is never scratch space; a folder
// reached under two names is walked once.
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

    // A folder no root may be or hold; with inside set, no root may lie inside it either
    // (the user's documents: a cache is never kept there). The profile, the Windows and
    // application-data folders hold scratch folders of their own, so only the first rule
    // guards them.
    struct CProtected
    {
        CString path;
        bool inside;
        bool favorites;       // the Favorites folder: walked by the favorites area itself
        bool content = false; // a folder of the user's own files (documents, pictures)
        bool appData = false; // an application-data folder (roaming, local, program data)
        bool rulesOnly = false; // guarded from cleaning rules, not from the walks (the
                                // program's own folders)
    };

    // Resolves the protected folders of this user and system; owner is the window that
    // owns the shell folder queries.
    explicit CScanRoots(HWND owner);
    // Given folders instead of the shell's (for tests).
    explicit CScanRoots(const std::vector<CProtected>& protectedFolders);

    // A walk's root; favoritesArea lets the Favorites folder itself be walked.
    Verdict Admit(const CString& path, CString& resolved, CString& reason, bool favoritesArea = false);
    // A browser profile folder: the same rules, without the walked-once one.
    Verdict AdmitProfile(const CString& path, CString& resolved, CString& reason);
    // A folder a cleaning rule names: refused when it is not a full path, is a drive root,
    // or is or holds any of the folders above; when the rule takes every file in it
    // (takesAll), also when it lies inside a folder of the user's own files.
    // ROOT_DUPLICATE when it lies inside a folder already walked whole in this scan.
    Verdict AdmitRuleFolder(const CString& path, CString& resolved, CString& reason, bool takesAll) const;
    // Whether a folder that a rule's wildcards would search from is or holds one of the
    // folders above (or is a drive root); reason says which.
    bool IsAboveProtected(const CString& path, CString& reason) const;
    // Whether a resolved folder is an application-data folder itself, where a rule may
    // name single files (never a wildcard, never below).
    bool IsApplicationDataFolder(const CString& resolved) const;

private:
    // The rules every root passes; inside names the flag of the folders it may not lie in
    // (nullptr for none). The walks, which pass CProtected::inside, are not held to the
    // rules-only folders.
    Verdict Check(const CString& path, CString& resolved, CString& reason, bool favoritesArea, const char* what,
                  bool CProtected::*inside) const;

    std::vector<CProtected> m_protected;
    std::set<std::wstring> m_walked;
};

// Whether inner is outer or lies below it, comparing as the file system does
// (without regard to letter case).
bool IsSameOrBelow(const CString& inner, const CString& outer);
