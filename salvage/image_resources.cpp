#include "salvage/image_resources.h"

#include <algorithm>
#include <vector>

#include "salvage/big_endian.h"
#include "salvage/psd_text.h"

namespace {

constexpr uint16_t kAlphaNames = 1006;
constexpr uint16_t kOldThumbnail = 1033;
constexpr uint16_t kThumbnail = 1036;
constexpr uint16_t kIccProfile = 1039;
constexpr uint16_t kUnicodeAlphaNames = 1045;
constexpr uint16_t kVersionInfo = 1057;
// Names are a few hundred bytes at most; a longer resource is read only this far.
constexpr size_t kMaxNamesBytes = 64 * 1024;

std::vector<uint8_t> ReadUpTo(ByteWindow& in, uint64_t offset, uint64_t size, size_t limit) {
    std::vector<uint8_t> bytes(static_cast<size_t>(std::min<uint64_t>(size, limit)));
    if (!in.Read(offset, bytes.data(), bytes.size()))
        bytes.clear();
    return bytes;
}

std::vector<std::string> PascalNames(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> names;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = bytes[at];
        if (at + 1 + length > bytes.size())
            break;
        names.push_back(MacRomanToUtf8(bytes.data() + at + 1, length));
        at += 1 + length;
    }
    return names;
}

std::vector<std::string> UnicodeNames(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> names;
    for (size_t at = 0; at + 4 <= bytes.size();) {
        const uint64_t units = LoadU32BE(bytes.data() + at);
        if (units > (bytes.size() - at - 4) / 2)
            break;
        names.push_back(Utf16BeToUtf8(bytes.data() + at + 4, static_cast<size_t>(units)));
        at += 4 + 2 * static_cast<size_t>(units);
    }
    return names;
}

void Keep(ByteWindow& in, uint16_t id, uint64_t data, uint64_t size, ImageResources* found) {
    switch (id) {
        case kIccProfile:
            if (size > 0)
                found->icc_profile = ByteRange{data, size};
            break;
        case kVersionInfo: {
            uint8_t merged = 0;
            if (size >= 5 && in.U8(data + 4, &merged))
                found->has_real_merged_data = merged != 0;
            break;
        }
        case kThumbnail:
        case kOldThumbnail: {
            // The newer thumbnail wins over the old one whichever comes first.
            uint32_t width = 0, height = 0;
            if ((id == kThumbnail || found->thumbnail_width == 0) && size >= 12 && in.U32(data + 4, &width) &&
                in.U32(data + 8, &height) && width > 0 && height > 0) {
                found->thumbnail_width = width;
                found->thumbnail_height = height;
            }
            break;
        }
        case kUnicodeAlphaNames:
            found->alpha_names = UnicodeNames(ReadUpTo(in, data, size, kMaxNamesBytes));
            break;
        case kAlphaNames:
            if (found->alpha_names.empty())
                found->alpha_names = PascalNames(ReadUpTo(in, data, size, kMaxNamesBytes));
            break;
        default:
            break;
    }
}

}  // namespace

bool IsResourceSignatureAt(ByteWindow& in, uint64_t offset) {
    for (const char* signature : {"8BIM", "MeSa", "AgHg", "PHUT", "DCSR"}) {
        if (in.TagAt(offset, signature))
            return true;
    }
    return false;
}

ResourceWalk ReadImageResources(ByteWindow& in, uint64_t offset, uint64_t claimed_end, ImageResources* found) {
    ResourceWalk walk{offset, offset == claimed_end};
    // Every step moves at least 12 bytes forward, so the walk ends.
    for (uint64_t at = offset; IsResourceSignatureAt(in, at);) {
        uint16_t id = 0;
        uint8_t name_length = 0;
        uint32_t size = 0;
        if (!in.U16(at + 4, &id) || !in.U8(at + 6, &name_length))
            break;
        const uint64_t padded_name = (uint64_t{name_length} + 2) & ~uint64_t{1};
        const uint64_t size_at = at + 6 + padded_name;
        if (!in.U32(size_at, &size))
            break;
        const uint64_t data = size_at + 4;
        const uint64_t next = data + size + (size & 1u);
        if (next > in.Size())
            break;
        Keep(in, id, data, size, found);
        at = next;
        walk.end = next;
        walk.landed |= next == claimed_end;
    }
    return walk;
}
