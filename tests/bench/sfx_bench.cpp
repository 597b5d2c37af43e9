// Extraction speed of the installer archive against cp of the same files, timed in the same run from a warm page
// cache, and against the same extraction done in 64 KiB chunks rather than the archive's 1,000-byte ones. Prints
// numbers only.
//
//   sfx_bench [MiB=256] [work folder] [runs=3]
//
// The payload is six large files and sixteen of 1 MiB (the large ones share what is left of MiB). The work folder
// defaults to /dev/shm, so that the numbers show the copying rather than the disk; else $TMPDIR or /tmp.
#include <sys/resource.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "installer/sfx_archive.h"
#include "installer/sfx_writer.h"
#include "tests/bench/bench_folder.h"

namespace {

constexpr size_t kMiB = size_t{1} << 20;
constexpr size_t kSmallFiles = 16;
constexpr size_t kLargeFiles = 6;
constexpr size_t kStubSize = 0x35000;

bool WriteRandomFile(const std::string& path, size_t size, uint64_t seed) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::vector<uint64_t> chunk(kMiB / sizeof(uint64_t));
    uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    bool written = true;
    for (size_t done = 0; done < size && written;) {
        for (uint64_t& word : chunk) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const size_t part = std::min(size - done, kMiB);
        written = std::fwrite(chunk.data(), 1, part, file) == part;
        done += part;
    }
    return std::fclose(file) == 0 && written;
}

uint64_t ReadAll(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::vector<char> chunk(kMiB);
    uint64_t total = 0;
    for (size_t got; file != nullptr && (got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0;)
        total += got;
    if (file != nullptr)
        std::fclose(file);
    return total;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakRssKib() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void FreshFolder(const std::string& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
}

// The extraction's work done with 64 KiB chunks instead of the archive's 1,000-byte ones: what the chunk size costs.
bool CopyInLargeChunks(const std::string& archive, const SfxArchive& sfx, const std::string& folder) {
    std::FILE* source = std::fopen(archive.c_str(), "rb");
    std::vector<char> chunk(size_t{64} << 10);
    bool ok = source != nullptr;
    for (uint32_t i = sfx.count(); ok && i-- > 0;) {
        const SfxEntry& entry = sfx.entries()[i];
        std::FILE* out = std::fopen((folder + "/" + entry.name).c_str(), "wb");
        ok = out != nullptr && fseeko(source, entry.offset, SEEK_SET) == 0;
        for (size_t left = entry.size; ok && left > 0;) {
            const size_t part = std::min(left, chunk.size());
            ok = std::fread(chunk.data(), 1, part, source) == part && std::fwrite(chunk.data(), 1, part, out) == part;
            left -= part;
        }
        ok = out != nullptr && std::fclose(out) == 0 && ok;
    }
    if (source != nullptr)
        std::fclose(source);
    return ok;
}

bool SameFiles(const std::string& a, const std::string& b, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (std::filesystem::file_size(a + "/" + name) != std::filesystem::file_size(b + "/" + name))
            return false;
    }
    return std::system(("cmp -s '" + a + "/" + names.front() + "' '" + b + "/" + names.front() + "'").c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    const std::string base = BenchFolder(argc, argv, 2);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    if (mebibytes < kSmallFiles + kLargeFiles) {
        std::fprintf(stderr, "the payload needs at least %zu MiB\n", kSmallFiles + kLargeFiles);
        return 2;
    }
    const std::string work = base + "/sfx_bench";
    const std::string payload = work + "/payload", cp_out = work + "/cp", sfx_out = work + "/sfx";
    const std::string archive = work + "/setup.exe";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(payload);

    // The large files share what the small ones leave; the first large one takes the remainder.
    std::vector<std::string> names;
    const size_t large_size = (mebibytes - kSmallFiles) * kMiB / kLargeFiles;
    const size_t first_large = (mebibytes - kSmallFiles) * kMiB - large_size * (kLargeFiles - 1);
    SfxWriter writer(archive);
    bool ok = writer.BeginWithStub(std::string(kStubSize, 'S')) == SfxResult::Ok;
    for (size_t i = 0; i < kSmallFiles + kLargeFiles && ok; ++i) {
        const bool large = i >= kSmallFiles;
        names.push_back((large ? "large" : "small") + std::to_string(i) + ".bin");
        const size_t size = !large ? kMiB : i == kSmallFiles ? first_large : large_size;
        const std::string path = payload + "/" + names.back();
        ok = WriteRandomFile(path, size, i) && writer.AddFile(names.back(), path) == SfxResult::Ok;
    }
    if (!ok || writer.Finish() != SfxResult::Ok) {
        std::fprintf(stderr, "cannot write the payload and the archive in %s\n", work.c_str());
        return 1;
    }
    std::string cp_command = "cp --";
    for (const std::string& name : names)
        cp_command += " '" + payload + "/" + name + "'";
    cp_command += " '" + cp_out + "/'";

    uint64_t warmed = ReadAll(archive);
    for (const std::string& name : names)
        warmed += ReadAll(payload + "/" + name);
    const double megabytes = static_cast<double>(mebibytes * kMiB) / 1e6;
    std::printf("payload: %zu MiB in %zu files, archive %s (%ju bytes read to warm the cache)\n", mebibytes,
                names.size(), archive.c_str(), static_cast<uintmax_t>(warmed));

    double best_cp = 1e9, best_sfx = 1e9, best_large = 1e9;
    SfxArchive sfx;
    for (int run = 1; run <= runs; ++run) {
        FreshFolder(cp_out);
        auto start = std::chrono::steady_clock::now();
        const int cp_status = std::system(cp_command.c_str());
        const double cp_seconds = Seconds(start);
        FreshFolder(sfx_out);
        start = std::chrono::steady_clock::now();
        const SfxResult result = sfx.ExtractAll(archive, sfx_out, nullptr, nullptr);
        const double sfx_seconds = Seconds(start);
        if (cp_status != 0 || result != SfxResult::Ok || !SameFiles(cp_out, sfx_out, names)) {
            std::fprintf(stderr, "run %d: cp status %d, extraction %s, or the copies differ\n", run, cp_status,
                         ToString(result));
            return 1;
        }
        FreshFolder(sfx_out);
        start = std::chrono::steady_clock::now();
        const bool large_ok = CopyInLargeChunks(archive, sfx, sfx_out);
        const double large_seconds = Seconds(start);
        if (!large_ok || !SameFiles(cp_out, sfx_out, names)) {
            std::fprintf(stderr, "run %d: the copy in 64 KiB chunks failed\n", run);
            return 1;
        }
        std::printf("run %d: cp %7.1f MB/s   extract %7.1f MB/s (%.2f x cp's time)   64 KiB chunks %7.1f MB/s\n", run,
                    megabytes / cp_seconds, megabytes / sfx_seconds, sfx_seconds / cp_seconds,
                    megabytes / large_seconds);
        best_cp = std::min(best_cp, cp_seconds);
        best_sfx = std::min(best_sfx, sfx_seconds);
        best_large = std::min(best_large, large_seconds);
    }
    std::printf("best: cp %.1f MB/s, extract %.1f MB/s, 64 KiB chunks %.1f MB/s\n", megabytes / best_cp,
                megabytes / best_sfx, megabytes / best_large);
    std::printf("extract takes %.2f x the time of cp (target: at most 1.25); 64 KiB chunks would take %.2f x\n",
                best_sfx / best_cp, best_large / best_cp);
    std::printf("peak RSS of the benchmark: %ld KiB\n", PeakRssKib());
    std::filesystem::remove_all(work);
    return 0;
}
