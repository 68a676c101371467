// control_page_test.cpp - the control page: the keys it shows, recording a key
// for each row through the capture dialog, Cancel, and hiding L and R.
#include "engine/pages/control_page.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include "engine/pages/button_dlg.h"
#include "engine/pages/key_name.h"
#include "lumaret/keys.h"
#include "pages_fixture.h"

using Emu::CButtonDlg;
using Emu::CControlPage;

namespace {

class ControlPageTest : public PagesTest {
protected:
    // Every capture dialog is answered with `answer_` (a Qt key), or cancelled
    // when it is 0.
    void SetUp() override {
        PagesTest::SetUp();
        onModal_ = [this](QDialog& dialog) {
            auto* capture = qobject_cast<CButtonDlg*>(&dialog);
            EXPECT_NE(capture, nullptr);
            if (!capture) return 0;
            capture->show();
            if (answer_)
                QTest::keyClick(capture, answer_);
            else
                QTest::mouseClick(Control<QPushButton>(capture, CButtonDlg::kCancel), Qt::LeftButton);
            return capture->result();
        };
    }

    QString LabelText(CControlPage& page, int row) {
        return Control<QLabel>(&page, CControlPage::KeyLabelId(row))->text();
    }

    Qt::Key answer_ = Qt::Key(0);
};

}  // namespace

TEST_F(ControlPageTest, ShowsEachBoundKeyAsCodeAndName) {
    CControlPage page(machine_.get(), nullptr);
    const Lumaret::KeyList& keys = machine_->GetKeyList();
    for (int row = 0; row < CControlPage::kRowCount; ++row)
        EXPECT_EQ(LabelText(page, row).toStdWString(), Emu::KeyLabel(keys.keys[row]).Text()) << "row " << row;
    EXPECT_EQ(LabelText(page, CControlPage::kLeft), "37 (Left)");
    EXPECT_EQ(LabelText(page, CControlPage::kStart), "13 (Return)");

    Lumaret::KeyList custom = keys;
    custom.keys[CControlPage::kA] = 0;
    custom.keys[CControlPage::kB] = 0xE9;  // a code without a name
    machine_->SetKeyList(custom);
    page.LoadData();
    EXPECT_EQ(LabelText(page, CControlPage::kA), "0");
    EXPECT_EQ(LabelText(page, CControlPage::kB), "233");
}

TEST_F(ControlPageTest, EachRecordButtonSetsItsRowsEntryOnlyWhenSaved) {
    // The template's identifiers: B (entry 5) on 2014 and A (entry 6) on 2015,
    // L and R on 2025 and 2026 with their labels on 2027 and 2028.
    const struct {
        int id;
        const char* text;
        int entry;
        int label;
    } rows[] = {{2009, "Up", 0, 2017},    {2010, "Down", 1, 2018}, {2011, "Left", 2, 2019}, {2012, "Right", 3, 2020},
                {2013, "Start", 4, 2021}, {2014, "B", 5, 2022},    {2015, "A", 6, 2023},    {2016, "Select", 7, 2024},
                {2025, "L", 8, 2027},     {2026, "R", 9, 2028}};
    const Lumaret::KeyList before = machine_->GetKeyList();
    CControlPage page(machine_.get(), nullptr);
    for (const auto& row : rows) {
        auto* button = Control<QPushButton>(&page, row.id);
        EXPECT_EQ(button->text(), row.text);
        answer_ = Qt::Key(Qt::Key_A + row.entry);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(Control<QLabel>(&page, row.label)->text(),
                  QString("%1 (%2)").arg('A' + row.entry).arg(QChar('A' + row.entry)));
    }
    EXPECT_EQ(modalRuns_, CControlPage::kRowCount);
    EXPECT_EQ(0, memcmp(&machine_->GetKeyList(), &before, sizeof before)) << "written before SaveData";

    page.SaveData();
    const Lumaret::KeyList& after = machine_->GetKeyList();
    for (int entry = 0; entry < CControlPage::kRowCount; ++entry) EXPECT_EQ(after.keys[entry], 'A' + entry);
    EXPECT_EQ(after.keys[10], before.keys[10]);
}

TEST_F(ControlPageTest, CancelOnEveryRowSavesTheUnchangedList) {
    Lumaret::KeyList custom{};
    for (int i = 0; i < Lumaret::KeyList::kCount; ++i) custom.keys[i] = static_cast<uint16_t>(0x41 + 2 * i);
    machine_->SetKeyList(custom);
    CControlPage page(machine_.get(), nullptr);
    for (int row = 0; row < CControlPage::kRowCount; ++row) {
        const QString shown = LabelText(page, row);
        QTest::mouseClick(Control<QPushButton>(&page, CControlPage::RecordButtonId(row)), Qt::LeftButton);
        EXPECT_EQ(LabelText(page, row), shown);
    }
    machine_->SetKeyList(Lumaret::KeyList{});
    page.SaveData();
    EXPECT_EQ(0, memcmp(&machine_->GetKeyList(), &custom, sizeof custom));
}

TEST_F(ControlPageTest, ShowControlsShowsAndHidesOnlyLAndR) {
    CControlPage page(machine_.get(), nullptr);
    page.show();
    for (bool show : {false, true}) {
        page.ShowControls(show);
        for (int row = 0; row < CControlPage::kRowCount; ++row) {
            const bool expected = show || (row != CControlPage::kL && row != CControlPage::kR);
            EXPECT_EQ(Control<QPushButton>(&page, CControlPage::RecordButtonId(row))->isVisible(), expected);
            EXPECT_EQ(Control<QLabel>(&page, CControlPage::KeyLabelId(row))->isVisible(), expected);
        }
    }
}
