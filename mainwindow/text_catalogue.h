#pragma once

#include <optional>

#include "languages/language.h"

// The main window's labels in six languages: list headers, menu items, tool tips and the add-file dialog's title.
// Looked up with the current language each time a text is shown.

extern const SixLanguageText ColPathname;
extern const SixLanguageText ColSize;
extern const SixLanguageText ColDate;
extern const SixLanguageText ColTime;
extern const SixLanguageText MenuAddFile;
extern const SixLanguageText MenuDeleteFile;
extern const SixLanguageText MenuClearList;
extern const SixLanguageText MenuRecover;
extern const SixLanguageText MenuExit;
extern const SixLanguageText MenuOptions;
extern const SixLanguageText MenuLaunchHelp;
extern const SixLanguageText MenuAbout;
extern const SixLanguageText CtxRecover;
extern const SixLanguageText CtxDelete;
extern const SixLanguageText CtxRemove;
extern const SixLanguageText TipOpen;
extern const SixLanguageText TipExtract;
extern const SixLanguageText TipOptions;
extern const SixLanguageText TipHelp;
extern const SixLanguageText TipExit;
extern const SixLanguageText TipDelete;
extern const SixLanguageText TipEmptyList;
// Each title fits a 20-byte buffer with its terminator; the French one uses all 19 characters.
extern const SixLanguageText OpenDialogTitle;
constexpr size_t kOpenDialogTitleBytes = 20;

// The pictures of the File, Options and Help menu-bar buttons: three bitmaps per language from 239 on.
struct MenuBarImageIds {
    int file;
    int options;
    int help;
};
MenuBarImageIds MenuBarImagesFor(LanguageId language);
constexpr int kFirstMenuBarImage = 239;
constexpr int kMenuBarImageCount = 3 * kLanguageCount;

// The six language commands of the Options menu, English first.
constexpr int kFirstLanguageCommand = 32819;
std::optional<LanguageId> LanguageForCommand(int command);
