// registry_safety_test.cpp - writes that cannot complete leave the previous
// file whole, an unusable configuration folder costs nothing but the settings,
// and two processes writing at once lose nothing.
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "engine/registry.h"
#include "engine/registry_text.h"
#include "store_fixture.h"

namespace {

constexpr const wchar_t* Key = L"Software\\Tamboril";

// Runs `body` in a child process and returns its exit status. As root, the
// child first becomes an unprivileged user, so that file permissions hold
// for it.
template <typename Body>
int InChildProcess(Body body, bool unprivileged) {
    pid_t child = fork();
    if (child == 0) {
        if (unprivileged && getuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(90);
        }
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

class StoreSafety : public StoreTest {};

TEST_F(StoreSafety, AWriteThatCannotCompleteLeavesThePreviousFileIntact) {
    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(Key, true));
    ASSERT_TRUE(registry.WriteInt(L"Volume", 70));
    const std::string before = ReadFile(StorePath());
    chmod(base_.c_str(), 0755);
    chmod(folder_.c_str(), 0555);  // no new file, so no temporary file and no rename

    int status = InChildProcess(
        [] {
            CRegistry child;
            if (!child.SetKey(Key, false)) return 1;
            if (child.WriteInt(L"Volume", 5)) return 2;
            if (child.WriteString(L"ROMPath", L"/elsewhere")) return 3;
            return child.ReadInt(L"Volume", 0) == 70 ? 0 : 4;
        },
        true);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(StorePath()), before);
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"HKEY_CURRENT_USER.reg"}) << "no temporary file left";
}

TEST_F(StoreSafety, AWriteCutShortLeavesThePreviousFileIntact) {
    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(Key, true));
    ASSERT_TRUE(registry.WriteInt(L"Volume", 70));
    const std::string before = ReadFile(StorePath());
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = before.size();  // the longer new file cannot be written whole
    setrlimit(RLIMIT_FSIZE, &limit);
    bool written = registry.WriteString(L"ROMPath", L"/home/player/roms");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(StorePath()), before);
    EXPECT_EQ(registry.ReadString(L"ROMPath", L"none"), CString(L"none"));
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"HKEY_CURRENT_USER.reg"}) << "no temporary file left";
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("the previous file is kept"), std::string::npos) << lines[0];
}

TEST_F(StoreSafety, AFolderThatCannotBeCreatedMakesWritesFailAndReadsDefault) {
    WriteFile(base_ + "/plain-file", "not a folder");
    UseFolder(base_ + "/plain-file/tamboril");
    CRegistry registry;
    EXPECT_FALSE(registry.SetKey(Key, true));
    EXPECT_FALSE(registry.CreateKey(Key));
    EXPECT_FALSE(registry.WriteInt(L"Volume", 5));
    EXPECT_FALSE(registry.WriteString(L"ROMPath", L"/roms"));
    EXPECT_FALSE(registry.KeyExists(Key));
    EXPECT_EQ(registry.ReadInt(L"Volume", 70), 70);
    EXPECT_EQ(registry.ReadString(L"ROMPath", L"/home"), CString(L"/home"));
    EXPECT_EQ(registry.GetValueCount(), -1);
    ASSERT_EQ(lines.size(), 1u) << "said once";
    EXPECT_NE(lines[0].find(base_ + "/plain-file/tamboril"), std::string::npos) << lines[0];
}

TEST_F(StoreSafety, TwoProcessesWritingAtOnceLoseNoChange) {
    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(Key, true));
    constexpr int Writes = 25;
    auto writer = [](const wchar_t* prefix) {
        return [prefix] {
            CRegistry child;
            if (!child.SetKey(Key, false)) return 1;
            for (int i = 0; i < Writes; ++i) {
                CString name;
                name.Format(L"%ls%d", prefix, i);
                if (!child.WriteInt(name, i)) return 2;
            }
            return 0;
        };
    };
    pid_t first = fork();
    if (first == 0) _exit(writer(L"First")());
    int second = InChildProcess(writer(L"Second"), false);
    int status = 0;
    waitpid(first, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(second, 0);

    EXPECT_EQ(registry.GetValueCount(), 2 * Writes);
    EXPECT_EQ(registry.ReadInt(L"First24", -1), 24);
    EXPECT_EQ(registry.ReadInt(L"Second24", -1), 24);
    RegistryText text = ParseRegistryText(ReadFile(StorePath()), "HKEY_CURRENT_USER");
    EXPECT_TRUE(text.problems.empty());
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"HKEY_CURRENT_USER.reg"});
}

}  // namespace
