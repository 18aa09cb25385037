// CWindowSkin<Base>: a borderless window painted from one skin bitmap (nine-slice),
// shaped by a transparent colour, dragged by a caption rectangle, with its own
// title, icon and system menu. The work is done in WindowProc, so the base class's
// message map stays as it is.
#pragma once

#include "Drawing.h"
#include "SkinGeometry.h"

namespace exmfc
{
// The skin bitmap of skinned frame windows.
const UINT kFrameSkinBitmapId = 101;

template <class Base> class CWindowSkin : public Base
{
public:
    // The skin bitmap comes from the module's resources; it is loaded while the skin is
    // composed for the window's size and released after, to keep one copy in memory.
    explicit CWindowSkin(UINT skinBitmapId = kFrameSkinBitmapId)
        : m_skinBitmapId(skinBitmapId), m_dragging(false), m_dragAnchor(), m_shaped(false),
          m_transparentColour(RGB(255, 255, 255)), m_backgroundColour(RGB(255, 255, 255)),
          m_staticTextColour(RGB(0, 0, 0)), m_icon(nullptr), m_cursor(nullptr), m_titleColour(RGB(0, 0, 0)),
          m_systemMenuPoint()
    {
    }

    // Fills the members below; called on WM_CREATE.
    virtual void SetupSkin() {}
    virtual void DrawBackground(CDC& dc)
    {
        CRect client;
        this->GetClientRect(&client);
        CCompatibleDC source(dc, m_composed);
        dc.BitBlt(0, 0, client.Width(), client.Height(), source, 0, 0, SRCCOPY);
    }
    virtual void DrawSkin(CDC& dc, const RECT& rect)
    {
        int saved = dc.SaveDC();
        CSize size = m_skinBitmap.GetSize();
        CSkinPiece pieces[9];
        CNineSlice slices = m_slices; // in the skin bitmap's pixels at 96 DPI
        for (int* length :
             {&slices.left, &slices.middle, &slices.right, &slices.top, &slices.middleHeight, &slices.bottom})
            *length = Scaled(*length);
        ComputeSkinPieces(size.cx, size.cy, slices, rect, pieces);
        {
            CCompatibleDC skin(dc, m_skinBitmap);
            dc.SetStretchBltMode(COLORONCOLOR);
            for (const CSkinPiece& p : pieces)
                dc.StretchBlt(p.dx, p.dy, p.dw, p.dh, skin, p.sx, p.sy, p.sw, p.sh, SRCCOPY);
        }
        if (m_icon)
            ::DrawIconEx(dc, m_iconRect.left, m_iconRect.top, m_icon, 16, 16, 0, nullptr, DI_NORMAL);
        if (!m_title.IsEmpty())
        {
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(m_titleColour);
            if (m_titleFont.GetSafeHandle())
                dc.SelectObject(m_titleFont);
            CRect titleRect = m_titleRect;
            dc.DrawText(m_title, titleRect, DT_SINGLELINE | DT_VCENTER);
        }
        dc.RestoreDC(saved);
    }

    virtual BOOL OnSkinLButtonDown(CPoint point)
    {
        if (!m_dragging && m_captionRect.PtInRect(point))
        {
            m_dragging = true;
            m_dragAnchor = point;
            this->SetCapture();
            return 1;
        }
        if (m_iconRect.PtInRect(point))
            ShowSystemMenu(this->m_hWnd, ToScreen(m_systemMenuPoint), true);
        return 0;
    }
    virtual BOOL OnSkinRButtonDown(CPoint point)
    {
        if (m_dragging)
            return 1;
        if (m_captionRect.PtInRect(point))
        {
            ShowSystemMenu(this->m_hWnd, ToScreen(point), true);
            return 1;
        }
        return 0;
    }
    virtual BOOL OnSkinLButtonUp()
    {
        if (m_dragging)
        {
            m_dragging = false;
            ::ReleaseCapture();
        }
        return 0;
    }
    virtual BOOL OnSkinMouseMove(CPoint point)
    {
        if (!m_dragging)
            return 0;
        CRect window;
        this->GetWindowRect(&window);
        CPoint screen = ToScreen(point);
        this->MoveWindow(screen.x - m_dragAnchor.x, screen.y - m_dragAnchor.y, window.Width(),
                         window.Height(), TRUE);
        return 1;
    }
    virtual BOOL OnSkinCaptureChanged()
    {
        m_dragging = false;
        return 0;
    }
    virtual BOOL OnSkinSysCommand(UINT command)
    {
        if (command != SC_KEYMENU)
            return 0;
        ShowSystemMenu(this->m_hWnd, ToScreen(m_systemMenuPoint), true);
        return 1;
    }
    virtual BOOL OnSkinSetCursor()
    {
        if (!m_cursor)
            return 0;
        ::SetCursor(m_cursor);
        return 1;
    }
    // Lines the pattern brush up with the skin under the control: statics look transparent.
    virtual HBRUSH OnSkinCtlColor(CDC& dc, HWND control)
    {
        if (control)
        {
            CRect rect;
            ::GetWindowRect(control, &rect);
            this->ScreenToClient(&rect);
            dc.SetBrushOrg(-rect.left, -rect.top);
        }
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(m_staticTextColour);
        return m_patternBrush;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (OnSkinPaintMessage(message, wParam, lParam, result) ||
            OnSkinInputMessage(message, wParam, lParam))
            return message == WM_CTLCOLORSTATIC || message == WM_ERASEBKGND ? result : 1;
        return Base::WindowProc(message, wParam, lParam);
    }

    // Creation, size and painting: true when the skin answered (with result).
    bool OnSkinPaintMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        switch (message)
        {
        case WM_CREATE:
            SetupSkin();
            m_backgroundBrush.DeleteObject();
            m_backgroundBrush.CreateSolidBrush(m_backgroundColour);
            return false; // the window's own creation goes on
        case WM_SIZE:
            RebuildSkin();
            return false;
        case WM_ERASEBKGND:
        {
            CDC dc;
            dc.Attach(reinterpret_cast<HDC>(wParam));
            DrawBackground(dc);
            dc.Detach();
            result = 1;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        {
            CDC dc;
            dc.Attach(reinterpret_cast<HDC>(wParam));
            dc.SetBkColor(m_backgroundColour);
            dc.SetTextColor(m_staticTextColour);
            result = reinterpret_cast<LRESULT>(OnSkinCtlColor(dc, reinterpret_cast<HWND>(lParam)));
            dc.Detach();
            return true;
        }
        default:
            return false;
        }
    }

    // The cursor, the system menu and dragging by the caption: true when the skin took it.
    bool OnSkinInputMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message)
        {
        case WM_SETCURSOR:
            return OnSkinSetCursor() != 0;
        case WM_SYSCOMMAND:
            return OnSkinSysCommand(static_cast<UINT>(wParam)) != 0;
        case WM_MOUSEMOVE:
            return OnSkinMouseMove(CPoint(lParam)) != 0;
        case WM_LBUTTONDOWN:
            return OnSkinLButtonDown(CPoint(lParam)) != 0;
        case WM_LBUTTONUP:
            return OnSkinLButtonUp() != 0;
        case WM_RBUTTONDOWN:
            return OnSkinRButtonDown(CPoint(lParam)) != 0;
        case WM_CAPTURECHANGED:
            return OnSkinCaptureChanged() != 0;
        default:
            return false;
        }
    }

    bool IsDragging() const { return m_dragging; }
    HBITMAP GetComposedBitmap() const { return m_composed; }

protected:
    // Repaints the composed bitmap at the client size, and the shape from it.
    void RebuildSkin()
    {
        CRect client;
        this->GetClientRect(&client);
        if (client.IsRectEmpty())
            return;
        {
            CClientDC windowDC(this);
            m_skinBitmap.DeleteObject();
            CBitmap loaded;
            if (loaded.LoadBitmap(m_skinBitmapId))
                ScaleToScreen(loaded, m_skinBitmap, m_shaped ? m_transparentColour : CLR_INVALID);
            m_composed.DeleteObject();
            m_composed.CreateBitmap(client.Width(), client.Height(), windowDC.GetDeviceCaps(PLANES),
                                    windowDC.GetDeviceCaps(BITSPIXEL), nullptr);
            CCompatibleDC memory(windowDC, m_composed);
            DrawSkin(memory, client);
        }
        m_skinBitmap.DeleteObject();
        m_patternBrush.DeleteObject();
        m_patternBrush.CreatePatternBrush(m_composed);
        if (m_shaped && BitmapToRegion(m_region, m_composed, m_transparentColour, 0))
        {
            // The window owns the region from here on.
            this->SetWindowRgn(static_cast<HRGN>(m_region.Detach()), TRUE);
        }
    }
    CPoint ToScreen(POINT p) const
    {
        CPoint screen(p);
        this->ClientToScreen(&screen);
        return screen;
    }

    UINT m_skinBitmapId;
    CBitmap m_composed;
    CBitmap m_skinBitmap;
    CBrush m_patternBrush;
    CRgn m_region;
    bool m_dragging;
    CPoint m_dragAnchor;
    CNineSlice m_slices;
    bool m_shaped;
    COLORREF m_transparentColour;
    COLORREF m_backgroundColour;
    COLORREF m_staticTextColour;
    CRect m_captionRect;
    CRect m_iconRect;
    HICON m_icon;
    HCURSOR m_cursor;
    CRect m_titleRect;
    CString m_title;
    COLORREF m_titleColour;
    CFont m_titleFont;
    CBrush m_backgroundBrush;
    CPoint m_systemMenuPoint;
};
} // namespace exmfc
