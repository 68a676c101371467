// zip_image_test.cpp - cartridge images in zip archives made by the test: the
// first ".gba" entry in the archive's order, stored or deflated, files named
// after the archive; archives without an image, damaged, too large or built
// to inflate without end fail with their reason and write nothing.
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <set>

#include "cartridge_images.h"
#include "headless.h"
#include "machine/cartridge.h"
#include "machine/memory.h"
#include "platform/record.h"
#include "test_support.h"

namespace {

struct ZipEntry {
    std::string name;
    std::vector<uint8_t> bytes;
    bool deflate = true;
};

// Writes an archive with the entries in the given order.
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << error;
    for (const ZipEntry& e : entries) {
        zip_source_t* source = zip_source_buffer(archive, e.bytes.data(), e.bytes.size(), 0);
        zip_int64_t index = zip_file_add(archive, e.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), e.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

std::vector<uint8_t> Titled(const std::string& title, size_t size = 0x4000) {
    ImageHeader header;
    header.title = title;
    return MakeImage(size, header);
}

class ZipImage : public ImageFolderTest {
protected:
    std::string Archive() { return dir.File("game.zip"); }
    std::set<std::string> Files() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.insert(entry.path().filename().string());
        return names;
    }
    static std::string Title() { return std::string(reinterpret_cast<const char*>(CartridgeRom() + 0xA0), 8); }
    // A failed load: its console line and reason, and nothing written on stop.
    void ExpectRefused(const std::string& reason) {
        std::set<std::string> before = Files();
        EXPECT_FALSE(StartCartridge(Archive()));
        EXPECT_EQ(LoadFailure, reason);
        EXPECT_NE(Headless::ConsoleText().find("Loading " + Archive() + "...FAILED: " + reason + ".\n"),
                  std::string::npos)
            << Headless::ConsoleText();
        EXPECT_TRUE(Headless::StopMachine());
        EXPECT_EQ(Files(), before);
    }
};

TEST_F(ZipImage, RunsTheFirstImageInTheArchivesOrder) {
    for (bool deflate : {true, false}) {
        WriteZip(Archive(), {{"readme.txt", {'h', 'i'}, deflate},
                             {"games/second.GBA", Titled("SECOND", 0x8123), deflate},
                             {"first.gba", Titled("FIRST"), deflate}});
        ASSERT_TRUE(StartCartridge(Archive())) << Headless::ConsoleText();
        EXPECT_EQ(Title(), std::string("SECOND\0\0", 8)) << "archive order, not name order";
        EXPECT_NE(Headless::ConsoleText().find("Loading " + Archive() + "...games/second.GBA...32kB...OK\n"),
                  std::string::npos)
            << Headless::ConsoleText();
        EXPECT_EQ(SavePath, dir.File("game.sav"));
        EXPECT_EQ(StatePath, dir.File("game.STA"));
        EXPECT_EQ(CartridgeRom()[0x8122], 0) << "padded as a plain image";
        MemWrite8(0x0E000000, 1);
        ASSERT_TRUE(Headless::StopMachine());
        EXPECT_TRUE(std::filesystem::exists(dir.File("game.sav")));
        std::filesystem::remove(dir.File("game.sav"));
    }
}

TEST_F(ZipImage, ArchiveWithoutAnImageIsRefused) {
    WriteZip(Archive(), {{"game.gb", Titled("GB")}, {"gba/", {}}, {"notes.gba.txt", {'x'}}});
    ExpectRefused("no .gba image in the archive");
    std::vector<uint8_t> empty(22, 0);  // only the end of the directory
    std::copy_n("PK\5\6", 4, empty.begin());
    WriteFileBytes(Archive(), empty);
    ExpectRefused("no .gba image in the archive");
    WriteZip(Archive(), {{"empty.gba", {}}});
    ExpectRefused("empty.gba is empty");
}

TEST_F(ZipImage, DamagedArchivesAreRefused) {
    std::vector<uint8_t> image = Titled("DAMAGED", 0x10000);
    for (size_t i = 0x200; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 / 7);
    WriteZip(Archive(), {{"game.gba", image}});
    const std::vector<uint8_t> good = ReadFileBytes(Archive());

    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(good.size() / 2));
    WriteFileBytes(Archive(), cut);
    ExpectRefused("damaged zip archive (Not a zip archive)");

    std::vector<uint8_t> flipped = good;
    flipped[good.size() / 3] ^= 0x10;  // inside the deflated data
    WriteFileBytes(Archive(), flipped);
    EXPECT_FALSE(StartCartridge(Archive()));
    EXPECT_EQ(LoadFailure.rfind("damaged zip archive (", 0), 0u) << LoadFailure;
    Headless::StopMachine();
}

TEST_F(ZipImage, EntryOver32MegabytesIsRefusedUnread) {
    std::vector<uint8_t> huge = Titled("HUGE", MaxCartridgeSize + 1);
    WriteZip(Archive(), {{"huge.gba", huge}});
    EXPECT_LT(std::filesystem::file_size(Archive()), 1u << 20);
    ExpectRefused("huge.gba in the archive is larger than 32 MB");
}

// An entry whose headers claim 4 KB but whose data inflates to 8 MB: reading
// stops past the claimed size instead of inflating everything.
TEST_F(ZipImage, EntryInflatingPastItsSizeIsRefused) {
    WriteZip(Archive(), {{"bomb.gba", Titled("BOMB", 8 << 20)}});
    std::vector<uint8_t> bomb = ReadFileBytes(Archive());
    const uint8_t local[4] = {'P', 'K', 3, 4}, central[4] = {'P', 'K', 1, 2};
    int patched = 0;
    for (size_t i = 0; i + 4 <= bomb.size(); ++i) {
        if (std::equal(local, local + 4, bomb.begin() + static_cast<ptrdiff_t>(i))) {
            StoreLe32(&bomb[i + 22], 0x1000);
            ++patched;
        } else if (std::equal(central, central + 4, bomb.begin() + static_cast<ptrdiff_t>(i))) {
            StoreLe32(&bomb[i + 24], 0x1000);
            ++patched;
        }
    }
    ASSERT_EQ(patched, 2);
    WriteFileBytes(Archive(), bomb);
    ExpectRefused("damaged zip archive (entry longer than its size)");
}

TEST_F(ZipImage, RunnerRunsAnArchive) {
    WriteZip(Archive(), {{"save_battery.gba", ReadFileBytes(ProgramPath("save_battery"))}});
    RunnerResult run = RunRunner("--frames 5 " + Archive());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(std::filesystem::file_size(dir.File("game.sav")), 65536u + 512u);

    WriteZip(Archive(), {{"readme.txt", {'x'}}});
    std::filesystem::remove(dir.File("game.sav"));
    RunnerResult refused = RunRunner("--frames 5 " + Archive());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output, "tamboril-run: cannot load " + Archive() + ": no .gba image in the archive\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("game.sav")));
}

}  // namespace
