#include "installer/sfx_file.h"

#include <algorithm>
#include <array>

namespace {

// The copy chunk the installer has always used: no file is ever held in memory whole.
constexpr size_t kCopyChunk = 1000;
// The streams' own buffers, so that the 1,000-byte chunks do not each cost a system call.
constexpr size_t kStreamBuffer = size_t{64} << 10;

SfxFile Buffered(SfxFile file) {
    if (file)
        std::setvbuf(file.get(), nullptr, _IOFBF, kStreamBuffer);
    return file;
}

}  // namespace

SfxFile OpenSfxSource(const std::string& path, std::string* error) {
    return Buffered(OpenForReading(path, error));
}

SfxFile ReplaceSfxOutput(const std::string& path, std::string* error) {
    return Buffered(OpenForReplacing(path, error));
}

SfxFile CreateSfxOutputBeside(const std::string& path, std::string* temporary_path, std::string* error) {
    SfxFile file;
    if (CreateFileBeside(path, &file, temporary_path, error) != CreateOutcome::Created)
        return nullptr;
    return Buffered(std::move(file));
}

bool CloseSfxOutput(SfxFile file) {
    return file && std::fclose(file.release()) == 0;
}

SfxResult ReadSfxBytes(std::FILE* file, void* buffer, size_t size) {
    if (std::fread(buffer, 1, size, file) == size)
        return SfxResult::Ok;
    return std::ferror(file) != 0 ? SfxResult::ReadFailed : SfxResult::SourceEnded;
}

SfxResult CopySfxBytes(std::FILE* from, std::FILE* to, uint64_t size) {
    std::array<uint8_t, kCopyChunk> chunk;
    for (uint64_t done = 0; done < size;) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(chunk.size(), size - done));
        // A short read means the source failed or shrank under us; asking again would never finish the copy, and
        // writing what came would leave a file that looks complete but is not.
        const SfxResult read = ReadSfxBytes(from, chunk.data(), wanted);
        if (read != SfxResult::Ok)
            return read;
        if (std::fwrite(chunk.data(), 1, wanted, to) != wanted)
            return SfxResult::WriteFailed;
        done += wanted;
    }
    return SfxResult::Ok;
}
