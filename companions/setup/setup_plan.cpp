#include "companions/setup/setup_plan.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "framework/windows_name.h"
#include "languages/code_page.h"
#include "recovery/settings_file.h"
#include "recovery/settings_record.h"
#include "recovery/settings_store.h"
#include "recovery/settings_values.h"

namespace {

constexpr size_t kSettingsReadLimit = size_t{1024} * 1024;
constexpr size_t kLogReadLimit = size_t{1024} * 1024;
constexpr char kUninstallArgument[] = " /uninstall";
constexpr char kCouldNotUndo[] = "\nCould not undo: ";

struct Shortcut {
    const char* link;
    const char* program;
    const char* description;
};
constexpr Shortcut kShortcuts[] = {{"Tolvane.lnk", "Tolvane.exe", "Recover the pictures of damaged Photoshop files"},
                                   {"Help.lnk", "Help.exe", "Tolvane Help"},
                                   {"Options.lnk", "Optmgr.exe", "Tolvane Options"}};

struct StepWord {
    SetupStepKind kind;
    const char* word;
};
constexpr StepWord kStepWords[] = {
    {SetupStepKind::Folder, "folder"},     {SetupStepKind::File, "file"},   {SetupStepKind::Settings, "settings"},
    {SetupStepKind::Shortcut, "shortcut"}, {SetupStepKind::Entry, "entry"}, {SetupStepKind::Log, "log"},
};

std::string WithoutSeparator(std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

std::string ParentOf(const std::string& path) {
    const size_t last = path.find_last_of('\\');
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

// Every folder name must be made as it is written: Windows makes C:\Apps\Tol. as C:\Apps\Tol, while the log, the
// settings and the program list would keep the dot, and the removal would find nothing of its own there.
std::string FolderNameProblem(std::string_view path, bool network) {
    std::string_view rest = path.substr(network ? 2 : 3);
    while (!rest.empty()) {
        const size_t end = std::min(rest.find('\\'), rest.size());
        const std::string_view name = rest.substr(0, end);
        if (const char* refusal = WindowsNameRefusal(name))
            return "The folder name \"" + std::string(name) + "\" cannot be used: " + refusal + ".";
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return std::string();
}

std::string SettingsPathOn(SetupMachine& machine) {
    return SettingsStore::PathIn(WithoutSeparator(machine.WindowsDirectory()), '\\');
}

std::string StartMenuFolderOn(SetupMachine& machine) {
    return WithoutSeparator(machine.StartMenuProgramsDirectory()) + "\\" + kStartMenuFolderName;
}

UninstallEntry EntryFor(const std::string& destination) {
    return {"Tolvane", kProductVersion, "Varnick", WithoutSeparator(destination),
            "\"" + destination + kSetupProgramName + "\"" + kUninstallArgument};
}

SetupOutcome Failure(const std::string& path, const MachineError& error) {
    return {false, error.access_denied, path, error.reason};
}

bool ReadPrevious(SetupMachine& machine, SetupStep* step) {
    step->previous.reset();
    if (!machine.Exists(step->path))
        return true;
    step->previous = machine.ReadSmallFile(step->path, kSettingsReadLimit);
    return step->previous.has_value();
}

bool Do(SetupMachine& machine, const std::string& destination, SetupStep* step) {
    switch (step->kind) {
        case SetupStepKind::Folder:
            return machine.MakeFolder(step->path);
        case SetupStepKind::File:
            return machine.CopyNew(step->source, step->path);
        case SetupStepKind::Settings:
            // A settings file that cannot be read could not be put back by a rollback, so it is not replaced.
            return ReadPrevious(machine, step) && machine.ReplaceFile(step->path, step->bytes);
        case SetupStepKind::Shortcut:
            return machine.CreateShortcut(step->path, step->source, step->bytes, step->start_in);
        case SetupStepKind::Entry:
            return machine.WriteUninstallEntry(EntryFor(destination), &step->path);
        case SetupStepKind::Log:
            return machine.CreateNewFile(step->path, step->bytes);
    }
    return false;
}

bool Remove(SetupMachine& machine, const SetupStep& step) {
    switch (step.kind) {
        case SetupStepKind::Entry:
            return machine.RemoveUninstallEntry(step.path);
        case SetupStepKind::Folder:
            return machine.RemoveEmptyFolder(step.path);
        default:
            return machine.RemoveFile(step.path);
    }
}

// A rollback removes what a step made, except that a settings file the step replaced gets its old bytes back.
bool Undo(SetupMachine& machine, const SetupStep& step) {
    if (step.kind == SetupStepKind::Settings && step.previous)
        return machine.ReplaceFile(step.path, *step.previous);
    return Remove(machine, step);
}

void RollBack(SetupMachine& machine, const std::vector<SetupStep>& done, SetupOutcome* outcome) {
    for (auto step = done.rbegin(); step != done.rend(); ++step) {
        if (!Undo(machine, *step))
            outcome->reason += std::string(kCouldNotUndo) + step->path + " (" + machine.LastError().reason + ")";
    }
}

}  // namespace

const std::vector<std::string>& InstalledFileNames() {
    static const std::vector<std::string> names = {"Tolvane.exe", "Help.exe", "Optmgr.exe", "readme.txt",
                                                   kSetupProgramName};
    return names;
}

std::string NormalizeDestination(std::string_view typed, std::string* problem) {
    std::string path(typed);
    while (!path.empty() && (path.front() == ' ' || path.front() == '\t'))
        path.erase(path.begin());
    while (!path.empty() && (path.back() == ' ' || path.back() == '\t'))
        path.pop_back();
    std::replace(path.begin(), path.end(), '/', '\\');
    const bool drive =
        path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
    const bool network = path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    // Runs of separators after the start mean nothing to Windows; one is kept.
    for (size_t at = network ? 2 : 0; (at = path.find("\\\\", at)) != std::string::npos;)
        path.erase(at, 1);
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    if (path.empty()) {
        *problem = "Please type the folder to install into.";
    } else if (!drive && !network) {
        *problem = "Please give the folder's full path, such as C:\\Program Files\\Varnick\\Tolvane\\.";
    } else if (path.size() <= 3) {
        *problem = "Please choose a folder, not the whole drive.";
    } else if (std::string name_problem = FolderNameProblem(path, network); !name_problem.empty()) {
        *problem = name_problem;
    } else {
        std::string value = FolderFieldValue(path, '\\');
        switch (CheckFolder(value, kInstallFolderField)) {
            case SettingsValueProblem::Fits:
                return value;
            case SettingsValueProblem::TooLong:
                *problem = "The folder's path is " + std::to_string(value.size()) + " characters long; at most " +
                           std::to_string(kInstallFolderField.size - 1) + " fit. Please choose a shorter one.";
                break;
            default:
                *problem = "The folder's name holds a control character.";
                break;
        }
    }
    return std::string();
}

std::string DefaultDestination(SetupMachine& machine) {
    return WithoutSeparator(machine.ProgramFilesDirectory()) + "\\Varnick\\Tolvane\\";
}

std::string InstallSettingsBytes(const std::optional<std::string>& existing, const std::string& destination) {
    std::string problem;
    const std::optional<SettingsBytes> valid =
        existing ? WholeSettingsRecord(std::vector<uint8_t>(existing->begin(), existing->end()), &problem)
                 : std::nullopt;
    SettingsBytes record = valid.value_or(DefaultFileRecordBytes());
    SettingsRecord fields = DecodeSettings(record);
    fields.installFolder = destination;
    EncodeSettings(fields, &record);
    const auto file = SettingsFileBytes(record, CheckValueOf(record));
    return std::string(file.begin(), file.end());
}

InstallPlan MakeInstallPlan(SetupMachine& machine, const std::string& setup_folder, const std::string& destination) {
    InstallPlan plan;
    plan.destination = destination;
    std::vector<std::string> missing;
    for (std::string folder = WithoutSeparator(destination); folder.size() > 3 && !machine.Exists(folder);
         folder = ParentOf(folder))
        missing.push_back(folder);
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder)
        plan.steps.push_back({SetupStepKind::Folder, *folder, "", "", std::nullopt});

    const std::string source_folder = WithoutSeparator(setup_folder) + "\\";
    for (const std::string& name : InstalledFileNames())
        plan.steps.push_back({SetupStepKind::File, destination + name, source_folder + name, "", std::nullopt});

    const std::string settings = SettingsPathOn(machine);
    plan.steps.push_back({SetupStepKind::Settings, settings, "",
                          InstallSettingsBytes(machine.ReadSmallFile(settings, kSettingsReadLimit), destination),
                          std::nullopt});

    const std::string menu = StartMenuFolderOn(machine);
    if (!machine.Exists(menu))
        plan.steps.push_back({SetupStepKind::Folder, menu, "", "", std::nullopt});
    // In the program folder a standard user could not write the pictures Tolvane recovers by default.
    std::string start_in = machine.UserStartDirectory();
    if (start_in.empty())
        start_in = WithoutSeparator(destination);
    for (const Shortcut& shortcut : kShortcuts)
        plan.steps.push_back({SetupStepKind::Shortcut, menu + "\\" + shortcut.link, destination + shortcut.program,
                              shortcut.description, std::nullopt, start_in});

    plan.steps.push_back({SetupStepKind::Entry, "", "", "", std::nullopt});
    plan.steps.push_back({SetupStepKind::Log, destination + kInstallLogName, "", "", std::nullopt});
    return plan;
}

SetupOutcome CheckInstallPlan(SetupMachine& machine, const InstallPlan& plan) {
    const std::string folder = WithoutSeparator(plan.destination);
    if (machine.Exists(folder) && !machine.IsFolder(folder))
        return {false, false, folder, "This is a file, not a folder."};
    for (const SetupStep& step : plan.steps) {
        if (step.kind == SetupStepKind::File && !machine.Exists(step.source))
            return {false, false, step.source, "The setup's folder lacks this file; the setup is incomplete."};
        const bool creates =
            step.kind == SetupStepKind::File || step.kind == SetupStepKind::Shortcut || step.kind == SetupStepKind::Log;
        if (creates && machine.Exists(step.path))
            return {false, false, step.path,
                    "This file exists already. Remove the earlier installation first, or choose another folder."};
    }
    if (machine.UninstallEntryExists())
        return {false, false, "Tolvane",
                "Tolvane is installed already (it is in the list of programs). Remove it first."};
    return {};
}

SetupOutcome RunInstall(SetupMachine& machine, InstallPlan plan) {
    std::vector<SetupStep> done;
    std::string note;
    for (SetupStep& step : plan.steps) {
        if (step.kind == SetupStepKind::Log) {
            std::vector<SetupStep> listed = done;
            listed.push_back(step);
            step.bytes = FormatLog(listed);
        }
        if (!Do(machine, plan.destination, &step)) {
            SetupOutcome outcome =
                Failure(step.kind == SetupStepKind::Entry ? "Tolvane" : step.path, machine.LastError());
            RollBack(machine, done, &outcome);
            return outcome;
        }
        done.push_back(step);
        // Without the grant only the programs run as administrator can save settings; everything else works, so
        // that is worth a note, not undoing the installation. A grant needs no undo: a rollback restores or removes
        // the settings file, which takes the grant with it.
        if (step.kind == SetupStepKind::Settings && !machine.GrantUsersWrite(step.path))
            note = "Users without administrator rights could not be given the right to change " + step.path + " (" +
                   machine.LastError().reason +
                   "), so only Tolvane and its Options started as administrator can save their settings.";
    }
    SetupOutcome outcome;
    outcome.note = note;
    return outcome;
}

std::string FormatLog(const std::vector<SetupStep>& steps) {
    std::string text = "# What the Tolvane setup made; its uninstall removes exactly these.\r\n";
    for (const SetupStep& step : steps) {
        for (const StepWord& word : kStepWords) {
            if (word.kind == step.kind)
                text += std::string(word.word) + "\t" + step.path + "\r\n";
        }
    }
    return text;
}

std::vector<SetupStep> ParseLog(std::string_view text) {
    std::vector<SetupStep> steps;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab + 1 == line.size())
            continue;
        for (const StepWord& word : kStepWords) {
            if (line.substr(0, tab) == word.word)
                steps.push_back({word.kind, std::string(line.substr(tab + 1)), "", "", std::nullopt});
        }
    }
    return steps;
}

namespace {

// A folder the removal may take away when it is empty: not a drive's root, nor a network share's.
bool BelowRoot(const std::string& folder) {
    if (folder.rfind("\\\\", 0) == 0)
        return std::count(folder.begin(), folder.end(), '\\') >= 4;
    return folder.size() > 3;
}

// The log says which of the setup's own things were made, never what else to delete: anyone who may write the log
// could otherwise make an administrator's removal delete any file. A line counts only when it names, letter case
// aside, one of the paths this setup makes, and the removal then works on the setup's own spelling of it; any other
// line (.. or / after a right prefix, a picture recovered into the program folder) is passed over.
std::optional<std::string> OwnPathFor(const SetupStep& step,
                                      const std::string& destination,
                                      const std::string& menu,
                                      const std::string& settings) {
    std::vector<std::string> own;
    switch (step.kind) {
        case SetupStepKind::Settings:
            own = {settings};
            break;
        case SetupStepKind::Entry:
            own = {"HKLM", "HKCU"};
            break;
        case SetupStepKind::Log:
            own = {destination + kInstallLogName};
            break;
        case SetupStepKind::File:
            for (const std::string& name : InstalledFileNames())
                own.push_back(destination + name);
            break;
        case SetupStepKind::Shortcut:
            for (const Shortcut& shortcut : kShortcuts)
                own.push_back(menu + "\\" + shortcut.link);
            break;
        case SetupStepKind::Folder:
            // The destination, the folders made above it, and the Start-menu folder; each only when empty.
            own.push_back(menu);
            for (std::string folder = WithoutSeparator(destination); BelowRoot(folder); folder = ParentOf(folder))
                own.push_back(folder);
            break;
    }
    for (const std::string& path : own) {
        if (step.kind == SetupStepKind::Entry ? step.path == path : EqualIgnoringCase(step.path, path))
            return path;
    }
    return std::nullopt;
}

}  // namespace

SetupOutcome RunUninstall(SetupMachine& machine, const std::string& destination, bool remove_settings) {
    const std::string log_path = destination + kInstallLogName;
    const std::optional<std::string> log = machine.ReadSmallFile(log_path, kLogReadLimit);
    if (!log)
        return {false, false, log_path,
                "There is no list of installed files here: Tolvane was not installed into "
                "this folder by its setup, or was removed already."};
    const std::string menu = StartMenuFolderOn(machine);
    const std::string settings = SettingsPathOn(machine);
    std::vector<SetupStep> listed;
    for (SetupStep& step : ParseLog(*log)) {
        if (std::optional<std::string> own = OwnPathFor(step, destination, menu, settings)) {
            step.path = *own;
            listed.push_back(step);
        }
    }

    SetupOutcome outcome;
    std::vector<bool> gone(listed.size(), false);
    // In reverse order of making; `first_failure_ends` stops at the first failure, else the others are tried still.
    const auto remove_where = [&](auto wanted, bool first_failure_ends) {
        for (size_t i = listed.size(); i-- > 0 && (outcome.ok || !first_failure_ends);) {
            if (!wanted(listed[i]))
                continue;
            gone[i] = Remove(machine, listed[i]);
            if (!gone[i] && outcome.ok)
                outcome =
                    Failure(listed[i].kind == SetupStepKind::Entry ? "Tolvane" : listed[i].path, machine.LastError());
        }
    };
    // The entry and the setup program go only once everything else has gone, so that a removal cut short can be
    // run again, from the program list or from the folder.
    const std::string setup_program = destination + kSetupProgramName;
    const auto last = [&](const SetupStep& step) {
        return step.kind == SetupStepKind::Entry || (step.kind == SetupStepKind::File && step.path == setup_program);
    };
    remove_where(
        [&](const SetupStep& step) {
            return step.kind != SetupStepKind::Folder && step.kind != SetupStepKind::Log &&
                   (step.kind != SetupStepKind::Settings || remove_settings) && !last(step);
        },
        false);
    if (outcome.ok)
        remove_where(last, true);
    if (!outcome.ok) {
        // Folders stay with what is left in them; the log names the rest for the next run.
        std::vector<SetupStep> left;
        for (size_t i = 0; i < listed.size(); ++i) {
            if (!gone[i])
                left.push_back(listed[i]);
        }
        outcome.left_listed = machine.ReplaceFile(log_path, FormatLog(left));
        if (!outcome.left_listed)
            outcome.reason += "\nThe list in " + log_path + " could not be updated: " + machine.LastError().reason;
        return outcome;
    }
    if (!machine.RemoveFile(log_path)) {
        outcome = Failure(log_path, machine.LastError());
        outcome.left_listed = true;
        return outcome;
    }
    remove_where([](const SetupStep& step) { return step.kind == SetupStepKind::Folder; }, false);
    return {};  // a folder that is not empty stays, with what the user keeps in it: no failure
}

std::string DescribeFailure(const SetupOutcome& outcome, bool uninstalling) {
    std::string text =
        uninstalling ? "Tolvane could not be removed completely.\n\n" : "Tolvane could not be installed.\n\n";
    if (!outcome.path.empty())
        text += outcome.path + "\n";
    text += outcome.reason;
    if (outcome.access_denied)
        text += "\n\nYou have no right to change this.";
    if (outcome.left_listed)
        text += "\n\nWhat is left is still listed in install.log; run the removal again once it is free.";
    else if (!uninstalling && outcome.reason.find(kCouldNotUndo) == std::string::npos)
        text += "\n\nNothing of this run was left behind.";
    return text;
}

RightsChoice DecideOnFailure(const SetupOutcome& outcome, bool silent, bool elevated) {
    return !outcome.ok && outcome.access_denied && !silent && !elevated ? RightsChoice::OfferElevation
                                                                        : RightsChoice::Report;
}
