#pragma once
// The staged simulator as a child process bound to a port entry of a private
// program folder, with its control socket.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

namespace linktest {

// A program folder whose ports/COM1..16 all exist as links to nowhere, so a
// port without a simulator fails to open at once instead of reaching a real
// device of this machine.
class TPortFolder {
public:
    TPortFolder()
    {
        QDir(Dir.path()).mkpath(QStringLiteral("ports"));
        for (int n = 1; n <= 16; ++n)
            LinkToNowhere(n);
    }
    QString Path() const { return Dir.path(); }
    QString PortPath(int n) const { return Dir.path() + QStringLiteral("/ports/COM%1").arg(n); }
    // After a simulator's unplug took its link away: the link to nowhere is
    // back, so a program reopening port n finds no device rather than a real one.
    void LinkToNowhere(int n) const { QFile::link(QStringLiteral("/nonexistent/kvtest-no-port"), PortPath(n)); }

private:
    QTemporaryDir Dir;
};

class TSim {
public:
    TSim(const TPortFolder &folder, const QString &model, int port, const QStringList &extra = {})
        : FLink(folder.PortPath(port)), FControl(folder.Path() + QStringLiteral("/sim%1.ctl").arg(port))
    {
        QStringList args{QStringLiteral("--model"), model, QStringLiteral("--link"), FLink,
                         QStringLiteral("--control"), FControl};
        args += extra;
        FProcess.setProgram(QStringLiteral(KV_STAGE_DIR "/kvdsim"));
        FProcess.setArguments(args);
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProcess.start();
    }
    ~TSim()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.terminate();
            if (!FProcess.waitForFinished(10000)) {
                FProcess.kill();
                FProcess.waitForFinished(10000);
            }
        }
    }

    // Waits (generously) until the link points at a pty and the control
    // socket answers.
    bool WaitReady()
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000) {
            if (FProcess.state() == QProcess::NotRunning)
                return false;
            const QFileInfo link(FLink);
            if (link.isSymLink() && link.symLinkTarget().startsWith(QStringLiteral("/dev/")) &&
                Send(QStringLiteral("status")).endsWith(QStringLiteral("ok\n")))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    // One control command; the whole reply up to its "ok" or "error:" line.
    QString Send(const QString &command) { return Exchange(command, 10000, false); }
    // A command whose reply may take long (the waits): the caller's events
    // are processed meanwhile, so the program under test goes on working.
    QString Await(const QString &command, int ms = 90000) { return Exchange(command, ms, true); }
    bool Ok(const QString &command)
    {
        const QString r = Send(command);
        return r == QLatin1String("ok\n") || r.endsWith(QLatin1String("\nok\n"));
    }
    // The word of the box's parameter memory at an address; -1 when unread.
    int Param(int address)
    {
        const QString reply = Send(QStringLiteral("param %1").arg(address));
        const QString head = QStringLiteral("%1 = ").arg(address);
        const int at = reply.indexOf(head);
        return at < 0 ? -1 : reply.mid(at + head.size()).section(QLatin1Char('\n'), 0, 0).toInt();
    }

private:
    QString Exchange(const QString &command, int ms, bool pump)
    {
        QLocalSocket s;
        s.connectToServer(FControl);
        if (!s.waitForConnected(5000))
            return QString();
        s.write(command.toUtf8() + '\n');
        s.flush();
        QByteArray reply;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            // Processing events may already have buffered the reply.
            if (pump)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (s.bytesAvailable() > 0 || s.waitForReadyRead(pump ? 5 : 200))
                reply += s.readAll();
            const QList<QByteArray> lines = reply.split('\n');
            for (const QByteArray &l : lines)
                if (l == "ok" || l.startsWith("error:"))
                    return QString::fromUtf8(reply);
            if (s.state() != QLocalSocket::ConnectedState && !s.bytesAvailable())
                break;
        }
        return QString::fromUtf8(reply);
    }

    QString FLink;
    QString FControl;
    QProcess FProcess;
};

} // namespace linktest
