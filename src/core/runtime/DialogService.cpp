#include "runtime/DialogService.h"

#include <QStringList>
#include <utility>

namespace zem {

bool ExecuteFor(DialogService& dialogs, OpenDialog& d, QString& name) {
    const QString own = std::exchange(d.FileName, name);
    const bool chosen = dialogs.Execute(d);
    if (chosen) name = d.FileName;
    d.FileName = own;
    return chosen;
}

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
