// gzip_reader_test.cpp - whole-file reading of plain and gzip files: members,
// limits, damage anywhere in a stream, and files that are not regular.
#include "machine/gzip_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cartridge_images.h"
#include "test_support.h"

namespace {

class GzipReader : public ::testing::Test {
protected:
    ReadOutcome Read(const std::string& name, size_t limit = 1 << 20) {
        return ReadGzipFile(dir.File(name).c_str(), limit, content, problem);
    }
    static std::vector<uint8_t> Varied(size_t size) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + (i >> 9));
        return bytes;
    }
    TempDir dir;
    std::vector<uint8_t> content;
    std::string problem;
};

TEST_F(GzipReader, PlainAndPackedFilesGiveTheirContent) {
    std::vector<uint8_t> data = Varied(200000);
    WriteFileBytes(dir.File("plain"), data);
    ASSERT_EQ(Read("plain"), ReadOutcome::Read);
    EXPECT_EQ(content, data);
    ASSERT_TRUE(WriteGzip(dir.File("packed"), data));
    ASSERT_EQ(Read("packed"), ReadOutcome::Read) << problem;
    EXPECT_EQ(content, data);
    // Members written one after the other read as one content, as gzip has it.
    std::vector<uint8_t> first(data.begin(), data.begin() + 70000), second(data.begin() + 70000, data.end());
    ASSERT_TRUE(WriteGzip(dir.File("a"), first));
    ASSERT_TRUE(WriteGzip(dir.File("b"), second));
    std::vector<uint8_t> joined = ReadFileBytes(dir.File("a")), tail = ReadFileBytes(dir.File("b"));
    joined.insert(joined.end(), tail.begin(), tail.end());
    WriteFileBytes(dir.File("joined"), joined);
    ASSERT_EQ(Read("joined"), ReadOutcome::Read) << problem;
    EXPECT_EQ(content, data);
    WriteFileBytes(dir.File("one"), {0x1F});  // too short for the magic: plain
    ASSERT_EQ(Read("one"), ReadOutcome::Read);
    EXPECT_EQ(content, std::vector<uint8_t>{0x1F});
}

TEST_F(GzipReader, DamageAnywhereIsRefused) {
    std::vector<uint8_t> data = Varied(100000);
    ASSERT_TRUE(WriteGzip(dir.File("packed"), data));
    const std::vector<uint8_t> good = ReadFileBytes(dir.File("packed"));
    std::vector<std::vector<uint8_t>> damaged(5, good);
    damaged[0][good.size() - 8] ^= 0x01;  // CRC-32
    damaged[1][good.size() - 1] ^= 0x80;  // length
    damaged[2].resize(good.size() - 1);   // trailer cut
    damaged[3].resize(good.size() / 2);   // data cut
    damaged[4].push_back(0);              // a byte after the member
    for (size_t i = 0; i < damaged.size(); ++i) {
        WriteFileBytes(dir.File("bad"), damaged[i]);
        EXPECT_EQ(Read("bad"), ReadOutcome::Damaged) << i;
        EXPECT_EQ(problem, "damaged gzip data") << i;
    }
}

TEST_F(GzipReader, LimitEmptinessAndFileKinds) {
    WriteFileBytes(dir.File("ten"), Varied(10));
    EXPECT_EQ(Read("ten", 10), ReadOutcome::Read);
    EXPECT_EQ(Read("ten", 9), ReadOutcome::TooLarge);
    EXPECT_EQ(content.size(), 10u) << "one byte past the limit is kept";
    EXPECT_EQ(problem, "larger than 9 bytes");
    ASSERT_TRUE(WriteGzip(dir.File("big.gz"), std::vector<uint8_t>(300000, 7)));
    EXPECT_EQ(Read("big.gz", 100000), ReadOutcome::TooLarge);
    EXPECT_EQ(content.size(), 100001u);

    WriteFileBytes(dir.File("empty"), {});
    EXPECT_EQ(Read("empty"), ReadOutcome::Empty);
    EXPECT_EQ(problem, "empty");
    ASSERT_TRUE(WriteGzip(dir.File("empty.gz"), {}));
    EXPECT_EQ(Read("empty.gz"), ReadOutcome::Empty);
    EXPECT_EQ(Read("absent"), ReadOutcome::NotFound);
    EXPECT_EQ(problem, "not found");
    EXPECT_EQ(ReadGzipFile(dir.path().c_str(), 100, content, problem), ReadOutcome::NotRegular);
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(Read("pipe"), ReadOutcome::NotRegular) << "a pipe without a writer must not block";
    EXPECT_EQ(problem, "not a regular file");
}

}  // namespace
