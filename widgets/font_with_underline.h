#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

// A copy of `font` with underlining switched on or off; empty when `font` cannot be read.
inline UniqueFont FontWithUnderline(HFONT font, bool underline) {
    LOGFONTA description{};
    if (::GetObjectA(font, sizeof description, &description) == 0)
        return UniqueFont();
    description.lfUnderline = underline ? TRUE : FALSE;
    return UniqueFont(::CreateFontIndirectA(&description));
}
