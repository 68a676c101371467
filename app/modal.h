// modal.h - the one seam every modal question, file dialog, dialog and pop-up
// menu of the program goes through. The defaults show the real thing; tests
// replace the function objects with answers so that no test ever blocks.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QDialog;
class QMenu;
class QWidget;

namespace App {

struct OpenFileRequest {
    QString folder;
    QStringList filters;     // Qt's form, "Name (*.a *.b)"
    int selectedFilter = 0;  // index into filters
    QString defaultSuffix;   // without the dot; empty for none
};

struct OpenFileResult {
    bool accepted = false;
    QString path;
    int selectedFilter = 0;  // index into the request's filters
};

struct ModalSeams {
    // A Yes/No question; true for Yes.
    std::function<bool(QWidget* parent, const QString& question)> ask;
    // An open-file dialog for an existing file.
    std::function<OpenFileResult(QWidget* parent, const OpenFileRequest& request)> openFile;
    // Runs a modal dialog; its result (QDialog::Accepted or Rejected).
    std::function<int(QDialog& dialog)> runDialog;
    // Shows a pop-up menu at a global position; the chosen action or null.
    std::function<QAction*(QMenu& menu, const QPoint& at)> popUp;
};

// The program's seams, set to the real dialogs until a test replaces them.
ModalSeams& Modal();
// Puts the real dialogs back.
void RestoreModalDefaults();

}  // namespace App
