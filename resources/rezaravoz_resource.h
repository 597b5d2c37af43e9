#pragma once
// Resource, control and command identifiers of the installer. Included by rezaravoz.rc and the code.

// Installer dialog
#define IDD_INSTALLER 102
#define IDC_INSTALL 1000
#define IDC_BROWSE 1001
#define IDC_STATUS 1002
#define IDC_INSTALL_PROGRESS 1003

// About box, opened from the system menu
#define IDD_INSTALLER_ABOUT 100
#define IDM_INSTALLER_ABOUT 0x0010
#define IDS_ABOUT_ITEM 101

#define IDI_INSTALLER 128
