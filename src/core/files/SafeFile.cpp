#include "files/SafeFile.h"
#include "files/SetJournal.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <memory>
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

// A name beside `real` that nothing uses yet: ".NAME.1a2b3c4d.SUFFIX".
QString SideName(const QString& real, const char* suffix) {
    const QFileInfo info(real);
    return info.path() + QStringLiteral("/.") + info.fileName() +
           QStringLiteral(".%1.").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0')) +
           QLatin1String(suffix);
}

// The folder a file goes into, however its path spells it.
QString Folder(const QString& real) {
    const QString folder = QFileInfo(real).absolutePath();
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

// Copies the open file `from` to a new file `to`; 0 or the error number.
int CopyInto(int from, const QByteArray& to) {
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) return errno;
    char buf[65536];
    int err = 0;
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(from, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : 0;
            break;
        }
        if (::write(out, buf, size_t(n)) != n) {
            err = errno ? errno : EIO;
            break;
        }
        at += n;
    }
    if (!err && ::fsync(out) != 0 && errno != EINVAL) err = errno;
    if (::close(out) != 0 && !err) err = errno;
    if (err) ::unlink(to.constData());
    return err;
}

// Keeps the old file at the hidden name `backup` while the new one is
// renamed over it: a hard link where the file system has them, else a copy.
int KeepOld(const QString& real, const QString& backup) {
    if (::link(Native(real).constData(), Native(backup).constData()) == 0) return 0;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK) return errno;
    const int from = ::open(Native(real).constData(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return errno;
    const int err = CopyInto(from, Native(backup));
    ::close(from);
    return err;
}

// Writes `bytes` over the open file from its start and cuts it to their
// length; 0 or the error number.
int Overwrite(int fd, const QByteArray& bytes) {
    if (::lseek(fd, 0, SEEK_SET) != 0) return errno;
    FdDevice dev(fd);
    if (dev.write(bytes) != bytes.size()) return dev.Error() ? dev.Error() : EIO;
    if (::ftruncate(fd, bytes.size()) != 0) return errno;
    if (::fsync(fd) != 0 && errno != EINVAL) return errno;
    return 0;
}

// The one way left to save into a folder that takes no new file: the new
// bytes over the old ones, never losing them. The room is reserved first,
// so that a full disk refuses before a byte changes; a file system that
// cannot reserve gets a copy of the old bytes in the user's cache folder,
// put back on any failure.
Status WriteInPlace(const QString& path, const QString& real, const QByteArray& bytes) {
    const int fd = ::open(Native(real).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return FileFault(path, SystemText(errno), true);
    struct stat old;
    if (::fstat(fd, &old) != 0) {
        const Failure f = FileFault(path, SystemText(errno));
        ::close(fd);
        return f;
    }
    QString backup;
    const int reserved =
        bytes.isEmpty() ? 0 : ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bytes.size());
    const int why = reserved == 0 ? 0 : errno;
    if (why == EOPNOTSUPP || why == ENOSYS || why == EINVAL) {
        const QString cache =
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/zem-map";
        backup = cache + '/' + QFileInfo(SideName(real, "old")).fileName().mid(1);
        const int err = QDir().mkpath(cache) ? CopyInto(fd, Native(backup)) : EACCES;
        if (err) {
            ::close(fd);
            return FileFault(path, QStringLiteral("cannot keep a copy of the old file in %1: %2")
                                       .arg(cache, SystemText(err)));
        }
    } else if (why) {
        ::ftruncate(fd, old.st_size); // whatever was reserved beyond the old end
        ::close(fd);
        return FileFault(path, SystemText(why));
    }
    int err = Overwrite(fd, bytes);
    if (err && !backup.isEmpty()) {
        QFile kept(backup);
        if (kept.open(QIODevice::ReadOnly)) Overwrite(fd, kept.readAll());
    }
    if (!backup.isEmpty()) ::unlink(Native(backup).constData());
    if (::close(fd) != 0 && !err) err = errno;
    if (err) return FileFault(path, SystemText(err));
    return {};
}

} // namespace

FileSet::~FileSet() {
    Discard();
}

void FileSet::Discard() {
    for (const Entry& e : entries_)
        if (!e.journaled) ::unlink(Native(e.temp).constData());
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
    for (const Entry& other : entries_)
        if (SameFile(other.real, e.real))
            return FileFault(path,
                             QStringLiteral("is the file %1 too: two files of one set "
                                            "cannot share it")
                                 .arg(other.path),
                             true);
    // Not a byte may reach a device or a pipe: refused before any open.
    if (const QString fault = TargetFault(e.real); !fault.isEmpty())
        return FileFault(path, fault, true);
    struct stat old;
    const bool replaces = ::stat(Native(e.real).constData(), &old) == 0;
    // A file the user may not write is not replaced behind his back.
    if (replaces && ::faccessat(AT_FDCWD, Native(e.real).constData(), W_OK, AT_EACCESS) != 0)
        return FileFault(path, SystemText(errno), true);
    // A set a killed run left in the folder is put right first.
    RecoverFileSets(QFileInfo(e.real).path());
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

Status FileSet::Commit() {
    for (const Entry& e : entries_)
        if (const QString fault = TargetFault(e.real); !fault.isEmpty()) {
            const Failure f = FileFault(e.path, fault, true);
            Discard();
            return f;
        }
    // One file replaces its target in a single step.
    if (entries_.size() == 1) {
        const Entry& e = entries_.front();
        if (::rename(Native(e.temp).constData(), Native(e.real).constData()) != 0) {
            const Failure f = FileFault(e.path, SystemText(errno));
            Discard();
            return f;
        }
        entries_.clear();
        return {};
    }
    // A set: each folder's journal names its files, then every old file
    // gets a hidden second name, then every new one is renamed over its
    // name. Any failure puts the old files back.
    std::vector<std::unique_ptr<FolderCommit>> folders;
    auto fail = [&](const Failure& f) {
        for (auto& folder : folders)
            folder->Undo();
        Discard();
        return f;
    };
    for (size_t first = 0; first < entries_.size(); ++first) {
        if (entries_[first].journaled) continue;
        const QString folder = Folder(entries_[first].real);
        std::vector<JournalEntry> names;
        for (size_t i = first; i < entries_.size(); ++i) {
            Entry& e = entries_[i];
            if (Folder(e.real) != folder) continue;
            struct stat st;
            if (::lstat(Native(e.real).constData(), &st) == 0) e.backup = SideName(e.real, "old");
            names.push_back({QFileInfo(e.real).fileName(), QFileInfo(e.temp).fileName(),
                             e.backup.isEmpty() ? QString() : QFileInfo(e.backup).fileName()});
        }
        folders.push_back(std::make_unique<FolderCommit>(folder));
        if (const QString fault = folders.back()->Begin(names); !fault.isEmpty()) {
            folders.pop_back();
            return fail(FileFault(entries_[first].path, fault));
        }
        for (Entry& e : entries_)
            e.journaled = e.journaled || Folder(e.real) == folder;
    }
    for (const Entry& e : entries_)
        if (!e.backup.isEmpty())
            if (const int err = KeepOld(e.real, e.backup))
                return fail(FileFault(e.path, SystemText(err)));
    for (const Entry& e : entries_)
        if (::rename(Native(e.temp).constData(), Native(e.real).constData()) != 0)
            return fail(FileFault(e.path, SystemText(errno)));
    for (auto& folder : folders)
        folder->Finish();
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
    // file is written in place, the one way left to save it. The new bytes
    // are made whole before the file is touched.
    QString real;
    if (ResolveLinks(path, real) != 0 || !QFileInfo(real).isFile()) return staged;
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (const QString fault = write(buf); !fault.isEmpty()) return FileFault(path, fault);
    return WriteInPlace(path, real, bytes);
}

} // namespace zem
