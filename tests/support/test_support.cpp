// test_support.cpp - running the runner and booting the machine through the headless host.
#include "test_support.h"

#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "headless.h"

RunnerResult RunRunner(const std::string& arguments, const std::string& folder) {
    std::string command = std::string(TAMBORIL_BIN_DIR) + "/tamboril-run " + arguments + " 2>&1";
    if (!folder.empty()) command = "cd '" + folder + "' && " + command;
    RunnerResult result{-1, ""};
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) result.output += line;
        int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

int BatteryWrites(const std::string& console) {
    int count = 0;
    for (size_t at = console.find("writing..."); at != std::string::npos; at = console.find("writing...", at + 1))
        ++count;
    return count;
}

bool StartCartridge(const std::string& path) {
    Headless::StopMachine();
    Headless::ClearConsoleText();
    return Headless::StartMachine(path);
}

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

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, previous_);
}

void ImageFolderTest::TearDown() { Headless::StopMachine(); }

std::string ImageFolderTest::Image(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = dir.File(name);
    WriteFileBytes(path, bytes);
    return path;
}
