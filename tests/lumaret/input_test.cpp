// input_test.cpp - key codes from Qt key events, key and stylus state, the default
// key list.
#include "lumaret/input.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <QWidget>
#include <climits>
#include <set>

#include "lumaret/keys.h"
#include "lumaret_test_app.h"

namespace {

using namespace Lumaret;

// A widget that feeds its key and pointer events to an input object, as the
// program's view does.
class Feeder : public QWidget {
public:
    explicit Feeder(Input* input) : input_(input) {
        setAttribute(Qt::WA_AcceptTouchEvents);
        resize(240, 320);
        show();
    }

protected:
    bool event(QEvent* event) override {
        KeyMessage key;
        StylusEvent stylus;
        if (TranslateKeyEvent(event, &key))
            input_->SetKey(key.key, key.message == kKeyDownMessage);
        else if (TranslateStylusEvent(event, &stylus))
            input_->Feed(stylus);
        else
            return QWidget::event(event);
        event->accept();
        return true;
    }

private:
    Input* input_;
};

class InputTest : public ::testing::Test {
protected:
    InputTest() { TestApp(); }
    Input input;
};

struct Mapping {
    int qt;
    Qt::KeyboardModifiers modifiers;
    int vk;
};

TEST_F(InputTest, QtKeysMapToVirtualKeyCodes) {
    const Mapping mappings[] = {
        {Qt::Key_Up, {}, 0x26},
        {Qt::Key_Down, {}, 0x28},
        {Qt::Key_Left, {}, 0x25},
        {Qt::Key_Right, {}, 0x27},
        {Qt::Key_Return, {}, 0x0D},
        {Qt::Key_Enter, {}, 0x0D},
        {Qt::Key_Escape, {}, 0x1B},
        {Qt::Key_Space, {}, 0x20},
        {Qt::Key_Shift, {}, 0x10},
        {Qt::Key_Control, {}, 0x11},
        {Qt::Key_Alt, {}, 0x12},
        {Qt::Key_Tab, {}, 0x09},
        {Qt::Key_Backtab, {}, 0x09},
        {Qt::Key_Backspace, {}, 0x08},
        {Qt::Key_Delete, {}, 0x2E},
        {Qt::Key_Insert, {}, 0x2D},
        {Qt::Key_Home, {}, 0x24},
        {Qt::Key_End, {}, 0x23},
        {Qt::Key_PageUp, {}, 0x21},
        {Qt::Key_PageDown, {}, 0x22},
        {Qt::Key_Super_L, {}, 0x5B},
        {Qt::Key_Meta, {}, 0x5B},
        {Qt::Key_A, {}, 'A'},
        {Qt::Key_Z, {}, 'Z'},
        {Qt::Key_X, {}, 'X'},
        {Qt::Key_S, {}, 'S'},
        {Qt::Key_0, {}, '0'},
        {Qt::Key_9, {}, '9'},
        {Qt::Key_F1, {}, 0x70},
        {Qt::Key_F12, {}, 0x7B},
        {Qt::Key_Exclam, {}, '1'},
        {Qt::Key_ParenRight, {}, '0'},
        {Qt::Key_Percent, {}, '5'},
        {Qt::Key_Comma, {}, 0xBC},
        {Qt::Key_Less, {}, 0xBC},
        {Qt::Key_Minus, {}, 0xBD},
        {Qt::Key_Underscore, {}, 0xBD},
        {Qt::Key_Semicolon, {}, 0xBA},
        {Qt::Key_Apostrophe, {}, 0xDE},
        {Qt::Key_0, Qt::KeypadModifier, 0x60},
        {Qt::Key_7, Qt::KeypadModifier, 0x67},
        {Qt::Key_9, Qt::KeypadModifier, 0x69},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 0x6A},
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
        {Qt::Key_Minus, Qt::KeypadModifier, 0x6D},
        {Qt::Key_Period, Qt::KeypadModifier, 0x6E},
        {Qt::Key_Slash, Qt::KeypadModifier, 0x6F},
        {Qt::Key_Enter, Qt::KeypadModifier, 0x0D},
        {Qt::Key_Left, Qt::KeypadModifier, 0x25},
        {Qt::Key_A, Qt::ShiftModifier, 'A'},
    };
    for (const Mapping& m : mappings)
        EXPECT_EQ(VirtualKeyFromQt(m.qt, m.modifiers), m.vk) << std::hex << "Qt key 0x" << m.qt;
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown, {}), 0);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_VolumeUp, {}), 0);
}

TEST_F(InputTest, EveryNonZeroVirtualKeyIsAKeyCode) {
    // Every Qt key value up to F35 and the Latin-1 range, plain and on the pad.
    for (int qt = 0; qt < 0x100; ++qt)
        for (auto modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier)}) {
            const int vk = VirtualKeyFromQt(qt, modifiers);
            EXPECT_TRUE(vk == 0 || (vk >= 1 && vk <= 255)) << qt;
        }
    for (int qt = Qt::Key_Escape; qt <= Qt::Key_F35; ++qt) {
        const int vk = VirtualKeyFromQt(qt, {});
        EXPECT_TRUE(vk == 0 || (vk >= 1 && vk <= 255)) << qt;
    }
}

TEST_F(InputTest, DefaultKeysAreTheDocumentedDesktopLayout) {
    const KeyList* keys = input.GetDefaultKeys();
    const int expected[KeyList::kCount] = {VirtualKeyFromQt(Qt::Key_Up, {}),
                                           VirtualKeyFromQt(Qt::Key_Down, {}),
                                           VirtualKeyFromQt(Qt::Key_Left, {}),
                                           VirtualKeyFromQt(Qt::Key_Right, {}),
                                           VirtualKeyFromQt(Qt::Key_Return, {}),
                                           VirtualKeyFromQt(Qt::Key_Z, {}),
                                           VirtualKeyFromQt(Qt::Key_X, {}),
                                           VirtualKeyFromQt(Qt::Key_Backspace, {}),
                                           VirtualKeyFromQt(Qt::Key_A, {}),
                                           VirtualKeyFromQt(Qt::Key_S, {}),
                                           0};
    std::set<int> distinct;
    for (int i = 0; i < KeyList::kCount; ++i) {
        EXPECT_EQ(keys->keys[i], expected[i]) << i;
        if (i < 10) distinct.insert(keys->keys[i]);
    }
    EXPECT_EQ(distinct.size(), 10u);
    EXPECT_EQ(keys->keys[0], 0x26);
    EXPECT_EQ(keys->keys[4], 0x0D);
    input.GetDefaultKeys()->keys[0] = 0;  // a caller writing into the list spoils nothing
    EXPECT_EQ(input.GetDefaultKeys()->keys[0], 0x26);
}

TEST_F(InputTest, KeyPressAndReleaseChangeKeyState) {
    Feeder view(&input);
    QTest::keyPress(&view, Qt::Key_X);
    EXPECT_TRUE(input.IsKeyDown('X'));
    EXPECT_FALSE(input.IsKeyDown('Z'));
    QTest::keyPress(&view, Qt::Key_Up);
    EXPECT_TRUE(input.IsKeyDown(0x26));
    QTest::keyRelease(&view, Qt::Key_X);
    EXPECT_FALSE(input.IsKeyDown('X'));
    EXPECT_TRUE(input.IsKeyDown(0x26));
}

TEST_F(InputTest, AutoRepeatKeepsAHeldKeyDown) {
    Feeder view(&input);
    QTest::keyPress(&view, Qt::Key_Left);
    // A held key repeats as release-and-press pairs marked as repeats.
    for (auto type : {QEvent::KeyRelease, QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent repeat(type, Qt::Key_Left, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&view, &repeat);
        EXPECT_TRUE(input.IsKeyDown(0x25));
    }
    QTest::keyRelease(&view, Qt::Key_Left);
    EXPECT_FALSE(input.IsKeyDown(0x25));
}

TEST_F(InputTest, ShiftedPressAndPlainReleaseAreTheSameKey) {
    Feeder view(&input);
    QTest::keyPress(&view, Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_TRUE(input.IsKeyDown('1'));
    QTest::keyRelease(&view, Qt::Key_1);
    EXPECT_FALSE(input.IsKeyDown('1'));
}

TEST_F(InputTest, CodesOutsideTheKeyRangeAreNeverDown) {
    for (int key : {0, 256, -1, 0x10000, INT_MAX, INT_MIN}) {
        input.SetKey(key, true);
        EXPECT_FALSE(input.IsKeyDown(key)) << key;
    }
    input.SetKey(255, true);
    input.SetKey(1, true);
    EXPECT_TRUE(input.IsKeyDown(255));
    EXPECT_TRUE(input.IsKeyDown(1));
    EXPECT_FALSE(input.IsKeyDown(256 + 1));  // no wrap onto key 1
}

TEST_F(InputTest, PauseAndCloseReleaseEveryKey) {
    input.Open();
    input.SetKey('Z', true);
    input.Pause();
    EXPECT_FALSE(input.IsKeyDown('Z'));
    input.Resume();
    input.SetKey('Z', true);
    EXPECT_TRUE(input.IsKeyDown('Z'));
    input.Close();
    EXPECT_FALSE(input.IsKeyDown('Z'));
    EXPECT_FALSE(input.IsOpen());
}

TEST_F(InputTest, HotKeysPressOnlyWithDoubleCapture) {
    input.OnHotKey(0xC1, kHotKeyMessage);
    EXPECT_FALSE(input.IsKeyDown(0xC1));
    input.SetDoubleCapture(true);
    EXPECT_TRUE(input.IsDoubleCapture());
    input.OnHotKey(0xC1, kKeyDownMessage);  // not a hot-key message
    EXPECT_FALSE(input.IsKeyDown(0xC1));
    input.OnHotKey(0xC1, kHotKeyMessage);
    EXPECT_TRUE(input.IsKeyDown(0xC1));
    input.SetKey(0xC1, false);
    EXPECT_FALSE(input.IsKeyDown(0xC1));
    input.OnHotKey(0x1C1, kHotKeyMessage);
    EXPECT_FALSE(input.IsKeyDown(0x1C1));
}

TEST_F(InputTest, StylusFollowsMousePressMoveAndRelease) {
    Feeder view(&input);
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(30, 250));
    EXPECT_TRUE(input.IsStylusDown());
    EXPECT_EQ(input.GetStylusPosition()->x, 30);
    EXPECT_EQ(input.GetStylusPosition()->y, 250);
    QMouseEvent drag(QEvent::MouseMove, QPointF(35, 260), QPointF(35, 260), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &drag);
    EXPECT_TRUE(input.IsStylusDown());
    EXPECT_EQ(input.GetStylusPosition()->x, 35);
    EXPECT_EQ(input.GetStylusPosition()->y, 260);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(40, 270));
    EXPECT_FALSE(input.IsStylusDown());
    EXPECT_EQ(input.GetStylusPosition()->x, 40);
    // Moving without the button and other buttons leave the stylus alone.
    QTest::mouseMove(&view, QPoint(100, 100));
    QTest::mousePress(&view, Qt::RightButton, {}, QPoint(120, 120));
    EXPECT_FALSE(input.IsStylusDown());
    EXPECT_EQ(input.GetStylusPosition()->x, 40);
}

TEST_F(InputTest, StylusFollowsTouch) {
    Feeder view(&input);
    static QPointingDevice* screen = QTest::createTouchDevice();  // registered with Qt for good
    QTest::touchEvent(&view, screen).press(0, QPoint(12, 200));
    EXPECT_TRUE(input.IsStylusDown());
    EXPECT_EQ(input.GetStylusPosition()->y, 200);
    QTest::touchEvent(&view, screen).move(0, QPoint(20, 210));
    EXPECT_TRUE(input.IsStylusDown());
    EXPECT_EQ(input.GetStylusPosition()->x, 20);
    QTest::touchEvent(&view, screen).release(0, QPoint(22, 215));
    EXPECT_FALSE(input.IsStylusDown());
    EXPECT_EQ(input.GetStylusPosition()->y, 215);
}

}  // namespace
