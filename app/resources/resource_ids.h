/* Numeric resource and control identifiers, shared by the resource script and the code. */
#pragma once

#define VX_SPLASH_BITMAP 113
#define VX_ABOUT_BOX 114
#define VX_ABOUT_OK 1041
#define VX_ABOUT_DONATE 1042
#define VX_ABOUT_HELP 1043
