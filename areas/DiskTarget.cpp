#include "DiskTarget.h"

#include "EntryHandle.h"
#include "FolderWalk.h"
#include "PathText.h"
#include "model/CleanHost.h"
#include "model/TypeNames.h"

#include <new>
#include <string>
#include <vector>

namespace
{
const DWORD kChunkSize = 8388608;
const unsigned char kFillByte = 0xAA;
const wchar_t kWipeFileName[] = L"tmpfile01010101";
// Other names tried when the first is taken: "tmpfile01010101.1" and on.
const int kWipeNameTries = 100;

// The notice is shown at most once per program run.
int g_showWipeNoticeOnce = 1;

bool SystemFreeSpace(const CString& driveName, ULONGLONG& freeBytes)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(driveName + "\\", &available, nullptr, nullptr))
        return false;
    freeBytes = available.QuadPart;
    return true;
}

FreeSpaceQuery g_freeSpaceQuery = SystemFreeSpace;
} // namespace

bool CWipeFile::Create(const CString& driveName)
{
    Close();
    const std::wstring root = ToLongPath(driveName + "\\");
    for (int attempt = 0; attempt < kWipeNameTries; ++attempt)
    {
        std::wstring name = kWipeFileName;
        if (attempt > 0)
            name += L"." + std::to_wstring(attempt);
        const std::wstring path = root + name;
        m_handle = CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                               nullptr);
        if (m_handle == INVALID_HANDLE_VALUE)
        {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        // The new file must be a plain file with one name, in the drive's root.
        CString plainName;
        WideToUtf8(name.data(), name.size(), plainName);
        if (CheckPlainFile(m_handle, driveName + "\\" + plainName).IsEmpty())
            return true;
        Close(); // a new file, but not where it was asked for: gone with its handle
        return false;
    }
    return false;
}

bool CWipeFile::Extend(ULONGLONG length)
{
    FILE_END_OF_FILE_INFO end;
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    LARGE_INTEGER start = {};
    return SetFileInformationByHandle(m_handle, FileEndOfFileInfo, &end, sizeof(end)) &&
           SetFilePointerEx(m_handle, start, nullptr, FILE_BEGIN);
}

bool CWipeFile::Write(const void* bytes, DWORD count)
{
    DWORD written = 0;
    return WriteFile(m_handle, bytes, count, &written, nullptr) && written == count;
}

bool CWipeFile::Flush() { return FlushFileBuffers(m_handle) != FALSE; }

void CWipeFile::Close()
{
    if (m_handle != INVALID_HANDLE_VALUE)
    {
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }
}

void ResetWipeNoticeOnce() { g_showWipeNoticeOnce = 1; }

void SetFreeSpaceQuery(FreeSpaceQuery query) { g_freeSpaceQuery = query ? query : SystemFreeSpace; }

CDiskTarget::CDiskTarget(const CString& driveName) : CCleanTarget(driveName) {}

const CString& CDiskTarget::GetTypeName() const { return GetTypeText(TN_LOGICAL_DISK); }

namespace
{
// Writes remaining bytes of the fill byte into the file, chunk by chunk, with progress
// and cancel through the host, and flushes them; false when a write or the flush failed.
bool FillFile(CWipeFile& file, ULONGLONG remaining, ICleanHost& host)
{
    std::vector<unsigned char> buffer;
    try
    {
        buffer.assign(kChunkSize, kFillByte);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    bool failed = false;
    host.BeginProgress(static_cast<int>(remaining / kChunkSize));
    while (remaining > 0 && !host.IsCancelled())
    {
        DWORD count = remaining < kChunkSize ? static_cast<DWORD>(remaining) : kChunkSize;
        if (!file.Write(buffer.data(), count))
        {
            failed = true;
            break;
        }
        host.StepProgress();
        remaining -= count;
    }
    // Unflushed pages may be dropped with the file: the wipe counts only once its
    // bytes have reached the disk.
    if (!failed && !host.IsCancelled() && !file.Flush())
        failed = true;
    file.Close();
    host.EndProgress();
    return !failed;
}
} // namespace

int CDiskTarget::Clean()
{
    if (!m_pOwner)
        return 0;
    ICleanHost& host = *m_pOwner;
    if (host.GetDontShowWipeNotice() == 0 && g_showWipeNoticeOnce == 1)
    {
        if (host.ShowWipeNotice() == 1)
            host.SetDontShowWipeNotice(1);
        g_showWipeNoticeOnce = 0;
    }
    if (host.IsCancelled())
        return 0;
    m_attempted = 1;

    ULONGLONG remaining = 0;
    m_note.Empty();
    if (!g_freeSpaceQuery(GetDisplayText(), remaining))
    {
        m_note = "its free space could not be had: " + ErrorText(GetLastError());
        return 0;
    }
    if (remaining == 0)
    {
        // Nothing is left unwiped where nothing is free.
        m_note = "no free space to wipe";
        m_cleaned = 1;
        return m_cleaned;
    }

    // The system deletes the wipe file when its handle closes, even if the program is
    // killed mid-wipe, so the disk is never left full. It is always a new file of
    // the program's own: a name already taken (by a file, a link, a hard link to
    // somebody's document) is never opened, and another name is tried instead.
    CWipeFile file;
    if (!file.Create(GetDisplayText()))
    {
        m_note = "the wipe's file could not be made: " + ErrorText(GetLastError());
        return 0;
    }
    // Allocate the whole free space up front; a file system that cannot hold one file
    // that large (or a disk filled meanwhile) ends the wipe with the item uncleaned.
    if (!file.Extend(remaining))
    {
        m_note = ErrorText(GetLastError());
        return 0;
    }
    const bool filled = FillFile(file, remaining, host);
    if (!filled)
        m_note = ErrorText(GetLastError());
    m_cleaned = filled && !host.IsCancelled() ? 1 : 0;
    return m_cleaned;
}

void ScanFixedDisks(CFoundItemList& list)
{
    for (const CString& drive : GetFixedDriveNames())
        list.push_back(std::make_shared<CDiskTarget>(drive));
}
