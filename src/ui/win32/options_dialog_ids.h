// Resource and control identifiers of the options dialog.
#pragma once

#define IDD_OPTIONS 2000
#define IDC_HK_SHIFT 2001
#define IDC_HK_ALT 2002
#define IDC_HK_STRG 2003
#define IDC_HK_LIST 2004
#define IDC_PATH 2010
#define IDC_DEFAULT_PATH 2011
// The button array Btn 0..6: IDC_BTN0 + index.
#define IDC_BTN0 2020
#define IDC_BTN1 2021
#define IDC_BTN2 2022
#define IDC_BTN3 2023
#define IDC_BTN4 2024
#define IDC_BTN5 2025
#define IDC_BTN6 2026
#define IDC_PUMACT0 2030
#define IDC_PUMACT1 2031
#define IDC_BYCLICK0 2032
#define IDC_BYCLICK1 2033
#define IDC_POS0 2040
#define IDC_POS1 2041
#define IDC_POS2 2042
#define IDC_POS3 2043
#define IDC_COLSAMPLE 2050
#define IDC_REDCIRCLE 2051
#define IDC_PICTURE 2052
#define IDC_PUMMODE 2060
#define IDC_AUTOSTART 2061
#define IDC_SEARCHWINDOW 2062
#define IDC_CHANGEBALLOON 2063
