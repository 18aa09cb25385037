#include "Label.h"

BOOL CLabel::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC || !m_backgroundBrush)
        return CStatic::OnChildNotify(message, wParam, lParam, result);
    HDC dc = reinterpret_cast<HDC>(wParam);
    CRect rect;
    GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, GetParent(), reinterpret_cast<POINT*>(&rect), 2);
    ::SetBrushOrgEx(dc, -rect.left, -rect.top, nullptr);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    *result = reinterpret_cast<LRESULT>(m_backgroundBrush);
    return TRUE;
}
