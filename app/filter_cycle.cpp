#include "filter_cycle.h"

#include <algorithm>

#include "ascii_case.h"
#include "plugin_files.h"

namespace {

// <0, 0 or >0 as `a` comes before, with or after `b`, ASCII case not minded.
int Compare(const std::string& a, const std::string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace

std::vector<std::string> InstalledFilters(const std::vector<std::string>& fileNames) {
    std::vector<std::string> names;
    for (const std::string& file : fileNames) {
        if (ClassifyPluginFile(file) != kNotAPlugin && file.size() > 4 &&
            file[file.size() - 4] == '.') {
            names.push_back(PluginMenuText(file));
        }
    }
    const auto before = [](const std::string& a, const std::string& b) {
        return Compare(a, b) < 0;
    };
    std::stable_sort(names.begin(), names.end(), before);
    const auto same = [](const std::string& a, const std::string& b) { return Compare(a, b) == 0; };
    names.erase(std::unique(names.begin(), names.end(), same), names.end());
    return names;
}

std::string NextFilter(const std::vector<std::string>& installed, const std::string& current) {
    for (const std::string& name : installed) {
        if (current.empty() || Compare(name, current) > 0) {
            return name;
        }
    }
    return {};
}
