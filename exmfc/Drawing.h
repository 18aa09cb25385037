// Drawing helpers of the skin toolkit: memory DCs, regions from bitmaps, face painting.
#pragma once

#include "afx/Gdi.h"

namespace exmfc
{
// A memory DC compatible with a DC (or the screen), with a bitmap selected when given.
// The DC is deleted with the object; the bitmap is not owned.
class CCompatibleDC : public CDC
{
public:
    explicit CCompatibleDC(HDC dc = nullptr, HBITMAP bitmap = nullptr);
    ~CCompatibleDC() override;

private:
    HGDIOBJ m_oldBitmap;
};

// A 32-bit bottom-up DIB copy of a bitmap, whose pixels can be read in memory.
bool BitmapTo32BitDib(HBITMAP source, CBitmap& target);

// The screen's DPI, read once; 96 when it cannot be read.
int GetScreenDpi();
// A length in pixels at 96 DPI, at the screen's DPI.
int Scaled(int pixels);
CRect Scaled(const RECT& rect);
// A copy of a bitmap at the screen's DPI (an exact copy at 96). Colours are smoothed;
// pixels of the transparent colour (CLR_INVALID for none) stay exactly that colour, with
// edges as sharp as the original's, so that a region or mask cut from it stays clean.
bool ScaleToScreen(HBITMAP source, CBitmap& target, COLORREF transparent);

// A greyed copy of a face, for a button whose strip has no disabled face: its colours
// half gone and faded halfway towards its corner's (its background).
bool GreyedCopy(HBITMAP source, CBitmap& target);

// Makes target the union of the bitmap's non-transparent pixels, one rectangle per run
// of a row. A pixel is transparent when each channel lies in [c, min(c + tolerance, 255)].
bool BitmapToRegion(CRgn& target, HBITMAP bitmap, COLORREF transparent, COLORREF tolerance);

enum DrawMode
{
    DRAW_NORMAL = 0,
    DRAW_STRETCHED = 1,
    DRAW_TILED = 2
};

void PaintFace(CDC& dc, HBITMAP face, const RECT& rect, int mode);
// Where the mask is black the face shows; where white the background stays.
void PaintMaskedFace(CDC& dc, HBITMAP face, HBITMAP mask, const RECT& rect, int mode);
// Disabled-looking text: highlight offset by (1, 1), then grey text in place.
void DrawEmbossedText(CDC& dc, const char* text, const RECT& rect, UINT format);
CString IntToText(int value, int radix = 10);
} // namespace exmfc
