#pragma once

#include <windows.h>

// A control made by a dialog template and given its own behaviour by subclassing it when the dialog initialises.
// The dialog owns the window; this object only hooks into it, and unhooks when either goes.
class SubclassedControl {
  public:
    SubclassedControl() = default;
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;
    virtual ~SubclassedControl();

    // Hooks the dialog's control `id`; false when there is no such control.
    bool Attach(HWND dialog, int id);
    HWND Hwnd() const { return hwnd_; }

  protected:
    // Default processing of the control's own class.
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    void Detach();

    HWND hwnd_ = nullptr;
};
