#include "installer/install_flow.h"

namespace {

constexpr char kFolderName[] = "Zandor";
constexpr char kSetupName[] = "Installer.exe";
constexpr size_t kCommandLineBufferSize = 404;
// The quotes and the blank around the longest setup path still fit the launch's buffer with its terminator.
static_assert(kMaxSetupPathLength + 3 < kCommandLineBufferSize);

}  // namespace

std::optional<std::string> SetupCommandLine(const std::string& setup_path) {
    if (setup_path.size() > kMaxSetupPathLength)
        return std::nullopt;
    return "\"" + setup_path + "\" ";
}

std::string CopyErrorText(SfxResult result, const std::string& path) {
    switch (result) {
        case SfxResult::WriteFailed:
            return "Disk full while accessing " + path + ".";
        case SfxResult::ReadFailed:
            return "A hardware I/O error was reported while accessing " + path + ".";
        case SfxResult::SourceEnded:
            return "An attempt was made to access " + path + " past its end.";
        default:
            return {};
    }
}

InstallFlow::InstallFlow(Platform& platform, FileSystem& files, std::string own_executable)
    : platform_(platform), files_(files), own_executable_(std::move(own_executable)) {}

void InstallFlow::Show(const char* text, MessageIcon icon) {
    platform_.ShowMessage(text, "", MessageButtons::Ok, icon);
}

void InstallFlow::Run(InstallProgress* progress) {
    const std::string temp = platform_.EnvironmentVariable("TEMP");
    if (temp.empty())
        Show("can'n get Evironment-Variable", MessageIcon::Warning);
    const char separator = platform_.PathSeparator();
    const std::string base_folder = temp + separator + kFolderName;
    const std::string setup_path = base_folder + separator + kSetupName;
    // Refused before anything is written: a path the launch cannot hold would start nothing, or something else.
    const std::optional<std::string> command_line = SetupCommandLine(setup_path);
    if (!command_line) {
        Show("Error Install Failed");
        return;
    }
    // An existing folder is fine, but not a link standing in for one: the files would be written elsewhere.
    if (!files_.MakeDirectory(base_folder) && !files_.IsRealFolder(base_folder)) {
        Show("Error Install Failed");
        return;
    }
    if (!EnoughFreeSpace(base_folder)) {
        Show("Disk Full!");
        return;
    }
    extraction_folder_ = base_folder + separator;
    if (!Extract(progress))
        return;
    if (files_.OpenRead(setup_path) == nullptr) {
        Show("Error Install Failed");
        return;
    }
    if (!platform_.LaunchProgram(*command_line))
        Show("Unable to exec program");
    platform_.EndProcess(1);
}

bool InstallFlow::EnoughFreeSpace(const std::string& base_folder) {
    // A volume that will not tell its free space is no reason to refuse; the copy reports a full disk itself.
    const std::optional<uint64_t> free_bytes = platform_.FreeBytes(base_folder);
    return !free_bytes || (*free_bytes >> 10) >= kInstallMinimumFreeKiB;
}

bool InstallFlow::Extract(InstallProgress* progress) {
    progress_ = progress;
    extracted_ = 0;
    const SfxResult result =
        archive_.ExtractAll(own_executable_, extraction_folder_, &InstallFlow::OnEntryExtracted, this);
    progress_ = nullptr;
    switch (result) {
        case SfxResult::Ok:
            return true;
        case SfxResult::NoTrailer:
        case SfxResult::NoEntries:
            Show("Archive contains no data. Contact Vendor");
            return false;
        case SfxResult::ReadFailed:
        case SfxResult::WriteFailed:
        case SfxResult::SourceEnded:
            platform_.ShowMessage(CopyErrorText(result, archive_.failed_path()), "", MessageButtons::Ok,
                                  MessageIcon::Stop);
            return false;
        default:
            Show("Internal Error");
            return false;
    }
}

void InstallFlow::OnEntryExtracted(const SfxEntry& entry, void* context) {
    auto* flow = static_cast<InstallFlow*>(context);
    ++flow->extracted_;
    if (flow->progress_ != nullptr)
        flow->progress_->EntryExtracted("Extracting " + flow->extraction_folder_ + entry.name, flow->extracted_,
                                        flow->archive_.count());
}
