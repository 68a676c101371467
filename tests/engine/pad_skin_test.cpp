// pad_skin_test.cpp - skin files (sound and damaged), the skin list, the
// built-in skin's hit map and the pad bits under a point.
#include <QImage>

#include "engine/skin_file.h"
#include "engine_fixture.h"
#include "lumaret/surface.h"

namespace {

// A skin file as UTF-16LE bytes, with a byte-order mark unless told otherwise.
std::string Utf16File(const std::wstring& text, bool mark = true) {
    std::string bytes = mark ? std::string("\xFF\xFE") : std::string();
    for (char16_t unit : CString(text).ToUtf16()) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::unique_ptr<Emu::PadSkin> Parse(const std::wstring& text, const std::string& folder = "/nowhere") {
    return Emu::ParseSkinFile(Utf16File(text), CString::FromUtf8(folder));
}

}  // namespace

TEST(SkinFileTest, TheHeaderIsCheckedWithoutCaseAndWithTrailingText) {
    auto skin = Parse(L"tamboril.skin.1 and more\r\nName=Big\r\nType=GB\r\nAuthor=Me\r\nLandscape=1\r\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetID(), CString(L"GB|Big"));
    EXPECT_EQ(skin->GetAuthor(), CString(L"Designed by: Me"));
    EXPECT_TRUE(skin->IsLandscape());
    EXPECT_EQ(Parse(L"Tamboril.Skin.2\nName=Big\n"), nullptr);
    EXPECT_EQ(Parse(L""), nullptr);
    // Without a byte-order mark and with bare line feeds.
    skin = Emu::ParseSkinFile(Utf16File(L"Tamboril.Skin.1\nname=Plain\n", false), L"/nowhere");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetName(), CString(L"Plain"));
    // A header alone is a skin.
    skin = Parse(L"Tamboril.Skin.1");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetColourCount(), 0);
}

TEST(SkinFileTest, ColourLinesTakeCharactersThreeToEightAndTokensAfterTheSeparator) {
    auto skin = Parse(L"Tamboril.Skin.1\n0x00ff00 se\n0x00FF00=SE\n0xFF0000=a+b\n0x123=\n0x\n0xFF9900=b+nonsense+\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->GetColourCount(), 6);
    EXPECT_EQ(skin->GetColour(0), 0x07E0);
    EXPECT_EQ(skin->GetMask(0), 0x0500);
    EXPECT_EQ(skin->GetColour(1), 0x07E0);
    EXPECT_EQ(skin->GetMask(1), 0x0500);
    EXPECT_EQ(skin->GetColour(2), 0xF800);
    EXPECT_EQ(skin->GetMask(2), 0x8080);
    // Short lines read only what is there.
    EXPECT_EQ(skin->GetColour(3), Lumaret::Rgb565FromRgb888(0x123));
    EXPECT_EQ(skin->GetMask(3), 0);
    EXPECT_EQ(skin->GetColour(4), 0);
    EXPECT_EQ(skin->GetColour(5), 0xFCC0);
    EXPECT_EQ(skin->GetMask(5), 0x8000);
}

TEST(SkinFileTest, DamagedFilesAreContained) {
    std::wstring text = L"Tamboril.Skin.1\n";
    for (int i = 0; i < 40; ++i) text += L"0x0000" + std::to_wstring(10 + i) + L"=start\n";
    text += L"Name=" + std::wstring(1000, L'N') + L"\n";
    auto skin = Parse(text);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetColourCount(), Emu::PadSkin::kMaxColours);
    EXPECT_EQ(skin->GetColour(31), Lumaret::Rgb565FromRgb888(0x41));
    EXPECT_EQ(skin->GetName().GetLength(), 256 - 5);
    // An odd byte at the end and invalid units are no trouble.
    EXPECT_NE(Emu::ParseSkinFile(Utf16File(L"Tamboril.Skin.1\n") + std::string("\x00\xD8\x41", 3), L"/x"), nullptr);
}

class SkinFolderTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        skins_ = program_ + "/Skins";
        std::filesystem::create_directories(skins_);
    }
    void TearDown() override {
        Emu::PadSkin::ReleaseSkins();
        EngineTest::TearDown();
    }
    void Skin(const std::string& name, const std::wstring& text) { WriteFile(skins_ + "/" + name, Utf16File(text)); }
    void Image(const std::string& name) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::white);
        ASSERT_TRUE(image.save(QString::fromStdString(skins_ + "/" + name), "PNG"));
    }

    std::string skins_;
};

TEST_F(SkinFolderTest, TheFolderIsReadInNameOrderAfterTheBuiltInSkin) {
    Skin("b.TXT", L"Tamboril.Skin.1\nName=Second\nType=GB\n");
    Skin("a.txt", L"Tamboril.Skin.1\nName=First\nType=GB\n");
    Skin("c.txt", L"Not a skin\n");
    Skin("d.bmp", L"Tamboril.Skin.1\nName=Never\n");
    ASSERT_TRUE(Emu::PadSkin::LoadSkins(nullptr));
    ASSERT_EQ(Emu::PadSkin::GetSkinCount(), 3);
    EXPECT_EQ(Emu::PadSkin::GetSkinAt(0)->GetID(), CString(L"GB|Tamboril Default"));
    EXPECT_EQ(Emu::PadSkin::GetSkinAt(1)->GetName(), CString(L"First"));
    EXPECT_EQ(Emu::PadSkin::GetSkinAt(2)->GetName(), CString(L"Second"));
}

TEST_F(SkinFolderTest, AMissingFolderIsCreated) {
    std::filesystem::remove_all(skins_);
    ASSERT_TRUE(Emu::PadSkin::LoadSkins(nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(skins_));
    EXPECT_EQ(Emu::PadSkin::GetSkinCount(), 1);
}

TEST_F(SkinFolderTest, GetSkinPrefersAnExactIdentifierThenTheFirstPrefix) {
    Skin("1.txt", L"Tamboril.Skin.1\nName=Pad Big\nType=GB\n");
    Skin("2.txt", L"Tamboril.Skin.1\nName=Pad\nType=GB\n");
    Skin("3.txt", L"Tamboril.Skin.1\nType=GB\n");
    Emu::PadSkin::LoadSkins(nullptr);
    EXPECT_EQ(Emu::PadSkin::GetSkin(L"gb|pad")->GetName(), CString(L"Pad"));
    EXPECT_EQ(Emu::PadSkin::GetSkin(L"GB|Pad B")->GetName(), CString(L"Pad Big"));
    EXPECT_EQ(Emu::PadSkin::GetSkin(L"GB|")->GetName(), CString(L"Tamboril Default"));
    EXPECT_EQ(Emu::PadSkin::GetSkin(L"NES|"), nullptr);
    EXPECT_EQ(Emu::PadSkin::GetSkin(L""), Emu::PadSkin::GetSkinAt(0));
}

TEST_F(SkinFolderTest, BitmapsOutsideTheFolderOrNotFilesGiveNoImage) {
    Image("pad.png");
    std::filesystem::create_directories(skins_ + "/folder.png");
    WriteFile(program_ + "/outside.png", "");
    Skin("1.txt", L"Tamboril.Skin.1\nName=Good\nBitmap=pad.png\n");
    Skin("2.txt", L"Tamboril.Skin.1\nName=Up\nBitmap=..\\outside.png\n");
    Skin("3.txt", L"Tamboril.Skin.1\nName=Absolute\nBitmap=" + CString::FromUtf8(program_).Text() + L"/outside.png\n");
    Skin("4.txt", L"Tamboril.Skin.1\nName=Folder\nBitmap=folder.png\n");
    Skin("5.txt", L"Tamboril.Skin.1\nName=Missing\nBitmap=missing.png\n");
    Emu::PadSkin::LoadSkins(nullptr);
    EXPECT_EQ(Emu::PadSkin::GetSkin(L"|Good")->GetBitmap(), CString::FromUtf8(skins_ + "/pad.png"));
    for (const wchar_t* name : {L"|Up", L"|Absolute", L"|Folder", L"|Missing"}) {
        Emu::PadSkin* skin = Emu::PadSkin::GetSkin(name);
        ASSERT_NE(skin, nullptr);
        EXPECT_TRUE(skin->GetBitmap().IsEmpty()) << CString(name).ToUtf8();
        Emu::PadSkin::SetActiveSkin(skin);
        EXPECT_EQ(Emu::PadSkin::GetImage(), nullptr);
        EXPECT_EQ(Emu::PadSkin::GetImageSize(), CSize{});
        EXPECT_EQ(Emu::PadSkin::CheckPad(1, 1), 0);
        Emu::PadSkin::DrawImage(view_.get(), 0, 0);
    }
    Emu::PadSkin::SetActiveSkin(Emu::PadSkin::GetSkin(L"|Good"));
    EXPECT_EQ(Emu::PadSkin::GetImageSize(), (CSize{8, 8}));
}

TEST_F(SkinFolderTest, TheBuiltInHitMapGivesEveryEntryOfItsTable) {
    Emu::PadSkin::LoadSkins(nullptr);
    Emu::PadSkin::SetActiveSkin(nullptr);
    const Emu::PadSkin* skin = Emu::PadSkin::GetActiveSkin();
    ASSERT_EQ(skin->GetID(), CString(L"GB|Tamboril Default"));
    ASSERT_EQ(skin->GetColourCount(), 13);
    const CSize size = Emu::PadSkin::GetImageSize();
    ASSERT_GT(size.cx, 0);
    // Every table entry's bits come back at some point of the visible pad.
    std::vector<bool> found(static_cast<size_t>(skin->GetColourCount()), false);
    for (int y = 0; y < size.cy / 2; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const int bits = Emu::PadSkin::CheckPad(x, y);
            for (int i = 0; i < skin->GetColourCount(); ++i)
                if (bits != 0 && bits == skin->GetMask(i)) found[static_cast<size_t>(i)] = true;
        }
    for (int i = 0; i < skin->GetColourCount(); ++i) EXPECT_TRUE(found[static_cast<size_t>(i)]) << "entry " << i;
    // Outside the visible half, and where the hit map is black, nothing.
    EXPECT_EQ(Emu::PadSkin::CheckPad(-1, 0), 0);
    EXPECT_EQ(Emu::PadSkin::CheckPad(0, size.cy / 2), 0);
    EXPECT_EQ(Emu::PadSkin::CheckPad(size.cx, 0), 0);
    EXPECT_EQ(Emu::PadSkin::CheckPad(45, 40), 0);  // the middle of the cross
}

TEST_F(SkinFolderTest, TheShippedSkinReadsWithItsImage) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TAMBORIL_SOURCE_DIR) + "/Skins"))
        std::filesystem::copy_file(entry.path(), skins_ + "/" + entry.path().filename().string());
    Emu::PadSkin::LoadSkins(nullptr);
    Emu::PadSkin* skin = Emu::PadSkin::GetSkin(L"GB|Tamboril Slate");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetColourCount(), 15);
    Emu::PadSkin::SetActiveSkin(skin);
    EXPECT_EQ(Emu::PadSkin::GetImageSize(), (CSize{240, 160}));
    EXPECT_EQ(Emu::PadSkin::CheckPad(20, 5), Emu::PadSkin::kL);
    EXPECT_EQ(Emu::PadSkin::CheckPad(220, 5), Emu::PadSkin::kR);
}

TEST_F(SkinFolderTest, AnEmulatorNamingNoLoadedSkinGetsTheBuiltInOne) {
    Emu::PadSkin::LoadSkins(nullptr);
    TestEmulator emulator(L"Test", L"Test", L".test");
    emulator.GetSettings().set(L"PadSkin", CString(L"SNES|Gone"));
    emulator.LoadPad();
    EXPECT_EQ(Emu::PadSkin::GetActiveSkin(), Emu::PadSkin::GetSkinAt(0));
    EXPECT_NE(Emu::PadSkin::GetImage(), nullptr);
}
