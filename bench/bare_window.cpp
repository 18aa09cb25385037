// The baseline of the start-up benchmark: a bare Win32 program that loads the system
// pieces Quorvantis.exe loads (common controls, a tray icon, COM and the Task
// Scheduler) and creates and shows a 668 x 437 window, then waits to be closed.
#include <windows.h>

#include <commctrl.h>
#include <initguid.h>
#include <mstask.h>
#include <objbase.h>
#include <shellapi.h>

namespace
{
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0x80FF};
    ::InitCommonControlsEx(&controls);
    ::CoInitialize(nullptr);
    ITaskScheduler* scheduler = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                     reinterpret_cast<void**>(&scheduler))))
        scheduler->Release();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BareWindow";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, "BareWindow", "bare", WS_POPUP, 306, 293, 668, 437, nullptr, nullptr,
                                    instance, nullptr);
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    ::lstrcpyA(icon.szTip, "bare");
    ::Shell_NotifyIconA(NIM_ADD, &icon);
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::Shell_NotifyIconA(NIM_DELETE, &icon);
    ::CoUninitialize();
    return 0;
}
