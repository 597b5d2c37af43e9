#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "framework/platform.h"
#include "tests/support/scripted_answers.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
};

// Thrown by FakePlatform::EndProcess so a test can watch the process end.
struct ProcessExit {
    int code;
};

// A Windows-like platform by default: Windows-1252 text, backslash separators.
class FakePlatform final : public Platform {
  public:
    std::string SettingsDirectory() override { return settings_directory; }
    std::string CurrentDirectory() override { return current_directory; }
    std::optional<uint64_t> FreeBytes(const std::string& path) override {
        free_space_queries.push_back(path);
        return free_bytes;
    }
    [[noreturn]] void EndProcess(int exit_code) override { throw ProcessExit{exit_code}; }
    TextEncoding Encoding() const override { return encoding; }
    char PathSeparator() const override { return separator; }
    std::string EnvironmentVariable(const std::string& name) override {
        const auto found = environment.find(name);
        return found != environment.end() ? found->second : "";
    }
    bool LaunchProgram(const std::string& command_line) override {
        launched.push_back(command_line);
        return launch_succeeds;
    }

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
    std::map<std::string, std::string> environment;
    std::vector<std::string> launched;
    bool launch_succeeds = true;

  protected:
    MessageAnswer Show(std::string_view text,
                       std::string_view caption,
                       MessageButtons buttons,
                       MessageIcon icon) override {
        messages.push_back({std::string(text), std::string(caption), buttons, icon});
        return NextAnswer(answers, buttons);
    }
};
