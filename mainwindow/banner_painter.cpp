#include "mainwindow/banner_painter.h"

#include <string>

#include "framework/gdi_scope.h"
#include "framework/unique_handle.h"

namespace {

constexpr COLORREF kBannerGreen = RGB(0, 100, 40);
constexpr COLORREF kLineGreen = RGB(0, 255, 25);
constexpr COLORREF kTitleText = RGB(0, 255, 2);
constexpr int kBandSpacing = 10;
constexpr char kBannerText[] = " Varnick PSD Recovery 1.1";

UniqueFont MakeArialFont(int height, int width, int orientation, int weight, BYTE pitch_and_family) {
    return UniqueFont(::CreateFontA(height, width, 0, orientation, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, pitch_and_family, "Arial"));
}

void Line(HDC hdc, int x1, int y1, int x2, int y2) {
    ::MoveToEx(hdc, x1, y1, nullptr);
    ::LineTo(hdc, x2, y2);
}

void PaintBands(HDC hdc, const RECT& client) {
    const std::string blanks(400, ' ');
    for (int k = 0; kBandSpacing * k < client.bottom; ++k) {
        ::SetBkColor(hdc, BandColor(k));
        ::ExtTextOutA(hdc, 0, kBandSpacing * k, 0, nullptr, blanks.data(), static_cast<UINT>(blanks.size()), nullptr);
    }
}

}  // namespace

COLORREF BandColor(int k) {
    const int step = 3 * (k + 1);
    return RGB(0, step % 256, (step + 120) % 256);
}

void PaintBanner(HDC hdc, const RECT& client) {
    UniquePen wide_pen(::CreatePen(PS_SOLID, 37, kBannerGreen));
    UniquePen thin_pen(::CreatePen(PS_SOLID, 3, kLineGreen));
    UniquePen frame_pen(::CreatePen(PS_SOLID, 20, kBannerGreen));
    UniqueFont title_font = MakeArialFont(14, 9, 20, FW_DONTCARE, DEFAULT_PITCH);
    UniqueFont band_font = MakeArialFont(12, 6, 100, FW_THIN, FF_MODERN);

    ::SetBkMode(hdc, OPAQUE);
    {
        SelectGuard font(hdc, band_font.Get());
        PaintBands(hdc, client);
    }
    {
        SelectGuard pen(hdc, thin_pen.Get());
        Line(hdc, 354, 29, client.right, 29);
    }
    {
        SelectGuard pen(hdc, frame_pen.Get());
        ::SetBkColor(hdc, kBannerGreen);
        ::RoundRect(hdc, 0, 0, 347, 52, 60, 40);
    }
    {
        SelectGuard pen(hdc, thin_pen.Get());
        Line(hdc, 225, 52, 0, 52);
    }
    {
        SelectGuard pen(hdc, wide_pen.Get());
        Line(hdc, 0, 10, client.right, 10);
        Line(hdc, 6, 29, 336, 24);
    }
    ::SetTextColor(hdc, kTitleText);
    SelectGuard font(hdc, title_font.Get());
    ::TextOutA(hdc, 9, 25, kBannerText, static_cast<int>(sizeof kBannerText - 1));
}
