#include "engine_options_reading.h"

#include "settings_record.h"

namespace {

// The field at `offset` when the caller's record reaches past it, else `fallback`.
uint32_t FieldOrDefault(const EngineOptions& live, uint32_t size, size_t offset,
                        uint32_t fallback) {
    if (size < offset + sizeof(uint32_t)) {
        return fallback;
    }
    const auto* field =
        reinterpret_cast<const uint32_t*>(reinterpret_cast<const char*>(&live) + offset);
    return LoadShared(*field);
}

uint32_t Below(uint32_t value, uint32_t count, uint32_t fallback) {
    return value < count ? value : fallback;
}

uint32_t Within(uint32_t value, uint32_t low, uint32_t high, uint32_t fallback) {
    return value >= low && value <= high ? value : fallback;
}

} // namespace

EngineOptions ReadEngineOptions(const EngineOptions* live) {
    const EngineOptions& d = kDefaultEngineOptions;
    if (live == nullptr) {
        return d;
    }
    const uint32_t size = LoadShared(live->size);
    const auto field = [&](size_t offset, uint32_t fallback) {
        return FieldOrDefault(*live, size, offset, fallback);
    };
    EngineOptions options = d;
    options.view = Below(field(offsetof(EngineOptions, view), d.view), kViewCount, d.view);
    options.tracking =
        Below(field(offsetof(EngineOptions, tracking), d.tracking), kTrackingCount, d.tracking);
    options.dockEdge =
        Below(field(offsetof(EngineOptions, dockEdge), d.dockEdge), kDockEdgeCount, d.dockEdge);
    options.dockPercent = Within(field(offsetof(EngineOptions, dockPercent), d.dockPercent),
                                 kMinDockPercent, kMaxDockPercent, d.dockPercent);
    options.fullScreenZoom =
        Within(field(offsetof(EngineOptions, fullScreenZoom), d.fullScreenZoom), kMinViewZoom,
               kMaxViewZoom, d.fullScreenZoom);
    options.dockZoom = Within(field(offsetof(EngineOptions, dockZoom), d.dockZoom), kMinViewZoom,
                              kMaxViewZoom, d.dockZoom);
    options.smooth = Below(field(offsetof(EngineOptions, smooth), d.smooth), 2, d.smooth);
    return options;
}
