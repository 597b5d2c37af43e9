#pragma once

#include <windows.h>

// A window of a class this program registers itself, for the popups it creates in code (dialogs come from
// templates). The object lives as long as its window or longer; the window is destroyed with it.
class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    // Registers `class_name` with this framework's window procedure, the first time it is asked for.
    static bool RegisterClassOnce(const char* class_name);
    // Creates the window with an empty rectangle; false when it could not be made.
    bool Create(DWORD ex_style, const char* class_name, DWORD style, HWND parent, UINT id);
    HWND Hwnd() const { return hwnd_; }

    // The object behind `hwnd` when it is a window of this framework on this thread; nullptr otherwise.
    static Window* FromHandle(HWND hwnd);

    // Handles this thread's messages until EndModalLoop, the window goes, or the program is asked to quit (the
    // quit request is posted again for the loop outside). Loops nest: an inner loop serves every window.
    void RunModalLoop();
    void EndModalLoop();

  protected:
    // Default: the platform's default window procedure.
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    bool continue_modal_ = false;
};
