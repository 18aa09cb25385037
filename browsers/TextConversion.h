// UTF-8 texts from browser files, converted through UTF-16 to the ANSI code page.
#pragma once

#include "afx/String.h"

#include <cstddef>
#include <string>

// The text in the process code page (UTF-8 where the program's manifest is honoured,
// where valid text is kept as it is; elsewhere characters it lacks become its default
// character); empty when the text needs more than maxUnits UTF-16 units or is not valid
// input.
CString Utf8ToAnsi(const char* utf8, size_t bytes, int maxUnits);
inline CString Utf8ToAnsi(const std::string& utf8, int maxUnits) { return Utf8ToAnsi(utf8.data(), utf8.size(), maxUnits); }
