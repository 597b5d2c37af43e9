#pragma once
// Resource and control identifiers of the help viewer. Included by help.rc and the code.

#define IDI_HELP 1

// Help window
#define IDD_HELP 100
#define IDC_HELP_TOPICS 1001
#define IDC_HELP_TEXT 1002
