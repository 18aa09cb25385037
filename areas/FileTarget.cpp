#include "FileTarget.h"

#include "afx/File.h"
#include "engine/CleanHost.h"
#include "engine/TypeNames.h"

namespace
{
const UINT kShredBufferSize = 4096;
const ULONGLONG kShredLimit = 1048576;
} // namespace

bool IsFolderKind(int fileKind)
{
    return fileKind == FK_TEMP_FOLDER || fileKind == FK_SCANDISK_FOLDER || fileKind == FK_IE_CACHE_FOLDER;
}

CFileTarget::CFileTarget(const CString& path, int fileKind) : CCleanTarget(path), m_fileKind(fileKind) {}

const CString& CFileTarget::GetTypeName() const { return GetTypeText(TN_FILE_FIRST + m_fileKind); }

int CFileTarget::Clean()
{
    m_attempted = 1;
    if (IsFolderKind(m_fileKind))
    {
        // Never emptied here: the clean run removes a folder's content before the folder.
        m_cleaned = RemoveDirectoryA(m_displayText) ? 1 : 0;
        return m_cleaned;
    }
    if (m_pOwner && m_pOwner->IsShredOn())
        ShredFile(m_displayText);
    m_cleaned = DeleteFileForced(m_displayText);
    return m_cleaned;
}

int DeleteFileForced(const char* path)
{
    if (DeleteFileA(path))
        return 1;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    BOOL deleted = DeleteFileA(path);
    // Internet Explorer's index files stay locked while the system runs; they count as cleaned.
    if (strstr(path, "index.dat"))
        return 1;
    return deleted ? 1 : 0;
}

void ShredFile(const char* path)
{
    CFile file;
    if (!file.Open(path, CFile::modeWrite | CFile::shareExclusive | CFile::osRandomAccess,
                   FILE_FLAG_OPEN_REPARSE_POINT))
        return;

    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.GetHandle(), &info))
        return;
    // A read-only file is never overwritten, even where the open for writing succeeds
    // (an administrator's handle on some systems); a link or a file with other
    // names would carry the zeros to content that was never listed.
    const DWORD skip = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((info.dwFileAttributes & skip) || info.nNumberOfLinks > 1)
        return;

    static const char zeros[kShredBufferSize] = {};
    ULONGLONG remaining = 0;
    if (!file.GetLength(remaining) || !file.SeekToBegin())
        return;
    if (remaining > kShredLimit)
        remaining = kShredLimit;
    while (remaining > 0)
    {
        UINT count = remaining < kShredBufferSize ? static_cast<UINT>(remaining) : kShredBufferSize;
        if (!file.Write(zeros, count))
            break; // the deletion is still attempted by the caller
        remaining -= count;
    }
    // Without the flush the zeros may never reach the disk before the name is deleted.
    file.Flush();
}
