#include "program_options.h"

#include <algorithm>
#include <string>

#include "ascii_case.h"
#include "hotkey_text.h"
#include "wheel_rules.h"

namespace {

constexpr uint32_t kCtrlAltM = 0x064D;
constexpr uint32_t kCtrlAltS = 0x0653;
constexpr uint32_t kCtrlAltI = 0x0649;
constexpr char kFilterKey[] = "filter";

// A label or a value's name in English and in Russian (code page 1251 bytes, kept as escapes
// so that this file stays ASCII).
struct Texts {
    const char* english;
    const char* russian;
};

struct Option {
    const char* key;
    OptionShape shape;
    uint32_t& (*field)(ProgramOptions&);
    Texts label;
    const char* const* fileNames; // kChoice: the value's name in the file, at its index
    const Texts* choiceTexts;     // kChoice: the value's name in the dialog, at its index
};

constexpr const char* kViewNames[] = {"lens", "fullscreen", "docked"};
constexpr Texts kViewTexts[] = {
    {"Lens", "\xCB\xF3\xEF\xE0"},
    {"Full screen", "\xC2\xE5\xF1\xFC \xFD\xEA\xF0\xE0\xED"},
    {"Docked", "\xC7\xE0\xEA\xF0\xE5\xEF\xEB\xB8\xED\xED\xE0\xFF \xEE\xE1\xEB\xE0\xF1\xF2\xFC"},
};
constexpr const char* kTrackingNames[] = {"centred", "proportional", "push"};
constexpr Texts kTrackingTexts[] = {
    {"Keep the pointer centred", "\xC4\xE5\xF0\xE6\xE0\xF2\xFC \xE2 \xF6\xE5\xED\xF2\xF0\xE5"},
    {"Proportional", "\xCF\xF0\xEE\xEF\xEE\xF0\xF6\xE8\xEE\xED\xE0\xEB\xFC\xED\xEE"},
    {"Push at the edge", "\xD1\xE4\xE2\xE8\xE3\xE0\xF2\xFC \xF3 \xEA\xF0\xE0\xFF"},
};
constexpr const char* kDockEdgeNames[] = {"top", "bottom", "left", "right"};
constexpr Texts kDockEdgeTexts[] = {
    {"Top", "\xD1\xE2\xE5\xF0\xF5\xF3"},
    {"Bottom", "\xD1\xED\xE8\xE7\xF3"},
    {"Left", "\xD1\xEB\xE5\xE2\xE0"},
    {"Right", "\xD1\xEF\xF0\xE0\xE2\xE0"},
};
constexpr const char* kWheelKeysNames[] = {"ctrl+alt", "ctrl+shift", "ctrl", "ctrl+alt+shift"};
constexpr Texts kWheelKeysTexts[] = {
    {"Ctrl+Alt", "Ctrl+Alt"},
    {"Ctrl+Shift", "Ctrl+Shift"},
    {"Ctrl", "Ctrl"},
    {"Ctrl+Alt+Shift", "Ctrl+Alt+Shift"},
};
static_assert(sizeof(kViewNames) / sizeof(*kViewNames) == kViewCount, "a name for every view");
static_assert(sizeof(kWheelKeysNames) / sizeof(*kWheelKeysNames) == kWheelKeysCount, "names");
static_assert(sizeof(kWheelKeysTexts) / sizeof(*kWheelKeysTexts) == kWheelKeysCount, "names");
static_assert(sizeof(kViewTexts) / sizeof(*kViewTexts) == kViewCount, "names");
static_assert(sizeof(kTrackingNames) / sizeof(*kTrackingNames) == kTrackingCount, "names");
static_assert(sizeof(kTrackingTexts) / sizeof(*kTrackingTexts) == kTrackingCount, "names");
static_assert(sizeof(kDockEdgeNames) / sizeof(*kDockEdgeNames) == kDockEdgeCount, "names");
static_assert(sizeof(kDockEdgeTexts) / sizeof(*kDockEdgeTexts) == kDockEdgeCount, "names");

constexpr OptionShape Choice(uint32_t count) {
    return {OptionKind::kChoice, 0, count - 1};
}
constexpr OptionShape kHotKey = {OptionKind::kHotKey, 0, 0xFFFF};
constexpr OptionShape kSwitch = {OptionKind::kSwitch, 0, 1};
constexpr OptionShape kViewZoom = {OptionKind::kNumber, kMinViewZoom, kMaxViewZoom};

constexpr Option kOptions[kOptionCount] = {
    {"view",
     Choice(kViewCount),
     [](ProgramOptions& o) -> uint32_t& { return o.engine.view; },
     {"View", "\xC2\xE8\xE4"},
     kViewNames,
     kViewTexts},
    {"fullscreen_tracking",
     Choice(kTrackingCount),
     [](ProgramOptions& o) -> uint32_t& { return o.engine.tracking; },
     {"Full-screen tracking",
      "\xD1\xEB\xE5\xE6\xE5\xED\xE8\xE5 \xE2\xEE \xE2\xE5\xF1\xFC \xFD\xEA\xF0\xE0\xED"},
     kTrackingNames,
     kTrackingTexts},
    {"dock_edge",
     Choice(kDockEdgeCount),
     [](ProgramOptions& o) -> uint32_t& { return o.engine.dockEdge; },
     {"Docked view's edge", "\xCA\xF0\xE0\xE9 \xE7\xE0\xEA\xF0\xE5\xEF\xEB\xB8\xED\xED\xEE\xE9 "
                            "\xEE\xE1\xEB\xE0\xF1\xF2\xE8"},
     kDockEdgeNames,
     kDockEdgeTexts},
    {"dock_size_percent",
     {OptionKind::kNumber, kMinDockPercent, kMaxDockPercent},
     [](ProgramOptions& o) -> uint32_t& { return o.engine.dockPercent; },
     {"Docked view's size, % of the screen",
      "\xD0\xE0\xE7\xEC\xE5\xF0 \xE7\xE0\xEA\xF0\xE5\xEF\xEB\xB8\xED\xED\xEE\xE9 "
      "\xEE\xE1\xEB\xE0\xF1\xF2\xE8, % \xFD\xEA\xF0\xE0\xED\xE0"},
     nullptr,
     nullptr},
    {"view_hotkey",
     kHotKey,
     [](ProgramOptions& o) -> uint32_t& { return o.viewKey; },
     {"Next view key", "\xCA\xEB\xE0\xE2\xE8\xF8\xE0 \xF1\xEC\xE5\xED\xFB \xE2\xE8\xE4\xE0"},
     nullptr,
     nullptr},
    {"fullscreen_zoom_percent",
     kViewZoom,
     [](ProgramOptions& o) -> uint32_t& { return o.engine.fullScreenZoom; },
     {"Full-screen zoom, %", "\xD3\xE2\xE5\xEB\xE8\xF7\xE5\xED\xE8\xE5 \xE2\xEE "
                             "\xE2\xE5\xF1\xFC \xFD\xEA\xF0\xE0\xED, %"},
     nullptr,
     nullptr},
    {"dock_zoom_percent",
     kViewZoom,
     [](ProgramOptions& o) -> uint32_t& { return o.engine.dockZoom; },
     {"Docked view's zoom, %", "\xD3\xE2\xE5\xEB\xE8\xF7\xE5\xED\xE8\xE5 "
                               "\xE7\xE0\xEA\xF0\xE5\xEF\xEB\xB8\xED\xED\xEE\xE9 "
                               "\xEE\xE1\xEB\xE0\xF1\xF2\xE8, %"},
     nullptr,
     nullptr},
    {"smooth",
     kSwitch,
     [](ProgramOptions& o) -> uint32_t& { return o.engine.smooth; },
     {"Smooth image", "\xD1\xE3\xEB\xE0\xE6\xE5\xED\xED\xEE\xE5 "
                      "\xE8\xE7\xEE\xE1\xF0\xE0\xE6\xE5\xED\xE8\xE5"},
     nullptr,
     nullptr},
    {"smooth_hotkey",
     kHotKey,
     [](ProgramOptions& o) -> uint32_t& { return o.smoothKey; },
     {"Smooth image key", "\xCA\xEB\xE0\xE2\xE8\xF8\xE0 "
                          "\xF1\xE3\xEB\xE0\xE6\xE8\xE2\xE0\xED\xE8\xFF"},
     nullptr,
     nullptr},
    {"wheel_zoom",
     {OptionKind::kSwitch, 0, 1},
     [](ProgramOptions& o) -> uint32_t& { return o.wheelZoom; },
     {"Zoom with the mouse wheel",
      "\xCC\xE0\xF1\xF8\xF2\xE0\xE1 \xEA\xEE\xEB\xE5\xF1\xEE\xEC \xEC\xFB\xF8\xE8"},
     nullptr,
     nullptr},
    {"wheel_zoom_keys",
     Choice(kWheelKeysCount),
     [](ProgramOptions& o) -> uint32_t& { return o.wheelKeys; },
     {"Keys held for wheel zoom", "\xCA\xEB\xE0\xE2\xE8\xF8\xE8 \xE4\xEB\xFF "
                                  "\xEC\xE0\xF1\xF8\xF2\xE0\xE1\xE0 \xEA\xEE\xEB\xE5\xF1\xEE\xEC"},
     kWheelKeysNames,
     kWheelKeysTexts},
    {"filter_hotkey",
     kHotKey,
     [](ProgramOptions& o) -> uint32_t& { return o.filterKey; },
     {"Next filter key", "\xCA\xEB\xE0\xE2\xE8\xF8\xE0 \xF1\xEC\xE5\xED\xFB "
                         "\xF4\xE8\xEB\xFC\xF2\xF0\xE0"},
     nullptr,
     nullptr},
    {"show_level",
     {OptionKind::kSwitch, 0, 1},
     [](ProgramOptions& o) -> uint32_t& { return o.showLevel; },
     {"Show each new zoom, size, brightness, filter or view",
      "\xCF\xEE\xEA\xE0\xE7\xFB\xE2\xE0\xF2\xFC \xED\xEE\xE2\xFB\xE9 "
      "\xEC\xE0\xF1\xF8\xF2\xE0\xE1, \xF0\xE0\xE7\xEC\xE5\xF0, "
      "\xFF\xF0\xEA\xEE\xF1\xF2\xFC, \xF4\xE8\xEB\xFC\xF2\xF0 \xE8\xEB\xE8 \xE2\xE8\xE4"},
     nullptr,
     nullptr},
};

const char kFileComment[] =
    "# Vexlume options: one \"key = value\" a line. Vexlume keeps comments and lines it does "
    "not\r\n"
    "# know when it changes a value; a value it cannot use counts as the option's default.\r\n";

const char* const kSwitchNames[] = {"off", "on"};

// A decimal number of at most nine digits, no sign.
bool ParseNumber(const std::string& text, uint32_t* number) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    uint32_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        n = n * 10 + static_cast<uint32_t>(c - '0');
    }
    *number = n;
    return true;
}

bool ParseValue(const Option& option, const std::string& text, uint32_t* value) {
    switch (option.shape.kind) {
    case OptionKind::kChoice:
        for (uint32_t i = 0; i <= option.shape.high; ++i) {
            if (SameIgnoringCase(text, option.fileNames[i])) {
                *value = i;
                return true;
            }
        }
        return false;
    case OptionKind::kNumber:
        return ParseNumber(text, value) && *value >= option.shape.low &&
               *value <= option.shape.high;
    case OptionKind::kHotKey:
        return ParseHotKeyText(text, value);
    case OptionKind::kSwitch:
        for (uint32_t i = 0; i < 2; ++i) {
            if (SameIgnoringCase(text, kSwitchNames[i])) {
                *value = i;
                return true;
            }
        }
        return false;
    }
    return false;
}

std::string ValueText(const Option& option, uint32_t value) {
    switch (option.shape.kind) {
    case OptionKind::kChoice:
        return option.fileNames[value <= option.shape.high ? value : 0];
    case OptionKind::kNumber:
        return std::to_string(value);
    case OptionKind::kHotKey:
        return HotKeyText(value);
    case OptionKind::kSwitch:
        return kSwitchNames[value != 0];
    }
    return {};
}

bool Known(OptionId id) {
    return id >= 0 && id < kOptionCount;
}

bool Takes(const OptionShape& shape, uint32_t value) {
    return value >= shape.low && value <= shape.high;
}

} // namespace

ProgramOptions DefaultProgramOptions() {
    ProgramOptions options = {};
    options.engine = kDefaultEngineOptions;
    options.viewKey = kCtrlAltM;
    options.smoothKey = kCtrlAltS;
    options.wheelZoom = 1;
    options.wheelKeys = kWheelCtrlAlt;
    options.filterKey = kCtrlAltI;
    options.showLevel = 1;
    return options;
}

ProgramOptions ReadProgramOptions(const OptionsText& text) {
    ProgramOptions options = DefaultProgramOptions();
    std::string stored;
    for (const Option& option : kOptions) {
        uint32_t value = 0;
        if (FindOptionValue(text, option.key, &stored) && ParseValue(option, stored, &value)) {
            option.field(options) = value;
        }
    }
    ReadFilterChoice(text, &options);
    return options;
}

void ReadFilterChoice(const OptionsText& text, ProgramOptions* options) {
    char(&name)[kFilterNameCapacity] = options->engine.filterName;
    std::string stored;
    name[0] = '\0';
    if (FindOptionValue(text, kFilterKey, &stored) && stored.size() < kFilterNameCapacity) {
        stored.copy(name, stored.size());
        name[stored.size()] = '\0';
        if (!IsPlainFileName(name)) {
            name[0] = '\0';
        }
    }
}

void WriteFilterChoice(OptionsText& text, const ProgramOptions& options) {
    if (text.lines.empty()) {
        text = ParseOptionsText(kFileComment);
    }
    const char* name = options.engine.filterName;
    SetOptionValue(text, kFilterKey,
                   std::string(name, std::find(name, name + kFilterNameCapacity, '\0')));
}

void WriteProgramOption(OptionsText& text, const ProgramOptions& options, OptionId id) {
    if (!Known(id)) {
        return;
    }
    if (text.lines.empty()) {
        text = ParseOptionsText(kFileComment);
    }
    SetOptionValue(text, kOptions[id].key, ValueText(kOptions[id], OptionValue(options, id)));
}

const char* OptionKey(OptionId id) {
    return Known(id) ? kOptions[id].key : "";
}

OptionShape ShapeOf(OptionId id) {
    return Known(id) ? kOptions[id].shape : OptionShape{OptionKind::kNumber, 0, 0};
}

uint32_t OptionValue(const ProgramOptions& options, OptionId id) {
    ProgramOptions copy = options;
    return Known(id) ? kOptions[id].field(copy) : 0;
}

bool SetProgramOption(ProgramOptions* options, OptionId id, uint32_t value) {
    if (!Known(id) || !Takes(kOptions[id].shape, value)) {
        return false;
    }
    kOptions[id].field(*options) = value;
    return true;
}

const char* OptionLabel(OptionId id, bool russian) {
    if (!Known(id)) {
        return "";
    }
    return russian ? kOptions[id].label.russian : kOptions[id].label.english;
}

const char* OptionChoiceText(OptionId id, uint32_t value, bool russian) {
    if (!Known(id) || kOptions[id].choiceTexts == nullptr || value > kOptions[id].shape.high) {
        return "";
    }
    const Texts& texts = kOptions[id].choiceTexts[value];
    return russian ? texts.russian : texts.english;
}
