// record.h - little-endian field access for the stored records (backup chips,
// save states, the battery file), independent of the host's byte order.
#pragma once

#include <cstdint>

inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadLe32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
inline uint64_t LoadLe64(const uint8_t* p) { return LoadLe32(p) | static_cast<uint64_t>(LoadLe32(p + 4)) << 32; }
inline int32_t LoadLeSigned32(const uint8_t* p) { return static_cast<int32_t>(LoadLe32(p)); }

inline void StoreLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void StoreLe64(uint8_t* p, uint64_t v) {
    StoreLe32(p, static_cast<uint32_t>(v));
    StoreLe32(p + 4, static_cast<uint32_t>(v >> 32));
}
