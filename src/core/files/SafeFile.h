#pragma once
// Writing files so that a failure destroys nothing: every file goes to a
// temporary name beside its target first, and only a set written whole is
// renamed into place, by a journal that a crash part-way cannot defeat. A
// target that exists and is not a regular file (a folder, a device, a pipe,
// a socket) is never opened, one the user may not write is refused, and a
// symbolic link is written through to the file it names (created when it
// does not exist yet). Every failure carries the system's words.

#include "files/RegularFile.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <vector>

namespace zem {

// Writes a file's bytes into the open device; returns the fault, empty when
// all went well.
using FileWriter = std::function<QString(QIODevice&)>;

// A set of files that reach their targets together or not at all.
class FileSet {
  public:
    FileSet() = default;
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;
    // Removes the temporary files of a set that was not committed.
    ~FileSet();

    // Writes the bytes to a temporary file beside `path`. Messages name the
    // path as given; a target refused, or a temporary file that could not be
    // created, is Unopened.
    Status Stage(const QString& path, const QByteArray& bytes);
    Status Stage(const QString& path, const FileWriter& write);
    // Checks every target again and renames the staged files into place. On
    // any failure the targets are put back as they were and no temporary
    // file is left. At every instant each name holds its old or its new
    // file; a commit killed part-way is put right by the next writer into
    // the folder (see SetJournal.h).
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
        QString backup;         // a hidden link to the old file while the set is renamed
        bool journaled = false; // its folder's journal takes care of its files
    };
    std::vector<Entry> entries_;
    int createError_ = 0; // why the last temporary file could not be made
    friend Status WriteFileSafely(const QString& path, const FileWriter& write);
};

// Writes one file through a temporary name. Only where the folder refuses a
// new file for permission, and the target is a regular file the user may
// write, is the target written in place (as QSaveFile does), never losing
// it: the room for the new bytes is reserved first, and where the file
// system cannot reserve, the old bytes are copied to the user's cache
// folder and put back on a failure.
Status WriteFileSafely(const QString& path, const QByteArray& bytes);
Status WriteFileSafely(const QString& path, const FileWriter& write);

} // namespace zem
