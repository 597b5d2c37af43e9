#include <gtest/gtest.h>

#include <string>

#include "widgets/browser_command.h"
#include "widgets/fit_to_text.h"
#include "widgets/open_error_text.h"

namespace {

constexpr char kAddress[] = "http://www.varnick-software.example/";

TEST(BrowserCommandLine, KeepsTheCommandUpToItsPlaceholderThenOneBlankAndTheAddress) {
    const std::string address = kAddress;
    struct Case {
        const char* registered;
        std::string expected;
    };
    const Case cases[] = {
        // Program path, option, quoted placeholder, further option: the blank before the placeholder stays, one
        // more comes, and the further option is gone.
        {R"("C:\Program Files\Browser\browser.exe" -nohome "%1" -new)",
         R"("C:\Program Files\Browser\browser.exe" -nohome  )" + address},
        {R"(C:\Browser\browser.exe %1)", R"(C:\Browser\browser.exe  )" + address},
        {R"(C:\Browser\browser.exe -url %1 -x)", R"(C:\Browser\browser.exe -url  )" + address},
        {R"(C:\Browser\browser.exe)", R"(C:\Browser\browser.exe )" + address},
        // The quoted form wins over an earlier bare one.
        {R"(b.exe %1x "%1")", "b.exe %1x  " + address},
        // An unclosed quote is no quoted placeholder: the cut falls on the bare one behind it.
        {R"(b.exe "%1)", "b.exe \" " + address},
        {"", " " + address},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BrowserCommandLine(c.registered, address), c.expected) << c.registered;
}

TEST(BrowserCommandLine, RefusesALineThatWouldNotFitTheCommandBuffer) {
    const std::string address = kAddress;
    const std::string fits(kBrowserCommandBufferSize - 2 - address.size(), 'p');
    ASSERT_TRUE(BrowserCommandLine(fits, address).has_value());
    EXPECT_EQ(BrowserCommandLine(fits, address)->size(), kBrowserCommandBufferSize - 1);
    EXPECT_EQ(BrowserCommandLine(fits + "p", address), std::nullopt);
    EXPECT_EQ(BrowserCommandLine(fits + "p \"%1\" -tail", address), std::nullopt);
    EXPECT_EQ(BrowserCommandLine(fits + std::string(400, 'x'), address), std::nullopt);
    // What is cut off after the placeholder does not count.
    EXPECT_TRUE(BrowserCommandLine(fits + "%1" + std::string(400, 'x'), address).has_value());
}

TEST(OpenErrorText, PrefixesTheTextOfEachLaunchResult) {
    const std::string prefix = "Unable to open hyperlink:\n\n";
    struct Case {
        intptr_t result;
        const char* text;
    };
    const Case cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {4, "Unknown Error (4) occurred."},
        {33, "Unknown Error (33) occurred."},
        {-2, "Unknown Error (-2) occurred."},  // unsigned, so not the row of 2
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenErrorText(c.result), prefix + c.text) << c.result;
}

TEST(FitToText, SizesToTheTextKeepingBorderAndAlignment) {
    // A control with a 2-pixel border on every side, 100 x 30 pixels, fitted to a text of 61 x 13.
    const PixelRect window{10, 20, 110, 50};
    const PixelRect client{0, 0, 96, 26};
    const PixelSize text{61, 13};
    struct Case {
        TextLayout layout;
        PixelRect expected;
    };
    const Case cases[] = {
        {{TextAlign::Left, false}, {10, 20, 75, 37}},
        {{TextAlign::Right, false}, {45, 20, 110, 37}},  // anchored at its right edge
        {{TextAlign::Center, false}, {27, 20, 93, 37}},  // 35 less: 17 off each side, one pixel stays
        {{TextAlign::Left, true}, {10, 26, 75, 44}},     // 13 less: 6 off top and bottom
        {{TextAlign::Center, true}, {27, 26, 93, 44}},
    };
    for (const Case& c : cases) {
        const PixelRect fitted = FitToText(window, client, text, c.layout);
        EXPECT_TRUE(fitted == c.expected)
            << static_cast<int>(c.layout.horizontal) << c.layout.centerVertically << ": " << fitted.left << ","
            << fitted.top << "," << fitted.right << "," << fitted.bottom;
    }
    // A text wider than the control grows it, the centred one evenly on both sides (41 more: 20 each, truncated
    // toward zero).
    const PixelRect grown = FitToText(window, client, {137, 26}, {TextAlign::Center, true});
    EXPECT_TRUE(grown == (PixelRect{-10, 20, 130, 50}));
}

}  // namespace
