// The program's options beyond the settings record: what each is called in the options file and
// in the Options dialog, its default and the values it may take. No Windows headers.
#pragma once

#include <cstdint>

#include "engine_options.h"
#include "options_text.h"

struct ProgramOptions {
    EngineOptions engine; // handed to the engine after every change; its filterName is the
                          // file's "filter" (see ReadFilterChoice)
    uint32_t viewKey;     // hot-key control value that steps to the next view; 0 for none
    uint32_t smoothKey;   // hot-key control value that switches smooth scaling; 0 for none
    uint32_t wheelZoom;   // 1: the mouse wheel zooms while the wheel keys are held
    uint32_t wheelKeys;   // WheelKeys: the modifier keys held for wheel zoom
    uint32_t filterKey;   // hot-key control value that steps to the next filter; 0 for none
    uint32_t showLevel;   // 1: a change of zoom, size, brightness, filter or view shows in the lens
};

// Every option, in the order of the file's keys and of the Options dialog's rows.
enum OptionId : int {
    kOptionView,
    kOptionTracking,
    kOptionDockEdge,
    kOptionDockSize,
    kOptionViewKey,
    kOptionFullScreenZoom,
    kOptionDockZoom,
    kOptionSmooth,
    kOptionSmoothKey,
    kOptionWheelZoom,
    kOptionWheelKeys,
    kOptionFilterKey,
    kOptionShowLevel,
    kOptionCount,
};

enum class OptionKind {
    kChoice, // one of a few named values, 0 to high
    kNumber, // a whole number from low to high
    kHotKey, // a hot-key control value (key, Shift 0x100, Ctrl 0x200, Alt 0x400), 0 for none
    kSwitch, // 0 off, 1 on
};

struct OptionShape {
    OptionKind kind;
    uint32_t low;
    uint32_t high;
};

// The options of a program whose file sets none: the lens as it always was.
ProgramOptions DefaultProgramOptions();

// Every option from the last line of the text that sets it; an option that no line sets, or whose
// value is not one it may take, keeps its default without touching the others.
ProgramOptions ReadProgramOptions(const OptionsText& text);

// The filter chosen at the filter key, kept as "filter = <name>" (a plug-in file's name without
// its extension; an empty value for none), outside the table of options: it is no option of the
// Options dialog. A value that is no plain file name, or too long, counts as none.
void ReadFilterChoice(const OptionsText& text, ProgramOptions* options);
void WriteFilterChoice(OptionsText& text, const ProgramOptions& options);

// Writes option `id` of `options` into the text, keeping every other line (see SetOptionValue).
// An empty text first gets a comment that says what the file is.
void WriteProgramOption(OptionsText& text, const ProgramOptions& options, OptionId id);

const char* OptionKey(OptionId id); // the option's key in the file
OptionShape ShapeOf(OptionId id);
uint32_t OptionValue(const ProgramOptions& options, OptionId id);
// Sets the option when `value` is one it may take; false, with nothing changed, otherwise.
bool SetProgramOption(ProgramOptions* options, OptionId id, uint32_t value);

// What the Options dialog shows, in Russian (code page 1251) or English: the option's label and,
// for a choice, the name of each value.
const char* OptionLabel(OptionId id, bool russian);
const char* OptionChoiceText(OptionId id, uint32_t value, bool russian);
