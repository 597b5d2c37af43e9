#include "salvage/packbits.h"

#include <cstring>

namespace {

// One walk for every use: `StopWhenMade` ends it once the row is made (and its trailing no-ops taken).
template <bool StopWhenMade>
PackBitsResult Walk(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size) {
    PackBitsResult r;
    size_t i = 0;
    size_t made = 0;
    while (i < in_size) {
        const uint8_t control = in[i];
        if (StopWhenMade && made == out_size && control != 128)
            break;
        if (control == 128) {
            ++i;
            continue;
        }
        const auto [length, count] = ReadPackBitsToken(control);
        if (length > in_size - i || count > out_size - made)
            break;
        if (out != nullptr) {
            if (control < 128)
                std::memcpy(out + made, in + i + 1, count);
            else
                std::memset(out + made, in[i + 1], count);
        }
        i += length;
        made += count;
    }
    r.consumed = i;
    r.produced = made;
    r.exact = made == out_size && (StopWhenMade || i == in_size);
    return r;
}

}  // namespace

PackBitsResult DecodePackBitsRow(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size) {
    return Walk<false>(in, in_size, out, out_size);
}

PackBitsResult FindPackBitsRowEnd(const uint8_t* in, size_t in_size, size_t out_size) {
    return Walk<true>(in, in_size, nullptr, out_size);
}

uint64_t MinPackBitsRowLength(uint64_t row_bytes) {
    return 2 * ((row_bytes + 127) / 128);
}

uint64_t MaxPackBitsRowLength(uint64_t row_bytes) {
    return 2 * row_bytes;
}
