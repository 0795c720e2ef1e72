// Resource numbers of update.dll: its own string table and progress window.
#pragma once

#define IDS_UPD_PROGRESS_TITLE 101
#define IDS_UPD_PROGRESS_TEXT 102 /* printf format with one %d: the percentage */
#define IDS_UPD_PROGRESS_WAITING 103
#define IDS_UPD_CANCEL 104
#define IDS_UPD_CANCELLING 105

#define IDD_UPD_PROGRESS 200
#define IDC_UPD_TEXT 201
#define IDC_UPD_BAR 202
