#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/file_system.h"
#include "salvage/row_assembler.h"

// Rows `first`..`last` of a channel as the report names it: the document's channel index for the composite and
// the extra channels, the channel id for a layer (its transparency -1, its mask -2).
struct ReportedLoss {
    int32_t channel = 0;
    uint32_t first = 0;
    uint32_t last = 0;
};

// The rows of one picture, ready for the PNG, produced top to bottom.
class PictureRows {
  public:
    virtual ~PictureRows() = default;
    // The PNG's format (its height included) and the profile it carries.
    virtual PngFormat Format() const = 0;
    virtual const std::vector<uint8_t>& Profile() const = 0;
    // The next row, Format()'s row size. Lost samples are transparent.
    virtual void NextRow(uint8_t* out) = 0;
};

struct PictureOutcome {
    CreateOutcome created = CreateOutcome::Failed;
    bool written = false;  // created, and every row, the end and the close written
    std::string problem;   // when not written: the path and the reason
};

// Streams a picture into a new PNG at `path`: memory is one row.
PictureOutcome WritePicture(FileSystem& files, const std::string& path, PictureRows& rows);

// Bytes of one PNG row of `format`.
size_t PngRowBytes(const PngFormat& format);
