// Writing the generated files. No Windows headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes `bytes` to `folder`/`name`, replacing the file; false (with a message on stderr) on any
// failure.
bool WriteFileBytes(const std::string& folder, const std::string& name,
                    const std::vector<uint8_t>& bytes);
