// The effect text stored scrambled among a module's resources, restored and compiled.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "effect.h"

namespace d3dx {

// The name of the RCDATA resource that holds the engine's scrambled effect text.
constexpr const char* kEffectResourceName = "VEXLUMESHADER";

// Finds the RCDATA resource `name` in `module`, unscrambles a copy of it (the whole resource)
// and compiles it with CreateEffect. On success *effect holds the effect. When the resource is
// missing the result is HRESULT_FROM_WIN32 of the failure and *errors stays empty; when the
// text does not compile, *errors holds the compiler's message.
HRESULT LoadEffectFromResource(HMODULE module, const char* name, IDirect3DDevice9* device,
                               std::unique_ptr<Effect>* effect, std::string* errors);

} // namespace d3dx
