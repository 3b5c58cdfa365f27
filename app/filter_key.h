// The filter key: steps the lens through no filter and each installed filter in turn, at once and
// without a restart of the lens or a renamed file, and remembers the choice in the options file.
#pragma once

// The next filter after the one chosen now (see NextFilter), handed to a running engine, stored
// and shown in the lens by its name.
void StepToNextFilter();
