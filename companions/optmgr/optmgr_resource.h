#pragma once
// Resource and control identifiers of the configuration program. Included by optmgr.rc and the code.

#define IDI_OPTMGR 128

// Options dialog
#define IDD_OPTIONS 101
#define IDC_FOLDER_LABEL 1001
#define IDC_OUTPUT_FOLDER 1002
#define IDC_BROWSE_FOLDER 1003
#define IDC_FOLDER_HINT 1004
#define IDC_SUFFIX_LABEL 1005
#define IDC_SUFFIX 1006
#define IDC_SUFFIX_HINT 1007
#define IDC_DELETE_SOURCE 1008
