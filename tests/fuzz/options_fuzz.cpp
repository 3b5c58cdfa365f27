// The options file's reader fed arbitrary file contents under libFuzzer: whatever the bytes, the
// text writes back exactly as read, every option reads within its range, and storing an option
// changes that option and nothing else of the file or of the other options.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine_options_reading.h"
#include "program_options.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool SameOptions(const ProgramOptions& a, const ProgramOptions& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const OptionsText text = ParseOptionsText(bytes);
    Require(OptionsTextBytes(text) == bytes);

    const ProgramOptions read = ReadProgramOptions(text);
    EngineOptions engine = ReadEngineOptions(&read.engine);
    // The texts are no live fields: the engine takes them at a hand-over.
    engine.levelTick = read.engine.levelTick;
    std::memcpy(engine.levelText, read.engine.levelText, sizeof(engine.levelText));
    std::memcpy(engine.filterName, read.engine.filterName, sizeof(engine.filterName));
    Require(std::memcmp(&engine, &read.engine, sizeof(engine)) == 0); // all within range
    Require(read.engine.filterName[0] == '\0' || IsPlainFileName(read.engine.filterName));

    // Each option set to a value other than the one read, from the bytes themselves.
    for (int id = 0; id < kOptionCount; ++id) {
        ProgramOptions changed = read;
        const uint32_t pick = size > 0 ? data[static_cast<size_t>(id) % size] : 0;
        // A value of the option's shape other than the one read, chosen by the bytes.
        const OptionId option = static_cast<OptionId>(id);
        const OptionShape shape = ShapeOf(option);
        const uint32_t current = OptionValue(read, option);
        uint32_t other = 0;
        if (shape.kind == OptionKind::kHotKey) {
            other = current == 0 ? 0x600u | (0x41u + pick % 26) : 0;
        } else {
            const uint32_t span = shape.high - shape.low + 1;
            other = shape.low + (current - shape.low + 1 + pick % (span - 1)) % span;
        }
        if (!SetProgramOption(&changed, option, other)) {
            continue;
        }
        OptionsText written = text;
        WriteProgramOption(written, changed, option);
        Require(SameOptions(ReadProgramOptions(written), changed));
        // Only the option's own line changed, or one line (and a comment on an empty file) came.
        Require(written.lines.size() >= text.lines.size() &&
                written.lines.size() <= text.lines.size() + 3);
        size_t differing = 0;
        for (size_t i = 0; i + 1 < text.lines.size(); ++i) {
            differing += written.lines[i] != text.lines[i];
        }
        Require(differing <= 1);
    }
    return 0;
}
