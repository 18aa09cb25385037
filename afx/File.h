// CFile: a Win32 file handle with the MFC open modes the program uses.
// Every failure is reported through the return value; nothing throws.
#pragma once

#include "String.h"

#include <windows.h>

// The full path of the running program's file (UTF-8), or "" when the system cannot give
// it; exact (when given) says whether the name had an exact UTF-8 form.
CString GetRunningProgramPath(bool* exact = nullptr);

class CFile
{
public:
    enum OpenFlags : UINT
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoTruncate = 0x1000,
        modeCreate = 0x2000,
        osRandomAccess = 0x20000,
        osSequentialScan = 0x40000,
    };
    enum SeekPosition
    {
        begin = FILE_BEGIN,
        current = FILE_CURRENT,
        end = FILE_END
    };

    CFile() : m_hFile(INVALID_HANDLE_VALUE) {}
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens with the MFC mode flags; extraFlags are further FILE_FLAG_* values
    // (for instance FILE_FLAG_OPEN_REPARSE_POINT or FILE_FLAG_DELETE_ON_CLOSE).
    BOOL Open(const char* fileName, UINT openFlags, DWORD extraFlags = 0);
    void Close();
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE GetHandle() const { return m_hFile; }

    // Length in bytes; false when it cannot be had.
    bool GetLength(ULONGLONG& length) const;
    // New position, or (ULONGLONG)-1 on failure.
    ULONGLONG Seek(LONGLONG offset, UINT from);
    bool SeekToBegin() { return Seek(0, begin) == 0; }
    // Bytes read; 0 at the end or on failure.
    UINT Read(void* buffer, UINT count);
    // TRUE only when every byte was written.
    BOOL Write(const void* buffer, UINT count);
    // Sets the end of the file; the position is then at that end.
    BOOL SetLength(ULONGLONG length);
    BOOL Flush();

private:
    HANDLE m_hFile;
};
