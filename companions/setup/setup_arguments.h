#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The setup program's command line, in the conventions administrators know from common installers:
//   /S            silent: no dialog, no message box; the exit code tells the outcome
//   /D=FOLDER     the destination; the last argument, taken to the end of the line, blanks included, no quotes
//   /uninstall    remove the installation
// and, between the setup and its own copy only, /wait=HANDLE, the setup that waits for the copy's answer, and
// /report=HANDLE, where the copy writes that answer.
struct SetupArguments {
    bool valid = true;
    std::string problem;  // when not valid
    bool silent = false;
    bool uninstall = false;
    std::string destination;  // as given, empty when not given
    uintptr_t wait_handle = 0;
    uintptr_t report_handle = 0;
};

// `arguments` is the command line after the program's name.
SetupArguments ParseSetupArguments(std::string_view arguments);
// The arguments of a restart with other rights: the same switches, `destination` as /D=.
std::string RestartArguments(const SetupArguments& arguments, const std::string& destination);
