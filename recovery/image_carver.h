#pragma once

#include <cstdint>
#include <string>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "languages/language.h"
#include "recovery/candidate_filter.h"
#include "recovery/carve_result.h"
#include "recovery/image_signatures.h"

// How a picture file came to its end.
enum class ImageEnd {
    Marker,     // its end marker was found
    SourceEnd,  // the source ended inside it
    Failed,     // a failed write or close, or a read error in the source, may have cut it short
};

// A picture file, once closed.
struct CarvedImage {
    std::string path;
    ImageKind kind;
    uint64_t offset;  // of its first byte in the source
    uint64_t size;    // what lies on the disk
    ImageEnd end;
};

// Told what a carve is doing; the window program has no use for it, the command line shows progress, a listing and
// a report.
class CarveObserver {
  public:
    virtual ~CarveObserver() = default;
    virtual void OnSourceRead(uint64_t bytes_read) = 0;
    virtual void OnImageWritten(const CarvedImage& image) = 0;
    // Said right after the write-error message: the file it concerns and why, in the system's words.
    virtual void OnFileError(const std::string& path, const std::string& reason) = 0;
};

// Copies every JPEG and PNG-signed stream of a source into numbered files (1.jpg, 2.jpg, 1.gif ...) of one output
// folder. The source is only ever read, and nothing is written outside the output folder.
//
// The source is examined in logical 1024-byte blocks, which decide where an image's first piece ends and where end
// markers may be found; the blocks are tracked as offsets inside large reads, and the candidate filter skips the
// bytes that cannot begin a signature or marker, so the scan runs at memory speed.
class ImageCarver {
  public:
    ImageCarver(FileSystem& files,
                Platform& platform,
                CarveObserver* observer = nullptr,
                FilterPath path = CandidateFilter::Fastest());

    // `output_folder` has no trailing separator. Shows at most one message box, in `language`.
    CarveResult Carve(const std::string& source_path, const std::string& output_folder, LanguageId language);

  private:
    FileSystem& files_;
    Platform& platform_;
    CarveObserver* observer_;  // not owned; may be null
    CandidateFilter filter_;
};

extern const SixLanguageText MsgImagesFolderExists;
