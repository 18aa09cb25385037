// Fixtures for tests that run under Wine: folders and files inside the test prefix.
#pragma once

#include "afx/String.h"

#include <string>

namespace testutil
{
// A new empty folder below the prefix's temp folder, without a trailing backslash.
CString MakeTestRoot(const char* name);
bool MakeDir(const CString& path);
bool WriteBytes(const CString& path, const std::string& bytes);
bool ReadBytes(const CString& path, std::string& bytes);
bool Exists(const CString& path);
// Removes a folder and everything in it (test clean-up only).
void RemoveTree(const CString& path);
} // namespace testutil
