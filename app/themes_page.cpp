// themes_page.cpp - the background colour and image of the view.
#include "app/themes_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/command_ids.h"
#include "app/file_filter.h"
#include "app/modal.h"
#include "app/qt_text.h"
#include "engine/engine.h"

namespace App {

namespace {

constexpr QSize kPreviewSize(120, 80);

QPushButton* Button(QWidget* parent, int id, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setProperty(kControlIdProperty, id);
    return button;
}

}  // namespace

CThemesPage::CThemesPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Background Color:"), this), 0, 0);
    QPushButton* colour = Button(this, 1005, QStringLiteral("Choose..."));
    grid->addWidget(colour, 0, 1);
    swatch_ = new QLabel(this);
    swatch_->setProperty(kControlIdProperty, 1008);
    swatch_->setFixedSize(24, 24);
    swatch_->setAutoFillBackground(true);
    swatch_->setFrameShape(QFrame::Box);
    grid->addWidget(swatch_, 0, 2);

    grid->addWidget(new QLabel(QStringLiteral("Background Image:"), this), 1, 0);
    QPushButton* browse = Button(this, 1011, QStringLiteral("Browse..."));
    QPushButton* clear = Button(this, 1012, QStringLiteral("Clear"));
    grid->addWidget(browse, 1, 1);
    grid->addWidget(clear, 1, 2);
    preview_ = new QLabel(this);
    preview_->setProperty(kControlIdProperty, 1013);
    preview_->setFixedSize(kPreviewSize);
    preview_->setFrameShape(QFrame::Box);
    preview_->setAlignment(Qt::AlignCenter);
    grid->addWidget(preview_, 2, 0, 1, 3);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);

    connect(colour, &QPushButton::clicked, this, &CThemesPage::OnColour);
    connect(browse, &QPushButton::clicked, this, &CThemesPage::OnBrowse);
    connect(clear, &QPushButton::clicked, this, &CThemesPage::OnClear);
}

void CThemesPage::LoadData() {
    PropertyMap& settings = engine_.GetSettings();
    colour_ = settings.getInt(L"BGColor");
    fileName_ = ToQt(settings.getString(L"BGFileName"));
    ShowPreview();
}

void CThemesPage::SaveData() {
    PropertyMap& settings = engine_.GetSettings();
    settings.set(L"BGColor", colour_);
    settings.set(L"BGFileName", FromQt(fileName_));
}

void CThemesPage::OnColour() { engine_.Message(L"This feature is not yet implemented."); }

void CThemesPage::OnBrowse() {
    OpenFileRequest request;
    request.filters = QtFileFilters(QStringLiteral("Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||"));
    request.defaultSuffix = QStringLiteral("bmp");
    const OpenFileResult result = Modal().openFile(this, request);
    if (!result.accepted) return;
    fileName_ = result.path;
    ShowPreview();
}

void CThemesPage::OnClear() {
    if (fileName_.isEmpty()) return;
    if (!Modal().ask(this, QStringLiteral("This will disable the background image, continue?"))) return;
    fileName_.clear();
    ShowPreview();
}

void CThemesPage::ShowPreview() {
    QPalette palette = swatch_->palette();
    palette.setColor(QPalette::Window, FromColorRef(colour_));
    swatch_->setPalette(palette);
    // No file set is an empty preview; asking Qt to open an empty name only makes it complain.
    const QImage image = fileName_.isEmpty() ? QImage() : QImage(fileName_);
    preview_->setPixmap(image.isNull() ? QPixmap()
                                       : QPixmap::fromImage(image.scaled(kPreviewSize, Qt::KeepAspectRatio)));
}

}  // namespace App
