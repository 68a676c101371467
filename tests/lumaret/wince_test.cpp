// wince_test.cpp - the display's states, the task bar switch and the error texts.
#include "lumaret/wince.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <string>

#include "lumaret/errors.h"
#include "lumaret_test_app.h"

namespace {

using namespace Lumaret;

TEST(DisplayTest, SixteenBitsAndActiveOnlyWhileOpenAndNotPaused) {
    std::unique_ptr<Lumaret::Display> display(WinCE::CreateDisplay());
    EXPECT_EQ(display->GetBitDepth(), 16);
    EXPECT_FALSE(display->IsActive(0));
    display->Pause(0);  // pausing a closed display does not open it
    display->Resume();
    EXPECT_FALSE(display->IsActive(0));
    display->Open();
    EXPECT_TRUE(display->IsActive(0));
    display->Pause(0);
    EXPECT_FALSE(display->IsActive(0));
    display->Resume();
    EXPECT_TRUE(display->IsActive(0));
    display->Pause(0);
    display->Close();
    display->Open();
    EXPECT_TRUE(display->IsActive(0));  // a new opening is not paused
    display->Close();
    EXPECT_FALSE(display->IsActive(0));
}

TEST(SystemTest, HidingTheTaskBarMakesTheMainWindowFullScreen) {
    TestApp();
    QWidget frame;
    auto* view = new QWidget(&frame);
    (new QVBoxLayout(&frame))->addWidget(view);
    frame.show();
    std::unique_ptr<Lumaret::Window> window(WinCE::CreateWindow(view));
    WinCE::System::ShowTaskbar(false);
    EXPECT_TRUE(frame.isFullScreen());
    WinCE::System::ShowTaskbar(true);
    EXPECT_FALSE(frame.isFullScreen());
}

TEST(ErrorTest, OwnCodesHaveTextsAndOthersDoNot) {
    for (uint32_t code : {kErrorNoView, kErrorNoSurface, kErrorDepth}) {
        EXPECT_EQ(LumaretError(code), 1u) << code;
        EXPECT_NE(std::wstring(LumaretErrorString(code)), L"Lumaret: Unknown error.");
    }
    for (uint32_t code : {0x6001u, 0x6700u, 0x6704u, 0xC0000005u, 0u}) EXPECT_EQ(LumaretError(code), 0u) << code;
    EXPECT_EQ(std::wstring(LumaretErrorString(0x6001)), L"Lumaret: Unknown error.");
}

}  // namespace
