// page_layout_test.cpp - every page laid out in the plug-in's dialog on the
// fixture's 640 x 480 desktop: nothing is cut off and the dialog keeps its
// place. With TAMBORIL_PAGES_SHOTS naming a folder, pictures of the dialog on
// each tab, of the screen page and of the capture dialog are written there.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSlider>
#include <QTabWidget>

#include "engine/pages/button_dlg.h"
#include "engine/pages/screen_page.h"
#include "glue/settings_dialog.h"
#include "pages_fixture.h"

namespace {

class PageLayoutTest : public PagesTest {
protected:
    void SetUp() override {
        PagesTest::SetUp();
        shots_ = qEnvironmentVariable("TAMBORIL_PAGES_SHOTS");
        if (!shots_.isEmpty()) QDir().mkpath(shots_);
    }

    void Shoot(QWidget& widget, const QString& name) {
        if (!shots_.isEmpty()) widget.grab().save(shots_ + "/" + name + ".png");
    }

    // Every control of `page` lies inside it at no less than its smallest size.
    void ExpectNothingCut(QWidget* page, const char* name) {
        SCOPED_TRACE(name);
        EXPECT_LE(page->minimumSizeHint().width(), page->width());
        EXPECT_LE(page->minimumSizeHint().height(), page->height());
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (!control->isVisible()) continue;
            if (!qobject_cast<QLabel*>(control) && !qobject_cast<QAbstractButton*>(control) &&
                !qobject_cast<QSlider*>(control) && !qobject_cast<QComboBox*>(control))
                continue;
            const QRect place(control->mapTo(page, QPoint(0, 0)), control->size());
            EXPECT_TRUE(page->rect().contains(place)) << control->objectName().toStdString();
            const QSize least = control->minimumSizeHint();
            EXPECT_GE(control->width(), least.width()) << control->objectName().toStdString();
            EXPECT_GE(control->height(), least.height()) << control->objectName().toStdString();
            if (auto* label = qobject_cast<QLabel*>(control); label && !label->wordWrap()) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            }
        }
    }

    QString shots_;
};

}  // namespace

TEST_F(PageLayoutTest, EveryTabOfTheDialogShowsItsControlsWhole) {
    GbaSettingsDialog dialog(machine_.get(), view.get());
    dialog.show();
    auto* tabs = dialog.findChild<QTabWidget*>("tabs");
    const char* names[] = {"sound", "speed", "controls", "skin"};
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        ExpectNothingCut(tabs->widget(tab), names[tab]);
        Shoot(dialog, names[tab]);
    }
    EXPECT_EQ(dialog.size(), QSize(640, 432));
}

TEST_F(PageLayoutTest, ScreenPageAndCaptureDialogShowTheirControlsWhole) {
    Emu::CScreenPage screen(machine_.get(), nullptr);
    screen.resize(400, 200);
    screen.show();
    ExpectNothingCut(&screen, "screen");
    Shoot(screen, "screen");

    Emu::CButtonDlg capture(nullptr);
    capture.show();
    ExpectNothingCut(&capture, "capture");
    Shoot(capture, "capture");
}
