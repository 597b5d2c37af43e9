// The setup's Windows machine on real files, shell links and registry keys, under Wine: an installation into a
// test folder, its removal, and a rollback.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "companions/setup/setup_plan.h"
#include "companions/setup/win32_setup_machine.h"
#include "recovery/settings_record.h"
#include "tests/win32/window_test_support.h"

namespace {

constexpr char kEntryKey[] = "TolvaneInProcessTest";

std::string EntryValue(const char* name) {
    return RegistryText(HKEY_LOCAL_MACHINE,
                        std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kEntryKey, name);
}

class SetupMachineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        for (const char* folder : {"windows", "menu", "pf", "setup"})
            ASSERT_TRUE(::CreateDirectoryA((dir_ / folder).c_str(), nullptr));
        for (const std::string& name : InstalledFileNames())
            std::ofstream(dir_ / ("setup\\" + name), std::ios::binary) << "bytes of " << name;
    }
    void TearDown() override { ::CoUninitialize(); }

    SetupOutcome Install() {
        const InstallPlan plan = MakeInstallPlan(machine_, dir_ / "setup", dest_);
        const SetupOutcome checked = CheckInstallPlan(machine_, plan);
        return checked.ok ? RunInstall(machine_, plan) : checked;
    }

    WinTempDir dir_;
    std::string dest_ = dir_ / "pf\\Varnick\\Tolvane\\";
    Win32SetupMachine machine_{{dir_ / "windows", dir_ / "pf", dir_ / "menu", kEntryKey}, dir_ / "none.exe"};
};

TEST_F(SetupMachineTest, InstallsAndRemovesExactlyWhatItMade) {
    const SetupOutcome installed = Install();
    ASSERT_TRUE(installed.ok) << installed.path << ": " << installed.reason;
    for (const std::string& name : InstalledFileNames())
        EXPECT_EQ(ReadFileBytes(dest_ + name), "bytes of " + name);
    for (const char* link : {"Tolvane.lnk", "Help.lnk", "Options.lnk"})
        EXPECT_EQ(ReadFileBytes(dir_ / "menu\\Tolvane\\" + link).substr(0, 4), std::string("L\0\0\0", 4)) << link;
    EXPECT_EQ(EntryValue("UninstallString"), "\"" + dest_ + "Installer.exe\" /uninstall");
    EXPECT_EQ(EntryValue("Publisher"), "Varnick");
    const std::string settings = ReadFileBytes(dir_ / "windows\\propPSD.pro");
    ASSERT_EQ(settings.size(), kSettingsFileSize);
    EXPECT_EQ(settings.substr(kInstallFolderField.offset, dest_.size() + 1), dest_ + '\0');
    // Wine 8.0 keeps no access lists: the grant succeeds and changes nothing, and must not cost a note.
    EXPECT_TRUE(installed.note.empty()) << installed.note;

    ASSERT_TRUE(::CreateDirectoryA((dest_ + "photoREC").c_str(), nullptr));
    std::ofstream(dest_ + "photoREC\\1.jpg", std::ios::binary) << "recovered";
    const SetupOutcome removed = RunUninstall(machine_, dest_, false);
    ASSERT_TRUE(removed.ok) << removed.path << ": " << removed.reason;
    for (const std::string& name : InstalledFileNames())
        EXPECT_FALSE(FileExists(dest_ + name)) << name;
    EXPECT_FALSE(FileExists(dest_ + "install.log"));
    EXPECT_FALSE(FileExists(dir_ / "menu\\Tolvane"));
    EXPECT_EQ(EntryValue("DisplayName"), "<none>");
    EXPECT_EQ(ReadFileBytes(dest_ + "photoREC\\1.jpg"), "recovered") << "a recovered picture survives";
    EXPECT_EQ(ReadFileBytes(dir_ / "windows\\propPSD.pro"), settings) << "the settings stay unless asked";
    ASSERT_TRUE(::DeleteFileA((dest_ + "photoREC\\1.jpg").c_str()));
    for (const char* folder : {"photoREC", "", "..\\"})
        EXPECT_TRUE(::RemoveDirectoryA((dest_ + folder).c_str())) << "left over: " << folder;
}

TEST_F(SetupMachineTest, AFailureHalfWayRemovesWhatTheRunMade) {
    // A folder where the settings file should go: the copies are made, then the settings step fails.
    ASSERT_TRUE(::CreateDirectoryA((dir_ / "windows\\propPSD.pro").c_str(), nullptr));
    const SetupOutcome outcome = Install();
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.path, dir_ / "windows\\propPSD.pro");
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_FALSE(FileExists(dir_ / "pf\\Varnick")) << "the folders made are gone again";
    EXPECT_FALSE(FileExists(dir_ / "menu\\Tolvane"));
    EXPECT_EQ(EntryValue("DisplayName"), "<none>");
    ASSERT_TRUE(::RemoveDirectoryA((dir_ / "windows\\propPSD.pro").c_str()));

    std::ofstream(dir_ / "kept.txt", std::ios::binary) << "kept";
    EXPECT_FALSE(machine_.CopyNew(dir_ / "setup\\Help.exe", dir_ / "kept.txt"))
        << "an existing name is never copied over";
    EXPECT_EQ(ReadFileBytes(dir_ / "kept.txt"), "kept");
}

}  // namespace
