#include "windows/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zem {

bool QtDialogs::Execute(OpenDialog& d) {
    QFileDialog dlg(QApplication::activeWindow(), d.Title);
    dlg.setAcceptMode(d.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(d.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setNameFilter(QtFilter(d.Filter));
    dlg.setDefaultSuffix(d.DefaultExt);
    if (!d.FileName.isEmpty()) dlg.selectFile(d.FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    d.FileName = dlg.selectedFiles().first();
    return true;
}

void QtDialogs::MessageBox(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::Confirm(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("ZEM Map"), text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

SaveAnswer QtDialogs::AskSave(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("ZEM Map"), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

} // namespace zem
