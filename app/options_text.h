// The text of the options file: lines of "key = value" that a person may read and edit, with
// comments (lines starting with # or ;), blank lines and keys this program does not know, all
// kept as written when the program changes a value. No Windows headers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A file longer than this is no options file of ours: it is neither read nor replaced.
constexpr size_t kMaxOptionsFileBytes = 4 * 1024 * 1024;

struct OptionsText {
    // Every line with its own line end ("\r\n", "\n" or none for the last), so that the text
    // written back is byte for byte the text read, but for the values the program set.
    std::vector<std::string> lines;
};

OptionsText ParseOptionsText(std::string_view bytes);
std::string OptionsTextBytes(const OptionsText& text);

// The value of the last line that sets `key` (compared without regard to ASCII case), without
// the spaces around it; false when no line sets it.
bool FindOptionValue(const OptionsText& text, std::string_view key, std::string* value);

// Sets `key` to `value` (which holds no line end): the last line that sets the key gets the new
// value after its "=" and keeps its key as written; without such a line, "key=value" is added at
// the end. Every other line stays as it was.
void SetOptionValue(OptionsText& text, std::string_view key, std::string_view value);
