// screenshot.cpp - capturing the shown frame and writing it under the next
// free number beside the cartridge.
#include "app/screenshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/base_video.h"
#include "engine/emulator.h"
#include "engine/engine.h"
#include "lumaret/surface.h"
#include "platform/text_encoding.h"

namespace App {

namespace {

// Numbers tried before giving up on a folder that is full of screenshots.
constexpr int kMaxNumber = 99999;

std::string NumberedName(const std::string& stem, int number) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%03d.png", number);
    return stem + suffix;
}

// Gives `temporary` the name `path` unless that exists. Renaming without
// replacing is atomic; file systems without it get a hard link instead.
int PlaceWithoutReplacing(const std::string& temporary, const std::string& path) {
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (link(temporary.c_str(), path.c_str()) != 0) return errno;
    unlink(temporary.c_str());
    return 0;
}

}  // namespace

Png::RgbImage CaptureFrame(Emu::Engine& engine, int scale) {
    Emu::Emulator* active = engine.GetActiveEmulator();
    Emu::BaseVideo* video = active ? active->GetVideo() : nullptr;
    Lumaret::Surface* surface = video ? video->GetSurface() : nullptr;
    if (!surface || scale < 1) return {};
    const Lumaret::Rect frame = video->GetFrameRect();
    if (frame.width <= 0 || frame.height <= 0 || frame.x < 0 || frame.y < 0 ||
        frame.x + frame.width > surface->GetWidth() || frame.y + frame.height > surface->GetHeight())
        return {};
    std::vector<uint16_t> pixels(static_cast<size_t>(frame.width) * frame.height);
    const auto* bytes = reinterpret_cast<const uint8_t*>(surface->Lock());
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* row = bytes + static_cast<size_t>(surface->GetPitch()) * (frame.y + y) + 2 * frame.x;
        std::memcpy(&pixels[static_cast<size_t>(y) * frame.width], row, 2 * static_cast<size_t>(frame.width));
    }
    surface->Unlock();
    const Png::RgbImage shown = Png::ImageFromRgb565(pixels.data(), frame.width, frame.height);
    Png::RgbImage image{frame.width * scale, frame.height * scale, {}};
    image.pixels.resize(static_cast<size_t>(image.width) * image.height * 3);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* in = &shown.pixels[static_cast<size_t>(y / scale) * shown.width * 3];
        uint8_t* out = &image.pixels[static_cast<size_t>(y) * image.width * 3];
        for (int x = 0; x < image.width; ++x) std::memcpy(out + 3 * x, in + 3 * (x / scale), 3);
    }
    return image;
}

std::string WriteNumberedPng(const std::string& stem, const Png::RgbImage& image, std::string* error) {
    const std::string temporary = stem + ".png.tmp-" + std::to_string(getpid());
    errno = 0;
    if (!Png::WritePng(temporary, image)) {
        *error = errno ? std::strerror(errno) : "the picture could not be encoded";
        unlink(temporary.c_str());
        return {};
    }
    for (int number = 1; number <= kMaxNumber; ++number) {
        const std::string path = NumberedName(stem, number);
        if (access(path.c_str(), F_OK) == 0) continue;
        const int result = PlaceWithoutReplacing(temporary, path);
        if (result == 0) return path;
        if (result != EEXIST) {
            *error = std::strerror(result);
            break;
        }
    }
    if (error->empty()) *error = "every number is taken";
    unlink(temporary.c_str());
    return {};
}

void SaveScreenshot(Emu::Engine& engine, int scale) {
    const std::string cartridge = WideToUtf8(engine.GetFileName().Text());
    const Png::RgbImage image = engine.IsRunning() ? CaptureFrame(engine, scale) : Png::RgbImage{};
    if (cartridge.empty() || image.pixels.empty()) {
        Emu::ConsolePrintf("No screenshot: no game is shown.\n");
        return;
    }
    const size_t slash = cartridge.rfind('/');
    const size_t dot = cartridge.rfind('.');
    const std::string stem =
        dot != std::string::npos && (slash == std::string::npos || dot > slash) ? cartridge.substr(0, dot) : cartridge;
    std::string error;
    const std::string path = WriteNumberedPng(stem, image, &error);
    if (path.empty())
        Emu::ConsolePrintf("The screenshot could not be written beside %s: %s\n", cartridge.c_str(), error.c_str());
    else
        Emu::ConsolePrintf("Screenshot written to %s\n", path.c_str());
}

}  // namespace App
