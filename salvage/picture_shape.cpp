#include "salvage/picture_shape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "salvage/psd_header.h"

namespace {

// A channel's first row counts as a break when it differs from the row before by this many times what neighbouring
// rows typically differ by.
constexpr double kBreakFactor = 3.0;
// Rows are told by being this much more alike than bytes at other distances typically are.
constexpr double kRowContrast = 0.5;
// Channels of one picture change at the same rows at least this much (a correlation).
constexpr double kEdgesAlike = 0.5;

double MeanDistance(const std::vector<uint8_t>& bytes, uint64_t lag, uint64_t from, uint64_t step) {
    uint64_t sum = 0, n = 0;
    for (uint64_t i = from; i + lag < bytes.size(); i += step, ++n)
        sum += static_cast<uint64_t>(std::abs(int{bytes[i]} - int{bytes[i + lag]}));
    return n == 0 ? 0.0 : static_cast<double>(sum) / static_cast<double>(n);
}

// How alike the channels of a split into `height` rows each are in where their rows change: every channel of one
// picture has its edges at the same rows, while pieces of one channel cut at an edge of the picture do not. The
// least Pearson correlation of neighbouring channels' row distances; -1 when one of them does not vary.
double EdgesAlike(const std::vector<double>& distances, uint64_t channels, uint64_t height) {
    double least = 1.0;
    for (uint64_t k = 0; k + 1 < channels; ++k) {
        double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0, n = 0;
        for (uint64_t r = 0; r + 1 < height; ++r) {
            const double a = distances[k * height + r], b = distances[(k + 1) * height + r];
            if (a < 0 || b < 0)
                continue;
            sa += a, sb += b, saa += a * a, sbb += b * b, sab += a * b, n += 1;
        }
        if (n < 2)
            return -1.0;
        const double va = saa - sa * sa / n, vb = sbb - sb * sb / n;
        if (va <= 0 || vb <= 0)
            return -1.0;
        least = std::min(least, (sab - sa * sb / n) / std::sqrt(va * vb));
    }
    return least;
}

}  // namespace

uint64_t RowLengthFromSamples(const std::vector<uint8_t>& sample, uint64_t total, uint64_t max_row_bytes) {
    uint64_t best = 0;
    double best_distance = 0.0;
    std::vector<double> distances;
    // Rows of one sample, or as long as the sample, say nothing about their neighbours.
    for (uint64_t length = 2; length <= max_row_bytes && 2 * length <= sample.size(); ++length) {
        if (total % length != 0 || total / length > uint64_t{kMaxChannels} * kMaxPsbSide)
            continue;
        const double distance = MeanDistance(sample, length, 0, 1);
        distances.push_back(distance);
        if (best == 0 || distance < best_distance)
            best = length, best_distance = distance;
    }
    if (distances.size() < 3)
        return 0;
    // Bytes that are not a picture's rows (compressed data, noise) are no more alike at one length than at another.
    std::nth_element(distances.begin(), distances.begin() + static_cast<std::ptrdiff_t>(distances.size() / 2),
                     distances.end());
    return best_distance < kRowContrast * distances[distances.size() / 2] ? best : 0;
}

uint16_t DepthFromSamples(const std::vector<uint8_t>& rows) {
    if (rows.size() < 4)
        return 8;
    // First bytes of pairs against second bytes: big-endian 16-bit samples change smoothly in their first byte.
    const double firsts = MeanDistance(rows, 2, 0, 2);
    const double seconds = MeanDistance(rows, 2, 1, 2);
    uint64_t copies = 0, pairs = 0, odd_copies = 0;
    for (size_t i = 0; i + 2 < rows.size(); i += 2, ++pairs) {
        copies += rows[i] == rows[i + 1] ? 1 : 0;
        odd_copies += rows[i + 1] == rows[i + 2] ? 1 : 0;
    }
    const double copied = static_cast<double>(copies) / static_cast<double>(pairs);
    const double odd_copied = static_cast<double>(odd_copies) / static_cast<double>(pairs);
    // Eight bits scaled to sixteen repeat each byte; sixteen bits of their own have a noisy second byte.
    return copied > 0.9 && copied - odd_copied > 0.3 ? 16 : (seconds > 3 * firsts + 1 ? 16 : 8);
}

uint32_t ChannelsFromRows(uint64_t rows,
                          uint64_t row_bytes,
                          uint64_t sample_bytes,
                          uint32_t max_rows,
                          const StoredRowReader& read) {
    // More rows than any split can hold say nothing, and would only fill memory with their distances.
    if (rows < 2 || row_bytes == 0 || rows > uint64_t{kMaxChannels} * max_rows)
        return 1;
    // distances[r]: how much stored row r + 1 differs from row r, per byte.
    std::vector<double> distances(rows - 1, -1.0);
    std::vector<uint8_t> previous, current;
    bool have_previous = read(0, &previous);
    for (uint64_t r = 1; r < rows; ++r) {
        const bool have = read(r, &current);
        if (have && have_previous) {
            uint64_t sum = 0;
            for (uint64_t i = 0; i < row_bytes; i += sample_bytes)
                sum += static_cast<uint64_t>(std::abs(int{previous[i]} - int{current[i]}));
            distances[r - 1] =
                static_cast<double>(sum) * static_cast<double>(sample_bytes) / static_cast<double>(row_bytes);
        }
        std::swap(previous, current);
        have_previous = have;
    }
    std::vector<double> known;
    for (double d : distances) {
        if (d >= 0)
            known.push_back(d);
    }
    if (known.empty())
        return 1;
    std::nth_element(known.begin(), known.begin() + static_cast<std::ptrdiff_t>(known.size() / 2), known.end());
    const double threshold = kBreakFactor * std::max(known[known.size() / 2], 0.5);
    // A picture with a sharp edge across it breaks at more places than its channels begin: of the splits that break
    // everywhere, the one whose channels change at the same rows wins, else the one with the most channels.
    uint32_t most = 1, alike = 1;
    double alike_score = kEdgesAlike;
    for (uint32_t channels = kMaxChannels; channels > 1; --channels) {
        if (rows % channels != 0 || rows / channels > max_rows)
            continue;
        const uint64_t height = rows / channels;
        bool breaks = true;
        for (uint64_t k = 1; k < channels && breaks; ++k)
            breaks = distances[k * height - 1] > threshold;
        if (!breaks)
            continue;
        most = std::max(most, channels);
        const double score = EdgesAlike(distances, channels, height);
        if (score > alike_score)
            alike = channels, alike_score = score;
    }
    return alike != 1 ? alike : most;
}
