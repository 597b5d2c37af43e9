#pragma once

#include <cstdint>
#include <string>

// The message shown when a link could not be opened, for the platform's launch result `result` (32 or less):
// "Unable to open hyperlink:" and what the result means.
std::string OpenErrorText(intptr_t result);
