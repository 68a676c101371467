// themes_page.h - the Themes page of the global settings sheet: background
// colour (shown, not yet chosen here) and background image (browse, clear,
// preview).
#pragma once

#include "app/settings_pages.h"

namespace App {

class CThemesPage : public CSettingsPage {
    Q_OBJECT

public:
    CThemesPage(Emu::Engine& engine, QWidget* parent);
    void LoadData() override;
    void SaveData() override;

    const QString& GetFileName() const { return fileName_; }
    void OnColour();
    void OnBrowse();
    void OnClear();

private:
    void ShowPreview();

    int colour_ = 0;  // 0x00BBGGRR
    QString fileName_;
    QLabel* swatch_;
    QLabel* preview_;
};

}  // namespace App
