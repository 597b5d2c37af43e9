#include "installer/sfx_writer.h"

#include <cstdio>
#include <utility>

namespace {}  // namespace

SfxWriter::SfxWriter(std::string out_path) : out_path_(std::move(out_path)) {}

SfxWriter::~SfxWriter() {
    RemoveUnfinished();
}

void SfxWriter::RemoveUnfinished() {
    out_.reset();
    if (created_)
        std::remove(temporary_path_.c_str());
    created_ = false;
}

SfxResult SfxWriter::Fail(SfxResult result, const std::string& path) {
    failure_ = result;
    failed_path_ = path;
    RemoveUnfinished();
    return result;
}

SfxResult SfxWriter::Refuse(const char* reason, const std::string& name) {
    refusal_ = reason;
    return Fail(SfxResult::BadDirectory, name);
}

SfxResult SfxWriter::Begin() {
    if (failure_ != SfxResult::Ok)
        return failure_;
    if (created_ || finished_)
        return Fail(SfxResult::CreateFailed, out_path_);
    out_ = CreateSfxOutputBeside(out_path_, &temporary_path_, &reason_);
    created_ = out_ != nullptr;
    return created_ ? SfxResult::Ok : Fail(SfxResult::CreateFailed, out_path_);
}

SfxResult SfxWriter::BeginWithStubFile(const std::string& stub_path) {
    const SfxResult begun = Begin();
    if (begun != SfxResult::Ok)
        return begun;
    SfxFile stub = OpenSfxSource(stub_path, &reason_);
    uint64_t size = 0;
    if (!stub)
        return Fail(SfxResult::OpenFailed, stub_path);
    if (!FileSizeBySeeking(stub.get(), &size) || !SeekFile(stub.get(), 0))
        return Fail(SfxResult::ReadFailed, stub_path);
    const SfxResult copied = CopySfxBytes(stub.get(), out_.get(), size);
    if (copied != SfxResult::Ok)
        return Fail(copied, copied == SfxResult::WriteFailed ? out_path_ : stub_path);
    position_ = size;
    return SfxResult::Ok;
}

SfxResult SfxWriter::BeginWithStub(std::string_view image) {
    const SfxResult begun = Begin();
    if (begun != SfxResult::Ok)
        return begun;
    if (std::fwrite(image.data(), 1, image.size(), out_.get()) != image.size())
        return Fail(SfxResult::WriteFailed, out_path_);
    position_ = image.size();
    return SfxResult::Ok;
}

SfxResult SfxWriter::CheckEntry(const std::string& name, uint64_t size) {
    if (failure_ != SfxResult::Ok)
        return failure_;
    if (!out_)
        return Fail(SfxResult::CreateFailed, out_path_);
    if (const char* reason = SfxNameRefusal(name))
        return Refuse(reason, name);
    if (entries_.size() >= kSfxMaxEntries)
        return Refuse("more than 256 files; an archive holds at most 256", name);
    for (const SfxEntry& entry : entries_) {
        if (SameSfxName(entry.name, name))
            return Refuse("name already stored", name);
    }
    if (size >= kSfxPositionLimit)
        return Refuse("file of 2 GiB or more; an archive stores each file below 2 GiB (2147483648 bytes)", name);
    if (position_ >= kSfxPositionLimit)
        return Refuse("the stub and the files before it fill 2 GiB; an archive stores files only below 2 GiB", name);
    return SfxResult::Ok;
}

SfxResult SfxWriter::AddFile(const std::string& name, const std::string& path) {
    if (failure_ != SfxResult::Ok)
        return failure_;
    SfxFile file = OpenSfxSource(path, &reason_);
    uint64_t size = 0;
    if (!file)
        return Fail(SfxResult::OpenFailed, path);
    if (!FileSizeBySeeking(file.get(), &size) || !SeekFile(file.get(), 0))
        return Fail(SfxResult::ReadFailed, path);
    const SfxResult checked = CheckEntry(name, size);
    if (checked != SfxResult::Ok)
        return checked;
    const SfxResult copied = CopySfxBytes(file.get(), out_.get(), size);
    if (copied != SfxResult::Ok)
        return Fail(copied, copied == SfxResult::WriteFailed ? out_path_ : path);
    entries_.push_back({name, static_cast<uint32_t>(size), static_cast<uint32_t>(position_)});
    position_ += size;
    return SfxResult::Ok;
}

SfxResult SfxWriter::AddBytes(const std::string& name, std::string_view bytes) {
    const SfxResult checked = CheckEntry(name, bytes.size());
    if (checked != SfxResult::Ok)
        return checked;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out_.get()) != bytes.size())
        return Fail(SfxResult::WriteFailed, out_path_);
    entries_.push_back({name, static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(position_)});
    position_ += bytes.size();
    return SfxResult::Ok;
}

SfxResult SfxWriter::Finish() {
    if (failure_ != SfxResult::Ok)
        return failure_;
    if (!out_)
        return Fail(SfxResult::CreateFailed, out_path_);
    const std::vector<uint8_t> directory = EncodeSfxDirectory(entries_);
    if (std::fwrite(directory.data(), 1, directory.size(), out_.get()) != directory.size() ||
        !FlushToDisk(out_.get(), &reason_) || !CloseSfxOutput(std::move(out_)))
        return Fail(SfxResult::WriteFailed, out_path_);
    if (!ReplaceByRename(temporary_path_, out_path_, &reason_))
        return Fail(SfxResult::CreateFailed, out_path_);
    created_ = false;
    finished_ = true;
    return SfxResult::Ok;
}
