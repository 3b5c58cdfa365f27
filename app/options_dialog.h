// "Vexlume Options": the options of the options file, one row each (its label, then its control),
// in the program's language. OK stores every changed option and hands it to a running lens at
// once; Cancel and Esc change nothing.
#pragma once

// Opens the dialog, or brings the open one forward.
void OpenOptions();
