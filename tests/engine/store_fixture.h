// store_fixture.h - a fresh configuration folder for each test (through
// TAMBORIL_HOME), the diagnostic lines the store prints, and the store files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/registry_store.h"

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        base_ = ::testing::TempDir() + "tamboril_" + std::to_string(getpid()) + "_" + test->name();
        std::filesystem::remove_all(base_);
        std::filesystem::create_directories(base_);
        UseFolder(base_ + "/config");
        previousSink_ = Emu::SetDiagnosticSink([this](const std::string& line) { lines.push_back(line); });
    }
    void TearDown() override {
        Emu::SetDiagnosticSink(previousSink_);
        std::error_code ignored;
        for (auto& entry : std::filesystem::recursive_directory_iterator(base_, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(base_, ignored);
        if (savedHome_)
            setenv("TAMBORIL_HOME", savedHome_->c_str(), 1);
        else
            unsetenv("TAMBORIL_HOME");
    }

    void UseFolder(const std::string& folder) {
        if (!savedHome_ && getenv("TAMBORIL_HOME")) savedHome_ = getenv("TAMBORIL_HOME");
        folder_ = folder;
        setenv("TAMBORIL_HOME", folder.c_str(), 1);
    }

    std::string StorePath(const char* root = "HKEY_CURRENT_USER") const { return folder_ + "/" + root + ".reg"; }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void WriteFile(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // Copies the configuration folder and continues in the copy, so what
    // follows is read from the files, as a new process would.
    void ContinueInCopy() {
        std::string copy = folder_ + "-copy";
        std::filesystem::copy(folder_, copy, std::filesystem::copy_options::recursive);
        UseFolder(copy);
    }
    std::vector<std::string> FilesInFolder() const {
        std::vector<std::string> names;
        for (auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> lines;  // diagnostic lines printed during the test
    std::string base_, folder_;

private:
    std::optional<std::string> savedHome_;
    Emu::DiagnosticSink previousSink_;
};
