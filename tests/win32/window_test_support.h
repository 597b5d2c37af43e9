#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/notification_reflector.h"
#include "framework/win32_platform.h"
#include "languages/language.h"

// A folder of its own under the Windows temporary folder, removed with its files at the end of the test.
class WinTempDir {
  public:
    WinTempDir();
    ~WinTempDir();
    WinTempDir(const WinTempDir&) = delete;
    WinTempDir& operator=(const WinTempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

struct RecordedMessage {
    std::string text;
    std::string caption;  // empty: the box showed the application's name
    UINT style;           // the MessageBoxA style the box would have had
};

// The real Windows platform, except that message boxes are recorded and answered in code and the settings file
// lives in a test folder instead of the Windows directory.
class TestPlatform final : public Win32Platform {
  public:
    explicit TestPlatform(std::string settings_directory);
    std::string SettingsDirectory() override { return settings_directory_; }
    std::optional<uint64_t> FreeBytes(const std::string&) override { return uint64_t{1} << 40; }

    std::vector<RecordedMessage> messages;
    std::function<void()> on_message;   // runs while a box would be up, to look at the windows then
    std::deque<MessageAnswer> answers;  // for Yes/No questions; No once they run out

  protected:
    MessageAnswer Show(std::string_view text,
                       std::string_view caption,
                       MessageButtons buttons,
                       MessageIcon icon) override;

  private:
    std::string settings_directory_;
};

// Writes a valid settings file holding the default record with `language` and `install_folder`.
void WriteSettingsFile(const std::string& directory, LanguageId language, const std::string& install_folder = "");
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// A text value of a registry key; "<none>" when the key or the value is missing.
std::string RegistryText(HKEY root, const std::string& key, const char* name);

// The text tool tip `tooltip` shows for tool 1 of `tool_window`.
std::string ToolTipText(HWND tooltip, HWND tool_window);

// Handles every message waiting for this thread's windows.
void PumpMessages();

// Runs `step` from a timer of this thread every 50 ms until it returns true, while a dialog or menu with a loop of
// its own is up. One at a time.
class WhileShown {
  public:
    explicit WhileShown(std::function<bool()> step);
    ~WhileShown();
    WhileShown(const WhileShown&) = delete;
    WhileShown& operator=(const WhileShown&) = delete;

  private:
    UINT_PTR timer_;
};

// A visible window of this thread of that class (and caption, when given); nullptr when there is none.
HWND ThreadWindow(const std::string& class_name, const std::string* caption = nullptr);
// Handles this thread's messages until `condition` holds; false when it did not within `timeout_ms`.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms = 5000);

// What a device context shows in a rectangle, one 0xRRGGBB value per pixel, row by row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
Picture CapturePicture(HDC dc, const RECT& rect);
// The client area of a visible window as the screen shows it.
Picture ClientPicture(HWND window);

// A visible top-level window with one static child, placed at `placement` in its client area; the child's
// notifications come back to it, as in a dialog with a NotificationReflector. The child draws in the GUI font.
class ControlHost {
  public:
    static constexpr int kControlId = 1500;
    ControlHost(const char* text, DWORD style, const RECT& placement);
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;
    HWND Window() const { return window_; }
    HWND Control() const { return ::GetDlgItem(window_, kControlId); }

  private:
    HWND window_;
    NotificationReflector reflector_;
};
