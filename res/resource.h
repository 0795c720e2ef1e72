// Resource numbers of Vantrel. Shared by the resource script and the C++ code;
// the numbers are fixed (stored data and the service do not see them, but the
// artwork and the templates are looked up by them).
#pragma once

// ---- Strings --------------------------------------------------------------
#define IDS_APP_TITLE 57344 /* 0xE000: caption of every message box */

#define IDS_UPDATE_ALREADY_CURRENT 206
#define IDS_UPDATE_NO_CONNECTION 207
#define IDS_UPDATE_DOWNLOADED 208
#define IDS_SCANNING_COMPLETED 209
#define IDS_SCANNING_SUCCESSFUL 210
#define IDS_POPUP_TITLE 211
#define IDS_START_SCAN_NOW 213
#define IDS_OPTIMIZATION_RECOMMENDED 215
#define IDS_FILES_SCANNED 216
#define IDS_OPTIMIZING_LABEL 218
#define IDS_DRIVES_NOT_SCANNED 219
#define IDS_KB_NON_OPTIMIZED 221
#define IDS_NO_OPTIMIZATION_REQUIRED 222
#define IDS_OPTIMIZE_FOR_REPORT 223

#define IDS_ABORTED 1125
#define IDS_ABOUT_LINK 1126
#define IDS_ABOUT_TITLE 1129
#define IDS_AFTER_OPTIMIZATION 1130
#define IDS_ATTENTION_REQUIRED 1132
#define IDS_BEFORE_OPTIMIZATION 1133
#define IDS_CONFIRM_STOP_ON_CLOSE 1140
#define IDS_OPTIMIZED_SUCCESSFULLY 1141
#define IDS_VENDOR_NOTICE 1143
#define IDS_DAYS_AGO 1146
#define IDS_OPTIMIZATION_ABORTED 1147
#define IDS_OPTIMIZATION_COMPLETE 1148
#define IDS_SELECT_DESCRIPTION 1153
#define IDS_OPTIMIZATION_REQUIRED_IMMEDIATELY 1154
#define IDS_DATA_FRAGMENTATION_HEADING 1157
#define IDS_DISK_INFORMATION 1159
#define IDS_EMAIL_LABEL 1160
#define IDS_FRAGMENTED_FILES_FOUND 1163
#define IDS_VOLUME_FRAGMENTATION_HEADING 1164
#define IDS_FREE_SPACE 1166
#define IDS_HELP_LINK 1172
#define IDS_RECOMMENDED_ACTION 1175
#define IDS_LAST_DEFRAG_STATUS 1176
#define IDS_NO_FILES_NEED_DEFRAG 1182
#define IDS_NON_OPTIMIZED_FILES_FOUND 1184
#define IDS_MB_NON_OPTIMIZED 1185
#define IDS_SCANNING_NOT_PERFORMED 1187
#define IDS_CLICK 1191
#define IDS_TO_HELP_IMPROVE_SPEED 1193
#define IDS_TO_STOP_OPTIMIZATION 1195
#define IDS_NOT_EVALUATED 1197
#define IDS_DRIVE_NOT_SCANNED 1198
#define IDS_NO_OPTIMIZATION_DRIVE_OPTIMIZED 1201
#define IDS_ON 1202
#define IDS_OPTIMIZE_NOW 1204
#define IDS_STEP_OPTIMIZE 1205
#define IDS_OPTIMIZATION_REQUIRED 1208
#define IDS_VERSION_LABEL 1209
#define IDS_STEP_RESULTS 1216
#define IDS_SCANNING_PREFIX 1219
#define IDS_SERVICE_UNAVAILABLE 1221
#define IDS_STATUS_FRAGMENTED 1223
#define IDS_STATUS_OPTIMIZED 1225
#define IDS_CONFIRM_STOP_OPTIMIZATION 1226
#define IDS_STOP_NOW 1227
#define IDS_CONFIRM_STOP_SCAN 1228
#define IDS_STEP_SCAN 1233
#define IDS_DATA_FRAGMENTATION_LABEL 1235
#define IDS_VOLUME_FRAGMENTATION_LABEL 1236
#define IDS_TO_BE_ANALYZED 1237
#define IDS_TODAY 1238
#define IDS_TOTAL_DIRECTORIES 1240
#define IDS_TOTAL_FILES 1241
#define IDS_STATUS_UNKNOWN 1247
#define IDS_SCANNING_REQUIRED_IMMEDIATELY 1248
#define IDS_USED_SPACE 1252
#define IDS_LEGAL_NOTICE 1255
#define IDS_NOT_ENOUGH_FREE_SPACE 1256
#define IDS_WEBSITE_LABEL 1257
#define IDS_STEP_WELCOME 1258
#define IDS_YESTERDAY 1260
#define IDS_SCANNING_ABORTED 1264
#define IDS_ALREADY_DEFRAGMENTED 1266
#define IDS_SCANNING_TITLE 1267
#define IDS_SCANNING_DESCRIPTION 1268
#define IDS_OPTIMIZING_TITLE 1269
#define IDS_OPTIMIZING_DESCRIPTION 1270
#define IDS_NOW_SCANNING 1281
#define IDS_SCAN_HAS_DETECTED 1282
#define IDS_POTENTIAL_OPTIMIZATIONS 1283
#define IDS_OPTIMIZE_NOW_QUOTED 1295
#define IDS_VIEW_SUMMARY_REPORT 1297

// Texts the program shows that carry no number of their own elsewhere.
#define IDS_SYSTEM_DRIVE 1400        /* "System Drive" in drive labels */
#define IDS_DRIVE_NOT_OPTIMIZED 1401 /* action text for status 2 */
#define IDS_NOT_SCANNED 1402         /* initial last-status line */
#define IDS_NO_PREFIX 1403           /* "No " before "Fragmented Files found" */
#define IDS_INVALID_DATETIME 1404    /* a date that cannot be formatted */
#define IDS_LEGEND_FRAGMENTED 1405
#define IDS_LEGEND_OPTIMIZED 1406
#define IDS_LEGEND_USED 1407
#define IDS_LEGEND_MFT 1408
#define IDS_LEGEND_FREE 1409
#define IDS_LEGEND_PROCESSING 1410

// Solid-state drives
#define IDS_SSD_ACTION 1420         /* the selection page's recommended action */
#define IDS_SSD_STATUS 1421         /* the selection page's status line */
#define IDS_SSD_RECOMMENDATION 1422 /* the scan results page's recommendation */

// About window
#define IDS_ABOUT_VERSION_NUMBER 1440  /* the product version beside the title */
#define IDS_ABOUT_UNKNOWN_VERSION 1441 /* shown when the version resource cannot be read */

// Summary reports
#define IDS_REPORT_NOT_WRITTEN 1430 /* a report that could not be written; %s: its path */

// Reading a finished job's results
#define IDS_RESULTS_READ_COUNT 1450 /* %1: records read so far, %2: of how many */

// The names of the controls that show only a picture (their window text, read by
// assistive technology)
#define IDS_CAPTION_MINIMIZE 1460
#define IDS_CAPTION_CLOSE 1461
#define IDS_CAPTION_CHECK_UPDATES 1462
#define IDS_CAPTION_START_SCAN 1463
#define IDS_CAPTION_STOP 1464
#define IDS_CAPTION_SEE_RESULTS 1465
#define IDS_CAPTION_VIEW_REPORT 1466
#define IDS_CAPTION_CANCEL 1467
#define IDS_CAPTION_DEFRAG 1468
#define IDS_CAPTION_BACK 1469
#define IDS_CAPTION_OK 1470
#define IDS_CAPTION_MAP 1471      /* the cluster map */
#define IDS_CAPTION_PROGRESS 1472 /* the progress bar */
#define IDS_MAP_SHARE 1473        /* one state's share of the map: %1 the state, %2 the percent */
#define IDS_MAP_NOT_READ 1474     /* the map's value before the service sent one */

// ---- Dialog templates -------------------------------------------------------
#define IDD_ABOUT 16
#define IDD_MAIN 1112
#define IDD_DEFRAG_RESULTS 1113
#define IDD_PROGRESS 1114
#define IDD_CONTAINER 1116
#define IDD_SCAN_RESULTS 1118
#define IDD_SPLASH 1119
#define IDD_SELECT_DISK 1120

// ---- Menus, icons, cursors ---------------------------------------------------
#define IDR_TRAY_MENU 1122
#define IDI_APP 1123
#define IDC_HAND_CURSOR 1090

// ---- Commands ----------------------------------------------------------------
#define ID_TRAY_ABOUT 1009
#define ID_TRAY_EXIT 1010
#define ID_TRAY_RESTORE 1011
#define ID_OPEN_POPUP 1223

// ---- Controls ----------------------------------------------------------------
// Main window (1112)
#define IDC_MAIN_UPDATE 1073
#define IDC_MAIN_CLOSE 1074
#define IDC_MAIN_MINIMIZE 1076
// Drive selection (1120)
#define IDC_SELECT_DESCRIPTION 1106
#define IDC_SELECT_TITLE 1107
#define IDC_SELECT_DRIVES 1111
#define IDC_SELECT_CAPTION 1138
#define IDC_SELECT_HINT 1139
#define IDC_SELECT_START_SCAN 1085
#define IDC_SELECT_OPTIMIZE_NOW 1086
#define IDC_SELECT_SPARE 1087
// Progress (1114)
#define IDC_PROGRESS_SEE_RESULTS 1083
#define IDC_PROGRESS_STOP 1086
#define IDC_PROGRESS_MAP 1087
#define IDC_PROGRESS_STOP_DEFRAG 1088
#define IDC_PROGRESS_LEGEND_FRAGMENTED 1091
#define IDC_PROGRESS_LABEL_FRAGMENTED 1092
#define IDC_PROGRESS_LEGEND_OPTIMIZED 1093
#define IDC_PROGRESS_LABEL_OPTIMIZED 1094
#define IDC_PROGRESS_LEGEND_USED 1095
#define IDC_PROGRESS_LABEL_USED 1096
#define IDC_PROGRESS_LEGEND_MFT 1097
#define IDC_PROGRESS_LABEL_MFT 1098
#define IDC_PROGRESS_LEGEND_FREE 1099
#define IDC_PROGRESS_LABEL_FREE 1100
#define IDC_PROGRESS_LEGEND_PROCESSING 1101
#define IDC_PROGRESS_LABEL_PROCESSING 1102
#define IDC_PROGRESS_BAR 1103
#define IDC_PROGRESS_DESCRIPTION 1106
#define IDC_PROGRESS_TITLE 1107
#define IDC_PROGRESS_PATH 1109
#define IDC_PROGRESS_FOCUS 1110
#define IDC_PROGRESS_NOW_LABEL 1140
#define IDC_PROGRESS_VIEW_REPORT 1147
// Scan results (1118)
#define IDC_SCAN_CANCEL 1019
#define IDC_SCAN_DEFRAG 1084
#define IDC_SCAN_DESCRIPTION 1106
#define IDC_SCAN_TITLE 1107
#define IDC_SCAN_DETECTED 1144
// Optimization results (1113)
#define IDC_DEFRAG_BACK 1072
#define IDC_DEFRAG_TITLE 1105
#define IDC_DEFRAG_DESCRIPTION 1106
// About (16)
#define IDC_ABOUT_OK 1077
// Notification popup
#define IDC_POPUP_START_SCAN 1323
// The text links the windows paint, as controls the keyboard reaches (created by code)
#define IDC_PAGE_LINK 1600 /* the one link of a page */
#define IDC_MAIN_ABOUT_LINK 1601
#define IDC_MAIN_HELP_LINK 1602
#define IDC_ABOUT_WEBSITE_LINK 1603
#define IDC_ABOUT_EMAIL_LINK 1604

// ---- Bitmaps -------------------------------------------------------------------
// Main window frame and workflow panel
#define IDB_PANEL_SEPARATOR 283        /* 2 x 502 */
#define IDB_ABOUT_ICON 318             /* 16 x 16 */
#define IDB_HELP_ICON 319              /* 16 x 16 */
#define IDB_BANNER 320                 /* 842 x 74 */
#define IDB_STEP_WELCOME 330           /* 191 x 40 */
#define IDB_STEP_WELCOME_CURRENT 331   /* 191 x 40 */
#define IDB_FRAME_BOTTOM 1032          /* 842 x 23 */
#define IDB_FRAME_LEFT 1033            /* 6 x 599 */
#define IDB_FRAME_RIGHT 1035           /* 7 x 599 */
#define IDB_PANEL_BACKGROUND 1045      /* 1 x 502 */
#define IDB_STEP_SCAN 1055             /* 191 x 40 */
#define IDB_STEP_SCAN_CURRENT 1056     /* 191 x 40 */
#define IDB_STEP_RESULTS 1057          /* 191 x 40 */
#define IDB_STEP_RESULTS_CURRENT 1058  /* 191 x 40 */
#define IDB_STEP_OPTIMIZE 1059         /* 191 x 40 */
#define IDB_STEP_OPTIMIZE_CURRENT 1060 /* 191 x 40 */
#define IDB_SPLASH 1054                /* 424 x 231 */
// Hover button strips (three frames; 4S strips have four)
#define IDB_BUTTON_CLOSE 1012       /* 3 x (40 x 17) */
#define IDB_BUTTON_MINIMIZE 1013    /* 3 x (33 x 17) */
#define IDB_BUTTON_OK 1014          /* 3 x (103 x 26) */
#define IDB_BUTTON_CANCEL 1019      /* 3 x (118 x 34) */
#define IDB_BUTTON_UPDATE 1020      /* 3 x (150 x 20) */
#define IDB_BUTTON_BACK 1022        /* 3 x (156 x 35) */
#define IDB_BUTTON_DEFRAG 1025      /* 4 x (156 x 35) */
#define IDB_BUTTON_START_SCAN 1027  /* 3 x (146 x 34) */
#define IDB_BUTTON_STOP 1028        /* 3 x (62 x 22) */
#define IDB_BUTTON_SEE_RESULTS 1051 /* 3 x (152 x 34) */
#define IDB_BUTTON_VIEW_REPORT 324  /* 4 x (152 x 34) */
#define IDB_BUTTON_POPUP_SCAN 326   /* 3 x (143 x 29) */
#define IDB_BUTTON_OPTIMIZE_NOW 329 /* 3 x (146 x 34) */
// Drive selection page
#define IDB_SELECT_TITLE_ICON 288    /* 25 x 24 */
#define IDB_DRIVE_BOX_LEFT 290       /* 6 x 150 */
#define IDB_DRIVE_BOX_RIGHT 291      /* 6 x 150 */
#define IDB_DRIVE_BOX_TILE 292       /* 1 x 150 */
#define IDB_DRIVE_ICON 293           /* 28 x 28 */
#define IDB_ATTENTION_ICON 294       /* 25 x 24 */
#define IDB_STATUS_BOX_TILE 295      /* 1 x 170 */
#define IDB_STATUS_BOX_RIGHT_END 296 /* 6 x 170 */
#define IDB_STATUS_BOX_LEFT 297      /* 6 x 170 */
#define IDB_STATUS_BOX_RIGHT 298     /* 72 x 170 */
#define IDB_STATUS_RULE 299          /* 520 x 1 */
#define IDB_RULE 1043                /* 583 x 1 */
// Progress and results pages
#define IDB_FOOTER_STRIP 300        /* 2 x 64 */
#define IDB_SCAN_ICON 301           /* 25 x 24 */
#define IDB_OPTIMIZE_ICON 302       /* 25 x 24 */
#define IDB_RECOMMEND_ICON 303      /* 25 x 24 */
#define IDB_FRAGMENTED_BADGE 305    /* 172 x 53 */
#define IDB_NON_OPTIMIZED_BADGE 306 /* 172 x 53 */
#define IDB_BOX_TILE 307            /* 1 x 109 */
#define IDB_BOX_LEFT 308            /* 6 x 109 */
#define IDB_BOX_RIGHT 309           /* 6 x 109 */
#define IDB_RESULTS_HEADER_BAD 332  /* 650 x 105 */
#define IDB_RESULTS_HEADER_GOOD 335 /* 650 x 105 */
#define IDB_MAP_SPRITES 1030        /* 55 x 10 */
#define IDB_LEGEND_FREE 1037        /* 10 x 10 */
#define IDB_LEGEND_OPTIMIZED 1038   /* 10 x 10 */
#define IDB_LEGEND_USED 1039        /* 10 x 10 */
#define IDB_LEGEND_FRAGMENTED 1040  /* 10 x 10 */
#define IDB_LEGEND_MFT 1041         /* 10 x 10 */
#define IDB_LEGEND_PROCESSING 1042  /* 10 x 10 */
// About window and popup
#define IDB_ABOUT_BACKGROUND 321 /* 537 x 309 */
#define IDB_POPUP_BACKGROUND 325 /* 254 x 193 */

// Report images (resource type 2110)
#define RT_REPORT_IMAGE 2110
