// video_support.h - drives the renderer directly for the video tests: a booted
// idle machine, stores into its video memory, whole frames, reference images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

// A machine booted on an idle loop, whose video state the tests set by hand.
class VideoTest : public ::testing::Test {
protected:
    void SetUp() override;
    TempDir dir;
};

// Stores as the console's CPU would make them. I/O registers also update what
// the register write handler derives from them (background order, blend
// coefficients, rotation parameters and latched reference points).
void ScenePoke16(uint32_t address, uint32_t value);
void ScenePoke32(uint32_t address, uint32_t value);

// Draws lines 0..159 as the scanline step does (reference points copied from
// the latched ones at line 0 and advanced by PB, PD after each line) and
// returns the visible 240 x 160 picture.
std::vector<uint16_t> RenderFrame();
// Surface pixel at screen (x, line), margins included (x from -130).
uint16_t SurfacePixel(int x, int line);

// Compares a 240 x 160 RGB565 frame with tests/video/reference/NAME.png. On a
// difference the actual picture is written to <build>/video-actual/NAME.png.
// With TAMBORIL_UPDATE_REFERENCES=1 the reference is (re)written instead.
void ExpectMatchesReference(const std::string& name, const uint16_t* frame);
