// Assembler for ps_2_0 pixel-shader assembly, producing the token stream that
// IDirect3DDevice9::CreatePixelShader takes. No Windows headers.
//
// Accepted text, one statement a line; comments run from "//" or ";" to the end of the line,
// or between "/*" and "*/":
//   ps_2_0                                  the version, first
//   dcl t#[.mask]   dcl v#[.mask]           texture-coordinate and colour inputs
//   dcl_2d s#   dcl_cube s#   dcl_volume s# samplers
//   def c#, x, y, z, w                      constants
//   op[_sat][_pp] dst[.mask], src, ...      instructions
// Declarations and constants come before the first instruction. Instructions: nop, mov, add,
// sub, mad, mul, rcp, rsq, dp3, dp4, dp2add, min, max, cmp, lrp, frc, abs, exp, log, pow, crs,
// nrm, sincos, m4x4, m4x3, m3x4, m3x3, m3x2, texld, texldp, texldb, texkill. Registers r0-r11,
// c0-c31, t0-t7, v0-v1, s0-s15, oC0-oC3, oDepth; a source may be negated ("-r0") and swizzled
// (.xyzw/.rgba, the ps_2_0 swizzles only: none, .x .y .z .w, .yzxw .zxyw .wzyx); a destination
// may carry a write mask in component order.
//
// The rules of the ps_2_0 model that the Direct3D runtime would reject are checked here with a
// message instead: register ranges, declarations before use, swizzles, read ports (at most two
// constants, one t# and one v# per instruction), oC# written only by a plain mov and oC0 always,
// texld operands, instruction slots (64 arithmetic, 32 texture) and temporaries read before
// they are written.
//
// The stream is written as: version, input declarations, sampler declarations, constants, then
// the instructions in their order, and the end token.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace d3dx {

// Assembles `length` bytes of `text` (not necessarily zero-terminated); the first line of the
// text is numbered `firstLine` in messages. On success returns true with the stream in *tokens;
// on failure returns false, leaves *tokens empty and sets *error to "line N: what is wrong".
bool AssemblePixelShader(const char* text, size_t length, int firstLine,
                         std::vector<uint32_t>* tokens, std::string* error);

} // namespace d3dx
