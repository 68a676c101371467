// video_support.cpp - host side of the video tests: machine stores, frames, reference images.
#include "video_support.h"

#include <cstdlib>
#include <filesystem>

#include "machine/io.h"
#include "machine/memory.h"
#include "png_file.h"
#include "reference_image.h"
#include "video/renderer.h"

void VideoTest::SetUp() {
    BootWords(dir, {0xEAFFFFFE});  // B . (idle)
    for (AffineBackground& a : Affine) a = AffineBackground{0x100, 0, 0, 0x100, 0, 0, 0, 0};
    BlendEva = BlendEvb = BlendEvy = 0;
    ResetBgOrder();
}

namespace {

int32_t SignExtend(uint32_t value, int bits) {
    uint32_t sign = 1u << (bits - 1), mask = (sign << 1) - 1;
    return static_cast<int32_t>(((value & mask) ^ sign) - sign);
}

// What the register write handler keeps beside the I/O page.
void DeriveFromRegister(uint32_t offset, uint32_t value) {
    if (offset >= 0x08 && offset <= 0x0E) UpdateBgOrder((offset - 0x08) / 2, value);
    if (offset == 0x52) {
        BlendEva = BlendCoefficient(value & 31);
        BlendEvb = BlendCoefficient((value >> 8) & 31);
    }
    if (offset == 0x54) BlendEvy = BlendCoefficient(value & 31);
    if (offset >= 0x20 && offset < 0x40) {
        AffineBackground& a = Affine[(offset - 0x20) / 0x10];
        uint32_t field = offset & 0xF;
        int32_t step = static_cast<int16_t>(value);
        if (field == 0x0) a.pa = step;
        if (field == 0x2) a.pb = step;
        if (field == 0x4) a.pc = step;
        if (field == 0x6) a.pd = step;
        if (field >= 0x8) {
            uint32_t point = offset & ~3u;
            int32_t v = SignExtend(ReadIo(point) | ReadIo(point + 2) << 16, 28);
            (field < 0xC ? a.latchedX : a.latchedY) = v;
        }
    }
}

}  // namespace

void ScenePoke16(uint32_t address, uint32_t value) {
    value &= 0xFFFF;
    uint32_t region = address >> 24, offset = address & 0xFFFFFF & ~1u;
    if (region == 4 && offset < 0x400) {
        StoreIo(offset, value);
        DeriveFromRegister(offset, value);
    } else if (region == 5) {
        Store16(PaletteRam() + (offset & 0x3FF), value);
    } else if (region == 6 && offset < VideoRamSize) {
        Store16(VideoRam() + offset, value);
    } else if (region == 7) {
        Store16(ObjectRam() + (offset & 0x3FF), value);
    } else {
        ADD_FAILURE() << "scene store outside video memory at " << std::hex << address;
    }
}

void ScenePoke32(uint32_t address, uint32_t value) {
    ScenePoke16(address, value & 0xFFFF);
    ScenePoke16(address + 2, value >> 16);
}

std::vector<uint16_t> RenderFrame() {
    for (AffineBackground& a : Affine) {
        a.x = a.latchedX;
        a.y = a.latchedY;
    }
    for (int line = 0; line < ScreenHeight; ++line) {
        RenderLine(line);
        for (AffineBackground& a : Affine) {
            a.x += a.pb;
            a.y += a.pd;
        }
    }
    std::vector<uint16_t> frame(ScreenWidth * ScreenHeight);
    for (int line = 0; line < ScreenHeight; ++line)
        for (int x = 0; x < ScreenWidth; ++x) frame[line * ScreenWidth + x] = SurfacePixel(x, line);
    return frame;
}

uint16_t SurfacePixel(int x, int line) { return FrameSurface[line * SurfaceWidth + SurfaceLeft + x]; }

void ExpectMatchesReference(const std::string& name, const uint16_t* frame) {
    ExpectMatchesReferenceImage(std::string(TAMBORIL_SOURCE_DIR) + "/tests/video/reference/" + name + ".png", frame);
}
