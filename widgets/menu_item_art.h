#pragma once

#include <cstdint>

#include "widgets/menu_placement.h"

// The drawn parts of a bitmap menu item that follow from numbers alone: the submenu arrow and the colours an item
// picture takes on.

// A right-pointing triangle, in the item list's client pixels, and the point its flood fill starts from.
struct ArrowTriangle {
    ScreenPoint top;
    ScreenPoint tip;
    ScreenPoint bottom;
    ScreenPoint fill;
};

// The arrow of an item with a submenu, sized by the system's menu check-mark width.
ArrowTriangle SubmenuArrow(const ScreenRect& item, int check_width);

// The current system colours a picture is mapped to, as 0x00BBGGRR values.
struct MenuColours {
    uint32_t buttonText = 0;
    uint32_t buttonShadow = 0;
    uint32_t buttonHighlight = 0;
    uint32_t highlight = 0;
    uint32_t menu = 0;
};

// The colour one pixel of an item picture is drawn in: the four standard colours black, dark grey, light grey and
// white become the user's colours, light grey the item's background; a grayed picture keeps its colours (it is
// drawn as a silhouette instead).
uint32_t RecolorPixel(uint32_t colour, bool grayed, bool hot, const MenuColours& colours);
