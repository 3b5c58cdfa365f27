// The level shown in the lens for about a second after the user changed it: the program runs the
// commands, so it knows what changed, puts the new value's text into the options record and hands
// the record to the running engine. Only with the option "show_level" on and the lens on.
#pragma once

#include <string>

// Shows `text` (cut to the record's room) in the lens from its next frame.
void ShowLevel(const std::string& text);

// The first half of ShowLevel, for a caller that hands the record over itself together with a
// change of its own (one hand-over wakes the lens once): puts the text into the record when it is
// to be shown (true). Call with the engine lock held.
bool PutLevelText(const std::string& text);

// After the lens adjustment `command` ran: the new zoom, size or brightness (`brightness`, the
// engine's answer to a brightness step). Other commands show nothing.
void ShowAdjustment(unsigned command, int brightness);

// After a change of the view: its name, put into the record for the hand-over of the view.
void PutViewLevel();

// The lens goes off: the level in the record is cleared, so that the next run does not show it
// again (a run restarted for a new size gets its size after its start). Call with the engine
// lock held.
void ForgetLevel();
