// The options file "options.ini" beside settings.dat in the application-data folder: the options
// of program_options.h as lines a person can read and edit.
#pragma once

#include "program_options.h"

// The options the file sets, and the defaults for the rest. A file that is missing, a folder,
// held open by another program, longer than kMaxOptionsFileBytes or not text at all gives the
// defaults for what it does not set. Never writes.
ProgramOptions LoadOptions();

// Stores option `id` of `options`: the file as it is on disk now, with that one value changed or
// added and every other line kept, goes first into "options.new" beside it, which then replaces
// it. A file that exists but cannot be read, and one the user made read-only, is left as it is.
// Returns 1 when the new file is in place, 0 when the file on disk is unchanged.
int SaveOption(const ProgramOptions& options, OptionId id);
// Stores the filter chosen at the filter key in the same way.
int SaveFilterChoice(const ProgramOptions& options);
