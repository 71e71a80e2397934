// Writes the sample workspace: zem-sample DIR. Files already there are kept.

#include "sample/SampleData.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zem-sample DIR\n");
        return 1;
    }
    const QString err = zem::sample::WriteWorkspace(QDir(QString::fromLocal8Bit(argv[1])));
    if (!err.isEmpty()) {
        std::fprintf(stderr, "zem-sample: %s\n", qPrintable(err));
        return 2;
    }
    std::printf("Sample workspace written to %s\n", argv[1]);
    return 0;
}
