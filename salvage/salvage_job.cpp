#include "salvage/salvage_job.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "salvage/assembled_rows.h"
#include "salvage/composed_rows.h"
#include "salvage/document_locator.h"
#include "salvage/layer_feeds.h"
#include "salvage/output_folder.h"

namespace {

// An embedded profile larger than this is not a profile.
constexpr uint64_t kMaxProfileBytes = 64ull << 20;

std::string Numbered(size_t number, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*zu", digits, number);
    return text;
}

bool IsOpaqueSample(const uint8_t* row, size_t index, uint16_t depth) {
    switch (depth) {
        case 8:
            return row[index] == 0xff;
        case 16:
            return row[2 * index] == 0xff && row[2 * index + 1] == 0xff;
        default:  // 1.0f, big-endian
            return row[4 * index] == 0x3f && row[4 * index + 1] == 0x80 && row[4 * index + 2] == 0 &&
                   row[4 * index + 3] == 0;
    }
}

class DocumentSalvage {
  public:
    DocumentSalvage(ByteSource& source, FileSystem& files, const std::string& folder, char separator)
        : source_(source), folder_(files, folder, separator), files_(files) {}

    SalvageOutcome Run() {
        const LocateOutcome located = LocateDocument(source_, &outcome_.layout);
        // What was tried and why it failed belongs in the report of a file that gives nothing back, too.
        outcome_.notes = outcome_.layout.notes;
        if (located == LocateOutcome::NoImage)
            Stop(SalvageStatus::NoImage, "holds no recognisable image data");
        if (located == LocateOutcome::ReadFailed)
            Stop(SalvageStatus::ReadFailed, "cannot be read");
        if (located == LocateOutcome::Found) {
            ReadProfile();
            if (WriteComposite() && WriteLayers())
                WriteChannels();
            if (outcome_.status == SalvageStatus::Done && NothingWritten())
                Stop(SalvageStatus::NoImage, "holds no image data that could be read");
            if (outcome_.status == SalvageStatus::Done && source_.Failed())
                Stop(SalvageStatus::ReadFailed, "could not be read to its end");
        }
        return std::move(outcome_);
    }

  private:
    bool NothingWritten() const {
        if (!outcome_.composite_file.empty() || !outcome_.channel_files.empty())
            return false;
        for (const LayerOutcome& layer : outcome_.layers) {
            if (!layer.file.empty())
                return false;
        }
        return true;
    }

    // Ends the salvage with `status`: what was written so far stays listed.
    void Stop(SalvageStatus status, std::string problem) {
        outcome_.status = status;
        outcome_.problem = std::move(problem);
    }

    void ReadProfile() {
        const auto& range = outcome_.layout.resources.icc_profile;
        if (!range)
            return;
        if (range->size > kMaxProfileBytes || range->size > source_.Size()) {
            outcome_.notes.push_back("the embedded colour profile is too large to be one; left out");
            return;
        }
        profile_.resize(static_cast<size_t>(range->size));
        if (!ReadExactly(source_, range->offset, profile_.data(), profile_.size())) {
            outcome_.notes.push_back("the embedded colour profile is cut short; left out");
            profile_.clear();
        }
    }

    void AddNotes(const std::string& what, const std::vector<std::string>& notes) {
        for (const std::string& note : notes)
            outcome_.notes.push_back(what + ": " + note);
    }

    // What the assembler says (a conversion without a profile, a profile left out) holds for the whole document:
    // said once, whichever picture met it first.
    void AddDocumentNotes(const std::vector<std::string>& notes) {
        for (const std::string& note : notes) {
            if (std::find(outcome_.notes.begin(), outcome_.notes.end(), note) == outcome_.notes.end())
                outcome_.notes.push_back(note);
        }
    }

    // Writes one picture; false (with the outcome's status set) when the salvage must stop.
    bool Write(const std::string& subfolder, const std::string& name, PictureRows& rows, std::string* path) {
        std::string problem;
        *path = folder_.PathFor(subfolder, name, &problem);
        if (path->empty()) {
            Stop(SalvageStatus::WriteFailed, problem);
            return false;
        }
        const PictureOutcome written = WritePicture(files_, *path, rows);
        if (written.created == CreateOutcome::Taken) {
            Stop(SalvageStatus::NameTaken, *path + ": the name is taken; nothing was written through it");
            path->clear();
            return false;
        }
        if (!written.written) {
            Stop(SalvageStatus::WriteFailed, written.problem);
            return false;
        }
        return true;
    }

    // The one visible, opaque, normal layer that covers the canvas exactly and alone: where the composite lost a
    // row, that layer's row holds the very same samples.
    const Layer* CoveringLayer() const {
        const DocumentLayout& layout = outcome_.layout;
        const Layer* found = nullptr;
        for (const Layer& layer : layout.layers) {
            if (!HasPixels(layer) || !layer.visible)
                continue;
            if (found != nullptr)
                return nullptr;
            found = &layer;
        }
        if (found == nullptr || found->top != 0 || found->left != 0 ||
            found->bottom != static_cast<int64_t>(layout.header.height) ||
            found->right != static_cast<int64_t>(layout.header.width) || found->opacity != 255 ||
            std::string(found->blend.begin(), found->blend.end()) != "norm" || found->mask)
            return nullptr;
        return found;
    }

    // True when the layer's transparency is full on every row the composite lost (or it has none).
    bool OpaqueWhereLost(const LayerReaders& layer, const std::vector<LostRows>& lost) {
        if (!layer.has_transparency)
            return true;
        const ChannelFeed& transparency = layer.picture.back();
        const uint32_t width = outcome_.layout.header.width;
        const uint16_t depth = outcome_.layout.header.depth;
        std::vector<uint8_t> row(RowBytes(width, depth));
        for (const LostRows& span : lost) {
            for (uint32_t y = span.first; y <= span.last; ++y) {
                if (!transparency.reader->ReadRow(transparency.channel, y, row.data()))
                    return false;
                for (size_t x = 0; x < width; ++x) {
                    if (!IsOpaqueSample(row.data(), x, depth))
                        return false;
                }
            }
        }
        return true;
    }

    bool WriteComposite() {
        const DocumentLayout& layout = outcome_.layout;
        const bool blank = layout.resources.has_real_merged_data == false;
        if (!layout.composite || blank) {
            std::vector<std::string> notes;
            std::string problem;
            std::unique_ptr<ComposedRows> composed = ComposedRows::Create(source_, layout, profile_, &notes, &problem);
            if (composed) {
                outcome_.notes.push_back(blank ? "the document keeps no merged picture; composed from its layers"
                                               : "no merged picture found; composed from the layers");
                AddDocumentNotes(notes);
                if (!Write("", "composite.png", *composed, &outcome_.composite_file))
                    return false;
                outcome_.composed_from_layers = true;
                outcome_.composite_lost = composed->Lost();
                outcome_.composite_whole_rows = composed->WholeRows();
                return true;
            }
            if (!layout.composite)
                return true;
            outcome_.notes.push_back("the merged picture is said to be blank, and no layer can stand in for it");
        }
        return WriteMergedData();
    }

    bool WriteMergedData() {
        const DocumentLayout& layout = outcome_.layout;
        composite_ = ChannelBlockReader::Open(source_, *layout.composite);
        AddNotes("composite", composite_->Notes());
        const uint16_t colour = ColorChannelCount(layout.header);
        const bool alpha = layout.merged_alpha && layout.header.channels > colour;
        std::vector<ChannelFeed> feeds;
        for (uint32_t c = 0; c < colour + (alpha ? 1u : 0u); ++c)
            feeds.push_back({composite_.get(), c, static_cast<int32_t>(c), nullptr, 0});

        LayerReaders covering;
        const Layer* layer = composite_->Lost().empty() ? nullptr : CoveringLayer();
        if (layer != nullptr) {
            covering = OpenLayer(source_, *layer, colour);
            if (OpaqueWhereLost(covering, composite_->Lost())) {
                for (uint32_t c = 0; c < colour; ++c) {
                    feeds[c].fallback = covering.picture[c].reader;
                    feeds[c].fallback_channel = covering.picture[c].channel;
                }
            }
        }
        std::vector<std::string> notes;
        std::string problem;
        std::unique_ptr<AssembledRows> rows =
            AssembledRows::Create(feeds, DocumentAssembly(layout, profile_, layout.header.width, alpha),
                                  layout.header.height, &notes, &problem);
        AddDocumentNotes(notes);
        if (!rows) {
            Stop(SalvageStatus::WriteFailed, "composite.png: " + problem);
            return false;
        }
        if (rows->NothingComesBack()) {
            outcome_.notes.push_back("composite: not one row came back; no picture written");
            outcome_.composite_lost = rows->Everything();
            return true;
        }
        if (!Write("", "composite.png", *rows, &outcome_.composite_file))
            return false;
        outcome_.composite_lost = rows->Lost();
        outcome_.composite_whole_rows = rows->WholeRows();
        if (rows->FallbackRows() > 0)
            outcome_.notes.push_back("composite: " + std::to_string(rows->FallbackRows()) +
                                     " channel rows taken from the layer \"" + layer->name +
                                     "\", which alone covers the canvas");
        return true;
    }

    bool WriteLayers() {
        const DocumentLayout& layout = outcome_.layout;
        size_t number = 0;
        for (size_t i = 0; i < layout.layers.size(); ++i) {
            const Layer& layer = layout.layers[i];
            if (!HasPixels(layer))
                continue;
            const std::string name = Numbered(++number, 3);
            LayerOutcome written;
            written.layer = i;
            LayerReaders readers = OpenLayer(source_, layer, ColorChannelCount(layout.header));
            for (const auto& reader : readers.readers)
                AddNotes("layer " + name, reader->Notes());
            std::vector<std::string> notes;
            std::string problem;
            std::unique_ptr<AssembledRows> rows = AssembledRows::Create(
                readers.picture,
                DocumentAssembly(layout, profile_, static_cast<uint32_t>(layer.right - layer.left),
                                 readers.has_transparency),
                static_cast<uint32_t>(layer.bottom - layer.top), &notes, &problem);
            AddDocumentNotes(notes);
            if (!rows) {
                Stop(SalvageStatus::WriteFailed, name + ".png: " + problem);
                return false;
            }
            if (rows->NothingComesBack()) {
                // A record's bounds can claim a picture of any size: nothing is written where nothing came back.
                outcome_.notes.push_back("layer " + name + ": not one row came back; no picture written");
                written.lost = rows->Everything();
                outcome_.layers.push_back(std::move(written));
                continue;
            }
            if (!Write("layers", name + ".png", *rows, &written.file))
                return false;
            written.lost = rows->Lost();
            if (readers.mask != nullptr && !WriteMask(readers, name, &written))
                return false;
            outcome_.layers.push_back(std::move(written));
        }
        return true;
    }

    bool WriteMask(const LayerReaders& readers, const std::string& name, LayerOutcome* written) {
        const ChannelBlock& block = readers.mask_channel->block;
        if (block.width == 0 || block.rows == 0)
            return true;
        if (!WriteGray({readers.mask, 0, kLayerUserMask, nullptr, 0}, block, "layers", name + "-mask.png",
                       &written->mask_file, &written->lost))
            return false;
        return true;
    }

    // One channel as a gray picture: a mask or an extra channel.
    bool WriteGray(const ChannelFeed& feed,
                   const ChannelBlock& block,
                   const std::string& subfolder,
                   const std::string& name,
                   std::string* path,
                   std::vector<ReportedLoss>* lost) {
        AssemblyInput input;
        input.header.mode = ColorMode::Grayscale;
        input.header.channels = 1;
        input.header.width = block.width;
        input.header.height = block.rows;
        input.header.depth = block.depth;
        std::vector<std::string> notes;
        std::string problem;
        std::unique_ptr<AssembledRows> rows = AssembledRows::Create({feed}, input, block.rows, &notes, &problem);
        AddDocumentNotes(notes);
        if (!rows) {
            Stop(SalvageStatus::WriteFailed, name + ": " + problem);
            return false;
        }
        if (rows->NothingComesBack()) {
            outcome_.notes.push_back(name + ": not one row came back; no picture written");
            const std::vector<ReportedLoss> everything = rows->Everything();
            lost->insert(lost->end(), everything.begin(), everything.end());
            return true;
        }
        if (!Write(subfolder, name, *rows, path))
            return false;
        const std::vector<ReportedLoss> gone = rows->Lost();
        lost->insert(lost->end(), gone.begin(), gone.end());
        return true;
    }

    void WriteChannels() {
        const DocumentLayout& layout = outcome_.layout;
        if (!layout.composite)
            return;
        const uint16_t colour = ColorChannelCount(layout.header);
        const uint32_t first = colour + (layout.merged_alpha ? 1u : 0u);
        if (!composite_)
            composite_ = ChannelBlockReader::Open(source_, *layout.composite);
        for (uint32_t c = first; c < layout.composite->channels; ++c) {
            std::string path;
            if (!WriteGray({composite_.get(), c, static_cast<int32_t>(c), nullptr, 0}, *layout.composite, "channels",
                           Numbered(c, 2) + ".png", &path, &outcome_.composite_lost))
                return;
            if (!path.empty())
                outcome_.channel_files.push_back(path);
        }
    }

    ByteSource& source_;
    OutputFolder folder_;
    FileSystem& files_;
    SalvageOutcome outcome_;
    std::vector<uint8_t> profile_;
    std::unique_ptr<ChannelBlockReader> composite_;
};

}  // namespace

SalvageOutcome SalvageDocument(ByteSource& source, FileSystem& files, const std::string& folder, char separator) {
    return DocumentSalvage(source, files, folder, separator).Run();
}
