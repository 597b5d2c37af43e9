#pragma once

#include <windows.h>

#include <string>

#include "about/about_lines.h"
#include "framework/dialog.h"
#include "framework/file_system.h"
#include "framework/notification_reflector.h"
#include "framework/win32_platform.h"
#include "languages/language.h"
#include "widgets/hyperlink_static.h"
#include "widgets/scroll_hot_static.h"

// The about box: the product lines scrolling in the language of the settings file (not the main window's), and
// the maker's home page as a link. The scroll state is the process's: opened again, the lines go on from where
// they stood.
class AboutBox : public Dialog {
  public:
    AboutBox(HINSTANCE instance, Win32Platform& platform, FileSystem& files);

    LanguageId AboutLanguage() const { return aboutLanguage; }
    const CScrollHotStatic& ScrollLines() const { return lineStatic; }
    const HyperlinkStatic& SiteLink() const { return siteLink; }

  protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void OnPaint();

    Win32Platform& platform_;
    FileSystem& files_;
    std::string settingsPath;
    LanguageId aboutLanguage = LanguageId::English;
    AboutLineTable aboutLines;
    NotificationReflector reflector_;
    CScrollHotStatic lineStatic;
    HyperlinkStatic siteLink;
    HyperlinkStatic mailLink;  // hidden and disabled; a link all the same
};
