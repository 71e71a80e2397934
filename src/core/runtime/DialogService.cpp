#include "runtime/DialogService.h"

#include <QStringList>

namespace zem {

QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (!desc.contains(QLatin1Char('('))) desc += QStringLiteral(" (%1)").arg(pattern);
        out << desc;
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace zem
