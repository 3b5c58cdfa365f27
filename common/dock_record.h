// The record of a docked view's reservation, kept in the marker file "docked-view.marker" beside
// the settings for as long as the engine holds a strip of the screen through the shell, and the
// rule by which the next start of the program gives back a reservation that a crash left. No
// Windows headers: both binaries share it, and it is unit-tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine_options.h"

constexpr char kDockMarkerName[] = "docked-view.marker";
// A marker longer than this is none of ours.
constexpr size_t kMaxDockMarkerBytes = 1024;

// Left, top, right, bottom; right and bottom exclusive.
struct AreaRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

bool operator==(const AreaRect& a, const AreaRect& b);

struct DockRecord {
    uint32_t window;   // the view's window handle, as a number
    uint32_t edge;     // DockEdge
    AreaRect strip;    // the strip the shell granted
    AreaRect workArea; // the monitor's work area before the strip was reserved
};

// What is left of `area` beside a strip along its `edge`: the area's side at that edge moved to
// the strip's inner side (when the strip reaches into the area).
AreaRect AreaBesideStrip(const AreaRect& area, const AreaRect& strip, uint32_t edge);

// The marker's text: a line that names it, then one "key=value" line for each member.
std::string DockRecordText(const DockRecord& record);
// False when `text` is not such a text (every member once, numbers in range).
bool ParseDockRecord(std::string_view text, DockRecord* record);

// A crash left the record's strip reserved: when the monitor's work area `current` is still the
// recorded one less the strip, the recorded one goes into `restore` and the result is true. A
// work area the shell or the user changed since is left as it is.
bool WorkAreaToRestore(const DockRecord& record, const AreaRect& current, AreaRect* restore);
