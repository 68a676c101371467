// view_test.cpp - the view's background: a bitmap that loads is used, one
// that does not is forgotten.
#include <QImage>
#include <QTest>

#include "app/main_view.h"
#include "app_fixture.h"

using namespace App;

TEST_F(AppTest, ABackgroundBitmapThatCannotBeLoadedIsForgotten) {
    CreateFrame();
    const std::string damaged = home_ + "/damaged.bmp";
    FILE* file = fopen(damaged.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fputs("BM not really a bitmap", file);
    fclose(file);
    Settings().set(L"BGFileName", CString::FromUtf8(damaged));
    ShowActive();
    frame_->GetView()->repaint();
    EXPECT_TRUE(Settings().getString(L"BGFileName").IsEmpty());
    EXPECT_TRUE(frame_->GetView()->GetBackground().isNull());
}

TEST_F(AppTest, ABackgroundBitmapIsLoadedOnceAndShown) {
    CreateFrame();
    const QString path = QString::fromStdString(home_ + "/background.bmp");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    ASSERT_TRUE(picture.save(path, "BMP"));
    Settings().set(L"BGFileName", CString(path.toStdWString()));
    ShowActive();
    frame_->GetView()->repaint();
    EXPECT_FALSE(frame_->GetView()->GetBackground().isNull());
    EXPECT_EQ(frame_->GetView()->GetBackgroundFile(), CString(path.toStdWString()));
    const QImage shown = frame_->GetView()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(10, 200, 30));
}

TEST_F(AppTest, WithoutABitmapTheBackgroundColourFillsTheView) {
    CreateFrame();
    Settings().set(L"BGFileName", CString());
    Settings().set(L"BGColor", 0x00FF8040);  // 0x00BBGGRR
    ShowActive();
    const QImage shown = frame_->GetView()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(0x40, 0x80, 0xFF));
}
