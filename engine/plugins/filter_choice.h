// The filter chosen at a key: any plug-in file of the plug-in folder, switched on (.dll) or off
// (.lib), taken up by the frame after the main program named it, without a restart of the lens and
// without renaming a file. Runs on the magnifier thread, like the rest of the plug-in host.
#pragma once

#include "plugin_host.h"

// Makes `name` (a plug-in file's name without its extension; empty for none) the run's chosen
// filter. The filter chosen before is released (vxpiRelease) and freed; then "<name>.dll", or
// "<name>.lib" when there is no such file, is loaded and offered the run's lens (vxpiInit) like
// the folder's plug-ins. Nothing is loaded for a name that is no plain file name, for a switched-on
// file the run loaded already at its start (it filters once, in its place in the folder's order),
// or for a filter that faulted or declined earlier in the run. The same name again (in any case)
// changes nothing.
void ChooseFilter(PluginTable* table, const char (&name)[kFilterNameCapacity]);

// The chosen filter faulted: it stays switched off, and is not loaded again in this run.
void NoteUnusableFilter(ChosenFilter* chosen);
