#include "files/RegularFile.h"

#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

QString SystemText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

static QString KindFault(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return QStringLiteral("is a folder, not a file");
    if (S_ISFIFO(mode)) return QStringLiteral("is a pipe, not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("is a device, not a regular file");
    if (S_ISSOCK(mode)) return QStringLiteral("is a socket, not a regular file");
    return QStringLiteral("is not a regular file");
}

QString TargetFault(const QString& path) {
    struct stat st;
    // A path that cannot be examined is left to the open, which says why.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return KindFault(st.st_mode);
}

QString ReadFault(const QString& path, bool* missing) {
    struct stat st;
    const bool there = ::stat(QFile::encodeName(path).constData(), &st) == 0;
    const int err = errno;
    if (missing) *missing = !there && (err == ENOENT || err == ENOTDIR);
    return there ? KindFault(st.st_mode) : SystemText(err);
}

QString OpenRegular(QFile& f, const QString& path) {
    // Without O_NONBLOCK the open of a pipe waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SystemText(errno);
    struct stat st;
    const QString fault = ::fstat(fd, &st) != 0 ? SystemText(errno) : KindFault(st.st_mode);
    if (!fault.isEmpty()) {
        ::close(fd);
        return fault;
    }
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return f.errorString();
    }
    return {};
}

Status OpenRegularFile(QFile& f, const QString& path) {
    if (const QString fault = OpenRegular(f, path); !fault.isEmpty())
        return FileFault(path, fault, true);
    return {};
}

int ResolveLinks(const QString& path, QString& real) {
    real = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QByteArray native = QFile::encodeName(real);
        struct stat st;
        if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(native.constData(), buf, sizeof buf);
        if (n < 0) return errno;
        if (size_t(n) >= sizeof buf) return ENAMETOOLONG;
        QString target = QFile::decodeName(QByteArray(buf, qsizetype(n)));
        if (!target.startsWith(QLatin1Char('/'))) target = QFileInfo(real).path() + '/' + target;
        real = target;
    }
    return ELOOP;
}

// The place a path names with the links of its folders and of its last
// part resolved; the absolute path where its folder does not exist.
static QString Place(const QString& path) {
    QString real;
    if (ResolveLinks(path, real) != 0) real = path;
    const QFileInfo info(real);
    const QString folder = QFileInfo(info.path()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + '/' + info.fileName();
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return Place(a) == Place(b);
}

} // namespace zem
