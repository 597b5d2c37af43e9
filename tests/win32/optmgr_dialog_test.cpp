// The configuration program's dialog in process: created modeless on a settings file of a test folder, driven
// with messages as a user's typing and clicks would drive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "companions/optmgr/options_dialog.h"
#include "companions/optmgr/optmgr_resource.h"
#include "companions/optmgr/optmgr_texts.h"
#include "framework/stdio_file_system.h"
#include "tests/win32/window_test_support.h"

namespace {

std::string Text(HWND hwnd) {
    std::array<char, 512> text{};
    ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

class OptionsDialogTest : public ::testing::Test {
  protected:
    void Open(LanguageId language) {
        WriteSettingsFile(dir_.Path(), language, "C:\\Tolvane\\");
        before_ = ReadFileBytes(path_);
        ASSERT_EQ(editor_.Open(), OpenOutcome::Ready);
        dialog_ = std::make_unique<OptionsDialog>(::GetModuleHandleA(nullptr), platform_, editor_);
        ASSERT_TRUE(dialog_->CreateModeless(nullptr));
        PumpMessages();
    }
    void Type(int id, const char* text) {
        ::SendMessageA(dialog_->Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void Click(int id) {
        ::SendMessageA(dialog_->Item(id), BM_CLICK, 0, 0);
        PumpMessages();
    }

    WinTempDir dir_;
    std::string path_ = dir_ / "propPSD.pro";
    std::string before_;
    TestPlatform platform_{dir_.Path()};
    StdioFileSystem files_;
    OptionsEditor editor_{files_, platform_, path_};
    std::unique_ptr<OptionsDialog> dialog_;
};

TEST_F(OptionsDialogTest, OkStoresTheTypedValuesAndKeepsTheRest) {
    EXPECT_EQ(::GetACP(), 1252u);
    Open(LanguageId::English);
    HWND dialog = dialog_->Hwnd();
    EXPECT_EQ(Text(dialog), "Tolvane Options");
    EXPECT_EQ(Text(dialog_->Item(IDC_SUFFIX)), "REC");
    EXPECT_EQ(Text(dialog_->Item(IDC_OUTPUT_FOLDER)), "");
    EXPECT_EQ(::SendMessageA(dialog_->Item(IDC_SUFFIX), EM_GETLIMITTEXT, 0, 0), 3);

    Type(IDC_OUTPUT_FOLDER, "C:\\R\xE9sultats");
    Type(IDC_SUFFIX, "_\xE9");
    Click(IDC_DELETE_SOURCE);
    Click(IDOK);
    EXPECT_FALSE(::IsWindow(dialog)) << "OK closes the dialog once the values are stored";
    EXPECT_TRUE(platform_.messages.empty());

    std::string expected = before_;
    expected.replace(0, 3, "_\xE9\0", 3);
    expected.replace(4, 14, "C:\\R\xE9sultats\\\0", 14);
    expected[208] = 1;
    EXPECT_EQ(ReadFileBytes(path_), expected);
}

TEST_F(OptionsDialogTest, RefusedValuesKeepTheDialogOpenAndTheFileAsItWas) {
    Open(LanguageId::German);
    EXPECT_EQ(Text(dialog_->Hwnd()), "Tolvane-Optionen");
    EXPECT_EQ(Text(dialog_->Item(IDCANCEL)), "Abbrechen");

    // A character Windows-1252 lacks, typed as Unicode: the ANSI text would have been a harmless-looking '?'.
    ::SendMessageW(dialog_->Item(IDC_SUFFIX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\x0416"));
    Click(IDOK);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text,
              Localize(SuffixRefusal(SettingsValueProblem::NotInCodePage), LanguageId::German, TextEncoding::Cp1252));
    EXPECT_TRUE(::IsWindow(dialog_->Hwnd()));

    Click(IDCANCEL);
    EXPECT_FALSE(::IsWindow(dialog_->Hwnd()));
    EXPECT_EQ(ReadFileBytes(path_), before_);
}

}  // namespace
