// GDI wrappers: each object owns its handle and deletes it when destroyed.
#pragma once

#include "String.h"
#include "Types.h"

class CGdiObject
{
public:
    CGdiObject() : m_hObject(nullptr) {}
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    bool Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    // Deletes the handle (if any); the object can then hold a new one.
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;

protected:
    HGDIOBJ m_hObject;
};

class CBitmap : public CGdiObject
{
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL LoadBitmap(UINT resourceId, HINSTANCE module = nullptr);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
    CSize GetSize() const;
};

class CBrush : public CGdiObject
{
public:
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreatePatternBrush(const CBitmap& bitmap);
};

class CPen : public CGdiObject
{
public:
    CPen() {}
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF color);
};

class CRgn : public CGdiObject
{
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int l, int t, int r, int b);
    BOOL CreateFromData(const XFORM* transform, int size, const RGNDATA* data);
    // Combines a and b into this region, which must exist already.
    int CombineRgn(HRGN a, HRGN b, int mode);
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
};

class CFont : public CGdiObject
{
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* faceName);
    BOOL CreateFontIndirect(const LOGFONTA* font);
    int GetLogFont(LOGFONTA* font) const { return GetObject(sizeof(LOGFONTA), font); }
    // Wraps a stock font; deleting a stock object does nothing.
    BOOL CreateStockObject(int id);
};

// An icon loaded from the module's resources at one size, destroyed with the object.
class CIcon
{
public:
    CIcon() : m_icon(nullptr) {}
    ~CIcon() { Destroy(); }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;
    // True when the icon could be loaded.
    bool Load(UINT resourceId, int size, HINSTANCE module = nullptr)
    {
        Destroy();
        m_icon = static_cast<HICON>(::LoadImageA(module ? module : ::GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(resourceId), IMAGE_ICON, size, size, 0));
        return m_icon != nullptr;
    }
    operator HICON() const { return m_icon; }
    void Destroy()
    {
        if (m_icon)
            ::DestroyIcon(m_icon);
        m_icon = nullptr;
    }

private:
    HICON m_icon;
};

class CWnd;

// A device context. A DC made by CreateCompatibleDC is deleted with the object; an
// attached one is only detached.
class CDC
{
public:
    CDC() : m_hDC(nullptr), m_owned(false) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    bool Attach(HDC dc);
    HDC Detach();
    BOOL CreateCompatibleDC(HDC dc);
    BOOL DeleteDC();

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectObject(const CGdiObject& object) { return ::SelectObject(m_hDC, object.GetSafeHandle()); }
    HGDIOBJ SelectStockObject(int id) { return ::SelectObject(m_hDC, GetStockObject(id)); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    BOOL BitBlt(int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, w, h, src, sx, sy, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop)
    {
        return ::StretchBlt(m_hDC, x, y, w, h, src, sx, sy, sw, sh, rop);
    }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    void FillRect(const RECT& rect, HBRUSH brush) { ::FillRect(m_hDC, &rect, brush); }
    void FillSolidRect(const RECT& rect, COLORREF color);
    int DrawText(const char* text, RECT& rect, UINT format) { return ::DrawTextA(m_hDC, text, -1, &rect, format); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    CPoint SetBrushOrg(int x, int y);
    BOOL DrawEdge(const RECT& rect, UINT edge, UINT flags)
    {
        RECT copy = rect; // the system may adjust it
        return ::DrawEdge(m_hDC, &copy, edge, flags);
    }
    void DrawFocusRect(const RECT& rect) { ::DrawFocusRect(m_hDC, &rect); }
    BOOL MoveTo(int x, int y) { return ::MoveToEx(m_hDC, x, y, nullptr); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL FillRgn(HRGN region, HBRUSH brush) { return ::FillRgn(m_hDC, region, brush); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

protected:
    bool m_owned;
};

// BeginPaint/EndPaint for a window's WM_PAINT.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC of a window's client area (or of the screen for nullptr).
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
