#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The command line that opens `address` in the browser registered for .htm pages, built from the registered
// command (`registered`, the text below ...\shell\open\command): the command up to its "%1" placeholder (quoted
// or bare; whatever follows it is dropped), one blank and the address.
// nullopt when the line would not fit the command buffer: a cut-off command line is never run.
std::optional<std::string> BrowserCommandLine(std::string_view registered, std::string_view address);

// The command buffer, its terminator included.
constexpr size_t kBrowserCommandBufferSize = 520;
