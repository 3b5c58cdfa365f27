// What a failure code means, in words.
#pragma once

#include <cstdint>
#include <string>

// The name of a DirectDraw or Direct3D result, or the system's own description of the code
// (a last-error value or a system result). Empty when neither knows the code.
std::string DescribeCode(int32_t code);
