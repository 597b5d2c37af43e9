#include "salvage/zip_inflater.h"

#include <algorithm>

ZipInflater::~ZipInflater() {
    if (started_)
        inflateEnd(&stream_);
}

bool ZipInflater::Start(ByteSource& source, uint64_t offset, uint64_t end, size_t buffer_bytes) {
    if (inflateInit(&stream_) != Z_OK)
        return false;
    started_ = true;
    source_ = &source;
    next_read_ = offset;
    end_ = std::min(end, source.Size());
    input_.resize(buffer_bytes);
    return true;
}

bool ZipInflater::CopyFrom(const ZipInflater& other, size_t buffer_bytes) {
    if (inflateCopy(&stream_, const_cast<z_stream*>(&other.stream_)) != Z_OK)
        return false;
    started_ = true;
    source_ = other.source_;
    // What zlib has not taken from the other's buffer is read again into ours.
    next_read_ = other.next_read_ - other.stream_.avail_in;
    end_ = other.end_;
    produced_ = other.produced_;
    input_.resize(buffer_bytes);
    stream_.next_in = input_.data();
    stream_.avail_in = 0;
    return true;
}

ZipInflater::Status ZipInflater::Inflate(uint8_t* out, size_t size, bool at_blocks, size_t* made) {
    *made = 0;
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(size);
    while (stream_.avail_out > 0) {
        // With no input left zlib may still hold bits and pending output: it is asked once more before the input
        // counts as ended.
        bool input_ended = false;
        if (stream_.avail_in == 0) {
            const size_t want =
                static_cast<size_t>(std::min<uint64_t>(input_.size(), end_ - std::min(end_, next_read_)));
            const size_t got = want == 0 ? 0 : source_->ReadAt(next_read_, input_.data(), want);
            next_read_ += got;
            stream_.next_in = input_.data();
            stream_.avail_in = static_cast<uInt>(got);
            input_ended = got == 0;
        }
        const uInt before = stream_.avail_out;
        const uInt input_before = stream_.avail_in;
        const int result = inflate(&stream_, at_blocks ? Z_BLOCK : Z_NO_FLUSH);
        const size_t step = before - stream_.avail_out;
        *made += step;
        produced_ += step;
        if (result == Z_STREAM_END)
            return Status::End;
        if (result != Z_OK && result != Z_BUF_ERROR)
            return Status::Fault;
        if (at_blocks && (stream_.data_type & 128) != 0)
            return Status::Boundary;
        if (step == 0 && stream_.avail_in == input_before)
            return input_ended ? Status::InputEnded : Status::Fault;
    }
    return Status::Full;
}
