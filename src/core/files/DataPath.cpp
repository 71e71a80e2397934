#include "files/DataPath.h"

#include <QFile>
#include <algorithm>
#include <dirent.h>
#include <vector>

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

QStringList DataPaths(const QStringList& names, const QDir& dir) {
    QStringList paths;
    std::vector<bool> found;
    for (const QString& name : names) {
        paths << dir.filePath(name);
        found.push_back(QFileInfo::exists(paths.back()));
    }
    qsizetype left = std::count(found.begin(), found.end(), false);
    if (left == 0) return paths;
    // Read straight from the folder: a listing of Qt's would keep every one
    // of a large folder's names at once.
    DIR* d = ::opendir(QFile::encodeName(dir.path()).constData());
    if (!d) return paths;
    while (left > 0)
        if (const dirent* entry = ::readdir(d)) {
            const QString e = QFile::decodeName(entry->d_name);
            for (qsizetype i = 0; i < names.size(); ++i)
                if (!found[size_t(i)] && e.compare(names[i], Qt::CaseInsensitive) == 0) {
                    paths[i] = dir.filePath(e);
                    found[size_t(i)] = true;
                    --left;
                }
        } else {
            break;
        }
    ::closedir(d);
    return paths;
}

} // namespace zem
