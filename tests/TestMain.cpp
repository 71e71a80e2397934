#include "windows/ZemApplication.h"

#include <gtest/gtest.h>

// The tests run inside the program's own application class, so an exception
// escaping a handler is caught and shown as in the editor.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    zem::ZemApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
