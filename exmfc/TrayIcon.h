// An icon in the notification area of the taskbar.
#pragma once

#include "afx/String.h"

#include <windows.h>

#include <shellapi.h>

namespace exmfc
{
class CTrayIcon
{
public:
    CTrayIcon();
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Stores the owner and its callback message; adds the icon when asked.
    bool Create(HWND owner, UINT callbackMessage, bool addNow);
    bool Add();
    void Remove();
    void SetIcon(HICON icon);
    // Texts longer than the shell's buffers are cut: 63 characters of tooltip,
    // 63 of balloon title and 255 of balloon message.
    void SetTooltip(const char* text);
    void ShowBalloon(const char* title, const char* ignored, const char* message, UINT seconds);

    UINT GetId() const { return m_id; }
    bool IsAdded() const { return m_added; }
    const CString& GetTooltip() const { return m_tooltip; }

private:
    UINT m_id;
    bool m_added;
    UINT m_callbackMessage;
    HWND m_owner;
    CString m_tooltip;
    HICON m_icon;
};

// The shell call every tray icon makes; tests put a recorder in its place.
typedef BOOL(WINAPI* NotifyIconFunction)(DWORD message, PNOTIFYICONDATAA data);
void SetNotifyIconFunction(NotifyIconFunction function); // nullptr: the shell's own
} // namespace exmfc
