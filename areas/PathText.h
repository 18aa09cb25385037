// File names as the program holds them (UTF-8, the process code page) and as the file
// system takes them (UTF-16, in the literal "\\?\" form that nothing normalises).
#pragma once

#include "afx/String.h"

#include <string>
#include <windows.h>

// The literal form of an absolute path: "C:\a" gives "\\?\C:\a", "\\srv\s\a" gives
// "\\?\UNC\srv\s\a"; a path already in that form, or a relative one, is kept.
std::wstring ToLongPath(const CString& path);
// The plain form of a path the system gave in the literal form ("\\?\C:\a" gives "C:\a").
CString FromLongPath(const std::wstring& path);

// The attributes of a path, asked in the literal form; INVALID_FILE_ATTRIBUTES (with
// the error in GetLastError) when there is nothing there or it cannot be asked.
DWORD GetPathAttributes(const CString& path);
// Whether a file (not a folder), or a folder, is at path.
bool IsFilePath(const CString& path);
bool IsFolderPath(const CString& path);

// A name from a directory listing that is one path component: not "." or "..", and
// without "\", "/" or ":". Anything else would be read as a path by the file system.
bool IsPlainName(const wchar_t* name);
// The last component of a path ("" for a path ending with a separator).
CString LastComponent(const CString& path);
// The path without the separators it ends with ("C:\a\" gives "C:\a").
CString WithoutTrailingSeparators(const CString& path);

// The volume-relative part of an absolute plain path ("C:\a\b" gives "\a\b",
// "\\srv\s\a" gives "\srv\s\a") and its root ("C:\", "\\srv\s\"); false for others.
bool SplitVolumePath(const CString& path, CString& root, CString& rest);
