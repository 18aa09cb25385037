#include "Fonts.h"

#include <map>
#include <memory>

namespace exmfc
{
namespace
{
const CFontRow kFontTable[] = {
    {FONT_CREATE, FONT_TITLE, 0, "Tahoma", 13, FONT_BOLD | FONT_ITALIC, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_BUTTON, 0, "Tahoma", 8, FONT_BOLD, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_TEXT, 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_BOLD_TEXT, 0, "Tahoma", 8, FONT_BOLD, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_LIST, 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_SMALL, 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_ARIAL, 0, "Arial", 14, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_ARIAL_ALT, 0, "Arial", 14, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_SYMBOLS, 0, "Wingdings", 16, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_CREATE, FONT_LIST_BUTTON, 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FONT_END, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, 0},
};

std::map<int, std::unique_ptr<CFont>>& Registry()
{
    static std::map<int, std::unique_ptr<CFont>> registry;
    return registry;
}

// Built during static initialisation, before any window exists.
struct CBuildAtStart
{
    CBuildAtStart() { BuildFontRegistry(kFontTable); }
} g_buildAtStart;
} // namespace

const CFontRow* GetFontTable()
{
    return kFontTable;
}

void BuildFontRegistry(const CFontRow* table)
{
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    for (const CFontRow* row = table; row->kind != FONT_END; ++row)
    {
        std::unique_ptr<CFont> font(new CFont);
        if (row->kind == FONT_CREATE)
        {
            int height = -::MulDiv(row->points, dpi, 72);
            font->CreateFont(height, 0, 0, 0, (row->style & FONT_BOLD) ? FW_BOLD : FW_NORMAL,
                             (row->style & FONT_ITALIC) ? 1 : 0, (row->style & FONT_UNDERLINE) ? 1 : 0,
                             (row->style & FONT_STRIKEOUT) ? 1 : 0, row->charSet, row->outPrecision,
                             row->clipPrecision, row->quality, row->pitchAndFamily, row->face);
        }
        else if (row->kind == FONT_STOCK)
            font->CreateStockObject(row->stockId);
        else
            continue;
        Registry()[row->key] = std::move(font);
    }
}

CFont* GetFont(int key)
{
    auto it = Registry().find(key);
    return it == Registry().end() ? nullptr : it->second.get();
}

HFONT GetFontHandle(int key)
{
    CFont* font = GetFont(key);
    return font ? static_cast<HFONT>(font->GetSafeHandle()) : nullptr;
}

bool CopyFont(const CFont* source, CFont& target)
{
    target.DeleteObject();
    LOGFONTA logFont = {};
    if (!source || !source->GetSafeHandle() || !source->GetLogFont(&logFont))
        return false;
    return target.CreateFontIndirect(&logFont) != FALSE;
}
} // namespace exmfc
