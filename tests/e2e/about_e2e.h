#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/window_driver.h"

// Opens the about box as a user does: a click on the Help button, then on About in its menu.
void OpenAbout(const RunningProgram& program, HWND main);

// Starts Tolvane.exe (a valid settings file in place): the splash before the main window, then the about box
// with lines that move, stop under the real mouse pointer and move again when it leaves; OK closes it.
// With TOLVANE_SCREENSHOTS naming a folder, the splash and the box are saved there as splash.ppm and about.ppm.
void SplashThenAboutBox(const std::string& exe, const std::string& work);
