#include "runtime/StrToInt.h"
#include "runtime/Errors.h"

namespace zem {

int StrToInt(const QString& text) {
    bool ok = false;
    const QString t = text.trimmed();
    int value = t.toInt(&ok, 10);
    if (!ok || t.isEmpty())
        throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

QString IntToStr(int value) {
    return QString::number(value);
}

} // namespace zem
