#pragma once
// Resource and control identifiers of the setup program. Included by setup.rc and the code.

#define IDI_SETUP 128

// The setup dialog
#define IDD_SETUP 101
#define IDC_SETUP_DESTINATION 1001
#define IDC_SETUP_BROWSE 1002
#define IDC_SETUP_INTRO 1003
