#include "widgets/menu_placement.h"

#include <algorithm>
#include <optional>

namespace {

bool FitsRightOf(const ScreenRect& desktop, int x, PopupSize size) {
    return x + size.width < desktop.right;
}
bool FitsLeftOf(const ScreenRect& desktop, int x, PopupSize size) {
    return x - size.width > desktop.left;
}
bool FitsBelow(const ScreenRect& desktop, int y, PopupSize size) {
    return y + size.height < desktop.bottom;
}
bool FitsAbove(const ScreenRect& desktop, int y, PopupSize size) {
    return y - size.height > desktop.top;
}

enum class Side { Right, Left };
enum class Way { Down, Up };

// One trial: a corner of the popup at `corner`, the popup extending to `side` and `way` from it.
std::optional<ScreenPoint> Trial(const ScreenRect& desktop, ScreenPoint corner, Side side, Way way, PopupSize size) {
    const bool fits_across =
        side == Side::Right ? FitsRightOf(desktop, corner.x, size) : FitsLeftOf(desktop, corner.x, size);
    const bool fits_along = way == Way::Down ? FitsBelow(desktop, corner.y, size) : FitsAbove(desktop, corner.y, size);
    if (!fits_across || !fits_along)
        return std::nullopt;
    return ScreenPoint{side == Side::Right ? corner.x : corner.x - size.width,
                       way == Way::Down ? corner.y : corner.y - size.height};
}

int Clamp(int value, int low, int high) {
    // A popup larger than the desktop shows its top-left part.
    return std::max(low, std::min(value, high));
}

}  // namespace

ScreenPoint PlaceMenu(const ScreenRect& desktop, ScreenPoint at, PopupSize size) {
    const std::pair<Side, Way> trials[] = {
        {Side::Right, Way::Down}, {Side::Left, Way::Down}, {Side::Right, Way::Up}, {Side::Left, Way::Up}};
    for (const auto& [side, way] : trials) {
        if (const auto placed = Trial(desktop, at, side, way, size))
            return *placed;
    }
    return at;
}

ScreenPoint PlaceSubmenu(const ScreenRect& desktop, const ScreenRect& item, PopupSize size) {
    const std::pair<ScreenPoint, std::pair<Side, Way>> trials[] = {
        {{item.right, item.top}, {Side::Right, Way::Down}},
        {{item.right, item.bottom}, {Side::Right, Way::Up}},
        {{item.left, item.top}, {Side::Left, Way::Down}},
        {{item.left, item.bottom}, {Side::Left, Way::Up}},
    };
    for (const auto& [corner, direction] : trials) {
        if (const auto placed = Trial(desktop, corner, direction.first, direction.second, size))
            return *placed;
    }
    int x = item.right;
    if (!FitsRightOf(desktop, item.right, size) && FitsLeftOf(desktop, item.left, size))
        x = item.left - size.width;
    int y = item.top;
    if (!FitsBelow(desktop, item.top, size) && FitsAbove(desktop, item.bottom, size))
        y = item.bottom - size.height;
    return {Clamp(x, desktop.left, desktop.right - size.width), Clamp(y, desktop.top, desktop.bottom - size.height)};
}
