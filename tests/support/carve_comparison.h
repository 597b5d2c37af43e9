#pragma once

#include <optional>
#include <string>
#include <vector>

#include "recovery/candidate_filter.h"
#include "tests/support/bytes.h"

// Faults and leftovers a carve may meet, set up alike for the fast and the word-for-word carver.
struct CarveConditions {
    std::optional<uint64_t> read_error_at;
    std::optional<uint64_t> write_limit;
    std::vector<std::string> taken_names;  // image names already in the output folder
};

// Carves `source` with the fast carver on `path` and with the word-for-word one; empty when they did exactly the
// same (result, files, folders, messages), otherwise the first difference.
std::string CompareCarvers(const Bytes& source, const CarveConditions& conditions, FilterPath path);

// Every path of the candidate filter that this build and processor can run.
std::vector<FilterPath> FilterPathsToTest();
