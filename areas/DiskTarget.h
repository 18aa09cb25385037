// The free space of one fixed drive, wiped by filling it with a temporary file.
#pragma once

#include "model/CleanTarget.h"

#include <windows.h>

class CDiskTarget : public CCleanTarget
{
public:
    // driveName: two characters, such as "C:".
    explicit CDiskTarget(const CString& driveName);

    const CString& GetTypeName() const override;
    // Fills the drive's free space with 0xAA in 8 MiB writes through a new file that
    // the system deletes when it is closed, flushed before it is closed, with
    // progress and cancel through the owner.
    int Clean() override;
    CString GetCleanNote() const override { return m_note; }

private:
    CString m_note;
};

// The wipe's own file in the root of a drive, deleted when it is closed.
class CWipeFile
{
public:
    CWipeFile() : m_handle(INVALID_HANDLE_VALUE) {}
    ~CWipeFile() { Close(); }
    CWipeFile(const CWipeFile&) = delete;
    CWipeFile& operator=(const CWipeFile&) = delete;

    // Creates "\tmpfile01010101" (or, when that name is taken, "\tmpfile01010101.N")
    // new in the root of driveName ("C:"), and checks by handle that it is a plain
    // file with one name in that root. False when no such file could be made.
    bool Create(const CString& driveName);
    // Sets the length and goes back to the start.
    bool Extend(ULONGLONG length);
    bool Write(const void* bytes, DWORD count);
    bool Flush();
    void Close();

private:
    HANDLE m_handle;
};

// One item per fixed drive, in the order the system lists them.
void ScanFixedDisks(CFoundItemList& list);

// Lets the wipe notice show again, as at program start (used by tests).
void ResetWipeNoticeOnce();

// Where the wipe learns a drive's free bytes available to the caller. Tests that must
// not fill a real disk give their own figure; nullptr restores the system's.
typedef bool (*FreeSpaceQuery)(const CString& driveName, ULONGLONG& freeBytes);
void SetFreeSpaceQuery(FreeSpaceQuery query);
