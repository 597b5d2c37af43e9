#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companions/setup/setup_machine.h"

// The installation as a list of steps. Each step done is recorded; a failure undoes the recorded steps in reverse,
// so a run either installs everything or leaves the machine as it found it. The steps done are written into
// install.log in the destination, and the uninstall removes exactly what that log names.

enum class SetupStepKind { Folder, File, Settings, Shortcut, Entry, Log };

struct SetupStep {
    SetupStepKind kind;
    std::string path;                     // what the step makes; for Entry the hive it went to, once done
    std::string source;                   // File: copied from; Shortcut: the link's target
    std::string bytes;                    // Settings, Log: the file's bytes; Shortcut: its description
    std::optional<std::string> previous;  // Settings: the bytes of the file it replaced, once done
    std::string start_in{};               // Shortcut: the folder it starts its program in
};

struct SetupOutcome {
    bool ok = true;
    bool access_denied = false;
    std::string path;          // what could not be done
    std::string reason;        // why
    bool left_listed = false;  // a removal cut short: install.log names what is left, for another run
    std::string note{};        // done, but with something the user should know
};

constexpr char kInstallLogName[] = "install.log";
constexpr char kSetupProgramName[] = "Installer.exe";
constexpr char kStartMenuFolderName[] = "Tolvane";
constexpr char kProductVersion[] = "1.0";

// The programs and files an installation copies from the setup's own folder, the setup program last.
const std::vector<std::string>& InstalledFileNames();

// The destination as typed, made absolute-looking and given its trailing backslash; empty with `*problem` set when
// it is not a full local or network path, holds a character no Windows name may hold, or does not fit the
// settings record's installFolder field.
std::string NormalizeDestination(std::string_view typed, std::string* problem);
// The default destination, "<ProgramFiles>\Varnick\Tolvane\".
std::string DefaultDestination(SetupMachine& machine);

// The bytes the settings file gets: a valid file's record with only installFolder changed (every other byte
// kept), else the default file record with installFolder; the check value rewritten in both cases.
std::string InstallSettingsBytes(const std::optional<std::string>& existing, const std::string& destination);

struct InstallPlan {
    std::string destination;  // with its trailing backslash
    std::vector<SetupStep> steps;
};

// `setup_folder` holds the files to copy; `destination` comes from NormalizeDestination.
InstallPlan MakeInstallPlan(SetupMachine& machine, const std::string& setup_folder, const std::string& destination);
// Everything that can be seen before writing: the files to copy are there, no target name is taken, Tolvane is
// not registered already. Nothing is written.
SetupOutcome CheckInstallPlan(SetupMachine& machine, const InstallPlan& plan);
// Runs the plan's steps; on a failure undoes what was done and reports the step's path and the reason. When the
// Users group cannot be given the right to write the settings file, the installation stands and says so in `note`.
SetupOutcome RunInstall(SetupMachine& machine, InstallPlan plan);

// Removes what `destination`\install.log names of what this setup makes (nothing else), files before folders, each
// folder only when empty; the settings file only when `remove_settings`; the program list's entry and the setup
// program once all else is gone. What could not be removed stays in the log for a second run.
SetupOutcome RunUninstall(SetupMachine& machine, const std::string& destination, bool remove_settings);

std::string FormatLog(const std::vector<SetupStep>& steps);
// Lines that do not parse are left out.
std::vector<SetupStep> ParseLog(std::string_view text);

// A failure as the user reads it: what, where, why and what was done about it.
std::string DescribeFailure(const SetupOutcome& outcome, bool uninstalling);

// After a failure: report it, or offer to restart the setup with administrator rights, which helps only when the
// system denied access, a user is there to answer, and the setup does not run with those rights already.
enum class RightsChoice { Report, OfferElevation };
RightsChoice DecideOnFailure(const SetupOutcome& outcome, bool silent, bool elevated);
