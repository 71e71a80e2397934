#include "files/RegularFile.h"

#include <cerrno>
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

Status OpenRegularFile(QFile& f, const QString& path) {
    // Without O_NONBLOCK the open of a pipe waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileFault(path, SystemText(errno), true);
    struct stat st;
    const QString fault = ::fstat(fd, &st) != 0 ? SystemText(errno) : KindFault(st.st_mode);
    if (!fault.isEmpty()) {
        ::close(fd);
        return FileFault(path, fault, true);
    }
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileFault(path, f.errorString(), true);
    }
    return {};
}

} // namespace zem
