// control_page.cpp - the control page's rows, the key capture and the working
// copy of the key list.
#include "control_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "button_dlg.h"
#include "engine/emulator.h"
#include "key_name.h"

namespace Emu {

namespace {

constexpr const char* kRowNames[CControlPage::kRowCount] = {"Up", "Down", "Left",   "Right", "Start",
                                                            "B",  "A",    "Select", "L",     "R"};
// Rows per column: the pad and Start on the left, the buttons on the right.
constexpr int kRowsPerColumn = 5;

}  // namespace

int CControlPage::RecordButtonId(int row) { return row < kL ? 2009 + row : 2025 + (row - kL); }
int CControlPage::KeyLabelId(int row) { return row < kL ? 2017 + row : 2027 + (row - kL); }

CControlPage::CControlPage(Emulator* emulator, QWidget* parent) : SettingsPage(emulator, parent, kTemplate) {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int row = 0; row < kRowCount; ++row) {
        buttons_[row] = new QPushButton(QString::fromLatin1(kRowNames[row]), this);
        buttons_[row]->setObjectName(ControlName(RecordButtonId(row)));
        buttons_[row]->setAutoDefault(false);
        labels_[row] = new QLabel(this);
        labels_[row]->setObjectName(ControlName(KeyLabelId(row)));
        const int column = (row / kRowsPerColumn) * 2;
        grid->addWidget(buttons_[row], row % kRowsPerColumn, column);
        grid->addWidget(labels_[row], row % kRowsPerColumn, column + 1);
        connect(buttons_[row], &QPushButton::clicked, this, [this, row] { OnRecord(row); });
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    layout->addStretch();
    OnInitDialog();
}

void CControlPage::OnInitDialog() { LoadData(); }

void CControlPage::LoadData() {
    keys_ = emulator_->GetKeyList();
    for (int row = 0; row < kRowCount; ++row) ShowKey(row);
}

void CControlPage::SaveData() { emulator_->SetKeyList(keys_); }

void CControlPage::ShowControls(bool show) {
    for (int row : {kL, kR}) {
        buttons_[row]->setVisible(show);
        labels_[row]->setVisible(show);
    }
}

void CControlPage::OnRecord(int row) {
    CButtonDlg dialog(this);
    if (dialog.DoModal() != QDialog::Accepted || dialog.GetKey() == 0) return;
    keys_.keys[row] = static_cast<uint16_t>(dialog.GetKey());
    ShowKey(row);
}

void CControlPage::ShowKey(int row) {
    labels_[row]->setText(QString::fromStdWString(KeyLabel(keys_.keys[row]).Text()));
}

}  // namespace Emu
