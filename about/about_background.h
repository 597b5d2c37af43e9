#pragma once

#include <windows.h>

// Fills `rect` with bitmap 272 tiled as a pattern: the background of the splash and of the about box.
void FillWithAboutPattern(HINSTANCE instance, HDC dc, const RECT& rect);
