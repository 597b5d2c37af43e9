#pragma once

#include <deque>
#include <string>
#include <vector>

#include "framework/platform.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageButtons buttons;
};

// Thrown by FakePlatform::EndProcess so a test can watch the process end.
struct ProcessExit {
    int code;
};

// A Windows-like platform by default: Windows-1252 text, backslash separators.
class FakePlatform final : public Platform {
  public:
    MessageAnswer ShowMessage(std::string_view text, std::string_view caption, MessageButtons buttons) override {
        messages.push_back({std::string(text), std::string(caption), buttons});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty())
            return MessageAnswer::No;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string SettingsDirectory() override { return settings_directory; }
    std::string CurrentDirectory() override { return current_directory; }
    std::optional<uint64_t> FreeBytes(const std::string& path) override {
        free_space_queries.push_back(path);
        return free_bytes;
    }
    [[noreturn]] void EndProcess(int exit_code) override { throw ProcessExit{exit_code}; }
    TextEncoding Encoding() const override { return encoding; }
    char PathSeparator() const override { return separator; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ShownMessage& message : messages)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<ShownMessage> messages;
    std::deque<MessageAnswer> answers;  // for Yes/No questions; No once they run out
    std::string settings_directory = "C:\\WINDOWS";
    std::string current_directory = "C:\\Work";
    std::optional<uint64_t> free_bytes;
    std::vector<std::string> free_space_queries;
    TextEncoding encoding = TextEncoding::Cp1252;
    char separator = '\\';
};
