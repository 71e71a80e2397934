// ZEM Map: the map editor for the ZEM hexagon wargame system.

#include "app/TMapForm.h"
#include "app/Windows.h"
#include "app/ZemState.h"
#include "ui/Dialogs.h"
#include "ui/ZemApplication.h"

int main(int argc, char** argv) {
    zem::ZemApplication app(argc, argv);
    zem::QtDialogs dialogs;
    app.dialogs = &dialogs;
    try {
        zem::ZemState st;
        zem::Windows windows(st, dialogs);
        windows.MapForm->show();
        windows.MapForm->activateWindow();
        return app.exec();
    } catch (const std::exception& e) {
        zem::ShowException(&dialogs, e);
    }
    return 0;
}
