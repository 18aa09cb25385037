#include "TrayIcon.h"

#include <shellapi.h>

namespace exmfc
{
namespace
{
UINT g_nextId = 1;
NotifyIconFunction g_notify = Shell_NotifyIconA;

// The shell-version-5 layout for every call but the tooltip update, which uses the first.
NOTIFYICONDATAA MakeData(HWND owner, UINT id, DWORD size)
{
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof(data));
    data.cbSize = size;
    data.hWnd = owner;
    data.uID = id;
    return data;
}
} // namespace

void SetNotifyIconFunction(NotifyIconFunction function)
{
    g_notify = function ? function : Shell_NotifyIconA;
}

CTrayIcon::CTrayIcon()
    : m_id(g_nextId++), m_added(false), m_callbackMessage(0), m_owner(nullptr), m_icon(nullptr)
{
}

CTrayIcon::~CTrayIcon()
{
    Remove();
}

bool CTrayIcon::Create(HWND owner, UINT callbackMessage, bool addNow)
{
    m_owner = owner;
    m_callbackMessage = callbackMessage;
    return addNow ? Add() : true;
}

bool CTrayIcon::Add()
{
    if (m_added)
        return false;
    NOTIFYICONDATAA data = MakeData(m_owner, m_id, NOTIFYICONDATAA_V2_SIZE);
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = m_callbackMessage;
    data.hIcon = m_icon;
    if (!m_tooltip.IsEmpty())
    {
        data.uFlags |= NIF_TIP;
        lstrcpynA(data.szTip, m_tooltip, 64);
    }
    m_added = g_notify(NIM_ADD, &data) != FALSE;
    return m_added;
}

void CTrayIcon::Remove()
{
    if (!m_added)
        return;
    NOTIFYICONDATAA data = MakeData(m_owner, m_id, NOTIFYICONDATAA_V2_SIZE);
    g_notify(NIM_DELETE, &data);
    m_added = false;
}

void CTrayIcon::SetIcon(HICON icon)
{
    m_icon = icon;
    if (!m_added)
        return;
    NOTIFYICONDATAA data = MakeData(m_owner, m_id, NOTIFYICONDATAA_V2_SIZE);
    data.uFlags = NIF_ICON;
    data.hIcon = icon;
    g_notify(NIM_MODIFY, &data);
}

void CTrayIcon::SetTooltip(const char* text)
{
    m_tooltip = text;
    if (!m_added)
        return;
    NOTIFYICONDATAA data = MakeData(m_owner, m_id, NOTIFYICONDATAA_V1_SIZE);
    data.uFlags = NIF_TIP;
    lstrcpynA(data.szTip, m_tooltip, 64);
    g_notify(NIM_MODIFY, &data);
}

void CTrayIcon::ShowBalloon(const char* title, const char*, const char* message, UINT seconds)
{
    if (!m_added)
        return;
    NOTIFYICONDATAA data = MakeData(m_owner, m_id, NOTIFYICONDATAA_V2_SIZE);
    data.uFlags = NIF_INFO | NIF_TIP | 0x1000;
    lstrcpynA(data.szTip, title ? title : "", 64);
    lstrcpynA(data.szInfoTitle, title ? title : "", sizeof(data.szInfoTitle));
    lstrcpynA(data.szInfo, message ? message : "", sizeof(data.szInfo));
    data.uTimeout = seconds * 1000;
    data.dwInfoFlags = NIIF_INFO;
    g_notify(NIM_MODIFY, &data);
}
} // namespace exmfc
