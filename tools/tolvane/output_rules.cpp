#include "tools/tolvane/output_rules.h"

#include <cstdio>
#include <vector>

#include "languages/code_page.h"
#include "recovery/recover_paths.h"
#include "recovery/settings_file.h"
#include "tools/common/terminal_text.h"

namespace {

// The settings file holds Windows-1252 text; this tool works in UTF-8 paths.
SettingsRecord TextFieldsInUtf8(SettingsRecord record) {
    record.suffix = Cp1252ToUtf8(record.suffix);
    record.outputFolder = Cp1252ToUtf8(record.outputFolder);
    record.installFolder = Cp1252ToUtf8(record.installFolder);
    return record;
}

}  // namespace

std::optional<SettingsRecord> CommandLineSettings(const std::optional<std::string>& file, FileSystem& files) {
    if (!file)
        return DecodeSettings(DefaultRecordBytes());
    const std::string& path = *file;
    std::string problem;
    std::optional<SettingsBytes> record;
    if (const std::optional<std::vector<uint8_t>> bytes = ReadSettingsFile(files, path))
        record = WholeSettingsRecord(*bytes, &problem);
    else
        problem = "cannot be read (" + files.LastError() + ")";
    if (!record) {
        std::fprintf(stderr, "tolvane: settings file %s %s; it was not changed\n", TerminalSafe(path).c_str(),
                     TerminalSafe(problem).c_str());
        return std::nullopt;
    }
    return TextFieldsInUtf8(DecodeSettings(*record));
}

std::string FolderFor(const std::optional<std::string>& output_dir,
                      const SettingsRecord& settings,
                      const std::string& source,
                      Platform& platform) {
    const char separator = platform.PathSeparator();
    if (!output_dir)
        return OutputFolderFor(settings, source, platform.CurrentDirectory(), separator);
    std::string folder = ReduceSeparatorRuns(*output_dir, separator);
    if (folder.size() > 1 && folder.back() == separator)
        folder.pop_back();
    return folder;
}
