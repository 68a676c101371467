// platform_test.cpp - the structured exception, module loading, the folders and
// the precise timer.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "platform/module.h"
#include "platform/paths.h"
#include "platform/precise_timer.h"
#include "platform/structured_exception.h"

namespace {

TEST(StructuredException, CarriesTheFullThirtyTwoBitCode) {
    try {
        RaiseException(0xC0000005u);
        FAIL() << "RaiseException returned";
    } catch (const StructuredException& e) {
        EXPECT_EQ(e.Code(), 0xC0000005u);
    }
    EXPECT_THROW(RaiseException(0x6001), std::exception) << "caught by a handler for std::exception too";
}

TEST(StructuredException, RaisedInALoadedLibraryIsCaughtByType) {
    Platform::ModuleHandle module = Platform::LoadModule(TAMBORIL_BIN_DIR "/libraising_module.so");
    ASSERT_NE(module, nullptr) << Platform::LastModuleError();
    auto raise = reinterpret_cast<void (*)(DWORD)>(Platform::FindSymbol(module, "RaiseFromModule"));
    ASSERT_NE(raise, nullptr);
    DWORD caught = 0;
    try {
        raise(0x6001);
    } catch (const StructuredException& e) {
        caught = e.Code();
    }
    EXPECT_EQ(caught, 0x6001u);
    Platform::FreeModule(module);
}

TEST(Module, LoadsALibraryAndFindsItsExports) {
    Platform::ModuleHandle module = Platform::LoadModule(TAMBORIL_BIN_DIR "/libquintrel.so");
    ASSERT_NE(module, nullptr) << Platform::LastModuleError();
    EXPECT_NE(Platform::FindSymbol(module, "rewind"), nullptr);
    EXPECT_EQ(Platform::FindSymbol(module, "NoSuchFunction"), nullptr);
    Platform::FreeModule(module);
}

TEST(Module, AMissingLibraryGivesNullAndAReason) {
    EXPECT_EQ(Platform::LoadModule("/nonexistent/Kestrine.so"), nullptr);
    EXPECT_NE(Platform::LastModuleError().find("Kestrine.so"), std::string::npos);
    EXPECT_EQ(Platform::FindSymbol(nullptr, "NewEmulator"), nullptr);
    Platform::FreeModule(nullptr);
}

TEST(Paths, ExecutableFolderHoldsTheRunningTest) {
    std::string folder = Platform::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "/platform_tests"));
}

// Sets environment variables for one test and restores them afterwards.
class Environment : public ::testing::Test {
protected:
    void Set(const char* name, const char* value) {
        const char* old = getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    void TearDown() override {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(Environment, ConfigFolderPrefersOwnThenXdgThenHome) {
    Set("TAMBORIL_HOME", "/own/place");
    Set("XDG_CONFIG_HOME", "/xdg");
    Set("HOME", "/home/player");
    EXPECT_EQ(Platform::ConfigFolder(), "/own/place");
    Set("TAMBORIL_HOME", nullptr);
    EXPECT_EQ(Platform::ConfigFolder(), "/xdg/tamboril");
    Set("XDG_CONFIG_HOME", "relative/xdg");
    EXPECT_EQ(Platform::ConfigFolder(), "/home/player/.config/tamboril") << "a relative XDG folder is ignored";
    Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(Platform::ConfigFolder(), "/home/player/.config/tamboril");
}

TEST(Paths, MakeFoldersCreatesParentsAndFailsBelowAFile) {
    std::string root = ::testing::TempDir() + "make_folders_" + std::to_string(getpid());
    std::filesystem::remove_all(root);
    EXPECT_TRUE(Platform::MakeFolders(root + "/a/ä 日/c"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/a/ä 日/c"));
    EXPECT_TRUE(Platform::MakeFolders(root + "/a")) << "an existing folder is fine";
    FILE* file = fopen((root + "/file").c_str(), "w");
    ASSERT_NE(file, nullptr);
    fclose(file);
    EXPECT_FALSE(Platform::MakeFolders(root + "/file"));
    EXPECT_FALSE(Platform::MakeFolders(root + "/file/below"));
    EXPECT_FALSE(Platform::MakeFolders(""));
    std::filesystem::remove_all(root);
}

TEST(PreciseTimer, MeasuresAtLeastTheTimeSlept) {
    CPreciseTimer timer;
    ASSERT_TRUE(timer.IsValid());
    ASSERT_TRUE(timer.Begin());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    double first = timer.End();
    EXPECT_GE(first, 0.020);
    EXPECT_GE(timer.End(), first) << "End does not restart the timer";
}

}  // namespace
