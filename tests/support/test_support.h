// test_support.h - paths to test cartridges and helpers to boot and inspect the machine.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_files.h"

// One run of tamboril-run with the given (shell-quoted) arguments, started in
// `folder` when one is given: its exit status and its stdout and stderr together.
struct RunnerResult {
    int status;
    std::string output;
};
RunnerResult RunRunner(const std::string& arguments, const std::string& folder = "");

// Battery file writes that console text announces ("writing..." lines).
int BatteryWrites(const std::string& console);

// Stops any machine, clears the console text and loads a cartridge through
// the headless host; false when the load failed.
bool StartCartridge(const std::string& path);
// Boots a cartridge through the headless host (fails the test when it cannot).
void BootProgram(const std::string& path);
// Boots a raw ARM program (little-endian words) placed at 0x08000000 in a
// minimal cartridge image; the image is written into `dir`.
void BootWords(const TempDir& dir, const std::vector<uint32_t>& words);

// Makes file writes of this process fail past `bytes` (with EFBIG, as a full
// disk fails them) while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_;
    void (*previous_)(int);
};

// A temporary folder for cartridge images and the files the machine writes
// beside them; the machine is stopped after each test.
class ImageFolderTest : public ::testing::Test {
protected:
    void TearDown() override;
    // Writes an image file into the folder; its path.
    std::string Image(const std::string& name, const std::vector<uint8_t>& bytes);
    TempDir dir;
};
