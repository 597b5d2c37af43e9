// The installer's Install command on real files: an archive made with the writer, a fake platform for TEMP, the
// free space, the launch and the messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/stdio_file_system.h"
#include "installer/install_flow.h"
#include "installer/sfx_writer.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_dir.h"

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class RecordedProgress final : public InstallProgress {
  public:
    void EntryExtracted(const std::string& status_text, uint32_t done, uint32_t total) override {
        texts.push_back(status_text);
        counts.emplace_back(done, total);
    }
    std::vector<std::string> texts;
    std::vector<std::pair<uint32_t, uint32_t>> counts;
};

class InstallFlowTest : public ::testing::Test {
  protected:
    InstallFlowTest() {
        platform_.separator = '/';
        platform_.environment["TEMP"] = temp_.path();
    }

    void MakeInstaller(const std::vector<std::pair<std::string, std::string>>& files, const std::string& tail = "") {
        {
            SfxWriter writer(installer_);
            ASSERT_EQ(writer.BeginWithStub("MZ stub image"), SfxResult::Ok);
            for (const auto& [name, bytes] : files)
                ASSERT_EQ(writer.AddBytes(name, bytes), SfxResult::Ok);
            ASSERT_EQ(writer.Finish(), SfxResult::Ok);
        }
        std::ofstream(installer_, std::ios::binary | std::ios::app) << tail;
    }

    // Runs Install; the exit code when it ended the process, -1 when it returned to the dialog.
    int Install() {
        InstallFlow flow(platform_, files_, installer_);
        try {
            flow.Run(&progress_);
        } catch (const ProcessExit& exit) {
            return exit.code;
        }
        return -1;
    }

    std::string Folder() const { return temp_.path() + "/Zandor"; }
    std::vector<std::string> Texts() const { return platform_.Texts(); }

    TempDir temp_;
    TempDir work_;
    std::string installer_ = work_ / "Rezaravoz.exe";
    FakePlatform platform_;
    StdioFileSystem files_;
    RecordedProgress progress_;
};

const std::vector<std::pair<std::string, std::string>> kPayload = {{"Installer.exe", "setup program"},
                                                                   {"readme.txt", "read me"},
                                                                   {"empty.dat", ""}};

TEST_F(InstallFlowTest, UnpacksLastEntryFirstThenStartsTheQuotedSetupAndEnds) {
    MakeInstaller(kPayload);
    platform_.free_bytes = uint64_t{4520} * 1024;  // exactly the threshold passes

    EXPECT_EQ(Install(), 1);

    EXPECT_TRUE(Texts().empty());
    for (const auto& [name, bytes] : kPayload)
        EXPECT_EQ(ReadWhole(Folder() + "/" + name), bytes) << name;
    EXPECT_EQ(platform_.launched, (std::vector<std::string>{"\"" + Folder() + "/Installer.exe\" "}));
    EXPECT_EQ(platform_.free_space_queries, (std::vector<std::string>{Folder()}));
    EXPECT_EQ(progress_.texts, (std::vector<std::string>{"Extracting " + Folder() + "/empty.dat",
                                                         "Extracting " + Folder() + "/readme.txt",
                                                         "Extracting " + Folder() + "/Installer.exe"}));
    EXPECT_EQ(progress_.counts.back(), (std::pair<uint32_t, uint32_t>{3, 3}));
}

TEST_F(InstallFlowTest, TooLittleRoomStopsBeforeUnpackingAndUnknownRoomDoesNot) {
    MakeInstaller(kPayload);
    platform_.free_bytes = uint64_t{4520} * 1024 - 1;
    EXPECT_EQ(Install(), -1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Disk Full!"}));
    EXPECT_FALSE(std::filesystem::exists(Folder() + "/Installer.exe"));

    platform_.free_bytes.reset();
    EXPECT_EQ(Install(), 1);
}

TEST_F(InstallFlowTest, AnExtractionFolderThatIsALinkIsNeverWrittenThrough) {
    MakeInstaller(kPayload);
    std::filesystem::create_directory(work_ / "elsewhere");
    std::filesystem::create_directory_symlink(work_ / "elsewhere", Folder());
    EXPECT_EQ(Install(), -1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Error Install Failed"}));
    EXPECT_TRUE(std::filesystem::is_empty(work_ / "elsewhere"));
}

TEST_F(InstallFlowTest, LaunchFailureIsReportedAndStillEnds) {
    MakeInstaller(kPayload);
    platform_.launch_succeeds = false;
    EXPECT_EQ(Install(), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Unable to exec program"}));
}

TEST_F(InstallFlowTest, ArchiveProblemsKeepTheDialogOpenAndLaunchNothing) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        std::string tail;
        const char* message;
    };
    const Case cases[] = {
        {"bytes after the trailer", kPayload, "signature", "Archive contains no data. Contact Vendor"},
        {"no entries", {}, "", "Archive contains no data. Contact Vendor"},
        {"no setup program", {{"readme.txt", "read me"}}, "", "Error Install Failed"},
    };
    for (const Case& c : cases) {
        platform_.messages.clear();
        std::filesystem::remove_all(Folder());
        MakeInstaller(c.files, c.tail);
        EXPECT_EQ(Install(), -1) << c.what;
        EXPECT_EQ(Texts(), (std::vector<std::string>{c.message})) << c.what;
        EXPECT_TRUE(platform_.launched.empty()) << c.what;
    }
    platform_.messages.clear();
    installer_ = work_ / "missing.exe";
    EXPECT_EQ(Install(), -1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Internal Error"}));
}

TEST_F(InstallFlowTest, ASetupPathTooLongForTheLaunchIsRefusedBeforeAnythingIsWritten) {
    MakeInstaller(kPayload);
    // "/Zandor/Installer.exe" is 21 characters: a TEMP of 79 gives a path of 100, one more than fits.
    const std::string long_temp = temp_.path() + "/" + std::string(78 - temp_.path().size(), 't');
    std::filesystem::create_directory(long_temp);
    platform_.environment["TEMP"] = long_temp;
    EXPECT_EQ(Install(), -1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Error Install Failed"}));
    EXPECT_FALSE(std::filesystem::exists(long_temp + "/Zandor"));

    platform_.messages.clear();
    platform_.environment["TEMP"] = long_temp.substr(0, long_temp.size() - 1);
    std::filesystem::create_directory(platform_.environment["TEMP"]);
    EXPECT_EQ(Install(), 1);
}

TEST_F(InstallFlowTest, MissingTempWarnsAndGoesOnFromTheRoot) {
    // In memory, so the root folder of this machine is never touched.
    MemoryFileSystem memory;
    platform_.environment.clear();
    InstallFlow flow(platform_, memory, work_ / "missing.exe");
    flow.Run(nullptr);
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[0].text, "can'n get Evironment-Variable");
    EXPECT_EQ(platform_.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(platform_.free_space_queries, (std::vector<std::string>{"/Zandor"}));
    EXPECT_EQ(flow.extractionFolder(), "/Zandor/");
}

TEST(InstallFlow, SetupCommandLineAndCopyErrorTexts) {
    EXPECT_EQ(SetupCommandLine("C:\\My Temp\\Zandor\\Installer.exe"), "\"C:\\My Temp\\Zandor\\Installer.exe\" ");
    EXPECT_EQ(SetupCommandLine(std::string(99, 'x')), "\"" + std::string(99, 'x') + "\" ");
    EXPECT_EQ(SetupCommandLine(std::string(100, 'x')), std::nullopt);

    EXPECT_EQ(CopyErrorText(SfxResult::WriteFailed, "C:\\T\\Zandor\\a.dat"),
              "Disk full while accessing C:\\T\\Zandor\\a.dat.");
    EXPECT_EQ(CopyErrorText(SfxResult::ReadFailed, "x"), "A hardware I/O error was reported while accessing x.");
    EXPECT_EQ(CopyErrorText(SfxResult::SourceEnded, "x"), "An attempt was made to access x past its end.");
    EXPECT_EQ(CopyErrorText(SfxResult::Ok, "x"), "");
}

}  // namespace
