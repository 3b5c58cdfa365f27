// The marker the pointer hider leaves while the system pointer is hidden: which process hid it.
// No Windows headers. A marker found when no process of its owner runs any more means that the
// owner ended without giving the pointer back.
#pragma once

#include <cstdint>
#include <string>

// A process, told apart from a later one with the same identifier by its start time.
struct MarkerOwner {
    uint32_t processId = 0;
    uint64_t startTime = 0; // the process's creation time, in the system's file-time units
};

// The marker's text: "pointer hidden by process <id> started <time>\r\n".
std::string FormatPointerMarker(const MarkerOwner& owner);

// Reads a marker's text; false when it is not one (cut short, or not written by this library).
bool ParsePointerMarker(const std::string& text, MarkerOwner* owner);
