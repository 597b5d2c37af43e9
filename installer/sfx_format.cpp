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

// On Windows "COM1" or "nul.txt" in any folder opens a device: the file would go to a serial port or nowhere. The
// digit may also be 0 or a superscript one, two or three (Windows-1252 B9, B2, B3).
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (SameSfxName(stem, device))
            return true;
    }
    if (stem.size() != 4 || std::string_view("0123456789\xB9\xB2\xB3").find(stem[3]) == std::string_view::npos)
        return false;
    return SameSfxName(stem.substr(0, 3), "COM") || SameSfxName(stem.substr(0, 3), "LPT");
}

// Bytes 1-31 and the characters Windows keeps for wildcards, pipes and redirection: no file can carry them.
bool HasForbiddenCharacter(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("*?|<>\"").find(c) != std::string_view::npos)
            return true;
    }
    return false;
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
    if (name.size() > kSfxMaxComponentLength)
        return "name longer than 255 bytes";
    if (HasForbiddenCharacter(name))
        return "name holds a control character or one of * ? | < > \"";
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
