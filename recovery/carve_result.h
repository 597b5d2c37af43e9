#pragma once

#include <cstdint>
#include <string>

// What one carve did. The caller starts each carve with a fresh one.
struct CarveResult {
    int32_t imageCount = 0;     // image files created, also one cut short by a failed write
    std::string imageFolder;    // the output folder, set at the first image found; empty when none was found
    bool aborted = false;       // stopped because an image file name was already taken
    bool failed = false;        // the write-error message was shown: source unreadable, or an image not written
    bool compoundFile = false;  // the source is a compound file and was not scanned
    uint64_t bytesScanned = 0;  // how far the carve got: every source byte before this was scanned or copied
};
