#pragma once

#include <windows.h>

#include <string>

#include "framework/subclassed_control.h"
#include "framework/unique_handle.h"
#include "framework/win32_platform.h"
#include "widgets/url_open.h"

enum UnderlineMode : int { UnderlineOnHover = -1, UnderlineNever = 0, UnderlineAlways = 1 };

// The hand cursor borrowed from winhlp32.exe in `windows_directory` (its cursor 106). Current Windows ships no
// winhlp32.exe: when the program or its cursor is missing, the system's own hand, so every user sees a link
// cursor. Always a copy the caller owns; empty only when the system has no hand either.
UniqueCursor LoadLinkCursor(const std::string& windows_directory);

// A static text that behaves like a web link: link colours, a hand cursor and a tooltip, an underline on hover
// (or always, or never), and a click that opens the maker's home page in the browser. Whatever text SetUrl is
// given, the tooltip and the click use the home page. The parent must reflect notifications to it
// (NotificationReflector).
class HyperlinkStatic : public SubclassedControl {
  public:
    // Messages (an address that cannot be opened) go through `platform`, owned by the control's window.
    explicit HyperlinkStatic(Win32Platform& platform, LinkOpener open = &OpenUrl);
    ~HyperlinkStatic() override;

    // Hooks the dialog's static control `id` and makes it a link. False when there is no such control.
    bool Attach(HWND dialog, int id);

    void SetUrl(const std::string& text);
    void SetVisited(bool flag);
    void SetUnderlineMode(int mode);

    const std::string& Url() const { return url; }
    bool IsVisited() const { return visited; }
    bool IsHovering() const { return hovering; }
    HWND ToolTip() const { return toolTip; }
    HFONT UnderlineFont() const { return underlineFont.Get(); }

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void FitToText();
    void LoadLinkCursor();
    void CreateToolTip();
    void OnMouseMove();
    void OnTimer();
    void OnClicked();
    void ShowOpenError(INT_PTR result);
    HBRUSH OnCtlColor(HDC dc) const;
    void UseFont(HFONT font);
    void ReleaseWindow();

    Win32Platform& platform_;
    LinkOpener open_;
    COLORREF linkColour = RGB(0, 0, 238);
    COLORREF visitedColour = RGB(85, 26, 139);
    COLORREF hoverColour = RGB(255, 0, 0);
    bool hovering = false;
    bool visited = false;
    int underlineMode = UnderlineOnHover;
    std::string url;
    UniqueFont underlineFont;
    HFONT normalFont = nullptr;  // the window's own font: not ours
    UniqueCursor linkCursor;
    HWND toolTip = nullptr;  // a window owned by the control's; destroyed with this object or with it
    UINT_PTR hoverTimerId = 100;
};
