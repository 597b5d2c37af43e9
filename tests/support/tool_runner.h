#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

// Runs a command-line program as a user runs it: in a shell, in a fresh folder, with its output caught.

struct ToolRun {
    int exit_code;
    std::string out;
    std::string err;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A full disk, in a test: the shell's file-size limit (in 512-byte blocks), with the signal it sends ignored, so
// that writes past it fail the way they do on a full disk.
inline std::string FileSizeLimit(int blocks) {
    return "trap '' XFSZ; ulimit -f " + std::to_string(blocks) + ";";
}

class CliTest : public ::testing::Test {
  protected:
    // `shell_setup` runs first in the same shell, `stdout_to` replaces the file the output is read from.
    ToolRun Tool(const std::vector<std::string>& args,
                 const std::string& shell_setup = "",
                 const std::string& stdout_to = "",
                 int timeout_seconds = 20) {
        std::string command = "cd " + Quoted(dir_.path()) + " && " + shell_setup +
                              " XDG_CONFIG_HOME=" + Quoted(dir_ / "config") + " timeout " +
                              std::to_string(timeout_seconds) + " " + Quoted(TOLVANE_TOOL);
        for (const std::string& arg : args)
            command += " " + Quoted(arg);
        command += " >" + Quoted(stdout_to.empty() ? dir_ / "stdout" : stdout_to) + " 2>" + Quoted(dir_ / "stderr") +
                   " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir_ / "stdout"), ReadText(dir_ / "stderr")};
    }
    std::string Read(const std::string& name) { return ReadText(dir_ / name); }

    TempDir dir_;
};
