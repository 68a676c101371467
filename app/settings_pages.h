// settings_pages.h - the pages of the global settings sheet. Each page reads
// the engine's global settings into its controls (LoadData) and writes them
// back (SaveData); every control carries its identifier (kControlIdProperty).
#pragma once

#include <QWidget>

#include "platform/cstring.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QSlider;
class QPushButton;

namespace Emu {
class Engine;
}

namespace App {

class CSettingsPage : public QWidget {
    Q_OBJECT

public:
    CSettingsPage(Emu::Engine& engine, QWidget* parent);
    virtual void LoadData() = 0;
    virtual void SaveData() = 0;

protected:
    // A check box with `text` and identifier `id`, added to the page's layout.
    QCheckBox* AddCheck(int id, const QString& text);
    // A labelled slider with range, tick interval and identifier.
    QSlider* AddSlider(int id, const QString& label, int minimum, int maximum, int tick);
    QLabel* AddLabel(int id, const QString& text);

    Emu::Engine& engine_;
};

class CVideoPage : public CSettingsPage {
    Q_OBJECT

public:
    CVideoPage(Emu::Engine& engine, QWidget* parent);
    void LoadData() override;
    void SaveData() override;

private:
    QCheckBox* fitToWindow_;
    QCheckBox* doubleWidth_;
};

class CSoundPage : public CSettingsPage {
    Q_OBJECT

public:
    CSoundPage(Emu::Engine& engine, QWidget* parent);
    void LoadData() override;
    void SaveData() override;

private:
    QCheckBox* sound_;
    QSlider* volume_;
    QSlider* buffers_;
};

class CControlsPage : public CSettingsPage {
    Q_OBJECT

public:
    CControlsPage(Emu::Engine& engine, QWidget* parent);
    void LoadData() override;
    // Also passes DoubleInputCapture to the input object.
    void SaveData() override;

private:
    QCheckBox* virtualPad_;
    QCheckBox* doubleCapture_;
};

class CTweakPage : public CSettingsPage {
    Q_OBJECT

public:
    CTweakPage(Emu::Engine& engine, QWidget* parent);
    void LoadData() override;
    void SaveData() override;

private:
    QCheckBox* autoPause_;
    QCheckBox* noFullScreen_;
    QCheckBox* debug_;
};

// Shows the engine's console text, read-only, scrolled to the end.
class CConsolePage : public CSettingsPage {
    Q_OBJECT

public:
    CConsolePage(Emu::Engine& engine, QWidget* parent);
    void LoadData() override;
    void SaveData() override {}

protected:
    // The end of the text may only be known once the page is laid out.
    void showEvent(QShowEvent* event) override;

private:
    void ScrollToEnd();

    QPlainTextEdit* text_;
};

}  // namespace App
