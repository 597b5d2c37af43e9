#include "widgets/open_error_text.h"

#include <array>
#include <cstdio>

namespace {

struct ErrorRow {
    uintptr_t code;
    const char* text;
};

// The shell's and the program loader's launch results.
constexpr ErrorRow kErrorTexts[] = {
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
};

}  // namespace

std::string OpenErrorText(intptr_t result) {
    std::string text = "Unable to open hyperlink:\n\n";
    // Compared as unsigned, so a negative result is an unknown one.
    for (const ErrorRow& row : kErrorTexts) {
        if (row.code == static_cast<uintptr_t>(result))
            return text + row.text;
    }
    std::array<char, 48> unknown{};
    std::snprintf(unknown.data(), unknown.size(), "Unknown Error (%d) occurred.", static_cast<int>(result));
    return text + unknown.data();
}
