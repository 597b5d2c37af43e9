#pragma once

// Where the help window's two panes go, worked out from the client area alone so it can be tested without a
// window. Sizes are device pixels (DevPx) at `dpi`; the constants behind them are pixels at 96 dpi.
struct PaneRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct HelpLayout {
    PaneRect topics;  // the list of topic titles, at the left
    PaneRect text;    // the selected topic's text, filling the rest
};

struct ClientSize {
    int width_dev_px = 0;
    int height_dev_px = 0;
};

// The smallest client area in which both panes stay usable; the window refuses to shrink below it.
ClientSize HelpMinimumClient(int dpi);

// A client area smaller than the minimum (a minimised window reports 0 x 0) is laid out as the minimum, so no
// pane ever gets a negative size. `widest_title_dev_px` is the width of the longest topic title in the list's font;
// the list grows to show it whole when the window has room for that.
HelpLayout LayoutHelp(ClientSize client, int dpi, int widest_title_dev_px);
