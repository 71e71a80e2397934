#include "windows/RecentMaps.h"

#include <QFileInfo>
#include <QSettings>

namespace zem {

static const int MaxRecent = 8;
static const QString RecentKey = QStringLiteral("recentMaps");

RecentMaps::RecentMaps(QMenu* menu, std::function<void(const QString&)> open)
    : QObject(menu), menu_(menu), open_(std::move(open)) {
    connect(menu_, &QMenu::aboutToShow, this, [this] { Fill(); });
}

void RecentMaps::Add(const QString& path) {
    QSettings settings;
    QStringList list = settings.value(RecentKey).toStringList();
    const QString full = QFileInfo(path).absoluteFilePath();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > MaxRecent)
        list.removeLast();
    settings.setValue(RecentKey, list);
}

void RecentMaps::Fill() {
    menu_->clear();
    const QStringList list = QSettings().value(RecentKey).toStringList();
    for (const QString& path : list) {
        QAction* a = menu_->addAction(QFileInfo(path).fileName() + QStringLiteral("  (") +
                                      QFileInfo(path).path() + QStringLiteral(")"));
        a->setEnabled(QFileInfo(path).isFile());
        connect(a, &QAction::triggered, this, [this, path] { open_(path); });
    }
    if (list.isEmpty()) menu_->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

} // namespace zem
