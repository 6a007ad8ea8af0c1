// Little-endian numbers appended to a byte string, as Windows files and
// RIFF files store them.
#ifndef TAVO_TOOLS_COMMON_LITTLE_ENDIAN_H
#define TAVO_TOOLS_COMMON_LITTLE_ENDIAN_H

#include <cstdint>
#include <string>

inline void putWord(std::string &out, uint16_t value) {
    out += char(value & 0xFF);
    out += char(value >> 8);
}

inline void putDword(std::string &out, uint32_t value) {
    putWord(out, uint16_t(value & 0xFFFF));
    putWord(out, uint16_t(value >> 16));
}

#endif
