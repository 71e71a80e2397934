#include "windows/PG2ExportAs.h"
#include "windows/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <limits>

namespace zem {

namespace {

QStringList Present(const ExportTarget& t) {
    QStringList there;
    const QDir dir(t.folder);
    for (const QString& name : PG2FileNames(t.number))
        if (QFileInfo::exists(dir.filePath(name))) there << name;
    return there;
}

} // namespace

QString PG2ExportedText(int number, const QString& folder) {
    return QStringLiteral("Exported %1 and 12 pictures to %2")
        .arg(PG2MapName(number), QDir::toNativeSeparators(folder));
}

QString ExportPG2As(DialogService& dialogs, const HexMap& map, const TileCatalogue& cat,
                    const TileImages& images, ExportTarget& target) {
    if (map.MapWidth != PG2Width || map.MapHeight != PG2Height) {
        dialogs.MessageBox(QStringLiteral("Map must be 44x39"), QStringLiteral("Error"));
        return {};
    }
    // Files not to be replaced send the user back to choose another place.
    ExportTarget chosen = target;
    for (bool replace = false; !replace;) {
        if (!dialogs.ChooseExportTarget(chosen)) return {};
        target = chosen;
        const QStringList there = Present(chosen);
        replace =
            there.isEmpty() ||
            dialogs.Confirm(QStringLiteral("%1 of the files are already in %2:\n%3\nReplace them?")
                                .arg(there.size())
                                .arg(QDir::toNativeSeparators(chosen.folder), there.join('\n')));
    }
    if (Status st = ExportPG2(map, cat, images, chosen.number, QDir(chosen.folder)); !st) {
        dialogs.MessageBox(QStringLiteral("Couldn't write ") + st.Message(),
                           QStringLiteral("Error"));
        return {};
    }
    return PG2ExportedText(chosen.number, chosen.folder);
}

bool AskPG2ExportTarget(ExportTarget& target) {
    QDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(QStringLiteral("Export Panzer General 2 As"));
    auto* folder = new QLineEdit(QDir::toNativeSeparators(target.folder));
    auto* browse = new QPushButton(QStringLiteral("Browse..."));
    auto* number = new QSpinBox;
    number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    number->setValue(target.number);
    auto* files = new QListWidget;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* row = new QHBoxLayout;
    row->addWidget(folder);
    row->addWidget(browse);
    auto* form = new QFormLayout(&dlg);
    form->addRow(QStringLiteral("Folder"), row);
    form->addRow(QStringLiteral("Map #"), number);
    form->addRow(QStringLiteral("Files"), files);
    form->addRow(buttons);
    auto list = [&] {
        const ExportTarget t{QDir::fromNativeSeparators(folder->text()), number->value()};
        const QStringList there = Present(t);
        const bool isFolder = QFileInfo(t.folder).isDir();
        buttons->button(QDialogButtonBox::Ok)->setEnabled(isFolder);
        files->clear();
        if (!isFolder) files->addItem(QStringLiteral("(no folder there: nothing can be written)"));
        for (const QString& name : PG2FileNames(t.number))
            files->addItem(there.contains(name) ? name + QStringLiteral("  (replaced)") : name);
    };
    QObject::connect(folder, &QLineEdit::textChanged, &dlg, list);
    QObject::connect(number, &QSpinBox::valueChanged, &dlg, list);
    QObject::connect(browse, &QPushButton::clicked, &dlg, [&] {
        const QString dir =
            QFileDialog::getExistingDirectory(&dlg, QStringLiteral("Folder"), folder->text());
        if (!dir.isEmpty()) folder->setText(QDir::toNativeSeparators(dir));
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    list();
    if (dlg.exec() != QDialog::Accepted) return false;
    target = {QDir::fromNativeSeparators(folder->text()), number->value()};
    return true;
}

bool QtDialogs::ChooseExportTarget(ExportTarget& target) {
    return AskPG2ExportTarget(target);
}

} // namespace zem
