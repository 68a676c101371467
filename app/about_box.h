// about_box.h - CAboutBox: the program's name, version and licence, and the
// emulator plug-ins the engine found.
#pragma once

#include <QDialog>

namespace Emu {
class Engine;
}

namespace App {

class CAboutBox : public QDialog {
    Q_OBJECT

public:
    CAboutBox(Emu::Engine& engine, QWidget* parent);
    // The text the box shows.
    QString GetText() const { return text_; }

private:
    QString text_;
};

}  // namespace App
