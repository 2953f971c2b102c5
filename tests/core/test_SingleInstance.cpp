// The guard against a second copy: in one process with two guards, with a
// socket file left behind by a crashed copy, and with real program copies.
#include "app/SingleInstance.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString UniqueKey() { return QStringLiteral("kvtest-") + QUuid::createUuid().toString(QUuid::Id128); }

} // namespace

TEST(SingleInstance, SecondGuardFindsTheFirstAndAsksItToRestore)
{
    const QString key = UniqueKey();
    kv::TSingleInstance first(key);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.IsListening());
    QSignalSpy restore(&first, &kv::TSingleInstance::restoreRequested);

    kv::TSingleInstance second(key);
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.IsListening());
    EXPECT_TRUE(QTest::qWaitFor([&] { return restore.count() == 1; }, 5000));

    // Every further start asks again.
    kv::TSingleInstance third(key);
    EXPECT_FALSE(third.Acquire());
    EXPECT_TRUE(QTest::qWaitFor([&] { return restore.count() == 2; }, 5000));
}

TEST(SingleInstance, DifferentProgramFoldersDoNotCollide)
{
    EXPECT_NE(kv::TSingleInstance::KeyForProgram(QStringLiteral("/opt/a/Kalvio6")),
              kv::TSingleInstance::KeyForProgram(QStringLiteral("/opt/b/Kalvio6")));
    EXPECT_EQ(kv::TSingleInstance::KeyForProgram(QStringLiteral("/opt/a/Kalvio6")),
              kv::TSingleInstance::KeyForProgram(QStringLiteral("/opt/a/../a/Kalvio6")));

    kv::TSingleInstance a(UniqueKey());
    kv::TSingleInstance b(UniqueKey());
    EXPECT_TRUE(a.Acquire());
    EXPECT_TRUE(b.Acquire());
}

TEST(SingleInstance, SocketLeftByACrashedCopyIsTakenOver)
{
    const QString key = UniqueKey();
    // A bound socket file that nobody listens on any more.
    const QString path = QDir::tempPath() + QLatin1Char('/') + key;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    ASSERT_LT(static_cast<size_t>(p.size()), sizeof addr.sun_path);
    memcpy(addr.sun_path, p.constData(), p.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));

    kv::TSingleInstance guard(key);
    EXPECT_TRUE(guard.Acquire());
    EXPECT_TRUE(guard.IsListening());
}

namespace {

// A copy of the staged program folder with a database of its own.
struct TProgramCopy {
    QTemporaryDir Dir;
    QString Program;

    TProgramCopy()
    {
        const QString stage = kvtest::StageDir();
        for (const char *f : {"Kalvio6", "libkvplatform.so", "MeasDB.sqlite"}) {
            const QString name = QLatin1String(f);
            EXPECT_TRUE(QFile::copy(stage + QLatin1Char('/') + name, Dir.filePath(name))) << f;
        }
        QFile::setPermissions(Dir.filePath(QStringLiteral("MeasDB.sqlite")),
                              QFile::ReadOwner | QFile::WriteOwner);
        Program = Dir.filePath(QStringLiteral("Kalvio6"));
    }

    void Start(QProcess &p, bool exitAfterShow)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (exitAfterShow)
            env.insert(QStringLiteral("KALVIO_BENCH_EXIT_AFTER_SHOW"), QStringLiteral("1"));
        else
            env.remove(QStringLiteral("KALVIO_BENCH_EXIT_AFTER_SHOW"));
        p.setProcessEnvironment(env);
        p.setProgram(Program);
        p.start();
    }

    // True once the copy's guard accepts connections.
    bool WaitListening(QProcess &p)
    {
        const QString key = kv::TSingleInstance::KeyForProgram(Program);
        return QTest::qWaitFor(
            [&] {
                if (p.state() == QProcess::NotRunning)
                    return true;
                QLocalSocket s;
                s.connectToServer(key);
                return s.waitForConnected(100);
            },
            20000) && p.state() != QProcess::NotRunning;
    }
};

} // namespace

TEST(SingleInstance, SecondProgramCopyEndsAndACrashedOneIsReplaced)
{
    TProgramCopy copy;
    QProcess first;
    copy.Start(first, false);
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(copy.WaitListening(first)) << first.readAllStandardError().toStdString();

    QProcess second;
    copy.Start(second, true);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // It handed over before any window: no benchmark line.
    EXPECT_FALSE(second.readAllStandardOutput().contains("startup-ms"));
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first copy dies without cleaning up; the next start runs anyway.
    first.kill();
    first.waitForFinished(10000);
    QProcess third;
    copy.Start(third, true);
    ASSERT_TRUE(third.waitForFinished(20000));
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_TRUE(third.readAllStandardOutput().contains("startup-ms"));
}
