#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "framework/stdio_file_system.h"
#include "installer/installer_dialog.h"
#include "installer/sfx_writer.h"
#include "resources/rezaravoz_resource.h"
#include "tests/win32/window_test_support.h"

namespace {

std::string Text(HWND hwnd) {
    std::array<char, 512> text{};
    ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

class InstallerDialogTest : public ::testing::Test {
  protected:
    void Open(const std::vector<std::pair<std::string, std::string>>& payload) {
        SfxWriter writer(installer_);
        ASSERT_EQ(writer.BeginWithStub("MZ"), SfxResult::Ok);
        for (const auto& [name, bytes] : payload)
            ASSERT_EQ(writer.AddBytes(name, bytes), SfxResult::Ok);
        ASSERT_EQ(writer.Finish(), SfxResult::Ok);
        ::SetEnvironmentVariableA("TEMP", temp_.Path().c_str());
        dialog_ = std::make_unique<InstallerDialog>(::GetModuleHandleA(nullptr), platform_, files_, installer_);
        ASSERT_TRUE(dialog_->CreateModeless(nullptr));
        PumpMessages();
    }
    // The control's own visibility: the dialog itself is never shown in these tests.
    bool Visible(int id) { return (::GetWindowLongA(dialog_->Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }

    WinTempDir work_;
    WinTempDir temp_;
    std::string installer_ = work_ / "Rezaravoz.exe";
    TestPlatform platform_{work_.Path()};
    StdioFileSystem files_;
    std::unique_ptr<InstallerDialog> dialog_;
};

TEST_F(InstallerDialogTest, StartsWithItsTitleAboutItemAndNoProgress) {
    Open({{"Installer.exe", "setup"}});
    EXPECT_EQ(Text(dialog_->Hwnd()), "Varnick Tembrik");
    std::array<char, 64> item{};
    ::GetMenuStringA(::GetSystemMenu(dialog_->Hwnd(), FALSE), IDM_INSTALLER_ABOUT, item.data(),
                     static_cast<int>(item.size()), MF_BYCOMMAND);
    EXPECT_STREQ(item.data(), "&About Rezaravoz...");
    EXPECT_TRUE(Visible(IDC_INSTALL));
    EXPECT_FALSE(Visible(IDC_INSTALL_PROGRESS));
    EXPECT_FALSE(Visible(IDC_STATUS));
    // The dialog procedure returns the drag icon itself; a result left in DWLP_MSGRESULT would be ignored.
    EXPECT_EQ(::SendMessageA(dialog_->Hwnd(), WM_QUERYDRAGICON, 0, 0),
              reinterpret_cast<LRESULT>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_INSTALLER))));
}

TEST_F(InstallerDialogTest, ShowsProgressWhileUnpackingAndGivesTheButtonsBackAfterwards) {
    // No setup program in the payload: the flow unpacks everything, then stops with a message and stays.
    Open({{"a.dat", "1"}, {"b.dat", "22"}, {"readme.txt", "333"}});
    bool progress_shown = false;
    std::string status;
    LRESULT position = 0;
    platform_.on_message = [&] {
        progress_shown = Visible(IDC_INSTALL_PROGRESS) && Visible(IDC_STATUS) && !Visible(IDC_INSTALL);
        status = Text(dialog_->Item(IDC_STATUS));
        position = ::SendMessageA(dialog_->Item(IDC_INSTALL_PROGRESS), PBM_GETPOS, 0, 0);
    };

    ::SendMessageA(dialog_->Item(IDC_INSTALL), BM_CLICK, 0, 0);
    PumpMessages();

    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "Error Install Failed");
    EXPECT_TRUE(progress_shown);
    EXPECT_EQ(status, "Extracting " + temp_.Path() + "\\Zandor\\a.dat");  // the first entry comes out last
    EXPECT_EQ(position, 3);
    EXPECT_EQ(ReadFileBytes(temp_.Path() + "\\Zandor\\readme.txt"), "333");
    EXPECT_TRUE(Visible(IDC_INSTALL));
    EXPECT_FALSE(Visible(IDC_INSTALL_PROGRESS));
}

}  // namespace
