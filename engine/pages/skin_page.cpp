// skin_page.cpp - the skin page: stepping through the skin list and the
// preview of the active skin's visible half.
#include "skin_page.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/emulator.h"
#include "engine/pad_skin.h"
#include "lumaret/surface.h"

namespace Emu {

namespace {

// Draws the upper half of the active skin's image, scaled to fit and centred.
class SkinPreview : public QWidget {
public:
    explicit SkinPreview(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("preview"));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setMinimumSize(120, 80);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        Lumaret::Surface* image = PadSkin::GetImage();
        if (!image || image->GetWidth() <= 0 || image->GetHeight() < 2) return;
        const uint16_t* pixels = image->Lock();
        const QImage visible(reinterpret_cast<const uchar*>(pixels), image->GetWidth(), image->GetHeight() / 2,
                             image->GetPitch(), QImage::Format_RGB16);
        QSize size = visible.size().scaled(this->size(), Qt::KeepAspectRatio);
        QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, visible);
        image->Unlock();
    }
};

}  // namespace

CSkinPage::CSkinPage(Emulator* emulator, QWidget* parent) : SettingsPage(emulator, parent, kTemplate) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* previous = new QPushButton(QStringLiteral("<"), this);
    previous->setObjectName(ControlName(kPrevious));
    previous->setAutoDefault(false);
    name_ = new QLabel(this);
    name_->setObjectName(ControlName(kSkinName));
    name_->setAlignment(Qt::AlignCenter);
    auto* next = new QPushButton(QStringLiteral(">"), this);
    next->setObjectName(ControlName(kNext));
    next->setAutoDefault(false);
    row->addWidget(previous);
    row->addWidget(name_, 1);
    row->addWidget(next);
    layout->addLayout(row);
    preview_ = new SkinPreview(this);
    layout->addWidget(preview_, 1);
    connect(previous, &QPushButton::clicked, this, &CSkinPage::OnPrev);
    connect(next, &QPushButton::clicked, this, &CSkinPage::OnNext);
    OnInitDialog();
}

void CSkinPage::OnInitDialog() { LoadData(); }

void CSkinPage::LoadData() {
    emulator_->LoadPad();
    Repaint();
}

void CSkinPage::SaveData() {
    if (PadSkin* active = PadSkin::GetActiveSkin()) Settings().set(L"PadSkin", active->GetID());
}

void CSkinPage::OnPrev() { Step(-1); }
void CSkinPage::OnNext() { Step(1); }

void CSkinPage::Step(int direction) {
    const int count = PadSkin::GetSkinCount();
    PadSkin* active = PadSkin::GetActiveSkin();
    for (int i = 0; active && i < count; ++i) {
        if (PadSkin::GetSkinAt(i)->GetID() == active->GetID()) {
            PadSkin::SetActiveSkin(PadSkin::GetSkinAt((i + direction + count) % count));
            break;
        }
    }
    Repaint();
}

void CSkinPage::Repaint() {
    PadSkin* active = PadSkin::GetActiveSkin();
    name_->setText(active ? QString::fromStdWString(active->GetName().Text()) : QString());
    preview_->update();
}

}  // namespace Emu
