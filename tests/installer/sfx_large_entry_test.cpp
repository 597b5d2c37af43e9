// A 300 MB stored file is copied in fixed chunks: right bytes at its start, middle and end, and no memory growth.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <cstdio>

#include "installer/sfx_archive.h"
#include "tests/installer/sfx_test_files.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t kImageSize = 0x35000;
constexpr uint32_t kLargeSize = 300000000;

long PeakRssKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Put(std::FILE* file, uint64_t at, const std::string& bytes) {
    ASSERT_EQ(fseeko(file, static_cast<off_t>(at), SEEK_SET), 0);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
}

std::string Get(std::FILE* file, uint64_t at, size_t size) {
    std::string bytes(size, '\0');
    if (fseeko(file, static_cast<off_t>(at), SEEK_SET) != 0 || std::fread(bytes.data(), 1, size, file) != size)
        return "unreadable";
    return bytes;
}

// Markers at the ends of the large file and at an odd place inside it; the rest of it is a hole in a sparse file,
// so only the extraction costs disk writes.
const std::vector<std::pair<uint32_t, std::string>> kMarkers = {{0, "first bytes"},
                                                                {123456789, "somewhere in the middle"},
                                                                {kLargeSize - 9, "last byte"}};

TEST(SfxLargeEntryTest, CopiesThreeHundredMegabytesWithConstantMemory) {
    TempDir dir;
    const std::string archive = dir / "large.exe";
    std::FILE* file = std::fopen(archive.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    Put(file, 0, "MZ");
    for (const auto& [at, text] : kMarkers)
        Put(file, kImageSize + uint64_t{at}, text);
    const std::vector<SfxEntry> entries = {{"small.txt", 0, kImageSize}, {"large.bin", kLargeSize, kImageSize}};
    const std::vector<uint8_t> directory = EncodeSfxDirectory(entries);
    Put(file, kImageSize + uint64_t{kLargeSize}, std::string(directory.begin(), directory.end()));
    ASSERT_EQ(std::fclose(file), 0);

    SfxArchive sfx;
    const long rss_before = PeakRssKib();
    ASSERT_EQ(sfx.ExtractAll(archive, dir.path(), nullptr, nullptr), SfxResult::Ok);
    const long growth = PeakRssKib() - rss_before;
    EXPECT_LT(growth, 16 * 1024) << "KiB more at peak than before the extraction";

    const std::string large = dir / "large.bin";
    EXPECT_EQ(std::filesystem::file_size(large), kLargeSize);
    std::FILE* out = std::fopen(large.c_str(), "rb");
    ASSERT_NE(out, nullptr);
    for (const auto& [at, text] : kMarkers)
        EXPECT_EQ(Get(out, at, text.size()), text) << at;
    EXPECT_EQ(Get(out, 1000, 8), std::string(8, '\0'));
    std::fclose(out);
    EXPECT_EQ(std::filesystem::file_size(dir / "small.txt"), 0u);
}

}  // namespace
