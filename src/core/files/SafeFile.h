#pragma once
// Writing files so that a failure destroys nothing: every file goes to a
// temporary name beside its target first, and only a set written whole is
// renamed into place. A target that exists and is not a regular file (a
// folder, a device, a pipe, a socket) is never opened.

#include "files/Result.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace zem {

// Why a path cannot be replaced by a new file ("is a pipe, not a regular
// file"); empty when nothing lies there or a regular file does.
QString TargetFault(const QString& path);

// A set of files that reach their targets together or not at all.
class FileSet {
  public:
    FileSet() = default;
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;
    // Removes the temporary files of a set that was not committed.
    ~FileSet();

    // Writes the bytes to a temporary file beside `path`. Messages name the
    // path as given; one that could not be created at all is Unopened.
    Status Stage(const QString& path, const QByteArray& bytes);
    // Checks every target again and renames the staged files into place. On
    // any failure the targets are put back as they were and no temporary
    // file is left.
    Status Commit();
    // Drops the staged files.
    void Discard();

    // The temporary file of the i-th staged target.
    QString StagedPath(int i) const { return entries_[size_t(i)].temp; }

  private:
    struct Entry {
        QString path; // as the caller gave it, for messages
        QString real; // where the bytes go: a symbolic link's target
        QString temp;
        QString backup; // the old file while the set is being renamed
        bool placed = false;
    };
    void RollBack();
    std::vector<Entry> entries_;
};

// Writes one file through a temporary name. When the folder takes no new
// file but the target is a regular file that can be written, it is written
// in place.
Status WriteFileSafely(const QString& path, const QByteArray& bytes);

} // namespace zem
