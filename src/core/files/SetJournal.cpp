#include "files/SetJournal.h"
#include "files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

const QString JournalName = QStringLiteral(".zem-set.journal");
const QByteArray Header = "ZEM Map file set\n";
const QByteArray End = "end\n";

QByteArray Native(const QString& folder, const QString& name) {
    return QFile::encodeName(folder + '/' + name);
}

bool Exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// Only hidden names the writer makes for `name` (".NAME.1a2b3c4d.tmp") are
// ever renamed or removed, whatever a journal says.
bool Hidden(const QString& hidden, const QString& name, QLatin1String suffix) {
    const QString head = '.' + name + '.';
    return hidden.size() == head.size() + 9 + suffix.size() && hidden.startsWith(head) &&
           hidden.endsWith('.' + suffix);
}

bool PlainName(const QString& name) {
    return !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
}

QByteArray Text(const std::vector<JournalEntry>& entries) {
    QByteArray text = Header;
    for (const JournalEntry& e : entries)
        text += QFile::encodeName(e.name).toPercentEncoding() + ' ' +
                QFile::encodeName(e.temp).toPercentEncoding() + ' ' +
                QFile::encodeName(e.backup).toPercentEncoding() + '\n';
    return text + End;
}

// The entries of a journal's text; false for one that is not ours. A
// journal cut short by a kill has no end line: then nothing had been
// renamed yet.
bool Parse(const QByteArray& text, std::vector<JournalEntry>& out, bool& complete) {
    if (!text.startsWith(Header)) return false;
    complete = text.endsWith(End);
    QList<QByteArray> lines = text.mid(Header.size()).split('\n');
    lines.removeLast(); // after the last line break: nothing, or a line cut short
    if (complete) lines.removeLast();
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 3) return false;
        JournalEntry e;
        e.name = QFile::decodeName(QByteArray::fromPercentEncoding(f[0]));
        e.temp = QFile::decodeName(QByteArray::fromPercentEncoding(f[1]));
        e.backup = QFile::decodeName(QByteArray::fromPercentEncoding(f[2]));
        if (!PlainName(e.name) || !Hidden(e.temp, e.name, QLatin1String("tmp")) ||
            (!e.backup.isEmpty() && !Hidden(e.backup, e.name, QLatin1String("old"))))
            return false;
        out.push_back(e);
    }
    return true;
}

// Puts the folder right: forward when the journal is whole and every new
// file arrived (unless told to undo), else back. The old files go back
// first; nothing is removed before every one of them is back, so that a
// failure part-way leaves what the next try needs. True when done.
bool Replay(int folderFd, const QString& folder, const std::vector<JournalEntry>& entries,
            bool complete, bool undo) {
    bool arrived = complete && !undo;
    for (const JournalEntry& e : entries)
        arrived = arrived && !Exists(Native(folder, e.temp));
    if (complete && !arrived)
        for (const JournalEntry& e : entries) {
            if (Exists(Native(folder, e.temp))) continue; // the name still holds the old file
            const QByteArray name = Native(folder, e.name);
            if (e.backup.isEmpty()) {
                if (::unlink(name.constData()) != 0 && errno != ENOENT) return false;
            } else if (const QByteArray backup = Native(folder, e.backup);
                       Exists(backup) && ::rename(backup.constData(), name.constData()) != 0) {
                return false;
            }
        }
    for (const JournalEntry& e : entries) {
        ::unlink(Native(folder, e.temp).constData());
        if (!e.backup.isEmpty()) ::unlink(Native(folder, e.backup).constData());
    }
    ::unlink(Native(folder, JournalName).constData());
    if (folderFd >= 0) ::fsync(folderFd);
    return true;
}

// Replays the journal a killed run left, if any; the folder's lock is held.
void RecoverLocked(int folderFd, const QString& folder) {
    const int fd =
        ::open(Native(folder, JournalName).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st;
    QByteArray text;
    // Only a journal of this user's own is followed.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size < (1 << 20) &&
        (st.st_uid == ::geteuid() || ::geteuid() == 0)) {
        text.resize(qsizetype(st.st_size));
        if (::read(fd, text.data(), size_t(text.size())) != ssize_t(text.size())) text.clear();
    }
    ::close(fd);
    std::vector<JournalEntry> entries;
    bool complete = false;
    if (Parse(text, entries, complete)) Replay(folderFd, folder, entries, complete, false);
}

// The folder's lock: its descriptor, or -1 with errno.
int Lock(const QString& folder, int tries) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    for (int i = 0; i < tries; ++i) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
        if (errno != EWOULDBLOCK) break;
        if (i + 1 < tries) ::usleep(50000);
    }
    const int err = errno;
    ::close(fd);
    errno = err;
    return -1;
}

} // namespace

FolderCommit::FolderCommit(const QString& folder) : folder_(folder) {}

FolderCommit::~FolderCommit() {
    if (lock_ >= 0) ::close(lock_);
}

QString FolderCommit::Begin(const std::vector<JournalEntry>& entries) {
    // Another commit into the folder takes a moment; a folder that cannot
    // be opened for its lock is written without one.
    lock_ = Lock(folder_, 40);
    if (lock_ < 0 && errno == EWOULDBLOCK)
        return QStringLiteral("another program is replacing files in this folder");
    const QByteArray journal = Native(folder_, JournalName);
    if (Exists(journal)) RecoverLocked(lock_, folder_);
    const int fd = ::open(journal.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? QStringLiteral("the files of an earlier run that stopped "
                                                "part-way cannot be put back (%1)")
                                     .arg(JournalName)
                               : SystemText(errno);
    // One write: a kill cuts it short at most, and then nothing was renamed.
    const QByteArray text = Text(entries);
    int err = ::write(fd, text.constData(), size_t(text.size())) == ssize_t(text.size())
                  ? 0
                  : (errno ? errno : EIO);
    if (!err && ::fsync(fd) != 0 && errno != EINVAL) err = errno;
    ::close(fd);
    if (err) {
        ::unlink(journal.constData());
        return SystemText(err);
    }
    if (lock_ >= 0) ::fsync(lock_);
    entries_ = entries;
    return {};
}

void FolderCommit::Finish() {
    Replay(lock_, folder_, entries_, true, false);
}

void FolderCommit::Undo() {
    Replay(lock_, folder_, entries_, true, true);
}

void RecoverFileSets(const QString& folder) {
    if (!Exists(Native(folder, JournalName))) return;
    const int fd = Lock(folder, 1);
    if (fd < 0) return;
    RecoverLocked(fd, folder);
    ::close(fd);
}

void RecoverFileSetsBeside(const QString& file) {
    QString real;
    if (ResolveLinks(file, real) == 0) RecoverFileSets(QFileInfo(real).path());
}

} // namespace zem
