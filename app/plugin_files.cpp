#include "plugin_files.h"

#include <cctype>

namespace {

constexpr size_t kExtensionLength = 3;
constexpr size_t kDotAndExtensionLength = 4;

bool EndsWithIgnoringCase(const std::string& name, const char* ending) {
    if (name.size() < kExtensionLength) {
        return false;
    }
    const size_t start = name.size() - kExtensionLength;
    for (size_t i = 0; i < kExtensionLength; ++i) {
        const int c = std::tolower(static_cast<unsigned char>(name[start + i]));
        if (c != ending[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

PluginFileState ClassifyPluginFile(const std::string& name) {
    if (EndsWithIgnoringCase(name, "dll")) {
        return kPluginOn;
    }
    if (EndsWithIgnoringCase(name, "lib")) {
        return kPluginOff;
    }
    return kNotAPlugin;
}

std::string PluginMenuText(const std::string& name) {
    if (name.size() <= kDotAndExtensionLength) {
        return name;
    }
    return name.substr(0, name.size() - kDotAndExtensionLength);
}

void SwitchPluginExtension(std::string& name) {
    if (name.size() < kExtensionLength) {
        return;
    }
    const size_t start = name.size() - kExtensionLength;
    const char last = name.back();
    if (last == 'l' || last == 'L') {
        name.replace(start, kExtensionLength, "lib");
    } else if (last == 'b' || last == 'B') {
        name.replace(start, kExtensionLength, "dll");
    }
}
