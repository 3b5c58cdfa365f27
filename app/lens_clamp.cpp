#include "lens_clamp.h"

void ClampLensToScreen(SettingsRecord* record, LensSizes* sizes, LensClamp* clamp,
                       uint32_t screenWidth, uint32_t screenHeight) {
    *clamp = LensClamp{};
    EngineParameters& e = record->engine;
    if (e.lensWidth <= screenWidth && e.lensHeight <= screenHeight) {
        return;
    }
    clamp->lensClamped = 1;
    clamp->savedLensWidth = e.lensWidth;
    clamp->savedLensHeight = e.lensHeight;
    if (e.lensWidth > screenWidth) {
        e.lensWidth = screenWidth;
    }
    if (e.lensHeight > screenHeight) {
        e.lensHeight = screenHeight;
    }
    DeriveSourceSize(record, sizes);
}

void UndoLensClamp(SettingsRecord* record, LensSizes* sizes, const LensClamp& clamp) {
    if (clamp.lensClamped == 0) {
        return;
    }
    record->engine.lensWidth = clamp.savedLensWidth;
    record->engine.lensHeight = clamp.savedLensHeight;
    DeriveSourceSize(record, sizes);
}
