#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The byte patterns the carver knows. It reads nothing else of a file's structure.

constexpr std::array<uint8_t, 8> kCompoundFileSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Start-of-image, then an APP0 marker whose length begins with 00.
constexpr std::array<uint8_t, 5> kJpegStart = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
// The first five bytes of the PNG file signature.
constexpr std::array<uint8_t, 5> kPngStart = {0x89, 0x50, 0x4E, 0x47, 0x0D};
constexpr size_t kStartSignatureSize = 5;

constexpr std::array<uint8_t, 2> kJpegEnd = {0xFF, 0xD9};
constexpr std::array<uint8_t, 4> kPngEndChunk = {'I', 'E', 'N', 'D'};
// The end chunk's type is followed by its 4-byte checksum, the last bytes of the stream.
constexpr size_t kPngEndChunkTail = 4;

// Scan and copy blocks: the unit in which the source is examined. Start signatures are sought in scan blocks,
// end markers only inside one copy block.
constexpr size_t kCarveBlockSize = 1024;

enum class ImageKind { Jpeg, PngSigned };
