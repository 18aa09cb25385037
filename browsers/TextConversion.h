// UTF-8 texts from browser files, converted through UTF-16 to the ANSI code page.
#pragma once

#include "afx/String.h"

#include <string>

// The text in the process code page (UTF-8 where the program's manifest is honoured;
// elsewhere characters it lacks become its default character); empty when the text
// needs more than maxUnits UTF-16 units or is not valid input.
CString Utf8ToAnsi(const std::string& utf8, int maxUnits);
