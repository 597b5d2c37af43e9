#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/file_system.h"
#include "salvage/row_assembler.h"

// The write stage: a PNG written row by row through the PNG library, into a file created exclusively through the
// seam, so that memory stays one row and nothing is ever written through an existing name.
class PngRowWriter {
  public:
    // Creates `path` (Taken when the name exists in any form; nothing is written then) and writes the PNG's header,
    // with `icc_profile` as its iCCP chunk when it is not empty. nullptr unless Created; `*problem` names the path
    // and the reason. A profile the PNG library refuses is left out and the PNG written without it; `*notes` (when
    // given) says so.
    static std::unique_ptr<PngRowWriter> Create(FileSystem& files,
                                                const std::string& path,
                                                const PngFormat& format,
                                                const std::vector<uint8_t>& icc_profile,
                                                CreateOutcome* outcome,
                                                std::string* problem,
                                                std::vector<std::string>* notes = nullptr);
    virtual ~PngRowWriter() = default;
    // One row of format.width pixels (16-bit samples big-endian). False once anything failed.
    [[nodiscard]] virtual bool WriteRow(const uint8_t* row) = 0;
    // Ends the picture and closes the file. False when any write, the end or the close failed; `*problem` then names
    // the path and the reason.
    [[nodiscard]] virtual bool Finish(std::string* problem) = 0;
};
