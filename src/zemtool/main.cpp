// zemtool: the editor's work from the command line, without a display.

#include "zemtool/Commands.h"

#include <cstdio>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout), err(stderr);
    return zem::tool::Run(args, out, err);
}
