// The device states an effect pass may set, by the names effect text uses, with the Direct3D 9
// numbers of the states and of their named values (D3DRENDERSTATETYPE, D3DSAMPLERSTATETYPE,
// D3DTEXTURESTAGESTATETYPE and their value enumerations). No Windows headers.
#pragma once

#include <cstdint>
#include <string>

namespace d3dx {

enum class StateGroup { Render, Sampler, Stage };

// Which named values a state takes; every state also takes plain numbers.
enum class ValueKind {
    Number,
    Bool,
    ZBuffer,
    FillMode,
    Cull,
    Blend,
    BlendOp,
    Compare,
    Filter,
    Address,
    TextureOp,
    TextureArg,
    TransformFlags,
};

struct StateInfo {
    const char* name;
    StateGroup group;
    uint32_t state; // the Direct3D state number
    ValueKind values;
};

constexpr uint32_t kSamplerCount = 16; // s0-s15
constexpr uint32_t kStageCount = 8;    // texture stages 0-7

// The state called `name` (any case), or null.
const StateInfo* FindState(const std::string& name);
// True when `a` and `b` are the same name, letters compared without regard to case.
bool SameName(const std::string& a, const char* b);
// The number of the value called `name` (any case) among the values of `kind`.
bool FindStateValue(ValueKind kind, const std::string& name, uint32_t* value);

} // namespace d3dx
