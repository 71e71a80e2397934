#pragma once
// What lies at a path, in the system's words: only a regular file is read
// or replaced; a folder, a device, a pipe or a socket is refused without
// being waited on.

#include "files/Result.h"

#include <QFile>
#include <QString>

namespace zem {

// The system's own words for an error number ("No space left on device").
QString SystemText(int err);

// Why a path cannot be replaced by a new file ("is a pipe, not a regular
// file"); empty when nothing lies there or a regular file does.
QString TargetFault(const QString& path);

// Opens `path` for reading into `f` when it is a regular file. A pipe is
// never waited on: "/dev/stdin" or a FIFO is refused at once. A file that
// cannot be opened is an Unopened failure with the system's words.
Status OpenRegularFile(QFile& f, const QString& path);

} // namespace zem
