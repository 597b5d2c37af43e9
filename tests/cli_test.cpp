// The tolvane command line, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <fstream>
#include <iterator>

#include "recovery/settings_record.h"
#include "tests/support/temp_dir.h"

namespace {

struct ToolRun {
    int exit_code;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CliTest : public ::testing::Test {
  protected:
    ToolRun Tool(const std::vector<std::string>& args) {
        std::string command =
            "cd " + Quoted(dir_.path()) + " && XDG_CONFIG_HOME=" + Quoted(dir_ / "config") + " " + Quoted(TOLVANE_TOOL);
        for (const std::string& arg : args)
            command += " " + Quoted(arg);
        command += " >" + Quoted(dir_ / "stdout") + " 2>" + Quoted(dir_ / "stderr") + " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir_ / "stdout"), ReadText(dir_ / "stderr")};
    }
    std::string Read(const std::string& name) { return ReadText(dir_ / name); }

    TempDir dir_;
};

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
        {{"recover", "--settings", dir_ / "none.pro", TOLVANE_SAMPLE}, 2, "not found"},
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
}

}  // namespace
