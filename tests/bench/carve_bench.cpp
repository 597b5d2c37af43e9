// Carving speed on a large generated source: the fast carver, on each path of its candidate filter, against a plain
// memchr scan for the two start signatures and against the word-for-word 1024-byte carver (the floor). Prints
// numbers only.
//
//   carve_bench [MiB=256] [work folder]
//
// The work folder defaults to /dev/shm, so that the numbers show the carver's work rather than the disk's; else
// $TMPDIR or /tmp.
#include <sys/resource.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/console_platform.h"
#include "framework/stdio_file_system.h"
#include "recovery/image_carver.h"
#include "tests/bench/bench_folder.h"
#include "tests/support/carve_comparison.h"
#include "tests/support/literal_carver.h"

namespace {

constexpr size_t kMiB = size_t{1} << 20;
constexpr size_t kImageBody = 6000;

class Random {
  public:
    uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    void Fill(uint8_t* bytes, size_t size) {
        for (size_t i = 0; i < size; i += 8) {
            const uint64_t value = Next();
            std::memcpy(bytes + i, &value, std::min<size_t>(8, size - i));
        }
    }

  private:
    uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// Random bytes with one JPEG stream and one PNG-signed stream in every MiB.
bool WriteSource(const std::string& path, size_t mebibytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    Random random;
    std::vector<uint8_t> chunk(kMiB);
    const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10};
    const uint8_t png[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    bool written = true;
    for (size_t n = 0; n < mebibytes && written; ++n) {
        random.Fill(chunk.data(), chunk.size());
        const size_t jpeg_at = 1000 + random.Next() % 400000;
        std::memcpy(&chunk[jpeg_at], jpeg, sizeof jpeg);
        chunk[jpeg_at + kImageBody] = 0xFF;
        chunk[jpeg_at + kImageBody + 1] = 0xD9;
        const size_t png_at = 500000 + random.Next() % 400000;
        std::memcpy(&chunk[png_at], png, sizeof png);
        std::memcpy(&chunk[png_at + kImageBody], "IEND", 4);
        written = std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
    }
    return std::fclose(file) == 0 && written;
}

// What a carver could at best do: read the source and find the start signatures with memchr.
size_t MemchrScan(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::vector<uint8_t> chunk(kMiB);
    const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
    const uint8_t png[] = {0x89, 0x50, 0x4E, 0x47, 0x0D};
    size_t found = 0;
    for (size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0;) {
        const uint8_t* end = chunk.data() + got;
        for (const uint8_t* signature : {jpeg, png}) {
            for (const uint8_t* at = chunk.data();; ++at) {
                at = static_cast<const uint8_t*>(std::memchr(at, signature[0], static_cast<size_t>(end - at)));
                if (at == nullptr)
                    break;
                if (end - at >= 5 && std::memcmp(at, signature, 5) == 0)
                    ++found;
            }
        }
    }
    std::fclose(file);
    return found;
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakRssKib() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Folder {
    size_t files = 0;
    uintmax_t bytes = 0;
};

Folder Summary(const std::string& folder) {
    Folder summary;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++summary.files;
        summary.bytes += entry.file_size();
    }
    return summary;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    const std::string work = BenchFolder(argc, argv, 2);
    const std::string source = work + "/carve_bench_source.bin";
    const std::string fast_folder = work + "/carve_bench_fast";
    const std::string literal_folder = work + "/carve_bench_literal";
    std::filesystem::remove_all(fast_folder);
    std::filesystem::remove_all(literal_folder);
    if (mebibytes == 0 || !WriteSource(source, mebibytes)) {
        std::fprintf(stderr, "cannot write a %zu MiB source to %s\n", mebibytes, source.c_str());
        return 1;
    }
    MemchrScan(source);  // brings the source into the page cache
    const double megabytes = static_cast<double>(mebibytes * kMiB) / 1e6;
    std::printf(
        "source: %zu MiB in %s, one JPEG and one PNG-signed stream per MiB; peak RSS after generating: %ld KiB\n",
        mebibytes, work.c_str(), PeakRssKib());

    size_t signatures = 0;
    const double scan_seconds = Seconds([&] { signatures = MemchrScan(source); });
    std::printf("memchr scan:     %8.1f MB/s  (%zu start signatures)\n", megabytes / scan_seconds, signatures);

    ConsolePlatform platform("carve_bench");
    StdioFileSystem files;
    std::vector<double> fast_seconds;
    for (const FilterPath path : FilterPathsToTest()) {
        std::filesystem::remove_all(fast_folder);
        CarveResult fast;
        fast_seconds.push_back(Seconds([&] {
            fast = ImageCarver(files, platform, nullptr, path).Carve(source, fast_folder, LanguageId::English);
        }));
        std::printf("fast carver:     %8.1f MB/s  (%d images, %s filter), peak RSS so far %ld KiB\n",
                    megabytes / fast_seconds.back(), fast.imageCount, ToString(path),
                    PeakRssKib());
    }

    CarveResult literal;
    const double literal_seconds = Seconds([&] {
        FileLiteralSource literal_source(source);
        literal = LiteralCarve(literal_source, files, platform, literal_folder, LanguageId::English);
    });
    std::printf("literal carver:  %8.1f MB/s  (%d images)\n", megabytes / literal_seconds, literal.imageCount);

    // The last path measured is the fastest, the one the carver takes.
    std::printf("carver / memchr scan: %.2f;  carver / literal: %.1f;  peak RSS: %ld KiB\n",
                scan_seconds / fast_seconds.back(), literal_seconds / fast_seconds.back(), PeakRssKib());
    const Folder fast_output = Summary(fast_folder);
    const Folder literal_output = Summary(literal_folder);
    std::printf("output: %zu files, %ju bytes (literal: %zu files, %ju bytes)\n", fast_output.files, fast_output.bytes,
                literal_output.files, literal_output.bytes);
    std::filesystem::remove(source);
    std::filesystem::remove_all(fast_folder);
    std::filesystem::remove_all(literal_folder);
    return fast_output.files == literal_output.files && fast_output.bytes == literal_output.bytes ? 0 : 1;
}
