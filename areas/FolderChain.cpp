#include "FolderChain.h"
#include "afx/App.h"

#include <winternl.h>

namespace
{
// Where the first component after a literal path's volume root starts ("\\?\C:\" or
// "\\?\UNC\server\share\"), or npos for a path of another form.
size_t VolumeRootLength(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    {
        size_t server = path.find(L'\\', 8);
        size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        return share == std::wstring::npos ? share : share + 1;
    }
    if (path.size() >= 7 && path.compare(0, 4, L"\\\\?\\") == 0 && path[5] == L':' && path[6] == L'\\')
        return 7;
    return std::wstring::npos;
}
} // namespace

HANDLE OpenFolderForListing(const std::wstring& literalPath)
{
    return CreateFileW(literalPath.c_str(), kFolderListAccess, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

DWORD OpenRelative(HANDLE parent, const wchar_t* name, size_t length, DWORD access, DWORD share, bool folder,
                   bool openLink, HANDLE& opened)
{
    opened = INVALID_HANDLE_VALUE;
    UNICODE_STRING objectName;
    objectName.Buffer = const_cast<wchar_t*>(name);
    objectName.Length = static_cast<USHORT>(length * sizeof(wchar_t));
    objectName.MaximumLength = objectName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, nullptr);
    IO_STATUS_BLOCK status = {};
    ULONG options = FILE_SYNCHRONOUS_IO_NONALERT | (folder ? FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT
                                                           : FILE_NON_DIRECTORY_FILE);
    if (openLink)
        options |= FILE_OPEN_REPARSE_POINT;
    HANDLE handle = nullptr;
    NTSTATUS result = NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, 0, share, FILE_OPEN,
                                   options, nullptr, 0);
    if (result < 0)
        return RtlNtStatusToDosError(result);
    opened = handle;
    return ERROR_SUCCESS;
}

CFolderChain& CFolderChain::ForThisThread()
{
    thread_local CFolderChain* chain = nullptr;
    return AfxThreadObject(chain);
}

void CFolderChain::Release()
{
    for (const CLink& link : m_chain)
        CloseHandle(link.handle);
    m_chain.clear();
}

HANDLE CFolderChain::ParentOf(const std::wstring& longPath, size_t& nameStart, DWORD& error)
{
    const size_t rootLength = VolumeRootLength(longPath);
    const size_t lastSeparator = longPath.rfind(L'\\');
    if (rootLength == std::wstring::npos || lastSeparator == std::wstring::npos || lastSeparator + 1 < rootLength ||
        lastSeparator + 1 >= longPath.size())
    {
        error = ERROR_INVALID_NAME;
        return nullptr;
    }
    nameStart = lastSeparator + 1;
    const std::wstring parent = longPath.substr(0, lastSeparator < rootLength ? rootLength : lastSeparator);

    // Keep the held folders that lie on the way to this one; let the others go.
    while (!m_chain.empty())
    {
        const std::wstring& held = m_chain.back().path;
        if (parent.compare(0, held.size(), held) == 0 &&
            (parent.size() == held.size() || parent[held.size()] == L'\\' || held.size() == rootLength))
            break;
        CloseHandle(m_chain.back().handle);
        m_chain.pop_back();
    }
    if (m_chain.empty())
    {
        // The volume's root, by its literal path.
        const std::wstring root = longPath.substr(0, rootLength);
        HANDLE handle = OpenFolderForListing(root);
        if (handle == INVALID_HANDLE_VALUE)
        {
            error = GetLastError();
            return nullptr;
        }
        m_chain.push_back({root, handle});
    }
    // Down from the deepest folder held, one component at a time.
    size_t at = m_chain.back().path.size();
    while (m_chain.back().path.size() < parent.size())
    {
        if (parent[at] == L'\\')
            ++at;
        size_t end = parent.find(L'\\', at);
        if (end == std::wstring::npos)
            end = parent.size();
        // Each folder held is the folder itself, never a link to another: an entry opened
        // inside it is in the place its path names.
        HANDLE handle = INVALID_HANDLE_VALUE;
        error = OpenRelative(m_chain.back().handle, parent.data() + at, end - at, kFolderListAccess, kShareAll, true,
                             true, handle);
        if (error != ERROR_SUCCESS)
            return nullptr;
        FILE_ATTRIBUTE_TAG_INFO tag;
        if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof(tag)) ||
            (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        {
            error = ERROR_CANT_ACCESS_FILE;
            CloseHandle(handle);
            return nullptr;
        }
        m_chain.push_back({parent.substr(0, end), handle});
        at = end;
    }
    return m_chain.back().handle;
}

void ReleaseHeldFolders() { CFolderChain::ForThisThread().Release(); }
