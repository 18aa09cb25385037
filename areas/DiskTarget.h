// The free space of one fixed drive, wiped by filling it with a temporary file.
#pragma once

#include "engine/CleanTarget.h"

#include <windows.h>

class CDiskTarget : public CCleanTarget
{
public:
    // driveName: two characters, such as "C:".
    explicit CDiskTarget(const CString& driveName);

    const CString& GetTypeName() const override;
    // Fills the drive's free space with 0xAA in 8 MiB writes through a file that the
    // system deletes when it is closed, with progress and cancel through the owner.
    int Clean() override;
};

// One item per fixed drive, in the order the system lists them.
void ScanFixedDisks(CFoundItemList& list);

// Lets the wipe notice show again, as at program start (used by tests).
void ResetWipeNoticeOnce();

// Where the wipe learns a drive's free bytes available to the caller. Tests that must
// not fill a real disk give their own figure; nullptr restores the system's.
typedef bool (*FreeSpaceQuery)(const CString& driveName, ULONGLONG& freeBytes);
void SetFreeSpaceQuery(FreeSpaceQuery query);
