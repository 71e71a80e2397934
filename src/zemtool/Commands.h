#pragma once
// zemtool's commands: the editor's work from the command line, on the same
// core code as the editor's menu commands.

#include <QStringList>
#include <QTextStream>

namespace zem::tool {

// Exit codes.
constexpr int Ok = 0;
constexpr int Usage = 1;
constexpr int Failed = 2;

// Runs zemtool with its arguments (without the program name); output and
// errors go to the two streams.
int Run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zem::tool
