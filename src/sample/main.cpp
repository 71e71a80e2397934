// Writes the sample workspace: zem-sample DIR. Files already there are kept.

#include "sample/SampleData.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>

static void Usage(std::FILE* to) {
    std::fprintf(to, "usage: zem-sample DIR\n"
                     "  Writes the sample workspace of the ZEM Map editor into DIR, adding only\n"
                     "  the files missing there. A folder whose name begins with '-' is\n"
                     "  written as ./-NAME.\n");
}

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        Usage(stdout);
        return 0;
    }
    // An option it does not know is no folder to write into.
    if (argc != 2 || argv[1][0] == '-') {
        if (argc == 2) std::fprintf(stderr, "zem-sample: unknown option %s\n", argv[1]);
        Usage(stderr);
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
