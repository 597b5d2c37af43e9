#include "widgets/scroll_state.h"

#include <algorithm>

namespace {

template <size_t N>
void CopyCut(std::array<char, N>& field, std::string_view text) {
    const size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field.begin());
    field[length] = '\0';
}

}  // namespace

ScrollLine MakeScrollLine(std::string_view text, std::string_view link, int32_t indent) {
    ScrollLine line;
    CopyCut(line.text, text);
    CopyCut(line.link, link);
    line.xOffset = indent;
    return line;
}

bool MarkHotLine(std::vector<ScrollLine>& lines, int content_y, int line_height) {
    // Compared as unsigned: a point above the image (negative) lies in no band.
    const auto y = static_cast<uint32_t>(content_y);
    const auto height = static_cast<uint32_t>(line_height);
    bool any_hot = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        ScrollLine& line = lines[i];
        line.lineState &= ~LineHot;
        const auto band_top = static_cast<uint32_t>(height * i);
        if (HasLink(line) && line_height != -1 && band_top <= y && y < band_top + height) {
            line.lineState |= LineHot;
            any_hot = true;
        }
    }
    return any_hot;
}

void ScrollState::BeginPaint(int height) {
    // Held still, the image keeps its phase: the whole block at the top, between entering and leaving, would
    // otherwise turn into an empty control under the pointer.
    if (!scrolling)
        return;
    if (!entering && exitOffset == 0 && entryTop == 0) {
        entering = true;
        entryTop = height;
    }
    if (entering && entryTop == 0) {
        exitOffset = 0;
        entering = false;
    }
    // At or past the height: a smaller control than the one that stepped the state last would otherwise wait for
    // an offset it has already passed and never show its lines again.
    if (!entering && exitOffset >= height) {
        exitOffset = 0;
        entryTop = height;
        entering = true;
    }
}

RowCopy ScrollState::VisibleRows(int height) const {
    if (entering)
        return {exitOffset, entryTop, height - entryTop};
    return {exitOffset, 0, height - exitOffset};
}

void ScrollState::Advance() {
    if (!scrolling)
        return;
    if (entering)
        --entryTop;
    else
        ++exitOffset;
}
