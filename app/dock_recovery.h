// A docked view's strip left reserved by a program that ended without giving it back (it crashed
// or was ended from outside) is given back when the program starts again.
#pragma once

// When the docked view's marker lies in the application-data folder: asks the shell to drop the
// strip of the window it names, when that window is gone, and sets the monitor's work area back
// to the one recorded, when it still lacks the strip; then removes the marker. A marker that is
// not ours is removed and nothing else is done.
void RecoverDockedStrip();

// The same with the marker named by full path.
void RecoverDockedStripWith(const char* marker);
