#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

// How one row of a bitmap menu looks: background, picture, text and submenu arrow, in the system's menu colours.

// Paints the item `info` into `rect` of `dc`: highlighted when hot, gray (and embossed when not hot) when grayed.
void PaintMenuItem(HDC dc, const RECT& rect, const MENUITEMINFOA& info, bool hot, HFONT font);

// Draws an item picture centred in `square` (the middle of it when it is larger): `bitmap`, recoloured to the
// user's colours, or the system's check mark when `bitmap` is null. A checked picture is framed, and its
// background dithered (or plain menu colour when hot).
void DrawItemImage(HDC dc, const RECT& square, bool hot, HBITMAP bitmap, bool checked, bool grayed);

// A copy of `bitmap` with the standard colours mapped to the current system colours; a grayed copy is monochrome.
UniqueBitmap RecolorImage(HDC dc, HBITMAP bitmap, bool grayed, bool hot);
