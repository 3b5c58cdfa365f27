// The level shown in the lens for about a second after the user changed it: the program runs the
// commands, so it knows what changed, puts the new value's text into the options record and hands
// the record to the running engine. Only with the option "show_level" on and the lens on.
#pragma once

#include <string>

// Shows `text` (cut to the record's room) in the lens from its next frame.
void ShowLevel(const std::string& text);

// After the lens adjustment `command` ran: the new zoom, size or brightness (`brightness`, the
// engine's answer to a brightness step). Other commands show nothing.
void ShowAdjustment(unsigned command, int brightness);

// After a change of the view: its name.
void ShowView();
