#include "tools/tolvane/settings_tool.h"

#include <sys/stat.h>
#include <algorithm>
#include <vector>

#include "languages/code_page.h"
#include "recovery/settings_file.h"
#include "recovery/settings_store.h"
#include "recovery/settings_values.h"
#include "tools/common/terminal_text.h"
#include "tools/tolvane/recover_tool.h"

namespace {

// Makes the default settings folder and the folders above it; an existing one is fine.
void MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0777);
    mkdir(folder.c_str(), 0777);
}

int Show(const std::string& path, FileSystem& files, std::FILE* out) {
    const std::optional<std::vector<uint8_t>> bytes = ReadSettingsFile(files, path);
    if (!bytes) {
        std::fprintf(stderr, "tolvane: cannot read %s: %s (make one with 'tolvane settings init')\n",
                     TerminalSafe(path).c_str(), TerminalSafe(files.LastError()).c_str());
        return kExitFailed;
    }
    SettingsBytes record{};
    std::copy_n(bytes->begin(), std::min(bytes->size(), record.size()), record.begin());
    const SettingsRecord fields = DecodeSettings(record);
    const std::optional<int32_t> computed = ComputeCheckValue(bytes->data(), bytes->size());
    const int32_t stored = StoredCheckValue(bytes->data(), bytes->size());
    const bool is_language = fields.language >= 1 && fields.language <= kLanguageCount;

    std::fprintf(out, "file            %s (%zu bytes%s)\n", TerminalSafe(path).c_str(), bytes->size(),
                 bytes->size() > kSettingsFileSize ? " or more" : "");
    std::fprintf(out, "suffix          %s\n", TerminalSafe(Cp1252ToUtf8(fields.suffix)).c_str());
    std::fprintf(out, "output-folder   %s\n", TerminalSafe(Cp1252ToUtf8(fields.outputFolder)).c_str());
    std::fprintf(out, "delete-source   %d\n", fields.deleteSource);
    std::fprintf(out, "language        %d (%s)\n", fields.language,
                 is_language ? LanguageName(static_cast<LanguageId>(fields.language)).data() : "none; read as English");
    std::fprintf(out, "install-folder  %s\n", TerminalSafe(Cp1252ToUtf8(fields.installFolder)).c_str());
    std::fprintf(out, "reserved-flag   %d\n", fields.reservedFlag);
    std::fprintf(out, "text-format     %d\n", fields.textFormat);
    if (computed && *computed == stored && RecordKeepsRules(record))
        std::fprintf(out, "check value     %d, matches\n", stored);
    else if (computed && *computed == stored)
        std::fprintf(out,
                     "check value     %d, matches, but the suffix is no plain name: damaged, the program replaces "
                     "it with the defaults\n",
                     stored);
    else
        std::fprintf(out, "check value     %d, expected %d: damaged, the program replaces it with the defaults\n",
                     stored, computed.value_or(0));
    return kExitOk;
}

// Why a value the settings file cannot hold was refused, for the message.
const char* ProblemText(SettingsValueProblem problem) {
    switch (problem) {
        case SettingsValueProblem::Fits:
            break;
        case SettingsValueProblem::TooLong:
            return "is too long";
        case SettingsValueProblem::PathCharacter:
            return "must not hold /, \\ or :";
        case SettingsValueProblem::ControlCharacter:
            return "must not hold control characters";
        case SettingsValueProblem::DotName:
            return "must not be . or ..";
        case SettingsValueProblem::NotInCodePage:
            return "holds only Windows-1252 characters";
    }
    return "";
}

// Applies KEY=VALUE to `record`; false (with a message in `error`) when the value does not fit.
bool ApplyValue(const SettingsArguments& args, char separator, SettingsRecord* record, std::string* error) {
    const std::string& value = args.value;
    if (args.key == "suffix") {
        const SettingsText suffix = SuffixFromUtf8(value);
        if (suffix.problem != SettingsValueProblem::Fits) {
            *error = std::string("suffix ") + ProblemText(suffix.problem) + " (at most 3 characters of a file name)";
            return false;
        }
        record->suffix = suffix.bytes;
    } else if (args.key == "output-folder" || args.key == "install-folder") {
        const bool output = args.key == "output-folder";
        // The installation folder is where Tolvane.exe keeps its companions: a Windows path whatever edits it.
        const SettingsText folder =
            FolderFromUtf8(value, output ? kOutputFolderField : kInstallFolderField, output ? separator : '\\');
        if (folder.problem != SettingsValueProblem::Fits) {
            *error = args.key + " " + ProblemText(folder.problem) + " (at most " + (output ? "199" : "202") +
                     " characters with the trailing separator)";
            return false;
        }
        (output ? record->outputFolder : record->installFolder) = folder.bytes;
    } else if (args.key == "delete-source") {
        const std::optional<int32_t> number = ParseInt32(value);
        if (!number) {
            *error = "delete-source takes a number (1: offer to delete the source after a recovery)";
            return false;
        }
        record->deleteSource = *number;
    } else if (args.key == "language") {
        const std::optional<LanguageId> language = ParseLanguage(value);
        if (!language) {
            *error = "language takes en, fr, de, it, es, ro or 1..6";
            return false;
        }
        record->language = static_cast<int8_t>(*language);
    } else {
        *error = "unknown key '" + args.key + "' (suffix, output-folder, delete-source, language, install-folder)";
        return false;
    }
    return true;
}

// The file is replaced whole or not at all, or, where its folder takes no replacement, written over in place. A
// symbolic link is refused: replacing it would cut it off from the file it names, and nothing is written through one.
int Save(const SettingsBytes& record, const std::string& path, FileSystem& files) {
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::fprintf(stderr,
                     "tolvane: %s is a symbolic link; settings are not written through one: name the file itself\n",
                     TerminalSafe(path).c_str());
        return kExitFailed;
    }
    std::string error;
    if (WriteSettingsFile(files, path, SettingsFileBytes(record, CheckValueOf(record)), &error))
        return kExitOk;
    std::fprintf(stderr, "tolvane: cannot write %s: %s\n", TerminalSafe(path).c_str(), TerminalSafe(error).c_str());
    return kExitFailed;
}

// A settings file is 420 to 424 bytes (a shorter one may still pass its check); anything else is somebody's data.
bool IsSettingsSized(std::optional<uint64_t> size) {
    return size && *size >= kSettingsRecordSize && *size <= kSettingsFileSize;
}

int Set(const SettingsArguments& args, const std::string& path, Platform& platform, FileSystem& files) {
    SettingsRecord probe;
    std::string error;
    if (!ApplyValue(args, platform.PathSeparator(), &probe, &error)) {
        std::fprintf(stderr, "tolvane: %s\n", error.c_str());
        return kExitUsage;
    }
    const std::optional<std::vector<uint8_t>> bytes = ReadSettingsFile(files, path);
    if (!bytes || !IsSettingsSized(bytes->size())) {
        std::fprintf(stderr,
                     "tolvane: %s is not a settings file of %zu bytes (make one with 'tolvane settings init')\n",
                     TerminalSafe(path).c_str(), kSettingsFileSize);
        return kExitFailed;
    }
    SettingsBytes record{};
    std::copy_n(bytes->begin(), record.size(), record.begin());
    SettingsRecord fields = DecodeSettings(record);
    ApplyValue(args, platform.PathSeparator(), &fields, &error);
    EncodeSettings(fields, &record);
    return Save(record, path, files);
}

}  // namespace

int RunSettings(const SettingsArguments& args, Platform& platform, FileSystem& files, std::FILE* out) {
    const std::string path =
        args.file.value_or(SettingsStore::PathIn(platform.SettingsDirectory(), platform.PathSeparator()));
    if (args.action == "show")
        return Show(path, files, out);
    if (args.action == "set")
        return Set(args, path, platform, files);
    if (!args.file)
        MakeFolders(platform.SettingsDirectory());
    if (files.Exists(path) && !IsSettingsSized(files.SizeOf(path))) {
        std::fprintf(stderr, "tolvane: %s exists and is not a settings file of %zu bytes; init replaces only one\n",
                     TerminalSafe(path).c_str(), kSettingsFileSize);
        return kExitFailed;
    }
    const int status = Save(DefaultFileRecordBytes(), path, files);
    if (status == kExitOk)
        std::fprintf(out, "wrote the default settings to %s\n", TerminalSafe(path).c_str());
    return status;
}
