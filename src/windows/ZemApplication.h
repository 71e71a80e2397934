#pragma once
// The application: an exception escaping any event handler is shown in a
// message box and the event loop goes on.

#include <QApplication>

namespace zem {

class DialogService;

class ZemApplication : public QApplication {
  public:
    ZemApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
    DialogService* dialogs = nullptr;
};

// Shows an exception the way the event loop does.
void ShowException(DialogService* dialogs, const std::exception& e);

} // namespace zem
