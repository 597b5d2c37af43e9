// sfxpack run as the build runs it: pack, list, extract, and the exit status of every kind of failure.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <cstdlib>

#include "tests/installer/sfx_test_files.h"
#include "tests/support/temp_dir.h"

namespace {

struct ToolRun {
    int exit_code;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class SfxpackCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteWhole(dir_ / "stub.exe", std::string(1000, 'S'));
        std::filesystem::create_directories(dir_ / "payload/sub");
        WriteWhole(dir_ / "payload/INSTALLER.exe", "MZ setup");
        WriteWhole(dir_ / "payload/sub/data.bin", std::string(300, '\x7F'));
        WriteWhole(dir_ / "payload/empty.txt", "");
    }

    ToolRun Tool(const std::vector<std::string>& args) {
        std::string command = "cd " + Quoted(dir_.path()) + " && " + Quoted(SFXPACK_TOOL);
        for (const std::string& arg : args)
            command += " " + Quoted(arg);
        command += " >" + Quoted(dir_ / "stdout") + " 2>" + Quoted(dir_ / "stderr") + " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(dir_ / "stdout"), ReadWhole(dir_ / "stderr")};
    }

    TempDir dir_;
};

TEST_F(SfxpackCliTest, PacksListsAndExtractsUnderBareNames) {
    const ToolRun pack = Tool({"pack", "--stub", "stub.exe", "--out", "setup.exe", "payload/INSTALLER.exe",
                               dir_ / "payload/sub/data.bin", "payload/empty.txt"});
    ASSERT_EQ(pack.exit_code, 0) << pack.err;

    const ToolRun list = Tool({"list", "setup.exe"});
    EXPECT_EQ(list.exit_code, 0) << list.err;
    EXPECT_EQ(list.out,
              "      1000          8 INSTALLER.exe\n"
              "      1008        300 data.bin\n"
              "      1308          0 empty.txt\n");

    std::filesystem::create_directory(dir_ / "out dir");
    const ToolRun extract = Tool({"extract", "setup.exe", "out dir"});
    EXPECT_EQ(extract.exit_code, 0) << extract.err;
    EXPECT_EQ(NamesIn(dir_ / "out dir"), (std::set<std::string>{"INSTALLER.exe", "data.bin", "empty.txt"}));
    EXPECT_EQ(ReadWhole(dir_ / "out dir/data.bin"), std::string(300, '\x7F'));
}

TEST_F(SfxpackCliTest, RefusesHostileArchivesAndShowsNamesSafely) {
    std::vector<SfxEntry> entries;
    const std::string body = LayOut("MZ", {{"../escaped.txt", "gotcha"}}, &entries);
    WriteWhole(dir_ / "hostile.exe", WithDirectory(body, entries));
    std::filesystem::create_directory(dir_ / "out");
    for (const char* command : {"list", "extract"}) {
        const ToolRun run =
            command == std::string("list") ? Tool({"list", "hostile.exe"}) : Tool({"extract", "hostile.exe", "out"});
        EXPECT_EQ(run.exit_code, 1) << command;
        EXPECT_NE(run.err.find("damaged or unsafe (name holds"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "escaped.txt"));
    EXPECT_TRUE(NamesIn(dir_ / "out").empty());

    // Windows-1252 bytes are no UTF-8: 9B would be a terminal's CSI, and E9 is shown for what it is.
    entries.clear();
    const std::string odd = LayOut("MZ",
                                   {{"\x9B"
                                     "31mcaf\xE9",
                                     "x"}},
                                   &entries);
    WriteWhole(dir_ / "odd.exe", WithDirectory(odd, entries));
    EXPECT_EQ(Tool({"list", "odd.exe"}).out, "         2          1 \\x9B31mcaf\\xE9\n");

    // A FIFO where the archive should be, or in the way of an entry, is refused at once instead of hanging.
    ASSERT_EQ(mkfifo((dir_ / "fifo.exe").c_str(), 0600), 0);
    const ToolRun fifo = Tool({"list", "fifo.exe"});
    EXPECT_EQ(fifo.exit_code, 1);
    EXPECT_NE(fifo.err.find("is a FIFO"), std::string::npos) << fifo.err;
}

TEST_F(SfxpackCliTest, PackNeverDestroysAnInputOrAnExistingArchive) {
    ASSERT_EQ(Tool({"pack", "--stub", "stub.exe", "--out", "setup.exe", "payload/INSTALLER.exe"}).exit_code, 0);
    const std::string archive = ReadWhole(dir_ / "setup.exe");
    std::filesystem::create_hard_link(dir_ / "payload/empty.txt", dir_ / "linked.txt");
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        const char* in_stderr;
    };
    const std::vector<Case> cases = {
        {{"pack", "--stub", "stub.exe", "--out", "./stub.exe", "payload/INSTALLER.exe"}, 2, "same file as stub.exe"},
        {{"pack", "--stub", "stub.exe", "--out", "linked.txt", "payload/empty.txt"}, 2, "same file as"},
        // Refused or failed: the existing archive stays as it was.
        {{"pack", "--stub", "stub.exe", "--out", "setup.exe", "payload/INSTALLER.exe", "other/INSTALLER.exe"},
         1,
         "not a readable file"},
        {{"pack", "--stub", "stub.exe", "--out", "setup.exe", "payload/INSTALLER.exe", "payload/INSTALLER.exe"},
         1,
         "name already stored"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.exit_code, c.exit_code) << c.args[4] << ": " << run.err;
        EXPECT_NE(run.err.find(c.in_stderr), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadWhole(dir_ / "stub.exe"), std::string(1000, 'S'));
    EXPECT_EQ(ReadWhole(dir_ / "payload/empty.txt"), "");
    EXPECT_EQ(ReadWhole(dir_ / "setup.exe"), archive);
    EXPECT_EQ(NamesIn(dir_.path()).count("setup.exe.tmp0"), 0u) << "no temporary file left behind";

    // What cannot be written to the standard output is a failure, not a success.
    const int status = std::system(
        ("cd " + Quoted(dir_.path()) + " && " + Quoted(SFXPACK_TOOL) + " list setup.exe >/dev/full 2>/dev/null")
            .c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
}

TEST_F(SfxpackCliTest, ExitStatusTellsWhatWentWrong) {
    WriteWhole(dir_ / "a:b", "colon");
    std::filesystem::create_directory(dir_ / "other");
    WriteWhole(dir_ / "other/installer.EXE", "same name, other case");
    std::ofstream(dir_ / "huge.bin").close();
    std::filesystem::resize_file(dir_ / "huge.bin", kSfxPositionLimit);  // sparse: costs nothing
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        const char* in_stderr;
    };
    const std::vector<Case> cases = {
        {{}, 2, "no command"},
        {{"unpack", "x"}, 2, "unknown command"},
        {{"list"}, 2, "list needs ARCHIVE"},
        {{"extract", "setup.exe"}, 2, "extract needs ARCHIVE and DIR"},
        {{"pack", "--out", "o.exe", "stub.exe"}, 2, "needs --stub and --out"},
        {{"pack", "--stub", "stub.exe", "--out", "o.exe"}, 2, "at least one FILE"},
        {{"pack", "--stub", "stub.exe", "--out", "o.exe", "--level", "9", "a"}, 2, "unknown option --level"},
        {{"pack", "--stub", "stub.exe", "--out"}, 2, "--out needs a value"},
        {{"pack", "--stub", "stub.exe", "--out", "o.exe", "a:b"}, 1, "cannot be stored: name holds"},
        {{"pack", "--stub", "stub.exe", "--out", "o.exe", "payload/"}, 1, "cannot be stored: empty name"},
        {{"pack", "--stub", "stub.exe", "--out", "o.exe", "missing.txt"},
         1,
         "missing.txt: not a readable file (No such"},
        {{"pack", "--stub", "payload", "--out", "o.exe", "stub.exe"}, 1, "payload: not a readable file (a folder)"},
        {{"pack", "--stub", "stub.exe", "--out", "o.exe", "huge.bin"}, 1, "huge.bin: cannot be stored: file of 2 GiB"},
        {{"pack", "--stub", "stub.exe", "--out", "o.exe", "payload/INSTALLER.exe", "other/installer.EXE"},
         1,
         "name already stored"},
        {{"list", "stub.exe"}, 1, "does not end with an archive trailer"},
        {{"list", "nothing.exe"}, 1, "cannot be opened"},
        {{"extract", "stub.exe", "no-such-folder"}, 1, "not an existing folder"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.exit_code, c.exit_code) << (c.args.empty() ? "" : c.args.back()) << ": " << run.err;
        EXPECT_NE(run.err.find(c.in_stderr), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("damaged"), std::string::npos) << "nothing here is a damaged archive: " << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "o.exe")) << run.err;
    }
    EXPECT_EQ(Tool({"--help"}).exit_code, 0);
}

}  // namespace
