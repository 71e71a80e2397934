// ZEM Map: the map editor for the ZEM hexagon wargame system.

#include "edit/ZemState.h"
#include "windows/Dialogs.h"
#include "windows/TMapForm.h"
#include "windows/Windows.h"
#include "windows/ZemApplication.h"

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
