// registry_damage_test.cpp - damaged store files: everything readable is read,
// each problem is said once, and the next write keeps the unreadable lines in
// NAME.damaged instead of dropping them.
#include <sys/stat.h>

#include "engine/registry.h"
#include "store_fixture.h"

namespace {

constexpr const wchar_t* Key = L"Software\\Tamboril";

class DamagedStore : public StoreTest {
protected:
    CRegistry Open() {
        CRegistry registry;
        registry.SetKey(Key, false);
        return registry;
    }
};

TEST_F(DamagedStore, ReadsEveryReadableValueAndKeepsTheRestAside) {
    const std::string overLong = "\"Long\"=\"" + std::string(2 << 20, 'a') + "\"";
    const std::vector<std::string> damaged = {
        "\"Orphan\"=hex:01,00,00,00",                // before any key
        "this is not a registry line",               // garbage
        "\"Truncated\"=hex:01,0",                    // cut off inside a byte
        "\"Cut\"=\"no closing quote",                // cut off inside a text
        "\"Unknown\"=qword:0000000000000001",        // unknown type
        "\"BadHex\"=hex:zz,01",                      // bad hexadecimal
        overLong,                                    // over-long line
        "\"Latin1\"=\"caf\xE9\"",                    // not UTF-8
        "[HKEY_LOCAL_MACHINE\\Software\\Tamboril]",  // another root's key
        "\"Lost\"=hex:01,00,00,00",                  // below that key
    };
    std::string file = "Windows Registry Editor Version 5.00\n\n" + damaged[0] + "\n" +
                       "[HKEY_CURRENT_USER\\Software\\Tamboril]\n\"Volume\"=hex:46,00,00,00\n";
    for (size_t i = 1; i < 8; ++i) file += damaged[i] + "\n";
    file += "\"ROMPath\"=\"/roms\"\n\n[HKEY_CURRENT_USER\\Software\\Tamboril\\Empty]\n\n" + damaged[8] + "\n" +
            damaged[9] + "\n[HKEY_CURRENT_USER\\Software\\Tamboril\\GameBoyAdvance]\n\"Sound\"=hex:01,00,00,00";
    WriteFile(StorePath(), file);

    CRegistry registry = Open();
    EXPECT_EQ(registry.ReadInt(L"Volume", 0), 70);
    EXPECT_EQ(registry.ReadString(L"ROMPath", L""), CString(L"/roms"));
    EXPECT_EQ(registry.GetValueCount(), 2);
    EXPECT_TRUE(registry.KeyExists(L"Software\\Tamboril\\Empty")) << "a key without values is a key";
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\GameBoyAdvance", false));
    EXPECT_TRUE(registry.ReadBool(L"Sound", false)) << "the last line needs no line break";
    EXPECT_EQ(lines.size(), damaged.size()) << "one line per problem";
    for (const std::string& line : lines) EXPECT_EQ(line.rfind(StorePath() + ": line ", 0), 0u) << line;
    EXPECT_FALSE(std::filesystem::exists(StorePath() + ".damaged")) << "reading changes nothing";

    lines.clear();
    ASSERT_TRUE(registry.WriteInt(L"SoundRate", 22050));
    std::string aside;
    for (const std::string& line : damaged) aside += line + "\n";
    EXPECT_EQ(ReadFile(StorePath() + ".damaged"), aside);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("10 unreadable lines moved to"), std::string::npos) << lines[0];

    lines.clear();
    ContinueInCopy();
    CRegistry fresh = Open();
    EXPECT_EQ(fresh.ReadInt(L"Volume", 0), 70);
    EXPECT_TRUE(fresh.KeyExists(L"Software\\Tamboril\\Empty"));
    EXPECT_TRUE(lines.empty()) << "the new file is whole: " << lines[0];
}

TEST_F(DamagedStore, LinesKeptAsideAccumulate) {
    WriteFile(StorePath(), "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\Tamboril]\nfirst\n");
    CRegistry registry = Open();
    ASSERT_TRUE(registry.WriteInt(L"A", 1));
    WriteFile(StorePath(), ReadFile(StorePath()) + "second one\n");
    ASSERT_TRUE(registry.WriteInt(L"B", 2));
    EXPECT_EQ(ReadFile(StorePath() + ".damaged"), "first\nsecond one\n");
    EXPECT_EQ(registry.ReadInt(L"A", 0), 1);
}

TEST_F(DamagedStore, AFileWhoseDamagedLinesCannotBeKeptAsideIsNotReplaced) {
    const std::string file =
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\Tamboril]\n\"A\"=hex:01\nbroken\n";
    WriteFile(StorePath(), file);
    std::filesystem::create_directory(StorePath() + ".damaged");
    CRegistry registry = Open();
    EXPECT_FALSE(registry.WriteInt(L"Volume", 1));
    EXPECT_EQ(ReadFile(StorePath()), file);
    EXPECT_EQ(registry.ReadInt(L"Volume", 70), 70);
    EXPECT_NE(lines.back().find("cannot keep its unreadable lines"), std::string::npos) << lines.back();
}

TEST_F(DamagedStore, AnEmptyFileReadsAsNoSettings) {
    WriteFile(StorePath(), "");
    CRegistry registry;
    EXPECT_FALSE(registry.SetKey(Key, false));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("empty file"), std::string::npos);
    EXPECT_TRUE(registry.SetKey(Key, true));
    EXPECT_TRUE(registry.WriteInt(L"Volume", 1));
    EXPECT_FALSE(std::filesystem::exists(StorePath() + ".damaged")) << "nothing was unreadable";
}

TEST_F(DamagedStore, AFileThatIsNotTextLosesNothing) {
    std::string binary;
    for (int line = 0; line < 100; ++line) {
        binary += '\xFF';
        for (int i = 0; i < 99; ++i)
            binary += static_cast<char>((line * 131 + i * 7) % 256 == '\n' ? 0 : (line * 131 + i * 7) % 256);
        binary += '\n';
    }
    WriteFile(StorePath(), binary);
    CRegistry registry;
    EXPECT_FALSE(registry.SetKey(Key, false));
    ASSERT_EQ(lines.size(), 21u) << "problems beyond the first twenty are counted on one line";
    EXPECT_NE(lines.back().find("81 more problems"), std::string::npos) << lines.back();
    ASSERT_TRUE(registry.SetKey(Key, true));
    EXPECT_EQ(ReadFile(StorePath() + ".damaged"), binary);
    EXPECT_EQ(ReadFile(StorePath()),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Tamboril]\n");
}

TEST_F(DamagedStore, AFileTooLargeToReadIsNeverReplaced) {
    WriteFile(StorePath(), "Windows Registry Editor Version 5.00\n");
    ASSERT_EQ(truncate(StorePath().c_str(), 17 << 20), 0);
    CRegistry registry;
    EXPECT_FALSE(registry.SetKey(Key, true));
    EXPECT_FALSE(registry.WriteInt(L"Volume", 1));
    EXPECT_EQ(registry.ReadInt(L"Volume", 70), 70);
    EXPECT_EQ(std::filesystem::file_size(StorePath()), 17u << 20);
    ASSERT_EQ(lines.size(), 1u) << "said once while the file stays as it is";
    EXPECT_NE(lines[0].find("larger than 16 MiB"), std::string::npos);
}

TEST_F(DamagedStore, AFileChangedOnDiskIsReadAgain) {
    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(Key, true));
    ASSERT_TRUE(registry.WriteInt(L"Volume", 70));
    EXPECT_EQ(registry.ReadInt(L"Volume", 0), 70);
    WriteFile(StorePath(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Tamboril]\n"
              "\"Volume\"=hex:10,00,00,00\n\"Added\"=hex:01,00,00,00\n");
    EXPECT_EQ(registry.ReadInt(L"Volume", 0), 16);
    ASSERT_TRUE(registry.WriteInt(L"SoundRate", 11025));
    EXPECT_TRUE(registry.ReadBool(L"Added", false)) << "a write starts from the file on disk";
}

}  // namespace
