// The texts of the options record (the level to show and the filter chosen at a key) as the
// engine keeps them: copied from the caller's record while qxSetOptionsMagnifier runs, under a
// lock of the engine's own, and copied on by the magnifier thread at the start of a frame when
// they changed. The caller may rewrite its record's texts between hand-overs, and no frame ever
// sees half a text.
#pragma once

#include <cstdint>

#include "engine_options.h"

struct OptionTexts {
    uint32_t serial = 0; // of the hand-over these came with; 0 before the first with texts
    uint32_t levelTick = 0;
    char levelText[kLevelTextCapacity] = {};
    char filterName[kFilterNameCapacity] = {};
};

// Inside qxSetOptionsMagnifier: keeps the texts of `options`. A null record, or one too short to
// hold them, hands over empty texts; every text is cut at its capacity.
void KeepOptionTexts(const EngineOptions* options);

// At the start of a frame: the texts kept last into `texts`, when they changed since `texts`
// was filled; false, with `texts` as it was, otherwise. Takes the lock only for a change.
bool TakeOptionTexts(OptionTexts* texts);
