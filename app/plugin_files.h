// Plug-in libraries by file name: which names the Plug-Ins menu lists, the text it shows for
// them, and the rename that switches a plug-in off (dll -> lib) and on (lib -> dll).
// No Windows headers.
#pragma once

#include <string>

// The menu lists at most this many plug-ins; commands 10000 to 11023 stay below 11025.
constexpr int kMaxPlugins = 1024;

enum PluginFileState {
    kNotAPlugin,
    kPluginOn,  // name ends in "dll" (any case): listed with a check mark
    kPluginOff, // name ends in "lib" (any case): listed without
};

PluginFileState ClassifyPluginFile(const std::string& name);

// The menu text: the name without its last four characters (the dot and the extension); the
// whole name when nothing would be left.
std::string PluginMenuText(const std::string& name);

// Switches the name in place: a last character 'l' or 'L' makes the last three "lib", 'b' or
// 'B' makes them "dll"; always lower case. Names shorter than three characters stay.
void SwitchPluginExtension(std::string& name);
