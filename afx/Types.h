// CPoint, CSize and CRect: the Win32 geometry structures with MFC helpers.
#pragma once

#include <windows.h>

class CPoint : public POINT
{
public:
    CPoint() { x = y = 0; }
    CPoint(int px, int py) { x = px, y = py; }
    CPoint(const POINT& p) { x = p.x, y = p.y; }
    // From a mouse message's lParam: signed 16-bit x (low word) and y (high word).
    explicit CPoint(LPARAM lParam) { x = (short)LOWORD(lParam), y = (short)HIWORD(lParam); }
    CPoint operator-(const POINT& o) const { return CPoint(x - o.x, y - o.y); }
    CPoint operator+(const POINT& o) const { return CPoint(x + o.x, y + o.y); }
    bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
};

class CSize : public SIZE
{
public:
    CSize() { cx = cy = 0; }
    CSize(int w, int h) { cx = w, cy = h; }
};

class CRect : public RECT
{
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    CRect(const RECT& r) { left = r.left, top = r.top, right = r.right, bottom = r.bottom; }
    CRect(const POINT& p, const SIZE& s) { left = p.x, top = p.y, right = p.x + s.cx, bottom = p.y + s.cy; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    bool IsRectEmpty() const { return left >= right || top >= bottom; }
    bool PtInRect(const POINT& p) const { return ::PtInRect(this, p) != FALSE; }
    void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void DeflateRect(int l, int t, int r, int b) { left += l, top += t, right -= r, bottom -= b; }
    void DeflateRect(int d) { DeflateRect(d, d, d, d); }
    bool operator==(const RECT& o) const { return EqualRect(this, &o) != FALSE; }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};
