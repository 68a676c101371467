// modal.cpp - the real dialogs behind the modal seams.
#include "app/modal.h"

#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace App {

namespace {

bool AskYesNo(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QStringLiteral("Tamboril"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

OpenFileResult OpenExistingFile(QWidget* parent, const OpenFileRequest& request) {
    QFileDialog dialog(parent, QString(), request.folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(request.filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        dialog.selectNameFilter(request.filters[request.selectedFilter]);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    OpenFileResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
    result.accepted = true;
    result.path = dialog.selectedFiles().first();
    result.selectedFilter = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()));
    if (result.selectedFilter < 0) result.selectedFilter = request.selectedFilter;
    return result;
}

ModalSeams Defaults() {
    return ModalSeams{
        AskYesNo,
        OpenExistingFile,
        [](QDialog& dialog) { return dialog.exec(); },
        [](QMenu& menu, const QPoint& at) { return menu.exec(at); },
    };
}

}  // namespace

ModalSeams& Modal() {
    static ModalSeams seams = Defaults();
    return seams;
}

void RestoreModalDefaults() { Modal() = Defaults(); }

}  // namespace App
