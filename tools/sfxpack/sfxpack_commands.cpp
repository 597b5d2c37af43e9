#include "tools/sfxpack/sfxpack_commands.h"

#include <sys/stat.h>

#include "installer/sfx_archive.h"
#include "installer/sfx_writer.h"

namespace {

enum class PathKind { Missing, File, Folder, Other };

PathKind KindOf(const std::string& name) {
#ifdef _WIN32
    std::string path = name;
    // The C runtime's _stat64 does not find a folder named with a trailing separator (out\ rather than out),
    // except the root of a drive such as C:\ itself.
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0)
        return PathKind::Missing;
#else
    struct stat info;
    if (stat(name.c_str(), &info) != 0)
        return PathKind::Missing;
#endif
    if (S_ISREG(info.st_mode))
        return PathKind::File;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
}

// Names reach the terminal as they are stored; control bytes are shown as \xNN so a name cannot move the cursor
// or change colours. A backslash is never stored, so the form cannot be mistaken for a name.
std::string Printable(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        else
            shown += c;
    }
    return shown;
}

int Report(std::FILE* err, const std::string& subject, SfxResult result, const char* refusal) {
    std::fprintf(err, "sfxpack: %s: %s", Printable(subject).c_str(), ToString(result));
    if (result == SfxResult::BadDirectory && refusal != nullptr)
        std::fprintf(err, " (%s)", refusal);
    std::fputc('\n', err);
    return kSfxpackExitFailed;
}

// Nothing is created until every FILE is known to be a regular file with a name the archive accepts, so a refused
// pack leaves an existing OUT alone.
int CheckPackInputs(const SfxpackArguments& args, std::FILE* err) {
    for (const std::string& path : args.files) {
        if (const char* reason = SfxNameRefusal(BareFileName(path))) {
            std::fprintf(err, "sfxpack: %s: cannot be stored: %s\n", Printable(path).c_str(), reason);
            return kSfxpackExitFailed;
        }
    }
    const auto not_a_file = [err](const std::string& path) {
        if (KindOf(path) == PathKind::File)
            return false;
        std::fprintf(err, "sfxpack: %s: not a readable file\n", Printable(path).c_str());
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
    const int checked = CheckPackInputs(args, err);
    if (checked != kSfxpackExitOk)
        return checked;
    SfxWriter writer(args.out);
    SfxResult result = writer.BeginWithStubFile(args.stub);
    for (size_t i = 0; i < args.files.size() && result == SfxResult::Ok; ++i)
        result = writer.AddFile(BareFileName(args.files[i]), args.files[i]);
    if (result == SfxResult::Ok)
        result = writer.Finish();
    if (result != SfxResult::Ok)
        return Report(err, writer.failed_path(), result, writer.refusal());
    std::fprintf(out, "%s: %zu files after a stub of %u bytes\n", Printable(args.out).c_str(), writer.entries().size(),
                 writer.entries().front().offset);
    return kSfxpackExitOk;
}

int RunList(const SfxpackArguments& args, std::FILE* out, std::FILE* err) {
    SfxArchive archive;
    const SfxResult result = archive.ReadDirectory(args.archive);
    if (result != SfxResult::Ok)
        return Report(err, args.archive, result, archive.refusal());
    for (uint32_t i = 0; i < archive.count(); ++i) {
        const SfxEntry& entry = archive.entries()[i];
        std::fprintf(out, "%10u %10u %s\n", entry.offset, entry.size, Printable(entry.name).c_str());
    }
    return kSfxpackExitOk;
}

int RunExtract(const SfxpackArguments& args, std::FILE* out, std::FILE* err) {
    if (KindOf(args.folder) != PathKind::Folder) {
        std::fprintf(err, "sfxpack: %s: not an existing folder\n", Printable(args.folder).c_str());
        return kSfxpackExitFailed;
    }
    SfxArchive archive;
    const SfxResult result = archive.ExtractAll(args.archive, args.folder, nullptr, nullptr);
    if (result == SfxResult::WriteFailed)
        return Report(err, archive.failed_path(), result, nullptr);
    if (result != SfxResult::Ok) {
        const bool copying = result == SfxResult::ReadFailed || result == SfxResult::SourceEnded;
        const std::string subject = copying && !archive.failed_path().empty()
                                        ? args.archive + " (writing " + archive.failed_path() + ")"
                                        : args.archive;
        return Report(err, subject, result, archive.refusal());
    }
    if (archive.skipped() > 0) {
        std::fprintf(err, "sfxpack: %u of %u files could not be created, among them %s\n", archive.skipped(),
                     archive.count(), Printable(archive.failed_path()).c_str());
        return kSfxpackExitFailed;
    }
    std::fprintf(out, "%u files written to %s\n", archive.count(), Printable(args.folder).c_str());
    return kSfxpackExitOk;
}
