// A found file or folder on disk, and how files are forced away and shredded.
#pragma once

#include "model/CleanTarget.h"
#include "model/TypeNames.h"

#include <windows.h>

// File kinds, each its type text; the folder kinds are removed as folders, all others
// as files.
enum FileKind
{
    FK_TEMP_FILE = TN_TEMP_FILE,
    FK_TEMP_FOLDER = TN_TEMP_FOLDER,
    FK_LINK = TN_LINK_TO_FILE,
    FK_SCANDISK_FILE = TN_SCANDISK_FILE,
    FK_SCANDISK_FOLDER = TN_SCANDISK_FOLDER,
    FK_IE_COOKIE = TN_IE_COOKIE,
    FK_IE_CACHE_FILE = TN_IE_CACHE_FILE,
    FK_IE_CACHE_FOLDER = TN_IE_CACHE_FOLDER,
    FK_IE_FAV_LINK = TN_IE_FAV_LINK,
    FK_IE_HISTORY_FILE = TN_IE_HISTORY_FILE,
    FK_OPERA_TEMP_DOWNLOAD = TN_OPERA_TEMP_DOWNLOAD,
    FK_OPERA_FILE = TN_OPERA_FILE,
    FK_BROWSER_CACHE_FILE = TN_BROWSER_CACHE_FILE, // Firefox's and the Chromium browsers' disk caches
    FK_BROWSER_CACHE_FOLDER = TN_BROWSER_CACHE_FOLDER,
    FK_CHROMIUM_VISITED_LINKS = TN_CHROMIUM_VISITED_LINKS, // the fingerprints of visited addresses
    // What a browser profile keeps beside its databases
    FK_HISTORY_FILE = TN_BROWSER_HISTORY_FILE,
    FK_HISTORY_FOLDER = TN_BROWSER_HISTORY_FOLDER,
    FK_NETWORK_FILE = TN_BROWSER_NETWORK_FILE,
    FK_SITE_DATA_FILE = TN_BROWSER_SITE_DATA_FILE,
    FK_SITE_DATA_FOLDER = TN_BROWSER_SITE_DATA_FOLDER,
    FK_SESSION_FILE = TN_BROWSER_SESSION_FILE,
    FK_SESSION_FOLDER = TN_BROWSER_SESSION_FOLDER,
};

bool IsFolderKind(int fileKind);

// What became of an entry the program tried to remove.
enum RemoveResult
{
    REMOVE_DONE,      // deleted
    REMOVE_GONE,      // it was no longer there
    REMOVE_REFUSED,   // it could not be opened or deleted (in use, denied, not empty)
    REMOVE_ELSEWHERE, // the name now leads elsewhere (a link): nothing was touched
    REMOVE_UNCHECKED  // where the name leads could not be checked: nothing was touched
};

class CFileTarget : public CCleanTarget
{
public:
    // path: an absolute file path, or a folder path ending with a backslash.
    // addressable: false for an entry whose name has no exact UTF-8 form; it is
    // listed (under a lossy name) but never cleaned.
    CFileTarget(const CString& path, int fileKind, bool addressable = true);

    const CString& GetTypeName() const override;
    // A folder is removed only when already empty; a file is shredded first when the
    // owner asks for it, then deleted (forced past the read-only attribute). Both
    // go through one handle, and only when it holds the very entry listed; an entry
    // that is no longer there counts as cleaned.
    int Clean() override;
    // Why the last clean left it: the system's reason, or that its name leads elsewhere.
    CString GetCleanNote() const override;

    int GetFileKind() const { return m_fileKind; }

private:
    unsigned char m_fileKind; // a FileKind
    bool m_addressable;
    unsigned char m_result; // RemoveResult of the last clean
    DWORD m_error;          // the system's error of the last clean, 0 for none
};

// A file or folder found by a cleaning rule: the rule's name is its type text.
class CNamedFileTarget : public CFileTarget
{
public:
    CNamedFileTarget(const CString& path, int fileKind, const std::shared_ptr<const CString>& typeName)
        : CFileTarget(path, fileKind), m_typeName(typeName)
    {
    }
    const CString& GetTypeName() const override { return *m_typeName; }

private:
    std::shared_ptr<const CString> m_typeName;
};

// Removes a listed file (or, with folder true, an empty folder) by handle, after
// checking that the handle holds that entry; with shred, a file is first
// overwritten through the same handle (see ShredFile). error (when given) takes the
// system's error code of a refusal, 0 otherwise.
RemoveResult RemoveListedEntry(const CString& path, bool folder, bool shred, DWORD* error = nullptr);

// Deletes a listed file, clearing its read-only attribute if that refuses it. Non-zero
// when the file is gone, or when it is a locked file named "index.dat" (Internet
// Explorer's index files stay locked while the system runs and count as gone).
int DeleteFileForced(const char* path);

// Overwrites the first MiB of an existing file with zeros, in 4096-byte writes, and
// flushes it to the disk. Skips files it cannot open exclusively, read-only files,
// links and files with more than one hard link (writing would reach content never
// listed).
void ShredFile(const char* path);
