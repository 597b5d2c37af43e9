#include "widgets/menu_item_art.h"

ArrowTriangle SubmenuArrow(const ScreenRect& item, int check_width) {
    const int c = check_width;
    const int margin = 3 * c / 10;
    const int box_left = item.right - 3 * c / 4;
    const int box_top = item.top + (item.bottom - item.top - c) / 2;
    const int x1 = box_left + margin;
    const int x2 = box_left + c - margin;
    const int top = box_top + margin;
    const int half_height = (c - 2 * margin) / 2;
    return {{x1, top}, {x1 + (x2 - x1) / 2, top + half_height}, {x1, top + 2 * half_height}, {x1 + 1, top + 2}};
}

uint32_t RecolorPixel(uint32_t colour, bool grayed, bool hot, const MenuColours& colours) {
    if (grayed)
        return colour;
    switch (colour) {
        case 0x000000:
            return colours.buttonText;
        case 0x808080:
            return colours.buttonShadow;
        case 0xC0C0C0:
            return hot ? colours.highlight : colours.menu;
        case 0xFFFFFF:
            return colours.buttonHighlight;
        default:
            return colour;
    }
}
