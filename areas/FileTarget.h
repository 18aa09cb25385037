// A found file or folder on disk, and how files are forced away and shredded.
#pragma once

#include "engine/CleanTarget.h"

// File kinds; the folder kinds are removed as folders, all others as files.
enum FileKind
{
    FK_TEMP_FILE = 0,
    FK_TEMP_FOLDER = 1,
    FK_LINK = 2,
    FK_SCANDISK_FILE = 3,
    FK_SCANDISK_FOLDER = 4,
    FK_IE_COOKIE = 5,
    FK_IE_CACHE_FILE = 6,
    FK_IE_CACHE_FOLDER = 7,
    FK_IE_FAV_LINK = 8,
    FK_IE_HISTORY_FILE = 9,
    FK_OPERA_TEMP_DOWNLOAD = 10,
    FK_OPERA_FILE = 11,
    FK_COUNT
};

bool IsFolderKind(int fileKind);

class CFileTarget : public CCleanTarget
{
public:
    // path: a file path, or a folder path ending with a backslash.
    CFileTarget(const CString& path, int fileKind);

    const CString& GetTypeName() const override;
    // A folder is removed only when already empty; a file is shredded first when
    // the owner asks for it, then deleted (forced past the read-only attribute).
    int Clean() override;

    int GetFileKind() const { return m_fileKind; }

private:
    int m_fileKind;
};

// Deletes a file, clearing its attributes if the first try fails. Non-zero when the
// file is gone, or when its path names a locked "index.dat" that counts as gone.
int DeleteFileForced(const char* path);

// Overwrites the first MiB of an existing file with zeros, in 4096-byte writes, and
// flushes it to the disk. Skips files it cannot open exclusively, read-only files, reparse points and
// files with more than one hard link (writing would reach content never listed).
void ShredFile(const char* path);
