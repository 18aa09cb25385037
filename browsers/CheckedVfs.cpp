#include "CheckedVfs.h"
#include "afx/App.h"

#include "areas/EntryHandle.h"
#include "areas/FileTarget.h"
#include "areas/PathText.h"

#include <sqlite3.h>
#include <windows.h>

namespace
{
thread_local CString* t_refusalSlot = nullptr;
CString& Refusal() { return AfxThreadObject(t_refusalSlot); }

sqlite3_vfs* RealVfs(sqlite3_vfs* vfs) { return static_cast<sqlite3_vfs*>(vfs->pAppData); }

int Refuse(const CString& path, const CString& why, int result)
{
    Refusal() = LastComponent(path) + " " + why;
    return result;
}

// Opens a named file through SQLite's own layer, between two checks: one by name before
// (so that nothing is made or opened through a link), and one on the handle SQLite will
// use (so that nothing put at the name in between is written through).
int CheckedOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    sqlite3_vfs* real = RealVfs(vfs);
    if (!name)
        return real->xOpen(real, name, file, flags, outFlags); // a scratch file of SQLite's own
    const CString path(name);
    // A journal or log that is not there yet is made here, new and without following a
    // link: SQLite's own open would make it wherever a link left at the name leads.
    bool made = false;
    if ((flags & SQLITE_OPEN_CREATE) && !(flags & SQLITE_OPEN_EXCLUSIVE))
    {
        HANDLE created = CreateFileW(ToLongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        made = created != INVALID_HANDLE_VALUE;
        if (made)
            CloseHandle(created);
        else if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)
        {
            bool exists = false;
            const CString why = CheckPlainFileAt(path, exists);
            if (!exists)
                return Refuse(path, "is a link that leads nowhere", SQLITE_CANTOPEN);
            if (!why.IsEmpty())
                return Refuse(path, why, SQLITE_CANTOPEN);
        }
    }
    if (!made && !(flags & SQLITE_OPEN_CREATE))
    {
        bool exists = false;
        const CString why = CheckPlainFileAt(path, exists);
        if (!why.IsEmpty())
            return Refuse(path, why, SQLITE_CANTOPEN);
    }
    const int result = real->xOpen(real, name, file, flags, outFlags);
    if (result != SQLITE_OK || !file->pMethods)
        return result;
    HANDLE handle = INVALID_HANDLE_VALUE;
    CString why = file->pMethods->xFileControl(file, SQLITE_FCNTL_WIN32_GET_HANDLE, &handle) == SQLITE_OK
                      ? CheckPlainFile(handle, path)
                      : CString("could not be checked");
    if (why.IsEmpty())
        return SQLITE_OK;
    file->pMethods->xClose(file);
    file->pMethods = nullptr;
    return Refuse(path, why, SQLITE_CANTOPEN);
}

// Deletes a journal or log by a handle that holds that very file, never what a link at its
// name leads to. A file another program holds a moment (a virus scanner) is tried again,
// as SQLite's own layer does.
int CheckedDelete(sqlite3_vfs*, const char* name, int)
{
    const int kTries = 10;
    DWORD error = 0;
    for (int attempt = 1;; ++attempt)
    {
        switch (RemoveListedEntry(name, false, false, &error))
        {
        case REMOVE_DONE:
            return SQLITE_OK;
        case REMOVE_GONE:
            return SQLITE_IOERR_DELETE_NOENT;
        case REMOVE_ELSEWHERE:
            return Refuse(name, "leads elsewhere (a link)", SQLITE_IOERR_DELETE);
        case REMOVE_UNCHECKED:
            return Refuse(name, "could not be told where it leads (" + ErrorText(error) + ")", SQLITE_IOERR_DELETE);
        case REMOVE_REFUSED:
            break;
        }
        if (attempt == kTries || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED))
            return SQLITE_IOERR_DELETE;
        Sleep(25 * attempt);
    }
}
} // namespace

const char* CheckedVfsName()
{
    static const char kName[] = "quorvantis-checked";
    static sqlite3_vfs vfs = []
    {
        sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
        sqlite3_vfs checked = *real;
        checked.pNext = nullptr;
        checked.zName = kName;
        checked.pAppData = real;
        checked.xOpen = CheckedOpen;
        checked.xDelete = CheckedDelete;
        return checked;
    }();
    static const bool registered = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    (void)registered;
    return kName;
}

CString TakeFileRefusal()
{
    CString refusal = Refusal();
    Refusal().Empty();
    return refusal;
}
