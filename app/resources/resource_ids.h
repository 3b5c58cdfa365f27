/* Numeric resource and control identifiers, shared by the resource script and the code. */
#pragma once

#define VX_SPLASH_BITMAP 113
#define VX_SPLASH_BITMAP_2X 213 /* the same picture twice as large, for scaled displays */
#define VX_ABOUT_BOX 114
#define VX_ABOUT_OK 1041
#define VX_ABOUT_DONATE 1042
#define VX_ABOUT_HELP 1043

/* The settings dialog "SETUP". The hot-key control of slot n is VX_SETUP_HOTKEY_FIRST + n. */
#define VX_SETUP_SHOW_ALL 1003
#define VX_SETUP_SHOW_ONE_WINDOW 1004
#define VX_SETUP_WAIT 1007
#define VX_SETUP_WIDTH 1009
#define VX_SETUP_OK 1010
#define VX_SETUP_CANCEL 1011
#define VX_SETUP_HEIGHT 1013
#define VX_SETUP_DONATE 1014
#define VX_SETUP_HELP 1015
#define VX_SETUP_SHOW_ON_START 1016
#define VX_SETUP_INTERNAL_CURSOR 1017
#define VX_SETUP_ZOOM 1018
#define VX_SETUP_TRANSPARENCY 1019
#define VX_SETUP_HOTKEY_FIRST 1021
#define VX_SETUP_START_WITH_WINDOWS 1032
#define VX_SETUP_SOUND 1033
#define VX_SETUP_CURSOR_LIST 1034
#define VX_SETUP_FOLLOW_FOCUS 1035
#define VX_SETUP_SIZE_LIST 1037
#define VX_SETUP_ZOOM_LABEL 1038
#define VX_SETUP_TRANSPARENCY_LABEL 1040
#define VX_SETUP_WAIT_ARROWS 15
#define VX_SETUP_SIZE_ARROWS 80
