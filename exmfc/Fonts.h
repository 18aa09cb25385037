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

// The keys of the program's fonts, by what they are for.
enum FontKey
{
    FONT_TITLE = 0,       // Tahoma 13 bold italic: window titles, the About page's name
    FONT_BUTTON = 1,      // Tahoma 8 bold: the captions of text buttons
    FONT_ARIAL = 2,       // Arial 14
    FONT_ARIAL_ALT = 3,   // Arial 14, a second handle
    FONT_SMALL = 4,       // Tahoma 8
    FONT_TEXT = 5,        // Tahoma 8: page texts, check boxes, lists, tabs
    FONT_BOLD_TEXT = 6,   // Tahoma 8 bold
    FONT_LIST = 7,        // Tahoma 8: the rows of the scan list
    FONT_SYMBOLS = 8,     // Wingdings 16
    FONT_LIST_BUTTON = 9, // Tahoma 8: the scan list's "Details..." cells
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
// Its handle, or nullptr.
HFONT GetFontHandle(int key);
// Builds the registry from a table (done at start for the program's table).
void BuildFontRegistry(const CFontRow* table);
// Replaces what target holds with a new font made from the source's LOGFONT.
bool CopyFont(const CFont* source, CFont& target);
} // namespace exmfc
