// CWinApp, the command line and the message loop.
#pragma once

#include "Wnd.h"

class CCommandLineInfo
{
public:
    virtual ~CCommandLineInfo() {}
    // Called once per argument: text without a leading "/" or "-", flag TRUE when
    // one of them was there, last TRUE for the last argument.
    virtual void ParseParam(const char* param, BOOL flag, BOOL last);
};

class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return m_exitCode; }
    // The message loop; returns ExitInstance's code.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* msg);
    void ParseCommandLine(CCommandLineInfo& info);
    // The same over a given argument list (argv[0] is the program).
    static void ParseArguments(CCommandLineInfo& info, int argc, const char* const* argv);
    void SetRegistryKey(const char* key) { m_registryKey = key; }

    CWnd* m_pMainWnd;
    HINSTANCE m_hInstance;
    CString m_pszAppName; // the executable's name without its extension
    CString m_registryKey;

protected:
    int m_exitCode;
};

CWinApp* AfxGetApp();
// Runs a function on a new thread; returns the thread's handle (closed by the caller) or null.
HANDLE AfxBeginThread(unsigned (*function)(void*), void* param, int priority = THREAD_PRIORITY_NORMAL);

// Releases object when the thread of AfxBeginThread that calls it ends (the main thread's
// live until the process ends). MinGW runs a thread_local's destructor after it has freed
// the variable's storage, so objects that need one are kept this way instead.
void AfxAtThreadEnd(void (*release)(void*), void* object);
// This thread's T, made at its first use; slot is a thread_local pointer of the caller's.
template <class T> T& AfxThreadObject(T*& slot)
{
    if (!slot)
    {
        slot = new T();
        AfxAtThreadEnd([](void* object) { delete static_cast<T*>(object); }, slot);
    }
    return *slot;
}
