#include "windows/ZemApplication.h"
#include "runtime/DialogService.h"
#include "runtime/Errors.h"

#include <cstdio>

namespace zem {

void ShowException(DialogService* dialogs, const std::exception& e) {
    const QString text = ExceptionText(e);
    if (dialogs)
        dialogs->MessageBox(text, QStringLiteral("ZEM Map"));
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

bool ZemApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(dialogs, e);
    }
    return false;
}

} // namespace zem
