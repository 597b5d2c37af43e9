#include "tests/support/literal_carver.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "recovery/image_carver.h"

namespace {

constexpr size_t kBlock = 1024;

enum class Kind { Jpeg, Png };

bool Equals(const uint8_t* bytes, const uint8_t (&pattern)[5]) {
    for (int j = 0; j < 5; ++j) {
        if (bytes[j] != pattern[j])
            return false;
    }
    return true;
}

// The start signature test at offset i; a signature running past the block is completed from the source.
std::optional<Kind> StartAt(const uint8_t* block, size_t n, size_t i, LiteralSource& source, uint64_t block_end) {
    static const uint8_t kJpeg[5] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
    static const uint8_t kPng[5] = {0x89, 0x50, 0x4E, 0x47, 0x0D};
    uint8_t bytes[5];
    size_t have = 0;
    for (; have < 5 && i + have < n; ++have)
        bytes[have] = block[i + have];
    if (have < 5 && source.Peek(block_end, bytes + have, 5 - have) != 5 - have)
        return std::nullopt;
    if (Equals(bytes, kJpeg))
        return Kind::Jpeg;
    if (Equals(bytes, kPng))
        return Kind::Png;
    return std::nullopt;
}

bool MarkAt(const uint8_t* block, size_t p) {
    return (block[p] == 0x00 && block[p + 1] == 0x38) || (block[p] == 0x38 && block[p + 1] == 0x42);
}

// Offset of the stream's last byte in the copy block, which for PNG may lie past it.
std::optional<size_t> EndIn(Kind kind, const uint8_t* block, size_t m) {
    if (kind == Kind::Jpeg) {
        for (size_t k = 0; k + 1 < m; ++k) {
            if (block[k] != 0xFF || block[k + 1] != 0xD9)
                continue;
            bool marked = false;
            for (size_t p = 2; p <= k + 2 && p + 2 <= m; ++p)
                marked = marked || MarkAt(block, p);
            if (!marked)
                return k + 1;
        }
        return std::nullopt;
    }
    for (size_t k = 0; k + 3 < m; ++k) {
        if (block[k] == 'I' && block[k + 1] == 'E' && block[k + 2] == 'N' && block[k + 3] == 'D')
            return k + 7;
    }
    return std::nullopt;
}

class Carving {
  public:
    Carving(LiteralSource& source,
            FileSystem& output,
            Platform& platform,
            const std::string& folder,
            LanguageId language)
        : source_(source), output_(output), platform_(platform), folder_(folder), language_(language) {}

    CarveResult Run() {
        uint8_t head[8];
        static const uint8_t kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        const size_t got = source_.Read(head, 8);
        bool compound = got == 8;
        for (size_t j = 0; j < got; ++j)
            compound = compound && head[j] == kCompound[j];
        if (compound) {
            result_.compoundFile = true;
            return result_;
        }
        source_.Reopen();
        for (;;) {
            const size_t n = source_.Read(scan_, kBlock);
            const uint64_t block_end = source_.Position();
            bool restarted = false;
            for (size_t i = 0; i < n && !restarted; ++i) {
                const std::optional<Kind> kind = StartAt(scan_, n, i, source_, block_end);
                if (!kind)
                    continue;
                const std::optional<bool> ended = Image(*kind, i, n);
                if (!ended)
                    return result_;
                restarted = *ended;
            }
            if (!restarted && source_.AtEnd())
                break;
        }
        if (source_.Failed())
            Fail();
        return result_;
    }

  private:
    // True when the image's end was found; false when the source ended inside it; nullopt when the carve stops.
    std::optional<bool> Image(Kind kind, size_t i, size_t n) {
        if (result_.imageFolder.empty()) {
            output_.MakeDirectory(folder_);
            result_.imageFolder = folder_;
        }
        const int count = kind == Kind::Jpeg ? ++jpegs_ : ++pngs_;
        const std::string name =
            folder_ + platform_.PathSeparator() + std::to_string(count) + (kind == Kind::Jpeg ? ".jpg" : ".gif");
        std::unique_ptr<OutputFile> file;
        const CreateOutcome outcome = output_.CreateNew(name, &file);
        if (outcome == CreateOutcome::Taken) {
            ShowLocalizedMessage(platform_, MsgImagesFolderExists, language_);
            result_.aborted = true;
            return std::nullopt;
        }
        if (outcome == CreateOutcome::Failed) {
            Fail();
            return std::nullopt;
        }
        ++result_.imageCount;
        bool written = file->Write(scan_ + i, n - i);
        bool ended = false;
        while (written && !source_.AtEnd() && !ended) {
            const size_t m = source_.Read(copy_, kBlock);
            const uint64_t after = source_.Position();
            const std::optional<size_t> e = EndIn(kind, copy_, m);
            if (!e) {
                written = file->Write(copy_, m);
                continue;
            }
            ended = true;
            if (*e < m) {
                written = file->Write(copy_, *e + 1);
                source_.Seek(after - m + *e + 1);
            } else {
                uint8_t checksum[4];
                const size_t rest = source_.Read(checksum, *e + 1 - m);
                written = file->Write(copy_, m) && file->Write(checksum, rest);
            }
        }
        // A read error inside the image ends the carve there, like a failed write.
        if (!file->Close() || !written || (!ended && source_.Failed())) {
            Fail();
            return std::nullopt;
        }
        return ended;
    }

    void Fail() {
        ShowLocalizedMessage(platform_, MsgWriteError, language_);
        result_.failed = true;
    }

    LiteralSource& source_;
    FileSystem& output_;
    Platform& platform_;
    const std::string& folder_;
    LanguageId language_;
    CarveResult result_;
    int jpegs_ = 0;
    int pngs_ = 0;
    uint8_t scan_[kBlock];
    uint8_t copy_[kBlock];
};

}  // namespace

CarveResult LiteralCarve(LiteralSource& source,
                         FileSystem& output,
                         Platform& platform,
                         const std::string& folder,
                         LanguageId language) {
    return Carving(source, output, platform, folder, language).Run();
}

MemoryLiteralSource::MemoryLiteralSource(const std::vector<uint8_t>& bytes, std::optional<uint64_t> error_at)
    : bytes_(bytes),
      end_(std::min<uint64_t>(bytes.size(), error_at.value_or(bytes.size()))),
      error_possible_(error_at.has_value() && *error_at < bytes.size()) {}

void MemoryLiteralSource::Reopen() {
    position_ = 0;
    eof_ = false;
    failed_ = false;
}

size_t MemoryLiteralSource::Read(uint8_t* buffer, size_t size) {
    size_t got = 0;
    for (; got < size && position_ < end_; ++got)
        buffer[got] = bytes_[position_++];
    if (got < size)
        (error_possible_ ? failed_ : eof_) = true;
    return got;
}

void MemoryLiteralSource::Seek(uint64_t position) {
    position_ = position;
    eof_ = false;
}

size_t MemoryLiteralSource::Peek(uint64_t position, uint8_t* buffer, size_t size) {
    const MemoryLiteralSource saved = *this;
    Seek(position);
    const size_t got = Read(buffer, size);
    position_ = saved.position_;
    eof_ = saved.eof_;
    failed_ = saved.failed_;
    return got;
}

FileLiteralSource::FileLiteralSource(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "rb")) {}

FileLiteralSource::~FileLiteralSource() {
    if (file_ != nullptr)
        std::fclose(file_);
}

void FileLiteralSource::Reopen() {
    std::fclose(file_);
    file_ = std::fopen(path_.c_str(), "rb");
}

size_t FileLiteralSource::Read(uint8_t* buffer, size_t size) {
    return std::fread(buffer, 1, size, file_);
}

uint64_t FileLiteralSource::Position() const {
    return static_cast<uint64_t>(ftello(file_));
}

void FileLiteralSource::Seek(uint64_t position) {
    fseeko(file_, static_cast<off_t>(position), SEEK_SET);
}

size_t FileLiteralSource::Peek(uint64_t position, uint8_t* buffer, size_t size) {
    const uint64_t saved = Position();
    const bool at_end = std::feof(file_) != 0;
    Seek(position);
    const size_t got = Read(buffer, size);
    Seek(saved);
    if (at_end)
        std::fgetc(file_);  // puts the end-of-file flag back
    return got;
}

bool FileLiteralSource::AtEnd() const {
    return std::feof(file_) != 0 || std::ferror(file_) != 0;
}

bool FileLiteralSource::Failed() const {
    return std::ferror(file_) != 0;
}
