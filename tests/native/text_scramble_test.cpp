#include "text_scramble.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const std::string& s) {
    return std::vector<unsigned char>(s.begin(), s.end());
}

TEST(TextScramble, UnscramblingRestoresEveryLengthExactly) {
    std::mt19937 random(5);
    for (size_t size : {0u, 1u, 2u, 255u, 256u, 4097u}) {
        std::vector<unsigned char> original(size);
        for (unsigned char& b : original) {
            b = static_cast<unsigned char>(random());
        }
        std::vector<unsigned char> data = original;
        d3dx::ScrambleEffectText(data.data(), data.size());
        if (size >= 16) {
            EXPECT_NE(original, data) << size;
        }
        d3dx::UnscrambleEffectText(data.data(), data.size());
        EXPECT_EQ(original, data) << size;
    }
}

TEST(TextScramble, ScrambledTextShowsNoneOfItsWords) {
    const std::string text = "technique RGB_ps { pass P0 { PixelShader = asm { ps_2_0 } } }"
                             "technique technique technique technique";
    std::vector<unsigned char> data = Bytes(text);
    d3dx::ScrambleEffectText(data.data(), data.size());
    const std::string scrambled(data.begin(), data.end());
    for (const char* word : {"technique", "pass", "ps_2_0", "RGB_ps", "asm"}) {
        EXPECT_EQ(std::string::npos, scrambled.find(word)) << word;
    }
    // Repeated text does not scramble to repeated bytes.
    const size_t first = text.find("technique technique");
    EXPECT_NE(scrambled.substr(first, 9), scrambled.substr(first + 10, 9));
}

TEST(TextScramble, APrefixScramblesLikeTheStartOfTheWhole) {
    std::vector<unsigned char> whole = Bytes("float Brightness; texture Tex;");
    std::vector<unsigned char> prefix(whole.begin(), whole.begin() + 10);
    d3dx::ScrambleEffectText(whole.data(), whole.size());
    d3dx::ScrambleEffectText(prefix.data(), prefix.size());
    EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), whole.begin()));
}

} // namespace
