#pragma once

#include <string>

// Works every menu and file command of the main window with real mouse and keyboard input. `companion` is the
// stand-in program copied in as Help.exe and Optmgr.exe. Leaves the settings file in English.
void WalkTheMenusAndFileCommands(const std::string& exe, const std::string& work, const std::string& companion);
