#include <gtest/gtest.h>

#include "framework/console_platform.h"

namespace {

// The free-space walk asks each folder on the way up; it must reach an end even where none of them answers.
TEST(ConsolePlatformTest, TheWalkUpEndsAtTheTop) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> walks = {
        {"out", {"out", "."}},
        {"a/b/c", {"a/b/c", "a/b", "a", "."}},
        {"/home/me/out", {"/home/me/out", "/home/me", "/home", "/"}},
        {".", {"."}},
        {"/", {"/"}},
    };
    for (const auto& [start, expected] : walks) {
        std::vector<std::string> walked;
        for (std::optional<std::string> folder = start; folder && walked.size() < 10; folder = FolderAbove(*folder))
            walked.push_back(*folder);
        EXPECT_EQ(walked, expected) << start;
    }
}

}  // namespace
