// The 4-byte named shared memory through which the first running Vexlume publishes its main
// window: a second instance finds (and on request closes) the first through it, and the engine
// learns the window that owns its Direct3D device.
#pragma once

constexpr char kInstanceMappingName[] = "magnifier";
constexpr unsigned kInstanceMappingSize = 4;
