// surface.cpp - RGB565 surfaces: blank ones and ones read from image files and
// Qt resources.
#include "surface.h"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstddef>
#include <new>
#include <string>

namespace Lumaret {

Surface::~Surface() = default;

namespace GDI {

namespace {

// Pixels per row: rows are kept 32-bit aligned.
int PitchPixels(int width) { return (width + 1) & ~1; }

bool SideFits(int side) { return side >= 1 && side <= Surface::kMaxSide; }

// Reads an image file or resource; null when it is missing, empty or damaged,
// or too large to be a surface (checked before the pixels are decoded).
Surface* ReadImage(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && (!SideFits(size.width()) || !SideFits(size.height()))) return nullptr;
    QImage image;
    if (!reader.read(&image) || image.isNull()) return nullptr;
    image = image.convertToFormat(QImage::Format_RGB32);
    Surface* surface = Surface::Create(image.width(), image.height());
    if (!surface) return nullptr;
    uint16_t* pixels = surface->Lock();
    const int pitch = surface->GetPitch() / 2;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint16_t* out = pixels + static_cast<ptrdiff_t>(y) * pitch;
        for (int x = 0; x < image.width(); ++x) out[x] = Rgb565FromRgb888(in[x] & 0xFFFFFF);
    }
    surface->Unlock();
    return surface;
}

}  // namespace

Surface::Surface(int width, int height, std::unique_ptr<uint16_t[]> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

Surface::~Surface() = default;

Surface* Surface::Create(int width, int height) {
    if (!SideFits(width) || !SideFits(height)) return nullptr;
    std::unique_ptr<uint16_t[]> pixels(new (std::nothrow) uint16_t[static_cast<size_t>(PitchPixels(width)) * height]());
    if (!pixels) return nullptr;
    return new Surface(width, height, std::move(pixels));
}

Surface* Surface::CreateFromFile(const wchar_t* path) {
    if (!path || !*path) return nullptr;
    return ReadImage(QString::fromWCharArray(path));
}

Surface* Surface::CreateFromResource(void*, const wchar_t* name) {
    if (!name || !*name) return nullptr;
    return ReadImage(QStringLiteral(":/") + QString::fromWCharArray(name));
}

Surface* Surface::CreateFromResource(void* instance, int identifier) {
    return CreateFromResource(instance, std::to_wstring(identifier).c_str());
}

int Surface::GetWidth() { return width_; }
int Surface::GetHeight() { return height_; }
int Surface::GetBytesPerPixel() { return 2; }
int Surface::GetPitch() { return PitchPixels(width_) * 2; }

uint16_t* Surface::Lock() {
    ++locks_;
    return pixels_.get();
}

void Surface::Unlock() {
    if (locks_ > 0) --locks_;
}

}  // namespace GDI
}  // namespace Lumaret
