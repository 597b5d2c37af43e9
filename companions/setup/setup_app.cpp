#include "companions/setup/setup_app.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <cstdio>

#include "companions/setup/setup_window.h"
#include "framework/unique_handle.h"
#include "recovery/settings_record.h"

namespace {

constexpr char kCaption[] = "Tolvane Setup";
constexpr int kDone = 0;
constexpr int kCancelled = 1;
constexpr int kFailed = 2;

std::string OwnPath() {
    std::array<char, MAX_PATH> path{};
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return length > 0 && length < path.size() ? std::string(path.data(), length) : std::string(kSetupProgramName);
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\') + 1);
}

// Silent runs have no window, and a program without a console has no standard error unless its caller redirects
// it: what goes wrong goes to both, the standard error and a new log of its own in %TEMP%.
void WriteError(const std::string& text) {
    std::string line = std::string(kCaption) + ": " + text + "\r\n";
    std::array<char, MAX_PATH> temp{};
    const DWORD length = ::GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::array<char, 64> name{};
    std::snprintf(name.data(), name.size(), "Tolvane-setup-%04u%02u%02u-%02u%02u%02u-%lu.log", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, ::GetCurrentProcessId());
    const std::string log = std::string(temp.data(), length < temp.size() ? length : 0) + name.data();
    UniqueFile file(::CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool logged = file &&
                        ::WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                        written == line.size() && ::CloseHandle(file.Release());
    if (!logged)
        line += std::string(kCaption) + ": the log " + log +
                " could not be written: " + SystemMessage(::GetLastError()) + "\r\n";
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE)
        ::WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

bool Ask(HWND owner, const std::string& text, UINT default_button = MB_DEFBUTTON1) {
    return ::MessageBoxA(owner, text.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION | default_button) == IDYES;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && ::lstrcmpiA(text.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

// A new file in the temporary folder for the setup's copy; empty when none could be made.
std::string CopyIntoTemp(const std::string& own_path) {
    std::array<char, MAX_PATH> temp{};
    const DWORD length = ::GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    if (length == 0 || length >= temp.size())
        return std::string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string copy = std::string(temp.data()) + "Tolvane-uninstall-" +
                                 std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".exe";
        if (::CopyFileA(own_path.c_str(), copy.c_str(), TRUE))
            return copy;
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
    return std::string();
}

}  // namespace

SetupApp::SetupApp(HINSTANCE instance, const std::string& arguments)
    : instance_(instance),
      arguments_(ParseSetupArguments(arguments)),
      own_path_(OwnPath()),
      own_folder_(FolderOf(own_path_)),
      machine_(SystemLocations(), own_path_) {}

int SetupApp::Run() {
    if (!arguments_.valid) {
        Tell(nullptr, arguments_.problem, MB_ICONSTOP);
        return kFailed;
    }
    if (arguments_.uninstall)
        return RunUninstall();
    return arguments_.silent ? RunSilentInstall() : RunWindow();
}

void SetupApp::Tell(HWND owner, const std::string& text, UINT icon) const {
    if (arguments_.silent)
        WriteError(text);
    else
        ::MessageBoxA(owner, text.c_str(), kCaption, MB_OK | icon);
}

SetupOutcome SetupApp::Install(const std::string& destination) {
    const InstallPlan plan = MakeInstallPlan(machine_, own_folder_, destination);
    const SetupOutcome checked = CheckInstallPlan(machine_, plan);
    return checked.ok ? RunInstall(machine_, plan) : checked;
}

int SetupApp::RunWindow() {
    const std::string initial = arguments_.destination.empty() ? DefaultDestination(machine_) : arguments_.destination;
    SetupWindow window(instance_, initial,
                       [this](HWND owner, const std::string& typed) { return InstallFromWindow(owner, typed); });
    if (window.DoModal(nullptr) != IDOK)
        return kCancelled;
    return exit_code_;
}

bool SetupApp::InstallFromWindow(HWND owner, const std::string& typed) {
    std::string problem;
    const std::string destination = NormalizeDestination(typed, &problem);
    if (destination.empty()) {
        Tell(owner, problem, MB_ICONWARNING);
        return false;
    }
    const SetupOutcome outcome = Install(destination);
    if (outcome.ok) {
        Tell(owner,
             "Tolvane is installed in " + destination + "\n\nStart it from the Start menu: Programs, Tolvane." +
                 (outcome.note.empty() ? "" : "\n\n" + outcome.note),
             outcome.note.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
        exit_code_ = kDone;
        return true;
    }
    if (OfferElevation(owner, outcome, destination, false))
        return true;
    if (DecideOnFailure(outcome, false, ::IsUserAnAdmin() != FALSE) == RightsChoice::Report)
        Tell(owner, DescribeFailure(outcome, false), MB_ICONSTOP);
    return false;
}

bool SetupApp::OfferElevation(HWND owner,
                              const SetupOutcome& outcome,
                              const std::string& destination,
                              bool uninstalling) {
    if (DecideOnFailure(outcome, arguments_.silent, ::IsUserAnAdmin() != FALSE) != RightsChoice::OfferElevation)
        return false;
    const std::string question = DescribeFailure(outcome, uninstalling) +
                                 "\n\nRestart Setup with administrator rights?" +
                                 (uninstalling ? "" : " Answer No to choose another folder.");
    if (!Ask(owner, question))
        return false;
    const std::string restart = RestartArguments(arguments_, destination);
    const auto started = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(owner, "runas", own_path_.c_str(), restart.c_str(), own_folder_.c_str(), SW_SHOWNORMAL));
    if (started <= 32) {
        Tell(owner, "Setup could not restart itself with administrator rights.", MB_ICONSTOP);
        return false;
    }
    exit_code_ = kDone;
    return true;
}

int SetupApp::RunSilentInstall() {
    std::string problem;
    const std::string destination = NormalizeDestination(
        arguments_.destination.empty() ? DefaultDestination(machine_) : arguments_.destination, &problem);
    if (destination.empty()) {
        WriteError(problem);
        return kFailed;
    }
    const SetupOutcome outcome = Install(destination);
    if (!outcome.ok) {
        WriteError(DescribeFailure(outcome, false));
        return kFailed;
    }
    if (!outcome.note.empty())
        WriteError(outcome.note);  // installed all the same
    return kDone;
}

int SetupApp::RunUninstall() {
    std::string problem;
    const std::string destination =
        arguments_.destination.empty() ? own_folder_ : NormalizeDestination(arguments_.destination, &problem);
    if (destination.empty()) {
        Tell(nullptr, problem, MB_ICONSTOP);
        return kFailed;
    }
    if (arguments_.wait_handle != 0) {
        const std::string setup_program = destination + kSetupProgramName;
        machine_.LeaveForLater(setup_program);
        const int exit_code = RemoveInstallation(destination);
        AnswerAndFinish(exit_code, setup_program);
        return exit_code;
    }
    if (StartsWith(own_path_, destination)) {
        if (const std::optional<int> exit_code = HandOverToCopy(destination))
            return *exit_code;
    }
    return RemoveInstallation(destination);
}

int SetupApp::RemoveInstallation(const std::string& destination) {
    bool remove_settings = false;
    if (!arguments_.silent) {
        if (!Ask(nullptr, "Remove Tolvane from this folder?\n\n" + destination +
                              "\n\nSetup removes the programs, the Start-menu shortcuts and the entry in the list of "
                              "programs. Pictures you recovered, and every other file Setup did not put there, "
                              "stay."))
            return kCancelled;
        remove_settings = Ask(nullptr,
                              "Remove your settings too?\n\n" + machine_.WindowsDirectory() + "\\" + kSettingsFileName +
                                  " keeps your language and output folder. Answer No to keep them for a later "
                                  "installation.",
                              MB_DEFBUTTON2);
    }
    const SetupOutcome outcome = ::RunUninstall(machine_, destination, remove_settings);
    if (outcome.ok) {
        if (!arguments_.silent)
            Tell(nullptr, "Tolvane was removed.", MB_ICONINFORMATION);
        return kDone;
    }
    if (OfferElevation(nullptr, outcome, destination, true))
        return kDone;
    Tell(nullptr, DescribeFailure(outcome, true), MB_ICONSTOP);
    return kFailed;
}

std::optional<int> SetupApp::HandOverToCopy(const std::string& destination) {
    const std::string copy = CopyIntoTemp(own_path_);
    if (copy.empty())
        return std::nullopt;
    // The copy inherits a handle to wait for this process with, and the writing end of a pipe for its answer.
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE raw_read = nullptr;
    HANDLE raw_write = nullptr;
    HANDLE raw_self = nullptr;
    const bool prepared = ::CreatePipe(&raw_read, &raw_write, &inherited, 0) &&
                          ::SetHandleInformation(raw_read, HANDLE_FLAG_INHERIT, 0) &&
                          ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                                            &raw_self, SYNCHRONIZE, TRUE, 0);
    const UniqueKernelHandle answer(raw_read);
    UniqueKernelHandle answer_end(raw_write);
    UniqueKernelHandle self(raw_self);
    std::string line = "\"" + copy + "\" /uninstall " + (arguments_.silent ? "/S " : "") +
                       "/wait=" + std::to_string(reinterpret_cast<uintptr_t>(raw_self)) +
                       " /report=" + std::to_string(reinterpret_cast<uintptr_t>(raw_write)) + " /D=" + destination;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::string folder = FolderOf(copy);
    if (!prepared || !::CreateProcessA(copy.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                       &startup, &process)) {
        ::DeleteFileA(copy.c_str());
        return std::nullopt;
    }
    const UniqueKernelHandle copy_process(process.hProcess);
    ::CloseHandle(process.hThread);
    // Only the copy may hold the writing end now: its answer, or its end without one, ends the read.
    answer_end.Reset();
    self.Reset();
    BYTE exit_code = 0;
    DWORD got = 0;
    if (::ReadFile(answer.Get(), &exit_code, 1, &got, nullptr) && got == 1)
        return exit_code;
    DWORD ended_with = kFailed;
    ::WaitForSingleObject(copy_process.Get(), INFINITE);
    return ::GetExitCodeProcess(copy_process.Get(), &ended_with) ? static_cast<int>(ended_with) : kFailed;
}

void SetupApp::AnswerAndFinish(int exit_code, const std::string& setup_program) {
    const auto answer = reinterpret_cast<HANDLE>(arguments_.report_handle);
    const auto setup = reinterpret_cast<HANDLE>(arguments_.wait_handle);
    const auto answered = static_cast<BYTE>(exit_code);
    DWORD written = 0;
    if (answer != nullptr) {
        ::WriteFile(answer, &answered, 1, &written, nullptr);
        ::CloseHandle(answer);
    }
    ::WaitForSingleObject(setup, 10000);
    ::CloseHandle(setup);
    if (!machine_.RemoveLeftForLater())
        Tell(nullptr,
             "Tolvane was removed, but Setup could not delete its own program:\n" + setup_program + "\n" +
                 machine_.LastError().reason,
             MB_ICONWARNING);
    ::MoveFileExA(own_path_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);  // this copy in %TEMP%
}
