// button_dlg_test.cpp - the key capture dialog: which keys it takes, which it
// ignores, Cancel, and the input object it opens while no file runs.
#include "engine/pages/button_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "lumaret/input.h"
#include "lumaret/keys.h"
#include "pages_fixture.h"

using Emu::CButtonDlg;

using ButtonDlgTest = PagesTest;

TEST_F(ButtonDlgTest, CapturesEveryKeyIncludingThoseADialogKeepsForItself) {
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_Left, Lumaret::Vk::Left},
        {Qt::Key_Up, Lumaret::Vk::Up},
        {Qt::Key_Right, Lumaret::Vk::Right},
        {Qt::Key_Down, Lumaret::Vk::Down},
        {Qt::Key_Tab, Lumaret::Vk::Tab},
        {Qt::Key_Backtab, Lumaret::Vk::Tab},
        {Qt::Key_Return, Lumaret::Vk::Return},
        {Qt::Key_Enter, Lumaret::Vk::Return},
        {Qt::Key_Escape, Lumaret::Vk::Escape},
        {Qt::Key_Space, Lumaret::Vk::Space},
        {Qt::Key_Z, 'Z'},
        {Qt::Key_Backspace, Lumaret::Vk::Back},
    };
    for (auto [qtKey, vk] : keys) {
        CButtonDlg dialog(nullptr);
        dialog.show();
        QTest::keyClick(&dialog, qtKey);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << "Qt key " << qtKey;
        EXPECT_EQ(dialog.GetKey(), vk) << "Qt key " << qtKey;
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(ButtonDlgTest, IgnoresKeyZeroAndTheLeftSystemKeyAndKeepsWaiting) {
    CButtonDlg dialog(nullptr);
    dialog.show();
    dialog.OnKeyDown(0);
    QTest::keyClick(&dialog, Qt::Key_Super_L);  // 0x5B
    dialog.OnKeyDown(Lumaret::Vk::LWin);
    QKeyEvent unknown(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier);  // no code at all
    QApplication::sendEvent(&dialog, &unknown);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.GetKey(), 0);

    QTest::keyClick(&dialog, Qt::Key_X);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetKey(), 'X');
    // The first key is the one kept.
    dialog.OnKeyDown('Y');
    EXPECT_EQ(dialog.GetKey(), 'X');
}

TEST_F(ButtonDlgTest, CancelWithTheMouseCapturesNothing) {
    CButtonDlg dialog(nullptr);
    dialog.show();
    auto* cancel = Control<QPushButton>(&dialog, CButtonDlg::kCancel);
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetKey(), 0);
}

TEST_F(ButtonDlgTest, KeysOfOtherWindowsAreNotTaken) {
    CButtonDlg dialog(nullptr);
    dialog.show();
    QLineEdit other;
    other.show();
    QTest::keyClick(&other, Qt::Key_Q);
    EXPECT_EQ(other.text(), "q");
    EXPECT_EQ(dialog.GetKey(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ButtonDlgTest, InputIsOpenWhileWaitingAndClosedAfterwardsWhenNoFileRuns) {
    Lumaret::Input* input = engine->GetInput();
    ASSERT_FALSE(engine->IsRunning());
    ASSERT_FALSE(input->IsOpen());
    {
        CButtonDlg dialog(nullptr);
        EXPECT_TRUE(input->IsOpen());
        dialog.OnKeyDown('A');
        EXPECT_FALSE(input->IsOpen());
    }
    {
        CButtonDlg dialog(nullptr);
        EXPECT_TRUE(input->IsOpen());
        dialog.reject();
        EXPECT_FALSE(input->IsOpen());
    }
}
