// settings_page.h - Emu::SettingsPage, what the ready-made settings pages
// share: the emulator whose settings they edit, LoadData/SaveData, and the
// numeric identifiers their controls carry as object names.
//
// A page only presents and collects: LoadData copies the emulator's settings
// into the controls, SaveData copies the controls back. No setting is written
// until SaveData, so a dialog that ends with Cancel simply never calls it. (The
// skin page makes the skin it shows the active one at once; Emulator::LoadPad
// makes the saved one active again.)
#pragma once

#include <QString>
#include <QWidget>

#include "engine/marrowby_api.h"
#include "platform/cstring.h"

class QCheckBox;
class QSlider;
class PropertyMap;

namespace Emu {

class Emulator;

// The object name a control with `id` carries: the identifier in decimal.
inline QString ControlName(int id) { return QString::number(id); }

class MARROWBY_API SettingsPage : public QWidget {
    Q_OBJECT
public:
    // `templateId` becomes the page's object name.
    SettingsPage(Emulator* emulator, QWidget* parent, int templateId);

    // Settings -> controls.
    virtual void LoadData() = 0;
    // Controls -> settings.
    virtual void SaveData() = 0;

protected:
    PropertyMap& Settings() const;
    // Controls named by identifier, made children of this page.
    QCheckBox* NewCheck(int id, const QString& text);
    QSlider* NewSlider(int id, int minimum, int maximum);
    void LoadCheck(int id, const CString& key);
    void SaveCheck(int id, const CString& key);
    void LoadSlider(int id, const CString& key);
    void SaveSlider(int id, const CString& key);

    Emulator* emulator_;
};

}  // namespace Emu
