// registry_test.cpp - CRegistry on the store: every value kind round-trips
// through the file with its exact bytes, readers insist on type and size,
// names ignore case, and keys are created, counted and deleted.
#include "engine/registry.h"

#include <cstring>

#include "engine/registry_text.h"
#include "store_fixture.h"

namespace {

constexpr const wchar_t* Key = L"Software\\Tamboril";

class CRegistryTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_TRUE(registry.SetKey(Key, true));
    }
    // Stores raw bytes of any type in the current key, as a hand edit could.
    void SetRaw(const wchar_t* name, DWORD type, std::vector<uint8_t> data) {
        ASSERT_EQ(Registry::SetValue(HKEY_CURRENT_USER, Key, name, type, data, false), ERROR_SUCCESS);
    }
    bool FileHasLine(const std::string& line) {
        return ("\n" + ReadFile(StorePath())).find("\n" + line + "\n") != std::string::npos;
    }

    CRegistry registry;
};

LOGFONTW SampleFont() {
    LOGFONTW font;
    font.lfHeight = -12;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfCharSet = 0x80;
    std::u16string face = u"Tahoma 日本";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

TEST_F(CRegistryTest, EveryValueKindRoundTripsThroughTheFileWithItsExactBytes) {
    CFont font;
    LOGFONTW logFont = SampleFont();
    font.CreateFontIndirect(&logFont);
    ASSERT_TRUE(registry.WriteInt(L"Int", -2));
    ASSERT_TRUE(registry.WriteDword(L"Dword", 0xDEADBEEF));
    ASSERT_TRUE(registry.WriteBool(L"Bool", true));
    ASSERT_TRUE(registry.WriteBool(L"Off", false));
    ASSERT_TRUE(registry.WriteColor(L"BGColor", 0x00336699));
    ASSERT_TRUE(registry.WriteFloat(L"Float", 1.5));
    ASSERT_TRUE(registry.WritePoint(L"Point", CPoint{-1, 2}));
    ASSERT_TRUE(registry.WriteSize(L"Size", CSize{240, 160}));
    ASSERT_TRUE(registry.WriteRect(L"Rect", CRect{1, 2, 3, -4}));
    ASSERT_TRUE(registry.WriteFont(L"Font", font));
    ASSERT_TRUE(registry.WriteString(L"ROMPath", L"/home/player/roms"));

    EXPECT_TRUE(FileHasLine("[HKEY_CURRENT_USER\\Software\\Tamboril]"));
    EXPECT_TRUE(FileHasLine("\"Int\"=hex:fe,ff,ff,ff"));
    EXPECT_TRUE(FileHasLine("\"Dword\"=hex:ef,be,ad,de"));
    EXPECT_TRUE(FileHasLine("\"Bool\"=hex:01,00,00,00"));
    EXPECT_TRUE(FileHasLine("\"Off\"=hex:00,00,00,00"));
    EXPECT_TRUE(FileHasLine("\"BGColor\"=hex:99,66,33,00"));
    EXPECT_TRUE(FileHasLine("\"Float\"=hex:00,00,00,00,00,00,f8,3f"));
    EXPECT_TRUE(FileHasLine("\"Point\"=hex:ff,ff,ff,ff,02,00,00,00"));
    EXPECT_TRUE(FileHasLine("\"Rect\"=hex:01,00,00,00,02,00,00,00,03,00,00,00,fc,ff,ff,ff"));
    EXPECT_TRUE(FileHasLine("\"ROMPath\"=\"/home/player/roms\""));

    ContinueInCopy();
    CRegistry fresh;
    ASSERT_TRUE(fresh.SetKey(Key, false));
    EXPECT_EQ(fresh.ReadInt(L"Int", 0), -2);
    EXPECT_EQ(fresh.ReadDword(L"Dword", 0), 0xDEADBEEFu);
    EXPECT_TRUE(fresh.ReadBool(L"Bool", false));
    EXPECT_FALSE(fresh.ReadBool(L"Off", true));
    EXPECT_EQ(fresh.ReadColor(L"BGColor", 0), 0x00336699u);
    EXPECT_EQ(fresh.ReadFloat(L"Float", 0), 1.5);
    CPoint point;
    CSize size;
    CRect rect;
    CFont readFont;
    ASSERT_TRUE(fresh.ReadPoint(L"Point", &point));
    ASSERT_TRUE(fresh.ReadSize(L"Size", &size));
    ASSERT_TRUE(fresh.ReadRect(L"Rect", &rect));
    ASSERT_TRUE(fresh.ReadFont(L"Font", &readFont));
    EXPECT_EQ(point, (CPoint{-1, 2}));
    EXPECT_EQ(size, (CSize{240, 160}));
    EXPECT_EQ(rect, (CRect{1, 2, 3, -4}));
    LOGFONTW readLogFont;
    EXPECT_EQ(readFont.GetLogFont(&readLogFont), 92);
    EXPECT_EQ(readLogFont, logFont);
    EXPECT_EQ(fresh.ReadString(L"ROMPath", L""), CString(L"/home/player/roms"));

    const std::pair<const wchar_t*, int> sizes[] = {{L"Int", 4},  {L"Bool", 4},  {L"Float", 8}, {L"Point", 8},
                                                    {L"Size", 8}, {L"Rect", 16}, {L"Font", 92}, {L"ROMPath", 36}};
    for (auto [name, bytes] : sizes) {
        EXPECT_EQ(fresh.GetDataSize(name), bytes) << CString(name).ToUtf8();
        EXPECT_EQ(fresh.GetDataType(name), bytes == 36 ? REG_SZ : REG_BINARY) << CString(name).ToUtf8();
    }
    EXPECT_EQ(fresh.GetValueCount(), 11);
}

TEST_F(CRegistryTest, TheFontRecordHasTheHandheldLayout) {
    uint8_t record[92];
    StoreLogFont(SampleFont(), record);
    EXPECT_EQ(record[0], 0xF4);  // height -12
    EXPECT_EQ(record[3], 0xFF);
    EXPECT_EQ(record[16], 0xBC);  // weight 700
    EXPECT_EQ(record[17], 0x02);
    EXPECT_EQ(record[20], 1);     // italic
    EXPECT_EQ(record[23], 0x80);  // character set
    EXPECT_EQ(record[28], 'T');   // face name, 16-bit characters
    EXPECT_EQ(record[29], 0);
    EXPECT_EQ(record[28 + 2 * 7], 0xE5);  // 日 = U+65E5
    EXPECT_EQ(record[29 + 2 * 7], 0x65);
    EXPECT_EQ(LoadLogFont(record), SampleFont());
}

TEST_F(CRegistryTest, MissingKeysAndValuesReadTheDefault) {
    EXPECT_EQ(registry.ReadInt(L"Volume", 70), 70);
    EXPECT_EQ(registry.ReadString(L"ROMPath", L"/home"), CString(L"/home"));
    CPoint point{7, 8};
    EXPECT_FALSE(registry.ReadPoint(L"Point", &point));
    EXPECT_EQ(point, (CPoint{7, 8}));

    CRegistry other;
    EXPECT_FALSE(other.SetKey(L"Software\\Nobody", false));
    EXPECT_EQ(other.GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(other.GetCurrentPath().IsEmpty()) << "a failed SetKey keeps the old path";
    EXPECT_FALSE(other.KeyExists(L"Software\\Nobody"));

    ASSERT_TRUE(registry.WriteInt(L"Volume", 5));
    ASSERT_TRUE(registry.DeleteKey(Key));
    EXPECT_EQ(registry.ReadInt(L"Volume", 70), 70) << "the current key no longer exists";
    EXPECT_FALSE(registry.WriteInt(L"Volume", 5)) << "writing does not create the key";
}

TEST_F(CRegistryTest, ReadersRequireTheExactTypeAndSize) {
    ASSERT_TRUE(registry.WriteString(L"Text", L"12"));
    ASSERT_TRUE(registry.WriteInt(L"Number", 12));
    SetRaw(L"Three", REG_BINARY, {1, 2, 3});
    SetRaw(L"Five", REG_BINARY, {1, 2, 3, 4, 5});
    SetRaw(L"Typed", REG_DWORD, {1, 0, 0, 0});
    SetRaw(L"Empty", REG_BINARY, {});

    EXPECT_EQ(registry.ReadInt(L"Text", -1), -1);
    EXPECT_EQ(registry.ReadString(L"Number", L"default"), CString(L"default"));
    for (const wchar_t* name : {L"Three", L"Five", L"Typed", L"Empty"}) {
        EXPECT_EQ(registry.ReadInt(name, -1), -1) << CString(name).ToUtf8();
        EXPECT_EQ(registry.ReadDword(name, 9u), 9u);
        EXPECT_TRUE(registry.ReadBool(name, true));
    }
    EXPECT_EQ(registry.ReadFloat(L"Number", 2.5), 2.5);
    CRect rect{1, 1, 1, 1};
    ASSERT_TRUE(registry.WritePoint(L"Point", CPoint{5, 6}));
    EXPECT_FALSE(registry.ReadRect(L"Point", &rect)) << "8 bytes are not a rectangle";
    EXPECT_EQ(rect, (CRect{1, 1, 1, 1}));
    CFont font;
    SetRaw(L"ShortFont", REG_BINARY, std::vector<uint8_t>(91, 'A'));
    EXPECT_FALSE(registry.ReadFont(L"ShortFont", &font));
    EXPECT_EQ(font.GetLogFont(nullptr), 0);
}

TEST_F(CRegistryTest, StringsMayBeExpandableOrLackTheirTerminator) {
    SetRaw(L"Expandable", REG_EXPAND_SZ, {'a', 0, 'b', 0, 0, 0});
    SetRaw(L"Unterminated", REG_SZ, {'a', 0, 'b', 0, 'c', 0});
    SetRaw(L"Odd", REG_SZ, {'a', 0, 'b'});
    EXPECT_EQ(registry.ReadString(L"Expandable", L""), CString(L"ab"));
    EXPECT_EQ(registry.ReadString(L"Unterminated", L""), CString(L"abc"));
    EXPECT_EQ(registry.ReadString(L"Odd", L"default"), CString(L"default"));
    EXPECT_EQ(registry.GetDataSize(L"Unterminated"), 6) << "the byte count is kept as stored";
    EXPECT_TRUE(FileHasLine("\"Unterminated\"=hex(1):61,00,62,00,63,00"));
}

TEST_F(CRegistryTest, WriteStringRefusesMoreThan254UnitsAndKeepsTheOldValue) {
    ASSERT_TRUE(registry.WriteString(L"Path", std::wstring(254, L'x')));
    EXPECT_EQ(registry.GetDataSize(L"Path"), 510);
    EXPECT_FALSE(registry.WriteString(L"Path", std::wstring(255, L'y')));
    EXPECT_EQ(registry.ReadString(L"Path", L""), CString(std::wstring(254, L'x')));
    // Characters outside the basic plane take two units each.
    EXPECT_TRUE(registry.WriteString(L"Emoji", std::wstring(127, L'🎮')));
    EXPECT_FALSE(registry.WriteString(L"Emoji", std::wstring(128, L'🎮')));
    EXPECT_EQ(registry.ReadString(L"Emoji", L""), CString(std::wstring(127, L'🎮')));
}

TEST_F(CRegistryTest, SetRootKeyAcceptsTheFourRootsOnly) {
    for (HKEY bad : {HKEY{}, HKEY{5}, HKEY{0x80000004u}, HKEY{0x7FFFFFFFu}}) {
        EXPECT_FALSE(registry.SetRootKey(bad));
        EXPECT_EQ(registry.GetRootKey(), HKEY_CURRENT_USER);
    }
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_USER}) {
        EXPECT_TRUE(registry.SetRootKey(root));
        EXPECT_EQ(registry.GetRootKey(), root);
    }
}

TEST_F(CRegistryTest, EachRootHasItsOwnFile) {
    CRegistry classes;
    ASSERT_TRUE(classes.SetRootKey(HKEY_CLASSES_ROOT));
    ASSERT_TRUE(classes.SetKey(L"gbafile\\Shell\\Open\\Command", true));
    ASSERT_TRUE(classes.WriteString(L"", L"\"/opt/tamboril/tamboril\" \"%1\""));
    EXPECT_NE(ReadFile(StorePath("HKEY_CLASSES_ROOT"))
                  .find("[HKEY_CLASSES_ROOT\\gbafile\\Shell\\Open\\Command]\n@=\"\\\"/opt/tamboril/tamboril\\\" "
                        "\\\"%1\\\"\"\n"),
              std::string::npos);
    EXPECT_FALSE(registry.KeyExists(L"gbafile"));
    EXPECT_TRUE(registry.KeyExists(L"gbafile", HKEY_CLASSES_ROOT));
    EXPECT_TRUE(classes.KeyExists(L"GBAFILE\\shell"));
}

TEST_F(CRegistryTest, ValueNamesIgnoreCaseAndKeepTheirSpelling) {
    ASSERT_TRUE(registry.WriteInt(L"Volume", 70));
    ASSERT_TRUE(registry.WriteInt(L"volume", 5));
    EXPECT_EQ(registry.GetValueCount(), 1);
    EXPECT_EQ(registry.ReadInt(L"VOLUME", 0), 5);
    EXPECT_TRUE(FileHasLine("\"Volume\"=hex:05,00,00,00"));
    EXPECT_TRUE(registry.DeleteValue(L"VoLuMe"));
    EXPECT_FALSE(registry.ValueExists(L"Volume"));
}

TEST_F(CRegistryTest, AHandEditedValueIsUpdatedNotDuplicated) {
    WriteFile(StorePath(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\software\\tamboril]\n"
              "\"volume\"=hex:46,00,00,00\n");
    EXPECT_TRUE(registry.SetKey(Key, false));
    EXPECT_EQ(registry.ReadInt(L"Volume", 0), 70);
    ASSERT_TRUE(registry.WriteInt(L"Volume", 10));
    EXPECT_EQ(registry.GetValueCount(), 1);
    EXPECT_TRUE(FileHasLine("\"volume\"=hex:0a,00,00,00"));
    EXPECT_TRUE(FileHasLine("[HKEY_CURRENT_USER\\software\\tamboril]"));
    EXPECT_TRUE(lines.empty());
}

TEST_F(CRegistryTest, CountsSizesAndTypesOfPresentAndMissingThings) {
    ASSERT_TRUE(registry.CreateKey(L"Software\\Tamboril\\GameBoyAdvance"));
    EXPECT_EQ(registry.GetCurrentPath(), CString(L"Software\\Tamboril\\GameBoyAdvance"));
    EXPECT_EQ(registry.GetSubKeyCount(), 0);
    EXPECT_EQ(registry.GetValueCount(), 0);
    ASSERT_TRUE(registry.SetKey(Key, false));
    ASSERT_TRUE(registry.WriteBool(L"Sound", true));
    ASSERT_TRUE(registry.CreateKey(L"Software\\Tamboril\\NES"));
    ASSERT_TRUE(registry.SetKey(Key, false));
    EXPECT_EQ(registry.GetSubKeyCount(), 2);
    EXPECT_EQ(registry.GetValueCount(), 1);
    EXPECT_EQ(registry.GetDataSize(L"Sound"), 4);
    EXPECT_EQ(registry.GetDataType(L"Sound"), REG_BINARY);
    EXPECT_EQ(registry.GetDataSize(L"Missing"), -1);
    EXPECT_EQ(registry.GetDataType(L"Missing"), REG_NONE);

    ASSERT_TRUE(registry.DeleteKey(Key));
    EXPECT_EQ(registry.GetSubKeyCount(), -1);
    EXPECT_EQ(registry.GetValueCount(), -1);
    EXPECT_EQ(registry.GetDataSize(L"Sound"), -1);
    EXPECT_EQ(registry.GetDataType(L"Sound"), REG_NONE);
}

TEST_F(CRegistryTest, DeleteKeyRemovesTheKeyWithItsValuesAndSubKeys) {
    ASSERT_TRUE(registry.WriteInt(L"Volume", 70));
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\GameBoyAdvance", true));
    ASSERT_TRUE(registry.WriteInt(L"SoundRate", 22050));
    ASSERT_TRUE(registry.SetKey(L"Software\\Other", true));
    ASSERT_TRUE(registry.WriteInt(L"Kept", 1));

    EXPECT_TRUE(registry.DeleteKey(L"software\\TAMBORIL"));
    EXPECT_FALSE(registry.KeyExists(Key));
    EXPECT_FALSE(registry.KeyExists(L"Software\\Tamboril\\GameBoyAdvance"));
    std::string file = ReadFile(StorePath());
    EXPECT_EQ(file.find("Tamboril"), std::string::npos);
    EXPECT_EQ(file.find("Volume"), std::string::npos);
    EXPECT_EQ(registry.ReadInt(L"Kept", 0), 1);
    EXPECT_FALSE(registry.DeleteKey(Key)) << "already gone";
    EXPECT_FALSE(registry.DeleteKey(L"")) << "the root itself stays";
    ASSERT_TRUE(registry.CreateKey(Key));
    EXPECT_EQ(registry.GetValueCount(), 0) << "a key created again starts empty";
}

TEST_F(CRegistryTest, SetKeyWithAnEmptyPathEmptiesTheCurrentPath) {
    EXPECT_TRUE(registry.PathIsValid());
    EXPECT_TRUE(registry.SetKey(L"", false));
    EXPECT_FALSE(registry.PathIsValid());
    EXPECT_FALSE(registry.SetKey(L"Software\\\\Tamboril", true)) << "an empty name inside the path";
    EXPECT_EQ(registry.GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(registry.KeyExists(L"Software\\\\Tamboril"));
}

TEST_F(CRegistryTest, ClearKeyRestoresTheFreshState) {
    registry.SetRootKey(HKEY_USERS);
    registry.SetLazyWrite(false);
    registry.ClearKey();
    EXPECT_EQ(registry.GetRootKey(), HKEY_CURRENT_USER);
    EXPECT_TRUE(registry.GetLazyWrite());
    EXPECT_FALSE(registry.PathIsValid());
}

TEST_F(CRegistryTest, WritesWithoutLazyWriteReachTheFileToo) {
    registry.SetLazyWrite(false);
    ASSERT_TRUE(registry.WriteInt(L"FrameSkip", 3));
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\New", true));
    EXPECT_TRUE(FileHasLine("\"FrameSkip\"=hex:03,00,00,00"));
    EXPECT_TRUE(FileHasLine("[HKEY_CURRENT_USER\\Software\\Tamboril\\New]"));
}

TEST_F(CRegistryTest, NonAsciiTextAndNamesSurviveUnchanged) {
    const CString text = CString::FromUtf8("Pokémon Ünïcödé 日本語のゲーム 🎮🕹");
    ASSERT_TRUE(registry.WriteString(L"Title", text));
    ASSERT_TRUE(registry.WriteInt(L"Größe", 3));
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\ゲーム", true));
    EXPECT_TRUE(FileHasLine("\"Title\"=\"Pokémon Ünïcödé 日本語のゲーム 🎮🕹\""));
    EXPECT_TRUE(FileHasLine("[HKEY_CURRENT_USER\\Software\\Tamboril\\ゲーム]"));
    ContinueInCopy();
    CRegistry fresh;
    ASSERT_TRUE(fresh.SetKey(Key, false));
    EXPECT_EQ(fresh.ReadString(L"Title", L""), text);
    EXPECT_EQ(fresh.GetDataSize(L"Title"), static_cast<int>(text.ToUtf16().size() + 1) * 2);
    EXPECT_EQ(fresh.ReadInt(L"GRÖSSE", 0), 0) << "case folding is per character";
    EXPECT_EQ(fresh.ReadInt(L"GRÖßE", 0), 3);
    EXPECT_TRUE(fresh.KeyExists(L"Software\\Tamboril\\ゲーム"));
}

TEST_F(CRegistryTest, AConfigurationFolderWithNonAsciiCharactersWorks) {
    UseFolder(base_ + "/Café 日本 🎮/tamboril");
    CRegistry other;
    ASSERT_TRUE(other.SetKey(Key, true));
    ASSERT_TRUE(other.WriteString(L"ROMPath", CString::FromUtf8(base_ + "/Café 日本 🎮")));
    EXPECT_TRUE(std::filesystem::exists(StorePath()));
    EXPECT_EQ(other.ReadString(L"ROMPath", L""), CString::FromUtf8(base_ + "/Café 日本 🎮"));
}

TEST_F(CRegistryTest, ControlCharactersInTextAreStoredAsBytes) {
    ASSERT_TRUE(registry.WriteString(L"Console", L"line one\r\nline two\t\"quoted\" \\"));
    EXPECT_EQ(registry.ReadString(L"Console", L""), CString(L"line one\r\nline two\t\"quoted\" \\"));
    EXPECT_EQ(ReadFile(StorePath()).find("line one"), std::string::npos) << "no raw line break in the file";
    ContinueInCopy();
    CRegistry fresh;
    ASSERT_TRUE(fresh.SetKey(Key, false));
    EXPECT_EQ(fresh.ReadString(L"Console", L""), CString(L"line one\r\nline two\t\"quoted\" \\"));
    EXPECT_EQ(fresh.GetDataType(L"Console"), REG_SZ);
}

}  // namespace
