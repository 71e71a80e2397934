#include "files/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// An unbuffered device over a file descriptor that keeps the system's error
// number of a failed write: Qt's file classes report some as "Unknown error".
class FdDevice : public QIODevice {
  public:
    explicit FdDevice(int fd) : fd_(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    int Error() const { return err_; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* p, qint64 size) override {
        for (qint64 left = size; left > 0;) {
            const ssize_t n = ::write(fd_, p, size_t(left));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                err_ = n < 0 ? errno : EIO;
                setErrorString(SystemText(err_));
                return -1;
            }
            p += n;
            left -= n;
        }
        return size;
    }

  private:
    int fd_;
    int err_ = 0;
};

// Runs the writer into `fd`, makes the bytes durable and closes it; the
// fault, or empty.
QString WriteAndClose(int fd, const FileWriter& write) {
    FdDevice dev(fd);
    QString fault = write(dev);
    if (dev.Error()) fault = SystemText(dev.Error());
    if (fault.isEmpty() && ::fsync(fd) != 0 && errno != EINVAL) fault = SystemText(errno);
    if (::close(fd) != 0 && fault.isEmpty()) fault = SystemText(errno);
    return fault;
}

FileWriter BytesWriter(const QByteArray& bytes) {
    return [&bytes](QIODevice& out) {
        return out.write(bytes) == bytes.size() ? QString() : out.errorString();
    };
}

// Where the bytes for `path` go: through symbolic links to the file they
// name, also one that does not exist yet. 0, or the error number.
int ResolveLinks(const QString& path, QString& real) {
    real = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(Native(real).constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(Native(real).constData(), buf, sizeof buf);
        if (n < 0) return errno;
        if (size_t(n) >= sizeof buf) return ENAMETOOLONG;
        QString target = QFile::decodeName(QByteArray(buf, qsizetype(n)));
        if (!target.startsWith(QLatin1Char('/'))) target = QFileInfo(real).path() + '/' + target;
        real = target;
    }
    return ELOOP;
}

// A name beside `real` that nothing uses yet: ".NAME.1a2b3c4d.SUFFIX".
QString SideName(const QString& real, const char* suffix) {
    const QFileInfo info(real);
    return info.path() + QStringLiteral("/.") + info.fileName() +
           QStringLiteral(".%1.").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0')) +
           QLatin1String(suffix);
}

} // namespace

FileSet::~FileSet() {
    Discard();
}

void FileSet::Discard() {
    for (const Entry& e : entries_)
        if (!e.placed) ::unlink(Native(e.temp).constData());
    entries_.clear();
}

Status FileSet::Stage(const QString& path, const QByteArray& bytes) {
    return Stage(path, BytesWriter(bytes));
}

Status FileSet::Stage(const QString& path, const FileWriter& write) {
    createError_ = 0;
    Entry e{path, {}, {}, {}, false};
    if (const int err = ResolveLinks(path, e.real)) return FileFault(path, SystemText(err), true);
    // Two files of a set on one name: the later would silently replace the
    // earlier.
    const QString target = QFileInfo(e.real).absoluteFilePath();
    for (const Entry& other : entries_)
        if (QFileInfo(other.real).absoluteFilePath() == target)
            return FileFault(path, QStringLiteral("is named for two files of one set"), true);
    // Not a byte may reach a device or a pipe: refused before any open.
    if (const QString fault = TargetFault(e.real); !fault.isEmpty())
        return FileFault(path, fault, true);
    struct stat old;
    const bool replaces = ::stat(Native(e.real).constData(), &old) == 0;
    // A file the user may not write is not replaced behind his back.
    if (replaces && ::faccessat(AT_FDCWD, Native(e.real).constData(), W_OK, AT_EACCESS) != 0)
        return FileFault(path, SystemText(errno), true);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        e.temp = SideName(e.real, "tmp");
        fd = ::open(Native(e.temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            createError_ = errno;
            return FileFault(path, SystemText(errno), true);
        }
    }
    if (fd < 0) return FileFault(path, SystemText(EEXIST), true);
    // The new file keeps the old one's permissions and owner.
    if (replaces) {
        (void)::fchmod(fd, old.st_mode & 07777);
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            (void)!::fchown(fd, old.st_uid, old.st_gid);
    }
    if (const QString fault = WriteAndClose(fd, write); !fault.isEmpty()) {
        ::unlink(Native(e.temp).constData());
        return FileFault(path, fault);
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

Status WriteFileSafely(const QString& path, const QByteArray& bytes) {
    return WriteFileSafely(path, BytesWriter(bytes));
}

Status WriteFileSafely(const QString& path, const FileWriter& write) {
    FileSet set;
    const Status staged = set.Stage(path, write);
    if (staged) return set.Commit();
    if (set.createError_ != EACCES) return staged;
    // A folder the user may not write in, holding a file he may write: the
    // file is written in place, the one way left to save it.
    QString real;
    if (ResolveLinks(path, real) != 0 || !QFileInfo(real).isFile()) return staged;
    const int fd = ::open(Native(real).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return FileFault(path, SystemText(errno), true);
    if (const QString fault = WriteAndClose(fd, write); !fault.isEmpty())
        return FileFault(path, fault);
    return {};
}

} // namespace zem
