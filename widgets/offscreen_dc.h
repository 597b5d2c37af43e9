#pragma once

#include <windows.h>

#include "framework/unique_handle.h"
#include "widgets/scroll_state.h"

// Paints a scrolling static without flicker: everything is drawn into a bitmap the size of the control's client
// area, and closing copies the rows the scroll state shows onto the control in one block, then steps the state.
// A printer context is drawn into directly and nothing is copied.
class OffscreenDC {
  public:
    // `target`: the paint context of a window.
    OffscreenDC(HDC target, ScrollState& state);
    OffscreenDC(const OffscreenDC&) = delete;
    OffscreenDC& operator=(const OffscreenDC&) = delete;
    ~OffscreenDC();

    // Where to draw; filled with the button face colour at first.
    HDC Get() const { return direct_ ? target_ : memory_.Get(); }
    const RECT& Rect() const { return rect_; }

  private:
    HDC target_;
    ScrollState& state_;
    RECT rect_{};
    bool direct_ = true;
    UniqueMemDc memory_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_bitmap_ = nullptr;
};
