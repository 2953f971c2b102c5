#include "PtyLink.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kvdsim {

bool TPtyLink::Open(const QString &linkPath, QString *error)
{
    Close();
    FWarning.clear();
    const QByteArray link = QFile::encodeName(linkPath);

    // Refuse to replace anything but a symbolic link.
    struct stat st {};
    if (::lstat(link.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a link; not replacing it").arg(linkPath);
            return false;
        }
        const QString target = QFileInfo(linkPath).symLinkTarget();
        if (QFileInfo::exists(target))
            FWarning = QStringLiteral("replaced the link %1 (it pointed at %2)").arg(linkPath, target);
        if (::unlink(link.constData()) != 0) {
            *error = QStringLiteral("cannot remove the old link %1: %2").arg(linkPath, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    const QString parent = QFileInfo(linkPath).absolutePath();
    if (!QDir().mkpath(parent)) {
        *error = QStringLiteral("cannot create the folder %1").arg(parent);
        return false;
    }

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        *error = QStringLiteral("posix_openpt: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        *error = QStringLiteral("grantpt/unlockpt: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(master);
        return false;
    }
    const char *name = ::ptsname(master);
    if (!name) {
        *error = QStringLiteral("ptsname failed");
        ::close(master);
        return false;
    }
    const QByteArray slaveName(name);
    const int slave = ::open(slaveName.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(QString::fromLocal8Bit(slaveName),
                                                          QString::fromLocal8Bit(std::strerror(errno)));
        ::close(master);
        return false;
    }
    // Raw line: no echo, no character translation, every byte as it is.
    struct termios tio {};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    const int flags = ::fcntl(master, F_GETFL);
    ::fcntl(master, F_SETFL, flags | O_NONBLOCK);

    if (::symlink(slaveName.constData(), link.constData()) != 0) {
        *error = QStringLiteral("cannot create the link %1: %2").arg(linkPath, QString::fromLocal8Bit(std::strerror(errno)));
        ::close(slave);
        ::close(master);
        return false;
    }
    FMaster = master;
    FSlave = slave;
    FSlavePath = QString::fromLocal8Bit(slaveName);
    FLinkPath = linkPath;
    return true;
}

void TPtyLink::Close()
{
    if (!FLinkPath.isEmpty()) {
        // Only our own link goes: another simulator may have taken the path.
        if (QFileInfo(FLinkPath).isSymLink() && QFileInfo(FLinkPath).symLinkTarget() == FSlavePath)
            ::unlink(QFile::encodeName(FLinkPath).constData());
        FLinkPath.clear();
    }
    if (FSlave >= 0)
        ::close(FSlave);
    if (FMaster >= 0)
        ::close(FMaster);
    FSlave = FMaster = -1;
}

qint64 TPtyLink::Write(const QByteArray &bytes)
{
    if (FMaster < 0 || bytes.isEmpty())
        return 0;
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(FMaster, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;   // full (EAGAIN) or gone: the rest is lost, as on an unread line
    }
    return done;
}

QByteArray TPtyLink::Read()
{
    QByteArray all;
    if (FMaster < 0)
        return all;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(FMaster, buf, sizeof buf);
        if (n > 0) {
            all.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    return all;
}

void TPtyLink::DiscardBacklog(int limit)
{
    if (FSlave < 0)
        return;
    int waiting = 0;
    if (::ioctl(FSlave, FIONREAD, &waiting) == 0 && waiting > limit)
        ::tcflush(FSlave, TCIFLUSH);
}

} // namespace kvdsim
