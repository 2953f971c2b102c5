// The crash harness: the program (crash_runner, a scripted operator on the
// real window, driver and module) runs a group on kvdsim and is killed with
// SIGKILL at a moment the test chooses: while a specimen loads, at the break
// while the box unloads, in the continuous countdown between specimens, and
// inside a database write. Then it is started again on the same folder. Every
// specimen it reported stored must be in the database with its force, the
// force must be the largest the box framed in that run, the database must be
// intact, the group row must agree with its specimens, and the unfinished
// group must be offered and completed with the right number of specimens.
#include "CemRules.h"
#include "CurveFile.h"
#include "GroupResult.h"
#include "MorCubeTest.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <map>

using namespace kv;

// Texts in failure messages as text.
void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

enum class TKill { DuringLoading, AtBreakUnloading, InCountdown, InDatabaseWrite };

struct TScenario {
    QString Module, GroupTable, SpecimenTable, CurveWord;
    fw::TGroupRule Rule;
    QString Group, Size, Rate;
    int Count = 3;
    QString Delay;            // continuous mode with this delay (s); empty: a click per specimen
    QString Strengths;        // of the box's next specimens, N
    TKill Kill;
    int Run = 2;              // the box's run in which the kill comes (loading, unloading)
    QString CrashWrite;       // the runner's kill point inside the database
    QString Point;            // the kill point as reported
};

QString CemCompTable(const char *suffix) { return QStringLiteral("CemComp") + QLatin1String(suffix); }

TScenario CemComp()
{
    TScenario s;
    s.Module = QStringLiteral("CemComp");
    s.GroupTable = CemCompTable("Group");
    s.SpecimenTable = CemCompTable("GROne");
    s.CurveWord = QStringLiteral("CemComp");
    s.Rule = &cem::CompressiveRule;
    s.Size = QStringLiteral("40*40");
    s.Rate = QStringLiteral("10.0");
    return s;
}

TScenario MorCube()
{
    TScenario s;
    s.Module = QStringLiteral("MorCube");
    s.GroupTable = QStringLiteral("MorCubeGroup");
    s.SpecimenTable = QStringLiteral("MorCubeOne");
    s.CurveWord = QStringLiteral("MorCube");
    s.Rule = &mor::MortarRule;
    s.Rate = QStringLiteral("10.0");
    return s;
}

// What the harness reports per kill.
struct TFigure {
    QString Module, Point;
    int StoredBeforeKill = 0;   // "stored" lines of the killed runner
    int InDatabase = 0;         // specimen rows found right after the kill
    int Resumed = 0;            // the specimen the restarted program went on with (0: not offered)
    int Complete = 0, Size = 0;
    int Lost = 0;
    int Retries = 0;            // starts refused for a start force within the first second, clicked again
};
std::vector<TFigure> &Figures()
{
    static std::vector<TFigure> f;
    return f;
}

class TFigureReport : public ::testing::Environment {
public:
    void TearDown() override
    {
        std::printf("\nkill figures (KVD300 on kvdsim, SIGKILL, restart on the same folder):\n");
        int lost = 0;
        for (const TFigure &f : Figures()) {
            std::printf("  %-8s %-44s stored before kill %d, in database %d, resumed at %d, complete %d/%d, "
                        "lost %d%s\n",
                        qPrintable(f.Module), qPrintable(f.Point), f.StoredBeforeKill, f.InDatabase, f.Resumed,
                        f.Complete, f.Size, f.Lost,
                        f.Retries ? qPrintable(QStringLiteral(" (starts clicked again: %1)").arg(f.Retries)) : "");
            lost += f.Lost;
        }
        std::printf("  kill points %zu, lost %d\n", Figures().size(), lost);
    }
};
[[maybe_unused]] const auto *gReport = ::testing::AddGlobalTestEnvironment(new TFigureReport);

// A program folder: the simulator's pty as port 1, the other ports lead
// nowhere; the database is a fresh copy of the installed one.
struct TFolder {
    QTemporaryDir Dir;
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    TFolder()
    {
        QDir(Dir.path()).mkpath(QStringLiteral("ports"));
        for (int n = 2; n <= 16; ++n)
            QFile::link(QStringLiteral("/nonexistent/kvtest-no-port"), Path(QStringLiteral("ports/COM%1").arg(n)));
    }
    QString Path(const QString &name = QString()) const { return name.isEmpty() ? Dir.path() : Dir.filePath(name); }
};

// kvdsim on the folder's port 1 with its control socket.
class TSimBox {
public:
    explicit TSimBox(const TFolder &folder) : FControl(folder.Path(QStringLiteral("sim.ctl")))
    {
        FLink = folder.Path(QStringLiteral("ports/COM1"));
        FProcess.setProgram(QStringLiteral(KV_STAGE_DIR "/kvdsim"));
        FProcess.setArguments({QStringLiteral("--model"), QStringLiteral("KVD300"), QStringLiteral("--link"), FLink,
                               QStringLiteral("--control"), FControl});
        FProcess.setStandardOutputFile(QProcess::nullDevice());
        FProcess.start();
    }
    ~TSimBox()
    {
        FProcess.terminate();
        if (!FProcess.waitForFinished(10000))
            FProcess.kill();
        FProcess.waitForFinished(10000);
    }
    bool WaitReady()
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000 && FProcess.state() != QProcess::NotRunning) {
            if (QFileInfo(FLink).isSymLink() && Ask(QStringLiteral("status")).endsWith(QStringLiteral("ok\n")))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    // One command; its whole reply (a wait comes back when the box says so).
    QString Ask(const QString &command, int ms = 10000)
    {
        QLocalSocket s;
        s.connectToServer(FControl);
        if (!s.waitForConnected(5000))
            return {};
        s.write(command.toUtf8() + '\n');
        s.flush();
        QByteArray reply;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && s.state() == QLocalSocket::ConnectedState) {
            if (s.waitForReadyRead(100))
                reply += s.readAll();
            if (reply.endsWith("ok\n") || reply.contains("error:"))
                break;
        }
        return QString::fromUtf8(reply);
    }
    // The largest force framed in each run stopped so far, in run order (-1:
    // none framed, or not stopped yet).
    std::vector<double> LargestFrames()
    {
        std::vector<double> out;
        static const QRegularExpression re(QStringLiteral("^run \\d+: .*?(?:largest frame ([0-9.]+) N)?$"));
        for (const QString &line : Ask(QStringLiteral("runs")).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch m = re.match(line);
            if (m.hasMatch())
                out.push_back(m.captured(1).isEmpty() ? -1.0 : m.captured(1).toDouble());
        }
        return out;
    }

private:
    QString FLink, FControl;
    QProcess FProcess;
};

// crash_runner as a child process, its progress lines followed.
class TRunner {
public:
    TRunner(const TFolder &folder, const TScenario &s, bool resume, const QString &crashWrite = QString())
    {
        QStringList args{QStringLiteral("--dir"), folder.Path(), QStringLiteral("--db"), folder.Db.path,
                         QStringLiteral("--module"), s.Module, QStringLiteral("--mode"),
                         resume ? QStringLiteral("resume") : QStringLiteral("fresh"), QStringLiteral("--group"),
                         s.Group, QStringLiteral("--count"), QString::number(s.Count), QStringLiteral("--rate"), s.Rate};
        if (!s.Size.isEmpty())
            args << QStringLiteral("--size") << s.Size;
        if (!s.Delay.isEmpty())
            args << QStringLiteral("--delay") << s.Delay;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!crashWrite.isEmpty())
            env.insert(QStringLiteral("KV_CRASH_WRITE"), crashWrite);
        FProcess.setProcessEnvironment(env);
        FErrors = folder.Path(resume ? QStringLiteral("resume.err") : QStringLiteral("fresh.err"));
        FProcess.setStandardErrorFile(FErrors);
        FProcess.start(QStringLiteral(CRASH_RUNNER), args);
    }
    ~TRunner()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(10000);
        }
    }

    // Reads progress until a line starting with prefix (returned), a "fail"
    // line (returned), the end of the process or ms (empty).
    QString WaitLine(const QString &prefix, int ms)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            while (FProcess.canReadLine()) {
                const QString line = Take();
                if (line.startsWith(prefix) || line.startsWith(QStringLiteral("fail ")))
                    return line;
            }
            if (FProcess.state() == QProcess::NotRunning || t.elapsed() > ms)
                return {};
            FProcess.waitForReadyRead(50);
        }
    }
    // SIGKILL, as a power cut or a killed process; the lines written before it are read.
    void Kill()
    {
        ::kill(static_cast<pid_t>(FProcess.processId()), SIGKILL);
        WaitDeath();
    }
    // The process ended (it may have killed itself); true when by SIGKILL.
    bool WaitDeath(int ms = 30000)
    {
        FProcess.waitForFinished(ms);
        while (FProcess.canReadLine() || FProcess.bytesAvailable())
            Take();
        return FProcess.state() == QProcess::NotRunning && FProcess.exitStatus() == QProcess::CrashExit;
    }
    int ExitCode() const { return FProcess.exitCode(); }
    bool Exited() const { return FProcess.state() == QProcess::NotRunning; }

    QStringList Lines;
    std::map<int, double> Stored;   // specimen -> force (N) the program reported stored

    // Its progress, and the end of what it wrote on stderr.
    std::string Dump() const
    {
        QFile f(FErrors);
        f.open(QIODevice::ReadOnly);
        const QStringList errors = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        return (Lines.join(QLatin1Char('\n')) + QStringLiteral("\n-- stderr:\n") +
                errors.mid(std::max<int>(0, int(errors.size()) - 20)).join(QLatin1Char('\n')))
            .toStdString();
    }

private:
    QString Take()
    {
        const QString line = QString::fromUtf8(FProcess.readLine()).trimmed();
        Lines << line;
        static const QRegularExpression stored(QStringLiteral("^stored (\\d+) ([0-9.]+)$"));
        const QRegularExpressionMatch m = stored.match(line);
        if (m.hasMatch())
            Stored[m.captured(1).toInt()] = m.captured(2).toDouble();
        return line;
    }
    QProcess FProcess;
    QString FErrors;
};

// The stored group, read from a copy of the database and its journal, so
// that the program itself finds the file as the kill left it.
struct TStoredGroup {
    QString Integrity;
    bool Exists = false;
    int GroNum = 0, Wanted = 0;
    QString Age, GroKn, GroMpa;
    std::vector<int> No;
    std::vector<double> Force, Strength;
};

TStoredGroup ReadGroup(const TFolder &folder, const TScenario &s)
{
    TStoredGroup g;
    QTemporaryDir copy;
    const QString file = copy.filePath(QStringLiteral("copy.sqlite"));
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::copy(folder.Db.path + QLatin1String(suffix), file + QLatin1String(suffix));
    static int n = 0;
    const QString name = QStringLiteral("crash_read_%1").arg(++n);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA integrity_check"));
            while (q.next())
                g.Integrity += q.value(0).toString();
            q.exec(QStringLiteral("select GroNum, SelectGroNum, LingQi, GroKn, GroMpa from %1 where ZuHao = '%2'")
                       .arg(s.GroupTable, s.Group));
            if (q.next()) {
                g.Exists = true;
                g.GroNum = q.value(0).toInt();
                g.Wanted = q.value(1).toInt();
                g.Age = q.value(2).toString();
                g.GroKn = q.value(3).toString();
                g.GroMpa = q.value(4).toString();
            }
            q.exec(QStringLiteral("select ShunXu, OnekN, LenAv, WidAv from %1 where ZuHao = '%2' order by ShunXu")
                       .arg(s.SpecimenTable, s.Group));
            while (q.next()) {
                g.No.push_back(q.value(0).toInt());
                g.Force.push_back(q.value(1).toDouble());
                g.Strength.push_back(q.value(1).toDouble() / (q.value(2).toDouble() * q.value(3).toDouble()));
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return g;
}

// The group row agrees with its specimens: their count and the rule's
// results over their stored forces and strengths.
void ExpectConsistent(const TStoredGroup &g, const TScenario &s, const char *when)
{
    SCOPED_TRACE(when);
    EXPECT_EQ(g.Integrity, QStringLiteral("ok"));
    const int m = static_cast<int>(g.No.size());
    for (int i = 0; i < m; ++i)
        EXPECT_EQ(g.No[size_t(i)], i + 1) << "specimens stored in order, none twice";
    if (m == 0)
        return;
    ASSERT_TRUE(g.Exists) << "specimens without their group row";
    EXPECT_EQ(g.GroNum, m) << "the group row counts its specimens";
    std::vector<float> kn, mpa;
    for (int i = 0; i < m; ++i) {
        kn.push_back(fw::ShownValue(g.Force[size_t(i)] / 1000.0, 2));
        mpa.push_back(fw::ShownValue(g.Strength[size_t(i)], 1));
    }
    EXPECT_EQ(g.GroKn, fw::ForceResultText(s.Rule(kn), m)) << "group force of the stored specimens";
    EXPECT_EQ(g.GroMpa, fw::StrengthResultText(s.Rule(mpa), m)) << "group strength of the stored specimens";
}

// Every specimen the program reported stored is there with that force.
int Lost(const TStoredGroup &g, const std::map<int, double> &stored)
{
    int lost = 0;
    for (const auto &[k, force] : stored) {
        const bool there = k >= 1 && k <= static_cast<int>(g.No.size()) && std::abs(g.Force[size_t(k - 1)] - force) < 0.006;
        if (!there) {
            ADD_FAILURE() << "specimen " << k << " reported stored with " << force << " N is not in the database";
            ++lost;
        }
    }
    return lost;
}

// Each stored force is the largest force the box framed in one of its runs,
// the runs taken in order; the killed run and refused starts stay unmatched.
void ExpectForcesOfTheBox(const TStoredGroup &g, const std::vector<double> &runs, size_t unstored)
{
    size_t r = 0;
    for (size_t i = 0; i < g.Force.size(); ++i) {
        while (r < runs.size() && std::abs(runs[r] - g.Force[i]) > 0.15)
            ++r;
        ASSERT_LT(r, runs.size()) << "specimen " << i + 1 << ": " << g.Force[i] << " N was framed in no run";
        ++r;
    }
    EXPECT_LE(runs.size() - g.Force.size(), unstored) << "runs not stored: the one killed, the refused starts";
}

std::string Dump(const TRunner &r) { return r.Dump(); }

// The message boxes a runner saw, but for the refused starts it clicked again.
QStringList Messages(const TRunner &r)
{
    QStringList out;
    for (const QString &line : r.Lines)
        if (line.startsWith(QStringLiteral("message ")) && !line.contains(QStringLiteral("初始力值过大")))
            out << line;
    return out;
}
int Retries(const TRunner &r) { return int(r.Lines.filter(QRegularExpression(QStringLiteral("^retry "))).size()); }

void RunScenario(TScenario s)
{
    TFolder folder;
    TSimBox sim(folder);
    ASSERT_TRUE(sim.WaitReady());
    ASSERT_TRUE(sim.Ask(QStringLiteral("strength ") + s.Strengths).endsWith(QStringLiteral("ok\n")));
    TFigure figure;
    figure.Module = s.Module;
    figure.Point = s.Point;
    figure.Size = s.Count;

    // The first start, killed at the scenario's moment.
    TRunner first(folder, s, false, s.CrashWrite);
    ASSERT_TRUE(first.WaitLine(QStringLiteral("online"), 60000).startsWith(QStringLiteral("online"))) << Dump(first);
    switch (s.Kill) {
    case TKill::DuringLoading: {
        // Well into the control stage, some 4 kN before the break.
        const double strength = s.Strengths.split(QLatin1Char(' '))[s.Run - 1].toDouble();
        const QString reply = sim.Ask(QStringLiteral("waitload %1 %2 90").arg(s.Run).arg(strength - 4000), 100000);
        ASSERT_TRUE(reply.endsWith(QStringLiteral("ok\n"))) << reply.toStdString() << Dump(first);
        first.Kill();
        break;
    }
    case TKill::AtBreakUnloading: {
        const QString reply = sim.Ask(QStringLiteral("waitstop %1 90").arg(s.Run), 100000);
        ASSERT_TRUE(reply.contains(QStringLiteral("broke at"))) << reply.toStdString() << Dump(first);
        first.Kill();
        break;
    }
    case TKill::InCountdown:
        ASSERT_TRUE(first.WaitLine(QStringLiteral("countdown 2"), 90000).startsWith(QStringLiteral("countdown")))
            << Dump(first);
        QThread::msleep(1000);
        first.Kill();
        EXPECT_EQ(sim.LargestFrames().size(), 1u + size_t(Retries(first))) << "the next run had not started";
        break;
    case TKill::InDatabaseWrite:
        EXPECT_TRUE(first.WaitDeath(90000)) << "the runner killed itself in the write: " << Dump(first);
        EXPECT_TRUE(first.Lines.filter(QStringLiteral("crash ")).size() == 1) << Dump(first);
        break;
    }
    ASSERT_TRUE(first.Exited());
    EXPECT_TRUE(Messages(first).isEmpty()) << Dump(first);
    figure.StoredBeforeKill = static_cast<int>(first.Stored.size());

    // The folder as the kill left it.
    const TStoredGroup killed = ReadGroup(folder, s);
    ExpectConsistent(killed, s, "after the kill");
    const int m = static_cast<int>(killed.No.size());
    figure.InDatabase = m;
    figure.Lost = Lost(killed, first.Stored);

    // The restart: the unfinished group is offered, accepted and completed.
    TRunner second(folder, s, true);
    const QString offer = second.WaitLine(m > 0 ? QStringLiteral("offered") : QStringLiteral("not-offered"), 60000);
    if (m > 0) {
        EXPECT_EQ(offer, QStringLiteral("offered %1 next %2").arg(s.Group).arg(m + 1)) << Dump(second);
        figure.Resumed = m + 1;
    } else {
        EXPECT_EQ(offer, QStringLiteral("not-offered")) << Dump(second);
    }
    const QString complete = second.WaitLine(QStringLiteral("complete"), 150000);
    EXPECT_EQ(second.WaitLine(QStringLiteral("closed"), 30000), QStringLiteral("closed")) << Dump(second);
    second.WaitDeath();
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_EQ(Messages(second).size(), m > 0 ? 1 : 0) << "only the question to continue: " << Dump(second);
    figure.Retries = Retries(first) + Retries(second);

    const TStoredGroup done = ReadGroup(folder, s);
    ExpectConsistent(done, s, "after the group was completed");
    figure.Complete = static_cast<int>(done.No.size());
    EXPECT_EQ(complete, QStringLiteral("complete %1 %2").arg(s.Group).arg(s.Count)) << Dump(second);
    EXPECT_EQ(figure.Complete, s.Count);
    EXPECT_EQ(done.Wanted, s.Count);
    figure.Lost += Lost(done, first.Stored) + Lost(done, second.Stored);
    ExpectForcesOfTheBox(done, sim.LargestFrames(), size_t(1 + figure.Retries));
    const QString curves = folder.Path(QStringLiteral("OutFile/")) + s.CurveWord + s.Group + done.Age;
    for (int k = 0; k < figure.Complete; ++k)
        EXPECT_FALSE(ReadCurveFile(curves, k).empty()) << "curve of specimen " << k + 1;
    Figures().push_back(figure);
    EXPECT_EQ(figure.Lost, 0);
}

} // namespace

TEST(CrashHarness, CemCompKilledWhileTheSecondSpecimenLoads)
{
    TScenario s = CemComp();
    s.Group = QStringLiteral("KL1");
    s.Strengths = QStringLiteral("46000 49000 52000 47500 50500");
    s.Kill = TKill::DuringLoading;
    s.Point = QStringLiteral("while specimen 2 loads");
    RunScenario(s);
}

TEST(CrashHarness, CemCompKilledInTheContinuousCountdown)
{
    TScenario s = CemComp();
    s.Group = QStringLiteral("KC1");
    s.Delay = QStringLiteral("3");
    s.Strengths = QStringLiteral("46000 49000 52000 47500 50500");
    s.Kill = TKill::InCountdown;
    s.Point = QStringLiteral("in the countdown after specimen 1");
    RunScenario(s);
}

TEST(CrashHarness, CemCompKilledWhileTheLastGroupRowIsWritten)
{
    TScenario s = CemComp();
    s.Group = QStringLiteral("KW1");
    s.Strengths = QStringLiteral("46000 49000 52000 47500 50500");
    s.Kill = TKill::InDatabaseWrite;
    s.CrashWrite = QStringLiteral("CemCompGroup:update:3:within");
    s.Point = QStringLiteral("within the group row update of specimen 3");
    RunScenario(s);
}

TEST(CrashHarness, MorCubeKilledAtTheBreakWhileUnloading)
{
    TScenario s = MorCube();
    s.Group = QStringLiteral("MB1");
    s.Strengths = QStringLiteral("46000 49000 52000 47500 50500");
    s.Kill = TKill::AtBreakUnloading;
    s.Point = QStringLiteral("at the break of specimen 2, unloading");
    RunScenario(s);
}

TEST(CrashHarness, MorCubeKilledRightAfterASpecimenRowIsWritten)
{
    TScenario s = MorCube();
    s.Group = QStringLiteral("MW1");
    s.Strengths = QStringLiteral("46000 49000 52000 47500 50500");
    s.Kill = TKill::InDatabaseWrite;
    s.CrashWrite = QStringLiteral("MorCubeOne:insert:2:after");
    s.Point = QStringLiteral("right after the specimen row of specimen 2");
    RunScenario(s);
}
