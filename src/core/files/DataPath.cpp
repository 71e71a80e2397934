#include "files/DataPath.h"

namespace zem {

QString DataPath(const QString& name, const QDir& base) {
    QString normal = name;
    normal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = normal.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QDir dir = base;
    QString path = base.path();
    for (int i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (dir.exists()) {
            // Prefer the exact spelling; otherwise the first entry that
            // matches without regard to case.
            if (!QFileInfo::exists(dir.filePath(part))) {
                const QStringList entries =
                    dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
                for (const QString& e : entries)
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        part = e;
                        break;
                    }
            }
        }
        path = dir.filePath(part);
        dir = QDir(path);
    }
    return path;
}

} // namespace zem
