#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/file_system.h"
#include "salvage/byte_source.h"
#include "salvage/document_layout.h"
#include "salvage/picture_writer.h"

// One document salvaged: located, then its composite, its layers (with their masks) and its extra channels written
// as PNG pictures into one folder, in that order. Stops at the first name that is taken or picture that cannot be
// written, like a carve.

enum class SalvageStatus {
    Done,         // read to its end, with or without losses
    NoImage,      // nothing recognisable as image data
    ReadFailed,   // the source could not be read
    WriteFailed,  // a folder or a picture could not be written
    NameTaken,    // a picture's name exists already: nothing was written through it
};

struct LayerOutcome {
    size_t layer = 0;       // index into the layout's layers
    std::string file;       // the picture's path
    std::string mask_file;  // empty when the layer has no mask
    std::vector<ReportedLoss> lost;
};

struct SalvageOutcome {
    SalvageStatus status = SalvageStatus::Done;
    std::string problem;  // why it stopped, with the path
    DocumentLayout layout;
    std::string composite_file;  // empty when none was written
    bool composed_from_layers = false;
    std::vector<ReportedLoss> composite_lost;
    uint32_t composite_whole_rows = 0;  // rows of which every channel came back
    std::vector<LayerOutcome> layers;
    std::vector<std::string> channel_files;
    std::vector<std::string> notes;  // damage met, and what was done about it
};

SalvageOutcome SalvageDocument(ByteSource& source, FileSystem& files, const std::string& folder, char separator);
