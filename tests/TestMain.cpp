#include "windows/ZemApplication.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The tests run inside the program's own application class, so an exception
// escaping a handler is caught and shown as in the editor.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    zem::ZemApplication app(argc, argv);
    // The recent maps and other settings go to a folder of the run's own.
    QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("zem-map-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("ZEM Map"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
