// The filters the filter key steps through. No Windows headers.
#pragma once

#include <string>
#include <vector>

// The installed filters among the plug-in folder's file names: every plug-in file, switched on
// (.dll) or off (.lib), by its name without the extension, each name once, in the order of the
// names without regard to ASCII case (of names that differ only in case, the first listed).
std::vector<std::string> InstalledFilters(const std::vector<std::string>& fileNames);

// The filter the key steps to from `current`: the first of `installed` (as InstalledFilters gives
// them) whose name comes after it, or "" (no filter) after the last. From no filter the first. A
// current filter that is no longer installed steps to the one that would have followed it.
std::string NextFilter(const std::vector<std::string>& installed, const std::string& current);
