// The tolvane command line, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "recovery/settings_record.h"
#include "tests/support/tool_runner.h"

namespace {

TEST_F(CliTest, RecoversTheSampleAndNeverOverwrites) {
    const std::string sample_before = ReadText(TOLVANE_SAMPLE);
    const ToolRun run = Tool({"recover", "--output-dir", dir_ / "pictures", TOLVANE_SAMPLE});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "( 3 )image(s) recovered stored in directory " + (dir_ / "pictures") + "!");
    for (const char* name : {"1.jpg", "2.jpg", "1.gif"})
        EXPECT_NE(run.out.find(dir_ / "pictures/" + name), std::string::npos) << name;
    EXPECT_EQ(Read("pictures/1.gif").substr(1, 3), "PNG");
    EXPECT_EQ(ReadText(TOLVANE_SAMPLE), sample_before);

    const std::string first_image = Read("pictures/1.jpg");
    const ToolRun again = Tool({"recover", "--language", "de", "--output-dir", dir_ / "pictures", TOLVANE_SAMPLE});
    EXPECT_EQ(again.exit_code, 3);
    EXPECT_NE(again.err.find("Build Akte besteht bereits!!"), std::string::npos) << again.err;
    EXPECT_EQ(Read("pictures/1.jpg"), first_image);
}

TEST_F(CliTest, FolderFollowsTheSettingsAndMessagesTheLanguage) {
    ASSERT_EQ(Tool({"settings", "init", "--file", dir_ / "my.pro"}).exit_code, 0);
    ASSERT_EQ(Tool({"settings", "set", "suffix", "XYZ", "--file", dir_ / "my.pro"}).exit_code, 0);
    ASSERT_EQ(Tool({"settings", "set", "language", "fr", "--file", dir_ / "my.pro"}).exit_code, 0);
    const ToolRun run = Tool({"recover", "--settings", dir_ / "my.pro", TOLVANE_SAMPLE});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              " ( 3 ) image(s) de Doc. de  r\xC3\xA9"
              "cup\xC3\xA9r\xC3\xA9 dans le folder " +
                  dir_.path() + "/damaged_photoXYZ!");

    ASSERT_EQ(Tool({"settings", "set", "output-folder", dir_ / "out", "--file", dir_ / "my.pro"}).exit_code, 0);
    std::filesystem::create_directory(dir_ / "out");
    const ToolRun elsewhere = Tool({"recover", "--settings", dir_ / "my.pro", "--language", "1", TOLVANE_SAMPLE});
    EXPECT_EQ(elsewhere.exit_code, 0) << elsewhere.err;
    EXPECT_NE(elsewhere.out.find("directory " + dir_.path() + "/out/damaged_photoXYZ!"), std::string::npos);
}

TEST_F(CliTest, ExitCodesTellWhatWentWrong) {
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        const char* in_stderr;
    };
    const std::string missing_parent = dir_ / "no/such/folder";
    const std::vector<Case> cases = {
        {{"recover", dir_ / "missing.psd"}, 1, "No such file"},
        {{"recover", dir_.path()}, 1, "is a folder"},
        {{"recover", "--output-dir", missing_parent, TOLVANE_SAMPLE}, 1, "Error writing file."},
        {{"recover"}, 2, "no FILE"},
        {{"recover", "--colour", TOLVANE_SAMPLE}, 2, "unknown option"},
        {{"recover", "--language", "xx", TOLVANE_SAMPLE}, 2, "unknown language"},
        {{"recover", "--settings", dir_ / "none.pro", TOLVANE_SAMPLE}, 2, "none.pro cannot be read (No such file"},
        {{"recover", "--output-dir"}, 2, "needs a value"},
        {{"carve", TOLVANE_SAMPLE}, 2, "unknown command"},
        {{"settings", "frobnicate"}, 2, "init, show or set"},
        {{"settings", "show", "--file", dir_ / "none.pro"}, 1, "cannot read"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.exit_code, c.exit_code) << c.args[0] << " " << c.args.back() << ": " << run.err;
        EXPECT_NE(run.err.find(c.in_stderr), std::string::npos) << run.err;
    }
    EXPECT_EQ(Tool({"--help"}).exit_code, 0);
    EXPECT_EQ(Tool({"--version"}).exit_code, 0);
}

TEST_F(CliTest, SettingsInitWritesTheDefaultFileInTheConfigFolder) {
    EXPECT_EQ(Tool({"settings", "init"}).exit_code, 0);
    const SettingsBytes record = DefaultFileRecordBytes();
    const auto expected = SettingsFileBytes(record, 0);
    EXPECT_EQ(Read("config/tolvane/propPSD.pro"), std::string(expected.begin(), expected.end()));
    const ToolRun show = Tool({"settings", "show"});
    EXPECT_EQ(show.exit_code, 0);
    EXPECT_NE(show.out.find("suffix          REC\n"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("language        1 (English)\n"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("check value     0, matches\n"), std::string::npos) << show.out;
}

TEST_F(CliTest, SettingsSetChangesOneFieldAndRefusesWhatDoesNotFit) {
    const std::string file = dir_ / "propPSD.pro";
    ASSERT_EQ(Tool({"settings", "init", "--file", file}).exit_code, 0);
    const std::string before = Read("propPSD.pro");

    EXPECT_EQ(Tool({"settings", "set", "language", "4", "--file", file}).exit_code, 0);
    std::string expected = before;
    expected[216] = 4;
    EXPECT_EQ(Read("propPSD.pro"), expected);

    const std::vector<std::vector<std::string>> refused = {
        {"suffix", "ABCD"},
        {"suffix", "\xE2\x82\xBD"},  // no Windows-1252 byte for it
        {"suffix", "/.."},           // would put the pictures into the source's own folder
        {"suffix", "a/b"},
        {"suffix", "a\\"},
        {"suffix", "c:"},
        {"suffix", ".."},
        {"suffix", "a\x1B"},
        {"output-folder", "out\nput"},
        {"output-folder", std::string(199, 'o')},
        {"install-folder", std::string(202, 'i')},
        {"language", "7"},
        {"language", "0"},
        {"delete-source", "yes"},
        {"delete-source", "1x"},
        {"delete-source", "99999999999"},
        {"delete-source", "\r1"},
        {"delete-source", " 1"},
        {"delete-source", "+"},
        {"colour", "blue"},
    };
    for (const std::vector<std::string>& key_value : refused) {
        const ToolRun run = Tool({"settings", "set", key_value[0], key_value[1], "--file", file});
        EXPECT_EQ(run.exit_code, 2) << key_value[0] << " " << key_value[1];
        EXPECT_EQ(Read("propPSD.pro"), expected) << key_value[0];
    }

    EXPECT_EQ(Tool({"settings", "set", "output-folder", std::string(197, 'o'), "--file", file}).exit_code, 0);
    EXPECT_EQ(Tool({"settings", "set", "delete-source", "-1", "--file", file}).exit_code, 0);
    const std::string after = Read("propPSD.pro");
    EXPECT_EQ(after.substr(4, 199), std::string(197, 'o') + "/" + '\0');
    EXPECT_EQ(after.substr(208, 4), std::string(4, '\xFF'));
    EXPECT_EQ(after.substr(217), expected.substr(217)) << "install folder and check value untouched";
    EXPECT_EQ(Tool({"settings", "set", "install-folder", "C:\\a", "--file", file}).exit_code, 0);
    EXPECT_EQ(Read("propPSD.pro").substr(217, 6), std::string("C:\\a\\") + '\0') << "a Windows path";
}

TEST_F(CliTest, NeverChangesWhatItShouldOnlyRead) {
    const std::string sample = ReadText(TOLVANE_SAMPLE);
    std::filesystem::copy_file(TOLVANE_SAMPLE, dir_ / "x.psd");
    ASSERT_EQ(Tool({"settings", "init", "--file", dir_ / "good.pro"}).exit_code, 0);
    std::string damaged = Read("good.pro");
    damaged[419] = 7;
    std::ofstream(dir_ / "damaged.pro", std::ios::binary) << damaged;
    ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    std::ofstream(dir_ / "climbing.pro", std::ios::binary) << std::string("/..\0", 4) + Read("good.pro").substr(4);
    std::filesystem::create_symlink(dir_ / "good.pro", dir_ / "link.pro");
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        const char* in_stderr;
    };
    const std::vector<Case> cases = {
        // A picture named as settings by mistake, even the source itself, is refused and left alone.
        {{"recover", "--settings", "x.psd", "x.psd"}, 2, "x.psd is longer than a settings file"},
        {{"recover", "--settings", "damaged.pro", "x.psd"}, 2, "damaged.pro fails its check value"},
        // FIFOs would hang the open; they are refused at once.
        {{"recover", "--settings", "fifo", "x.psd"}, 2, "fifo cannot be read (is a FIFO"},
        {{"recover", "fifo"}, 1, "fifo: is a FIFO, not a file"},
        {{"recover", "/dev/zero"}, 1, "/dev/zero: is a character device, not a file"},
        {{"recover", "/dev/tty"}, 1, "/dev/tty: is a character device, not a file"},
        {{"settings", "show", "--file", "fifo"}, 1, "is a FIFO"},
        {{"recover", "--settings", "climbing.pro", "x.psd"}, 2, "climbing.pro has a suffix that no folder name"},
        {{"settings", "set", "language", "3", "--file", "link.pro"}, 1, "link.pro is a symbolic link"},
        {{"settings", "init", "--file", "x.psd"}, 1, "x.psd exists and is not a settings file"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.exit_code, c.exit_code) << c.args.back() << ": " << run.err;
        EXPECT_NE(run.err.find(c.in_stderr), std::string::npos) << run.err;
    }
    EXPECT_EQ(Read("x.psd"), sample);
    EXPECT_EQ(Read("damaged.pro"), damaged);
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link.pro"));

    // A settings file whose new version cannot be written whole keeps its old one. (With no room at all, the
    // messages cannot reach the stderr file either; the file system test checks the reason.)
    const std::string good = Read("good.pro");
    EXPECT_EQ(Tool({"settings", "set", "language", "3", "--file", "good.pro"}, FileSizeLimit(0)).exit_code, 1);
    EXPECT_EQ(Read("good.pro"), good);
    EXPECT_EQ(Tool({"settings", "init", "--file", "good.pro"}, FileSizeLimit(0)).exit_code, 1);
    EXPECT_EQ(Read("good.pro"), good);
}

TEST_F(CliTest, PicturesNeverLeaveTheirFolderAndTheListingTellsWhatIsOnDisk) {
    // A dangling link in the output folder would send the picture elsewhere: the name counts as taken.
    std::filesystem::create_directory(dir_ / "pictures");
    std::filesystem::create_symlink(dir_ / "elsewhere.jpg", dir_ / "pictures/1.jpg");
    const ToolRun linked = Tool({"recover", "--output-dir", "pictures", TOLVANE_SAMPLE});
    EXPECT_EQ(linked.exit_code, 3) << linked.err;
    EXPECT_NE(linked.err.find("Images directory already exists!!"), std::string::npos) << linked.err;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "elsewhere.jpg"));

    // Nor is a link standing in for the output folder written through.
    std::filesystem::create_directory(dir_ / "target");
    std::filesystem::create_directory_symlink(dir_ / "target", dir_ / "via-link");
    const ToolRun through = Tool({"recover", "--output-dir", "via-link", TOLVANE_SAMPLE});
    EXPECT_EQ(through.exit_code, 1);
    EXPECT_NE(through.err.find("via-link: is a symbolic link or a file, not a folder"), std::string::npos)
        << through.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "target"));

    // 16 blocks of 512 bytes: 1.jpg (2954 bytes) fits, 2.jpg (13672) is cut at 8192; the carve stops there.
    const ToolRun full = Tool({"recover", "--output-dir", "cut", TOLVANE_SAMPLE}, FileSizeLimit(16));
    EXPECT_EQ(full.exit_code, 1);
    EXPECT_NE(full.out.find("cut/1.jpg  2954 bytes\n"), std::string::npos) << full.out;
    EXPECT_NE(full.out.find("cut/2.jpg  8192 bytes (cut short)\n"), std::string::npos) << full.out;
    EXPECT_EQ(full.out.find("1.gif"), std::string::npos) << full.out;
    EXPECT_NE(full.err.find("cut/2.jpg: File too large"), std::string::npos) << full.err;

    // Names reach the terminal with their control characters shown, not acted on.
    const std::string odd = "odd\n\x1B]0;title\x07.psd";
    std::filesystem::copy_file(TOLVANE_SAMPLE, dir_ / odd);
    const ToolRun shown = Tool({"recover", "--output-dir", "odd", odd});
    EXPECT_EQ(shown.exit_code, 0) << shown.err;
    EXPECT_EQ(shown.out.find('\x1B'), std::string::npos) << shown.out;
    const ToolRun bad_name = Tool({"recover", "--output-dir", "odd2", dir_ / "missing\x1B[2J.psd"});
    EXPECT_NE(bad_name.err.find("missing\\x1B[2J.psd: No such file or directory"), std::string::npos) << bad_name.err;

    // What cannot be written to the standard output is a failure too.
    EXPECT_EQ(Tool({"--help"}, "", "/dev/full").exit_code, 1);
    EXPECT_EQ(Tool({"recover", "--output-dir", "again", TOLVANE_SAMPLE}, "", "/dev/full").exit_code, 1);
}

}  // namespace
