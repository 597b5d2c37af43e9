#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "salvage/byte_source.h"

// One zlib stream of a block, read from the source in pieces and inflated as far as it is asked, always saying how
// far it got (zlib keeps everything produced before a fault; so do we).
class ZipInflater {
  public:
    enum class Status {
        Full,        // the output asked for is there
        Boundary,    // stopped where a deflate block begins (when asked to)
        End,         // the stream's end, its checksum matching
        Fault,       // the data is damaged; Message() says how
        InputEnded,  // the block's bytes (or the file) ended first
    };

    ZipInflater() = default;
    ~ZipInflater();
    ZipInflater(const ZipInflater&) = delete;
    ZipInflater& operator=(const ZipInflater&) = delete;

    // Reads the stream from `offset`, nothing at or past `end`, through an input buffer of `buffer_bytes`.
    bool Start(ByteSource& source, uint64_t offset, uint64_t end, size_t buffer_bytes);
    // A copy of `other` as it stands, reading on where it would, through a buffer of its own.
    bool CopyFrom(const ZipInflater& other, size_t buffer_bytes);

    // Inflates into out[0..size); `*made` says how much came. With `at_blocks` it also stops where a block begins.
    Status Inflate(uint8_t* out, size_t size, bool at_blocks, size_t* made);
    // Bytes produced since the stream's start.
    uint64_t Produced() const { return produced_; }
    const char* Message() const { return stream_.msg != nullptr ? stream_.msg : "damaged data"; }

  private:
    z_stream stream_{};
    bool started_ = false;
    ByteSource* source_ = nullptr;
    uint64_t next_read_ = 0;  // the source offset of the first byte not yet in the buffer
    uint64_t end_ = 0;
    uint64_t produced_ = 0;
    std::vector<uint8_t> input_;
};
