#pragma once

#include <windows.h>

// Device contexts that need two values to release, and the selection of an object into one.

class PaintDc {
  public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { hdc_ = ::BeginPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { ::EndPaint(hwnd_, &ps_); }
    HDC Get() const { return hdc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC hdc_;
};

class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), hdc_(::GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ::ReleaseDC(hwnd_, hdc_); }
    HDC Get() const { return hdc_; }

  private:
    HWND hwnd_;
    HDC hdc_;
};

// Declare the selected object before its guard, so the object is deselected before it is deleted.
class SelectGuard {
  public:
    SelectGuard(HDC hdc, HGDIOBJ object) : hdc_(hdc), previous_(::SelectObject(hdc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() { ::SelectObject(hdc_, previous_); }

  private:
    HDC hdc_;
    HGDIOBJ previous_;
};
