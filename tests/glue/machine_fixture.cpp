// machine_fixture.cpp - starting and stepping the glue library's machine.
#include "machine_fixture.h"

#include "machine/io.h"
#include "video/renderer.h"

void MachineFixture::SetUp() {
    EngineFixture::SetUp();
    machine = std::make_unique<GbaMachine>();
    machine->ResetSettings();
    machine->GetSettings().set(L"FrameSync", false);
    machine->GetSettings().set(L"FrameSkip", 1);
}

void MachineFixture::TearDown() {
    machine.reset();
    EngineFixture::TearDown();
}

bool MachineFixture::Start(const std::string& path) { return machine->RunFile(CString::FromUtf8(path)); }

void MachineFixture::RunFrames(int frames) {
    for (int i = 0; i < frames; ++i) machine->Execute();
}

uint32_t MachineFixture::KeypadRegister() const { return ReadIo(Reg::KEYINPUT); }

std::vector<uint16_t> MachineFixture::SurfacePicture() const {
    std::vector<uint16_t> picture(ScreenWidth * ScreenHeight);
    if (!FrameSurface) return picture;
    for (int y = 0; y < ScreenHeight; ++y)
        std::copy_n(FrameSurface + y * SurfaceWidth + SurfaceLeft, ScreenWidth, picture.begin() + y * ScreenWidth);
    return picture;
}
