#include "files/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

// The system's own words for an error ("No space left on device"); Qt's file
// classes report a short write as "Unknown error".
static QString SystemText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

static QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString TargetFault(const QString& path) {
    struct stat st;
    // A path that cannot be examined is left to the open, which says why.
    if (::stat(Native(path).constData(), &st) != 0) return {};
    if (S_ISREG(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return QStringLiteral("is a folder, not a file");
    if (S_ISFIFO(st.st_mode)) return QStringLiteral("is a pipe, not a regular file");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("is a device, not a regular file");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("is a socket, not a regular file");
    return QStringLiteral("is not a regular file");
}

// A symbolic link to a file is kept: the file it points to is replaced.
static QString RealTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists()) return info.canonicalFilePath();
    return path;
}

// A name beside `real` that nothing uses yet: ".NAME.1a2b3c4d.SUFFIX".
static QString SideName(const QString& real, const char* suffix) {
    const QFileInfo info(real);
    return info.path() + QStringLiteral("/.") + info.fileName() +
           QStringLiteral(".%1.").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0')) +
           QLatin1String(suffix);
}

// Writes all bytes and makes them durable; 0 or the errno of the failure.
static int WriteAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        p += n;
        left -= n;
    }
    if (::fsync(fd) != 0 && errno != EINVAL) return errno;
    return 0;
}

FileSet::~FileSet() {
    Discard();
}

void FileSet::Discard() {
    for (const Entry& e : entries_)
        if (!e.placed) ::unlink(Native(e.temp).constData());
    entries_.clear();
}

Status FileSet::Stage(const QString& path, const QByteArray& bytes) {
    // Not a byte may reach a device or a pipe: refused before any open.
    if (const QString fault = TargetFault(path); !fault.isEmpty())
        return FileFault(path, fault, true);
    Entry e{path, RealTarget(path), {}, {}, false};
    // A new file gets the old one's permissions, else the usual ones.
    struct stat old;
    const bool replaces = ::stat(Native(e.real).constData(), &old) == 0;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        e.temp = SideName(e.real, "tmp");
        fd = ::open(Native(e.temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return FileFault(path, SystemText(errno), true);
    }
    if (fd < 0) return FileFault(path, SystemText(EEXIST), true);
    if (replaces) (void)::fchmod(fd, old.st_mode & 07777);
    int err = WriteAll(fd, bytes);
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) {
        ::unlink(Native(e.temp).constData());
        return FileFault(path, SystemText(err));
    }
    entries_.push_back(e);
    return {};
}

void FileSet::RollBack() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->placed) ::unlink(Native(it->real).constData());
        if (!it->backup.isEmpty())
            ::rename(Native(it->backup).constData(), Native(it->real).constData());
        it->placed = false;
        it->backup.clear();
    }
    Discard();
}

Status FileSet::Commit() {
    for (const Entry& e : entries_)
        if (const QString fault = TargetFault(e.real); !fault.isEmpty()) {
            const Failure f = FileFault(e.path, fault, true);
            Discard();
            return f;
        }
    // One file replaces its target in a single step; a set first moves the
    // old files aside so that a failure part-way can put them back.
    if (entries_.size() > 1)
        for (Entry& e : entries_) {
            struct stat st;
            if (::lstat(Native(e.real).constData(), &st) != 0) continue;
            const QString backup = SideName(e.real, "old");
            if (::rename(Native(e.real).constData(), Native(backup).constData()) != 0) {
                const Failure f = FileFault(e.path, SystemText(errno));
                RollBack();
                return f;
            }
            e.backup = backup;
        }
    for (Entry& e : entries_) {
        if (::rename(Native(e.temp).constData(), Native(e.real).constData()) != 0) {
            const Failure f = FileFault(e.path, SystemText(errno));
            RollBack();
            return f;
        }
        e.placed = true;
    }
    for (const Entry& e : entries_)
        if (!e.backup.isEmpty()) ::unlink(Native(e.backup).constData());
    entries_.clear();
    return {};
}

// The old way for a folder that takes no new file: the target is written in
// place, so a failure part-way leaves it cut short.
static Status WriteInPlace(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(Native(path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return FileFault(path, SystemText(errno), true);
    int err = WriteAll(fd, bytes);
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) return FileFault(path, SystemText(err));
    return {};
}

Status WriteFileSafely(const QString& path, const QByteArray& bytes) {
    FileSet set;
    Status staged = set.Stage(path, bytes);
    if (!staged) {
        if (staged.Unopened() && TargetFault(path).isEmpty() && QFileInfo(path).isFile() &&
            QFileInfo(path).isWritable())
            if (Status direct = WriteInPlace(RealTarget(path), bytes); !direct.Unopened())
                return direct;
        return staged;
    }
    return set.Commit();
}

} // namespace zem
