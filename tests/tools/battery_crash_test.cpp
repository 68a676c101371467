// battery_crash_test.cpp - a runner killed while the game plays keeps what the
// game saved, and a run stopped normally writes exactly the battery file it
// always wrote, with no extra writes while the memory is untouched.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "cpu/cpu.h"
#include "headless.h"
#include "test_support.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// A runner that emulates until it is killed.
class EndlessRun {
public:
    explicit EndlessRun(const std::string& cartridge) {
        std::string runner = std::string(TAMBORIL_BIN_DIR) + "/tamboril-run";
        const char* argv[] = {runner.c_str(), "--frames", "2147483647", cartridge.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, runner.c_str(), &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~EndlessRun() { Kill(); }
    EndlessRun(const EndlessRun&) = delete;
    EndlessRun& operator=(const EndlessRun&) = delete;
    bool started() const { return pid_ > 0; }
    // SIGKILL: no shutdown, no battery file written at the end. True when the
    // runner was still running until then.
    bool Kill() {
        if (pid_ <= 0) return false;
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid_ = -1;
};

// Waits (real time, generously for slow builds) until the file has `size` bytes.
bool AwaitFile(const std::string& path, uintmax_t size) {
    for (auto end = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < end;) {
        std::error_code error;
        if (std::filesystem::file_size(path, error) == size && !error) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

struct CrashCase {
    const char* program;
    uintmax_t batterySize;
};

class KilledRunner : public ::testing::TestWithParam<CrashCase> {};

// The programs write their memories in the first frames and check every byte
// on the next run; a killed runner never reaches its shutdown write.
TEST_P(KilledRunner, KeepsWhatTheGameSaved) {
    TempDir dir;
    const std::string game = dir.File("game.gba");
    std::filesystem::copy_file(ProgramPath(GetParam().program), game);
    {
        EndlessRun run(game);
        ASSERT_TRUE(run.started());
        ASSERT_TRUE(AwaitFile(dir.File("game.sav"), GetParam().batterySize)) << "no battery file while playing";
        std::this_thread::sleep_for(2s);
        ASSERT_TRUE(run.Kill()) << "the runner ended by itself";
    }
    BootProgram(game);
    Headless::RunFrames(30);
    EXPECT_EQ(Cpu.r[11], 2u) << "the next run found the first run's memory";
    EXPECT_EQ(Cpu.r[12], 0u) << "check that failed";
    Headless::StopMachine();
}

INSTANTIATE_TEST_SUITE_P(Chips, KilledRunner,
                         ::testing::Values(CrashCase{"save_all_chips", 65536 + 512}, CrashCase{"save_flash_1m", 131072},
                                           CrashCase{"save_eeprom_8k", 8192}),
                         [](const auto& info) { return std::string(info.param.program); });

// save_battery writes "TM", the run number and EEPROM block 7 in its first
// frame and then idles: one write a second later, one at the end, and the
// file is the one the runner has always written for it.
TEST(StoppedRunner, WritesTheSameBatteryFileAsAlways) {
    TempDir dir;
    const std::string game = dir.File("game.gba");
    std::filesystem::copy_file(ProgramPath("save_battery"), game);
    RunnerResult run = RunRunner("--console --frames 1200 " + game);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(BatteryWrites(run.output), 2) << run.output;
    std::vector<uint8_t> expected(65536 + 512, 0);
    expected[0] = 'T';
    expected[1] = 'M';
    expected[2] = 1;
    expected[65536 + 7 * 8] = 1;  // block 7 = 1, little-endian
    EXPECT_EQ(ReadFileBytes(dir.File("game.sav")), expected);

    const std::string idle = dir.File("idle.gba");
    std::filesystem::copy_file(ProgramPath("count_loop"), idle);
    RunnerResult untouched = RunRunner("--console --frames 600 " + idle);
    EXPECT_EQ(BatteryWrites(untouched.output), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("idle.sav")));
}

}  // namespace
