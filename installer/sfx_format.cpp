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
    }
    return "unknown result";
}

namespace {

bool EqualsAsciiUpper(std::string_view name, std::string_view upper) {
    if (name.size() != upper.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != upper[i])
            return false;
    }
    return true;
}

// On Windows "COM1" or "nul.txt" in any folder opens a device: the file would go to a serial port or nowhere.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (EqualsAsciiUpper(stem, device))
            return true;
    }
    if (stem.size() != 4 || stem[3] < '1' || stem[3] > '9')
        return false;
    return EqualsAsciiUpper(stem.substr(0, 3), "COM") || EqualsAsciiUpper(stem.substr(0, 3), "LPT");
}

}  // namespace

const char* SfxNameRefusal(std::string_view name) {
    if (name.empty())
        return "empty name";
    if (name == "." || name == "..")
        return "name is . or ..";
    // A separator or a drive colon would let the name leave the extraction folder, and a colon also names an
    // alternate data stream on NTFS; the installer's C strings would cut a name at a zero byte.
    if (name.find_first_of(std::string_view("\\/:\0", 4)) != std::string_view::npos)
        return "name holds \\, /, : or a zero byte";
    if (name.size() > kSfxMaxNameLength)
        return "name of 1000 bytes or more";
    // Windows drops a trailing dot or blank, so such a name would land on another file than the one stored.
    if (name.back() == '.' || name.back() == ' ')
        return "name ends with a dot or a blank";
    if (IsDeviceName(name))
        return "name of a device (CON, NUL, COM1 ...)";
    return nullptr;
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
