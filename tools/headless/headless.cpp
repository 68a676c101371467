// headless.cpp - the host side of a windowless machine: hooks and frame stepping.
#include "headless.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "audio.h"
#include "cpu/cpu.h"
#include "machine/cartridge.h"
#include "machine/io.h"
#include "machine/save_state.h"
#include "machine/scanline.h"
#include "video/renderer.h"

namespace Headless {
namespace {

std::vector<uint16_t> Surface(SurfaceWidth* SurfaceHeight);
std::vector<uint16_t> Shown(ScreenWidth* ScreenHeight);
uint64_t Frames = 0;
int FramesLeft = 0;
bool Stopped = false;
bool Running = false;
uint32_t Keys = 0;
const KeyScript* Script = nullptr;

void CopyShownFrame() {
    for (int y = 0; y < ScreenHeight; ++y)
        std::memcpy(&Shown[y * ScreenWidth], &Surface[y * SurfaceWidth + SurfaceLeft], ScreenWidth * 2);
}

// Called once per frame when line 160 begins; the frame boundary the runner stops at.
uint32_t ReadKeys() {
    RenderAudioFrame();  // where the plug-in refills the wave-out buffers
    uint32_t keys = Script ? Script->KeysAt(Frames) : Keys;
    ++Frames;
    if (FramesLeft > 0 && --FramesLeft == 0) StopRequest = true;
    return keys;
}

}  // namespace

bool StartMachine(const std::string& path) {
    FrameSurface = Surface.data();
    FillColourTables();
    SetPresentHook(CopyShownFrame);
    SetKeypadHook(ReadKeys);
    Frames = 0;
    FramesLeft = 0;
    Stopped = false;
    // A previous machine's run ends with its stop request still set; the new
    // machine must not stop at its first vertical blank.
    StopRequest = false;
    Keys = 0;
    Running = LoadCartridge(path.c_str());
    return Running;
}

void StopMachine() {
    if (!Running) return;
    ShutdownMachine();
    Running = false;
}

void RunFrames(int frames) {
    if (frames <= 0 || !Running) return;
    if (Stopped) ResumeAfterStop();
    FramesLeft = frames;
    while (RunCpu(Cpu) != 0) {
    }
    Stopped = true;
}

bool SaveState(const std::string& path) { return Running && SaveMachineState(path.c_str()); }

bool LoadState(const std::string& path) {
    if (!Running) return false;
    bool loaded = LoadMachineState(path.c_str());
    // RunFrames stops inside the slice that begins line 160, before DISPSTAT
    // shows the vertical blank; a machine in that state (loaded, reset or
    // untouched) must have that slice completed before it runs on. Running
    // never leaves that combination otherwise.
    Stopped = ReadIo(Reg::VCOUNT) == 160 && !(ReadIo(Reg::DISPSTAT) & 1);
    return loaded;
}

uint64_t FrameCount() { return Frames; }
void SetKeys(uint32_t keys) { Keys = keys; }
void SetKeyScript(const KeyScript* script) { Script = script; }
const uint16_t* LastFrame() { return Shown.data(); }

}  // namespace Headless
