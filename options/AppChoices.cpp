#include "AppChoices.h"

#include "SettingsFile.h"
#include "afx/Handle.h"
#include "areas/PathText.h"

#include <windows.h>

namespace
{
const DWORD kMaxChoicesFile = 1024 * 1024;
}

CAppChoicesFile::CAppChoicesFile(const CString& appData)
    : m_folder(appData + "\\Quorvantis"), m_path(appData + "\\Quorvantis\\apps.cfg")
{
}

bool CAppChoicesFile::Save(const std::vector<CString>& names, CString& error) const
{
    CString text;
    for (const CString& name : names)
        text += name + "\r\n";
    return WriteWholeFile(m_folder, m_path, text, error);
}

std::vector<CString> CAppChoicesFile::Load() const
{
    std::vector<CString> names;
    CHandle file(CreateFileW(ToLongPath(m_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid())
        return names;
    std::string text(kMaxChoicesFile, '\0');
    DWORD length = 0;
    if (!ReadFile(file, &text[0], kMaxChoicesFile, &length, nullptr))
        return names;
    text.resize(length);
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        bool plain = !line.empty();
        for (char ch : line)
            plain = plain && static_cast<unsigned char>(ch) >= 0x20;
        if (plain)
            names.push_back(CString(line));
        start = end + 1;
    }
    return names;
}
