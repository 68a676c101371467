// engine_fixture.cpp - the engine, view and message capture the plug-in's tests share.
#include "engine_fixture.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdlib>

#include "lumaret/keys.h"
#include "lumaret_test_app.h"

void EngineFixture::SetUp() {
    setenv("TAMBORIL_HOME", home.path().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TestApp();  // Qt's offscreen platform unless the environment chooses another
    view = std::make_unique<QWidget>();
    view->resize(240, 160);
    view->show();
    Emu::Engine::MessageHook() = [this](const CString& text) { messages.push_back(text.ToUtf8()); };
    engine = std::make_unique<Emu::Engine>(view.get());
}

void EngineFixture::TearDown() {
    engine.reset();
    view.reset();
    Emu::Engine::MessageHook() = [](const CString&) {};
}

std::string EngineFixture::CopyDemo(const std::string& relative) const { return ::CopyDemo(files, relative); }

void EngineFixture::Key(uint16_t vk, bool down) {
    engine->ProcessMessage(down ? Lumaret::kKeyDownMessage : Lumaret::kKeyUpMessage, vk, 0);
}

std::vector<uint16_t> EngineFixture::ShownFrame(const Lumaret::Rect& at) const {
    QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB16);
    std::vector<uint16_t> frame(240 * 160);
    if (at.x < 0 || at.y < 0 || image.width() < at.x + 240 || image.height() < at.y + 160) {
        ADD_FAILURE() << "the frame at (" << at.x << ", " << at.y << ") lies outside the view";
        return frame;
    }
    for (int y = 0; y < 160; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(image.constScanLine(at.y + y)) + at.x;
        std::copy(row, row + 240, frame.begin() + y * 240);
    }
    return frame;
}

std::string EngineFixture::StoreText() const {
    std::vector<uint8_t> bytes = ReadFileBytes(home.File("HKEY_CURRENT_USER.reg"));
    return std::string(bytes.begin(), bytes.end());
}
