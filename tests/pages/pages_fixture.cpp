// pages_fixture.cpp - the settings page tests' program folder, skins, modal
// answers and machine.
#include "pages_fixture.h"

#include <QImage>
#include <filesystem>

#include "engine/program_folder.h"

namespace {

// A skin file as the loader reads it (UTF-16 with a byte-order mark, one
// setting a line) and its picture: the visible half in `colour`, the hit map
// pure blue.
void WriteSkin(const std::filesystem::path& folder, const char* file, const std::wstring& type,
               const std::wstring& name, const char* bitmap, QColor colour) {
    const std::wstring text = L"Tamboril.Skin.1\r\nName=" + name + L"\r\nType=" + type +
                              L"\r\nAuthor=Tests\r\nBitmap=" + CString(bitmap).Text() + L"\r\n0x0000FF=a\r\n";
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : CString(text).ToUtf16()) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    WriteFileBytes((folder / file).string(), bytes);
    QImage image(120, 160, QImage::Format_RGB32);
    image.fill(colour);
    for (int y = 80; y < 160; ++y)
        for (int x = 0; x < 120; ++x) image.setPixelColor(x, y, Qt::blue);
    image.save(QString::fromStdString((folder / bitmap).string()), "PNG");
}

}  // namespace

void PagesTest::SetUp() {
    const std::filesystem::path skins = program_.File("Skins");
    std::filesystem::create_directories(skins);
    WriteSkin(skins, "a_blue.txt", L"GB", L"Blue Test Pad", "blue.png", QColor(40, 80, 200));
    WriteSkin(skins, "b_red.txt", L"NES", L"Red Test Pad", "red.png", QColor(200, 40, 40));
    Emu::SetProgramFolder(CString::FromUtf8(program_.path()));
    Emu::ModalHook() = [this](QDialog& dialog) {
        ++modalRuns_;
        EXPECT_TRUE(onModal_) << "an unexpected modal dialog";
        return onModal_ ? onModal_(dialog) : 0;
    };
    EngineFixture::SetUp();
    // A 640 x 480 desktop with the usual tool bar, whatever the screen.
    PropertyMap& global = engine->GetSettings();
    global.set(L"ToolBarSize", 24);
    global.set(L"DesktopWidth", 640);
    global.set(L"DesktopHeight", 480);
    machine_ = std::make_unique<GbaMachine>();
    machine_->ResetSettings();
}

void PagesTest::TearDown() {
    machine_.reset();
    EngineFixture::TearDown();
    Emu::ModalHook() = [](QDialog&) { return 0; };
    Emu::SetProgramFolder(CString());
}
