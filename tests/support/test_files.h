// test_files.h - paths to test cartridges, temporary directories and whole files;
// nothing here runs the machine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Cartridge built from tests/programs/NAME.s or NAME.c.
std::string ProgramPath(const std::string& name);
// Path of a fresh private copy of a file under ../shared/roms (a battery file the
// run writes lands beside the copy), or "" when it is absent. Absence fails
// the test when TAMBORIL_REQUIRE_SHARED_ROMS=1 (CI), else the caller skips.
std::string SharedRom(const std::string& relative);
#define REQUIRE_SHARED_ROM(var, relative)        \
    const std::string var = SharedRom(relative); \
    if (var.empty()) GTEST_SKIP() << "../shared/roms/" << (relative) << " is absent"

// A fresh temporary directory, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A fresh copy of the demo cartridge at `relative` below `folder` (folders
// made as needed); its path.
std::string CopyDemo(const TempDir& folder, const std::string& relative);

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
