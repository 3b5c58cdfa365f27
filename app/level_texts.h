// The level shown in the lens after a change, as the user reads it: "Zoom 2.5x", "Size 512 x
// 256", "Brightness 120 %", the filter's name or "No filter". In English, or in Russian (code page
// 1251 bytes). No Windows headers.
#pragma once

#include <cstdint>
#include <string>

// The magnification of a lens `lensWidth` wide over a source `sourceWidth` wide, to a tenth.
std::string ZoomText(uint32_t lensWidth, uint32_t sourceWidth, bool russian);
std::string SizeText(uint32_t lensWidth, uint32_t lensHeight, bool russian);
// The engine's brightness in thousandths (1000 leaves the image as it is), in percent.
std::string BrightnessText(int brightness, bool russian);
// The filter chosen at the key; empty for none.
std::string FilterText(const std::string& filter, bool russian);
