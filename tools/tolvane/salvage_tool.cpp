#include "tools/tolvane/salvage_tool.h"

#include <memory>
#include <string>

#include "recovery/settings_record.h"
#include "salvage/salvage_job.h"
#include "tools/common/terminal_text.h"
#include "tools/tolvane/exit_codes.h"
#include "tools/tolvane/output_rules.h"
#include "tools/tolvane/report_run.h"
#include "tools/tolvane/salvage_report.h"

namespace {

int ExitCodeOf(SalvageStatus status) {
    switch (status) {
        case SalvageStatus::Done:
            return kExitOk;
        case SalvageStatus::NameTaken:
            return kExitNameTaken;
        default:
            return kExitFailed;
    }
}

const char* ModeTitle(ColorMode mode) {
    switch (mode) {
        case ColorMode::Bitmap:
            return "Bitmap";
        case ColorMode::Grayscale:
            return "Grayscale";
        case ColorMode::Indexed:
            return "Indexed";
        case ColorMode::Rgb:
            return "RGB";
        case ColorMode::Cmyk:
            return "CMYK";
        case ColorMode::Multichannel:
            return "Multichannel";
        case ColorMode::Duotone:
            return "Duotone";
        case ColorMode::Lab:
            return "Lab";
    }
    return "?";
}

void PrintFound(const std::string& source, const SalvageOutcome& outcome, std::FILE* out) {
    const DocumentLayout& layout = outcome.layout;
    const PsdHeader& header = layout.header;
    std::fprintf(out, "%s: %s %u x %u, %s, %u-bit, %u channel%s, %s, %zu layer%s%s\n", TerminalSafe(source).c_str(),
                 header.IsLarge() ? "PSB" : "PSD", header.width, header.height, ModeTitle(header.mode), header.depth,
                 header.channels, header.channels == 1 ? "" : "s",
                 layout.composite ? CompressionName(layout.composite->compression) : "no merged data",
                 layout.layers.size(), layout.layers.size() == 1 ? "" : "s",
                 layout.header_rebuilt ? " (header rebuilt from what survives)" : "");
}

void PrintWritten(const SalvageOutcome& outcome, std::FILE* out) {
    const uint32_t height = outcome.layout.header.height;
    if (!outcome.composite_file.empty())
        std::fprintf(out, "  composite: %u of %u rows whole (%.1f %%)%s  %s\n", outcome.composite_whole_rows, height,
                     height == 0 ? 0.0 : 100.0 * outcome.composite_whole_rows / height,
                     outcome.composed_from_layers ? ", composed from the layers" : "",
                     TerminalSafe(outcome.composite_file).c_str());
    size_t damaged = 0;
    for (const LayerOutcome& layer : outcome.layers)
        damaged += layer.lost.empty() ? 0 : 1;
    if (!outcome.layers.empty())
        std::fprintf(out, "  layers: %zu written, %zu with lost rows\n", outcome.layers.size(), damaged);
    if (!outcome.channel_files.empty())
        std::fprintf(out, "  extra channels: %zu written\n", outcome.channel_files.size());
    for (const std::string& note : outcome.notes)
        std::fprintf(out, "  note: %s\n", TerminalSafe(note).c_str());
}

int SalvageOne(const std::string& source,
               const CarveArguments& args,
               const SettingsRecord& settings,
               Platform& platform,
               FileSystem& files,
               SalvageReport* report,
               std::FILE* out) {
    const std::string folder = FolderFor(args.outputDir, settings, source, platform);
    std::string error;
    SalvageOutcome outcome;
    if (std::unique_ptr<FileByteSource> bytes = FileByteSource::Open(source, &error)) {
        outcome = SalvageDocument(*bytes, files, folder, platform.PathSeparator());
        if (outcome.status == SalvageStatus::ReadFailed && !bytes->Error().empty())
            outcome.problem += " (" + bytes->Error() + ")";
    } else {
        outcome.status = SalvageStatus::ReadFailed;
        outcome.problem = "cannot be opened (" + error + ")";
    }
    if (report != nullptr)
        report->Add(source, folder, outcome);
    const bool located = outcome.status != SalvageStatus::NoImage && outcome.status != SalvageStatus::ReadFailed;
    if (!args.quiet && located) {
        PrintFound(source, outcome, out);
        PrintWritten(outcome, out);
    }
    if (outcome.status != SalvageStatus::Done)
        std::fprintf(stderr, "tolvane: %s: %s\n", TerminalSafe(source).c_str(), TerminalSafe(outcome.problem).c_str());
    std::fflush(out);
    return ExitCodeOf(outcome.status);
}

}  // namespace

int RunSalvage(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out) {
    const std::optional<SettingsRecord> settings = CommandLineSettings(args.settingsFile, files);
    if (!settings)
        return kExitUsage;
    return RunEachSource<SalvageReport>(files, args.reportFile, args.files,
                                        [&](const std::string& source, SalvageReport* report) {
                                            return SalvageOne(source, args, *settings, platform, files, report, out);
                                        });
}
