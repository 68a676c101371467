// bios_math.cpp - the arithmetic BIOS calls: division, square root, arctangents
// and the rotation/scaling parameter set-up for backgrounds and sprites.
//
// Results are computed in host doubles where the console's BIOS uses tables
// and fixed point; the constants below and truncation toward zero fix the
// integer results. Every double-to-integer conversion goes through Truncate,
// which is defined for every input (C++ leaves out-of-range conversions
// undefined).
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "../machine/memory.h"
#include "bios_calls.h"

namespace Bios {
namespace {

// Angle units per radian for the arctangent results (a half turn is about 0x8000).
constexpr double AngleUnitsPerRadian = std::bit_cast<double>(0x40C45F07B53D682Bull);
// Radians per angle unit for the affine calls; negative, so a growing angle
// turns the picture counter-clockwise on screen.
constexpr double RadiansPerAngleUnit = std::bit_cast<double>(0xBF1921FB4D12D84Aull);

int32_t Truncate(double value) {
    if (std::isnan(value)) return 0;
    if (value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// Angle result as the console stores it: a 16-bit turn fraction, negative
// angles wrapping into 0x8000-0xFFFF.
uint32_t AngleResult(double radians) { return static_cast<uint32_t>(Truncate(radians * AngleUnitsPerRadian)) & 0xFFFF; }

// An 8.8 fixed-point scale; 0 stands for 1.0.
double Scale(uint32_t raw) {
    int16_t scale = static_cast<int16_t>(raw);
    return scale == 0 ? 256.0 : scale;
}

struct AffineSteps {
    int32_t pa, pb, pc, pd;
};

AffineSteps Rotate(uint32_t scaleX, uint32_t scaleY, uint32_t angle) {
    double theta = (angle & 0xFFFF) * RadiansPerAngleUnit;
    double cosine = std::cos(theta), sine = std::sin(theta);
    double sx = Scale(scaleX), sy = Scale(scaleY);
    return {Truncate(cosine * sx), Truncate(sine * sx), -Truncate(sine * sy), Truncate(cosine * sy)};
}

uint32_t Product(uint32_t a, int32_t b) {
    return static_cast<uint32_t>(static_cast<int64_t>(static_cast<int16_t>(a)) * b);
}

}  // namespace

void Divide(CpuState& cpu, uint32_t numerator, uint32_t denominator) {
    if (denominator == 0) return;
    // 64-bit arithmetic keeps 0x80000000 / -1 defined: quotient 0x80000000, remainder 0.
    int64_t n = static_cast<int32_t>(numerator), d = static_cast<int32_t>(denominator);
    int64_t quotient = n / d;
    cpu.r[0] = static_cast<uint32_t>(quotient);
    cpu.r[1] = static_cast<uint32_t>(n % d);
    cpu.r[3] = static_cast<uint32_t>(quotient < 0 ? -quotient : quotient);
}

void SquareRoot(CpuState& cpu) {
    // Bit-by-bit integer square root: exact for every 32-bit value.
    uint32_t value = cpu.r[0], root = 0;
    for (uint32_t bit = 1u << 30; bit != 0; bit >>= 2) {
        if (value >= root + bit) {
            value -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
    }
    cpu.r[0] = root & 0xFFFF;
}

void ArcTangent(CpuState& cpu) {
    double x = static_cast<int16_t>(cpu.r[0]) / 16384.0;
    cpu.r[0] = AngleResult(std::atan(x));
}

void ArcTangent2(CpuState& cpu) {
    int16_t x = static_cast<int16_t>(cpu.r[0]), y = static_cast<int16_t>(cpu.r[1]);
    if (x == 0) return;
    cpu.r[0] = AngleResult(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

void BgAffineSet(CpuState& cpu) {
    uint32_t source = cpu.r[0], dest = cpu.r[1];
    for (uint32_t n = cpu.r[2]; n != 0; --n) {
        uint32_t originX = MemRead32(source), originY = MemRead32(source + 4);
        uint32_t centreX = MemRead16(source + 8), centreY = MemRead16(source + 10);
        uint32_t scaleX = MemRead16(source + 12), scaleY = MemRead16(source + 14);
        AffineSteps p = Rotate(scaleX, scaleY, MemRead16(source + 16));
        MemWrite16(dest, static_cast<uint32_t>(p.pa));
        MemWrite16(dest + 2, static_cast<uint32_t>(p.pb));
        MemWrite32(dest + 8, originX - Product(centreY, p.pb) - Product(centreX, p.pa));
        MemWrite16(dest + 4, static_cast<uint32_t>(p.pc));
        MemWrite16(dest + 6, static_cast<uint32_t>(p.pd));
        MemWrite32(dest + 12, originY - Product(centreY, p.pd) - Product(centreX, p.pc));
        source += 20;
        dest += 16;
    }
}

void ObjAffineSet(CpuState& cpu) {
    uint32_t source = cpu.r[0], dest = cpu.r[1], stride = cpu.r[3];
    for (uint32_t n = cpu.r[2]; n != 0; --n) {
        AffineSteps p = Rotate(MemRead16(source), MemRead16(source + 2), MemRead16(source + 4));
        MemWrite16(dest, static_cast<uint32_t>(p.pa));
        MemWrite16(dest + stride, static_cast<uint32_t>(p.pb));
        MemWrite16(dest + 2 * stride, static_cast<uint32_t>(p.pc));
        MemWrite16(dest + 3 * stride, static_cast<uint32_t>(p.pd));
        dest += 4 * stride;
        source += 8;
    }
}

}  // namespace Bios
