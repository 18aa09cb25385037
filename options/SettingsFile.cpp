#include "SettingsFile.h"

#include "afx/File.h"

#include <direct.h>
#include <sstream>
#include <vector>
#include <windows.h>

namespace
{
// The settings file is small; a larger file is read up to this size only.
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
    for (long area : settings.areas)
        out << (area & 1) << ' ';
    out << (settings.showSplash & 1) << ' ' << (settings.shred & 1) << ' '
        << (settings.dontShowWipeNotice & 1) << ' ';
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
    for (long& area : settings.areas)
    {
        long value = 0;
        in >> value;
        area = value;
    }
    long* rest[] = {&settings.showSplash, &settings.shred, &settings.dontShowWipeNotice};
    for (long* setting : rest)
    {
        long value = 0;
        in >> value;
        *setting = value;
    }
}

bool CSettingsFile::Save(const CSettings& settings) const
{
    _mkdir(m_folder); // usually there already
    const CString text = Format(settings);
    const CString temporary = m_path + ".new";
    {
        CFile file;
        if (!file.Open(temporary, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
            return false;
        if (!file.Write(text.GetString(), static_cast<UINT>(text.GetLength())) || !file.Flush())
        {
            file.Close();
            DeleteFileA(temporary);
            return false;
        }
    }
    if (!MoveFileExA(temporary, m_path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

bool CSettingsFile::Load(CSettings& settings) const
{
    CFile file;
    if (!file.Open(m_path, CFile::modeRead | CFile::shareDenyWrite))
        return false;
    std::vector<char> buffer(kMaxFileSize);
    UINT length = file.Read(buffer.data(), kMaxFileSize);
    Parse(CString(buffer.data(), static_cast<int>(length)), settings);
    return true;
}
