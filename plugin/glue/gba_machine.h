// gba_machine.h - GbaMachine, the Game Boy Advance as one emulator of the
// engine: its settings, the start and stop of a cartridge image, running in
// frames, and the machine states beside the image.
//
// Life of the machine (StopRequest tells the two states apart):
//   stopped (StopRequest set; nothing allocated)
//     --RunFile--> running: outputs open, cartridge loaded, StopRequest clear
//     --Execute--> runs the CPU up to the next frame boundary (line 160
//                  begins, right after the keypad read) and stops there; the
//                  next Execute completes that slice and goes on, so a run cut
//                  into frames is the same run as one uncut
//     --Stop-->    stopped: the battery file written, everything released,
//                  outputs closed. A second Stop shuts nothing down again.
// A failed load leaves the machine running with its outputs open until the
// engine's Shutdown calls Stop.
#pragma once

#include <memory>
#include <string>

#include "engine/emulator.h"

class GbaVideo;
class GbaSound;
class GbaInput;

class GbaMachine : public Emu::Emulator {
public:
    GbaMachine();
    ~GbaMachine() override;
    GbaMachine(const GbaMachine&) = delete;
    GbaMachine& operator=(const GbaMachine&) = delete;

    void Stop() override;
    void Reset() override;
    // Accepts a name containing ".gba" (case ignored) and starts it; a load
    // that fails shows "Loading failed!" and raises the exception 0x6001.
    // False for other names, and when the video surface cannot be made.
    bool RunFile(CString path) override;
    // Runs to the next frame boundary; false there (and when nothing runs).
    bool Execute() override;
    bool SaveState() override;
    bool HasState() override;
    bool LoadState() override;
    bool CheckState() override;
    void ShowSettings() override;
    void LoadSettings(CRegistry& registry) override;
    void SaveSettings(CRegistry& registry) override;
    void ResetSettings() override;
    CString GetName() override;
    CString GetFileFilter() override;
    CString GetID() override;

    // Copies the FrameSkip setting, kept in its range, into the machine's
    // copy (when a file starts and when the settings dialog ends with OK).
    void TakeFrameSkip();

    // The state file of the running image: its path (UTF-8) with the
    // extension of its file name replaced by ".STA"; empty when none runs.
    std::string StateFileName() const;

private:
    bool hasState_ = false;
    std::string image_;  // the running image's path, UTF-8; empty when stopped
    std::unique_ptr<GbaSound> ownSound_;
    std::unique_ptr<GbaVideo> ownVideo_;
    std::unique_ptr<GbaInput> ownInput_;
};
