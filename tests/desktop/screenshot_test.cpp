// screenshot_test.cpp - F12 and Shift+F12 write the shown frame beside the
// cartridge under the next free number, never over an existing file, and a
// folder that refuses the file gets a console line.
#include "app/screenshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "desktop_fixture.h"
#include "engine/base_video.h"
#include "png_file.h"

namespace {

namespace fs = std::filesystem;

using ScreenshotTest = DesktopTest;

Png::RgbImage ReadImage(const std::string& path) {
    Png::RgbImage image;
    EXPECT_TRUE(Png::ReadPng(path, image)) << path;
    return image;
}

TEST_F(ScreenshotTest, F12NumbersItsFilesAndSkipsAnExistingOneAndShiftF12Doubles) {
    RunDemo(CopyDemo("game/demo.gba"), 40);
    const std::string folder = files.File("game");
    std::ofstream(folder + "/demo-002.png") << "someone else's picture";

    Key(Qt::Key_F12, true);
    Key(Qt::Key_F12, false);
    Key(Qt::Key_F12, true);
    Key(Qt::Key_F12, false);
    Key(Qt::Key_F12, true, Qt::ShiftModifier);
    Key(Qt::Key_F12, false, Qt::ShiftModifier);

    const std::string console = Engine().GetConsole().ToUtf8();
    for (const char* name : {"demo-001.png", "demo-003.png", "demo-004.png"})
        EXPECT_NE(console.find("Screenshot written to " + folder + "/" + name), std::string::npos) << console;
    std::ifstream kept(folder + "/demo-002.png");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "someone else's picture");

    const Png::RgbImage shown = App::CaptureFrame(Engine(), 1);
    ASSERT_EQ(shown.width, 240);
    ASSERT_EQ(shown.height, 160);
    const Png::RgbImage first = ReadImage(folder + "/demo-001.png");
    EXPECT_EQ(first.pixels, shown.pixels) << "the picture is the shown frame";
    const Png::RgbImage doubled = ReadImage(folder + "/demo-004.png");
    ASSERT_EQ(doubled.width, 480);
    ASSERT_EQ(doubled.height, 320);
    for (int y : {0, 57, 159})
        for (int x : {0, 101, 239})
            for (int dy : {0, 1})
                for (int dx : {0, 1})
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(doubled.pixels[((2 * y + dy) * 480 + 2 * x + dx) * 3 + c],
                                  shown.pixels[(y * 240 + x) * 3 + c])
                            << x << ", " << y;
    // Only the pictures and the cartridge are left: no temporary file.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 5);
}

TEST_F(ScreenshotTest, AFolderThatRefusesTheFileGetsAConsoleLine) {
    const std::string cartridge = CopyDemo("locked/demo.gba");
    const std::string folder = files.File("locked");
    RunDemo(cartridge, 10);
    chmod(folder.c_str(), 0555);
    // The superuser writes into any folder; for it the folder disappears.
    if (access(folder.c_str(), W_OK) == 0) fs::remove_all(folder);

    Key(Qt::Key_F12, true);
    Key(Qt::Key_F12, false);
    const std::string console = Engine().GetConsole().ToUtf8();
    EXPECT_NE(console.find("The screenshot could not be written beside " + cartridge), std::string::npos) << console;
    EXPECT_FALSE(fs::exists(folder + "/demo-001.png"));
    EXPECT_TRUE(Engine().IsRunning()) << "the game goes on";
    chmod(folder.c_str(), 0755);
}

TEST_F(ScreenshotTest, WithoutAGameNothingIsWritten) {
    Key(Qt::Key_F12, true);
    EXPECT_NE(Engine().GetConsole().ToUtf8().find("No screenshot: no game is shown."), std::string::npos);
}

}  // namespace
