// drop_test.cpp - a file dropped onto the window runs through the engine as
// Open runs it; a file no plug-in accepts stops the game, as Open does, and
// the console says so.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <fstream>

#include "desktop_fixture.h"

namespace {

using DropTest = DesktopTest;

// Drags `path` onto the frame and drops it there; whether the drag was accepted.
bool DragAndDrop(QWidget* target, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

TEST_F(DropTest, ADroppedCartridgeRunsAndTheEngineIsNotLeftPaused) {
    const std::string cartridge = CopyDemo("Dropped.GBA");
    EXPECT_TRUE(DragAndDrop(frame.get(), QString::fromStdString(cartridge)));
    EXPECT_TRUE(Engine().IsRunning());
    EXPECT_EQ(Engine().GetFileName().ToUtf8(), cartridge);
    ASSERT_EQ(Engine().GetActiveEmulator(), Gba());
    EXPECT_FALSE(Gba()->IsPaused());
    RunFrames(5);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DropTest, AFileNoPluginAcceptsStopsTheGameAndIsNamedOnTheConsole) {
    RunDemo(CopyDemo(), 2);
    const std::string notes = files.File("notes.txt");
    std::ofstream(notes) << "not a cartridge";
    EXPECT_TRUE(DragAndDrop(frame.get(), QString::fromStdString(notes)));
    EXPECT_FALSE(Engine().IsRunning());
    EXPECT_EQ(Engine().GetActiveEmulator(), nullptr);
    EXPECT_NE(Engine().GetConsole().ToUtf8().find("No emulator runs " + notes), std::string::npos);
    EXPECT_TRUE(messages.empty()) << "no message box";
}

TEST_F(DropTest, ADragWithoutALocalFileIsRefused) {
    QMimeData data;
    data.setText(QStringLiteral("demo.gba"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

}  // namespace
