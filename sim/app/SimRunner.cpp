#include "SimRunner.h"

#include "SimControl.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace kvdsim {

namespace {

constexpr int kTickMs = 2;
constexpr int kMaxCatchUpMs = 100;   // after a stall box time runs slower, not in a burst
constexpr int kBacklogLimit = 2048;  // bytes left unread on the pty before they are discarded

int gSignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char b = 1;
    const ssize_t n = ::write(gSignalPipe[1], &b, 1);
    (void)n;
}

void Print(FILE *f, const QString &text)
{
    const QByteArray b = text.toLocal8Bit();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fputc('\n', f);
    std::fflush(f);
}

} // namespace

void InstallQuitSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0)
        return;
    auto *n = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(n, &QSocketNotifier::activated, QCoreApplication::instance(), [] {
        char b;
        const ssize_t r = ::read(gSignalPipe[0], &b, 1);
        (void)r;
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

TSimRunner::TSimRunner(const TRunnerOptions &options, QObject *parent)
    : QObject(parent), FOptions(options), FBox(options.box)
{
    FBox.onNote = [this](const QString &t) {
        Log("--", t);
        if (FOptions.verbose)
            Print(stderr, QStringLiteral("kvdsim: ") + t);
    };
}

TSimRunner::~TSimRunner()
{
    Shutdown();
}

bool TSimRunner::Start(QString *error)
{
    if (!FOptions.logPath.isEmpty()) {
        FLog.setFileName(FOptions.logPath);
        if (!FLog.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            *error = QStringLiteral("cannot write the log %1").arg(FOptions.logPath);
            return false;
        }
    }
    if (!OpenLink(error))
        return false;

    if (FOptions.control == QLatin1String("stdin") || FOptions.control == QLatin1String("-")) {
        FStdinNotifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        connect(FStdinNotifier.get(), &QSocketNotifier::activated, this, &TSimRunner::OnStdinReadable);
    } else if (!FOptions.control.isEmpty()) {
        FServer = new QLocalServer(this);
        QLocalServer::removeServer(FOptions.control);
        if (!FServer->listen(FOptions.control)) {
            *error = QStringLiteral("cannot listen on %1: %2").arg(FOptions.control, FServer->errorString());
            return false;
        }
        connect(FServer, &QLocalServer::newConnection, this, &TSimRunner::OnNewControlClient);
    }

    Log("--", QStringLiteral("kvdsim %1 started").arg(QLatin1String(FBox.Info().key)));
    FClock.start();
    FLastMs = 0;
    FTimer.setTimerType(Qt::PreciseTimer);
    FTimer.setInterval(kTickMs);
    connect(&FTimer, &QTimer::timeout, this, &TSimRunner::OnTick);
    FTimer.start();
    // Announced only now, so whoever waits for this line finds everything ready.
    FStarted = true;
    Announce();
    return true;
}

void TSimRunner::Announce()
{
    Print(stdout, QStringLiteral("kvdsim %1: %2 -> %3")
                      .arg(QLatin1String(FBox.Info().key), FLink.LinkPath(), FLink.SlavePath()));
}

void TSimRunner::Shutdown()
{
    FTimer.stop();
    CloseLink();
    if (FServer) {
        FServer->close();   // removes its own socket file, not one a newer simulator made
        FServer = nullptr;
    }
    if (FLog.isOpen()) {
        Log("--", QStringLiteral("kvdsim ended"));
        FLog.close();
    }
}

bool TSimRunner::OpenLink(QString *error)
{
    if (!FLink.Open(FOptions.linkPath, error))
        return false;
    if (!FLink.Warning().isEmpty())
        Print(stderr, QStringLiteral("kvdsim: ") + FLink.Warning());
    FMasterNotifier = std::make_unique<QSocketNotifier>(FLink.MasterFd(), QSocketNotifier::Read);
    connect(FMasterNotifier.get(), &QSocketNotifier::activated, this, &TSimRunner::OnMasterReadable);
    if (FStarted)
        Announce();
    Log("--", QStringLiteral("link %1 -> %2").arg(FLink.LinkPath(), FLink.SlavePath()));
    return true;
}

void TSimRunner::CloseLink()
{
    FMasterNotifier.reset();
    if (FLink.IsOpen())
        Log("--", QStringLiteral("link %1 removed").arg(FLink.LinkPath()));
    FLink.Close();
}

void TSimRunner::Log(const char *direction, const QString &text)
{
    if (!FLog.isOpen())
        return;
    QTextStream s(&FLog);
    s << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
      << QStringLiteral(" %1 ").arg(double(FBox.NowMs()) / 1000.0, 10, 'f', 3)
      << direction << ' ' << text << '\n';
    s.flush();
}

void TSimRunner::Flush()
{
    const QByteArray out = FBox.TakeOutput();
    if (out.isEmpty() || !FLink.IsOpen())
        return;
    const qint64 n = FLink.Write(out);
    Log("TX", HexBytes(out.left(int(n))));
    if (n < out.size())
        Log("--", QStringLiteral("%1 bytes lost: nobody reads the port").arg(out.size() - n));
}

void TSimRunner::OnTick()
{
    const qint64 now = FClock.elapsed();
    qint64 step = now - FLastMs;
    FLastMs = now;
    if (step > kMaxCatchUpMs)
        step = kMaxCatchUpMs;
    if (step > 0)
        FBox.Advance(int(step));
    Flush();
    AnswerWaits();
    if (now - FLastDiscard >= 1000) {
        FLastDiscard = now;
        FLink.DiscardBacklog(kBacklogLimit);
    }
}

void TSimRunner::OnMasterReadable()
{
    const QByteArray in = FLink.Read();
    if (in.isEmpty())
        return;
    Log("RX", HexBytes(in));
    FBox.Receive(in);
    Flush();
}

bool TSimRunner::RunControl(const QString &line, const std::function<void(const QString &)> &answer)
{
    Log("--", QStringLiteral("control: ") + line.trimmed());
    TControlReply r = ExecuteControl(FBox, line);
    // The box decides about the cable; the pty follows.
    if (!FBox.Plugged() && FLink.IsOpen()) {
        CloseLink();
    } else if (FBox.Plugged() && !FLink.IsOpen()) {
        QString error;
        if (!OpenLink(&error)) {
            FBox.SetPlugged(false);
            answer(QStringLiteral("error: ") + error);
            return true;
        }
    }
    Flush();
    if (r.quit)
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    if (r.until) {
        FWaits.push_back({r.until, answer});
        return false;
    }
    answer(r.text);
    return true;
}

void TSimRunner::AnswerWaits()
{
    // Answered ones leave the list before their answer runs: an answer may
    // serve the next command of its channel, which may wait again.
    for (std::size_t i = 0; i < FWaits.size();) {
        QString text;
        if (!FWaits[i].until(FBox, &text)) {
            ++i;
            continue;
        }
        const auto answer = FWaits[i].answer;
        FWaits.erase(FWaits.begin() + std::ptrdiff_t(i));
        Log("--", QStringLiteral("control answered: ") + text.section(QLatin1Char('\n'), 0, 0));
        answer(text);
    }
}

void TSimRunner::OnStdinReadable()
{
    char buf[1024];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
        FStdinNotifier->setEnabled(false);   // end of input: keep running
        return;
    }
    FStdinBuffer.append(buf, int(n));
    ServeStdin();
}

void TSimRunner::ServeStdin()
{
    int nl;
    while (!FStdinWaiting && (nl = FStdinBuffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(FStdinBuffer.left(nl));
        FStdinBuffer.remove(0, nl + 1);
        const bool answered = RunControl(line, [this](const QString &text) {
            Print(stdout, text);
            if (FStdinWaiting) {
                FStdinWaiting = false;
                ServeStdin();
            }
        });
        FStdinWaiting = !answered;
    }
}

void TSimRunner::OnNewControlClient()
{
    while (QLocalSocket *c = FServer->nextPendingConnection()) {
        c->setProperty("waiting", false);
        connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
        connect(c, &QLocalSocket::readyRead, this, [this, c] { ServeClient(c); });
    }
}

void TSimRunner::ServeClient(QLocalSocket *client)
{
    QPointer<QLocalSocket> c(client);
    while (c && !c->property("waiting").toBool() && c->canReadLine()) {
        const QString line = QString::fromUtf8(c->readLine());
        const bool answered = RunControl(line, [this, c](const QString &text) {
            if (!c)
                return;   // the client left before its answer came
            c->write((text + QLatin1Char('\n')).toUtf8());
            c->flush();
            if (c->property("waiting").toBool()) {
                c->setProperty("waiting", false);
                ServeClient(c);
            }
        });
        if (c && !answered)
            c->setProperty("waiting", true);
    }
}

} // namespace kvdsim
