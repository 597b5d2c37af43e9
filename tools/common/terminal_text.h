#pragma once

#include <string>
#include <string_view>

// Text bound for a terminal, with every byte that could act on it shown instead: control characters (C0, DEL and
// the C1 range), bytes that are not UTF-8, and the backslash that starts these forms become \xNN, so a file name
// cannot move the cursor, change colours, retitle the window or pass for another name.
std::string TerminalSafe(std::string_view text);

// The length of the well-formed UTF-8 sequence at the start of `text` (no overlong forms, no surrogates), or 0.
size_t Utf8SequenceLength(std::string_view text);

// Flushes the standard output at the end of a command: what could not be written there (a full disk, a closed pipe)
// is a failure as much as a file not written, so `status` becomes 1 after a message on stderr.
int FinishStandardOutput(const char* program, int status);
