#include "salvage/packbits.h"

#include <cstring>

namespace {

// One walk for the three uses; `Write` is false for the measuring passes, which the survey runs over every row.
template <bool Write, bool StopWhenFull>
PackBitsResult Walk(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size) {
    PackBitsResult r;
    size_t i = 0;
    size_t made = 0;
    unsigned repeats = 0;  // two-byte tokens equal to the one before, in a row
    size_t previous_length = 0;
    while (i < in_size) {
        if (StopWhenFull && made == out_size)
            break;
        const uint8_t control = in[i];
        size_t length = 0;
        size_t count = 0;
        PackBitsToken(control, &length, &count);
        if (length > in_size - i) {
            r.input_ended = true;
            break;
        }
        if (count > out_size - made)
            break;
        if (Write) {
            if (control < 128)
                std::memcpy(out + made, in + i + 1, count);
            else if (control > 128)
                std::memset(out + made, in[i + 1], count);
        }
        if (StopWhenFull) {
            const bool same = length == 2 && previous_length == 2 && in[i - 2] == control && in[i - 1] == in[i + 1];
            repeats = same ? repeats + 1 : 0;
            if (repeats >= 3) {
                r.consumed = i;
                r.produced = made;
                return r;
            }
        }
        previous_length = length;
        i += length;
        made += count;
    }
    r.consumed = i;
    r.produced = made;
    r.input_ended |= i == in_size && made < out_size;
    r.exact = made == out_size && (StopWhenFull || i == in_size);
    return r;
}

}  // namespace

PackBitsResult DecodePackBitsRow(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size) {
    return Walk<true, false>(in, in_size, out, out_size);
}

PackBitsResult MeasurePackBitsRow(const uint8_t* in, size_t in_size, size_t out_size) {
    return Walk<false, false>(in, in_size, nullptr, out_size);
}

PackBitsResult FindPackBitsRowEnd(const uint8_t* in, size_t in_size, size_t out_size) {
    return Walk<false, true>(in, in_size, nullptr, out_size);
}

bool PackBitsEndsInFill(const uint8_t* in, size_t in_size) {
    size_t last = in_size;
    for (size_t i = 0; i < in_size;) {
        size_t length = 0;
        size_t count = 0;
        PackBitsToken(in[i], &length, &count);
        last = i;
        i += length;
    }
    if (last == in_size || in[last] >= 128 || in[last] < 3 || last + in[last] + 2 != in_size)
        return false;
    const uint8_t* tail = in + in_size - 4;
    return tail[0] == tail[1] && tail[1] == tail[2] && tail[2] == tail[3];
}

bool PackBitsStartsLikeARow(const uint8_t* in, size_t in_size) {
    if (in_size == 0 || in[0] == 128)
        return false;
    size_t length = 0;
    size_t count = 0;
    PackBitsToken(in[0], &length, &count);
    // Encoders cut literals and runs at 127 or 128 bytes.
    if (count >= 127 || length >= in_size)
        return true;
    const uint8_t next = in[length];
    if (in[0] < 128)
        return next >= 128;
    return next <= 128 || length + 1 >= in_size || in[length + 1] != in[1];
}
