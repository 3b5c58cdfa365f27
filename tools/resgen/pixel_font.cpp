#include "pixel_font.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

struct GlyphEntry {
    char letter;
    const char* rows[kGlyphRows];
};

const GlyphEntry kGlyphs[] = {
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#"}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
};

} // namespace

const char* const* Glyph(char letter) {
    for (const GlyphEntry& entry : kGlyphs) {
        if (entry.letter == letter) {
            return entry.rows;
        }
    }
    return nullptr;
}

double TextWidth(const char* text, double scale) {
    const size_t letters = std::strlen(text);
    if (letters == 0) {
        return 0.0;
    }
    return (letters * (kGlyphColumns + 1) - 1) * scale;
}

Shape TextShape(const char* text, double left, double top, double scale) {
    return [text = std::string(text), left, top, scale](double x, double y) {
        const double column = std::floor((x - left) / scale);
        const double row = std::floor((y - top) / scale);
        if (column < 0.0 || row < 0.0 || row >= kGlyphRows) {
            return false;
        }
        const size_t letter = static_cast<size_t>(column) / (kGlyphColumns + 1);
        const size_t inLetter = static_cast<size_t>(column) % (kGlyphColumns + 1);
        if (letter >= text.size() || inLetter >= kGlyphColumns) {
            return false;
        }
        const char* const* rows = Glyph(text[letter]);
        return rows != nullptr && rows[static_cast<size_t>(row)][inLetter] == '#';
    };
}
