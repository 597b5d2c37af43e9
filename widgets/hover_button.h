#pragma once

#include <windows.h>

#include <string>

#include "framework/subclassed_control.h"
#include "framework/unique_handle.h"

// An owner-drawn push button whose face is one of three frames of a bitmap (normal, pressed, hover), with its own
// tool tip. The template control must have the owner-draw style; the dialog reflects WM_DRAWITEM to it.
class CHoverButton : public SubclassedControl {
  public:
    enum Frame { kNormal = 0, kPressed = 1, kHover = 2 };

    // Loads the three-frame bitmap and sizes the button to one frame. Always true: a missing bitmap leaves the
    // button without a face.
    bool LoadBitmap(int resource_id);
    // A null text does nothing. The tool rectangle is the button's client area when the tool is first added.
    void SetToolTipText(const char* text, bool activate);

    // The frame DrawItem paints for an owner-draw item state.
    Frame FrameFor(UINT item_state) const;
    HWND ToolTip() const { return m_toolTip.Get(); }
    bool IsHovering() const { return m_bHover; }

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    void OnMouseMove();
    void OnMouseHover();
    void OnMouseLeave();
    void EnsureToolTip();
    void Repaint();

    bool m_bHover = false;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    UniqueBitmap m_stripBitmap;
    bool m_bTracking = false;
    // Owned here: a tool tip's owner is the button's top-level window, which would keep it until the whole dialog
    // goes. It goes with the button's window, or with this object if that goes first.
    UniqueWindow m_toolTip;
};
