#include "RuleVariables.h"

#include "afx/Com.h"

#include <windows.h>
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace
{
std::string Upper(const CString& name)
{
    std::string key = name.str();
    for (char& ch : key)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    return key;
}

CString KnownFolder(REFKNOWNFOLDERID id)
{
    CCoTaskMem<wchar_t> path;
    CString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.Receive())) && path.Get())
        WideToUtf8(path.Get(), wcslen(path.Get()), folder);
    return folder;
}

CString Environment(const CString& name)
{
    const std::wstring wide = Utf8ToWide(name, name.GetLength());
    DWORD length = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (length == 0)
        return CString();
    std::wstring value(length, L'\0');
    length = GetEnvironmentVariableW(wide.c_str(), &value[0], length);
    CString text;
    WideToUtf8(value.data(), length, text);
    return text;
}

// A folder without the separators it ends with, as variables are followed by "\".
CString Plain(const CString& folder)
{
    int length = folder.GetLength();
    while (length > 3 && (folder[length - 1] == '\\' || folder[length - 1] == '/'))
        --length;
    return folder.Left(length);
}

std::vector<CString> Folders(std::initializer_list<CString> folders)
{
    std::vector<CString> values;
    for (const CString& folder : folders)
    {
        const CString plain = Plain(folder);
        if (plain.IsEmpty())
            continue;
        bool seen = false;
        for (const CString& value : values)
            seen = seen || value.CompareNoCase(plain) == 0;
        if (!seen)
            values.push_back(plain);
    }
    return values;
}
} // namespace

CRuleVariables CRuleVariables::FromSystem()
{
    CRuleVariables variables;
    variables.m_environment = true;
    const CString windows = KnownFolder(FOLDERID_Windows);
    CString systemDrive = Environment("SystemDrive");
    if (systemDrive.IsEmpty() && windows.GetLength() >= 2)
        systemDrive = windows.Left(2);
    CString homeDrive = Environment("HOMEDRIVE");
    wchar_t temp[MAX_PATH + 1];
    const DWORD tempLength = GetTempPathW(MAX_PATH + 1, temp);
    CString tempFolder;
    if (tempLength > 0 && tempLength <= MAX_PATH)
        WideToUtf8(temp, tempLength, tempFolder);
    wchar_t user[257];
    DWORD userLength = 257;
    CString userName;
    if (GetUserNameW(user, &userLength) && userLength > 0)
        WideToUtf8(user, userLength - 1, userName);

    const CString programData = KnownFolder(FOLDERID_ProgramData);
    const struct
    {
        const char* name;
        std::vector<CString> values;
    } table[] = {
        {"LocalAppData", Folders({KnownFolder(FOLDERID_LocalAppData)})},
        {"AppData", Folders({KnownFolder(FOLDERID_RoamingAppData)})},
        {"ProgramFiles", Folders({KnownFolder(FOLDERID_ProgramFilesX64), KnownFolder(FOLDERID_ProgramFilesX86)})},
        {"ProgramData", Folders({programData})},
        {"CommonAppData", Folders({programData})},
        {"UserProfile", Folders({KnownFolder(FOLDERID_Profile)})},
        {"WinDir", Folders({windows})},
        {"SystemRoot", Folders({windows})},
        {"SystemDrive", Folders({systemDrive})},
        {"HomeDrive", Folders({homeDrive.IsEmpty() ? systemDrive : homeDrive})},
        {"CommonProgramFiles",
         Folders({KnownFolder(FOLDERID_ProgramFilesCommonX64), KnownFolder(FOLDERID_ProgramFilesCommonX86)})},
        {"Public", Folders({KnownFolder(FOLDERID_Public)})},
        {"Temp", Folders({tempFolder})},
        {"LocalLowAppData", Folders({KnownFolder(FOLDERID_LocalAppDataLow)})},
        {"UserName", userName.IsEmpty() ? std::vector<CString>() : std::vector<CString>{userName}},
        {"Documents", Folders({KnownFolder(FOLDERID_Documents)})},
        {"Music", Folders({KnownFolder(FOLDERID_Music)})},
        {"Pictures", Folders({KnownFolder(FOLDERID_Pictures)})},
        {"Video", Folders({KnownFolder(FOLDERID_Videos)})},
    };
    for (const auto& row : table)
        variables.m_values[Upper(row.name)] = row.values;
    return variables;
}

void CRuleVariables::Set(const CString& name, const std::vector<CString>& values) { m_values[Upper(name)] = values; }

std::vector<CString> CRuleVariables::Get(const CString& name) const
{
    auto found = m_values.find(Upper(name));
    if (found != m_values.end())
        return found->second;
    if (!m_environment)
        return {};
    const CString value = Environment(name);
    return value.IsEmpty() ? std::vector<CString>() : std::vector<CString>{Plain(value)};
}

bool CRuleVariables::Expand(const CString& text, std::vector<CString>& out) const
{
    out.assign(1, CString());
    int at = 0;
    const int length = text.GetLength();
    while (at < length)
    {
        const int open = text.Find('%', at);
        const int close = open < 0 ? -1 : text.Find('%', open + 1);
        if (close < 0)
        {
            for (CString& value : out)
                value += text.Mid(at);
            break;
        }
        const CString literal = text.Mid(at, open - at);
        const std::vector<CString> values = Get(text.Mid(open + 1, close - open - 1));
        if (values.empty())
        {
            out.clear();
            return false;
        }
        std::vector<CString> next;
        for (const CString& head : out)
            for (const CString& value : values)
                next.push_back(head + literal + value);
        out.swap(next);
        at = close + 1;
    }
    return true;
}
