#include "tests/e2e/window_driver.h"

#include <commctrl.h>

#include <array>
#include <cstdio>

#include "framework/gdi_scope.h"
#include "tests/win32/window_test_support.h"

namespace {

struct WindowSearch {
    DWORD process_id;  // 0: any process
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if ((search->process_id != 0 && owner != search->process_id) || !::IsWindowVisible(hwnd) || !(*search->match)(hwnd))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The first visible top-level window of the process for which `match` holds; nullptr after the timeout.
HWND FindWindowWhere(DWORD process_id, const std::function<bool(HWND)>& match, DWORD timeout_ms) {
    WindowSearch search{process_id, &match, nullptr};
    WaitUntil(
        [&] {
            ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout_ms);
    return search.found;
}

// `caption` nullptr: any caption.
HWND FindDialog(DWORD process_id, const std::string* caption, int control_id, DWORD timeout_ms) {
    return FindWindowWhere(
        process_id,
        [&](HWND hwnd) {
            return IsDialogWindow(hwnd) && ::GetDlgItem(hwnd, control_id) != nullptr &&
                   (caption == nullptr || WindowText(hwnd) == *caption);
        },
        timeout_ms);
}

// A block of memory inside another process, for messages whose parameters point at memory.
class RemoteBlock {
  public:
    RemoteBlock(HANDLE process, size_t size)
        : process_(process), address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_ != nullptr)
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    char* Address() const { return static_cast<char*>(address_); }
    bool Write(size_t offset, const void* data, size_t size) const {
        return ::WriteProcessMemory(process_, Address() + offset, data, size, nullptr) != FALSE;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return ::ReadProcessMemory(process_, Address() + offset, data, size, nullptr) != FALSE;
    }

  private:
    HANDLE process_;
    void* address_;
};

}  // namespace

RunningProgram::RunningProgram(const std::string& exe, const std::string& arguments, const std::string& folder) {
    std::string command_line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info))
        return;
    ::CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    process_id_ = info.dwProcessId;
}

RunningProgram::~RunningProgram() {
    if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
        ::TerminateProcess(process_.Get(), 255);
}

HWND WaitForAnyDialog(const std::string& caption, int control_id, DWORD timeout_ms) {
    return FindDialog(0, &caption, control_id, timeout_ms);
}

HWND WaitForAnyWindow(const std::function<bool(HWND)>& match, DWORD timeout_ms) {
    return FindWindowWhere(0, match, timeout_ms);
}

HWND RunningProgram::WaitForDialog(const std::string& caption, int control_id, DWORD timeout_ms) const {
    return FindDialog(process_id_, &caption, control_id, timeout_ms);
}

HWND RunningProgram::WaitForMessageBox(DWORD timeout_ms) const {
    return FindDialog(process_id_, nullptr, kMessageBoxTextId, timeout_ms);
}

HWND RunningProgram::WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeout_ms) const {
    return FindWindowWhere(process_id_, match, timeout_ms);
}

int RunningProgram::WaitForExit(DWORD timeout_ms) {
    if (!process_)
        return -1;
    if (::WaitForSingleObject(process_.Get(), timeout_ms) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.Get(), 255);
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return static_cast<int>(code);
}

std::string RunningProgram::ListHeaderText(HWND list, int index) const {
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    constexpr size_t kTextSize = 128;
    RemoteBlock block(process_.Get(), sizeof(HDITEMA) + kTextSize);
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = block.Address() + sizeof(HDITEMA);
    item.cchTextMax = kTextSize;
    std::array<char, kTextSize> text{};
    if (header == nullptr || block.Address() == nullptr || !block.Write(0, &item, sizeof item) ||
        !::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block.Address())) ||
        !block.Read(sizeof(HDITEMA), text.data(), text.size() - 1))
        return "<unreadable>";
    return text.data();
}

HWND RunningProgram::WaitForWindowOfClass(const std::string& class_name, DWORD timeout_ms) const {
    return FindWindowWhere(
        process_id_, [&](HWND hwnd) { return ClassName(hwnd) == class_name; }, timeout_ms);
}

std::vector<RunningProgram::ToolbarItem> RunningProgram::OpenedMenu(HWND* popup) const {
    *popup = WaitForWindowOfClass(kBitmapMenuClass, 5000);
    if (*popup == nullptr)
        return {};
    ::Sleep(300);
    return ToolbarItems(::FindWindowExA(*popup, nullptr, TOOLBARCLASSNAMEA, nullptr));
}

void ChooseMenuItem(const std::vector<RunningProgram::ToolbarItem>& items, int id) {
    for (const auto& item : items) {
        if (item.id == id) {
            MoveMouse(item.rect.left + 5, (item.rect.top + item.rect.bottom) / 2);
            ClickCentre(item.rect);
        }
    }
}

bool RunningProgram::HasWindowOfClass(const std::string& class_name) const {
    return WaitForWindowOfClass(class_name, 0) != nullptr;
}

std::vector<RunningProgram::ToolbarItem> RunningProgram::ToolbarItems(HWND toolbar) const {
    std::vector<ToolbarItem> items;
    constexpr size_t kTextSize = 260;
    RemoteBlock block(process_.Get(), sizeof(TBBUTTON) + sizeof(RECT) + kTextSize);
    if (block.Address() == nullptr)
        return items;
    const auto count = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TBBUTTON button{};
        ToolbarItem item{};
        std::array<char, kTextSize> text{};
        char* remote_text = block.Address() + sizeof(TBBUTTON) + sizeof(RECT);
        if (!::SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(block.Address())) ||
            !block.Read(0, &button, sizeof button))
            break;
        item.id = button.idCommand;
        ::SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(block.Address() + sizeof(TBBUTTON)));
        block.Read(sizeof(TBBUTTON), &item.rect, sizeof item.rect);
        ::MapWindowPoints(toolbar, HWND_DESKTOP, reinterpret_cast<POINT*>(&item.rect), 2);
        if (::SendMessageA(toolbar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(button.idCommand),
                           reinterpret_cast<LPARAM>(remote_text)) > 0 &&
            block.Read(sizeof(TBBUTTON) + sizeof(RECT), text.data(), text.size() - 1))
            item.text = text.data();
        items.push_back(item);
    }
    return items;
}

std::string RunningProgram::ListCellText(HWND list, int row, int column) const {
    constexpr size_t kTextSize = 260;
    RemoteBlock block(process_.Get(), sizeof(LVITEMA) + kTextSize);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = block.Address() + sizeof(LVITEMA);
    item.cchTextMax = kTextSize;
    std::array<char, kTextSize> text{};
    if (block.Address() == nullptr || !block.Write(0, &item, sizeof item))
        return "<unreadable>";
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Address()));
    block.Read(sizeof(LVITEMA), text.data(), text.size() - 1);
    return text.data();
}

RECT RunningProgram::ListRowRect(HWND list, int row) const {
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    RemoteBlock block(process_.Get(), sizeof rect);
    if (block.Address() != nullptr && block.Write(0, &rect, sizeof rect) &&
        ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Address())))
        block.Read(0, &rect, sizeof rect);
    ::MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

namespace {

void SendMouse(DWORD flags, int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(static_cast<int64_t>(x) * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(static_cast<int64_t>(y) * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(60);
}

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(60);
}

}  // namespace

void MoveMouse(int x, int y) {
    SendMouse(0, x, y);
}

void ClickAt(int x, int y, bool right_button) {
    MoveMouse(x, y);
    SendMouse(right_button ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, x, y);
    SendMouse(right_button ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, x, y);
}

void ClickCentre(const RECT& rect, bool right_button) {
    ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2, right_button);
}

void PressKey(WORD key) {
    SendKey(key, false);
    SendKey(key, true);
}

void PressAltKey(WORD key) {
    SendKey(VK_MENU, false);
    PressKey(key);
    SendKey(VK_MENU, true);
}

RECT ScreenRect(HWND hwnd) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return rect;
}

std::string WindowText(HWND hwnd) {
    std::array<char, 1024> text{};
    ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string ClassName(HWND hwnd) {
    std::array<char, 256> class_name{};
    ::GetClassNameA(hwnd, class_name.data(), static_cast<int>(class_name.size()));
    return class_name.data();
}

bool IsDialogWindow(HWND hwnd) {
    return ClassName(hwnd) == "#32770";
}

std::string MessageBoxText(HWND box) {
    return WindowText(::GetDlgItem(box, kMessageBoxTextId));
}

void Press(HWND dialog, int control_id) {
    ::PostMessageA(::GetDlgItem(dialog, control_id), BM_CLICK, 0, 0);
}

POINT CentreOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void MoveMouseTo(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
}

void ClickOn(HWND window) {
    MoveMouseTo(CentreOf(window));
    ::Sleep(100);
    std::array<INPUT, 2> press{};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(static_cast<UINT>(press.size()), press.data(), sizeof(INPUT));
}

std::vector<uint32_t> ScreenPixels(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    WindowDc screen(nullptr);
    return CapturePicture(screen.Get(), client).pixels;
}

bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    WindowDc screen(nullptr);
    const Picture picture = CapturePicture(screen.Get(), rect);
    // A binary portable pixmap: the simplest file every picture tool reads.
    std::string bytes = "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    for (const uint32_t pixel : picture.pixels) {
        for (const int shift : {16, 8, 0})
            bytes += static_cast<char>(pixel >> shift & 0xFF);
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

std::string ScreenshotFolder() {
    std::array<char, MAX_PATH> folder{};
    const DWORD length =
        ::GetEnvironmentVariableA("TOLVANE_SCREENSHOTS", folder.data(), static_cast<DWORD>(folder.size()));
    return length > 0 && length < folder.size() ? std::string(folder.data()) + "\\" : std::string();
}

void SaveScreenshot(HWND window, const std::string& name, DWORD settle_ms) {
    const std::string folder = ScreenshotFolder();
    if (folder.empty())
        return;
    WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; });
    ::Sleep(settle_ms);
    Check(SaveWindowPicture(window, folder + name), "saved " + name);
}

namespace {
int g_failed_checks = 0;
}  // namespace

void Check(bool condition, const std::string& what) {
    std::printf("%s %s\n", condition ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!condition)
        ++g_failed_checks;
}

int ReportChecks() {
    std::printf("%d failure(s)\n", g_failed_checks);
    return g_failed_checks == 0 ? 0 : 1;
}

std::string WindowsPath(std::string path) {
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}
