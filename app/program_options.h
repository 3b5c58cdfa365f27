// The program's options beyond the settings record: what each is called in the options file,
// its default and the values it may take. No Windows headers.
#pragma once

#include <cstdint>

#include "engine_options.h"
#include "options_text.h"

struct ProgramOptions {
    EngineOptions engine; // handed to the engine, which reads it live
    uint32_t viewKey;     // hot-key control value that steps to the next view; 0 for none
};

enum OptionId : int {
    kOptionView,
    kOptionTracking,
    kOptionDockEdge,
    kOptionDockSize,
    kOptionViewKey,
    kOptionCount,
};

// The options of a program whose file sets none: the lens as it always was.
ProgramOptions DefaultProgramOptions();

// Every option from the last line of the text that sets it; an option that no line sets, or whose
// value is not one it may take, keeps its default without touching the others.
ProgramOptions ReadProgramOptions(const OptionsText& text);

// Writes option `id` of `options` into the text, keeping every other line (see SetOptionValue).
// An empty text first gets a comment that says what the file is.
void WriteProgramOption(OptionsText& text, const ProgramOptions& options, OptionId id);

// The option's key in the file.
const char* OptionKey(OptionId id);
