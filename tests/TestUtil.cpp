#include "TestUtil.h"

#include "areas/PathText.h"
#include "engine/CleanRun.h"

#include <windows.h>

namespace testutil
{
CString MakeTestRoot(const char* name)
{
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    CString root;
    root.Format("%sqv-%s-%lu-%d", temp, name, GetCurrentProcessId(), ++counter);
    RemoveTree(root);
    CreateDirectoryA(root, nullptr);
    return root;
}

void CleanList(CFoundItemList& list, IProgressSink* sink)
{
    CSectionList sections(1, CScanItemPtr(new CScanItem("Browsers", 2)));
    sections[0]->GetFoundItems().swap(list);
    CSilentSink silent;
    CleanSections(sections, sink ? *sink : silent, nullptr);
    sections[0]->GetFoundItems().swap(list);
}

std::vector<std::string> Texts(const CFoundItemList& list, bool withTypes)
{
    std::vector<std::string> texts;
    for (const CCleanTargetPtr& item : list)
        texts.push_back((withTypes ? item->GetTypeName().str() + ": " : std::string()) + item->GetDisplayText().str());
    return texts;
}

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < milliseconds)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpPending();
    }
    return done();
}

bool MakeDir(const CString& path) { return CreateDirectoryA(path, nullptr) != FALSE; }

bool WriteBytes(const CString& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(h);
    return ok && done == bytes.size();
}

bool ReadBytes(const CString& path, std::string& bytes)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    GetFileSizeEx(h, &size);
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    BOOL ok = bytes.empty() || ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(h);
    return ok && done == bytes.size();
}

bool Exists(const CString& path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

CString HostPath(const CString& windowsPath)
{
    typedef char*(CDECL * UnixName)(const WCHAR*);
    static UnixName toUnix =
        reinterpret_cast<UnixName>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return CString();
    std::wstring wide = ToLongPath(windowsPath);
    char* unix = toUnix(wide.c_str());
    if (!unix)
        return CString();
    CString path(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

CString HostQuote(const CString& text)
{
    std::string quoted = "'";
    for (char ch : text.str())
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return CString(quoted + "'");
}

// One argument as the Windows command-line rules read it back.
std::string WindowsArgument(const std::string& text)
{
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char ch : text)
    {
        if (ch == '\\')
            ++backslashes;
        else
        {
            if (ch == '"')
                quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        quoted += ch;
    }
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

bool RunHost(const CString& command)
{
    // Wine starts a host program without a process to wait on: the command writes its
    // exit status to a marker file when it ends, and the test waits for that.
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    CString marker;
    marker.Format("%sqv-host-%lu-%d.done", temp, GetCurrentProcessId(), ++counter);
    DeleteFileA(marker);
    CString hostMarker = HostPath(marker);
    if (hostMarker.IsEmpty())
        return false;
    CString script = "(" + command + "); echo $? > " + HostQuote(hostMarker + ".tmp") + " && mv " +
                     HostQuote(hostMarker + ".tmp") + " " + HostQuote(hostMarker);
    std::string line = "/bin/sh -c " + WindowsArgument(script.str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    // For a host program Wine hands back no process handle, and no real thread handle
    // either (closing what it leaves there closed other handles of ours).
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess)
    {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    std::string status;
    for (int i = 0; i < 3000 && !ReadBytes(marker, status); ++i)
        Sleep(10);
    DeleteFileA(marker);
    return status == "0\n";
}

bool MakeHostLink(const CString& target, const CString& link)
{
    CString hostTarget = HostPath(target), hostLink = HostPath(link);
    return !hostTarget.IsEmpty() && !hostLink.IsEmpty() &&
           RunHost("ln -s " + HostQuote(hostTarget) + " " + HostQuote(hostLink));
}

void RemoveTree(const CString& path)
{
    // The host removes what Win32 may not name (links, names with separators, long paths).
    CString host = HostPath(path);
    if (!host.IsEmpty() && host != "/" && RunHost("rm -rf " + HostQuote(host)))
        return;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path + "\\*", &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (!strcmp(data.cFileName, ".") || !strcmp(data.cFileName, ".."))
                continue;
            CString child = path + "\\" + data.cFileName;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(child);
            else
            {
                SetFileAttributesA(child, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child);
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path);
}
} // namespace testutil
