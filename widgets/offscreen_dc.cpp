#include "widgets/offscreen_dc.h"

OffscreenDC::OffscreenDC(HDC target, ScrollState& state) : target_(target), state_(state) {
    ::GetClientRect(::WindowFromDC(target), &rect_);
    if (::GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER)
        return;
    memory_.Reset(::CreateCompatibleDC(target));
    bitmap_.Reset(::CreateCompatibleBitmap(target, rect_.right - rect_.left, rect_.bottom - rect_.top));
    // Without memory for the image the lines are drawn where they stand, unmoved, rather than not at all.
    if (!memory_ || !bitmap_)
        return;
    direct_ = false;
    previous_bitmap_ = ::SelectObject(memory_.Get(), bitmap_.Get());
    ::SetWindowOrgEx(memory_.Get(), rect_.left, rect_.top, nullptr);
    ::FillRect(memory_.Get(), &rect_, ::GetSysColorBrush(COLOR_BTNFACE));
}

OffscreenDC::~OffscreenDC() {
    if (direct_)
        return;
    const RowCopy shown = state_.VisibleRows(rect_.bottom - rect_.top);
    if (shown.rows > 0) {
        ::BitBlt(target_, rect_.left, rect_.top + shown.targetTop, rect_.right - rect_.left, shown.rows, memory_.Get(),
                 rect_.left, rect_.top + shown.sourceTop, SRCCOPY);
    }
    state_.Advance();
    ::SelectObject(memory_.Get(), previous_bitmap_);
}
