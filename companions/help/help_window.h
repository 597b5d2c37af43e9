#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "companions/help/help_topics.h"
#include "framework/dialog.h"

// The help viewer's one window: topic titles at the left, the selected topic's text at the right, in one
// language for the window's life. Resizable; the first topic is selected when it opens.
class HelpWindow : public Dialog {
  public:
    HelpWindow(HINSTANCE instance, LanguageId language);

    // The topic whose text is shown; -1 before the window exists.
    int SelectedTopic() const;

  protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void OnSize(int width_dev_px, int height_dev_px);
    void OnGetMinMaxInfo(MINMAXINFO* info) const;
    void ShowSelectedTopic();
    int Dpi() const;
    int WidestTitle() const;

    LanguageId language_;
    std::vector<HelpTopic> topics_;
    int widest_title_dev_px_ = 0;
    // Shared icons from the program's resources; the system owns them.
    HICON big_icon_ = nullptr;
    HICON small_icon_ = nullptr;
};
