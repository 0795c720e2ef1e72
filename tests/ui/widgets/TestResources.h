// Resource numbers of the toolkit test program's own resources (uikit_tests.rc).
#pragma once

// Strips whose frames are solid colours (art/make_art.py).
#define IDB_TEST_STRIP3 501        // 3 frames of 103 x 10: red, green, blue
#define IDB_TEST_STRIP4 502        // 4 frames of 152 x 12: red, green, blue, yellow
#define IDB_TEST_STRIP3_SMALL 503  // 3 frames of 50 x 8: cyan, magenta, plum
#define IDB_TEST_MISSING 599       // no such resource

// A dialog with two owner-drawn push buttons.
#define IDD_TEST_BUTTONS 600
#define IDC_TEST_PLAIN 601
#define IDC_TEST_FOUR 602
