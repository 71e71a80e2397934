// ZEM Map: the map editor for the ZEM hexagon wargame system.

#include "edit/ZemState.h"
#include "windows/Dialogs.h"
#include "windows/TMapForm.h"
#include "windows/Windows.h"
#include "windows/ZemApplication.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const Help =
    "usage: ZEMmap [FILE.zep]\n"
    "\n"
    "The ZEM Map editor. It works in the current folder, which holds the tile\n"
    "catalogue Mapset.txt and the tile pictures in tilbmp/; FILE.zep is the map\n"
    "opened at start. zem-map starts it in a workspace of its own.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

// --help and --version are answered before the application exists, so they
// need neither a display nor a workspace. Returns -1 for any other start.
int AnswerInfoOption(int argc, char** argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("ZEMmap (ZEM Map) %s\n", ZEM_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Help, stdout);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int code = AnswerInfoOption(argc, argv); code >= 0) return code;
    zem::ZemApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("zem-map"));
    QCoreApplication::setApplicationName(QStringLiteral("ZEM Map"));
    zem::QtDialogs dialogs;
    app.dialogs = &dialogs;
    try {
        zem::ZemState st;
        zem::Windows windows(st, dialogs);
        app.dialogs = &windows.dialogs; // an error shown is kept among the messages too
        // A map file as the only argument opens once the catalogue is read.
        QStringList args = QCoreApplication::arguments().mid(1);
        args.removeAll(QStringLiteral("--"));
        if (!args.isEmpty()) windows.MapForm->StartFile = args.last();
        windows.MapForm->show();
        windows.MapForm->activateWindow();
        return app.exec();
    } catch (const std::exception& e) {
        zem::ShowException(&dialogs, e);
    }
    return 0;
}
