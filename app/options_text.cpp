#include "options_text.h"

#include "ascii_case.h"

namespace {

constexpr std::string_view kSpaces = " \t";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(kSpaces);
    return text.substr(first, last - first + 1);
}

// The line without its line end.
std::string_view Content(const std::string& line) {
    std::string_view content(line);
    if (!content.empty() && content.back() == '\n') {
        content.remove_suffix(1);
        if (!content.empty() && content.back() == '\r') {
            content.remove_suffix(1);
        }
    }
    return content;
}

// Where the "=" of a line that sets `key` stands, or npos for a comment, a blank line, a line
// without "=" or one that sets another key.
size_t SetterOf(std::string_view content, std::string_view key) {
    const std::string_view body = Trim(content);
    if (body.empty() || body.front() == '#' || body.front() == ';') {
        return std::string_view::npos;
    }
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos ||
        !SameIgnoringCase(Trim(content.substr(0, equals)), key)) {
        return std::string_view::npos;
    }
    return equals;
}

// The index of the last line that sets `key`, or the line count.
size_t LastSetter(const OptionsText& text, std::string_view key) {
    for (size_t i = text.lines.size(); i-- > 0;) {
        if (SetterOf(Content(text.lines[i]), key) != std::string_view::npos) {
            return i;
        }
    }
    return text.lines.size();
}

} // namespace

OptionsText ParseOptionsText(std::string_view bytes) {
    OptionsText text;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        const size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
        text.lines.emplace_back(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    return text;
}

std::string OptionsTextBytes(const OptionsText& text) {
    std::string bytes;
    for (const std::string& line : text.lines) {
        bytes += line;
    }
    return bytes;
}

bool FindOptionValue(const OptionsText& text, std::string_view key, std::string* value) {
    const size_t index = LastSetter(text, key);
    if (index == text.lines.size()) {
        return false;
    }
    const std::string_view content = Content(text.lines[index]);
    *value = std::string(Trim(content.substr(SetterOf(content, key) + 1)));
    return true;
}

void SetOptionValue(OptionsText& text, std::string_view key, std::string_view value) {
    const size_t index = LastSetter(text, key);
    if (index == text.lines.size()) {
        if (!text.lines.empty() && text.lines.back().back() != '\n') {
            text.lines.back() += "\r\n";
        }
        text.lines.push_back(std::string(key) + "=" + std::string(value) + "\r\n");
        return;
    }
    std::string& line = text.lines[index];
    const std::string_view content = Content(line);
    const size_t valueStart = SetterOf(content, key) + 1;
    // The spaces a person put after the "=" stay.
    const size_t spaces = content.find_first_not_of(kSpaces, valueStart);
    const size_t kept = spaces == std::string_view::npos ? content.size() : spaces;
    line = std::string(content.substr(0, kept)) + std::string(value) + line.substr(content.size());
}
