#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about/splash_window.h"
#include "framework/dialog.h"
#include "framework/file_system.h"
#include "framework/unique_handle.h"
#include "framework/win32_platform.h"
#include "languages/language.h"
#include "mainwindow/file_list_commands.h"
#include "mainwindow/popup_menus.h"
#include "mainwindow/text_catalogue.h"
#include "recovery/carve_result.h"
#include "recovery/recover_command.h"
#include "recovery/settings_store.h"
#include "widgets/drop_list_ctrl.h"
#include "widgets/hover_button.h"

// The recovery program's one window: the file list, the picture buttons, the menu-bar pictures and the painted
// banner. It receives every command and hands it to the code that carries it out.
class MainDialog : public Dialog {
  public:
    // `startup_files` are added to the list as if dropped once the window is ready.
    MainDialog(HINSTANCE instance, Win32Platform& platform, FileSystem& files, std::vector<std::string> startup_files);

    LanguageId CurrentLanguage() const { return currentLanguage; }
    DropListCtrl& FileList() { return fileList; }
    const CHoverButton& HoverButton(int control_id) const;
    const CarveResult& LastCarve() const { return carveResult; }
    uint64_t LastAddedSize() const { return lastAddedSize; }
    // Start-up shows the splash through this step, with the dialog as owner. The window tests put their own in
    // its place (or none), so that they need not wait for its second.
    void SetSplashStep(std::function<void(HINSTANCE, HWND owner)> step) { showSplash_ = std::move(step); }

  protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void ExitProgram();
    void RecoverCommand();
    void DeleteFileCommand();
    void AddFileByDialog();
    void ClearList() { fileCommands.ClearList(); }
    void RemoveFromList() { fileCommands.RemoveFromList(); }
    void ApplyDropOptions() { fileCommands.ApplyDropOptions(Hwnd()); }
    void OpenHelp();
    void OpenConfiguration();
    void ShowFileMenu() { ShowMenu(PopupMenu::File); }
    void ShowOptionsMenu() { ShowMenu(PopupMenu::Options); }
    void ShowHelpMenu() { ShowMenu(PopupMenu::Help); }
    void ShowMenu(PopupMenu menu);
    LRESULT ShowListMenu(const NMHDR& notification);
    void AboutCommand();
    void SetLanguage(LanguageId id);
    void ApplyButtonTips();
    void SetMenuBarImages();
    void RebuildColumns();
    void InsertColumns(int first_width, int size_width);
    void SetUpFileList();
    void SetUpButtons();
    void AddStartupFiles();
    void OnPaint();
    // The path in `row`; nullopt when no row (-1) is selected.
    std::optional<std::string> PathOfRow(int row) const;
    std::string Text(const SixLanguageText& entry) const;
    void ShowSplash() {
        if (showSplash_)
            showSplash_(Instance(), Hwnd());
    }

    static const CommandEntry<MainDialog> kCommands[];
    static const NotifyEntry<MainDialog> kNotifications[];
    // The picture buttons and the template controls they are attached to.
    static const std::pair<CHoverButton MainDialog::*, int> kHoverButtons[8];

    Win32Platform& platform_;
    FileSystem& files_;
    std::function<void(HINSTANCE, HWND owner)> showSplash_ = &ShowSplashWindow;
    std::vector<std::string> startup_files_;
    CarveResult carveResult;
    uint64_t lastAddedSize = 0;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<::RecoverCommand> recover_;
    std::string programFolder;
    std::array<UniqueBitmap, kMenuBarImageCount> menuBarImages;
    int firstColumnWidth = 0;
    LanguageId currentLanguage = LanguageId::English;
    int selectedCount = 0;
    // The File menu's strip: its width as text, read each time the menu opens, and the three strip flags.
    std::string menuSideWidthText;
    int menuStripBitmap = 0;
    int menuStripTile = 0;
    int menuStripOnSubmenus = 0;
    DropListCtrl fileList;
    FileListCommands fileCommands;
    CHoverButton openButton, extractButton, emptyListButton, deleteButton, helpButton, optionsButton, exitButton,
        sidePicture;
    HICON appIcon;  // a shared resource icon: never destroyed
    UniqueImageList fileImages;
};
