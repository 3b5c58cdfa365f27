#include "level_texts.h"

namespace {

struct Words {
    const char* zoom;
    const char* size;
    const char* brightness;
    const char* noFilter;
    char decimalPoint;
};

constexpr Words kEnglish = {"Zoom", "Size", "Brightness", "No filter", '.'};
constexpr Words kRussian = {"\xCC\xE0\xF1\xF8\xF2\xE0\xE1", "\xD0\xE0\xE7\xEC\xE5\xF0",
                            "\xDF\xF0\xEA\xEE\xF1\xF2\xFC",
                            "\xC1\xE5\xE7 \xF4\xE8\xEB\xFC\xF2\xF0\xE0", ','};

const Words& WordsOf(bool russian) {
    return russian ? kRussian : kEnglish;
}

} // namespace

std::string ZoomText(uint32_t lensWidth, uint32_t sourceWidth, bool russian) {
    const uint64_t tenths =
        sourceWidth == 0 ? 10 : (uint64_t{lensWidth} * 10 + sourceWidth / 2) / sourceWidth;
    const Words& w = WordsOf(russian);
    return std::string(w.zoom) + " " + std::to_string(tenths / 10) + w.decimalPoint +
           std::to_string(tenths % 10) + "x";
}

std::string SizeText(uint32_t lensWidth, uint32_t lensHeight, bool russian) {
    return std::string(WordsOf(russian).size) + " " + std::to_string(lensWidth) + " x " +
           std::to_string(lensHeight);
}

std::string BrightnessText(int brightness, bool russian) {
    const int percent = brightness < 0 ? 0 : (brightness + 5) / 10;
    return std::string(WordsOf(russian).brightness) + " " + std::to_string(percent) + " %";
}

std::string FilterText(const std::string& filter, bool russian) {
    return filter.empty() ? WordsOf(russian).noFilter : filter;
}
