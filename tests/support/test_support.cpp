// test_support.cpp - booting the machine through the headless host.
#include "test_support.h"

#include "headless.h"

void BootProgram(const std::string& path) {
    Headless::StopMachine();
    ASSERT_TRUE(Headless::StartMachine(path)) << Headless::ConsoleText();
}

void BootWords(const TempDir& dir, const std::vector<uint32_t>& words) {
    std::vector<uint8_t> image(0x200, 0);
    // Header: the entry branch skips the header area; complement of an empty header.
    image[0xBD] = static_cast<uint8_t>(0xE7 - 0x96);
    image[0xB2] = 0x96;
    const uint32_t branch = 0xEA00002E;  // B 0x080000C0
    for (int i = 0; i < 4; ++i) image[i] = static_cast<uint8_t>(branch >> (8 * i));
    image.resize(0xC0 + 4 * words.size() + 0x40, 0);
    for (size_t w = 0; w < words.size(); ++w)
        for (int i = 0; i < 4; ++i) image[0xC0 + 4 * w + i] = static_cast<uint8_t>(words[w] >> (8 * i));
    std::string path = dir.File("program.gba");
    WriteFileBytes(path, image);
    BootProgram(path);
}
