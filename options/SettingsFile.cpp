#include "SettingsFile.h"

#include "afx/File.h"
#include "afx/Handle.h"
#include "areas/EntryHandle.h"
#include "areas/FolderChain.h"
#include "areas/PathText.h"

#include <sstream>
#include <vector>
#include <windows.h>

namespace
{
// The settings file is small; a larger one is not one this program wrote.
const UINT kMaxFileSize = 65536;
// New names tried for the file a save writes first, each once.
const int kTemporaryNameTries = 16;

// A name of its own for the file a save writes first: the settings file's name, the
// process, a count and the clock, so that no two saves (of any copy) share one.
std::wstring TemporaryName(const std::wstring& fileName, int attempt)
{
    static LONG count = 0;
    wchar_t name[96];
    swprintf(name, sizeof(name) / sizeof(name[0]), L"%ls.%lx-%lx-%llx-%d.new", fileName.c_str(),
             static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<unsigned long>(InterlockedIncrement(&count)),
             static_cast<unsigned long long>(GetTickCount64()), attempt);
    return name;
}

// Takes the file's name for the open file itself, so that what is renamed is what was
// written, whatever the name came to hold meanwhile.
bool RenameOpenFile(HANDLE file, const std::wstring& target)
{
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + (target.size() + 1) * sizeof(wchar_t));
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    memcpy(rename->FileName, target.c_str(), (target.size() + 1) * sizeof(wchar_t));
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

// The new file a save writes, deleted with its handle unless it took the file's name.
class CNewSettingsFile
{
public:
    // Creates a file of a new name in folder (a resolved folder) and checks by handle that
    // it is a plain file with one name, in that folder.
    bool Create(const CString& folder, const std::wstring& fileName, CString& error)
    {
        const std::wstring longFolder = ToLongPath(folder);
        for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt)
        {
            const std::wstring name = TemporaryName(fileName, attempt);
            const std::wstring path = longFolder + L"\\" + name;
            m_file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
            if (!m_file.IsValid())
            {
                DWORD code = GetLastError();
                if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
                    continue; // never opened: another name is tried
                error = ErrorText(code);
                return false;
            }
            CString plainName;
            WideToUtf8(name.data(), name.size(), plainName);
            if (CheckPlainFile(m_file, folder + "\\" + plainName).IsEmpty())
                return true;
            Discard();
            error = "the settings folder did not hold the new file where it was made";
            return false;
        }
        error = "no new file name was free in the settings folder";
        return false;
    }
    HANDLE Get() const { return m_file; }
    void Keep() { m_keep = true; }
    void Discard()
    {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        if (m_file.IsValid())
            SetFileInformationByHandle(m_file, FileDispositionInfo, &disposition, sizeof(disposition));
        m_file.Close();
    }
    ~CNewSettingsFile()
    {
        if (!m_keep)
            Discard();
    }

private:
    CHandle m_file;
    bool m_keep = false;
};
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

bool WriteWholeFile(const CString& folderPath, const CString& path, const CString& text, CString& error,
                    const CString& keepAs)
{
    CreateDirectoryW(ToLongPath(folderPath).c_str(), nullptr); // usually there already
    const CString folder = ResolveFolder(folderPath);
    if (folder.IsEmpty())
    {
        error = "the settings folder " + folderPath + " could not be opened";
        return false;
    }
    // The file that is there is replaced (or kept under another name) only when it is a
    // plain file of one name in the settings folder: a link, or a name shared with a file
    // elsewhere, is left where it points and the save is refused.
    const CString fileName = LastComponent(path);
    const CString target = folder + "\\" + fileName;
    CEntryHandle old;
    bool exists = false;
    const CString refusal =
        old.OpenPlainFile(target, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, exists);
    if (!refusal.IsEmpty())
    {
        error = path + " " + refusal + "; it was left as it is";
        return false;
    }
    if (exists && (old.GetInfo().attributes & FILE_ATTRIBUTE_READONLY))
    {
        error = path + " is read-only; it was left as it is";
        return false;
    }

    CNewSettingsFile file;
    if (!file.Create(folder, Utf8ToWide(fileName, fileName.GetLength()), error))
        return false;
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.GetString(), static_cast<DWORD>(text.GetLength()), &written, nullptr) ||
        written != static_cast<DWORD>(text.GetLength()) || !FlushFileBuffers(file.Get()))
    {
        error = ErrorText(GetLastError());
        return false;
    }
    // Kept through the handle that was checked, so what moves is that very file.
    if (!keepAs.IsEmpty() && exists && !RenameOpenFile(old.Get(), ToLongPath(folder + "\\" + LastComponent(keepAs))))
    {
        error = "the old settings could not be kept as " + keepAs + ": " + ErrorText(GetLastError());
        return false;
    }
    // A file with an open handle cannot be replaced. Should something take the name from
    // here to the rename, the rename replaces that name, never what it leads to.
    old.Close();
    if (!RenameOpenFile(file.Get(), ToLongPath(target)))
    {
        error = ErrorText(GetLastError());
        return false;
    }
    file.Keep();
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
