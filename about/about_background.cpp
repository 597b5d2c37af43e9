#include "about/about_background.h"

#include "framework/unique_handle.h"
#include "resources/tolvane_resource.h"

void FillWithAboutPattern(HINSTANCE instance, HDC dc, const RECT& rect) {
    UniqueBitmap picture(::LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_ABOUT_BACKGROUND)));
    UniqueBrush pattern(::CreatePatternBrush(picture.Get()));
    if (pattern)
        ::FillRect(dc, &rect, pattern.Get());
}
