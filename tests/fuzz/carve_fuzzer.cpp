// The fast carver, on every path of its candidate filter, against the word-for-word one on arbitrary sources. The
// first two bytes choose a fault: a read error or a write limit at a multiple of 64 bytes, or an image name that is
// already taken.
#include <cstdio>
#include <cstdlib>

#include "tests/support/carve_comparison.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    CarveConditions conditions;
    const uint64_t at = uint64_t{data[1]} * 64;
    switch (data[0] % 8) {
        case 0:
            conditions.read_error_at = at;
            break;
        case 1:
            conditions.write_limit = at;
            break;
        case 2:
            conditions.taken_names = {std::to_string(1 + data[1] % 3) + (data[1] % 2 != 0 ? ".jpg" : ".gif")};
            break;
        default:
            break;
    }
    static const std::vector<FilterPath> kPaths = FilterPathsToTest();
    const Bytes source(data + 2, data + size);
    for (const FilterPath path : kPaths) {
        const std::string difference = CompareCarvers(source, conditions, path);
        if (!difference.empty()) {
            std::fprintf(stderr, "carvers differ on filter path %s: %s\n", ToString(path), difference.c_str());
            std::abort();
        }
    }
    return 0;
}
