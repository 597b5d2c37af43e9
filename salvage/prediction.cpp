#include "salvage/prediction.h"

#include <cstring>

bool PredictionDefined(uint16_t depth) {
    return depth == 8 || depth == 16 || depth == 32;
}

void UndoPrediction(uint8_t* row, uint32_t width, uint16_t depth, uint8_t* scratch) {
    if (width == 0)
        return;
    if (depth == 8) {
        for (size_t x = 1; x < width; ++x)
            row[x] = static_cast<uint8_t>(row[x] + row[x - 1]);
    } else if (depth == 16) {
        unsigned previous = static_cast<unsigned>(row[0] << 8 | row[1]);
        for (size_t x = 1; x < width; ++x) {
            const unsigned sample = (previous + static_cast<unsigned>(row[2 * x] << 8 | row[2 * x + 1])) & 0xffff;
            row[2 * x] = static_cast<uint8_t>(sample >> 8);
            row[2 * x + 1] = static_cast<uint8_t>(sample & 0xff);
            previous = sample;
        }
    } else if (depth == 32) {
        const size_t bytes = size_t{width} * 4;
        for (size_t i = 1; i < bytes; ++i)
            row[i] = static_cast<uint8_t>(row[i] + row[i - 1]);
        for (size_t x = 0; x < width; ++x)
            for (size_t b = 0; b < 4; ++b)
                scratch[4 * x + b] = row[b * width + x];
        std::memcpy(row, scratch, bytes);
    }
}
