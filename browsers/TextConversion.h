// UTF-8 texts from browser files, converted through UTF-16 to the ANSI code page.
#pragma once

#include "afx/String.h"

#include <string>

// The text in the current thread's ANSI code page (characters it lacks become its
// default character); empty when the text needs more than maxUnits UTF-16 units or
// is not valid input.
CString Utf8ToAnsi(const std::string& utf8, int maxUnits);
// An ANSI path in UTF-8, as SQLite takes file names.
std::string AnsiToUtf8(const CString& ansi);
