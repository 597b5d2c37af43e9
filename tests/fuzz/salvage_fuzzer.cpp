// The salvage engine on arbitrary file contents: every stage must survive any bytes, within bounded work and
// memory whatever sizes the input claims. Sizes are the engine's own business; here only the time per input is kept
// bounded by reading a few rows of each block, and salvaging in full only documents of a few pixels.
#include <cstdint>
#include <vector>

#include "salvage/channel_block_reader.h"
#include "salvage/document_locator.h"
#include "salvage/salvage_job.h"
#include "tests/support/memory_file_system.h"

namespace {

constexpr uint64_t kFullSalvagePixels = 1 << 16;

void ReadSomeRows(ByteSource& source, const ChannelBlock& block) {
    const auto reader = ChannelBlockReader::Open(source, block);
    std::vector<uint8_t> row(RowBytes(block.width, block.depth));
    for (uint32_t channel = 0; channel < block.channels && channel < 4; ++channel) {
        for (uint32_t y = 0; y < block.rows && y < 8; ++y)
            reader->ReadRow(channel, y, row.data());
    }
}

// The pixels a full salvage would write, at most: the canvas and every layer channel's rows.
bool Small(const DocumentLayout& layout) {
    uint64_t pixels = uint64_t{layout.header.width} * layout.header.height;
    for (const Layer& layer : layout.layers) {
        for (const LayerChannel& channel : layer.channels)
            pixels += uint64_t{channel.block.width} * channel.block.rows;
    }
    return pixels <= kFullSalvagePixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryByteSource source(data, size);
    DocumentLayout layout;
    if (LocateDocument(source, &layout) != LocateOutcome::Found)
        return 0;
    if (layout.composite)
        ReadSomeRows(source, *layout.composite);
    for (const Layer& layer : layout.layers) {
        for (const LayerChannel& channel : layer.channels)
            ReadSomeRows(source, channel.block);
    }
    if (Small(layout)) {
        MemoryFileSystem files;
        SalvageDocument(source, files, "out", '/');
    }
    return 0;
}
