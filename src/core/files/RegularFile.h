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

// Why `path` cannot be read as a file: the system's words ("Too many levels
// of symbolic links") or what lies there instead ("is a folder, not a
// file"); empty for a regular file. `missing` tells whether nothing is there.
QString ReadFault(const QString& path, bool* missing = nullptr);

// Opens `path` for reading into `f` when it is a regular file. A pipe is
// never waited on: "/dev/stdin" or a FIFO is refused at once. A file that
// cannot be opened is an Unopened failure with the system's words.
Status OpenRegularFile(QFile& f, const QString& path);
// The same, giving only the fault (empty when `f` is open).
QString OpenRegular(QFile& f, const QString& path);

// Where the bytes for `path` go: through symbolic links to the file they
// name, also one that does not exist yet. 0, or the error number.
int ResolveLinks(const QString& path, QString& real);

// Whether two paths name one file: the same device and inode when both
// exist, else the same place once every link on the way is resolved.
bool SameFile(const QString& a, const QString& b);

} // namespace zem
