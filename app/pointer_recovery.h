// A pointer left hidden by a lens that could not give it back (the program ended from outside or
// crashed while the lens drew its own pointer) comes back when the program starts again.
#pragma once

// When the pointer hider's marker lies in the application-data folder, loads the pointer hider
// from the program's folder and asks it to show the pointer: its first call gives back what a
// process that no longer runs left hidden. Nothing happens without the marker or the library.
void RecoverHiddenPointer();

// The same with the marker and the library named by full path.
void RecoverHiddenPointerWith(const char* marker, const char* library);
