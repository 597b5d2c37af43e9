#include "tests/win32/window_test_support.h"

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "framework/gdi_scope.h"
#include "framework/unique_handle.h"
#include "recovery/settings_record.h"
#include "tests/support/scripted_answers.h"

WinTempDir::WinTempDir() {
    std::array<char, MAX_PATH> temp{};
    ::GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    static int counter = 0;
    for (;;) {
        path_ = std::string(temp.data()) + "tolvane-wintest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (::CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
}

WinTempDir::~WinTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TestPlatform::TestPlatform(std::string settings_directory)
    : Win32Platform("tolvane_win32_tests"), settings_directory_(std::move(settings_directory)) {}

MessageAnswer TestPlatform::Show(std::string_view text,
                                 std::string_view caption,
                                 MessageButtons buttons,
                                 MessageIcon icon) {
    messages.push_back({std::string(text), std::string(caption), MessageBoxStyle(buttons, icon)});
    if (on_message)
        on_message();
    return NextAnswer(answers, buttons);
}

void WriteSettingsFile(const std::string& directory, LanguageId language, const std::string& install_folder) {
    SettingsBytes record = DefaultFileRecordBytes();
    SettingsRecord fields = DecodeSettings(record);
    fields.language = static_cast<int8_t>(language);
    fields.installFolder = install_folder;
    EncodeSettings(fields, &record);
    const auto bytes = SettingsFileBytes(record, CheckValueOf(record));
    WriteFileBytes(directory + "\\" + kSettingsFileName,
                   std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        std::array<char, 4096> buffer;
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0)
            bytes.append(buffer.data(), got);
        std::fclose(file);
    }
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

std::string RegistryText(HKEY root, const std::string& key, const char* name) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "<none>";
    std::array<char, 1024> value{};
    DWORD size = static_cast<DWORD>(value.size() - 1);
    const LONG read = ::RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size);
    ::RegCloseKey(opened);
    return read == ERROR_SUCCESS ? value.data() : "<none>";
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

namespace {

std::function<bool()> g_step;  // the one WhileShown running

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_step && g_step())
        ::KillTimer(nullptr, timer);
}

struct WindowSearch {
    const std::string* class_name;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    std::array<char, 256> text{};
    ::GetClassNameA(hwnd, text.data(), static_cast<int>(text.size()));
    if (!::IsWindowVisible(hwnd) || *search->class_name != text.data())
        return TRUE;
    ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    if (search->caption != nullptr && *search->caption != text.data())
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

WhileShown::WhileShown(std::function<bool()> step) {
    g_step = std::move(step);
    timer_ = ::SetTimer(nullptr, 0, 50, &RunStep);
}

WhileShown::~WhileShown() {
    ::KillTimer(nullptr, timer_);
    g_step = nullptr;
}

HWND ThreadWindow(const std::string& class_name, const std::string* caption) {
    WindowSearch search{&class_name, caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ToolTipText(HWND tooltip, HWND tool_window) {
    std::array<char, 256> buffer{};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = tool_window;
    tool.uId = 1;
    tool.lpszText = buffer.data();
    ::SendMessageA(tooltip, TTM_GETTEXTA, buffer.size(), reinterpret_cast<LPARAM>(&tool));
    return buffer.data();
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeout_ms)
            return false;
        PumpMessages();
        ::Sleep(5);
    }
    return true;
}

Picture CapturePicture(HDC dc, const RECT& rect) {
    Picture picture;
    picture.width = rect.right - rect.left;
    picture.height = rect.bottom - rect.top;
    picture.pixels.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), 0);
    if (picture.pixels.empty())
        return picture;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = picture.width;
    format.bmiHeader.biHeight = -picture.height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap dib(::CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemDc memory(::CreateCompatibleDC(dc));
    if (!dib || !memory)
        return picture;
    {
        SelectGuard select(memory.Get(), dib.Get());
        ::BitBlt(memory.Get(), 0, 0, picture.width, picture.height, dc, rect.left, rect.top, SRCCOPY);
    }
    ::GdiFlush();
    std::memcpy(picture.pixels.data(), bits, picture.pixels.size() * 4);
    for (uint32_t& pixel : picture.pixels)
        pixel &= 0xFFFFFF;
    return picture;
}

Picture ClientPicture(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    WindowDc dc(window);
    return CapturePicture(dc.Get(), client);
}

ControlHost::ControlHost(const char* text, DWORD style, const RECT& placement)
    : window_(::CreateWindowExA(WS_EX_TOOLWINDOW,
                                "STATIC",
                                "",
                                WS_POPUP,
                                40,
                                40,
                                480,
                                320,
                                nullptr,
                                nullptr,
                                nullptr,
                                nullptr)) {
    HWND control = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, placement.left, placement.top,
                                     placement.right - placement.left, placement.bottom - placement.top, window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), nullptr, nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    reflector_.Attach(window_);
    // Not activated: under Wine an activated window is handed to the window manager, and taking it down then
    // waits two seconds for a manager that the virtual X server does not run.
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window_);
}

ControlHost::~ControlHost() {
    ::DestroyWindow(window_);
}
