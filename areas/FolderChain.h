// Files and folders opened relative to an open folder, so that reaching an entry costs
// the same at any depth (a full path is resolved component by component on every open)
// and reaches entries whose full path is longer than the file system takes in one call.
#pragma once

#include <string>
#include <vector>
#include <windows.h>

// Sharing that lets every other program go on reading, writing and deleting.
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What listing a folder and opening what lies in it take.
const DWORD kFolderListAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// Opens the folder at a literal ("\\?\") path for listing; INVALID_HANDLE_VALUE, with
// the system's error, when it cannot be opened.
HANDLE OpenFolderForListing(const std::wstring& literalPath);

// Opens name (one path component) inside the open folder parent: a folder (with
// backup semantics) when folder is set, else a file; a link at the name is opened as the
// link itself when openLink is set, else followed. ERROR_SUCCESS and the handle in opened,
// or the system's error code.
DWORD OpenRelative(HANDLE parent, const wchar_t* name, size_t length, DWORD access, DWORD share, bool folder,
                   bool openLink, HANDLE& opened);

// The folders above the entries a clean works on, held open from one entry to the next:
// the clean runs from the deepest entries up, so each entry's folder is usually held
// already, and one open reaches it. Each thread has its own.
class CFolderChain
{
public:
    CFolderChain() = default;
    ~CFolderChain() { Release(); }
    CFolderChain(const CFolderChain&) = delete;
    CFolderChain& operator=(const CFolderChain&) = delete;

    // The open folder that holds the entry at longPath (in the literal "\\?\" form, no
    // trailing separator), and where the entry's own name starts in longPath; nullptr when
    // it cannot be reached (error says why, and the caller opens by the full path), or
    // when a folder on the way is a link or other reparse point (each is opened as itself
    // and checked once, as it is taken into the chain).
    HANDLE ParentOf(const std::wstring& longPath, size_t& nameStart, DWORD& error);
    // Closes every folder held.
    void Release();

    static CFolderChain& ForThisThread();

private:
    struct CLink
    {
        std::wstring path; // the folder in the literal form, no trailing separator
        HANDLE handle;
    };
    std::vector<CLink> m_chain;
};

// Closes the folders this thread holds for a clean; the clean run calls it when it ends.
void ReleaseHeldFolders();
