#include "WholeFile.h"

#include "EntryHandle.h"
#include "FolderChain.h"
#include "PathText.h"
#include "afx/Handle.h"

#include <vector>

namespace
{
// New names tried for the file a save writes first, each once.
const int kTemporaryNameTries = 16;

// A name of its own for the file a save writes first: the file's name, the
// process, a count and the clock, so that no two saves (of any copy of the program) share one.
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
class CNewWholeFile
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
            error = "the folder did not hold the new file where it was made";
            return false;
        }
        error = "no new file name was free in the folder";
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
    ~CNewWholeFile()
    {
        if (!m_keep)
            Discard();
    }

private:
    CHandle m_file;
    bool m_keep = false;
};
} // namespace

bool WriteWholeFile(const CString& folderPath, const CString& path, const CString& text, CString& error,
                    const CString& keepAs)
{
    CreateDirectoryW(ToLongPath(folderPath).c_str(), nullptr); // usually there already
    const CString folder = ResolveFolder(folderPath);
    if (folder.IsEmpty())
    {
        error = "the folder " + folderPath + " could not be opened";
        return false;
    }
    // The file that is there is replaced (or kept under another name) only when it is a
    // plain file of one name in the folder: a link, or a name shared with a file
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

    CNewWholeFile file;
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
        error = "the old file could not be kept as " + keepAs + ": " + ErrorText(GetLastError());
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

