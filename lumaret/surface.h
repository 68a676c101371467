// surface.h - drawing surfaces: 16-bit RGB565 pixel memory that the emulator renders
// into and the window stretches onto the screen.
//
// A surface's pixel memory is allocated once, when the surface is created, and stays
// at the same address and writable until the surface is deleted; `Lock` hands out
// that address. Rows are `GetPitch()` bytes apart (the width times two, rounded up
// to a multiple of four).
#pragma once

#include <cstdint>
#include <memory>

#include "types.h"

namespace Lumaret {

class LUMARET_API Surface {
public:
    virtual ~Surface();
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual int GetBytesPerPixel() = 0;
    virtual int GetPitch() = 0;
    // The first pixel (top-left); row r starts GetPitch() * r bytes further on.
    virtual uint16_t* Lock() = 0;
    virtual void Unlock() = 0;
};

// RGB565 of a 24-bit 0xRRGGBB colour by truncation (no rounding, no dithering), the
// rule the pad skins' hit-map colours are written with: 0xFF9900 gives 0xFCC0.
constexpr uint16_t Rgb565FromRgb888(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F));
}

namespace GDI {

class LUMARET_API Surface : public Lumaret::Surface {
public:
    // Largest width or height a surface may have.
    static constexpr int kMaxSide = 8192;

    // A surface of width x height pixels, all black; null when a side is not in
    // 1..kMaxSide or the memory cannot be had.
    static Surface* Create(int width, int height);
    // An image file in any format Qt reads (BMP, PNG, ...), converted to RGB565 by
    // Rgb565FromRgb888; null when the file is missing, empty or damaged.
    static Surface* CreateFromFile(const wchar_t* path);
    // A Qt resource: `name` is the resource path without the leading ":/"
    // (":/166" for the name "166"); `instance` is the module the resource belongs
    // to, which Qt does not need (its resources are process-wide). Null when absent.
    static Surface* CreateFromResource(void* instance, const wchar_t* name);
    static Surface* CreateFromResource(void* instance, int identifier);

    ~Surface() override;
    int GetWidth() override;
    int GetHeight() override;
    int GetBytesPerPixel() override;
    int GetPitch() override;
    uint16_t* Lock() override;
    void Unlock() override;

    // How many Lock calls are not yet matched by Unlock.
    int GetLockCount() const { return locks_; }

private:
    Surface(int width, int height, std::unique_ptr<uint16_t[]> pixels);

    int width_;
    int height_;
    std::unique_ptr<uint16_t[]> pixels_;
    int locks_ = 0;
};

}  // namespace GDI
}  // namespace Lumaret
