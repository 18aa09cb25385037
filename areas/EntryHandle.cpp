#include "EntryHandle.h"
#include "afx/App.h"

#include "FolderChain.h"
#include "PathText.h"
#include "afx/Handle.h"

#include <map>
#include <string>
#include <vector>

namespace
{
// Volume serial numbers by root ("C:\"), asked once per run of the program.
bool VolumeSerialOf(const CString& root, DWORD& serial)
{
    static std::map<std::string, DWORD> cache;
    auto found = cache.find(root.str());
    if (found != cache.end())
    {
        serial = found->second;
        return true;
    }
    std::wstring wide = Utf8ToWide(root, root.GetLength());
    if (!GetVolumeInformationW(wide.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
        return false;
    cache[root.str()] = serial;
    return true;
}

bool SameTextNoCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsGoneError(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The handle's full name in the literal form, as the system gives it; false where it
// cannot (a very long path under Wine). The buffer is kept for the next call: the
// clean run asks once per item.
bool FinalPathOf(HANDLE handle, std::wstring& path)
{
    thread_local std::vector<wchar_t>* slot = nullptr;
    std::vector<wchar_t>& buffer = AfxThreadObject(slot);
    buffer.resize(32768);
    DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= buffer.size())
        return false;
    path.assign(buffer.data(), length);
    return true;
}
} // namespace

HandlePlace WhereIsHandle(HANDLE handle, const CString& path, const std::wstring& longPath, DWORD& error)
{
    std::wstring finalPath;
    if (FinalPathOf(handle, finalPath))
        return SameTextNoCase(finalPath, longPath) ? PLACE_AT : PLACE_ELSEWHERE;

    CString root, rest;
    DWORD expectedSerial = 0;
    BY_HANDLE_FILE_INFORMATION info;
    if (!SplitVolumePath(path, root, rest) || !VolumeSerialOf(root, expectedSerial) ||
        !GetFileInformationByHandle(handle, &info))
    {
        error = GetLastError();
        return PLACE_UNKNOWN;
    }
    if (info.dwVolumeSerialNumber != expectedSerial)
        return PLACE_ELSEWHERE;
    // The name on the volume: a header and up to 32767 characters.
    thread_local std::vector<DWORD>* slot = nullptr;
    std::vector<DWORD>& buffer = AfxThreadObject(slot);
    buffer.resize((sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t)) / sizeof(DWORD) + 1);
    FILE_NAME_INFO* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, name,
                                      static_cast<DWORD>(buffer.size() * sizeof(DWORD))))
    {
        // Where the system cannot name the place (a path longer than its host takes),
        // it cannot be told apart from elsewhere: never touched, and said why.
        error = GetLastError();
        if (error == ERROR_SUCCESS || error == ERROR_INVALID_PARAMETER)
            error = ERROR_FILENAME_EXCED_RANGE;
        return PLACE_UNKNOWN;
    }
    std::wstring actual(name->FileName, name->FileNameLength / sizeof(wchar_t));
    return SameTextNoCase(actual, Utf8ToWide(rest, rest.GetLength())) ? PLACE_AT : PLACE_ELSEWHERE;
}

EntryState CEntryHandle::Open(const CString& path, bool folder, DWORD access, DWORD share)
{
    Close();
    std::wstring wide = ToLongPath(path);
    // Inside its folder, held open from the entry before, where that can be had: one open
    // at any depth. Else by the full path.
    size_t nameStart = 0;
    DWORD chainError = ERROR_SUCCESS;
    if (HANDLE parent = CFolderChain::ForThisThread().ParentOf(wide, nameStart, chainError))
    {
        HANDLE opened = INVALID_HANDLE_VALUE;
        m_error = OpenRelative(parent, wide.data() + nameStart, wide.size() - nameStart, access, share, folder, true,
                               opened);
        m_handle = opened;
    }
    else
    {
        DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
        m_handle = CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
        m_error = m_handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    if (m_handle == INVALID_HANDLE_VALUE)
    {
        // A folder on the way that is gone takes its content with it.
        if (chainError == ERROR_FILE_NOT_FOUND || chainError == ERROR_PATH_NOT_FOUND)
            m_error = chainError;
        return IsGoneError(m_error) ? ENTRY_GONE : ENTRY_BUSY;
    }
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!GetFileInformationByHandleEx(m_handle, FileAttributeTagInfo, &tag, sizeof(tag)))
    {
        m_error = GetLastError();
        Close();
        return ENTRY_BUSY;
    }
    m_info.attributes = tag.FileAttributes;
    const bool isFolder = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((m_info.attributes & FILE_ATTRIBUTE_REPARSE_POINT) || isFolder != folder)
    {
        Close();
        return ENTRY_ELSEWHERE;
    }
    // Some systems open a link's target even when asked not to follow it: only the
    // handle's own place tells where it leads.
    switch (WhereIsHandle(m_handle, path, wide, m_error))
    {
    case PLACE_AT:
        return ENTRY_LISTED;
    case PLACE_ELSEWHERE:
        Close();
        return ENTRY_ELSEWHERE;
    case PLACE_UNKNOWN:
        break;
    }
    Close();
    return ENTRY_UNCHECKED;
}

bool CEntryHandle::ReadSizeAndLinks()
{
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(m_handle, FileStandardInfo, &standard, sizeof(standard)))
        return false;
    m_info.links = standard.NumberOfLinks;
    m_info.size = static_cast<ULONGLONG>(standard.EndOfFile.QuadPart);
    return true;
}

void CEntryHandle::Close()
{
    if (m_handle != INVALID_HANDLE_VALUE)
    {
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }
}

bool CEntryHandle::MarkForDeletion()
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (SetFileInformationByHandle(m_handle, FileDispositionInfo, &disposition, sizeof(disposition)))
        return true;
    m_error = GetLastError();
    if (m_error != ERROR_ACCESS_DENIED || !(m_info.attributes & FILE_ATTRIBUTE_READONLY))
        return false;

    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = m_info.attributes & ~FILE_ATTRIBUTE_READONLY;
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(m_handle, FileBasicInfo, &basic, sizeof(basic)))
        return false;
    if (SetFileInformationByHandle(m_handle, FileDispositionInfo, &disposition, sizeof(disposition)))
        return true;
    m_error = GetLastError();
    basic.FileAttributes = m_info.attributes;
    SetFileInformationByHandle(m_handle, FileBasicInfo, &basic, sizeof(basic));
    return false;
}

CString ResolveFolder(const CString& path)
{
    // A relative path ("C:" is one) would depend on the current folder.
    CString root, rest;
    if (!SplitVolumePath(path, root, rest))
        return CString();
    std::wstring wide = ToLongPath(path);
    CHandle handle(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.IsValid())
        return CString();
    CString resolved;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        std::wstring finalPath;
        if (FinalPathOf(handle, finalPath))
            resolved = FromLongPath(finalPath);
        else
            resolved = path; // a place the system cannot name (a very long path): as given
        while (resolved.GetLength() > 3 && resolved[resolved.GetLength() - 1] == '\\')
            resolved = resolved.Left(resolved.GetLength() - 1);
    }
    return resolved;
}

namespace
{
const char kLeadsElsewhere[] = "leads elsewhere (a link)";

CString CouldNotCheck(DWORD error) { return "could not be checked (" + ErrorText(error) + ")"; }
CString UnknownPlace(DWORD error) { return "could not be told where it leads (" + ErrorText(error) + ")"; }

CString LinkCountRefusal(DWORD links)
{
    return links == 1 ? CString() : "has " + CString(std::to_string(links)) + " names (hard links)";
}
} // namespace

CString CheckPlainFile(HANDLE handle, const CString& path)
{
    FILE_ATTRIBUTE_TAG_INFO tag;
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof(tag)) ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof(standard)))
        return CouldNotCheck(GetLastError());
    if (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return "is a link";
    if ((tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) || standard.Directory)
        return "is a folder";
    const CString links = LinkCountRefusal(standard.NumberOfLinks);
    if (!links.IsEmpty())
        return links;
    DWORD error = 0;
    switch (WhereIsHandle(handle, path, ToLongPath(path), error))
    {
    case PLACE_AT:
        return CString();
    case PLACE_ELSEWHERE:
        return kLeadsElsewhere;
    case PLACE_UNKNOWN:
        break;
    }
    return UnknownPlace(error);
}

CString CEntryHandle::OpenPlainFile(const CString& path, DWORD access, DWORD share, bool& exists)
{
    const EntryState state = Open(path, false, access, share);
    exists = state != ENTRY_GONE;
    switch (state)
    {
    case ENTRY_GONE:
        return CString();
    case ENTRY_LISTED:
    {
        // Open has checked the kind of entry and its place; what is left is its names.
        const CString refusal =
            ReadSizeAndLinks() ? LinkCountRefusal(m_info.links) : CouldNotCheck(GetLastError());
        if (!refusal.IsEmpty())
            Close();
        return refusal;
    }
    case ENTRY_ELSEWHERE:
        if (m_info.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return "is a link";
        return m_info.attributes & FILE_ATTRIBUTE_DIRECTORY ? "is a folder" : kLeadsElsewhere;
    case ENTRY_UNCHECKED:
        return UnknownPlace(m_error);
    case ENTRY_BUSY:
        break;
    }
    return CouldNotCheck(m_error);
}

CString CheckPlainFileAt(const CString& path, bool& exists)
{
    CEntryHandle entry;
    return entry.OpenPlainFile(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, exists);
}

bool OpensLinksAsThemselves()
{
    // Windows (NTFS, ReFS and the network redirector alike) opens a reparse point as
    // itself when asked. Wine opens a symbolic link's target whatever is asked (and removes
    // the target through any handle or name of the link), so there every entry is also
    // checked by its place; a probe would leave a link behind it could not remove.
    static const bool honoured = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
    }();
    return honoured;
}
