// Build-time generator: scrambles the effect text for the engine's RCDATA resource.
//   scramble_effect <effect text> <scrambled output>
#include <cstdio>
#include <vector>

#include "text_scramble.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: scramble_effect <effect text> <scrambled output>\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    if (in == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<unsigned char> data;
    unsigned char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        data.insert(data.end(), buffer, buffer + got);
    }
    const bool readFailed = std::ferror(in) != 0;
    std::fclose(in);
    if (readFailed || data.empty()) {
        std::fprintf(stderr, "scramble_effect: cannot read %s or it is empty\n", argv[1]);
        return 1;
    }
    d3dx::ScrambleEffectText(data.data(), data.size());
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    const bool written = std::fwrite(data.data(), 1, data.size(), out) == data.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "scramble_effect: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
