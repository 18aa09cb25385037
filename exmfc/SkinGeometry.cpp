#include "SkinGeometry.h"

namespace exmfc
{
void ComputeSkinPieces(int W, int H, const CNineSlice& s, const RECT& r, CSkinPiece pieces[9])
{
    const int L = s.left ? s.left : W / 3;
    const int M = s.middle ? s.middle : W / 3;
    const int R = s.right ? s.right : W - (2 * W) / 3;
    const int T = s.top ? s.top : H / 3;
    const int N = s.middleHeight ? s.middleHeight : H / 3;
    const int B = s.bottom ? s.bottom : H - (2 * H) / 3;
    const int l = r.left, t = r.top, rr = r.right, b = r.bottom;
    const int innerW = rr - l - R - L, innerH = b - t - B - T;
    const CSkinPiece table[9] = {
        {l, t, L, T, 0, 0, L, T},                   // top-left
        {rr - R, t, R, T, W - R, 0, R, T},          // top-right
        {l + L, t, innerW, T, L, 0, M, T},          // top edge
        {l, t + T, L, innerH, 0, T, L, N},          // left edge
        {l, b - B, L, B, 0, H - B, L, B},           // bottom-left
        {l + L, b - B, innerW, B, L, H - B, M, B},  // bottom edge
        {rr - R, b - B, R, B, W - R, H - B, R, B},  // bottom-right
        {rr - R, t + T, R, innerH, W - R, T, R, N}, // right edge
        {l + L, t + T, innerW, innerH, L, T, M, N}, // centre
    };
    for (int i = 0; i < 9; ++i)
        pieces[i] = table[i];
}

void AdjustSystemMenu(HWND window)
{
    HMENU menu = ::GetSystemMenu(window, FALSE);
    if (!menu)
        return;
    const LONG_PTR style = ::GetWindowLongPtrA(window, GWL_STYLE);
    const bool zoomed = ::IsZoomed(window) != FALSE, iconic = ::IsIconic(window) != FALSE;
    auto enable = [menu](UINT command, bool on)
    { ::EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : (MF_GRAYED | MF_DISABLED))); };
    enable(SC_RESTORE, zoomed || iconic);
    enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !zoomed);
    enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !iconic);
    enable(SC_SIZE, (style & WS_THICKFRAME) && !zoomed && !iconic);
    enable(SC_MOVE, !zoomed && !iconic);
    ::SetMenuDefaultItem(menu, iconic ? SC_RESTORE : SC_CLOSE, FALSE);
}

void ShowSystemMenu(HWND window, POINT p, bool adjust)
{
    HMENU menu = ::GetSystemMenu(window, FALSE);
    if (!menu)
        return;
    if (adjust)
        AdjustSystemMenu(window);
    ::SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    ::SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
    UINT command = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, window, nullptr);
    ::PostMessageA(window, WM_SYSCOMMAND, command, 0);
}
} // namespace exmfc
