// zemtool: the editor's work from the command line, without a display.

#include "zemtool/Commands.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zemtool (ZEM Map) %s\n", ZEM_VERSION);
        return 0;
    }
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout), err(stderr);
    return zem::tool::Run(args, out, err);
}
