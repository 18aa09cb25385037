// Which entries of the user's rule files are checked on the "More applications" tab: one
// entry name per line (UTF-8) in "apps.cfg" beside the settings file, whose own format
// stays as it is. Written whole or not at all.
#pragma once

#include "afx/String.h"

#include <vector>

class CAppChoicesFile
{
public:
    explicit CAppChoicesFile(const CString& appData);

    const CString& GetPath() const { return m_path; }
    // False, with the reason in error, when the file could not be written; the old one is
    // then as it was.
    bool Save(const std::vector<CString>& names, CString& error) const;
    // The names read; none when there is no file or it cannot be read. The file is
    // untrusted: lines with control characters, and anything past 1 MiB, are not taken.
    std::vector<CString> Load() const;

private:
    CString m_folder;
    CString m_path;
};
