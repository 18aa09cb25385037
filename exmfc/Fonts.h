// The program-wide font registry: fonts by a small integer key, built once at start.
#pragma once

#include "afx/Gdi.h"

namespace exmfc
{
enum FontRowKind
{
    FONT_END = 0,
    FONT_CREATE = 1,
    FONT_STOCK = 2
};

enum FontStyle
{
    FONT_BOLD = 1,
    FONT_ITALIC = 2,
    FONT_UNDERLINE = 4,
    FONT_STRIKEOUT = 8
};

struct CFontRow
{
    int kind;
    int key;
    int stockId;
    const char* face;
    int points;
    int style;
    BYTE charSet;
    BYTE outPrecision;
    BYTE clipPrecision;
    BYTE quality;
    BYTE pitchAndFamily;
};

// The program's table, ending with a row of kind FONT_END.
const CFontRow* GetFontTable();
// The registry's font for key, or nullptr for a key not in the table.
CFont* GetFont(int key);
// Builds the registry from a table (done at start for the program's table).
void BuildFontRegistry(const CFontRow* table);
// Replaces what target holds with a new font made from the source's LOGFONT.
bool CopyFont(const CFont* source, CFont& target);
} // namespace exmfc
