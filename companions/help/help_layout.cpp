#include "companions/help/help_layout.h"

#include <algorithm>

namespace {

constexpr int kMarginPx96 = 8;
constexpr int kGapPx96 = 6;
constexpr int kMinListPx96 = 150;
// Room around the widest title: the item's inner margins and a vertical scroll bar, should the list need one.
constexpr int kListPaddingPx96 = 8 + 18;
constexpr int kMinTextWidthPx96 = 260;
constexpr int kMinHeightPx96 = 240;

int Scale(int px96, int dpi) {
    // Rounded like MulDiv, which the Win32 side would use.
    return (px96 * dpi + 48) / 96;
}

}  // namespace

ClientSize HelpMinimumClient(int dpi) {
    // Summed after scaling, as LayoutHelp places them, so rounding cannot take a pixel from the text.
    return {
        2 * Scale(kMarginPx96, dpi) + Scale(kMinListPx96, dpi) + Scale(kGapPx96, dpi) + Scale(kMinTextWidthPx96, dpi),
        Scale(kMinHeightPx96, dpi)};
}

HelpLayout LayoutHelp(ClientSize client, int dpi, int widest_title_dev_px) {
    const ClientSize minimum = HelpMinimumClient(dpi);
    const int width = std::max(client.width_dev_px, minimum.width_dev_px);
    const int height = std::max(client.height_dev_px, minimum.height_dev_px);
    const int margin = Scale(kMarginPx96, dpi);
    const int gap = Scale(kGapPx96, dpi);
    // The list is as wide as its widest title, but never wider than half the window nor so wide that the text
    // pane drops below its own minimum; the text takes the rest.
    const int min_list = Scale(kMinListPx96, dpi);
    const int room = width - 2 * margin - gap - Scale(kMinTextWidthPx96, dpi);
    const int most = std::max(min_list, std::min(width / 2, room));
    const int list_width = std::clamp(widest_title_dev_px + Scale(kListPaddingPx96, dpi), min_list, most);
    const int pane_height = height - 2 * margin;

    HelpLayout layout;
    layout.topics = {margin, margin, list_width, pane_height};
    const int text_x = margin + list_width + gap;
    layout.text = {text_x, margin, width - margin - text_x, pane_height};
    return layout;
}
