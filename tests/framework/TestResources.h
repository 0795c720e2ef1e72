// Templates of the window-layer tests (test program only).
#pragma once

#define IDD_FW_TEST_DIALOG 100
#define IDD_FW_TEST_PAGE 101

#define IDC_FW_EDIT 1001
#define IDC_FW_OWNERDRAW 1002
#define IDC_FW_LABEL 1003
#define IDC_FW_PAGE_BUTTON 1004
