#include "filter_key.h"

#include <windows.h>

#include <string>
#include <vector>

#include "engine_binding.h"
#include "filter_cycle.h"
#include "level_display.h"
#include "level_texts.h"
#include "options_file.h"
#include "plugin_list.h"
#include "program_state.h"
#include "scoped_handles.h"
#include "system_language.h"

namespace {

struct FindTraits {
    using Value = HANDLE;
    static Value Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(Value search) { FindClose(search); }
};
using UniqueFind = Scoped<FindTraits>;

// The names of the files in the plug-in folder; none when it cannot be had.
std::vector<std::string> PluginFolderNames() {
    std::vector<std::string> names;
    const std::string pattern = PluginFilePath("*.*");
    WIN32_FIND_DATAA found;
    UniqueFind search(pattern.empty() ? INVALID_HANDLE_VALUE
                                      : FindFirstFileA(pattern.c_str(), &found));
    if (!search) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search.Get(), &found));
    return names;
}

} // namespace

void StepToNextFilter() {
    const std::string next =
        NextFilter(InstalledFilters(PluginFolderNames()), programOptions.engine.filterName);
    {
        // A restart of the engine on another thread hands the record over too.
        EngineLockHold hold;
        char(&name)[kFilterNameCapacity] = programOptions.engine.filterName;
        name[next.copy(name, sizeof(name) - 1)] = '\0';
        // One hand-over for both: the lens is woken once, by the frame that shows them.
        PutLevelText(FilterText(next, UsesRussianTexts(GetSystemDefaultLangID())));
        HandOptionsToEngine();
    }
    SaveFilterChoice(programOptions);
}
