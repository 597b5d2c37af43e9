#pragma once

// Where the bitmap popup menus go on the screen. Pure geometry, in device pixels of the screen.

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct PopupSize {
    int width = 0;
    int height = 0;
};

// Top-left corner of a top-level menu opened at `at`: right and down from the point if it fits, else left-down,
// right-up, left-up; right-down anyway when nothing fits. Reaching an edge of `desktop` counts as not fitting.
ScreenPoint PlaceMenu(const ScreenRect& desktop, ScreenPoint at, PopupSize size);

// Top-left corner of a submenu beside `item` (the item's row, widened to the left edge of its popup): right of it
// going down, right going up, left going down, left going up. When none fits, the submenu keeps to a side that has
// room and is pushed inside the desktop, so it never opens out of sight.
ScreenPoint PlaceSubmenu(const ScreenRect& desktop, const ScreenRect& item, PopupSize size);
