// about_box.cpp - the about box.
#include "app/about_box.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "engine/emulator.h"
#include "engine/engine.h"

namespace App {

CAboutBox::CAboutBox(Emu::Engine& engine, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Tamboril"));
    QStringList plugins;
    for (int i = 0; i < engine.GetEmulatorCount(); ++i)
        plugins << QStringLiteral("    ") + ToQt(engine.GetEmulator(i)->GetName());
    if (plugins.isEmpty()) plugins << QStringLiteral("    (none found)");
    text_ = QStringLiteral("Tamboril %1\nA Game Boy Advance emulator for the Linux desktop.\n\n%2\n\nEmulators:\n%3")
                .arg(QStringLiteral(TAMBORIL_VERSION), QStringLiteral(TAMBORIL_LICENCE), plugins.join(u'\n'));

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/tamboril")).pixmap(64, 64));
    auto* label = new QLabel(text_, this);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

}  // namespace App
