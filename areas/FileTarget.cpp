#include "FileTarget.h"

#include "EntryHandle.h"
#include "FolderChain.h"
#include "PathText.h"
#include "afx/Handle.h"
#include "model/CleanHost.h"
#include "model/TypeNames.h"

namespace
{
const DWORD kShredBufferSize = 4096;
const ULONGLONG kShredLimit = 1048576;

// Zeros over the first MiB of the open file, flushed. Only for a file with one name,
// never for a read-only one.
void ShredOpenFile(CEntryHandle& file)
{
    const CEntryHandle::CInfo& info = file.GetInfo();
    if ((info.attributes & FILE_ATTRIBUTE_READONLY) || !file.ReadSizeAndLinks() || info.links > 1)
        return;
    ULONGLONG remaining = info.size;
    if (remaining > kShredLimit)
        remaining = kShredLimit;
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN))
        return;
    static const char zeros[kShredBufferSize] = {};
    while (remaining > 0)
    {
        DWORD count = remaining < kShredBufferSize ? static_cast<DWORD>(remaining) : kShredBufferSize;
        DWORD written = 0;
        if (!WriteFile(file.Get(), zeros, count, &written, nullptr) || written != count)
            break; // the deletion is still attempted
        remaining -= count;
    }
    // Without the flush the zeros may never reach the disk before the name is deleted.
    FlushFileBuffers(file.Get());
}

bool IsIndexDat(const CString& path) { return LastComponent(path).CompareNoCase("index.dat") == 0; }
} // namespace

bool IsFolderKind(int fileKind)
{
    switch (fileKind)
    {
    case FK_TEMP_FOLDER:
    case FK_SCANDISK_FOLDER:
    case FK_IE_CACHE_FOLDER:
    case FK_BROWSER_CACHE_FOLDER:
    case FK_HISTORY_FOLDER:
    case FK_SITE_DATA_FOLDER:
    case FK_SESSION_FOLDER:
        return true;
    default:
        return false;
    }
}

namespace
{
// The common case of a delete without shredding: the entry's folder is held (each folder
// on the way opened as itself, never through a link), so the entry opened inside it
// without following a link is the listed name itself, and is removed through that one
// handle: a link is removed as the link, one name of a file with several as that name.
// Where the system opens a link's target anyway, the handle's place is checked first.
// True when this settled the entry (result set); false leaves it to the full check
// (a read-only file, a folder not yet empty, an entry of another kind, one the system
// would not open so, or one that leads elsewhere, which the full check names).
bool RemoveInHeldFolder(const CString& path, bool folder, RemoveResult& result)
{
    const std::wstring wide = ToLongPath(WithoutTrailingSeparators(path));
    size_t nameStart = 0;
    DWORD chainError = ERROR_SUCCESS;
    HANDLE parent = CFolderChain::ForThisThread().ParentOf(wide, nameStart, chainError);
    if (!parent)
    {
        // A folder on the way that is gone takes its content with it.
        if (chainError != ERROR_FILE_NOT_FOUND && chainError != ERROR_PATH_NOT_FOUND)
            return false;
        result = REMOVE_GONE;
        return true;
    }
    HANDLE opened = INVALID_HANDLE_VALUE;
    const DWORD error = OpenRelative(parent, wide.data() + nameStart, wide.size() - nameStart,
                                     DELETE | FILE_READ_ATTRIBUTES, kShareAll, folder, true, opened);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    {
        result = REMOVE_GONE;
        return true;
    }
    if (error != ERROR_SUCCESS)
        return false;
    CHandle entry(opened);
    DWORD placeError = 0;
    if (!OpensLinksAsThemselves() && WhereIsHandle(entry, WithoutTrailingSeparators(path), wide, placeError) != PLACE_AT)
        return false;
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof(disposition)))
        return false;
    result = REMOVE_DONE;
    return true;
}
} // namespace

RemoveResult RemoveListedEntry(const CString& path, bool folder, bool shred, DWORD* error)
{
    DWORD ignored = 0;
    DWORD& code = error ? *error : ignored;
    code = 0;
    RemoveResult quick = REMOVE_REFUSED;
    if (!shred && RemoveInHeldFolder(path, folder, quick))
        return quick;
    CEntryHandle entry;
    const DWORD access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
    EntryState state = ENTRY_BUSY;
    if (shred && !folder)
    {
        // Exclusive, so nobody writes between the zeros and the deletion.
        state = entry.Open(path, false, access | GENERIC_WRITE, 0);
        if (state == ENTRY_LISTED)
            ShredOpenFile(entry);
        else if (state == ENTRY_BUSY && entry.GetError() == ERROR_ACCESS_DENIED)
            state = entry.Open(path, false, access, 0); // read-only: deleted, never overwritten
    }
    else
        state = entry.Open(WithoutTrailingSeparators(path), folder, access, kShareAll);

    switch (state)
    {
    case ENTRY_GONE:
        return REMOVE_GONE;
    case ENTRY_ELSEWHERE:
        return REMOVE_ELSEWHERE;
    case ENTRY_UNCHECKED:
        code = entry.GetError();
        return REMOVE_UNCHECKED;
    case ENTRY_BUSY:
        code = entry.GetError();
        return REMOVE_REFUSED;
    case ENTRY_LISTED:
        break;
    }
    // A folder that is not empty refuses the deletion here.
    if (entry.MarkForDeletion())
        return REMOVE_DONE;
    code = entry.GetError();
    return REMOVE_REFUSED;
}

CFileTarget::CFileTarget(const CString& path, int fileKind, bool addressable)
    : CCleanTarget(path), m_fileKind(static_cast<unsigned char>(fileKind)), m_addressable(addressable),
      m_result(REMOVE_REFUSED), m_error(0)
{
}

const CString& CFileTarget::GetTypeName() const { return GetTypeText(m_fileKind); }

int CFileTarget::Clean()
{
    m_attempted = 1;
    m_cleaned = 0;
    m_result = REMOVE_REFUSED;
    m_error = 0;
    if (!m_addressable)
        return m_cleaned;
    const bool folder = IsFolderKind(m_fileKind);
    // A folder is never emptied here: the clean run removes its content before it. A
    // file is shredded first when the owner asks for it.
    const bool shred = !folder && m_pOwner && m_pOwner->IsShredOn();
    const CString path = GetDisplayText();
    DWORD error = 0;
    RemoveResult result = RemoveListedEntry(path, folder, shred, &error);
    // One the shred could not open for writing is still deleted.
    if (shred && result == REMOVE_REFUSED)
        result = RemoveListedEntry(path, false, false, &error);
    m_result = static_cast<unsigned char>(result);
    m_error = error;
    m_cleaned = result == REMOVE_DONE || result == REMOVE_GONE ? 1 : 0;
    // Internet Explorer's index files stay locked while the system runs; they count
    // as cleaned. Only a file of that very name, and only when it is locked.
    if (!m_cleaned && !folder && result == REMOVE_REFUSED && IsIndexDat(path))
        m_cleaned = 1;
    return m_cleaned;
}

CString CFileTarget::GetCleanNote() const
{
    if (!m_attempted || m_cleaned)
        return CString();
    if (!m_addressable)
        return "its name has no exact form the program can give the file system; left alone";
    if (m_result == REMOVE_ELSEWHERE)
        return "its name now leads elsewhere (a link, or a folder put in its place); left alone";
    if (m_result == REMOVE_UNCHECKED)
        return "the system could not say where its name leads (" + ErrorText(m_error) +
               "), as for a path longer than it takes; left alone";
    return m_error ? ErrorText(m_error) : CString();
}

int DeleteFileForced(const char* path)
{
    RemoveResult result = RemoveListedEntry(path, false, false);
    if (result == REMOVE_DONE || result == REMOVE_GONE)
        return 1;
    // Internet Explorer's index files stay locked while the system runs; they count
    // as cleaned. Only a file of that very name, and only when it is locked.
    return result == REMOVE_REFUSED && IsIndexDat(path) ? 1 : 0;
}

void ShredFile(const char* path)
{
    CEntryHandle file;
    if (file.Open(path, false, GENERIC_WRITE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, 0) == ENTRY_LISTED)
        ShredOpenFile(file);
}
