#pragma once

#include <memory>
#include <string>
#include <vector>

#include "salvage/byte_source.h"
#include "salvage/document_layout.h"
#include "salvage/layer_feeds.h"
#include "salvage/picture_writer.h"

// The canvas composed from the layers, row by row, for a document without real merged data: each visible layer (a
// hidden group hides its layers) blended over those below with its opacity, transparency and user mask, the normal
// way. Other blend modes and clipping are approximated as normal and named in the notes. Where one layer's row was
// lost, its pixels are holes. Memory: a row of every layer and one canvas row.
class ComposedRows final : public PictureRows {
  public:
    // nullptr when no visible layer has pixels or the layers cannot be shown; `*problem` says why.
    static std::unique_ptr<ComposedRows> Create(ByteSource& source,
                                                const DocumentLayout& layout,
                                                const std::vector<uint8_t>& profile,
                                                std::vector<std::string>* notes,
                                                std::string* problem);

    PngFormat Format() const override { return format_; }
    const std::vector<uint8_t>& Profile() const override { return profile_; }
    void NextRow(uint8_t* out) override;

    // Rows where a layer lost samples, named for each colour channel of the document.
    std::vector<ReportedLoss> Lost() const;
    uint32_t WholeRows() const { return whole_rows_; }

  private:
    struct Source {
        const Layer* layer;
        LayerReaders readers;
        std::unique_ptr<AssembledRows> rows;
        std::vector<uint8_t> row;   // the layer's own picture row, with alpha
        std::vector<uint8_t> mask;  // the mask's row
        bool mask_row_whole = true;
        uint32_t rows_read = 0;
    };
    ComposedRows(PngFormat format, std::vector<uint8_t> profile, uint16_t colour_channels);
    void Blend(Source& layer, int64_t y);
    double MaskAt(Source& layer, int64_t y, int64_t x, bool* lost);

    PngFormat format_;
    std::vector<uint8_t> profile_;
    uint16_t colour_channels_;
    std::vector<std::unique_ptr<Source>> layers_;  // bottom first
    std::vector<double> canvas_;                   // premultiplied, colour channels then alpha, per pixel
    std::vector<uint8_t> holes_;                   // per pixel: a layer lost its samples there
    uint32_t next_row_ = 0;
    uint32_t whole_rows_ = 0;
    std::vector<ReportedLoss> lost_;
};
