#pragma once
// The data files have fixed names written with backslashes and spelt in
// mixed case ("tilbmp\til0007.bmp", "TilBmp\str001.bmp"). They resolve to
// the file below the working directory whatever the case on disk.

#include <QDir>
#include <QString>
#include <QStringList>

namespace zem {

QString DataPath(const QString& name, const QDir& base = QDir::current());

// The paths of files named in one folder, each spelt as on disk: the folder
// is listed once at most, however many names are not spelt as there.
QStringList DataPaths(const QStringList& names, const QDir& dir);

} // namespace zem
