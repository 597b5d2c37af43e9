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
    // In between, the image's top (in control rows) moves up by exactly one pixel at every paint.
    for (size_t n = 2; n < 200; ++n) {
        const int top = paints[n].targetTop - paints[n].sourceTop;
        const int before = paints[n - 1].targetTop - paints[n - 1].sourceTop;
        EXPECT_EQ(top, before - 1) << "paint " << n + 1;
        EXPECT_EQ(paints[n].rows, 100 - (top < 0 ? -top : top)) << "paint " << n + 1;
    }
}

TEST(ScrollState, PausedPaintsShowTheSameRowsAndResumeFromThere) {
    ScrollState state;
    for (int n = 0; n < 130; ++n)
        Paint(state, 100);
    state.scrolling = false;
    const RowCopy paused = Paint(state, 100);
    for (int n = 0; n < 5; ++n) {
        const RowCopy again = Paint(state, 100);
        EXPECT_EQ(again.sourceTop, paused.sourceTop);
        EXPECT_EQ(again.rows, paused.rows);
    }
    state.scrolling = true;
    EXPECT_EQ(Paint(state, 100).sourceTop, paused.sourceTop);
    EXPECT_EQ(Paint(state, 100).sourceTop, paused.sourceTop + 1);
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
        std::vector<ScrollLine> lines = {MakeScrollLine("plain", "", 0), MakeScrollLine("one", "a.htm", 4),
                                         MakeScrollLine("two", "b.htm", 0)};
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

TEST(ScrollState, LinesKeepTheirFieldsWithinTheRecord) {
    const ScrollLine line = MakeScrollLine(std::string(300, 't'), std::string(300, 'l'), -3);
    EXPECT_EQ(std::string(line.text.data()), std::string(254, 't'));
    EXPECT_EQ(std::string(line.link.data()), std::string(256, 'l'));
    EXPECT_EQ(line.xOffset, -3);
    EXPECT_EQ(line.lineState, 0u);
    EXPECT_FALSE(HasLink(MakeScrollLine("text", "", 0)));
}

}  // namespace
