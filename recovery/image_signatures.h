#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "recovery/candidate_filter.h"

// The byte patterns the carver knows. It reads nothing else of a file's structure.

constexpr std::array<uint8_t, 8> kCompoundFileSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Start-of-image, then an APP0 marker whose length begins with 00.
constexpr std::array<uint8_t, 5> kJpegStart = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
// The first five bytes of the PNG file signature.
constexpr std::array<uint8_t, 5> kPngStart = {0x89, 0x50, 0x4E, 0x47, 0x0D};
constexpr size_t kStartSignatureSize = 5;
// The first two bytes of both, which the scan stops at before it compares the rest.
constexpr PairSet kStartPairs = {{{{kJpegStart[0], kJpegStart[1]}, {kPngStart[0], kPngStart[1]}}}, 2};

constexpr std::array<uint8_t, 2> kJpegEnd = {0xFF, 0xD9};
constexpr std::array<uint8_t, 4> kPngEndChunk = {'I', 'E', 'N', 'D'};
constexpr PairSet kJpegEndPair = {{{{kJpegEnd[0], kJpegEnd[1]}}}, 1};
constexpr PairSet kPngEndChunkPair = {{{{kPngEndChunk[0], kPngEndChunk[1]}}}, 1};
// Photoshop resource marks: "8B", the start of "8BIM", and a zero byte followed by '8'.
constexpr PairSet kResourceMarkPairs = {{{{0x00, 0x38}, {0x38, 0x42}}}, 2};
// The end chunk's type is followed by its 4-byte checksum, the last bytes of the stream.
constexpr size_t kPngEndChunkTail = 4;

// Scan and copy blocks: the unit in which the source is examined. Start signatures are sought in scan blocks,
// end markers only inside one copy block.
constexpr size_t kCarveBlockSize = 1024;

enum class ImageKind { Jpeg, PngSigned };
