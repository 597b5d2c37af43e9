#pragma once

#include <windows.h>

// Paints the main window's background: blue bands growing lighter downwards, the green title banner and the
// program's name with its version. The controls paint themselves on top.
void PaintBanner(HDC hdc, const RECT& client);

// The colour of band k (counted from 0 at the top); each band is a row of 12-pixel cells, 10 pixels apart.
COLORREF BandColor(int k);
