#include "SettingsFile.h"

#include "afx/File.h"
#include "afx/Handle.h"
#include "areas/EntryHandle.h"
#include "areas/FolderChain.h"
#include "areas/PathText.h"
#include "areas/WholeFile.h"

#include <sstream>
#include <vector>
#include <windows.h>

namespace
{
// The settings file is small; a larger one is not one this program wrote.
const UINT kMaxFileSize = 65536;
} // namespace

CSettings::CSettings()
{
    for (long& area : areas)
        area = 0;
    int count = 0;
    const CAreaInfo* table = GetAreaTable(count);
    for (int i = 0; i < count; ++i)
        areas[table[i].areaId - AREA_FIRST] = table[i].checkedAtStart ? 1 : 0;
}

CSettingsFile::CSettingsFile(const CString& appData)
    : m_folder(appData + "\\Quorvantis"), m_path(appData + "\\Quorvantis\\settings.cfg")
{
}

CString CSettingsFile::Format(const CSettings& settings)
{
    std::ostringstream out;
    const long mode = settings.autoRunMode == 1 ? 1 : settings.autoRunMode == 2 ? 2 : 0;
    out << mode << ' ';
    const int firstDesign = AREA_FIRST_DESIGN_LAST - AREA_FIRST + 1;
    for (int i = 0; i < firstDesign; ++i)
        out << (settings.areas[i] & 1) << ' ';
    out << (settings.showSplash & 1) << ' ' << (settings.shred & 1) << ' '
        << (settings.dontShowWipeNotice & 1) << ' ';
    // The areas added since follow, so that an older copy reads the file as it was.
    for (int i = firstDesign; i < AREA_COUNT; ++i)
        out << (settings.areas[i] & 1) << ' ';
    return CString(out.str());
}

void CSettingsFile::Parse(const CString& text, CSettings& settings)
{
    std::istringstream in(text.str());
    long mode = -1;
    in >> mode;
    if (mode != -1)
        settings.autoRunMode = mode;
    // Each read starts from its preset: a read that fails leaves it, and so does
    // every read after it, the stream staying failed.
    const int firstDesign = AREA_FIRST_DESIGN_LAST - AREA_FIRST + 1;
    for (int i = 0; i < firstDesign; ++i)
    {
        long value = 0;
        in >> value;
        settings.areas[i] = value;
    }
    long* rest[] = {&settings.showSplash, &settings.shred, &settings.dontShowWipeNotice};
    for (long* setting : rest)
    {
        long value = 0;
        in >> value;
        *setting = value;
    }
    // The areas added since: a file written before them ends here, and they keep the
    // choice of a user who has made none; after a number that could not be read, 0.
    const CSettings defaults;
    bool failed = in.fail();
    for (int i = firstDesign; i < AREA_COUNT; ++i)
    {
        long value = 0;
        if (!failed && !(in >> value))
        {
            failed = !in.eof();
            value = failed ? 0 : defaults.areas[i];
        }
        settings.areas[i] = value;
    }
}

bool CSettingsFile::IsUnderstood(const CString& text)
{
    const std::string& s = text.str();
    size_t i = 0;
    while (i < s.size())
    {
        const char ch = s[i];
        if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f')
        {
            ++i;
            continue;
        }
        if (ch == '+' || ch == '-')
            ++i;
        const size_t digits = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        if (i == digits || i - digits > 9)
            return false; // a sign alone, a word, or a number no setting takes
        if (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r' && s[i] != '\n' && s[i] != '\v' &&
            s[i] != '\f')
            return false;
    }
    return true;
}

bool CSettingsFile::Save(const CSettings& settings, CString& error, bool keepOld) const
{
    return WriteWholeFile(m_folder, m_path, Format(settings), error, keepOld ? GetKeptPath() : CString());
}

SettingsLoad CSettingsFile::Load(CSettings& settings, CString* error) const
{
    CHandle file(CreateFileW(ToLongPath(m_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid())
    {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return SETTINGS_MISSING;
        if (error)
            *error = ErrorText(code);
        return SETTINGS_UNREADABLE;
    }
    std::vector<char> buffer(kMaxFileSize + 1);
    DWORD length = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &length, nullptr))
    {
        if (error)
            *error = ErrorText(GetLastError());
        return SETTINGS_UNREADABLE;
    }
    const CString text(buffer.data(), static_cast<int>(length));
    if (length > kMaxFileSize || !IsUnderstood(text))
    {
        if (error)
            *error = "it is not a settings file of this program";
        return SETTINGS_NOT_UNDERSTOOD;
    }
    Parse(text, settings);
    return SETTINGS_READ;
}
