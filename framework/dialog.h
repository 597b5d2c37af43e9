#pragma once

#include <windows.h>

// Messages a dialog sends back to the child control a notification came from, so the control can handle its own
// notifications without a global window map.
constexpr UINT kMsgReflectDrawItem = WM_APP + 0x100;

// A dialog built from a template resource. The same object runs modal (the program) or modeless (the tests).
// Derived classes handle messages in OnMessage and commands through a table (see RunCommand).
class Dialog {
  public:
    Dialog(HINSTANCE instance, int template_id);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Runs the dialog's own message loop until EndDialog; returns its result.
    INT_PTR DoModal(HWND parent);
    // Creates the dialog without a loop of its own; false when creation failed.
    bool CreateModeless(HWND parent);

    HWND Hwnd() const { return hwnd_; }
    HINSTANCE Instance() const { return instance_; }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

  protected:
    // Return true to let the platform put the focus on the first control that takes it.
    virtual bool OnInitDialog() { return true; }
    // Return true when the message was handled; set *result for messages that carry one.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // Closes a modal dialog with `code`, a modeless one by destroying its window.
    void Close(INT_PTR code);

  private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    HINSTANCE instance_;
    int template_id_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

// Paints a minimised dialog: the icon's background, then the icon centred in the client area.
void PaintMinimisedIcon(HWND dialog, HICON icon);

// The notification code of menu items (and of a button's click, BN_CLICKED, which has the same value).
constexpr int kMenuCommand = 0;

// The command part of a dialog's message table: control or command identifier and notification code -> member
// handler. Naming the code keeps a double click on an owner-drawn button (BN_DOUBLECLICKED) or an edit's changes
// from running a command meant for a click or for the edit losing the focus.
template <class D>
struct CommandEntry {
    int id;
    int code;
    void (D::*handler)();
};

template <class D, size_t N>
bool RunCommand(const CommandEntry<D> (&table)[N], D& dialog, int id, int code) {
    for (const CommandEntry<D>& entry : table) {
        if (entry.id == id && entry.code == code) {
            (dialog.*entry.handler)();
            return true;
        }
    }
    return false;
}

// The notification part: control identifier and WM_NOTIFY code -> member handler, which gives the result.
template <class D>
struct NotifyEntry {
    UINT_PTR id;
    UINT code;
    LRESULT (D::*handler)(const NMHDR&);
};

template <class D, size_t N>
bool RunNotify(const NotifyEntry<D> (&table)[N], D& dialog, const NMHDR& header, LRESULT* result) {
    for (const NotifyEntry<D>& entry : table) {
        if (entry.id == header.idFrom && entry.code == header.code) {
            *result = (dialog.*entry.handler)(header);
            return true;
        }
    }
    return false;
}
