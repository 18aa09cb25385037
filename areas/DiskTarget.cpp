#include "DiskTarget.h"

#include "FolderWalk.h"
#include "afx/File.h"
#include "engine/CleanHost.h"
#include "engine/TypeNames.h"

#include <new>
#include <vector>

namespace
{
const UINT kChunkSize = 8388608;
const unsigned char kFillByte = 0xAA;
const char kWipeFileName[] = "\\tmpfile01010101";

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

void ResetWipeNoticeOnce() { g_showWipeNoticeOnce = 1; }

void SetFreeSpaceQuery(FreeSpaceQuery query) { g_freeSpaceQuery = query ? query : SystemFreeSpace; }

CDiskTarget::CDiskTarget(const CString& driveName) : CCleanTarget(driveName) {}

const CString& CDiskTarget::GetTypeName() const { return GetTypeText(TN_LOGICAL_DISK); }

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
    if (!g_freeSpaceQuery(m_displayText, remaining))
        return 0;

    // The system deletes the wipe file when its handle closes, even if the program is
    // killed mid-wipe, so the disk is never left full.
    CString path = m_displayText + kWipeFileName;
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, FILE_FLAG_DELETE_ON_CLOSE))
        return 0;

    std::vector<unsigned char> buffer;
    try
    {
        buffer.assign(kChunkSize, kFillByte);
    }
    catch (const std::bad_alloc&)
    {
        return 0; // closing the file deletes it
    }

    // Allocate the whole free space up front; a file system that cannot hold one file
    // that large (or a disk filled meanwhile) ends the wipe with the item uncleaned.
    if (!file.SetLength(remaining) || !file.SeekToBegin())
        return 0;

    bool failed = false;
    host.BeginProgress(static_cast<int>(remaining / kChunkSize));
    while (remaining > 0 && !host.IsCancelled())
    {
        UINT count = remaining < kChunkSize ? static_cast<UINT>(remaining) : kChunkSize;
        if (!file.Write(buffer.data(), count))
        {
            failed = true;
            break;
        }
        host.StepProgress();
        remaining -= count;
    }
    std::vector<unsigned char>().swap(buffer);
    file.Close();
    DeleteFileA(path); // normally gone already with its handle
    host.EndProgress();

    m_cleaned = (!failed && !host.IsCancelled()) ? 1 : 0;
    return m_cleaned;
}

void ScanFixedDisks(CFoundItemList& list)
{
    for (const CString& drive : GetFixedDriveNames())
        list.push_back(CCleanTargetPtr(new CDiskTarget(drive)));
}
