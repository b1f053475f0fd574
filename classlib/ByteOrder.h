// Reading little-endian numbers out of file content, for the picture format checks.
// Plain C++: the callers make sure At + the number's size lies inside D.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline uint16_t Le16(const std::string& D, size_t At) {
    return static_cast<uint16_t>(static_cast<unsigned char>(D[At]) | static_cast<unsigned char>(D[At + 1]) << 8);
}

inline uint32_t Le32(const std::string& D, size_t At) {
    return static_cast<uint32_t>(Le16(D, At)) | static_cast<uint32_t>(Le16(D, At + 2)) << 16;
}
