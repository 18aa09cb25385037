#include "Gdi.h"

#include "Wnd.h"

bool CGdiObject::Attach(HGDIOBJ handle)
{
    DeleteObject();
    m_hObject = handle;
    return handle != nullptr;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

int CGdiObject::GetObject(int size, void* buffer) const
{
    return m_hObject ? ::GetObjectA(m_hObject, size, buffer) : 0;
}

BOOL CBitmap::LoadBitmap(UINT resourceId, HINSTANCE module)
{
    return Attach(::LoadBitmapA(module ? module : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc, width, height));
}

CSize CBitmap::GetSize() const
{
    BITMAP info = {};
    if (!GetBitmap(&info))
        return CSize();
    return CSize(info.bmWidth, info.bmHeight);
}

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }

BOOL CBrush::CreatePatternBrush(const CBitmap& bitmap) { return Attach(::CreatePatternBrush(bitmap)); }

BOOL CPen::CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }

BOOL CRgn::CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }

BOOL CRgn::CreateFromData(const XFORM* transform, int size, const RGNDATA* data)
{
    return Attach(::ExtCreateRegion(transform, static_cast<DWORD>(size), data));
}

int CRgn::CombineRgn(HRGN a, HRGN b, int mode) { return m_hObject ? ::CombineRgn(*this, a, b, mode) : ERROR; }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName)
{
    return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                charSet, outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* font) { return Attach(::CreateFontIndirectA(font)); }

BOOL CFont::CreateStockObject(int id) { return Attach(::GetStockObject(id)); }

CDC::~CDC() { DeleteDC(); }

bool CDC::Attach(HDC dc)
{
    DeleteDC();
    m_hDC = dc;
    m_owned = false;
    return dc != nullptr;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_owned = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(HDC dc)
{
    DeleteDC();
    m_hDC = ::CreateCompatibleDC(dc);
    m_owned = m_hDC != nullptr;
    return m_hDC != nullptr;
}

BOOL CDC::DeleteDC()
{
    BOOL ok = FALSE;
    if (m_hDC && m_owned)
        ok = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_owned = false;
    return ok;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color)
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT old = {};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_ps(), m_hWnd(wnd->GetSafeHwnd()) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) { m_hDC = ::GetDC(m_hWnd); }

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}
