#include "recovery/image_carver.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>

#include "recovery/source_window.h"
#include "recovery/stream_end.h"

const SixLanguageText MsgImagesFolderExists = {{
    "",
    "Images directory already exists!! Process aborted for recovery of images.. Set the path for recovered images "
    "directory in settings as described in help!",
    "Le images dossier existe déjà!!  Le processus s'est interrompu pour le rétablissement des images.  Placez le "
    "chemin pour le fichier récupéré d'images dans les configuration comme décrit dans l'aide!",
    "Build Akte besteht bereits!!  Prozeß unterbrochen für Wiederaufnahme von Bildern..  Stellen Sie den Weg für "
    "zurückgewonnenes Bildverzeichnis in den Einstellungen ein, wie in der Hilfe beschrieben!",
    "La immagine. lima già esiste!!  Processo interrotto per il recupero delle immagini..  Regoli il percorso per "
    "l'indice recuperato di immagini nelle regolazioni come descritte nell'aiuto!",
    "¡El imagen archivo existe ya!!  El proceso interrumpió para la recuperación de imágenes..  ¡Fije la "
    "trayectoria para el directorio recuperado de las imágenes en ajustes según lo descrito en ayuda!",
    "Fisierul imagine exista deja!!  Proces abandonat pentru recuperarea imaginilor! Faceti setarea in Setari "
    "pentru modificarea dosarului destinatie!",
}};

namespace {

// One image file being written; counts the bytes it was given.
class ImageFile {
  public:
    ImageFile(std::unique_ptr<OutputFile> file, std::string path, ImageKind kind, uint64_t offset)
        : file_(std::move(file)), path_(std::move(path)), kind_(kind), offset_(offset) {}

    bool Write(const uint8_t* data, size_t size) {
        size_ += size;
        return file_->Write(data, size);
    }
    bool Close() { return file_->Close(); }
    const std::string& path() const { return path_; }
    ImageKind kind() const { return kind_; }
    uint64_t offset() const { return offset_; }
    uint64_t size() const { return size_; }

  private:
    std::unique_ptr<OutputFile> file_;
    std::string path_;
    ImageKind kind_;
    uint64_t offset_;
    uint64_t size_ = 0;
};

struct StreamStart {
    uint64_t offset;
    ImageKind kind;
};

// The rest of the scan block in which an image starts, from the image's first byte on, with the few source bytes
// after it that a straddling start signature may need. Kept aside because, should the source end inside the image,
// scanning goes on in this block.
struct LastScanBlock {
    std::array<uint8_t, kCarveBlockSize + kStartSignatureSize - 1> bytes;
    uint64_t offset = 0;    // source offset of bytes[0], the image's first byte
    size_t block_size = 0;  // bytes of the block itself, from bytes[0] on
    size_t size = 0;        // with the bytes after it
};

// ReadFailed: the source gave a read error where the carve needed its next bytes; the carve ends there.
enum class Flow { Continue, SourceEnded, ReadFailed, Stopped };

// The kind of stream whose start signature the five bytes at `bytes` are, if any.
std::optional<ImageKind> StartSignatureAt(const uint8_t* bytes) {
    const bool jpeg = bytes[0] == kJpegStart[0];
    const auto& signature = jpeg ? kJpegStart : kPngStart;
    if (std::memcmp(bytes, signature.data(), kStartSignatureSize) != 0)
        return std::nullopt;
    return jpeg ? ImageKind::Jpeg : ImageKind::PngSigned;
}

class CarveSession {
  public:
    CarveSession(FileSystem& files,
                 Platform& platform,
                 CarveObserver* observer,
                 const CandidateFilter& filter,
                 const std::string& folder,
                 LanguageId language)
        : files_(files),
          platform_(platform),
          observer_(observer),
          filter_(filter),
          folder_(folder),
          language_(language) {}

    CarveResult Run(const std::string& source_path);

  private:
    bool IsCompoundFile();
    std::optional<StreamStart> FindStart(uint64_t from);
    Flow CarveImage(const StreamStart& start, uint64_t run_start, uint64_t* resume);
    Flow CopyToEnd(ImageKind kind, uint64_t from, ImageFile& image, uint64_t* resume);
    Flow ScanRestOfBlock(const LastScanBlock& block, uint64_t from);
    std::unique_ptr<ImageFile> OpenImage(ImageKind kind, uint64_t offset);
    bool Finish(ImageFile& image, bool written, ImageEnd end);
    void ShowWriteError(const std::string& path, const std::string& reason);

    FileSystem& files_;
    Platform& platform_;
    CarveObserver* observer_;
    const CandidateFilter& filter_;
    const std::string& folder_;
    LanguageId language_;
    CarveResult result_;
    std::array<int32_t, 2> counters_ = {0, 0};
    std::unique_ptr<InputFile> source_;
    std::optional<SourceWindow> window_;
    std::string source_path_;
    std::string folder_problem_;  // why the output folder cannot take pictures; empty when it can
};

CarveResult CarveSession::Run(const std::string& source_path) {
    source_path_ = source_path;
    source_ = files_.OpenRead(source_path);
    if (!source_) {
        ShowWriteError(source_path, files_.LastError());
        return result_;
    }
    window_.emplace(*source_, [this](uint64_t read) {
        if (observer_ != nullptr)
            observer_->OnSourceRead(read);
    });
    if (IsCompoundFile()) {
        result_.compoundFile = true;
        return result_;
    }
    uint64_t run_start = 0;
    for (uint64_t next = 0;;) {
        const std::optional<StreamStart> start = FindStart(next);
        if (!start)
            break;
        const Flow flow = CarveImage(*start, run_start, &next);
        if (flow == Flow::Stopped)
            return result_;
        if (flow == Flow::SourceEnded)
            break;
        run_start = next;
    }
    result_.bytesScanned = window_->End();
    // A failing disk ends the scan like the end of the source, but must not pass for a clean result.
    if (window_->ReadFailed())
        ShowWriteError(source_path, files_.LastError());
    return result_;
}

bool CarveSession::IsCompoundFile() {
    return window_->Ensure(0, kCompoundFileSignature.size()) == kCompoundFileSignature.size() &&
           std::memcmp(window_->At(0), kCompoundFileSignature.data(), kCompoundFileSignature.size()) == 0;
}

// Block boundaries do not hide a start signature: one that begins in a block and runs into the next is found too.
std::optional<StreamStart> CarveSession::FindStart(uint64_t from) {
    constexpr size_t kPairSize = 2;
    for (uint64_t at = from;;) {
        if (window_->Ensure(at, kStartSignatureSize) < kPairSize)
            return std::nullopt;
        at += filter_.FindPair(window_->At(at), static_cast<size_t>(window_->End() - at), kStartPairs);
        // The last resident byte may begin a pair whose second byte is still to be read.
        if (at + 1 >= window_->End()) {
            at = window_->End() - 1;
            continue;
        }
        if (window_->Ensure(at, kStartSignatureSize) == kStartSignatureSize) {
            const std::optional<ImageKind> kind = StartSignatureAt(window_->At(at));
            if (kind) {
                result_.bytesScanned = at;
                return StreamStart{at, *kind};
            }
        }
        ++at;
    }
}

// Scan blocks follow each other from `run_start`, where scanning last restarted, so the block holding the start is
// found by arithmetic. Its rest is the image's first piece, written without looking for an end.
Flow CarveSession::CarveImage(const StreamStart& start, uint64_t run_start, uint64_t* resume) {
    const uint64_t block_offset = run_start + (start.offset - run_start) / kCarveBlockSize * kCarveBlockSize;
    const auto rest = static_cast<size_t>(block_offset + kCarveBlockSize - start.offset);
    std::unique_ptr<ImageFile> image = OpenImage(start.kind, start.offset);
    if (!image)
        return Flow::Stopped;

    LastScanBlock block;
    block.offset = start.offset;
    block.size = window_->Ensure(start.offset, rest + kStartSignatureSize - 1);
    block.block_size = std::min(rest, block.size);
    std::memcpy(block.bytes.data(), window_->At(start.offset), block.size);
    if (!image->Write(block.bytes.data(), block.block_size)) {
        Finish(*image, false, ImageEnd::Failed);
        return Flow::Stopped;
    }
    result_.bytesScanned = start.offset + block.block_size;

    const Flow flow = CopyToEnd(start.kind, start.offset + block.block_size, *image, resume);
    // The picture is cut short where the source failed; nothing after the bad spot is looked at.
    if (flow == Flow::ReadFailed) {
        Finish(*image, true, ImageEnd::Failed);
        return Flow::Stopped;
    }
    if (flow != Flow::SourceEnded)
        return flow;
    if (!Finish(*image, true, ImageEnd::SourceEnd))
        return Flow::Stopped;
    return ScanRestOfBlock(block, start.offset + 1);
}

Flow CarveSession::CopyToEnd(ImageKind kind, uint64_t from, ImageFile& image, uint64_t* resume) {
    for (uint64_t at = from;;) {
        const size_t size = window_->Ensure(at, kCarveBlockSize);
        if (size == 0)
            return window_->ReadFailed() ? Flow::ReadFailed : Flow::SourceEnded;
        const std::optional<size_t> last = FindStreamEnd(filter_, kind, window_->At(at), size);
        // A PNG-signed stream's checksum may run past the block; it is completed from the source as far as it goes.
        const size_t length = last ? window_->Ensure(at, *last + 1) : size;
        if (!image.Write(window_->At(at), length)) {
            Finish(image, false, ImageEnd::Failed);
            return Flow::Stopped;
        }
        at += length;
        result_.bytesScanned = at;
        if (last) {
            *resume = at;
            return Finish(image, true, ImageEnd::Marker) ? Flow::Continue : Flow::Stopped;
        }
    }
}

// The source ended inside an image: the starts that follow it in its scan block still get a file each, holding the
// rest of that block, since the source has no more bytes to copy.
Flow CarveSession::ScanRestOfBlock(const LastScanBlock& block, uint64_t from) {
    for (auto i = static_cast<size_t>(from - block.offset); i < block.block_size; ++i) {
        if (i + kStartSignatureSize > block.size)
            break;
        const uint8_t* bytes = block.bytes.data() + i;
        const std::optional<ImageKind> kind = StartSignatureAt(bytes);
        if (!kind)
            continue;
        std::unique_ptr<ImageFile> image = OpenImage(*kind, block.offset + i);
        if (!image || !Finish(*image, image->Write(bytes, block.block_size - i), ImageEnd::SourceEnd))
            return Flow::Stopped;
    }
    return Flow::SourceEnded;
}

std::unique_ptr<ImageFile> CarveSession::OpenImage(ImageKind kind, uint64_t offset) {
    if (result_.imageFolder.empty()) {
        // Made once, at the first image; an existing folder is fine, but not a link standing in for one, which
        // would send the pictures somewhere else than the folder announced.
        const bool made = files_.MakeDirectory(folder_);
        if (!made && !files_.IsRealFolder(folder_))
            folder_problem_ =
                files_.Exists(folder_) ? "is a symbolic link or a file, not a folder" : files_.LastError();
        result_.imageFolder = folder_;
    }
    const bool jpeg = kind == ImageKind::Jpeg;
    int32_t& counter = counters_[jpeg ? 0 : 1];
    ++counter;
    const std::string path = folder_ + platform_.PathSeparator() + std::to_string(counter) + (jpeg ? ".jpg" : ".gif");
    if (!folder_problem_.empty()) {
        ShowWriteError(folder_, folder_problem_);
        return nullptr;
    }
    // Checking for the name and creating the file are one step, so nothing that appears in between is overwritten.
    std::unique_ptr<OutputFile> file;
    const CreateOutcome outcome = files_.CreateNew(path, &file);
    if (outcome == CreateOutcome::Taken) {
        ShowLocalizedMessage(platform_, MsgImagesFolderExists, language_);
        result_.aborted = true;
        return nullptr;
    }
    if (outcome == CreateOutcome::Failed) {
        ShowWriteError(path, files_.LastError());
        return nullptr;
    }
    ++result_.imageCount;
    return std::make_unique<ImageFile>(std::move(file), path, kind, offset);
}

// Closes the image; a failed write or close, or a source that failed inside the image (`end` Failed), ends the
// carve with the write-error message. The partial file stays.
bool CarveSession::Finish(ImageFile& image, bool written, ImageEnd end) {
    const bool saved = image.Close() && written;
    const std::string reason = files_.LastError();
    if (observer_ != nullptr) {
        // After a failed write not every byte counted need have reached the disk: the listing tells what is there.
        const uint64_t size = saved ? image.size() : files_.SizeOf(image.path()).value_or(0);
        observer_->OnImageWritten({image.path(), image.kind(), image.offset(), size, saved ? end : ImageEnd::Failed});
    }
    if (!saved || end == ImageEnd::Failed) {
        ShowWriteError(saved ? source_path_ : image.path(), reason);
        return false;
    }
    return true;
}
void CarveSession::ShowWriteError(const std::string& path, const std::string& reason) {
    ShowLocalizedMessage(platform_, MsgWriteError, language_);
    result_.failed = true;
    if (observer_ != nullptr)
        observer_->OnFileError(path, reason);
}

}  // namespace

ImageCarver::ImageCarver(FileSystem& files, Platform& platform, CarveObserver* observer, FilterPath path)
    : files_(files), platform_(platform), observer_(observer), filter_(path) {}

CarveResult ImageCarver::Carve(const std::string& source_path, const std::string& output_folder, LanguageId language) {
    CarveSession session(files_, platform_, observer_, filter_, output_folder, language);
    return session.Run(source_path);
}
