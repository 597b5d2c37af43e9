#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "about/about_box.h"
#include "about/splash_window.h"
#include "framework/stdio_file_system.h"
#include "resources/tolvane_resource.h"
#include "tests/win32/window_test_support.h"
#include "widgets/home_page.h"

namespace {

std::string Spaces(size_t count) {
    return std::string(count, ' ');
}

std::vector<std::string> LineTexts(const CScrollHotStatic& lines) {
    std::vector<std::string> texts;
    for (const ScrollLine& line : lines.Lines())
        texts.emplace_back(line.text.data());
    return texts;
}

// One language's lines as the box must show them, in Windows-1252: the spaces around the title, the blank line,
// the description, the indented notice, the release line and the contact line's indent.
struct AboutCase {
    LanguageId language;
    size_t title_before, title_after, blank;
    const char* description;
    size_t notice_indent;
    const char* notice;
    const char* release;
    size_t contact_indent;

    std::vector<std::string> Lines() const {
        return {Spaces(title_before) + "Varnick PSD Recovery" + Spaces(title_after),
                Spaces(blank),
                description,
                Spaces(notice_indent) + notice,
                release,
                Spaces(contact_indent) + "E-mail: support@varnick-software.example      " + kHomePageAddress};
    }
};

// clang-format off
const AboutCase kAboutCases[] = {
    {LanguageId::English, 52, 50, 50,
     "    Tolvane is a image recovery utility for Photoshop PSD format files. ",
     16, "Copyright \xA9 2004 Varnick Software. All rights reserved.",
     "                Release: 01.02.2004", 2},
    {LanguageId::French, 53, 51, 50,
     "Tolvane est une utilit\xE9 de r\xE9tablissement d'image pour des fichiers de Photoshop PSD format.  ",
     14, "Copyright \xA9 2004 Varnick Software. Tous droits r\xE9serv\xE9s.",
     "              D\xE9gagement:  01.02.2004", 4},
    {LanguageId::German, 54, 52, 50,
     "Tolvane ist ein Bildwiederaufnahmendienstprogramm f\xFCr Akten Photoshop PSD. ",
     11, "Copyright \xA9 2004 Varnick Software. Alle Rechte vorbehalten.",
     "                Freigabe:  01.02.2004", 4},
    {LanguageId::Italian, 55, 52, 50,
     "   Tolvane \xE8 un programma di utilit\xE0 di recupero di immagine per le lime di Photoshop PSD. ",
     7, "Copyright \xA9 2004 Varnick Software. Tutti i diritti riservati.",
     "                 Rilascio:  01.02.2004", 1},
    {LanguageId::Spanish, 56, 52, 50,
     "   Tolvane es una utilidad de la recuperaci\xF3n de la imagen para los archivos de Photoshop PSD. .",
     14, "Copyright \xA9 2004 Varnick Software. Todos los derechos reservados.",
     "                 Lanzamiento:  01.02.2004 ", 2},
    {LanguageId::Romanian, 57, 58, 53,
     "   Tolvane este un utilitar pentru recuperarea de imagini din fisiere Photoshop PSD  ",
     6, "Copyright \xA9 2004 Varnick Software. Toate drepturile rezervate.",
     "   Versiune    01.02.2004   ", 2},
};
// clang-format on

class AboutBoxTest : public ::testing::Test {
  protected:
    std::unique_ptr<AboutBox> Open() {
        auto box = std::make_unique<AboutBox>(::GetModuleHandleA(nullptr), platform, files);
        EXPECT_TRUE(box->CreateModeless(nullptr));
        PumpMessages();
        return box;
    }

    WinTempDir settings_dir;
    TestPlatform platform{settings_dir.Path()};
    StdioFileSystem files;
};

TEST_F(AboutBoxTest, ShowsTheLinesOfTheLanguageInTheSettingsFile) {
    {
        const auto box = Open();  // no settings file yet: said in English, defaults written, English lines
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "Missing file. Please reinstall!");
        EXPECT_EQ(LineTexts(box->ScrollLines()), kAboutCases[0].Lines());
    }
    for (const AboutCase& c : kAboutCases) {
        WriteSettingsFile(settings_dir.Path(), c.language);
        const auto box = Open();
        EXPECT_EQ(box->AboutLanguage(), c.language);
        EXPECT_EQ(LineTexts(box->ScrollLines()), c.Lines()) << "language " << static_cast<int>(c.language);
        for (const ScrollLine& line : box->ScrollLines().Lines())
            EXPECT_TRUE(!HasLink(line) && line.xOffset == 0);
    }
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(AboutBoxTest, OffersOnlyOkAndTheUnderlinedHomePage) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    const auto box = Open();
    HWND cancel = box->Item(IDCANCEL);
    EXPECT_FALSE(::IsWindowVisible(cancel) || ::IsWindowEnabled(cancel)) << "Cancel cannot be clicked";
    EXPECT_EQ(::GetWindowLongPtrA(box->Hwnd(), GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
    const HyperlinkStatic& site = box->SiteLink();
    std::array<char, 64> text{};
    ::GetWindowTextA(site.Hwnd(), text.data(), static_cast<int>(text.size()));
    EXPECT_STREQ(text.data(), kHomePageAddress);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(site.Hwnd(), WM_GETFONT, 0, 0)), site.UnderlineFont());
    ::SendMessageA(box->Hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(::IsWindow(box->Hwnd()));
}

TEST_F(AboutBoxTest, OpenedAgainTheLinesGoOnFromWhereTheyStood) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    ScrollState& shared = SharedScrollState();
    shared.scrolling = true;
    shared.entering = true;
    shared.entryTop = 50;
    shared.exitOffset = 0;
    const auto paint = [](const AboutBox& box) { ::SendMessageA(box.Item(IDC_ABOUT_LINES), WM_PAINT, 0, 0); };
    {
        const auto first = Open();
        for (int n = 0; n < 3; ++n)
            paint(*first);
    }
    EXPECT_EQ(shared.entryTop, 47);
    const auto second = Open();
    paint(*second);
    EXPECT_TRUE(shared.entering);
    EXPECT_EQ(shared.entryTop, 46);
}

TEST(SplashWindow, ClosesAtItsFirstTick) {
    SplashWindow splash(::GetModuleHandleA(nullptr));
    ASSERT_TRUE(splash.CreateModeless(nullptr));
    EXPECT_EQ(::GetWindow(splash.Hwnd(), GW_CHILD), nullptr) << "no button of its own";
    ::SendMessageA(splash.Hwnd(), WM_TIMER, 101, 0);
    EXPECT_EQ(splash.Hwnd(), nullptr);

    // Its own timer closes it, never shown nor painted.
    SplashWindow unseen(::GetModuleHandleA(nullptr));
    ASSERT_TRUE(unseen.CreateModeless(nullptr));
    ASSERT_FALSE(::IsWindowVisible(unseen.Hwnd()));
    EXPECT_TRUE(PumpUntil([&] { return unseen.Hwnd() == nullptr; }, 5000));
}

}  // namespace
