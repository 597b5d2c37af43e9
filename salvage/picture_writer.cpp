#include "salvage/picture_writer.h"

#include <memory>

#include "salvage/png_row_writer.h"

size_t PngRowBytes(const PngFormat& format) {
    return size_t{format.width} * format.channels * (format.bit_depth / 8u);
}

PictureOutcome WritePicture(FileSystem& files, const std::string& path, PictureRows& rows) {
    PictureOutcome outcome;
    const PngFormat format = rows.Format();
    std::unique_ptr<PngRowWriter> writer =
        PngRowWriter::Create(files, path, format, rows.Profile(), &outcome.created, &outcome.problem);
    if (!writer)
        return outcome;
    std::vector<uint8_t> row(PngRowBytes(format));
    bool ok = true;
    for (uint32_t y = 0; y < format.height && ok; ++y) {
        rows.NextRow(row.data());
        ok = writer->WriteRow(row.data());
    }
    // Finish names the failure, a failed row included.
    outcome.written = writer->Finish(&outcome.problem) && ok;
    return outcome;
}
