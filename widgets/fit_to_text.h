#pragma once

// The rectangle that fits a static control to its text while keeping its alignment and its border: pure
// arithmetic over device pixels in the parent's client coordinates.

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct PixelSize {
    int width;
    int height;
};

enum class TextAlign { Left, Center, Right };

struct TextLayout {
    TextAlign horizontal = TextAlign::Left;
    bool centerVertically = false;  // the static's SS_CENTERIMAGE
};

// `window` and `client` are the control's window and client rectangles; `text` is the extent of its text.
// A centred side moves both edges by half the difference (truncated toward zero), so an odd difference leaves
// one pixel of it.
PixelRect FitToText(const PixelRect& window, const PixelRect& client, PixelSize text, TextLayout layout);
