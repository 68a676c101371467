// screenshot.h - F12's picture: the frame the active emulator shows, at its
// own size or doubled, as a PNG beside the cartridge. Files are numbered
// NAME-001.png, NAME-002.png, ... and an existing one is never overwritten,
// even by another program writing the same name at the same moment.
#pragma once

#include <string>

#include "png_file.h"

namespace Emu {
class Engine;
}

namespace App {

// The active emulator's last shown frame, `scale` times its size (nearest
// neighbour); an empty image when nothing is shown.
Png::RgbImage CaptureFrame(Emu::Engine& engine, int scale);

// Writes `image` as "STEM-NNN.png" with the first number from 1 whose file
// does not exist, placing it under that name only if it is still free. The
// path written, or empty (with `error` set) when the folder refuses it.
std::string WriteNumberedPng(const std::string& stem, const Png::RgbImage& image, std::string* error);

// Captures and writes the screenshot beside the running cartridge; the
// console says where it went or why it could not be written.
void SaveScreenshot(Emu::Engine& engine, int scale);

}  // namespace App
