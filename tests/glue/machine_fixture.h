// machine_fixture.h - a GbaMachine of the glue library beside an engine, set
// to show every frame without waiting, as the plug-in's unit tests drive it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "gba_machine.h"

class MachineFixture : public EngineFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    bool Start(const std::string& path);
    void RunFrames(int frames);
    uint32_t KeypadRegister() const;
    // The visible 240 x 160 of the surface the renderer draws into.
    std::vector<uint16_t> SurfacePicture() const;

    std::unique_ptr<GbaMachine> machine;
};
