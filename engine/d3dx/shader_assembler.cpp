#include "shader_assembler.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "shader_tokens.h"

namespace d3dx {
namespace {

using namespace token;

// One statement: the text of one line without its comments, with its line number.
struct Line {
    int number;
    std::string text;
};

enum class Kind {
    Arithmetic, // destination and sources, arithmetic slots
    TexLoad,    // texld family: r# destination, coordinate and sampler sources
    TexKill,    // destination only, a texture slot
    Nop,        // no operands
};

struct Operation {
    const char* name;
    uint32_t code; // opcode with its control bits
    int sources;
    Kind kind;
    int slots;
    int replicated;     // how many leading sources need a replicate swizzle
    uint32_t fixedMask; // the only write mask allowed, or 0 for any
};

constexpr uint32_t kMaskXy = 0x3;
constexpr uint32_t kMaskXyz = 0x7;
constexpr uint32_t kMaskAll = 0xF;

const Operation kOperations[] = {
    {"nop", kNop, 0, Kind::Nop, 1, 0, 0},
    {"mov", kMov, 1, Kind::Arithmetic, 1, 0, 0},
    {"add", kAdd, 2, Kind::Arithmetic, 1, 0, 0},
    {"sub", kSub, 2, Kind::Arithmetic, 1, 0, 0},
    {"mad", kMad, 3, Kind::Arithmetic, 1, 0, 0},
    {"mul", kMul, 2, Kind::Arithmetic, 1, 0, 0},
    {"rcp", kRcp, 1, Kind::Arithmetic, 1, 1, 0},
    {"rsq", kRsq, 1, Kind::Arithmetic, 1, 1, 0},
    {"dp3", kDp3, 2, Kind::Arithmetic, 1, 0, 0},
    {"dp4", kDp4, 2, Kind::Arithmetic, 1, 0, 0},
    {"dp2add", kDp2Add, 3, Kind::Arithmetic, 2, 0, 0},
    {"min", kMin, 2, Kind::Arithmetic, 1, 0, 0},
    {"max", kMax, 2, Kind::Arithmetic, 1, 0, 0},
    {"cmp", kCmp, 3, Kind::Arithmetic, 1, 0, 0},
    {"lrp", kLrp, 3, Kind::Arithmetic, 2, 0, 0},
    {"frc", kFrc, 1, Kind::Arithmetic, 1, 0, 0},
    {"abs", kAbs, 1, Kind::Arithmetic, 1, 0, 0},
    {"exp", kExp, 1, Kind::Arithmetic, 1, 1, 0},
    {"log", kLog, 1, Kind::Arithmetic, 1, 1, 0},
    {"pow", kPow, 2, Kind::Arithmetic, 3, 2, 0},
    {"crs", kCrs, 2, Kind::Arithmetic, 2, 0, 0},
    {"nrm", kNrm, 1, Kind::Arithmetic, 3, 0, 0},
    {"sincos", kSinCos, 3, Kind::Arithmetic, 8, 1, 0},
    {"m4x4", kM4x4, 2, Kind::Arithmetic, 4, 0, kMaskAll},
    {"m4x3", kM4x3, 2, Kind::Arithmetic, 3, 0, kMaskXyz},
    {"m3x4", kM3x4, 2, Kind::Arithmetic, 4, 0, kMaskAll},
    {"m3x3", kM3x3, 2, Kind::Arithmetic, 3, 0, kMaskXyz},
    {"m3x2", kM3x2, 2, Kind::Arithmetic, 2, 0, kMaskXy},
    {"texld", kTex, 2, Kind::TexLoad, 1, 0, kMaskAll},
    {"texldp", kTex | kTexLdProject, 2, Kind::TexLoad, 1, 0, kMaskAll},
    {"texldb", kTex | kTexLdBias, 2, Kind::TexLoad, 1, 0, kMaskAll},
    {"texkill", kTexKill, 0, Kind::TexKill, 1, 0, 0},
};

// Registers of ps_2_0 by their assembly names.
struct RegisterClass {
    const char* prefix;
    uint32_t type;
    uint32_t count;
};
const RegisterClass kRegisters[] = {
    {"r", kRegTemp, 12},         {"c", kRegConst, 32},   {"t", kRegTexture, 8},
    {"v", kRegInput, 2},         {"s", kRegSampler, 16}, {"oc", kRegColorOut, 4},
    {"odepth", kRegDepthOut, 1},
};

constexpr int kArithmeticSlots = 64;
constexpr int kTextureSlots = 32;

struct Operand {
    const RegisterClass* reg = nullptr;
    uint32_t number = 0;
    bool negate = false;
    uint32_t mask = kMaskAll;      // destinations
    uint32_t swizzle = kNoSwizzle; // sources
    bool hasSuffix = false;
};

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string Trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(s[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1]))) {
        --end;
    }
    return s.substr(begin, end - begin);
}

// Splits the text into lines without comments. A block comment may span lines; an unclosed one
// is an error.
bool SplitLines(const char* text, size_t length, int firstLine, std::vector<Line>* lines,
                std::string* error) {
    int number = firstLine;
    std::string current;
    bool inBlock = false;
    int blockStart = 0;
    size_t i = 0;
    while (i < length) {
        const char c = text[i];
        if (inBlock) {
            if (c == '*' && i + 1 < length && text[i + 1] == '/') {
                inBlock = false;
                i += 2;
                continue;
            }
            if (c == '\n') {
                lines->push_back({number, current});
                current.clear();
                ++number;
            }
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < length && text[i + 1] == '*') {
            inBlock = true;
            blockStart = number;
            current += ' ';
            i += 2;
            continue;
        }
        if (c == ';' || (c == '/' && i + 1 < length && text[i + 1] == '/')) {
            while (i < length && text[i] != '\n') {
                ++i;
            }
            continue;
        }
        if (c == '\n') {
            lines->push_back({number, current});
            current.clear();
            ++number;
        } else if (c == '\0') {
            *error = "line " + std::to_string(number) + ": a zero byte in the shader text";
            return false;
        } else {
            current += c;
        }
        ++i;
    }
    if (inBlock) {
        *error = "line " + std::to_string(blockStart) + ": the comment is never closed";
        return false;
    }
    lines->push_back({number, current});
    return true;
}

int ComponentIndex(char c) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'x':
    case 'r':
        return 0;
    case 'y':
    case 'g':
        return 1;
    case 'z':
    case 'b':
        return 2;
    case 'w':
    case 'a':
        return 3;
    default:
        return -1;
    }
}

bool IsPs20Swizzle(uint32_t swizzle) {
    switch (swizzle) {
    case kNoSwizzle:
    case 0x00: // .x
    case 0x55: // .y
    case 0xAA: // .z
    case 0xFF: // .w
    case 0xC9: // .yzxw
    case 0xD2: // .zxyw
    case 0x1B: // .wzyx
        return true;
    default:
        return false;
    }
}

bool IsReplicate(uint32_t swizzle) {
    return swizzle == 0x00 || swizzle == 0x55 || swizzle == 0xAA || swizzle == 0xFF;
}

std::string RegisterName(const Operand& o) {
    if (o.reg->type == kRegDepthOut) {
        return "oDepth";
    }
    if (o.reg->type == kRegColorOut) {
        return "oC" + std::to_string(o.number);
    }
    return o.reg->prefix + std::to_string(o.number);
}

class Assembler {
public:
    Assembler(std::vector<uint32_t>* tokens, std::string* error) : out_(tokens), error_(error) {}

    bool Run(const std::vector<Line>& lines) {
        bool versionSeen = false;
        for (const Line& line : lines) {
            line_ = line.number;
            const std::string text = Trim(line.text);
            if (text.empty()) {
                continue;
            }
            size_t split = 0;
            while (split < text.size() && !std::isspace(static_cast<unsigned char>(text[split]))) {
                ++split;
            }
            const std::string word = Lower(text.substr(0, split));
            const std::string rest = Trim(text.substr(split));
            if (!versionSeen) {
                if (word != "ps_2_0") {
                    return Fail(word.compare(0, 3, "ps_") == 0 || word.compare(0, 3, "vs_") == 0
                                    ? "only ps_2_0 is supported, not '" + word + "'"
                                    : "the shader must start with the version ps_2_0");
                }
                if (!rest.empty()) {
                    return Fail("unexpected text after ps_2_0");
                }
                versionSeen = true;
                continue;
            }
            if (!Statement(word, rest)) {
                return false;
            }
        }
        if (!versionSeen) {
            return Fail("the shader is empty; it must start with ps_2_0");
        }
        return Finish();
    }

private:
    bool Fail(const std::string& message) {
        *error_ = "line " + std::to_string(line_) + ": " + message;
        return false;
    }

    bool Statement(const std::string& word, const std::string& rest) {
        std::vector<std::string> operands;
        if (!SplitOperands(rest, &operands)) {
            return false;
        }
        if (word == "ps_2_0") {
            return Fail("the version may appear only once");
        }
        if (word == "def") {
            return Define(operands);
        }
        if (word == "dcl") {
            return DeclareInput(operands);
        }
        if (word.compare(0, 4, "dcl_") == 0) {
            return DeclareSampler(word.substr(4), operands);
        }
        return Instruction(word, operands);
    }

    bool SplitOperands(const std::string& rest, std::vector<std::string>* operands) {
        if (rest.empty()) {
            return true;
        }
        size_t start = 0;
        while (true) {
            const size_t comma = rest.find(',', start);
            const std::string part = Trim(
                rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (part.empty()) {
                return Fail("an operand is missing");
            }
            operands->push_back(part);
            if (comma == std::string::npos) {
                return true;
            }
            start = comma + 1;
        }
    }

    bool BeforeInstructions() {
        if (!instructions_.empty()) {
            return Fail("declarations and constants must come before the first instruction");
        }
        return true;
    }

    bool Define(const std::vector<std::string>& operands) {
        if (!BeforeInstructions()) {
            return false;
        }
        if (operands.size() != 5) {
            return Fail("def takes a constant register and four numbers");
        }
        Operand reg;
        if (!ParseRegister(operands[0], false, &reg)) {
            return false;
        }
        if (reg.reg->type != kRegConst || reg.hasSuffix) {
            return Fail("def defines a c# register without a mask, not '" + operands[0] + "'");
        }
        if (constDefined_ & (1ull << reg.number)) {
            return Fail(RegisterName(reg) + " is defined twice");
        }
        constDefined_ |= 1ull << reg.number;
        defs_.push_back(kDef | (5u << kLengthShift));
        defs_.push_back(Register(kRegConst, reg.number) | kWriteMaskAll);
        for (size_t i = 1; i < 5; ++i) {
            float value = 0;
            if (!ParseFloat(operands[i], &value)) {
                return false;
            }
            uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            defs_.push_back(bits);
        }
        return true;
    }

    bool ParseFloat(const std::string& text, float* value) {
        for (char c : text) {
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' &&
                c != 'e' && c != 'E') {
                return Fail("'" + text + "' is not a number");
            }
        }
        char* end = nullptr;
        const float parsed = std::strtof(text.c_str(), &end);
        if (end != text.c_str() + text.size() || !std::isfinite(parsed)) {
            return Fail("'" + text + "' is not a number");
        }
        *value = parsed;
        return true;
    }

    bool DeclareInput(const std::vector<std::string>& operands) {
        if (!BeforeInstructions()) {
            return false;
        }
        if (operands.size() != 1) {
            return Fail("dcl takes one t# or v# register");
        }
        Operand reg;
        if (!ParseRegister(operands[0], true, &reg)) {
            return false;
        }
        if (reg.reg->type != kRegTexture && reg.reg->type != kRegInput) {
            return Fail("dcl declares a t# or v# register; samplers use dcl_2d, dcl_cube or "
                        "dcl_volume");
        }
        uint32_t& declared = reg.reg->type == kRegTexture ? texDeclared_ : colorDeclared_;
        if (declared & (1u << reg.number)) {
            return Fail(RegisterName(reg) + " is declared twice");
        }
        declared |= 1u << reg.number;
        inputs_.push_back(kDcl | (2u << kLengthShift));
        inputs_.push_back(kParameterBit);
        inputs_.push_back(Register(reg.reg->type, reg.number) | (reg.mask << kWriteMaskShift));
        return true;
    }

    bool DeclareSampler(const std::string& kind, const std::vector<std::string>& operands) {
        uint32_t type = 0;
        if (kind == "2d") {
            type = kSamplerType2d;
        } else if (kind == "cube") {
            type = kSamplerTypeCube;
        } else if (kind == "volume") {
            type = kSamplerTypeVolume;
        } else {
            return Fail("unknown declaration 'dcl_" + kind + "'");
        }
        if (!BeforeInstructions()) {
            return false;
        }
        if (operands.size() != 1) {
            return Fail("dcl_" + kind + " takes one s# register");
        }
        Operand reg;
        if (!ParseRegister(operands[0], true, &reg)) {
            return false;
        }
        if (reg.reg->type != kRegSampler || reg.hasSuffix) {
            return Fail("dcl_" + kind + " declares an s# register without a mask");
        }
        if (samplerDeclared_ & (1u << reg.number)) {
            return Fail(RegisterName(reg) + " is declared twice");
        }
        samplerDeclared_ |= 1u << reg.number;
        samplers_.push_back(kDcl | (2u << kLengthShift));
        samplers_.push_back(kParameterBit | type);
        samplers_.push_back(Register(kRegSampler, reg.number) | kWriteMaskAll);
        return true;
    }

    // Parses "[-]reg[.suffix]"; a destination's suffix is a write mask, a source's a swizzle.
    bool ParseRegister(const std::string& text, bool destination, Operand* out) {
        size_t i = 0;
        if (i < text.size() && text[i] == '-') {
            out->negate = true;
            ++i;
        }
        size_t nameEnd = i;
        while (nameEnd < text.size() && std::isalpha(static_cast<unsigned char>(text[nameEnd]))) {
            ++nameEnd;
        }
        const std::string name = Lower(text.substr(i, nameEnd - i));
        for (const RegisterClass& rc : kRegisters) {
            if (name == rc.prefix) {
                out->reg = &rc;
            }
        }
        if (out->reg == nullptr) {
            return Fail("'" + text + "' is not a ps_2_0 register");
        }
        size_t digitsEnd = nameEnd;
        while (digitsEnd < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[digitsEnd]))) {
            ++digitsEnd;
        }
        if (out->reg->type == kRegDepthOut) {
            if (digitsEnd != nameEnd) {
                return Fail("'" + text + "' is not a ps_2_0 register");
            }
            out->number = 0;
        } else {
            if (digitsEnd == nameEnd) {
                return Fail("'" + text + "' lacks a register number");
            }
            if (digitsEnd - nameEnd > 4) {
                return Fail("'" + text + "' is out of range");
            }
            out->number = static_cast<uint32_t>(
                std::strtoul(text.substr(nameEnd, digitsEnd - nameEnd).c_str(), nullptr, 10));
            if (out->number >= out->reg->count) {
                return Fail(RegisterName(*out) + " is out of range; ps_2_0 has " +
                            out->reg->prefix + "0 to " + out->reg->prefix +
                            std::to_string(out->reg->count - 1));
            }
        }
        if (digitsEnd == text.size()) {
            return true;
        }
        if (text[digitsEnd] != '.' || digitsEnd + 1 == text.size() || text.size() - digitsEnd > 5) {
            return Fail("'" + text + "' has a bad suffix");
        }
        out->hasSuffix = true;
        int components[4];
        const size_t count = text.size() - digitsEnd - 1;
        for (size_t k = 0; k < count; ++k) {
            components[k] = ComponentIndex(text[digitsEnd + 1 + k]);
            if (components[k] < 0) {
                return Fail("'" + text + "' has a bad suffix");
            }
        }
        if (destination) {
            uint32_t mask = 0;
            for (size_t k = 0; k < count; ++k) {
                if (k > 0 && components[k] <= components[k - 1]) {
                    return Fail("the write mask of '" + text + "' must list components in order");
                }
                mask |= 1u << components[k];
            }
            out->mask = mask;
        } else {
            uint32_t swizzle = 0;
            for (size_t k = 0; k < 4; ++k) {
                const int c = components[k < count ? k : count - 1];
                swizzle |= static_cast<uint32_t>(c) << (2 * k);
            }
            out->swizzle = swizzle;
        }
        return true;
    }

    bool Instruction(const std::string& word, const std::vector<std::string>& operands) {
        // mnemonic[_sat][_pp]
        std::string base = word;
        uint32_t modifiers = 0;
        for (size_t cut = base.find('_'); cut != std::string::npos; cut = base.find('_')) {
            std::string rest = base.substr(cut + 1);
            base.resize(cut);
            while (!rest.empty()) {
                const size_t next = rest.find('_');
                const std::string mod = rest.substr(0, next);
                if (mod == "sat" && !(modifiers & kSaturate)) {
                    modifiers |= kSaturate;
                } else if (mod == "pp" && !(modifiers & kPartialPrecision)) {
                    modifiers |= kPartialPrecision;
                } else {
                    return Fail("unknown instruction modifier '_" + mod + "'");
                }
                rest = next == std::string::npos ? std::string() : rest.substr(next + 1);
            }
        }
        const Operation* op = nullptr;
        for (const Operation& candidate : kOperations) {
            if (base == candidate.name) {
                op = &candidate;
            }
        }
        if (op == nullptr) {
            return Fail("unknown instruction '" + base + "'");
        }
        const size_t expected = op->kind == Kind::Nop ? 0 : 1 + op->sources;
        if (operands.size() != expected) {
            return Fail(std::string(op->name) + " takes " + std::to_string(expected) + " operand" +
                        (expected == 1 ? "" : "s"));
        }
        if (op->kind == Kind::Nop) {
            if (modifiers) {
                return Fail("nop takes no modifier");
            }
            return Emit(*op, nullptr, 0, nullptr, 0);
        }
        Operand dst;
        if (!ParseRegister(operands[0], true, &dst)) {
            return false;
        }
        if (dst.negate) {
            return Fail("a destination cannot be negated");
        }
        Operand src[3];
        for (int k = 0; k < op->sources; ++k) {
            if (!ParseRegister(operands[1 + k], false, &src[k])) {
                return false;
            }
        }
        if (!CheckDestination(*op, dst, modifiers) || !CheckSources(*op, dst, src)) {
            return false;
        }
        for (int k = 0; k < op->sources; ++k) {
            if (src[k].reg->type == kRegTemp && !(tempWritten_ & (1u << src[k].number))) {
                return Fail(RegisterName(src[k]) + " is read before it is written");
            }
        }
        if (dst.reg->type == kRegTemp && op->kind != Kind::TexKill) {
            tempWritten_ |= 1u << dst.number;
        }
        if (dst.reg->type == kRegColorOut) {
            colorWritten_ |= 1u << dst.number;
        }
        return Emit(*op, &dst, modifiers, src, op->sources);
    }

    bool CheckDestination(const Operation& op, const Operand& dst, uint32_t modifiers) {
        const uint32_t type = dst.reg->type;
        const std::string name = RegisterName(dst);
        switch (op.kind) {
        case Kind::TexLoad:
            if (type != kRegTemp) {
                return Fail(std::string(op.name) + " writes a temporary register r#, not " + name);
            }
            if (modifiers & kSaturate) {
                return Fail(std::string(op.name) + " takes no _sat");
            }
            break;
        case Kind::TexKill:
            if (type != kRegTemp && type != kRegTexture) {
                return Fail("texkill tests an r# or t# register, not " + name);
            }
            if (type == kRegTexture && !(texDeclared_ & (1u << dst.number))) {
                return Fail(name + " is used without a dcl");
            }
            if (type == kRegTemp && !(tempWritten_ & (1u << dst.number))) {
                return Fail(name + " is read before it is written");
            }
            if (modifiers) {
                return Fail("texkill takes no modifier");
            }
            break;
        default:
            if (type == kRegColorOut || type == kRegDepthOut) {
                if (op.code != kMov) {
                    return Fail(name + " can be written only by mov");
                }
                if (modifiers) {
                    return Fail(name + " is written without modifiers");
                }
                if (type == kRegColorOut && dst.mask != kMaskAll) {
                    return Fail(name + " is written whole, without a write mask");
                }
            } else if (type != kRegTemp) {
                return Fail(name + " cannot be written");
            }
            break;
        }
        if (op.fixedMask != 0 && dst.mask != op.fixedMask) {
            return Fail(std::string(op.name) + " needs the write mask " +
                        (op.fixedMask == kMaskXy    ? ".xy"
                         : op.fixedMask == kMaskXyz ? ".xyz"
                                                    : ".xyzw (or none)"));
        }
        if (op.code == kSinCos && dst.mask != 0x1 && dst.mask != 0x2 && dst.mask != kMaskXy) {
            return Fail("sincos writes .x, .y or .xy");
        }
        if (op.code == kCrs && (dst.mask & 0x8)) {
            return Fail("crs cannot write .w");
        }
        return true;
    }

    bool CheckSources(const Operation& op, const Operand& dst, const Operand* src) {
        int constants = 0;
        int textures = 0;
        int colors = 0;
        for (int k = 0; k < op.sources; ++k) {
            const Operand& s = src[k];
            const uint32_t type = s.reg->type;
            const std::string name = RegisterName(s);
            if (type == kRegColorOut || type == kRegDepthOut) {
                return Fail(name + " cannot be read");
            }
            if (op.kind == Kind::TexLoad) {
                if (k == 0 && type != kRegTemp && type != kRegTexture) {
                    return Fail(std::string(op.name) +
                                " takes its coordinates from an r# or t# register");
                }
                if (k == 1 && type != kRegSampler) {
                    return Fail(std::string(op.name) + " samples an s# register, not " + name);
                }
                if (s.negate || s.swizzle != kNoSwizzle) {
                    return Fail(std::string(op.name) + " takes no swizzle or negation on " + name);
                }
            } else if (type == kRegSampler) {
                return Fail(name + " can be read only by texld");
            }
            if (type == kRegTexture && !(texDeclared_ & (1u << s.number))) {
                return Fail(name + " is used without a dcl");
            }
            if (type == kRegInput && !(colorDeclared_ & (1u << s.number))) {
                return Fail(name + " is used without a dcl");
            }
            if (type == kRegSampler && !(samplerDeclared_ & (1u << s.number))) {
                return Fail(name + " is used without a dcl_2d, dcl_cube or dcl_volume");
            }
            if (!IsPs20Swizzle(s.swizzle)) {
                return Fail("ps_2_0 has no such swizzle as on '" + name +
                            "'; use none, .x, .y, .z, .w, .yzxw, .zxyw or .wzyx");
            }
            if (k < op.replicated && !IsReplicate(s.swizzle)) {
                return Fail(std::string(op.name) +
                            " needs a single component (.x, .y, .z or .w) "
                            "on " +
                            name);
            }
            bool seen = false;
            for (int j = 0; j < k; ++j) {
                seen = seen || (src[j].reg == s.reg && src[j].number == s.number);
            }
            if (!seen) {
                constants += type == kRegConst;
                textures += type == kRegTexture;
                colors += type == kRegInput;
            }
        }
        if (constants > 2) {
            return Fail("an instruction can read at most two different constant registers");
        }
        if (textures > 1 || colors > 1) {
            return Fail("an instruction can read at most one t# and one v# register");
        }
        if (dst.reg->type == kRegColorOut && (src[0].negate || src[0].swizzle != kNoSwizzle)) {
            return Fail(RegisterName(dst) +
                        " is written from a source without swizzle or negation");
        }
        const bool matrix = op.code >= kM4x4 && op.code <= kM3x2;
        if (matrix) {
            // One register per component written: m4x4 and m3x4 read four, m4x3 and m3x3
            // three, m3x2 two.
            const uint32_t registers = op.code == kM4x4 || op.code == kM3x4   ? 4
                                       : op.code == kM4x3 || op.code == kM3x3 ? 3
                                                                              : 2;
            const Operand& m = src[1];
            if (m.negate || m.swizzle != kNoSwizzle) {
                return Fail(std::string(op.name) + " takes its matrix without swizzle or negation");
            }
            if (m.reg->type != kRegConst && m.reg->type != kRegTemp) {
                return Fail(std::string(op.name) + " takes its matrix from c# or r# registers");
            }
            if (m.number + registers > m.reg->count) {
                return Fail(std::string(op.name) + " reads " + std::to_string(registers) +
                            " registers from " + RegisterName(m) + ", past the last one");
            }
        }
        if (op.code == kSinCos) {
            for (int k = 1; k < 3; ++k) {
                if (src[k].reg->type != kRegConst || src[k].negate ||
                    src[k].swizzle != kNoSwizzle) {
                    return Fail("sincos takes its second and third sources from plain c# "
                                "registers");
                }
            }
        }
        return true;
    }

    bool Emit(const Operation& op, const Operand* dst, uint32_t modifiers, const Operand* src,
              int sources) {
        (op.kind == Kind::Arithmetic || op.kind == Kind::Nop ? arithmeticSlots_ : textureSlots_) +=
            op.slots;
        const uint32_t length = (dst ? 1u : 0u) + static_cast<uint32_t>(sources);
        instructions_.push_back(op.code | (length << kLengthShift));
        if (dst) {
            instructions_.push_back(Register(dst->reg->type, dst->number) |
                                    (dst->mask << kWriteMaskShift) | modifiers);
        }
        for (int k = 0; k < sources; ++k) {
            instructions_.push_back(Register(src[k].reg->type, src[k].number) |
                                    (src[k].swizzle << kSwizzleShift) |
                                    (src[k].negate ? kSourceNegate : 0));
        }
        return true;
    }

    bool Finish() {
        if (arithmeticSlots_ > kArithmeticSlots) {
            return Fail("the shader needs " + std::to_string(arithmeticSlots_) +
                        " arithmetic instruction slots; ps_2_0 has 64");
        }
        if (textureSlots_ > kTextureSlots) {
            return Fail("the shader needs " + std::to_string(textureSlots_) +
                        " texture instruction slots; ps_2_0 has 32");
        }
        if (!(colorWritten_ & 1u)) {
            return Fail("the shader never writes oC0");
        }
        if (colorWritten_ & (colorWritten_ + 1)) {
            return Fail("the colour outputs written must be oC0 up to oCn without a gap");
        }
        out_->clear();
        out_->reserve(2 + inputs_.size() + samplers_.size() + defs_.size() + instructions_.size());
        out_->push_back(kPixelShader20);
        out_->insert(out_->end(), inputs_.begin(), inputs_.end());
        out_->insert(out_->end(), samplers_.begin(), samplers_.end());
        out_->insert(out_->end(), defs_.begin(), defs_.end());
        out_->insert(out_->end(), instructions_.begin(), instructions_.end());
        out_->push_back(kEnd);
        return true;
    }

    std::vector<uint32_t>* out_;
    std::string* error_;
    int line_ = 0;
    std::vector<uint32_t> inputs_;
    std::vector<uint32_t> samplers_;
    std::vector<uint32_t> defs_;
    std::vector<uint32_t> instructions_;
    uint32_t texDeclared_ = 0;
    uint32_t colorDeclared_ = 0;
    uint32_t samplerDeclared_ = 0;
    uint64_t constDefined_ = 0;
    uint32_t tempWritten_ = 0;
    uint32_t colorWritten_ = 0;
    int arithmeticSlots_ = 0;
    int textureSlots_ = 0;
};

} // namespace

bool AssemblePixelShader(const char* text, size_t length, int firstLine,
                         std::vector<uint32_t>* tokens, std::string* error) {
    tokens->clear();
    std::vector<Line> lines;
    if (!SplitLines(text, length, firstLine, &lines, error)) {
        return false;
    }
    Assembler assembler(tokens, error);
    if (!assembler.Run(lines)) {
        tokens->clear();
        return false;
    }
    return true;
}

} // namespace d3dx
