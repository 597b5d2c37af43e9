#include "installer/sfx_format.h"

const char* ToString(SfxResult result) {
    switch (result) {
        case SfxResult::OpenFailed:
            return "the archive cannot be opened";
        case SfxResult::NoTrailer:
            return "the file does not end with an archive trailer";
        case SfxResult::Ok:
            return "ok";
        case SfxResult::BadDirectory:
            return "the archive directory is damaged or unsafe";
        case SfxResult::NoEntries:
            return "the archive holds no files";
        case SfxResult::CreateFailed:
            return "an output file cannot be created";
        case SfxResult::ReopenFailed:
            return "the archive cannot be opened again for copying";
        case SfxResult::ReadFailed:
            return "read error";
        case SfxResult::WriteFailed:
            return "write error (disk full?)";
        case SfxResult::SourceEnded:
            return "the file ended early; it was changed while being copied";
        case SfxResult::OwnArchive:
            return "a stored file would replace the archive itself";
    }
    return "unknown result";
}

namespace {

// The capital of a Windows-1252 letter, as Windows compares file names; other bytes stay.
unsigned char UpperCp1252(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A:  // s with caron
        case 0x9C:  // oe
        case 0x9E:  // z with caron
            return static_cast<unsigned char>(c - 0x10);
        case 0xFF:  // y with diaeresis
            return 0x9F;
        default:
            return c;
    }
}

}  // namespace

bool SameSfxName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperCp1252(static_cast<unsigned char>(a[i])) != UpperCp1252(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

const char* SfxNameRefusal(std::string_view name) {
    // The installer reads a name into a buffer of its own, a tighter bound than the one Windows sets.
    if (name.size() > kSfxMaxNameLength)
        return "name of 1000 bytes or more";
    return WindowsNameRefusal(name);
}

std::vector<uint8_t> EncodeSfxDirectory(const std::vector<SfxEntry>& entries) {
    std::vector<uint8_t> bytes;
    for (const SfxEntry& entry : entries) {
        AppendU32LE(&bytes, entry.offset);
        AppendU32LE(&bytes, entry.size);
        bytes.insert(bytes.end(), entry.name.begin(), entry.name.end());
        AppendU32LE(&bytes, static_cast<uint32_t>(entry.name.size()));
    }
    AppendU32LE(&bytes, static_cast<uint32_t>(entries.size()));
    bytes.insert(bytes.end(), kSfxMagic, kSfxMagic + kSfxMagicSize);
    return bytes;
}
