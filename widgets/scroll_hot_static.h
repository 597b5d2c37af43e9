#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "framework/subclassed_control.h"
#include "framework/unique_handle.h"
#include "widgets/scroll_state.h"
#include "widgets/url_open.h"

// The scroll state every CScrollHotStatic of the process shares, so that a box opened again continues where the
// last one stopped. The one piece of process-wide mutable state; user-interface thread only.
ScrollState& SharedScrollState();

// A static control whose lines scroll slowly upwards, like closing credits, and pause while the mouse is over it.
// A line may carry a link: it is drawn underlined in link colours, turns hot (red, hand cursor) under the mouse,
// and a click opens it with the shell. The control's own window text is never drawn. Mouse messages and clicks
// reach it only when its template gives it SS_NOTIFY; its parent must reflect notifications to it
// (NotificationReflector).
class CScrollHotStatic : public SubclassedControl {
  public:
    explicit CScrollHotStatic(ScrollState& state = SharedScrollState(), LinkOpener open = &ShellOpen);
    ~CScrollHotStatic() override;

    // `link` empty: a plain line. Texts are cut at 254 characters, links at 256.
    void AddLine(std::string_view text, std::string_view link, int indent);

    const std::vector<ScrollLine>& Lines() const { return lines; }
    // -1 until the first paint has measured it.
    int LineHeight() const { return lineHeight; }

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void OnPaint();
    void OnTimer(WPARAM id);
    void OnMouseMove(int y);
    void OnMouseLeave();
    void OnClicked();
    void OnDestroy();
    void MakeFonts(HDC offscreen);
    void DrawLines(HDC offscreen, RECT rect);
    COLORREF ColourOf(const ScrollLine& line) const;
    void RepaintNow();

    ScrollState& state_;
    LinkOpener open_;
    COLORREF lineLinkColour = RGB(0, 0, 255);
    COLORREF lineVisitedColour = RGB(128, 0, 128);
    COLORREF lineHotColour = RGB(255, 0, 0);
    COLORREF plainColour = RGB(0, 0, 0);
    UniqueFont linkFont;
    UniqueFont plainFont;
    int lineHeight = -1;
    INT_PTR timerId = -1;
    HCURSOR handCursor;   // the program's resource cursor: shared, never destroyed
    HCURSOR arrowCursor;  // the system's: shared
    std::vector<ScrollLine> lines;
    bool pausedHere_ = false;  // this control stopped the shared movement and owes the restart
};
