// A listed file or folder opened by handle, and checked to be that very entry before
// anything is written to it or deleted through it.
#pragma once

#include "afx/String.h"

#include <string>
#include <windows.h>

enum EntryState
{
    ENTRY_LISTED,   // open, and it is the listed entry
    ENTRY_GONE,     // nothing carries the name any more
    ENTRY_BUSY,     // it could not be opened (in use, access denied); see GetError
    ENTRY_ELSEWHERE, // a link, a folder where a file was listed (or the reverse), or a
                     // handle that leads to another place: never touched
    ENTRY_UNCHECKED  // open, but the system could not say where it is (a path longer than
                     // its host takes); see GetError: never touched
};

class CEntryHandle
{
public:
    CEntryHandle() : m_handle(INVALID_HANDLE_VALUE), m_error(0), m_info() {}
    ~CEntryHandle() { Close(); }
    CEntryHandle(const CEntryHandle&) = delete;
    CEntryHandle& operator=(const CEntryHandle&) = delete;

    // Opens path (an absolute plain path, a folder without its trailing separator)
    // in the literal form and without following links, then checks what it holds:
    // not a reparse point, a folder exactly when folder is true, and the handle's own
    // place (its volume and its path there) is path itself.
    EntryState Open(const CString& path, bool folder, DWORD access, DWORD share);
    // Opens path as Open does, for a file the program writes or deletes and did not just
    // create (see CheckPlainFile): "" when it is a plain file of one name at path (the
    // handle is then open) or when nothing is there (exists false); else why it may not
    // be touched, and nothing is open.
    CString OpenPlainFile(const CString& path, DWORD access, DWORD share, bool& exists);
    void Close();

    // What the open handle holds; the links and the size only after ReadSizeAndLinks.
    struct CInfo
    {
        DWORD attributes;
        DWORD links;
        ULONGLONG size;
    };
    bool ReadSizeAndLinks();

    HANDLE Get() const { return m_handle; }
    const CInfo& GetInfo() const { return m_info; }
    DWORD GetError() const { return m_error; }

    // Deletes the entry when the handle closes, through the handle itself. A read-only
    // attribute that refuses it is cleared through the handle first (and put back when
    // the deletion is still refused). Needs DELETE and FILE_WRITE_ATTRIBUTES access.
    bool MarkForDeletion();

private:
    HANDLE m_handle;
    DWORD m_error;
    CInfo m_info;
};

// Whether the handle's place is path (compared without regard to letter case): by its
// full name, or where the system cannot give that (a very long path under Wine), by its
// volume's serial number and its path on the volume; "elsewhere" told from "the system
// could not say" (error then says why). longPath is path in the literal form (ToLongPath),
// which the caller has made already to open the handle.
enum HandlePlace
{
    PLACE_AT,
    PLACE_ELSEWHERE,
    PLACE_UNKNOWN
};
HandlePlace WhereIsHandle(HANDLE handle, const CString& path, const std::wstring& longPath, DWORD& error);

// What a file the program writes to or deletes, and did not just create, must be before
// it is touched: a plain file (no link or other reparse point, no folder) with exactly one
// name, whose handle is at path itself. "" when the open handle holds such a file, else
// why not, as words that follow the file's name ("leads elsewhere (a link)").
CString CheckPlainFile(HANDLE handle, const CString& path);
// The same check on the file at path, opened without following a final link. exists
// says whether anything is at the name; "" also when nothing is.
CString CheckPlainFileAt(const CString& path, bool& exists);

// Whether the system opens a link itself when asked to (FILE_FLAG_OPEN_REPARSE_POINT):
// Windows does; Wine does not.
bool OpensLinksAsThemselves();

// The folder as the file system names it after following every link on the way
// (plain form, no trailing separator but a drive root's), or "" when it is not an
// absolute path or cannot be opened.
CString ResolveFolder(const CString& path);
