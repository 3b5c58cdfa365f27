#include "program_options.h"

#include <string>

#include "hotkey_text.h"

namespace {

constexpr uint32_t kCtrlAltM = 0x064D;

enum class Kind { kChoice, kNumber, kHotKey };

struct Option {
    const char* key;
    Kind kind;
    uint32_t& (*field)(ProgramOptions&);
    const char* const* names; // kChoice: the value's name at its index
    uint32_t low, high;       // kChoice: 0 and the name count - 1; kNumber: the range
};

constexpr const char* kViewNames[] = {"lens", "fullscreen", "docked"};
constexpr const char* kTrackingNames[] = {"centred", "proportional", "push"};
constexpr const char* kDockEdgeNames[] = {"top", "bottom", "left", "right"};
static_assert(sizeof(kViewNames) / sizeof(*kViewNames) == kViewCount, "a name for every view");
static_assert(sizeof(kTrackingNames) / sizeof(*kTrackingNames) == kTrackingCount, "names");
static_assert(sizeof(kDockEdgeNames) / sizeof(*kDockEdgeNames) == kDockEdgeCount, "names");

constexpr Option kOptions[kOptionCount] = {
    {"view", Kind::kChoice, [](ProgramOptions& o) -> uint32_t& { return o.engine.view; },
     kViewNames, 0, kViewCount - 1},
    {"fullscreen_tracking", Kind::kChoice,
     [](ProgramOptions& o) -> uint32_t& { return o.engine.tracking; }, kTrackingNames, 0,
     kTrackingCount - 1},
    {"dock_edge", Kind::kChoice, [](ProgramOptions& o) -> uint32_t& { return o.engine.dockEdge; },
     kDockEdgeNames, 0, kDockEdgeCount - 1},
    {"dock_size_percent", Kind::kNumber,
     [](ProgramOptions& o) -> uint32_t& { return o.engine.dockPercent; }, nullptr, kMinDockPercent,
     kMaxDockPercent},
    {"view_hotkey", Kind::kHotKey, [](ProgramOptions& o) -> uint32_t& { return o.viewKey; },
     nullptr, 0, 0},
};

const char kFileComment[] =
    "# Vexlume options: one \"key = value\" a line. Vexlume keeps comments and lines it does "
    "not\r\n"
    "# know when it changes a value; a value it cannot use counts as the option's default.\r\n";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

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
    switch (option.kind) {
    case Kind::kChoice:
        for (uint32_t i = option.low; i <= option.high; ++i) {
            if (SameText(text, option.names[i])) {
                *value = i;
                return true;
            }
        }
        return false;
    case Kind::kNumber:
        return ParseNumber(text, value) && *value >= option.low && *value <= option.high;
    case Kind::kHotKey:
        return ParseHotKeyText(text, value);
    }
    return false;
}

std::string ValueText(const Option& option, uint32_t value) {
    switch (option.kind) {
    case Kind::kChoice:
        return option.names[value <= option.high ? value : option.low];
    case Kind::kNumber:
        return std::to_string(value);
    case Kind::kHotKey:
        return HotKeyText(value);
    }
    return {};
}

} // namespace

ProgramOptions DefaultProgramOptions() {
    ProgramOptions options = {};
    options.engine = kDefaultEngineOptions;
    options.viewKey = kCtrlAltM;
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
    return options;
}

void WriteProgramOption(OptionsText& text, const ProgramOptions& options, OptionId id) {
    if (id < 0 || id >= kOptionCount) {
        return;
    }
    if (text.lines.empty()) {
        text = ParseOptionsText(kFileComment);
    }
    const Option& option = kOptions[id];
    ProgramOptions copy = options;
    SetOptionValue(text, option.key, ValueText(option, option.field(copy)));
}

const char* OptionKey(OptionId id) {
    return id >= 0 && id < kOptionCount ? kOptions[id].key : "";
}
