#include "salvage/channel_block.h"

const char* CompressionName(Compression compression) {
    switch (compression) {
        case Compression::Raw:
            return "raw";
        case Compression::Rle:
            return "rle";
        case Compression::Zip:
            return "zip";
        case Compression::ZipPredicted:
            return "zip-predicted";
    }
    return "unknown";
}

void AddLostRow(std::vector<LostRows>* lost, uint32_t channel, uint32_t row) {
    if (!lost->empty() && lost->back().channel == channel && lost->back().last + 1 == row) {
        lost->back().last = row;
        return;
    }
    lost->push_back({channel, row, row});
}

bool IsLost(const std::vector<LostRows>& lost, uint32_t channel, uint32_t row) {
    for (const LostRows& span : lost) {
        if (span.channel == channel && span.first <= row && row <= span.last)
            return true;
    }
    return false;
}
