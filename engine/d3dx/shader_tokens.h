// The Direct3D 9 shader token format as far as ps_2_0 needs it: opcodes, register types and the
// bit fields of instruction, destination and source tokens. The values are those of the
// platform's d3d9types.h (checked against it where the Windows headers are available); this
// header includes no Windows header so that the assembler builds and is tested anywhere.
#pragma once

#include <cstdint>

namespace d3dx {
namespace token {

constexpr uint32_t kPixelShader20 = 0xFFFF0200; // version token of ps_2_0
constexpr uint32_t kEnd = 0x0000FFFF;

// Opcodes (low 16 bits of an instruction token).
constexpr uint32_t kNop = 0;
constexpr uint32_t kMov = 1;
constexpr uint32_t kAdd = 2;
constexpr uint32_t kSub = 3;
constexpr uint32_t kMad = 4;
constexpr uint32_t kMul = 5;
constexpr uint32_t kRcp = 6;
constexpr uint32_t kRsq = 7;
constexpr uint32_t kDp3 = 8;
constexpr uint32_t kDp4 = 9;
constexpr uint32_t kMin = 10;
constexpr uint32_t kMax = 11;
constexpr uint32_t kExp = 14;
constexpr uint32_t kLog = 15;
constexpr uint32_t kLrp = 18;
constexpr uint32_t kFrc = 19;
constexpr uint32_t kM4x4 = 20;
constexpr uint32_t kM4x3 = 21;
constexpr uint32_t kM3x4 = 22;
constexpr uint32_t kM3x3 = 23;
constexpr uint32_t kM3x2 = 24;
constexpr uint32_t kDcl = 31;
constexpr uint32_t kPow = 32;
constexpr uint32_t kCrs = 33;
constexpr uint32_t kAbs = 35;
constexpr uint32_t kNrm = 36;
constexpr uint32_t kSinCos = 37;
constexpr uint32_t kTexKill = 65;
constexpr uint32_t kTex = 66;
constexpr uint32_t kDef = 81;
constexpr uint32_t kCmp = 88;
constexpr uint32_t kDp2Add = 90;

// Instruction token fields.
constexpr uint32_t kLengthShift = 24;          // operand tokens that follow (shader model 2+)
constexpr uint32_t kTexLdProject = 0x00010000; // texldp
constexpr uint32_t kTexLdBias = 0x00020000;    // texldb

// Register types, split over bits 28-30 (low three bits) and 11-12 (high two bits).
constexpr uint32_t kRegTemp = 0;
constexpr uint32_t kRegInput = 1;
constexpr uint32_t kRegConst = 2;
constexpr uint32_t kRegTexture = 3;
constexpr uint32_t kRegColorOut = 8;
constexpr uint32_t kRegDepthOut = 9;
constexpr uint32_t kRegSampler = 10;

constexpr uint32_t kParameterBit = 0x80000000; // bit 31 of every parameter token
constexpr uint32_t kWriteMaskShift = 16;
constexpr uint32_t kWriteMaskAll = 0x000F0000;
constexpr uint32_t kSwizzleShift = 16;
constexpr uint32_t kNoSwizzle = 0xE4; // .xyzw
constexpr uint32_t kSaturate = 1u << 20;
constexpr uint32_t kPartialPrecision = 2u << 20;
constexpr uint32_t kSourceNegate = 1u << 24;
constexpr uint32_t kSamplerType2d = 2u << 27;
constexpr uint32_t kSamplerTypeCube = 3u << 27;
constexpr uint32_t kSamplerTypeVolume = 4u << 27;

// The register field bits of a parameter token: type and number.
constexpr uint32_t Register(uint32_t type, uint32_t number) {
    return kParameterBit | ((type & 7u) << 28) | ((type & 0x18u) << 8) | (number & 0x7FFu);
}

} // namespace token
} // namespace d3dx
