// The fast carver against the word-for-word one, on sources built to put signatures, end markers and resource marks
// on and around the 1024-byte block boundaries.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/carve_comparison.h"

namespace {

const std::vector<Bytes> kPatterns = {
    kJpegStartBytes, kPngStartBytes, kJpegEndBytes, kPngEndBytes, {0x38, 0x42}, {0x00, 0x38}, {0xFF, 0xD8, 0xFF, 0xE0},
};

// On every path of the candidate filter.
void ExpectSameOutcome(const Bytes& source, const CarveConditions& conditions, const std::string& what) {
    for (const FilterPath path : FilterPathsToTest())
        EXPECT_EQ(CompareCarvers(source, conditions, path), "") << what << ", filter path " << ToString(path);
}

class SourceMaker {
  public:
    explicit SourceMaker(uint32_t seed) : random_(seed) {}

    size_t Below(size_t bound) { return bound == 0 ? 0 : std::uniform_int_distribution<size_t>(0, bound - 1)(random_); }

    // Sizes cluster around block multiples, where the carver's arithmetic can go wrong.
    size_t Size() {
        if (Below(4) == 0)
            return Below(9000);
        return 1024 * (1 + Below(6)) + Below(13) - 6;
    }

    // Random bytes, or bytes drawn from the few values the carver reacts to.
    Bytes Filler(size_t size) {
        Bytes bytes(size);
        const bool charged = Below(2) == 0;
        static const uint8_t kCharged[] = {0x00, 0x38, 0x42, 0xFF, 0xD9, 0xD8, 'I', 'E', 'N', 'D', 0x11, 0x89};
        for (uint8_t& byte : bytes)
            byte = charged && Below(3) != 0 ? kCharged[Below(sizeof kCharged)] : static_cast<uint8_t>(Below(256));
        return bytes;
    }

    // Near a block boundary of the file, or of a run of blocks that restarted after an earlier plant.
    size_t Position(size_t size, size_t last) {
        switch (Below(3)) {
            case 0:
                return Below(size + 1);
            case 1:
                return 1024 * Below(size / 1024 + 1) + Below(12) - 6;
            default:
                return last + 1024 * Below(3) + Below(12) - 6;
        }
    }

    Bytes Source() {
        Bytes bytes = Filler(Size());
        size_t last = 0;
        const size_t plants = Below(12);
        for (size_t n = 0; n < plants && !bytes.empty(); ++n) {
            const Bytes& pattern = kPatterns[Below(kPatterns.size())];
            last = Position(bytes.size(), last);
            Plant(bytes, last, pattern);
        }
        return bytes;
    }

  private:
    std::mt19937 random_;
};

TEST(CarverAgainstLiteral, SourcesOfEdgeSizes) {
    SourceMaker maker(1);
    for (const size_t size : {0, 1, 4, 5, 6, 8, 1019, 1023, 1024, 1025, 1029, 2047, 2048, 2049}) {
        for (int n = 0; n < 30; ++n) {
            Bytes source = maker.Filler(size);
            // A start signature in the last bytes, and another one earlier in a third of the cases.
            Plant(source, size >= 5 ? size - 5 : 0, kPatterns[n % 2]);
            if (size > 10 && n % 3 == 0)
                Plant(source, maker.Below(size), kPatterns[0]);
            ExpectSameOutcome(source, {}, "size " + std::to_string(size) + " case " + std::to_string(n));
        }
    }
}

TEST(CarverAgainstLiteral, GeneratedSources) {
    SourceMaker maker(2);
    for (int n = 0; n < 3000; ++n)
        ExpectSameOutcome(maker.Source(), {}, "source " + std::to_string(n));
}

TEST(CarverAgainstLiteral, GeneratedSourcesWithFaults) {
    SourceMaker maker(3);
    for (int n = 0; n < 1500; ++n) {
        const Bytes source = maker.Source();
        CarveConditions conditions;
        switch (n % 3) {
            case 0:
                conditions.read_error_at = maker.Below(source.size() + 2);
                break;
            case 1:
                conditions.write_limit = maker.Below(3000);
                break;
            default:
                conditions.taken_names = {std::to_string(1 + maker.Below(3)) + (n % 2 != 0 ? ".jpg" : ".gif")};
        }
        ExpectSameOutcome(source, conditions, "source " + std::to_string(n));
    }
}

TEST(CarverAgainstLiteral, CompoundFileHeaderAnywhereButTheStart) {
    SourceMaker maker(4);
    for (int n = 0; n < 50; ++n) {
        Bytes source = maker.Source();
        const size_t at = n % 2 == 0 ? 0 : maker.Below(source.size());
        Plant(source, at, kCompoundBytes);
        ExpectSameOutcome(source, {}, "compound header at " + std::to_string(at));
    }
}

}  // namespace
