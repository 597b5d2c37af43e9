#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// The lines of a scrolling static and the state that moves them: the image of all lines rises from the control's
// bottom edge until its top reaches the control's top, then rises on and leaves at the top, and starts again.

// One line as the control keeps it: a fixed record of 520 bytes.
struct ScrollLine {
    std::array<char, 255> text{};  // NUL-terminated, at most 254 characters
    std::array<char, 257> link{};  // what a click opens, NUL-terminated; empty: a plain line
    int32_t xOffset = 0;           // left indent, pixels
    uint32_t lineState = 0;        // LineHot | LineVisited
};
static_assert(sizeof(ScrollLine) == 520, "a line is one fixed record");

constexpr uint32_t LineHot = 1;      // under the mouse
constexpr uint32_t LineVisited = 2;  // its link was opened

// Texts and links longer than their fields are cut to fit.
ScrollLine MakeScrollLine(std::string_view text, std::string_view link, int32_t indent);
inline bool HasLink(const ScrollLine& line) {
    return line.link[0] != '\0';
}

// Sets LineHot on the link line whose band [line_height * i, line_height * (i + 1)) holds `content_y` and clears
// it on every other line; a `line_height` of -1 (not measured yet) marks none. True when a line is hot.
bool MarkHotLine(std::vector<ScrollLine>& lines, int content_y, int line_height);

// Image rows [sourceTop, sourceTop + rows) go to control rows from targetTop; nothing when rows <= 0.
struct RowCopy {
    int sourceTop;
    int targetTop;
    int rows;
};

// Where the image stands. The controls of a process share one (they continue where the last one stopped); the
// state itself is a plain value so that every test can have its own.
struct ScrollState {
    bool scrolling = true;  // the image moves at each paint
    bool entering = false;  // rising from the bottom edge; false while leaving at the top
    int entryTop = 0;       // while entering: pixels from the control's top to the image's top
    int exitOffset = 0;     // while leaving: image rows already gone past the top
    bool firstPaint = true;

    // Before a paint of a control `height` pixels high: turns from one phase to the next, unless held still.
    void BeginPaint(int height);
    // The rows a paint shows, once the image is drawn.
    RowCopy VisibleRows(int height) const;
    // After the copy: one pixel on while scrolling.
    void Advance();
    // A control's client y in the image's coordinates.
    int ContentY(int client_y) const { return client_y + exitOffset - entryTop; }
};
