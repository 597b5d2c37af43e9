#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/scroll_state.h"

namespace {

// One paint of a control `height` pixels high: what it shows, then the step.
RowCopy Paint(ScrollState& state, int height) {
    state.BeginPaint(height);
    const RowCopy shown = state.VisibleRows(height);
    state.Advance();
    return shown;
}

TEST(ScrollState, HundredPixelControlRisesOnePixelPerPaintAndStartsOver) {
    ScrollState state;
    std::vector<RowCopy> paints;
    for (int n = 0; n < 402; ++n)
        paints.push_back(Paint(state, 100));
    struct Expected {
        int paint;  // counted from 1
        RowCopy shown;
    };
    const Expected table[] = {
        {1, {0, 100, 0}},    // nothing yet
        {2, {0, 99, 1}},     // the image's first row in the bottom row
        {3, {0, 98, 2}},     // one pixel higher
        {100, {0, 1, 99}},   // all but the last row
        {101, {0, 0, 100}},  // the whole image, its top at the control's top
        {102, {1, 0, 99}},   // leaving
        {200, {99, 0, 1}},   // only the image's last row, in the top row
        {201, {0, 100, 0}},  // nothing again: the cycle restarts
        {202, {0, 99, 1}},   // as the second paint
        {401, {0, 100, 0}},  // and the next cycle
    };
    for (const Expected& row : table) {
        const RowCopy& shown = paints[static_cast<size_t>(row.paint - 1)];
        EXPECT_EQ(shown.sourceTop, row.shown.sourceTop) << "paint " << row.paint;
        EXPECT_EQ(shown.targetTop, row.shown.targetTop) << "paint " << row.paint;
        EXPECT_EQ(shown.rows, row.shown.rows) << "paint " << row.paint;
    }
}

TEST(ScrollState, HeldStillItShowsTheSameRowsAndGoesOnFromThere) {
    for (const int held_after : {130, 100}) {  // 100: the pointer arrives as the block reaches the top
        ScrollState state;
        for (int n = 0; n < held_after; ++n)
            Paint(state, 100);
        state.scrolling = false;
        const RowCopy held = Paint(state, 100);
        for (int n = 0; n < 3; ++n) {
            const RowCopy again = Paint(state, 100);
            EXPECT_TRUE(again.sourceTop == held.sourceTop && again.targetTop == held.targetTop &&
                        again.rows == held.rows && held.rows > 50)
                << held_after;
        }
        state.scrolling = true;
        const int top = held.targetTop - held.sourceTop;
        const RowCopy next = Paint(state, 100);
        EXPECT_EQ(next.targetTop - next.sourceTop, top) << held_after << ": the held paint did not move it";
        const RowCopy after = Paint(state, 100);
        EXPECT_EQ(after.targetTop - after.sourceTop, top - 1) << held_after;
    }
}

TEST(ScrollState, ASmallerControlRestartsAStateLeftPastItsHeight) {
    ScrollState state;
    state.exitOffset = 80;  // left by a control 100 pixels high
    const RowCopy shown = Paint(state, 50);
    EXPECT_EQ(shown.rows, 0);
    EXPECT_TRUE(state.entering);
    EXPECT_EQ(state.entryTop, 49);
}

TEST(ScrollState, HotLineIsTheLinkLineUnderThePointer) {
    const auto lines_with_links = [] {
        // Cut to fit their fields.
        std::vector<ScrollLine> lines = {MakeScrollLine("plain", "", 0), MakeScrollLine("one", "a.htm", 4),
                                         MakeScrollLine(std::string(300, 't'), std::string(300, 'l'), 0)};
        EXPECT_EQ(std::string(lines[2].text.data()).size(), 254u);
        EXPECT_EQ(std::string(lines[2].link.data()).size(), 256u);
        lines[1].lineState = LineVisited;
        lines[0].lineState = LineHot;  // left from an earlier movement
        return lines;
    };
    struct Case {
        int content_y;
        int line_height;
        int hot_line;  // -1: none
    };
    const Case cases[] = {
        {0, 16, -1},  {15, 16, -1},                                           // a plain line never turns hot
        {16, 16, 1},  {31, 16, 1},   {32, 16, 2}, {47, 16, 2}, {48, 16, -1},  // below the last line
        {-1, 16, -1}, {-20, 16, -1},                                          // above the image
        {20, -1, -1},                                                         // line height not measured yet
    };
    for (const Case& c : cases) {
        std::vector<ScrollLine> lines = lines_with_links();
        EXPECT_EQ(MarkHotLine(lines, c.content_y, c.line_height), c.hot_line != -1) << c.content_y;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ((lines[i].lineState & LineHot) != 0, static_cast<int>(i) == c.hot_line) << c.content_y;
        EXPECT_EQ(lines[1].lineState & LineVisited, LineVisited);
    }

    ScrollState entering;
    entering.entering = true;
    entering.entryTop = 40;
    EXPECT_EQ(entering.ContentY(56), 16);
    ScrollState leaving;
    leaving.exitOffset = 10;
    EXPECT_EQ(leaving.ContentY(6), 16);
}

}  // namespace
