// The kvdsim program on a real pseudo-terminal: the test opens the link path
// like a serial port (raw mode, plain read/write) and talks bytes, and steers
// faults through the control channel. Waits poll with generous time-outs;
// nothing here measures time.
#include "WireDecode.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

using namespace simtest;

// Readable QString values in failure messages.
void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

constexpr int kPatience = 8000;   // ms: generous, the machine may be busy

QString SimExe() { return QStringLiteral(KV_STAGE_DIR "/kvdsim"); }

// The PC end of the line.
class TPort {
public:
    ~TPort() { Close(); }
    bool Open(const QString &path)
    {
        Close();
        FFd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (FFd < 0)
            return false;
        termios t {};
        ::tcgetattr(FFd, &t);
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B19200);
        ::cfsetospeed(&t, B19200);
        ::tcsetattr(FFd, TCSANOW, &t);
        ::tcflush(FFd, TCIOFLUSH);
        return true;
    }
    void Close()
    {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }
    void Write(const QByteArray &b) const
    {
        ASSERT_EQ(::write(FFd, b.constData(), size_t(b.size())), b.size());
    }
    // Reads what arrives within ms; *hangup tells whether the other end went away.
    QByteArray ReadFor(int ms, bool *hangup = nullptr) const
    {
        QByteArray all;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            pollfd p {FFd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char buf[4096];
                const ssize_t n = ::read(FFd, buf, sizeof buf);
                if (n > 0) {
                    all.append(buf, int(n));
                } else if (n == 0 || (n < 0 && errno != EAGAIN)) {
                    if (hangup)
                        *hangup = true;
                    break;
                }
                if (p.revents & POLLHUP) {
                    if (hangup)
                        *hangup = true;
                    break;
                }
            }
        }
        return all;
    }
    // Reads until done(bytes so far) holds or the patience runs out.
    QByteArray ReadUntil(const std::function<bool(const QByteArray &)> &done, int ms = kPatience) const
    {
        QByteArray all;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && !done(all))
            all += ReadFor(20);
        return all;
    }
    QList<QByteArray> Frames(int count, bool seven, int *stray = nullptr) const
    {
        const QByteArray b = ReadUntil([&](const QByteArray &a) { return SplitFrames(a, seven).size() >= count; });
        return SplitFrames(b, seven, stray);
    }
    void Drain() const { ReadFor(60); }

private:
    int FFd = -1;
};

// One kvdsim process with its link in a private folder; control over stdin.
class TSim {
public:
    explicit TSim(const QString &model, const QStringList &extra = {})
    {
        FLink = FDir.path() + QStringLiteral("/ports/COM1");
        QStringList args{QStringLiteral("--model"), model, QStringLiteral("--link"), FLink,
                         QStringLiteral("--control"), QStringLiteral("stdin"), QStringLiteral("--noise"), QStringLiteral("0")};
        args += extra;
        FProc.start(SimExe(), args);
        FStarted = FProc.waitForStarted(kPatience) && WaitLine(QStringLiteral("kvdsim")).contains(FLink);
    }
    ~TSim()
    {
        if (FProc.state() != QProcess::NotRunning) {
            FProc.terminate();
            FProc.waitForFinished(kPatience);
        }
    }
    bool Started() const { return FStarted; }
    QString Link() const { return FLink; }
    QString Folder() const { return FDir.path(); }
    QProcess &Process() { return FProc; }

    // Sends a control command and returns its reply (up to "ok" / "error:").
    QString Command(const QString &line)
    {
        FProc.write((line + QLatin1Char('\n')).toUtf8());
        QString reply;
        for (;;) {
            const QString l = WaitLine(QString());
            if (l.isNull())
                return reply + QStringLiteral("<no reply>");
            if (l.startsWith(QLatin1String("kvdsim ")))
                continue;   // the announcement of a new device, not a reply
            reply += l + QLatin1Char('\n');
            if (l == QLatin1String("ok") || l.startsWith(QLatin1String("error:")))
                return reply.trimmed();
        }
    }

private:
    QString WaitLine(const QString &mustContain)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < kPatience) {
            if (FProc.canReadLine()) {
                const QString l = QString::fromUtf8(FProc.readLine()).trimmed();
                if (mustContain.isEmpty() || l.contains(mustContain))
                    return l;
                continue;
            }
            FProc.waitForReadyRead(100);
        }
        return QString();
    }

    QTemporaryDir FDir;
    QString FLink;
    QProcess FProc;
    bool FStarted = false;
};

int Force(const QByteArray &frame, bool seven, bool channelB)
{
    const TStatus s = seven ? Decode7(frame) : Decode12(frame);
    return channelB ? s.b : s.a;
}

} // namespace

TEST(SimPty, ParameterExchangeAsInTheWorkedExample)
{
    TSim sim(QStringLiteral("KVD510"));
    ASSERT_TRUE(sim.Started());
    TPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    port.Write(Hex("68 D0 30 33 37 30 32 34 30 30 16"));
    port.Write(Hex("68 D1 30 33 37 16"));
    EXPECT_EQ(port.ReadUntil([](const QByteArray &b) { return b.size() >= 10; }),
              Hex("68 30 33 37 30 32 34 30 30 16"));
    // The calibration words of point 11 (two words) and the flexure side's maximum.
    port.Write(ReadParam(31) + ReadParam(32) + ReadParam(136));
    EXPECT_EQ(port.ReadUntil([](const QByteArray &b) { return b.size() >= 30; }),
              Hex("68 30 33 31 30 30 30 30 33 16  68 30 33 32 31 32 39 38 32 16  68 31 33 36 31 30 30 30 30 16"));
    EXPECT_TRUE(sim.Command(QStringLiteral("param 37")).startsWith(QStringLiteral("37 = 2400")));
}

TEST(SimPty, StatusFramesOfTheWorkedExampleAndStreamingOnOff)
{
    TSim sim(QStringLiteral("KVD510"));
    ASSERT_TRUE(sim.Started());
    TPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    EXPECT_EQ(sim.Command(QStringLiteral("pattern 1000 172 0 5")), QStringLiteral("ok"));
    port.Write(Byte(0xF6));
    QList<QByteArray> frames = port.Frames(3, false);
    ASSERT_GE(frames.size(), 3);
    EXPECT_EQ(frames[1], Hex("AA 00 07 68 00 01 2C 00 00 00 05 88"));

    // A read while streaming is not answered; the stream stays clean frames.
    port.Write(ReadParam(37));
    int stray = -1;
    frames = port.Frames(10, false, &stray);
    EXPECT_GE(frames.size(), 10);
    EXPECT_EQ(stray, 0);
    EXPECT_TRUE(sim.Command(QStringLiteral("status")).contains(QStringLiteral("1 refused")));

    // Off: the stream ends (a last frame may already be on its way).
    port.Write(Byte(0xF8));
    port.ReadFor(300);
    EXPECT_TRUE(port.ReadFor(600).isEmpty());
    port.Write(ReadParam(37));
    EXPECT_EQ(port.ReadUntil([](const QByteArray &b) { return b.size() >= 10; }),
              Hex("68 30 33 37 30 32 34 30 30 16"));
    sim.Command(QStringLiteral("pattern off"));
    port.Write(Byte(0xF7));
    frames = port.Frames(2, false);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(Decode12(frames.last()).a, 1200) << "absolute code of the idle sensor";
}

// Every model: its frame format, and a load on its frame shows on its force channel.
class SimPtyModels : public ::testing::TestWithParam<const char *> {};

TEST_P(SimPtyModels, FrameFormatAndForceChannel)
{
    const QString model = QLatin1String(GetParam());
    const bool seven = model == QLatin1String("KVD300");
    const bool flexure = model.startsWith(QLatin1String("KVD520"));
    TSim sim(model);
    ASSERT_TRUE(sim.Started());
    TPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    port.Write(Hex("A1 A1 F6"));
    int stray = -1;
    QList<QByteArray> frames = port.Frames(5, seven, &stray);
    ASSERT_GE(frames.size(), 5);
    EXPECT_EQ(stray, 0);
    EXPECT_EQ(Force(frames.last(), seven, flexure), 0);

    ASSERT_EQ(sim.Command(QStringLiteral("preload 1000")), QStringLiteral("ok"));
    port.Drain();
    frames = port.Frames(3, seven);
    ASSERT_FALSE(frames.isEmpty());
    // 1000 N through each family's factory table (first segment).
    const int expected = flexure ? 20080 : model.startsWith(QLatin1String("KVD300")) ? 60 : 705;
    EXPECT_NEAR(Force(frames.last(), seven, flexure), expected, 1);
    if (!seven) {
        EXPECT_EQ(Force(frames.last(), false, !flexure), 0) << "the other channel stays unloaded";
    }
}

INSTANTIATE_TEST_SUITE_P(All, SimPtyModels,
                         ::testing::Values("KVD300", "KVD510", "KVD520", "KVD300_DJ", "KVD510_DJ", "KVD520_DJ"));

TEST(SimPty, RunLoadsAndStopUnloadsOnTheLine)
{
    TSim sim(QStringLiteral("KVD300"));
    ASSERT_TRUE(sim.Started());
    TPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    port.Write(Hex("A1 A1 F6"));
    port.Frames(2, true);
    port.Write(WriteParam(37, 50000) + ValueFrame(0xD4, 30000) + Byte(0xF0));
    // The force code climbs; the valve position shows in the auxiliary code.
    QByteArray seen = port.ReadUntil([](const QByteArray &b) {
        const QList<QByteArray> f = SplitFrames(b, true);
        return !f.isEmpty() && Decode7(f.last()).a > 3000;
    });
    QList<QByteArray> frames = SplitFrames(seen, true);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_GT(Decode7(frames.last()).a, 3000);
    EXPECT_GT(Decode7(frames.last()).aux, 0);
    EXPECT_TRUE(Decode7(frames.last()).status & 1) << "loading";
    port.Write(Hex("F1 F1"));
    seen = port.ReadUntil([](const QByteArray &b) {
        const QList<QByteArray> f = SplitFrames(b, true);
        return !f.isEmpty() && Decode7(f.last()).a < 50;
    });
    frames = SplitFrames(seen, true);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_LT(Decode7(frames.last()).a, 50);
    EXPECT_EQ(Decode7(frames.last()).aux, 0);
}

TEST(SimPty, WireFaults)
{
    TSim sim(QStringLiteral("KVD510"));
    ASSERT_TRUE(sim.Started());
    TPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    port.Write(Byte(0xF6));
    port.Frames(3, false);

    // Three stray bytes, then a frame: found again by its start byte.
    sim.Command(QStringLiteral("stray 3"));
    QByteArray b = port.ReadUntil([](const QByteArray &a) { return SplitFrames(a, false).size() >= 3; });
    int stray = 0;
    SplitFrames(b, false, &stray);
    EXPECT_GE(stray, 3);

    // Garbage and dropped bytes leave bytes outside frames.
    sim.Command(QStringLiteral("raw 01 02 AA 03"));
    sim.Command(QStringLiteral("drop 4"));
    b = port.ReadUntil([](const QByteArray &a) { return SplitFrames(a, false).size() >= 4; });
    SplitFrames(b, false, &stray);
    EXPECT_GE(stray, 4 + 8);

    // Silence: nothing for a while, then the stream comes back by itself.
    sim.Command(QStringLiteral("silence 1"));
    port.ReadFor(100);
    EXPECT_TRUE(port.ReadFor(400).isEmpty());
    EXPECT_GE(port.Frames(3, false).size(), 3);
}

TEST(SimPty, UnplugAndPlug)
{
    TSim sim(QStringLiteral("KVD520_DJ"));
    ASSERT_TRUE(sim.Started());
    TPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    port.Write(Byte(0xF6));
    port.Frames(2, false);
    EXPECT_EQ(sim.Command(QStringLiteral("unplug")), QStringLiteral("ok"));
    EXPECT_FALSE(QFileInfo::exists(sim.Link()));
    EXPECT_FALSE(QFileInfo(sim.Link()).isSymLink());
    bool hangup = false;
    port.ReadFor(1000, &hangup);
    EXPECT_TRUE(hangup) << "the old device is gone";
    port.Close();

    EXPECT_EQ(sim.Command(QStringLiteral("plug")), QStringLiteral("ok"));
    ASSERT_TRUE(QFileInfo(sim.Link()).isSymLink());
    ASSERT_TRUE(port.Open(sim.Link()));
    EXPECT_GE(port.Frames(2, false).size(), 2) << "still streaming after the cable came back";
}

TEST(SimPty, PressFaultsShowInTheFrames)
{
    TSim sim(QStringLiteral("KVD510"));
    ASSERT_TRUE(sim.Started());
    TPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    port.Write(Byte(0xF6));
    port.Frames(2, false);

    // Overload: the force code reads above 1.02 x 300 kN until the stop.
    sim.Command(QStringLiteral("overload"));
    port.Drain();
    QList<QByteArray> f = port.Frames(2, false);
    ASSERT_FALSE(f.isEmpty());
    EXPECT_GT(Decode12(f.last()).a, 213752);
    port.Write(Byte(0xF1));
    port.Drain();
    f = port.Frames(2, false);
    ASSERT_FALSE(f.isEmpty());
    EXPECT_LT(Decode12(f.last()).a, 100);

    // Swapped cables: a load on the compression frame shows on channel B.
    sim.Command(QStringLiteral("preload 30000"));
    sim.Command(QStringLiteral("swap"));
    port.Drain();
    f = port.Frames(2, false);
    ASSERT_FALSE(f.isEmpty());
    EXPECT_LT(Decode12(f.last()).a, 100);
    EXPECT_GT(Decode12(f.last()).b, 20000);
    sim.Command(QStringLiteral("swap off"));
    // Frames still queued from the swapped state read zero on A: wait for the load to show
    // again before stopping, then until the side is idle, so no stale zero ends the wait.
    const auto lastA = [](const QByteArray &b, const std::function<bool(int)> &ok) {
        const QList<QByteArray> fr = SplitFrames(b, false);
        return !fr.isEmpty() && ok(Decode12(fr.last()).a);
    };
    ASSERT_TRUE(lastA(port.ReadUntil([&](const QByteArray &b) { return lastA(b, [](int a) { return a > 20000; }); }),
                      [](int a) { return a > 20000; }));
    port.Write(Byte(0xF1));
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < kPatience && !sim.Command(QStringLiteral("status")).contains(QStringLiteral("[active]: idle")))
        port.ReadFor(50);
    ASSERT_TRUE(sim.Command(QStringLiteral("status")).contains(QStringLiteral("[active]: idle")))
        << sim.Command(QStringLiteral("status")).toStdString();
    port.Drain();

    // A leaking return valve: the run builds no force.
    sim.Command(QStringLiteral("leak"));
    port.Write(Byte(0xF0));
    QElapsedTimer t;
    t.start();
    int highest = 0, frames = 0;
    while (t.elapsed() < 3000) {
        for (const QByteArray &fr : SplitFrames(port.ReadFor(100), false)) {
            highest = std::max(highest, Decode12(fr).a);
            ++frames;
        }
    }
    EXPECT_GT(frames, 10);
    EXPECT_EQ(highest, 0);
    const QString st = sim.Command(QStringLiteral("status"));
    EXPECT_TRUE(st.contains(QStringLiteral("return valve leaks"))) << st.toStdString();
    EXPECT_TRUE(st.contains(QStringLiteral("side A compression [active]: loading"))) << st.toStdString();
}

TEST(SimPty, ControlOverALocalSocketAndByteLog)
{
    QTemporaryDir dir;
    const QString sock = dir.path() + QStringLiteral("/ctl");
    const QString log = dir.path() + QStringLiteral("/box.log");
    QProcess proc;
    proc.start(SimExe(), {QStringLiteral("--model"), QStringLiteral("KVD520"), QStringLiteral("--link"),
                          dir.path() + QStringLiteral("/COM7"), QStringLiteral("--control"), sock,
                          QStringLiteral("--log"), log});
    ASSERT_TRUE(proc.waitForStarted(kPatience));
    ASSERT_TRUE(proc.waitForReadyRead(kPatience));
    QLocalSocket c;
    c.connectToServer(sock);
    ASSERT_TRUE(c.waitForConnected(kPatience));
    c.write("strength 1234\nstatus\n");
    QByteArray reply;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < kPatience && reply.count("ok\n") < 2)
        if (c.waitForReadyRead(100))
            reply += c.readAll();
    EXPECT_TRUE(reply.contains("next strengths: 1234")) << reply.toStdString();

    // The client mode of the same program.
    QProcess send;
    send.start(SimExe(), {QStringLiteral("--control"), sock, QStringLiteral("--send"), QStringLiteral("param 160")});
    ASSERT_TRUE(send.waitForFinished(kPatience));
    EXPECT_EQ(send.exitCode(), 0);
    EXPECT_EQ(send.readAllStandardOutput(), QByteArray("160 = 3\nok\n"));
    send.start(SimExe(), {QStringLiteral("--control"), sock, QStringLiteral("--send"), QStringLiteral("nonsense")});
    ASSERT_TRUE(send.waitForFinished(kPatience));
    EXPECT_EQ(send.exitCode(), 1);

    TPort port;
    ASSERT_TRUE(port.Open(dir.path() + QStringLiteral("/COM7")));
    port.Write(ReadParam(160));
    EXPECT_EQ(port.ReadUntil([](const QByteArray &b) { return b.size() >= 10; }), Hex("68 31 36 30 30 30 30 30 33 16"));

    proc.terminate();
    ASSERT_TRUE(proc.waitForFinished(kPatience));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(QFileInfo(dir.path() + QStringLiteral("/COM7")).isSymLink()) << "link removed on SIGTERM";
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("RX 68 D1 31 36 30 16"));
    EXPECT_TRUE(text.contains("TX 68 31 36 30 30 30 30 30 33 16"));
}

TEST(SimPty, LinkRulesAndCommandLine)
{
    QTemporaryDir dir;
    // A stale link is replaced; a plain file in the way is not.
    const QString link = dir.path() + QStringLiteral("/deep/er/COM2");
    QDir().mkpath(QFileInfo(link).absolutePath());
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/pts"), link));
    {
        QProcess p;
        p.start(SimExe(), {QStringLiteral("--link"), link});
        ASSERT_TRUE(p.waitForStarted(kPatience));
        ASSERT_TRUE(p.waitForReadyRead(kPatience));
        EXPECT_TRUE(QFileInfo(link).symLinkTarget().startsWith(QStringLiteral("/dev/pts/")));
        ::kill(pid_t(p.processId()), SIGINT);
        ASSERT_TRUE(p.waitForFinished(kPatience));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_FALSE(QFileInfo(link).isSymLink()) << "link removed on SIGINT";
    }
    const QString file = dir.path() + QStringLiteral("/COM3");
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QProcess p;
    p.start(SimExe(), {QStringLiteral("--link"), file});
    ASSERT_TRUE(p.waitForFinished(kPatience));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QFileInfo(file).isFile());

    p.start(SimExe(), {QStringLiteral("--model"), QStringLiteral("KVD999")});
    ASSERT_TRUE(p.waitForFinished(kPatience));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains("KVD300|KVD510"));

    p.start(SimExe(), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(kPatience));
    EXPECT_EQ(p.exitCode(), 0);
    const QByteArray help = p.readAllStandardOutput();
    EXPECT_TRUE(help.contains("--strength-mean"));
    EXPECT_TRUE(help.contains("unplug"));
}
