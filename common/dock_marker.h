// The docked view's marker file in the application-data folder, written by the engine while it
// holds a strip of the screen and read by the program's next start after a crash; and the work
// area of the monitor a strip lies on, which the shell shrinks while the strip is reserved.
#pragma once

#include <windows.h>

#include "dock_record.h"
#include "path_join.h"

// The marker's full path (kPathCapacity characters); 0 with `path` empty without the folder.
int ComposeDockMarkerPath(char* path);

// Replaces the marker at `path` with `record`; false when it cannot be written whole.
bool WriteDockMarker(const char* path, const DockRecord& record);
// The record in the marker at `path`; false when there is none, or none of ours.
bool ReadDockMarker(const char* path, DockRecord* record);

// The work area of the monitor that holds the most of `area`. For the primary monitor it is the
// system's work area (SPI_GETWORKAREA), the one SPI_SETWORKAREA sets.
AreaRect MonitorWorkArea(const AreaRect& area);
// Sets the work area of the monitor that holds `area` and tells the programs (SPI_SETWORKAREA).
bool SetMonitorWorkArea(const AreaRect& area);
