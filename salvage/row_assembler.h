#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "salvage/psd_header.h"

// The assemble stage: the channel rows of one picture (the composite, a layer, a mask or an extra channel) become
// one PNG row. Gray, Gray+alpha, RGB or RGBA, at 8 or 16 bits, following the document: 1-bit as 8-bit gray (a set
// bit is black); 8 and 16 bits unchanged, bit for bit what the file holds; 32-bit float as 16 bits, from linear
// light to the sRGB curve. Indexed through its palette to RGB; Duotone as its gray data; CMYK and Lab to RGB
// through the document's ICC profile with Little CMS, or without one through a standard conversion (said in the
// notes). A sample whose row was lost is transparent; the samples that did come back keep their values.

struct PngFormat {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t channels = 1;  // 1 gray, 2 gray + alpha, 3 RGB, 4 RGBA
    uint8_t bit_depth = 8;
};

struct AssemblyInput {
    PsdHeader header;                  // mode, depth and width of the rows given; for a mask or an extra channel a
                                       // Grayscale header of the document's depth and the picture's own width
    std::vector<uint8_t> palette;      // Indexed: 768 bytes, reds, greens, blues
    std::vector<uint8_t> icc_profile;  // the document's embedded profile (resource 1039); may be empty or damaged
    bool has_transparency = false;     // a transparency row follows the colour rows
    bool mark_losses = false;          // some sample will be lost: give the picture an alpha channel even without
                                       // a transparency of its own
};

class RowAssembler {
  public:
    // nullptr when the combination cannot be shown (a mode and depth the format does not have); `*problem` says why.
    // What a reader should know (a standard conversion used, a damaged profile ignored) goes to `*notes`.
    static std::unique_ptr<RowAssembler> Create(const AssemblyInput& input,
                                                std::vector<std::string>* notes,
                                                std::string* problem);
    virtual ~RowAssembler() = default;

    // The PNG's pixel format; its height is the caller's to set.
    virtual PngFormat Format() const = 0;
    // The profile the PNG must carry: the document's for Gray and RGB samples written unchanged, none after a
    // conversion to sRGB.
    virtual const std::vector<uint8_t>& OutputProfile() const = 0;
    // Bytes of one PNG row.
    virtual size_t OutputRowBytes() const = 0;
    // Colour rows in mode order, then the transparency row when there is one: RowBytes(width, depth) bytes each,
    // nullptr for a lost row. Writes OutputRowBytes() bytes to `out`.
    virtual void Assemble(const std::vector<const uint8_t*>& rows, uint8_t* out) = 0;
};
