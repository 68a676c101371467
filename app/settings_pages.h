// settings_pages.h - the pages of the global settings sheet. Each page reads
// the engine's global settings into its controls (LoadData) and writes them
// back (SaveData); every control carries its identifier (kControlIdProperty).
#pragma once

#include <QWidget>
#include <utility>
#include <vector>

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

// A page whose check boxes and sliders are bound to settings: LoadData and
// SaveData move every bound value between the settings and its control.
class CSettingsPage : public QWidget {
    Q_OBJECT

public:
    CSettingsPage(Emu::Engine& engine, QWidget* parent);
    virtual void LoadData();
    virtual void SaveData();

protected:
    // A check box with `text` and identifier `id` for the boolean `setting`.
    QCheckBox* AddCheck(int id, const QString& text, const wchar_t* setting);
    // A labelled slider with range and tick interval for the integer `setting`.
    QSlider* AddSlider(int id, const QString& label, int minimum, int maximum, int tick, const wchar_t* setting);
    QLabel* AddLabel(int id, const QString& text);

    Emu::Engine& engine_;

private:
    std::vector<std::pair<QCheckBox*, const wchar_t*>> checks_;
    std::vector<std::pair<QSlider*, const wchar_t*>> sliders_;
};

class CVideoPage : public CSettingsPage {
    Q_OBJECT

public:
    // "Sharp Scaling" (SharpScale), the desktop's own control on this page.
    static constexpr int kSharpScaleId = 1070;

    CVideoPage(Emu::Engine& engine, QWidget* parent);
};

class CSoundPage : public CSettingsPage {
    Q_OBJECT

public:
    CSoundPage(Emu::Engine& engine, QWidget* parent);
};

class CControlsPage : public CSettingsPage {
    Q_OBJECT

public:
    CControlsPage(Emu::Engine& engine, QWidget* parent);
    // Also passes DoubleInputCapture to the input object.
    void SaveData() override;
};

class CTweakPage : public CSettingsPage {
    Q_OBJECT

public:
    CTweakPage(Emu::Engine& engine, QWidget* parent);
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
