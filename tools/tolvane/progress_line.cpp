#include "tools/tolvane/progress_line.h"

#include <algorithm>
#include <cstdio>

#include "tools/common/terminal_text.h"

namespace {

// A smaller source is carved before the line could be read; it would only flash.
constexpr uint64_t kShownFromSize = uint64_t{64} << 20;
constexpr std::chrono::milliseconds kRedrawEvery{250};

std::string Amount(double bytes) {
    static const char* const kUnits[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
    size_t unit = 0;
    for (; bytes >= 1024 && unit + 1 < sizeof kUnits / sizeof kUnits[0]; ++unit)
        bytes /= 1024;
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", bytes, kUnits[unit]);
    return text;
}

}  // namespace

std::string ProgressText(const std::string& name,
                         uint64_t bytes_read,
                         uint64_t total_bytes,
                         double seconds,
                         size_t pictures) {
    // The window reads ahead, so the last read may pass a size measured a moment earlier.
    const uint64_t shown = total_bytes > 0 && bytes_read > total_bytes ? total_bytes : bytes_read;
    std::string text = name + ": " + Amount(static_cast<double>(shown));
    if (total_bytes > 0) {
        text +=
            " of " + Amount(static_cast<double>(total_bytes)) + " (" + std::to_string(shown * 100 / total_bytes) + "%)";
    }
    if (seconds > 0)
        text += ", " + Amount(static_cast<double>(shown) / seconds) + "/s";
    return text + ", " + std::to_string(pictures) + (pictures == 1 ? " picture" : " pictures");
}

void ProgressLine::Begin(const std::string& name, uint64_t total_bytes) {
    Clear();
    name_ = TerminalSafe(name);
    total_bytes_ = total_bytes;
    started_ = Clock::now();
}

void ProgressLine::Update(uint64_t bytes_read, size_t pictures) {
    const Clock::time_point now = Clock::now();
    if (!enabled_ || total_bytes_ <= kShownFromSize || (shown_ && now - drawn_ < kRedrawEvery))
        return;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    // \033[K clears what a longer earlier text left at the end of the line.
    std::fprintf(stderr, "\r%s\033[K", ProgressText(name_, bytes_read, total_bytes_, seconds, pictures).c_str());
    std::fflush(stderr);
    shown_ = true;
    drawn_ = now;
}

void ProgressLine::Clear() {
    if (shown_)
        std::fprintf(stderr, "\r\033[K");
    shown_ = false;
}
