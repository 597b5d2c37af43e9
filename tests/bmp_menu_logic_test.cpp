// The bitmap menu's geometry and keyboard letters, apart from any window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "widgets/menu_item_art.h"
#include "widgets/menu_mnemonic.h"
#include "widgets/menu_placement.h"

namespace {

constexpr ScreenRect kDesktop = {0, 0, 1024, 768};

void ExpectAt(ScreenPoint actual, ScreenPoint expected, const char* what) {
    EXPECT_EQ(actual.x, expected.x) << what;
    EXPECT_EQ(actual.y, expected.y) << what;
}

TEST(MenuPlacement, TopLevelMenuTurnsAwayFromEveryEdgeItWouldReach) {
    struct Case {
        const char* what;
        ScreenPoint at;
        PopupSize size;
        ScreenPoint expected;
    };
    const Case cases[] = {
        {"room everywhere", {10, 10}, {100, 80}, {10, 10}},
        {"one pixel short of the right edge", {923, 10}, {100, 80}, {923, 10}},
        {"touching the right edge goes left", {924, 10}, {100, 80}, {824, 10}},
        {"touching the bottom edge goes up", {10, 688}, {100, 80}, {10, 608}},
        {"bottom-right corner goes left and up", {1010, 750}, {100, 80}, {910, 670}},
        {"left touches too: right-up", {100, 700}, {100, 80}, {100, 620}},
        {"top touches when going up: left-down impossible, fits nowhere", {10, 688}, {100, 688}, {10, 688}},
        {"wider than either side: right-down anyway", {512, 10}, {512, 80}, {512, 10}},
    };
    for (const Case& c : cases)
        ExpectAt(PlaceMenu(kDesktop, c.at, c.size), c.expected, c.what);
}

TEST(MenuPlacement, SubmenuOpensBesideItsItemOrStaysInSightWhenNothingFits) {
    struct Case {
        const char* what;
        ScreenRect item;
        PopupSize size;
        ScreenPoint expected;
    };
    const Case cases[] = {
        {"right of the item, going down", {200, 100, 300, 120}, {150, 90}, {300, 100}},
        {"near the bottom: right, going up from the item's bottom", {200, 700, 300, 720}, {150, 90}, {300, 630}},
        {"near the right edge: left of the parent's left edge", {800, 100, 900, 120}, {150, 90}, {650, 100}},
        {"bottom-right: left, going up", {800, 700, 900, 720}, {150, 90}, {650, 630}},
        {"touching the right edge counts as not fitting", {600, 100, 874, 120}, {150, 90}, {450, 100}},
        {"too tall for either way: kept right, pushed up into sight", {200, 100, 300, 120}, {150, 760}, {300, 8}},
        {"too tall near the right edge: left side, pushed up", {800, 100, 900, 120}, {150, 760}, {650, 8}},
        {"wider than the desktop: its left part shows", {200, 100, 300, 120}, {1100, 50}, {0, 100}},
    };
    for (const Case& c : cases)
        ExpectAt(PlaceSubmenu(kDesktop, c.item, c.size), c.expected, c.what);
}

TEST(MenuMnemonic, OneLetterActivatesSeveralTakeTurnsNoneIsReported) {
    const std::vector<std::string> texts = {"&Alpha", "&Bravo", "&More", "Gr&ayed", "&bingo", "No letter", "End&"};
    struct Case {
        char key;
        int hot;
        MnemonicMatch::Kind kind;
        int index;
    };
    const Case cases[] = {
        {'m', -1, MnemonicMatch::One, 2},    {'M', 4, MnemonicMatch::One, 2},     {'b', -1, MnemonicMatch::Several, 1},
        {'B', 1, MnemonicMatch::Several, 4}, {'b', 4, MnemonicMatch::Several, 1}, {'b', 2, MnemonicMatch::Several, 4},
        {'a', 0, MnemonicMatch::Several, 3}, {'z', -1, MnemonicMatch::None, -1},  {'n', -1, MnemonicMatch::None, -1},
        {'\0', -1, MnemonicMatch::None, -1},
    };
    for (const Case& c : cases) {
        const MnemonicMatch match = MatchMnemonic(texts, c.key, c.hot);
        EXPECT_EQ(match.kind, c.kind) << c.key << " hot " << c.hot;
        EXPECT_EQ(match.index, c.index) << c.key << " hot " << c.hot;
    }
}

TEST(MenuMnemonic, LetterIsTheOneAfterTheFirstAmpersandInAnyCase) {
    EXPECT_EQ(MnemonicOf("E&xit"), 'X');
    EXPECT_EQ(MnemonicOf("&a && b"), 'A');
    EXPECT_EQ(MnemonicOf("Save && Exit"), '&');
    EXPECT_EQ(MnemonicOf("End&"), 0);
    EXPECT_EQ(MnemonicOf(""), 0);
    EXPECT_EQ(MnemonicOf("&\xE9t\xE9"), '\xC9');  // é -> É
    EXPECT_EQ(UpperCase1252('\xFF'), '\x9F');     // ÿ -> Ÿ
    EXPECT_EQ(UpperCase1252('\xF7'), '\xF7');     // ÷ has no capital
    EXPECT_EQ(MatchMnemonic({"&\xC9t\xE9"}, '\xE9', -1).kind, MnemonicMatch::One);
}

bool StrictlyInside(const ArrowTriangle& arrow, ScreenPoint p) {
    const int width = arrow.tip.x - arrow.top.x;
    const int half_height = arrow.tip.y - arrow.top.y;
    const int dx = p.x - arrow.top.x;
    const int dy = p.y - arrow.tip.y;
    // Inside when right of the back edge and between the two slanted edges.
    return dx > 0 && dx < width && std::abs(dy) * width < half_height * (width - dx);
}

TEST(MenuItemArt, ArrowSitsInsideItsItemAndItsFillStartsInsideIt) {
    const ArrowTriangle arrow = SubmenuArrow({0, 0, 100, 22}, 13);
    EXPECT_EQ(arrow.top.x, 94);
    EXPECT_EQ(arrow.top.y, 7);
    EXPECT_EQ(arrow.tip.x, 97);
    EXPECT_EQ(arrow.tip.y, 10);
    EXPECT_EQ(arrow.bottom.y, 13);
    // A fill that starts on or outside the outline would flood the whole item.
    for (int check = 10; check <= 32; ++check) {
        for (int height = check; height <= check + 20; height += 5) {
            const ScreenRect item = {20, 40, 220, 40 + height};
            const ArrowTriangle a = SubmenuArrow(item, check);
            EXPECT_TRUE(StrictlyInside(a, a.fill)) << "check " << check << " height " << height;
            EXPECT_EQ(a.bottom.x, a.top.x);
            EXPECT_GE(a.top.y, item.top);
            EXPECT_LT(a.bottom.y, item.bottom);
            EXPECT_LT(a.tip.x, item.right);
        }
    }
}

TEST(MenuItemArt, StandardColoursBecomeTheUsersAndLightGreyTheBackground) {
    const MenuColours colours = {0x000011, 0x000022, 0x000033, 0x000044, 0x000055};
    struct Case {
        uint32_t source;
        bool grayed;
        bool hot;
        uint32_t drawn;
    };
    const Case cases[] = {
        {0x000000, false, false, 0x000011}, {0x808080, false, false, 0x000022}, {0xFFFFFF, false, true, 0x000033},
        {0xC0C0C0, false, true, 0x000044},  {0xC0C0C0, false, false, 0x000055}, {0xC0C0C1, false, false, 0xC0C0C1},
        {0x2040C0, false, true, 0x2040C0},  {0xC0C0C0, true, true, 0xC0C0C0},   {0x000000, true, false, 0x000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecolorPixel(c.source, c.grayed, c.hot, colours), c.drawn) << std::hex << c.source;
}

}  // namespace
