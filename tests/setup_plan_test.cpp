#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "companions/setup/setup_arguments.h"
#include "companions/setup/setup_plan.h"
#include "recovery/settings_record.h"

namespace {

constexpr char kDest[] = "C:\\Program Files\\Varnick\\Tolvane\\";
constexpr char kSettings[] = "C:\\WINDOWS\\propPSD.pro";

struct MachineState {
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::string entry;                  // the hive, empty when not registered
    std::set<std::string> users_write;  // files the Users group may write
    bool operator==(const MachineState& o) const {
        return files == o.files && folders == o.folders && entry == o.entry && users_write == o.users_write;
    }
};

// Files and folders in maps; every change counts as one operation, and operation `fail_at` fails.
class FakeMachine final : public SetupMachine {
  public:
    FakeMachine() {
        state.folders = {"C:", "C:\\Program Files", "C:\\WINDOWS", "C:\\Menu", "C:\\Setup"};
        for (const std::string& name : InstalledFileNames())
            state.files["C:\\Setup\\" + name] = "bytes of " + name;
    }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    std::string ProgramFilesDirectory() override { return "C:\\Program Files"; }
    std::string StartMenuProgramsDirectory() override { return "C:\\Menu"; }
    std::string UserStartDirectory() override { return "C:\\Users\\me\\Pictures"; }
    bool Exists(const std::string& p) override { return state.files.count(p) + state.folders.count(p) > 0; }
    bool IsFolder(const std::string& p) override { return state.folders.count(p) > 0; }
    bool CopyNew(const std::string& from, const std::string& to) override {
        return !Fails() && state.files.count(from) && Create(to, state.files[from]);
    }
    bool MakeFolder(const std::string& p) override { return !Fails() && Makes(p) && state.folders.insert(p).second; }
    bool RemoveFile(const std::string& path) override {
        const std::string p = Resolved(path);
        return !Fails() && !IsFolder(p) && state.users_write.erase(p) < 2 && state.files.erase(p) < 2;
    }
    bool RemoveEmptyFolder(const std::string& path) override {
        const std::string p = Resolved(path);
        const auto inside = [&](const std::string& name) { return name.rfind(p + "\\", 0) == 0; };
        return !Fails() && std::none_of(state.folders.begin(), state.folders.end(), inside) &&
               std::none_of(state.files.begin(), state.files.end(), [&](const auto& f) { return inside(f.first); }) &&
               state.folders.erase(p) < 2;
    }
    std::optional<std::string> ReadSmallFile(const std::string& p, size_t limit) override {
        const auto found = state.files.find(p);
        return found != state.files.end() && found->second.size() <= limit ? std::optional(found->second)
                                                                           : std::nullopt;
    }
    bool CreateNewFile(const std::string& p, const std::string& bytes) override { return !Fails() && Create(p, bytes); }
    // A new file renamed over the old one: it has the folder's permissions, not the old file's.
    bool ReplaceFile(const std::string& p, const std::string& bytes) override {
        return !Fails() && IsFolder(Parent(p)) && state.users_write.erase(p) < 2 && (state.files[p] = bytes, true);
    }
    bool GrantUsersWrite(const std::string& p) override {
        return !Fails() && state.files.count(p) && state.users_write.insert(p).second;
    }
    bool CreateShortcut(const std::string& link,
                        const std::string& target,
                        const std::string&,
                        const std::string& start_in) override {
        return !Fails() && Create(link, "link to " + target + " in " + start_in);
    }
    bool UninstallEntryExists() override { return !state.entry.empty(); }
    bool WriteUninstallEntry(const UninstallEntry& e, std::string* hive) override {
        written_entry = e;
        return !Fails() && !(*hive = state.entry = "HKLM").empty();
    }
    bool RemoveUninstallEntry(const std::string& hive) override {
        return !Fails() && hive == state.entry && (state.entry.clear(), true);
    }
    MachineError LastError() const override { return {denied, "The disk is full."}; }

    MachineState state;
    UninstallEntry written_entry;
    int operations = 0;
    int fail_at = -1;
    bool denied = false;

  private:
    static std::string Parent(const std::string& p) { return p.substr(0, p.rfind('\\')); }
    // As Windows resolves a path the removal is given: / is a separator too, and .. takes a folder away.
    static std::string Resolved(const std::string& path) {
        std::string resolved;
        for (size_t start = 0, end = 0; start <= path.size(); start = end + 1) {
            end = std::min(path.find_first_of("\\/", start), path.size());
            const std::string part = path.substr(start, end - start);
            if (part == "..")
                resolved = Parent(resolved);
            else if (part != "." && !part.empty())
                resolved += (resolved.empty() ? "" : "\\") + part;
        }
        return resolved;
    }
    bool Fails() { return operations++ == fail_at; }
    bool Makes(const std::string& p) { return !Exists(p) && IsFolder(Parent(p)); }
    bool Create(const std::string& p, const std::string& bytes) {
        return Makes(p) && state.files.emplace(p, bytes).second;
    }
};

SetupOutcome Install(FakeMachine& machine, const std::string& destination = kDest) {
    const InstallPlan plan = MakeInstallPlan(machine, "C:\\Setup", destination);
    const SetupOutcome checked = CheckInstallPlan(machine, plan);
    return checked.ok ? RunInstall(machine, plan) : checked;
}

std::string ValidSettings(int8_t language, char tail) {
    SettingsBytes record = DefaultFileRecordBytes();
    record[kLanguageField.offset] = static_cast<uint8_t>(language);
    record[kSuffixField.offset] = 'X';
    record[kInstallFolderField.offset] = 'D';
    record[kSettingsRecordSize - 1] = static_cast<uint8_t>(tail);
    const auto file = SettingsFileBytes(record, CheckValueOf(record));
    return std::string(file.begin(), file.end());
}

TEST(SetupPlan, InstallWritesSettingsKeepingAValidFileAndUninstallLeavesThem) {
    const std::string valid = ValidSettings(3, 'q');
    std::string damaged = valid;
    damaged[kSettingsRecordSize] = 9;
    const std::string fresh = InstallSettingsBytes(std::nullopt, kDest);
    const struct {
        std::optional<std::string> existing;
        std::string expected;  // the record as the file must hold it, installFolder aside
    } cases[] = {{std::nullopt, fresh}, {valid, valid}, {damaged, fresh}, {valid.substr(0, 420), fresh}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing ? c.existing->size() : 0);
        FakeMachine machine;
        if (c.existing)
            machine.state.files[kSettings] = *c.existing;
        ASSERT_TRUE(Install(machine).ok);
        const std::string settings = machine.state.files[kSettings];
        ASSERT_EQ(settings.size(), kSettingsFileSize);
        SettingsBytes record;
        std::copy(settings.begin(), settings.begin() + kSettingsRecordSize, record.begin());
        EXPECT_EQ(DecodeSettings(record).installFolder, kDest);
        const auto* file = reinterpret_cast<const uint8_t*>(settings.data());
        EXPECT_EQ(StoredCheckValue(file, settings.size()), CheckValueOf(record));
        EXPECT_EQ(settings.substr(0, kInstallFolderField.offset), c.expected.substr(0, kInstallFolderField.offset));
        EXPECT_EQ(settings[kSettingsRecordSize - 1], c.expected[kSettingsRecordSize - 1]) << "bytes after the folder";
        for (const std::string& name : InstalledFileNames())
            EXPECT_EQ(machine.state.files[kDest + name], "bytes of " + name);
        EXPECT_EQ(machine.state.files["C:\\Menu\\Tolvane\\Options.lnk"],
                  "link to " + std::string(kDest) + "Optmgr.exe in C:\\Users\\me\\Pictures");
        EXPECT_EQ(machine.written_entry.uninstallString, "\"" + std::string(kDest) + "Installer.exe\" /uninstall");
        EXPECT_EQ(machine.written_entry.installLocation, "C:\\Program Files\\Varnick\\Tolvane");

        ASSERT_TRUE(RunUninstall(machine, kDest, false).ok);
        FakeMachine untouched;
        untouched.state.files[kSettings] = settings;
        untouched.state.users_write = {kSettings};
        EXPECT_TRUE(machine.state == untouched.state) << "everything but the settings file is gone";
    }
}

// A machine with a valid settings file and a Start-menu folder of someone else's.
void PrepareLived(FakeMachine& machine) {
    machine.state.files[kSettings] = ValidSettings(4, 'z');
    machine.state.folders.insert("C:\\Menu\\Tolvane");
    machine.state.files["C:\\Menu\\Tolvane\\Foreign.lnk"] = "not ours";
}

TEST(SetupPlan, FailureAtEveryStepUndoesWhatWasDone) {
    FakeMachine counting;
    PrepareLived(counting);
    ASSERT_TRUE(Install(counting).ok);
    const int operations = counting.operations;
    EXPECT_EQ(operations, 2 + 5 + 1 + 1 + 3 + 1 + 1);
    for (int fail_at = 0; fail_at < operations; ++fail_at) {
        SCOPED_TRACE(fail_at);
        FakeMachine machine;
        PrepareLived(machine);
        const MachineState before = machine.state;
        machine.fail_at = fail_at;
        machine.denied = fail_at % 2 == 0;
        const SetupOutcome outcome = Install(machine);
        if (fail_at == 2 + 5 + 1) {  // the grant: only programs run as administrator can save; a note, no rollback
            EXPECT_TRUE(outcome.ok);
            EXPECT_NE(outcome.note.find(std::string(kSettings) + " (The disk is full.)"), std::string::npos);
            continue;
        }
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(outcome.path.empty());
        EXPECT_EQ(outcome.reason, "The disk is full.");
        EXPECT_EQ(outcome.access_denied, machine.denied);
        EXPECT_TRUE(machine.state == before);
    }
}

TEST(SetupPlan, UninstallRemovesOnlyWhatItsLogNames) {
    FakeMachine machine;
    ASSERT_TRUE(Install(machine).ok);
    machine.state.folders.insert(std::string(kDest) + "damaged_photoREC");
    const std::string picture = std::string(kDest) + "damaged_photoREC\\1.jpg";
    machine.state.files[picture] = "a recovered picture";

    // The first run meets a file in use: it goes on, and the log names what is left, the setup and the entry too.
    machine.fail_at = machine.operations + 1;
    const SetupOutcome first = RunUninstall(machine, kDest, true);
    EXPECT_FALSE(first.ok);
    EXPECT_EQ(first.path, "C:\\Menu\\Tolvane\\Help.lnk");
    EXPECT_NE(DescribeFailure(first, true).find("still listed in install.log"), std::string::npos);
    const std::vector<SetupStep> left = ParseLog(machine.state.files[std::string(kDest) + "install.log"]);
    ASSERT_EQ(left.size(), 7u);
    EXPECT_EQ(left[2].path, std::string(kDest) + "Installer.exe");
    EXPECT_EQ(left[4].path, "C:\\Menu\\Tolvane\\Help.lnk");
    EXPECT_EQ(machine.state.entry, "HKLM");

    ASSERT_TRUE(RunUninstall(machine, kDest, true).ok);
    FakeMachine expected;
    for (const char* folder : {"C:\\Program Files\\Varnick", "C:\\Program Files\\Varnick\\Tolvane",
                               "C:\\Program Files\\Varnick\\Tolvane\\damaged_photoREC"})
        expected.state.folders.insert(folder);
    expected.state.files[picture] = "a recovered picture";
    EXPECT_TRUE(machine.state == expected.state);
    const SetupOutcome again = RunUninstall(machine, kDest, true);
    EXPECT_FALSE(again.ok) << "no log: nothing to remove";
    EXPECT_EQ(DescribeFailure(again, true).find("still listed"), std::string::npos) << "nothing is listed anywhere";
}

TEST(SetupPlan, RemovalDeletesOnlyWhatTheSetupMakesWhateverItsLogSays) {
    const std::string dest = kDest;
    const struct {
        const char* word;
        std::string line, target;  // what the log names, and what that reaches on Windows
        bool removed;
    } cases[] = {
        // Windows resolves .. and takes / as a separator, so these lines reach files the setup never made.
        {"shortcut", "C:\\Menu\\Tolvane\\..\\..\\victim.txt", "C:\\victim.txt", false},
        {"file", dest + "../victim.txt", "C:\\Program Files\\Varnick\\victim.txt", false},
        {"file", dest + "photoREC/1.jpg", dest + "photoREC\\1.jpg", false},
        {"file", dest + "1.jpg", dest + "1.jpg", false},  // a picture the user recovered into the program folder
        {"file", "C:\\WINDOWS\\system.ini", "C:\\WINDOWS\\system.ini", false},
        {"shortcut", "C:\\Menu\\Tolvane\\Foreign.lnk", "C:\\Menu\\Tolvane\\Foreign.lnk", false},
        {"shortcut", "C:\\Setup\\Tolvane.exe", "C:\\Setup\\Tolvane.exe", false},
        {"settings", "C:\\WINDOWS\\win.ini", "C:\\WINDOWS\\win.ini", false},
        {"folder", "C:\\Menu\\Tolvane\\..\\Empty", "C:\\Menu\\Empty", false},
        // The setup's own things, whatever the case of the letters, and then by the setup's own spelling.
        {"file", "C:\\PROGRAM FILES\\varnick\\TOLVANE\\help.EXE", dest + "Help.exe", true},
        {"shortcut", "C:\\Menu\\Tolvane\\Options.lnk", "C:\\Menu\\Tolvane\\Options.lnk", true},
        {"settings", kSettings, kSettings, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        FakeMachine machine;
        ASSERT_TRUE(Install(machine).ok);
        machine.state.folders.insert({dest + "photoREC", "C:\\Menu\\Empty"});
        if (!machine.Exists(c.target))
            machine.state.files[c.target] = "not the setup's";
        machine.state.files[dest + "install.log"] = std::string(c.word) + "\t" + c.line + "\r\n";
        EXPECT_TRUE(RunUninstall(machine, dest, true).ok);
        EXPECT_EQ(machine.Exists(c.target), !c.removed);
    }
}

TEST(SetupPlan, RefusesBeforeWritingAnything) {
    const struct {
        const char* path;  // what is in the way, and the refusal names
        bool remove;       // the path is removed instead of added
    } cases[] = {{"C:\\Setup\\Optmgr.exe", true},
                 {"C:\\Apps\\Help.exe", false},
                 {"C:\\Menu\\Tolvane\\Help.lnk", false},
                 {"C:\\Apps", true},   // then added as a file
                 {"Tolvane", false}};  // registered already
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        FakeMachine machine;
        machine.state.folders.insert({"C:\\Apps", "C:\\Menu\\Tolvane"});
        if (std::string(c.path) == "Tolvane")
            machine.state.entry = "HKCU";
        else if (!c.remove || machine.state.folders.erase(c.path) > 0)
            machine.state.files[c.path] = "x";
        else
            machine.state.files.erase(c.path);
        const MachineState before = machine.state;
        const SetupOutcome outcome = Install(machine, "C:\\Apps\\");
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.path, c.path);
        EXPECT_EQ(machine.operations, 0);
        EXPECT_TRUE(machine.state == before);
    }
}

TEST(SetupPlan, DestinationIsAFullPathThatFitsTheSettingsRecord) {
    const std::string longest = "C:\\" + std::string(198, 'x');  // with its backslash: 202 characters
    const struct {
        std::string typed;
        std::string expected;  // empty: refused
    } cases[] = {
        {"C:\\Program Files\\Varnick\\Tolvane", kDest},
        {"  d:/Apps//Tolvane\\\\ ", "d:\\Apps\\Tolvane\\"},
        {"\\\\server\\share\\Tolvane", "\\\\server\\share\\Tolvane\\"},
        {longest, longest + "\\"},
        {longest + "y", ""},
        {"", ""},
        {"Tolvane", ""},
        {"\\Tolvane", ""},
        {"C:\\", ""},
        {"C:\\a|b", ""},
        {"C:\\a:b", ""},
        {"C:\\a\\..\\b", ""},
        {"C:\\a\tb", ""},
        {"C:\\Apps\\Tol.", ""},  // Windows would make another folder than the one named, or none
        {"C:\\Apps \\Tol", ""},
        {"C:\\Apps\\nul\\Tol", ""},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_EQ(NormalizeDestination(c.typed, &problem), c.expected) << c.typed;
        EXPECT_EQ(problem.empty(), !c.expected.empty()) << c.typed << ": " << problem;
    }
}

TEST(SetupArguments, ParsesTheSwitchesAndTheDestinationToTheEnd) {
    const struct {
        const char* line;
        bool valid, silent, uninstall;
        const char* destination;
        const char* restart;
    } cases[] = {
        {" ", true, false, false, "", "/D=X"},
        {"/S /D=C:\\Program Files\\My Apps ", true, true, false, "C:\\Program Files\\My Apps", "/S /D=X"},
        {"/uninstall /S", true, true, true, "", "/uninstall /S /D=X"},
        {"/UNINSTALL /d=\"C:\\a b\"", true, false, true, "C:\\a b", "/uninstall /D=X"},
        {"/D=C:\\a /S", true, false, false, "C:\\a /S", "/D=X"},
        {"/S \"/D=C:\\a b\"", true, true, false, "C:\\a b", "/S /D=X"},
        {"/S /X", false, true, false, "", nullptr},
        {"/uninstall /wait=12x", false, false, true, "", nullptr},
        {"/D=", false, false, false, "", nullptr},
    };
    for (const auto& c : cases) {
        const SetupArguments parsed = ParseSetupArguments(c.line);
        EXPECT_EQ(parsed.valid, c.valid) << c.line;
        EXPECT_EQ(parsed.silent, c.silent) << c.line;
        EXPECT_EQ(parsed.uninstall, c.uninstall) << c.line;
        EXPECT_EQ(parsed.destination, c.destination) << c.line;
        if (c.restart) {
            EXPECT_EQ(RestartArguments(parsed, "X"), c.restart) << c.line;
        }
    }
    EXPECT_EQ(ParseSetupArguments("/uninstall /wait=1234 /D=C:\\x").wait_handle, 1234u);
    EXPECT_EQ(ParseSetupArguments("/uninstall /wait=1 /report=567 /D=C:\\x").report_handle, 567u);
}

TEST(SetupPlan, OffersElevationOnlyWhenItCanHelp) {
    const struct {
        bool ok, denied, silent, elevated;
        RightsChoice expected;
    } cases[] = {
        {false, true, false, false, RightsChoice::OfferElevation}, {false, true, true, false, RightsChoice::Report},
        {false, true, false, true, RightsChoice::Report},          {false, false, false, false, RightsChoice::Report},
        {true, false, false, false, RightsChoice::Report},
    };
    for (const auto& c : cases) {
        const SetupOutcome outcome{c.ok, c.denied, "C:\\WINDOWS\\propPSD.pro", "Access is denied."};
        EXPECT_EQ(DecideOnFailure(outcome, c.silent, c.elevated), c.expected);
    }
}

}  // namespace
