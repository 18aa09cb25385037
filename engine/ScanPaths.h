// The 25 folders and registry keys that the scanners read, resolved once per window.
#pragma once

#include "afx/String.h"

#include <windows.h>

enum ScanPathEntry
{
    SP_WINDOWS_TEMP = 0,
    SP_USER_TEMP = 1,
    SP_RECENT = 2,
    SP_COOKIES = 3,
    SP_FAVORITES = 4,
    SP_HISTORY = 5,
    SP_INTERNET_CACHE = 6,
    SP_ACMRU_5001 = 7,
    SP_ACMRU_5603 = 8,
    SP_ACMRU_5604 = 9,
    SP_ACMRU_5647 = 10,
    SP_RUN_MRU = 11,
    SP_UNUSED_12 = 12,
    SP_EXCEL = 13,
    SP_POWERPOINT = 14,
    SP_UNUSED_15 = 15,
    SP_WORDPAD = 16,
    SP_PAINT = 17,
    SP_MEDIAPLAYER_FILES = 18,
    SP_MEDIAPLAYER_URLS = 19,
    SP_TYPED_URLS = 20,
    SP_INTELLIFORMS_1 = 21,
    SP_INTELLIFORMS_2 = 22,
    SP_LOCAL_APPDATA = 23,
    SP_APPDATA = 24,
    SP_COUNT = 25
};

class CScanPaths
{
public:
    const CString& operator[](int entry) const { return m_paths[entry]; }
    CString& operator[](int entry) { return m_paths[entry]; }
    // Why a folder entry is empty ("" for one that resolved, or that has no folder).
    const CString& GetUnresolvedReason(int entry) const { return m_reasons[entry]; }
    void SetUnresolvedReason(int entry, const CString& reason) { m_reasons[entry] = reason; }

private:
    CString m_paths[SP_COUNT];
    CString m_reasons[SP_COUNT];
};

// A special folder's path (UTF-8, from the wide call, so any user name is kept), or ""
// when the system cannot give it (with the reason in reason, when given).
CString GetShellFolderPath(HWND owner, int csidl, CString* reason = nullptr);
// The system's temp path without its trailing separator, or "" when it is not the
// folder named by the TEMP variable (compared case-insensitively; reason says so).
CString ResolveUserTempPath(CString* reason = nullptr);
// Fills every entry; owner is the window that owns the folder queries.
void ResolveScanPaths(CScanPaths& paths, HWND owner);
// What a folder entry is, in words ("the temporary folder").
const char* ScanPathName(int entry);
