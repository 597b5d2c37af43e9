#include <gtest/gtest.h>

#include "languages/code_page.h"

namespace {

TEST(CodePage, EveryByteSurvivesTheWayToUtf8AndBack) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_TRUE(FitsCp1252(utf8));
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(CodePage, CharactersMapToTheirWindows1252Bytes) {
    struct Case {
        const char* utf8;
        const char* cp1252;
    };
    const Case cases[] = {
        {"\xE2\x82\xAC", "\x80"},          // euro sign
        {"\xC5\xB8", "\x9F"},              // Y with diaeresis
        {"\xE2\x80\x9E", "\x84"},          // low double quote
        {"\xC2\xA1", "\xA1"},              // inverted exclamation mark
        {"\xC3\xA9\xC3\x9F", "\xE9\xDF"},  // e acute, sharp s
        {"\xC2\x81", "\x81"},              // an undefined byte keeps its C1 control
        {"plain", "plain"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
    }
}

TEST(CodePage, WhatTheCodePageCannotHoldBecomesAQuestionMark) {
    struct Case {
        std::string utf8;
        std::string cp1252;
    };
    const Case cases[] = {
        {"\xE2\x82\xBD", "?"},               // rouble sign: no byte for it
        {"\xF0\x9F\x98\x80x", "?x"},         // a four-byte character
        {"a\xC3", "a?"},                     // cut-off sequence
        {"\x80x", "?x"},                     // stray continuation byte
        {"\xC0\x80", "??"},                  // overlong NUL
        {"\xE0\x80\xAF", "???"},             // overlong slash
        {std::string("\xC3\x28", 2), "?("},  // lead byte without its continuation
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
        EXPECT_FALSE(FitsCp1252(c.utf8));
    }
    EXPECT_TRUE(FitsCp1252("what?"));
}

}  // namespace
