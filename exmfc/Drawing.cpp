#include "Drawing.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace exmfc
{
CCompatibleDC::CCompatibleDC(HDC dc, HBITMAP bitmap) : m_oldBitmap(nullptr)
{
    CreateCompatibleDC(dc);
    if (bitmap && m_hDC)
        m_oldBitmap = ::SelectObject(m_hDC, bitmap);
}

CCompatibleDC::~CCompatibleDC()
{
    // Deselect the bitmap so that its owner can delete it.
    if (m_oldBitmap && m_hDC)
        ::SelectObject(m_hDC, m_oldBitmap);
}

namespace
{
// A new 32-bit bottom-up DIB section of the given size in target; its pixels, or nullptr.
void* CreateDib32(int width, int height, CBitmap& target)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height; // positive: bottom-up
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                     nullptr, 0);
    if (!dib)
        return nullptr;
    target.Attach(dib);
    return bits;
}
} // namespace

bool BitmapTo32BitDib(HBITMAP source, CBitmap& target)
{
    BITMAP info = {};
    if (!source || !::GetObjectA(source, sizeof(info), &info) ||
        !CreateDib32(info.bmWidth, info.bmHeight, target))
        return false;
    CCompatibleDC sourceDC(nullptr, source);
    const HBITMAP dib = static_cast<HBITMAP>(target.GetSafeHandle());
    CCompatibleDC targetDC(sourceDC, dib);
    targetDC.BitBlt(0, 0, info.bmWidth, info.bmHeight, sourceDC, 0, 0, SRCCOPY);
    ::GdiFlush();
    return true;
}

namespace
{
// The pixels of a 32-bit copy of bitmap made in copy (bottom-up rows of blue, green, red
// and an unused byte), with its size; nullptr when no copy could be made.
BYTE* CopyPixels(HBITMAP bitmap, CBitmap& copy, int& width, int& height)
{
    DIBSECTION dib = {};
    if (!BitmapTo32BitDib(bitmap, copy) || !::GetObjectA(copy, sizeof(dib), &dib) || !dib.dsBm.bmBits)
        return nullptr;
    width = dib.dsBm.bmWidth;
    height = dib.dsBm.bmHeight;
    return static_cast<BYTE*>(dib.dsBm.bmBits);
}
} // namespace

int GetScreenDpi()
{
    static const int dpi = []
    {
        HDC screen = ::GetDC(nullptr);
        const int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen)
            ::ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int Scaled(int pixels)
{
    return ::MulDiv(pixels, GetScreenDpi(), 96);
}

CRect Scaled(const RECT& rect)
{
    return CRect(Scaled(rect.left), Scaled(rect.top), Scaled(rect.right), Scaled(rect.bottom));
}

bool ScaleToScreen(HBITMAP source, CBitmap& target, COLORREF transparent)
{
    CBitmap original;
    int width = 0, height = 0;
    DWORD* pixels = reinterpret_cast<DWORD*>(CopyPixels(source, original, width, height));
    if (!pixels)
        return false;
    if (GetScreenDpi() == 96 || width <= 0 || height <= 0)
    {
        target.Attach(original.Detach());
        return true;
    }
    const bool keyed = transparent != CLR_INVALID;
    const DWORD key =
        RGB(GetBValue(transparent), GetGValue(transparent), GetRValue(transparent)); // as stored
    auto isKey = [&](DWORD p) { return keyed && (p & 0xFFFFFF) == key; };
    // Transparent pixels take the colour of the nearest opaque one in their row, so that
    // smoothing does not bleed the key colour into the picture's edges.
    std::vector<DWORD> filled(pixels, pixels + static_cast<size_t>(width) * height);
    if (keyed)
        for (int y = 0; y < height; ++y)
        {
            DWORD* row = &filled[static_cast<size_t>(y) * width];
            const DWORD* keyRow = pixels + static_cast<size_t>(y) * width;
            int lastOpaque = -1;
            for (int x = 0; x < width; ++x)
                if (!isKey(keyRow[x]))
                {
                    for (int fill = lastOpaque + 1; fill < x; ++fill)
                        row[fill] =
                            lastOpaque >= 0 && fill - lastOpaque < x - fill ? keyRow[lastOpaque] : keyRow[x];
                    lastOpaque = x;
                }
            for (int fill = lastOpaque + 1; lastOpaque >= 0 && fill < width; ++fill)
                row[fill] = keyRow[lastOpaque];
        }
    CBitmap prepared;
    void* preparedBits = CreateDib32(width, height, prepared);
    if (!preparedBits)
        return false;
    std::memcpy(preparedBits, filled.data(), filled.size() * sizeof(DWORD));
    const int scaledWidth = Scaled(width), scaledHeight = Scaled(height);
    void* bits = CreateDib32(scaledWidth, scaledHeight, target);
    if (!bits)
        return false;
    const HBITMAP dib = static_cast<HBITMAP>(target.GetSafeHandle());
    {
        CCompatibleDC sourceDC(nullptr, prepared);
        CCompatibleDC targetDC(sourceDC, dib);
        ::SetStretchBltMode(targetDC, HALFTONE);
        ::SetBrushOrgEx(targetDC, 0, 0, nullptr);
        ::StretchBlt(targetDC, 0, 0, scaledWidth, scaledHeight, sourceDC, 0, 0, width, height, SRCCOPY);
        ::GdiFlush();
    }
    // The key colour where the nearest original pixel had it.
    if (keyed)
    {
        DWORD* out = static_cast<DWORD*>(bits);
        for (int y = 0; y < scaledHeight; ++y)
        {
            const int sy = std::min(height - 1, y * height / scaledHeight);
            for (int x = 0; x < scaledWidth; ++x)
            {
                const int sx = std::min(width - 1, x * width / scaledWidth);
                if (isKey(pixels[static_cast<size_t>(sy) * width + sx]))
                    out[static_cast<size_t>(y) * scaledWidth + x] = key;
            }
        }
    }
    return true;
}

bool GreyedCopy(HBITMAP source, CBitmap& target)
{
    int width = 0, height = 0;
    BYTE* pixel = CopyPixels(source, target, width, height);
    if (!pixel)
        return false;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (count == 0)
        return true;
    // The corner's colour is the face's background: everything else fades halfway
    // towards it, its colour half gone, so the button reads as switched off and its
    // background stays as it was.
    const BYTE background[3] = {pixel[0], pixel[1], pixel[2]};
    for (size_t i = 0; i < count; ++i, pixel += 4)
    {
        const int grey = (pixel[0] * 29 + pixel[1] * 150 + pixel[2] * 77) >> 8; // B, G, R
        for (int c = 0; c < 3; ++c)
            pixel[c] = static_cast<BYTE>(((pixel[c] + grey) / 2 + background[c]) / 2);
    }
    return true;
}

namespace
{
const DWORD kBatch = 1000;

// Rectangles collected for one ExtCreateRegion call.
class CRunBuffer
{
public:
    CRunBuffer() : m_bytes(sizeof(RGNDATAHEADER) + kBatch * sizeof(RECT)) { Reset(); }
    RGNDATA* Data() { return reinterpret_cast<RGNDATA*>(m_bytes.data()); }
    void Reset()
    {
        RGNDATAHEADER& h = Data()->rdh;
        h.dwSize = sizeof(RGNDATAHEADER);
        h.iType = RDH_RECTANGLES;
        h.nCount = 0;
        h.nRgnSize = 0;
        SetRect(&h.rcBound, LONG_MAX, LONG_MAX, 0, 0);
    }
    bool Add(int x1, int y, int x2)
    {
        RGNDATAHEADER& h = Data()->rdh;
        RECT* rects = reinterpret_cast<RECT*>(Data()->Buffer);
        SetRect(&rects[h.nCount], x1, y, x2, y + 1);
        h.rcBound.left = std::min<LONG>(h.rcBound.left, x1);
        h.rcBound.top = std::min<LONG>(h.rcBound.top, y);
        h.rcBound.right = std::max<LONG>(h.rcBound.right, x2);
        h.rcBound.bottom = std::max<LONG>(h.rcBound.bottom, y + 1);
        return ++h.nCount == kBatch;
    }
    // Adds the collected rectangles to target and starts again.
    void Flush(CRgn& target)
    {
        DWORD count = Data()->rdh.nCount;
        if (count == 0)
            return;
        HRGN part = ::ExtCreateRegion(nullptr, sizeof(RGNDATAHEADER) + count * sizeof(RECT), Data());
        if (part)
        {
            target.CombineRgn(target, part, RGN_OR);
            ::DeleteObject(part);
        }
        Reset();
    }

private:
    std::vector<BYTE> m_bytes;
};

BYTE High(BYTE low, BYTE tolerance)
{
    return static_cast<BYTE>(std::min(255, low + tolerance));
}
} // namespace

bool BitmapToRegion(CRgn& target, HBITMAP bitmap, COLORREF transparent, COLORREF tolerance)
{
    target.DeleteObject();
    target.CreateRectRgn(0, 0, 0, 0);
    CBitmap copy;
    int width = 0, height = 0;
    const BYTE* pixels = CopyPixels(bitmap, copy, width, height);
    if (!pixels)
        return false;
    const int stride = ((width * 32 + 31) / 32) * 4;

    const BYTE lowR = GetRValue(transparent), lowG = GetGValue(transparent), lowB = GetBValue(transparent);
    const BYTE highR = High(lowR, GetRValue(tolerance)), highG = High(lowG, GetGValue(tolerance)),
               highB = High(lowB, GetBValue(tolerance));

    CRunBuffer buffer;
    // The copy is bottom-up: the picture's top row is the last one stored.
    const BYTE* row = pixels + static_cast<size_t>(height - 1) * stride;
    for (int y = 0; y < height; ++y, row -= stride)
    {
        int x = 0;
        while (x < width)
        {
            auto isTransparent = [&](int px)
            {
                const BYTE* p = row + px * 4; // blue, green, red, unused
                return p[2] >= lowR && p[2] <= highR && p[1] >= lowG && p[1] <= highG && p[0] >= lowB &&
                       p[0] <= highB;
            };
            while (x < width && isTransparent(x))
                ++x;
            int start = x;
            while (x < width && !isTransparent(x))
                ++x;
            if (x > start && buffer.Add(start, y, x))
                buffer.Flush(target);
        }
    }
    buffer.Flush(target);
    return true;
}

void PaintFace(CDC& dc, HBITMAP face, const RECT& rect, int mode)
{
    if (!face)
        return;
    BITMAP info = {};
    ::GetObjectA(face, sizeof(info), &info);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    switch (mode)
    {
    case DRAW_NORMAL:
    {
        CCompatibleDC source(dc, face);
        dc.BitBlt(rect.left, rect.top, std::min(w, (int)info.bmWidth), std::min(h, (int)info.bmHeight),
                  source, 0, 0, SRCCOPY);
        break;
    }
    case DRAW_STRETCHED:
    {
        CCompatibleDC source(dc, face);
        dc.StretchBlt(rect.left, rect.top, w, h, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        break;
    }
    case DRAW_TILED:
    {
        HBRUSH brush = ::CreatePatternBrush(face);
        dc.FillRect(rect, brush);
        ::DeleteObject(brush);
        break;
    }
    default:
        break;
    }
}

void PaintMaskedFace(CDC& dc, HBITMAP face, HBITMAP mask, const RECT& rect, int mode)
{
    if (mode == DRAW_TILED || !mask)
    {
        PaintFace(dc, face, rect, mode);
        return;
    }
    if (!face)
        return;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    BITMAP info = {};
    ::GetObjectA(face, sizeof(info), &info);
    CBitmap work;
    work.CreateCompatibleBitmap(dc, w, h);
    {
        CCompatibleDC workDC(dc, work);
        workDC.BitBlt(0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
        CCompatibleDC faceDC(dc, face);
        CCompatibleDC maskDC(dc, mask);
        if (mode == DRAW_NORMAL)
        {
            workDC.BitBlt(0, 0, w, h, faceDC, 0, 0, SRCINVERT);
            workDC.BitBlt(0, 0, w, h, maskDC, 0, 0, SRCAND);
            workDC.BitBlt(0, 0, w, h, faceDC, 0, 0, SRCINVERT);
        }
        else
        {
            workDC.StretchBlt(0, 0, w, h, faceDC, 0, 0, info.bmWidth, info.bmHeight, SRCINVERT);
            workDC.StretchBlt(0, 0, w, h, maskDC, 0, 0, info.bmWidth, info.bmHeight, SRCAND);
            workDC.StretchBlt(0, 0, w, h, faceDC, 0, 0, info.bmWidth, info.bmHeight, SRCINVERT);
        }
        dc.BitBlt(rect.left, rect.top, w, h, workDC, 0, 0, SRCCOPY);
    }
}

void DrawEmbossedText(CDC& dc, const char* text, const RECT& rect, UINT format)
{
    int saved = dc.SaveDC();
    RECT r = rect;
    ::OffsetRect(&r, 1, 1);
    dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.DrawText(text, r, format);
    ::OffsetRect(&r, -1, -1);
    dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
    dc.DrawText(text, r, format);
    dc.RestoreDC(saved);
}

CString IntToText(int value, int radix)
{
    char text[40];
    _itoa_s(value, text, sizeof(text), radix);
    return CString(text);
}
} // namespace exmfc
