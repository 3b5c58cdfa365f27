#include "shader_assembler.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Tokens = std::vector<uint32_t>;

Tokens Assemble(const std::string& text, std::string* error = nullptr) {
    Tokens tokens;
    std::string message;
    if (!d3dx::AssemblePixelShader(text.data(), text.size(), 1, &tokens, &message)) {
        EXPECT_TRUE(tokens.empty()) << "a failed assembly leaves no tokens";
    }
    if (error != nullptr) {
        *error = message;
    }
    return tokens;
}

std::string ErrorOf(const std::string& text, int firstLine = 1) {
    Tokens tokens;
    std::string message;
    EXPECT_FALSE(d3dx::AssemblePixelShader(text.data(), text.size(), firstLine, &tokens, &message))
        << text;
    EXPECT_TRUE(tokens.empty());
    return message;
}

// The header the streams below share: version, dcl t0.xy, dcl_2d s0.
const Tokens kHeader = {0xFFFF0200, 0x0200001F, 0x80000000, 0xB0030000,
                        0x0200001F, 0x90000000, 0xA00F0800};

Tokens WithHeader(const Tokens& body) {
    Tokens all = kHeader;
    all.insert(all.end(), body.begin(), body.end());
    all.push_back(0x0000FFFF);
    return all;
}

const char* const kPrologue = "ps_2_0\ndcl t0.xy\ndcl_2d s0\n";

TEST(ShaderAssembler, BrightnessShaderMatchesItsHandWrittenTokens) {
    const Tokens expected = {
        0xFFFF0200, 0x0200001F, 0x80000000, 0xB0030000,                  // dcl t0.xy
        0x0200001F, 0x90000000, 0xA00F0800,                              // dcl_2d s0
        0x05000051, 0xA00F0001, 0x414C0000, 0x3F800000, 0x0,        0x0, // def c1, 12.75, 1, 0, 0
        0x03000042, 0x800F0000, 0xB0E40000, 0xA0E40800,                  // texld r0, t0, s0
        0x04000004, 0x80010001, 0xA0000000, 0xA0000001, 0xA0550001, // mad r1.x, c0.x, c1.x, c1.y
        0x03000005, 0x80170000, 0x80E40000, 0x80000001,             // mul_sat r0.xyz, r0, r1.x
        0x02000001, 0x800F0800, 0x80E40000,                         // mov oC0, r0
        0x0000FFFF};
    EXPECT_EQ(expected, Assemble("  PS_2_0   // version\n"
                                 "def c1, 12.75, 1.0, 0.0, 0\n"
                                 "dcl t0.xy\n"
                                 "dcl_2d s0 ; the image\n"
                                 "texld r0, t0, s0\n"
                                 "/* gain */ mad r1.x, c0.x, c1.x, c1.y\n"
                                 "mul_sat r0.rgb, r0, r1.r\n"
                                 "mov oC0, r0\n"));
}

TEST(ShaderAssembler, DeclarationsAreWrittenInputsFirstThenSamplersThenConstants) {
    const Tokens tokens = Assemble("ps_2_0\ndef c3, 1, 2, 3, 4\ndcl_cube s1\ndcl_volume s2\n"
                                   "dcl v0\ndcl t7\nmov r0, v0\nmov oC0, r0\n");
    const Tokens expected = {0xFFFF0200, 0x0200001F, 0x80000000, 0x900F0000, // dcl v0
                             0x0200001F, 0x80000000, 0xB00F0007,             // dcl t7
                             0x0200001F, 0x98000000, 0xA00F0801,             // dcl_cube s1
                             0x0200001F, 0xA0000000, 0xA00F0802,             // dcl_volume s2
                             0x05000051, 0xA00F0003, 0x3F800000, 0x40000000, 0x40400000,
                             0x40800000, 0x02000001, 0x800F0000, 0x90E40000, 0x02000001,
                             0x800F0800, 0x80E40000, 0x0000FFFF};
    EXPECT_EQ(expected, tokens);
}

TEST(ShaderAssembler, SourceModifiersSwizzlesAndDestinationModifiersAreEncoded) {
    const std::string text = std::string(kPrologue) + "mov r1, c0\n"
                                                      "add r0, -r1.yzxw, c0.wzyx\n"
                                                      "mul_pp r2.xw, r0.zxyw, -c1.y\n"
                                                      "mov_sat_pp r3, -r2.w\n"
                                                      "mov oC0, r0\n";
    EXPECT_EQ(WithHeader({0x02000001, 0x800F0001, 0xA0E40000, 0x03000002, 0x800F0000, 0x81C90001,
                          0xA01B0000, 0x03000005, 0x80290002, 0x80D20000, 0xA1550001, 0x02000001,
                          0x803F0003, 0x81FF0002, 0x02000001, 0x800F0800, 0x80E40000}),
              Assemble(text));
}

TEST(ShaderAssembler, TextureInstructionsAndOutputsAreEncoded) {
    const std::string text = std::string(kPrologue) + "texldp r0, t0, s0\n"
                                                      "texldb r1, r0, s0\n"
                                                      "texkill t0\n"
                                                      "texkill r1\n"
                                                      "mov oC0, r0\n"
                                                      "mov oC1, r1\n"
                                                      "mov oDepth, r1.x\n";
    EXPECT_EQ(WithHeader({0x03010042, 0x800F0000, 0xB0E40000, 0xA0E40800, 0x03020042, 0x800F0001,
                          0x80E40000, 0xA0E40800, 0x01000041, 0xB00F0000, 0x01000041, 0x800F0001,
                          0x02000001, 0x800F0800, 0x80E40000, 0x02000001, 0x800F0801, 0x80E40001,
                          0x02000001, 0x900F0800, 0x80000001}),
              Assemble(text));
}

TEST(ShaderAssembler, EveryArithmeticInstructionGetsItsOpcodeAndLength) {
    struct Case {
        const char* line;
        uint32_t instruction;
    };
    const Case cases[] = {
        {"nop", 0x00000000},
        {"mov r1, r0", 0x02000001},
        {"add r1, r0, c0", 0x03000002},
        {"sub r1, r0, c0", 0x03000003},
        {"mad r1, r0, c0, c1", 0x04000004},
        {"mul r1, r0, c0", 0x03000005},
        {"rcp r1, r0.x", 0x02000006},
        {"rsq r1, r0.y", 0x02000007},
        {"dp3 r1, r0, c0", 0x03000008},
        {"dp4 r1, r0, c0", 0x03000009},
        {"min r1, r0, c0", 0x0300000A},
        {"max r1, r0, c0", 0x0300000B},
        {"exp r1, r0.z", 0x0200000E},
        {"log r1, r0.w", 0x0200000F},
        {"lrp r1, r0, c0, c1", 0x04000012},
        {"frc r1, r0", 0x02000013},
        {"m4x4 r1, r0, c0", 0x03000014},
        {"m4x3 r1.xyz, r0, c0", 0x03000015},
        {"m3x4 r1, r0, c0", 0x03000016},
        {"m3x3 r1.xyz, r0, c0", 0x03000017},
        {"m3x2 r1.xy, r0, c0", 0x03000018},
        {"pow r1, r0.x, c0.y", 0x03000020},
        {"crs r1.xyz, r0, c0", 0x03000021},
        {"abs r1, r0", 0x02000023},
        {"nrm r1, r0", 0x02000024},
        {"sincos r1.xy, r0.x, c0, c1", 0x04000025},
        {"cmp r1, r0, c0, c1", 0x04000058},
        {"dp2add r1, r0, c0, c1.x", 0x0400005A},
    };
    for (const Case& c : cases) {
        const std::string text =
            std::string(kPrologue) + "texld r0, t0, s0\n" + c.line + "\nmov oC0, r0\n";
        std::string error;
        const Tokens tokens = Assemble(text, &error);
        ASSERT_FALSE(tokens.empty()) << c.line << ": " << error;
        // The instruction follows the header and texld's four tokens.
        EXPECT_EQ(c.instruction, tokens[kHeader.size() + 4]) << c.line;
    }
}

TEST(ShaderAssembler, MessagesNameTheLineCountedFromTheFirstLine) {
    EXPECT_EQ("line 13: unknown instruction 'mxv'",
              ErrorOf(std::string(kPrologue) + "\nmxv r0, r1\n", 9));
    EXPECT_EQ("line 3: the comment is never closed", ErrorOf("ps_2_0\n\n/* open\nmov r0, c0\n"));
}

TEST(ShaderAssembler, RejectsWhatPs20DoesNotAllow) {
    const std::string p = kPrologue;
    const std::string tail = "mov oC0, r0\n";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "the shader is empty; it must start with ps_2_0"},
        {"mov r0, c0\n", "the shader must start with the version ps_2_0"},
        {"ps_3_0\n", "only ps_2_0 is supported, not 'ps_3_0'"},
        {"ps_2_0 x\n", "unexpected text after ps_2_0"},
        {p + "ps_2_0\n", "the version may appear only once"},
        {p + "mov r12, c0\n", "r12 is out of range; ps_2_0 has r0 to r11"},
        {p + "mov r0, c32\n", "c32 is out of range; ps_2_0 has c0 to c31"},
        {p + "mov r0, c99999\n", "'c99999' is out of range"},
        {p + "mov r0, q1\n", "'q1' is not a ps_2_0 register"},
        {p + "mov r0, c\n", "'c' lacks a register number"},
        {p + "mov r0, c0.xq\n", "'c0.xq' has a bad suffix"},
        {p + "mov r0, c0.\n", "'c0.' has a bad suffix"},
        {p + "mov r0, c0.xyzwx\n", "'c0.xyzwx' has a bad suffix"},
        {p + "mov r0.yx, c0\n", "the write mask of 'r0.yx' must list components in order"},
        {p + "mov r0, c0.xyyy\n", "ps_2_0 has no such swizzle as on 'c0'; use none, .x, .y, "
                                  ".z, .w, .yzxw, .zxyw or .wzyx"},
        {p + "mov r0, t1\n", "t1 is used without a dcl"},
        {p + "mov r0, v0\n", "v0 is used without a dcl"},
        {p + "texld r0, t0, s1\n", "s1 is used without a dcl_2d, dcl_cube or dcl_volume"},
        {p + "mov r0, r1\n", "r1 is read before it is written"},
        {p + "mov r0, c0\nadd r1, r0, c0\nmad r0, c1, c2, c3\n",
         "an instruction can read at most two different constant registers"},
        {"ps_2_0\ndcl t0\ndcl t1\nadd r0, t0, t1\n",
         "an instruction can read at most one t# and one v# register"},
        {p +
             "mov r0, c0\nmov r1, c0\nmov r2, c0\nmov r3, c0\nmad r0, r1, r2, r3\n"
             "lrp r0, r1, r2, r3\nmov r4, r0\ncmp r0, r1, r2, r4\n" +
             tail,
         nullptr},
        {p + "rcp r0, c0\n", "rcp needs a single component (.x, .y, .z or .w) on c0"},
        {p + "pow r0, c0.x, c1\n", "pow needs a single component (.x, .y, .z or .w) on c1"},
        {p + "add oC0, c0, c1\n", "oC0 can be written only by mov"},
        {p + "mov_sat oC0, c0\n", "oC0 is written without modifiers"},
        {p + "mov oC0.xyz, c0\n", "oC0 is written whole, without a write mask"},
        {p + "mov oC0, -c0\n", "oC0 is written from a source without swizzle or negation"},
        {p + "mov oC0, c0\nmov oC2, c0\n",
         "the colour outputs written must be oC0 up to oCn without a gap"},
        {p + "mov r0, c0\n", "the shader never writes oC0"},
        {p + "mov r0, oC0\n", "oC0 cannot be read"},
        {p + "mov c0, r0\n", "c0 cannot be written"},
        {p + "mov -r0, c0\n", "a destination cannot be negated"},
        {p + "mov r0, s0\n", "s0 can be read only by texld"},
        {p + "texld r0.xy, t0, s0\n", "texld needs the write mask .xyzw (or none)"},
        {p + "texld_sat r0, t0, s0\n", "texld takes no _sat"},
        {p + "texld r0, t0.x, s0\n", "texld takes no swizzle or negation on t0"},
        {p + "texld r0, c0, s0\n", "texld takes its coordinates from an r# or t# register"},
        {p + "texld r0, t0, t0\n", "texld samples an s# register, not t0"},
        {p + "texld oC0, t0, s0\n", "texld writes a temporary register r#, not oC0"},
        {p + "texkill c0\n", "texkill tests an r# or t# register, not c0"},
        {p + "m3x3 r0, t0, c0\n", "m3x3 needs the write mask .xyz"},
        {p + "m4x4 r0, t0, c30\n", "m4x4 reads 4 registers from c30, past the last one"},
        {p + "m4x4 r0, t0, c0.x\n", "m4x4 takes its matrix without swizzle or negation"},
        {p + "sincos r0, c0.x, c1, c2\n", "sincos writes .x, .y or .xy"},
        {p + "sincos r0.x, c0.x, t0, c2\n",
         "sincos takes its second and third sources from plain c# registers"},
        {p + "crs r0, c0, c1\n", "crs cannot write .w"},
        {p + "mov_x2 r0, c0\n", "unknown instruction modifier '_x2'"},
        {p + "mov_sat_sat r0, c0\n", "unknown instruction modifier '_sat'"},
        {p + "nop_sat\n", "nop takes no modifier"},
        {p + "mov r0\n", "mov takes 2 operands"},
        {p + "mov r0, , c0\n", "an operand is missing"},
        {p + "mov r0, c0\ndcl t1\n",
         "declarations and constants must come before the first instruction"},
        {p + "dcl t0\n", "t0 is declared twice"},
        {p + "dcl_2d s0\n", "s0 is declared twice"},
        {p + "dcl s1\n", "dcl declares a t# or v# register; samplers use dcl_2d, dcl_cube or "
                         "dcl_volume"},
        {p + "dcl_3d s1\n", "unknown declaration 'dcl_3d'"},
        {p + "dcl_2d s1.x\n", "dcl_2d declares an s# register without a mask"},
        {p + "def c0, 1, 2, 3\n", "def takes a constant register and four numbers"},
        {p + "def r0, 1, 2, 3, 4\n", "def defines a c# register without a mask, not 'r0'"},
        {p + "def c0, 1, 2, 3, 0x10\n", "'0x10' is not a number"},
        {p + "def c0, 1, 2, 3, 1e99\n", "'1e99' is not a number"},
        {p + "def c0, 1, 2, 3, 4\ndef c0, 1, 2, 3, 4\n", "c0 is defined twice"},
        {std::string("ps_2_0\nmov r0,\x01 c0\n"), "'\x01 c0' is not a ps_2_0 register"},
        {std::string("ps_2_0\nmov r0, c0\0\n", 19), "a zero byte in the shader text"},
    };
    for (const auto& c : cases) {
        std::string error;
        const Tokens tokens = Assemble(c.text, &error);
        if (c.message == nullptr) {
            EXPECT_EQ("", error) << c.text << "is accepted";
            continue;
        }
        EXPECT_TRUE(tokens.empty()) << c.text;
        const size_t colon = error.find(": ");
        ASSERT_EQ(0u, error.find("line ")) << error;
        EXPECT_EQ(c.message, error.substr(colon + 2)) << c.text;
    }
}

TEST(ShaderAssembler, InstructionSlotsAreLimitedTo64ArithmeticAnd32Texture) {
    std::string arithmetic = std::string(kPrologue) + "mov r0, c0\n";
    for (int i = 0; i < 62; ++i) {
        arithmetic += "add r0, r0, c1\n";
    }
    EXPECT_FALSE(Assemble(arithmetic + "mov oC0, r0\n").empty()) << "64 slots fit";
    EXPECT_NE(std::string::npos,
              ErrorOf(arithmetic + "nrm r0, r0\nmov oC0, r0\n")
                  .find("the shader needs 67 arithmetic instruction slots; ps_2_0 has 64"));
    std::string texture = kPrologue;
    for (int i = 0; i < 33; ++i) {
        texture += "texld r0, t0, s0\n";
    }
    EXPECT_NE(
        std::string::npos,
        ErrorOf(texture + "mov oC0, r0\n").find("the shader needs 33 texture instruction slots"));
}

// Walks a stream as a reader would: each instruction's length must match its operands.
bool WellFormed(const Tokens& tokens) {
    if (tokens.size() < 2 || tokens.front() != 0xFFFF0200 || tokens.back() != 0x0000FFFF) {
        return false;
    }
    size_t i = 1;
    while (i < tokens.size() - 1) {
        const uint32_t length = (tokens[i] >> 24) & 0xF;
        if ((tokens[i] & 0x80000000) != 0) {
            return false;
        }
        for (uint32_t k = 1; k <= length; ++k) {
            if (i + k >= tokens.size() - 1) {
                return false;
            }
        }
        i += 1 + length;
    }
    return i == tokens.size() - 1;
}

TEST(ShaderAssembler, RandomlyDamagedTextEitherAssemblesWellFormedOrFailsWithALine) {
    const std::string seeds[] = {
        std::string(kPrologue) + "def c1, 12.75, 1.0, 0.0, 0.0\ntexld r0, t0, s0\n"
                                 "mad r1.x, c0.x, c1.x, c1.y\nmul_sat r0.xyz, r0, r1.x\n"
                                 "mov oC0, r0\n",
        "ps_2_0\ndcl v0.rgb\ndcl t3.xyzw\ndcl_cube s4\nmov r0, -v0.yzxw\nnrm r1.xyz, r0\n"
        "texld r2, t3, s4\nlrp_pp r0, r1.x, r2, c5.wzyx\nsincos r3.xy, r0.w, c1, c2\n"
        "/* c */ mov oC0, r0 ; end\n",
    };
    const char* const pieces[] = {" ",     "\n",    ",",      ".",    "-",     "_sat", "r",  "c",
                                  "t",     "s",     "v",      "oC",   "0",     "9",    "31", "xyzw",
                                  "mov",   "texld", "dcl",    "def",  "//",    ";",    "/*", "*/",
                                  "1.5e3", "\t",    "ps_2_0", "\x80", "oDepth"};
    std::mt19937 random(20240611);
    int assembled = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string text = seeds[round % 2];
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % (text.size() + 1);
            switch (random() % 4) {
            case 0:
                text.insert(at, pieces[random() % (sizeof pieces / sizeof pieces[0])]);
                break;
            case 1:
                text.erase(at, random() % 6);
                break;
            case 2:
                if (at < text.size()) {
                    text[at] = static_cast<char>(random() % 256);
                }
                break;
            default:
                text.resize(at);
                break;
            }
        }
        // Assemble a copy of exactly the text's bytes, so reads past the end are caught.
        std::vector<char> exact(text.begin(), text.end());
        Tokens tokens;
        std::string error;
        if (d3dx::AssemblePixelShader(exact.data(), exact.size(), 1, &tokens, &error)) {
            ++assembled;
            EXPECT_TRUE(WellFormed(tokens)) << text;
        } else {
            EXPECT_TRUE(tokens.empty());
            EXPECT_EQ(0u, error.find("line ")) << error;
        }
    }
    EXPECT_GT(assembled, 100) << "some damaged texts are still valid shaders";
}

} // namespace
