#include "widgets/bmp_menu_item_painter.h"

#include "framework/gdi_scope.h"
#include "widgets/menu_item_art.h"

namespace {

// OBM_CHECK, which <windows.h> declares only for programs that define OEMRESOURCE.
constexpr int kStandardCheckMark = 32760;
constexpr UINT kGrayedBit = 0x1;  // MF_GRAYED; MF_DISABLED alone does not gray the text

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

MenuColours CurrentMenuColours() {
    return {::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT),
            ::GetSysColor(COLOR_HIGHLIGHT), ::GetSysColor(COLOR_MENU)};
}

// The part of a picture `length` long that a square side `side` long shows, and where it goes.
struct Span {
    int destination;
    int source;
    int length;
};
Span Centre(int square_start, int side, int length) {
    if (length < side)
        return {square_start + (side - length) / 2, 0, length};
    return {square_start, (length - side) / 2, side};
}

void FrameChecked(HDC dc, const RECT& square, bool hot, bool standard_mark) {
    RECT frame = square;
    ::DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    const COLORREF surface = ::GetSysColor(hot && standard_mark ? COLOR_HIGHLIGHT : COLOR_MENU);
    // Rows of a monochrome bitmap are whole words.
    constexpr WORD kDitherRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    UniqueBitmap dither(::CreateBitmap(8, 8, 1, 1, kDitherRows));
    UniqueBrush brush(hot ? ::CreateSolidBrush(::GetSysColor(COLOR_MENU)) : ::CreatePatternBrush(dither.Get()));
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_MENU));
    SelectGuard select(dc, brush.Get());
    ::ExtFloodFill(dc, square.left + 1, square.top + 1, surface, FLOODFILLSURFACE);
}

void DrawArrow(HDC dc, const RECT& rect, COLORREF colour) {
    const ArrowTriangle arrow =
        SubmenuArrow({rect.left, rect.top, rect.right, rect.bottom}, ::GetSystemMetrics(SM_CXMENUCHECK));
    const POINT outline[] = {{arrow.top.x, arrow.top.y},
                             {arrow.tip.x, arrow.tip.y},
                             {arrow.bottom.x, arrow.bottom.y},
                             {arrow.top.x, arrow.top.y}};
    UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    UniqueBrush fill(::CreateSolidBrush(colour));
    SelectGuard select_pen(dc, pen.Get());
    SelectGuard select_brush(dc, fill.Get());
    ::Polyline(dc, outline, 4);
    ::FloodFill(dc, arrow.fill.x, arrow.fill.y, colour);
}

}  // namespace

UniqueBitmap RecolorImage(HDC dc, HBITMAP bitmap, bool grayed, bool hot) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);
    UniqueBitmap copy(grayed ? ::CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr)
                             : ::CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel, nullptr));
    UniqueMemDc source(::CreateCompatibleDC(dc));
    UniqueMemDc target(::CreateCompatibleDC(dc));
    SelectGuard select_source(source.Get(), bitmap);
    SelectGuard select_target(target.Get(), copy.Get());
    const MenuColours colours = CurrentMenuColours();
    for (int y = 0; y < info.bmHeight; ++y) {
        for (int x = 0; x < info.bmWidth; ++x) {
            const COLORREF colour = ::GetPixel(source.Get(), x, y);
            ::SetPixel(target.Get(), x, y, RecolorPixel(colour, grayed, hot, colours));
        }
    }
    return copy;
}

void DrawItemImage(HDC dc, const RECT& square, bool hot, HBITMAP bitmap, bool checked, bool grayed) {
    UniqueBitmap drawn;
    if (bitmap == nullptr) {
        drawn.Reset(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(kStandardCheckMark)));
        if (!drawn)
            return;
    }
    BITMAP info{};
    ::GetObjectA(bitmap != nullptr ? bitmap : drawn.Get(), sizeof info, &info);
    const Span across = Centre(square.left, square.right - square.left, info.bmWidth);
    const Span down = Centre(square.top, square.bottom - square.top, info.bmHeight);
    if (bitmap != nullptr) {
        if (checked)
            FillSolid(dc, square, ::GetSysColor(COLOR_MENU));
        drawn = RecolorImage(dc, bitmap, grayed, hot);
    }
    // A monochrome picture takes the background colour for its white.
    ::SetBkColor(dc, ::GetSysColor(hot && !grayed ? COLOR_HIGHLIGHT : COLOR_MENU));
    {
        UniqueMemDc memory(::CreateCompatibleDC(dc));
        SelectGuard select(memory.Get(), drawn.Get());
        ::BitBlt(dc, across.destination, down.destination, across.length, down.length, memory.Get(), across.source,
                 down.source, SRCCOPY);
    }
    if (checked)
        FrameChecked(dc, square, hot, bitmap == nullptr);
}

void PaintMenuItem(HDC dc, const RECT& rect, const MENUITEMINFOA& info, bool hot, HFONT font) {
    const bool grayed = (info.fState & kGrayedBit) != 0;
    COLORREF text_colour = ::GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    if (grayed)
        text_colour = ::GetSysColor(COLOR_GRAYTEXT);
    // The picture of a grayed item is a silhouette drawn in the text colour.
    ::SetTextColor(dc, text_colour);
    RECT background = rect;
    background.left += 1;
    FillSolid(dc, background, ::GetSysColor(hot ? COLOR_HIGHLIGHT : COLOR_MENU));
    SelectGuard select_font(dc, font);

    const int height = rect.bottom - rect.top;
    const RECT square = {rect.left + 1, rect.top, rect.left + 1 + height, rect.bottom};
    if ((info.fState & MFS_CHECKED) != 0)
        DrawItemImage(dc, square, hot, info.hbmpChecked, true, grayed);
    else if (info.hbmpUnchecked != nullptr)
        DrawItemImage(dc, square, hot, info.hbmpUnchecked, false, grayed);

    RECT text = rect;
    text.left = square.right + 2;
    ::SetBkMode(dc, TRANSPARENT);
    constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (info.dwTypeData != nullptr) {
        if (grayed && !hot) {
            RECT embossed = text;
            ::OffsetRect(&embossed, 1, 1);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
            ::DrawTextA(dc, info.dwTypeData, -1, &embossed, kTextFormat);
        }
        ::SetTextColor(dc, text_colour);
        ::DrawTextA(dc, info.dwTypeData, -1, &text, kTextFormat);
    }
    if (info.hSubMenu != nullptr)
        DrawArrow(dc, rect, text_colour);
}
