#include "widgets/fit_to_text.h"

PixelRect FitToText(const PixelRect& window, const PixelRect& client, PixelSize text, TextLayout layout) {
    const int wanted_width = text.width + (window.Width() - client.Width());
    const int wanted_height = text.height + (window.Height() - client.Height());
    PixelRect fitted = window;
    if (layout.centerVertically) {
        const int half = (window.Height() - wanted_height) / 2;
        fitted.top += half;
        fitted.bottom -= half;
    } else {
        fitted.bottom = fitted.top + wanted_height;
    }
    switch (layout.horizontal) {
        case TextAlign::Center: {
            const int half = (window.Width() - wanted_width) / 2;
            fitted.left += half;
            fitted.right -= half;
            break;
        }
        case TextAlign::Right:
            fitted.left = fitted.right - wanted_width;
            break;
        case TextAlign::Left:
            fitted.right = fitted.left + wanted_width;
            break;
    }
    return fitted;
}
