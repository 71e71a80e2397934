#pragma once
// The data files have fixed names written with backslashes and spelt in
// mixed case ("tilbmp\til0007.bmp", "TilBmp\str001.bmp"). They resolve to
// the file below the working directory whatever the case on disk.

#include <QDir>
#include <QString>

namespace zem {

QString DataPath(const QString& name, const QDir& base = QDir::current());

} // namespace zem
