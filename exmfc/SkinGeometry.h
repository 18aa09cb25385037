// Non-template pieces of the window skin: nine-slice geometry and the system menu.
#pragma once

#include <windows.h>

namespace exmfc
{
// One of the nine pieces: destination and source as x, y, width, height.
struct CSkinPiece
{
    int dx, dy, dw, dh;
    int sx, sy, sw, sh;
};

// Sizes of the skin's pieces: left, middle, right widths and top, middle, bottom
// heights; 0 takes the default third (the last piece takes the remainder).
struct CNineSlice
{
    int left = 0, middle = 0, right = 0;
    int top = 0, middleHeight = 0, bottom = 0;
};

// The nine pieces, in painting order: top-left, top-right, top edge, left edge,
// bottom-left, bottom edge, bottom-right, right edge, centre.
void ComputeSkinPieces(int skinWidth, int skinHeight, const CNineSlice& sizes, const RECT& target,
                       CSkinPiece pieces[9]);

// Greys or enables the system menu's items for the window's state and style.
void AdjustSystemMenu(HWND window);
// Pops up the window's system menu at a screen point and posts the chosen command.
void ShowSystemMenu(HWND window, POINT screenPoint, bool adjust);
} // namespace exmfc
