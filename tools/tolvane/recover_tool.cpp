#include "tools/tolvane/recover_tool.h"

#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

#include "recovery/image_carver.h"
#include "recovery/recover_command.h"
#include "tools/common/terminal_text.h"
#include "tools/tolvane/carve_report.h"
#include "tools/tolvane/discarding_file_system.h"
#include "tools/tolvane/output_rules.h"
#include "tools/tolvane/progress_line.h"
#include "tools/tolvane/report_run.h"

namespace {

enum class Mode { Recover, Scan };

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// What the tool hears of one carve: the pictures for the listing, each one into the report as soon as it is closed,
// the progress, and at once why a file failed.
class ToolObserver final : public CarveObserver {
  public:
    ToolObserver(const std::string& source, Mode mode, ProgressLine& progress, CarveReport* report)
        : source_(source), mode_(mode), progress_(progress), report_(report) {}

    void OnSourceRead(uint64_t bytes_read) override { progress_.Update(bytes_read, images_.size()); }
    void OnImageWritten(const CarvedImage& image) override {
        images_.push_back(image);
        if (report_ != nullptr)
            report_->AddImage(source_, Shown(image), image);
    }
    void OnFileError(const std::string& path, const std::string& reason) override {
        progress_.Clear();
        std::fprintf(stderr, "tolvane: %s: %s\n", TerminalSafe(path).c_str(), TerminalSafe(reason).c_str());
    }

    // recover names a picture by its path; scan, which writes nothing, by its file name.
    std::string Shown(const CarvedImage& image) const {
        return mode_ == Mode::Recover ? image.path : FileName(image.path);
    }
    const std::vector<CarvedImage>& images() const { return images_; }

  private:
    const std::string& source_;
    Mode mode_;
    ProgressLine& progress_;
    CarveReport* report_;  // not owned; may be null
    std::vector<CarvedImage> images_;
};

int ExitCodeOf(const CarveResult& result) {
    if (result.failed)
        return kExitFailed;
    return result.aborted ? kExitNameTaken : kExitOk;
}

void PrintRecovered(const CarveResult& result,
                    const ToolObserver& observer,
                    LanguageId language,
                    bool quiet,
                    std::FILE* out) {
    std::fprintf(out, "%s\n", TerminalSafe(ResultMessage(result, language, TextEncoding::Utf8)).c_str());
    if (quiet)
        return;
    for (const CarvedImage& image : observer.images())
        std::fprintf(out, "  %s  %llu bytes%s\n", TerminalSafe(image.path).c_str(),
                     static_cast<unsigned long long>(image.size), image.end == ImageEnd::Failed ? " (cut short)" : "");
}

void PrintScanned(const std::string& source,
                  const CarveResult& result,
                  const ToolObserver& observer,
                  bool quiet,
                  std::FILE* out) {
    std::fprintf(out, "%s: %d picture%s, %llu bytes scanned\n", TerminalSafe(source).c_str(), result.imageCount,
                 result.imageCount == 1 ? "" : "s", static_cast<unsigned long long>(result.bytesScanned));
    if (quiet)
        return;
    for (const CarvedImage& image : observer.images())
        std::fprintf(out, "  %-10s offset %14llu  length %12llu  %s\n", TerminalSafe(observer.Shown(image)).c_str(),
                     static_cast<unsigned long long>(image.offset), static_cast<unsigned long long>(image.size),
                     EndName(image.end));
}

// One run of recover or scan over all its files.
class CarveRun {
  public:
    CarveRun(const CarveArguments& args, Mode mode, Platform& platform, FileSystem& files, std::FILE* out)
        : args_(args),
          mode_(mode),
          progress_(!args.quiet && isatty(STDERR_FILENO) != 0),
          platform_(platform, progress_),
          files_(files),
          out_(out) {}

    int Run(const SettingsRecord& settings) {
        const LanguageId language = args_.language.value_or(LanguageFromNumber(settings.language));
        return RunEachSource<CarveReport>(files_, args_.reportFile, args_.files,
                                          [&](const std::string& source, CarveReport* report) {
                                              return CarveOne(source, settings, language, report);
                                          });
    }

  private:
    int CarveOne(const std::string& source, const SettingsRecord& settings, LanguageId language, CarveReport* report) {
        const uint64_t source_size = FileSizeOf(files_, source);
        DiscardingFileSystem discarding(files_);
        FileSystem& files = mode_ == Mode::Recover ? files_ : discarding;
        // scan makes no folder, so the pictures' names are all that counts of where they would go.
        const std::string folder =
            mode_ == Mode::Recover ? FolderFor(args_.outputDir, settings, source, platform_) : ".";
        if (mode_ == Mode::Recover)
            WarnIfDiskFull(platform_, folder, source_size, language);

        progress_.Begin(FileName(source), source_size);
        ToolObserver observer(source, mode_, progress_, report);
        const CarveResult result = ImageCarver(files, platform_, &observer).Carve(source, folder, language);
        progress_.Clear();
        if (result.compoundFile)
            std::fprintf(stderr, "tolvane: %s: a compound document file; such files are not scanned\n",
                         TerminalSafe(source).c_str());
        if (report != nullptr)
            report->AddSummary(source, result);
        if (mode_ == Mode::Recover)
            PrintRecovered(result, observer, language, args_.quiet, out_);
        else
            PrintScanned(source, result, observer, args_.quiet, out_);
        std::fflush(out_);
        return ExitCodeOf(result);
    }

    const CarveArguments& args_;
    Mode mode_;
    ProgressLine progress_;
    ProgressAwarePlatform platform_;
    FileSystem& files_;
    std::FILE* out_;
};

}  // namespace

int RunRecover(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out) {
    const std::optional<SettingsRecord> settings = CommandLineSettings(args.settingsFile, files);
    if (!settings)
        return kExitUsage;
    return CarveRun(args, Mode::Recover, platform, files, out).Run(*settings);
}

int RunScan(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out) {
    return CarveRun(args, Mode::Scan, platform, files, out).Run(DecodeSettings(DefaultRecordBytes()));
}
