// file_replace_test.cpp - atomic replacement of files, written through symbolic links.
#include "platform/file_replace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "test_support.h"

namespace {

bool Replace(const std::string& path, const std::string& text) {
    ReplacementFile file(path);
    return file.Write(text.data(), text.size()) && file.Commit(false);
}

std::string Text(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(FileReplace, LinksAreWrittenThroughToTheirTargets) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("saves"));
    WriteFileBytes(dir.File("saves/real.sav"), {'o', 'l', 'd'});
    ASSERT_EQ(symlink("saves/real.sav", dir.File("relative.sav").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("relative.sav").c_str(), dir.File("chain.sav").c_str()), 0);
    ASSERT_TRUE(Replace(dir.File("chain.sav"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("chain.sav")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("relative.sav")));
    EXPECT_EQ(Text(dir.File("saves/real.sav")), "new");

    ASSERT_EQ(symlink("saves/later.sav", dir.File("dangling.sav").c_str()), 0);
    ASSERT_TRUE(Replace(dir.File("dangling.sav"), "made"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("dangling.sav")));
    EXPECT_EQ(Text(dir.File("saves/later.sav")), "made");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("saves")), {}), 2)
        << "no temporary file is left behind";
}

TEST(FileReplace, FailuresKeepTheTargetAndSayWhy) {
    TempDir dir;
    ASSERT_EQ(symlink("loop.b", dir.File("loop.a").c_str()), 0);
    ASSERT_EQ(symlink("loop.a", dir.File("loop.b").c_str()), 0);
    ReplacementFile loop(dir.File("loop.a"));
    EXPECT_FALSE(loop.ok());
    EXPECT_EQ(loop.error(), ELOOP);

    WriteFileBytes(dir.File("kept"), {'o', 'l', 'd'});
    {
        FileSizeLimit limit(2);
        ReplacementFile file(dir.File("kept"));
        EXPECT_FALSE(file.Write("longer", 6));
        EXPECT_EQ(file.error(), EFBIG);
    }
    EXPECT_EQ(Text(dir.File("kept")), "old");
    std::filesystem::create_directory(dir.File("folder"));
    {
        ReplacementFile folder(dir.File("folder"));
        ASSERT_TRUE(folder.ok());
        EXPECT_FALSE(folder.Commit(false));
        EXPECT_EQ(folder.error(), EISDIR);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

}  // namespace
