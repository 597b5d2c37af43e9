#include "tools/tolvane/recover_tool.h"

#include <unistd.h>
#include <algorithm>
#include <string>
#include <vector>

#include "mainwindow/code_page.h"
#include "recovery/image_carver.h"
#include "recovery/recover_command.h"
#include "recovery/recover_paths.h"
#include "tools/common/terminal_text.h"
#include "tools/tolvane/settings_file.h"

namespace {

constexpr uint64_t kProgressFromSize = uint64_t{64} << 20;

struct WrittenImage {
    std::string path;
    uint64_t size;
    bool complete;
};

// Collects the pictures for the listing, says at once why a file failed, and, for a large source on a terminal,
// shows how far the scan has come.
class ListingObserver final : public CarveObserver {
  public:
    ListingObserver(const std::string& source, uint64_t source_size)
        : source_(TerminalSafe(source)),
          source_size_(source_size),
          show_progress_(source_size > kProgressFromSize && isatty(STDERR_FILENO) != 0) {}

    void OnSourceRead(uint64_t bytes_read) override {
        if (!show_progress_)
            return;
        const auto percent = static_cast<int>(std::min<uint64_t>(100, bytes_read * 100 / source_size_));
        if (percent != shown_percent_) {
            shown_percent_ = percent;
            std::fprintf(stderr, "\r%s: %3d%% scanned", source_.c_str(), percent);
            std::fflush(stderr);
        }
    }
    void OnImageWritten(const CarvedImage& image) override {
        images_.push_back({image.path, image.size, image.end != ImageEnd::Failed});
    }
    void OnFileError(const std::string& path, const std::string& reason) override {
        EndProgress();
        std::fprintf(stderr, "tolvane: %s: %s\n", TerminalSafe(path).c_str(), TerminalSafe(reason).c_str());
    }

    void EndProgress() {
        if (shown_percent_ >= 0)
            std::fprintf(stderr, "\r\033[K");
        shown_percent_ = -1;
    }
    const std::vector<WrittenImage>& images() const { return images_; }

  private:
    std::string source_;
    uint64_t source_size_;
    bool show_progress_;
    int shown_percent_ = -1;
    std::vector<WrittenImage> images_;
};

// The settings file holds Windows-1252 text; this tool works in UTF-8 paths.
SettingsRecord TextFieldsInUtf8(SettingsRecord record) {
    record.suffix = Cp1252ToUtf8(record.suffix);
    record.outputFolder = Cp1252ToUtf8(record.outputFolder);
    record.installFolder = Cp1252ToUtf8(record.installFolder);
    return record;
}

// The rules of a settings file named on the command line. The file is only read: unlike the program's own settings
// file, a damaged one is refused, never replaced with the defaults, since it may be anything the user typed.
std::optional<SettingsRecord> ReadOnlySettings(const std::string& path, FileSystem& files) {
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

std::string FolderFor(const RecoverArguments& args,
                      const SettingsRecord& settings,
                      const std::string& source,
                      Platform& platform) {
    const char separator = platform.PathSeparator();
    if (!args.outputDir)
        return OutputFolderFor(settings, source, platform.CurrentDirectory(), separator);
    std::string folder = ReduceSeparatorRuns(*args.outputDir, separator);
    if (folder.size() > 1 && folder.back() == separator)
        folder.pop_back();
    return folder;
}

int ExitCodeOf(const CarveResult& result) {
    if (result.failed)
        return kExitFailed;
    return result.aborted ? kExitNameTaken : kExitOk;
}

// A failure outweighs a taken name, which outweighs success.
int Worse(int a, int b) {
    if (a == kExitFailed || b == kExitFailed)
        return kExitFailed;
    return a == kExitNameTaken || b == kExitNameTaken ? kExitNameTaken : kExitOk;
}

int RecoverOne(const RecoverArguments& args,
               const SettingsRecord& settings,
               LanguageId language,
               const std::string& source,
               Platform& platform,
               FileSystem& files,
               std::FILE* out) {
    const std::string folder = FolderFor(args, settings, source, platform);
    const uint64_t source_size = FileSizeOf(files, source);
    WarnIfDiskFull(platform, folder, source_size, language);

    ListingObserver observer(source, source_size);
    const CarveResult result = ImageCarver(files, platform, &observer).Carve(source, folder, language);
    observer.EndProgress();
    if (result.compoundFile)
        std::fprintf(stderr, "tolvane: %s: a compound document file; such files are not scanned\n",
                     TerminalSafe(source).c_str());
    std::fprintf(out, "%s\n", TerminalSafe(ResultMessage(result, language, TextEncoding::Utf8)).c_str());
    for (const WrittenImage& image : observer.images())
        std::fprintf(out, "  %s  %llu bytes%s\n", TerminalSafe(image.path).c_str(),
                     static_cast<unsigned long long>(image.size), image.complete ? "" : " (cut short)");
    std::fflush(out);
    return ExitCodeOf(result);
}

}  // namespace

int RunRecover(const RecoverArguments& args, Platform& platform, FileSystem& files, std::FILE* out) {
    SettingsRecord settings = DecodeSettings(DefaultRecordBytes());
    if (args.settingsFile) {
        const std::optional<SettingsRecord> from_file = ReadOnlySettings(*args.settingsFile, files);
        if (!from_file)
            return kExitUsage;
        settings = *from_file;
    }
    const LanguageId language = args.language.value_or(LanguageFromNumber(settings.language));
    int status = kExitOk;
    for (const std::string& source : args.files)
        status = Worse(status, RecoverOne(args, settings, language, source, platform, files, out));
    return status;
}
