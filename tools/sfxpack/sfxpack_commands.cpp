#include "tools/sfxpack/sfxpack_commands.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "installer/sfx_archive.h"
#include "installer/sfx_writer.h"
#include "tools/common/terminal_text.h"

namespace {

enum class PathKind { Missing, File, Folder, Other };

// `*why` says what else the path is, or why it cannot be looked at.
PathKind KindOf(const std::string& name, std::string* why) {
#ifdef _WIN32
    std::string path = name;
    // The C runtime's _stat64 does not find a folder named with a trailing separator (out\ rather than out),
    // except the root of a drive such as C:\ itself.
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    struct _stat64 info;
    const bool found = _stat64(path.c_str(), &info) == 0;
#else
    struct stat info;
    const bool found = stat(name.c_str(), &info) == 0;
#endif
    if (!found) {
        *why = std::strerror(errno);
        return PathKind::Missing;
    }
    if (S_ISREG(info.st_mode))
        return PathKind::File;
    *why = S_ISDIR(info.st_mode) ? "a folder" : "a device, FIFO or socket";
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
}

int Report(std::FILE* err,
           const std::string& subject,
           SfxResult result,
           const char* refusal,
           const std::string& reason = std::string()) {
    std::fprintf(err, "sfxpack: %s: %s", TerminalSafe(subject).c_str(), ToString(result));
    if (result == SfxResult::BadDirectory && refusal != nullptr)
        std::fprintf(err, " (%s)", refusal);
    else if (!reason.empty())
        std::fprintf(err, " (%s)", TerminalSafe(reason).c_str());
    std::fputc('\n', err);
    return kSfxpackExitFailed;
}

// Packing truncates nothing until the end, but an OUT that is one of the inputs, under any name, would still be
// replaced by an archive built from itself: the input is gone. Told by the file itself, not by the spelling.
int CheckOutIsNoInput(const SfxpackArguments& args, std::FILE* err) {
    const std::optional<FileIdentity> out = IdentityOf(args.out);
    if (!out)
        return kSfxpackExitOk;
    const auto same = [&](const std::string& input) {
        if (IdentityOf(input) != out)
            return false;
        std::fprintf(err, "sfxpack: --out %s is the same file as %s, which it would destroy\n",
                     TerminalSafe(args.out).c_str(), TerminalSafe(input).c_str());
        return true;
    };
    if (same(args.stub))
        return kSfxpackExitUsage;
    for (const std::string& path : args.files) {
        if (same(path))
            return kSfxpackExitUsage;
    }
    return kSfxpackExitOk;
}

// Nothing is created until every FILE is known to be a regular file with a name the archive accepts, so a refused
// pack leaves an existing OUT alone.
int CheckPackInputs(const SfxpackArguments& args, std::FILE* err) {
    for (const std::string& path : args.files) {
        if (const char* reason = SfxNameRefusal(BareFileName(path))) {
            std::fprintf(err, "sfxpack: %s: cannot be stored: %s\n", TerminalSafe(path).c_str(), reason);
            return kSfxpackExitFailed;
        }
    }
    const auto not_a_file = [err](const std::string& path) {
        std::string why;
        if (KindOf(path, &why) == PathKind::File)
            return false;
        std::fprintf(err, "sfxpack: %s: not a readable file (%s)\n", TerminalSafe(path).c_str(),
                     TerminalSafe(why).c_str());
        return true;
    };
    if (not_a_file(args.stub))
        return kSfxpackExitFailed;
    for (const std::string& path : args.files) {
        if (not_a_file(path))
            return kSfxpackExitFailed;
    }
    return kSfxpackExitOk;
}

}  // namespace

std::string BareFileName(const std::string& path) {
#ifdef _WIN32
    const size_t cut = path.find_last_of("\\/:");
#else
    const size_t cut = path.find_last_of('/');
#endif
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

int RunPack(const SfxpackArguments& args, std::FILE* out, std::FILE* err) {
    int checked = CheckOutIsNoInput(args, err);
    if (checked == kSfxpackExitOk)
        checked = CheckPackInputs(args, err);
    if (checked != kSfxpackExitOk)
        return checked;
    SfxWriter writer(args.out);
    SfxResult result = writer.BeginWithStubFile(args.stub);
    for (size_t i = 0; i < args.files.size() && result == SfxResult::Ok; ++i) {
        result = writer.AddFile(BareFileName(args.files[i]), args.files[i]);
        // A refused FILE leaves no damaged directory behind: nothing of the archive is written.
        if (result == SfxResult::BadDirectory) {
            std::fprintf(err, "sfxpack: %s: cannot be stored: %s\n", TerminalSafe(args.files[i]).c_str(),
                         writer.refusal());
            return kSfxpackExitFailed;
        }
    }
    if (result == SfxResult::Ok)
        result = writer.Finish();
    if (result != SfxResult::Ok)
        return Report(err, writer.failed_path(), result, writer.refusal(), writer.reason());
    std::fprintf(out, "%s: %zu files after a stub of %u bytes\n", TerminalSafe(args.out).c_str(),
                 writer.entries().size(), writer.entries().front().offset);
    return kSfxpackExitOk;
}

int RunList(const SfxpackArguments& args, std::FILE* out, std::FILE* err) {
    SfxArchive archive;
    const SfxResult result = archive.ReadDirectory(args.archive);
    if (result != SfxResult::Ok)
        return Report(err, args.archive, result, archive.refusal(), archive.reason());
    for (uint32_t i = 0; i < archive.count(); ++i) {
        const SfxEntry& entry = archive.entries()[i];
        std::fprintf(out, "%10u %10u %s\n", entry.offset, entry.size, TerminalSafe(entry.name).c_str());
    }
    return kSfxpackExitOk;
}

int RunExtract(const SfxpackArguments& args, std::FILE* out, std::FILE* err) {
    std::string why;
    if (KindOf(args.folder, &why) != PathKind::Folder) {
        std::fprintf(err, "sfxpack: %s: not an existing folder (%s)\n", TerminalSafe(args.folder).c_str(),
                     TerminalSafe(why).c_str());
        return kSfxpackExitFailed;
    }
    SfxArchive archive;
    const SfxResult result = archive.ExtractAll(args.archive, args.folder, nullptr, nullptr);
    if (result == SfxResult::WriteFailed || result == SfxResult::OwnArchive)
        return Report(err, archive.failed_path(), result, nullptr);
    if (result != SfxResult::Ok) {
        const bool copying = result == SfxResult::ReadFailed || result == SfxResult::SourceEnded;
        const std::string subject = copying && !archive.failed_path().empty()
                                        ? args.archive + " (writing " + archive.failed_path() + ")"
                                        : args.archive;
        return Report(err, subject, result, archive.refusal(), archive.reason());
    }
    if (archive.skipped() > 0) {
        std::fprintf(err, "sfxpack: %u of %u files could not be created, among them %s (%s)\n", archive.skipped(),
                     archive.count(), TerminalSafe(archive.failed_path()).c_str(),
                     TerminalSafe(archive.reason()).c_str());
        return kSfxpackExitFailed;
    }
    std::fprintf(out, "%u files written to %s\n", archive.count(), TerminalSafe(args.folder).c_str());
    return kSfxpackExitOk;
}
