// Force calibration and verification on the simulated box over a
// pseudo-terminal, in real time, through the verification window as the
// operator works it beside a reference instrument. One window of the program
// and one box for the whole binary: a calibration run against a sensor that
// reads 2 % high and the corrected table downloaded by the force-code
// editor; a verification run afterwards that reads the true force and prints
// its record; and every stop the box can bring about during a verification
// run, proved from the box's byte log to reach the wire within one tick.
#include "SimProcess.h"
#include "SimRunRig.h"
#include "WireLog.h"

#include "ui/verify/CheckWindow.h"
#include "ui/verify/ExamReport.h"
#include "ui/verify/SetportDialog.h"
#include "verify/CheckParams.h"
#include "verify/CodeDownload.h"
#include "store/GlobalParams.h"
#include "db/DbEngine.h"
#include "Clock.h"
#include "SqlText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolButton>
#include <cmath>

using namespace kv;
using kvtest::Child;
using linktest::TSim;

namespace {

constexpr int kPoints[] = {30000, 60000, 90000, 120000, 150000};
constexpr int kCount = 5;
// The stop goes out on the first run tick after the frame that shows the
// state: within one tick, one more when a late tick was left out.
constexpr double kOneTickMs = 2 * kCheckTickMs;

struct TCheckSimRig : runtest::TSimRunRig, runtest::TWireLog {
    std::unique_ptr<TSim> Sim;
    std::unique_ptr<TfrmCheck> Check;
    // What the operator confirms in 检测参数: manual fast/slow.
    TCheckEntry Entry{{"30", "60", "90", "120", "150"}, "8.0", "0.1", false, QString()};
    bool Correct = true;  // the force-code editor takes the calibrated points over
    int Downloads = 0;    // tables the editor downloaded to the end
    int Run = 0;          // the compression frame's run of the box under way

    TCheckSimRig() : TSimRunRig(1) // KVD510
    {
        LogPath = Folder.Path() + QStringLiteral("/box.log");
        Sim = std::make_unique<TSim>(Folder, QStringLiteral("KVD510"), 1,
                                     QStringList{"--noise", "0", "--log", LogPath});
    }
    ~TCheckSimRig() { Check.reset(); }

    bool Open()
    {
        if (!Sim->WaitReady())
            return false;
        Show();
        // As the main window opens the verification window: no status polling.
        W->Run().Idle().Stop();
        // The platen goes down for one second after a stop instead of three.
        return Box->IsOnline() && Box->ParamDiffCount == 0 && Sim->Ok(QStringLiteral("param 60 1")) &&
               Sim->Ok(QStringLiteral("strength ") + QStringList(20, QStringLiteral("290000")).join(' '));
    }
    TMyGlbParam &Glb() { return *W->GlbParam(); }
    TCheckRun &CheckRun() { return Check->Run(); }
    QToolButton *Button(const char *name) { return Child<QToolButton>(*Check, name); }

    // The verification window in a mode, wired as the main window opens it.
    void OpenWindow(TMyGlbParam::TCheckMode mode)
    {
        Check.reset();
        Glb().CheckMode = mode;
        Check = std::make_unique<TfrmCheck>(*Box, Glb(), ZovData(), QStringLiteral("kN"), 1000.0,
                                            &W->Run().State().ValveStart, W.get());
        Check->SetParamsDialog([this] { return ConfirmParams(); });
        Check->SetForceCodesDialog([this] { ForceCodes(); });
        Check->show();
    }
    // 检测参数's OK with Entry: the checks, then the speeds to the box.
    bool ConfirmParams()
    {
        const TCheckParams params(CheckFamily(Box->Model()), 1000.0, Box->FMaxLoad);
        TCheckValues values;
        bool confirmed = false;
        return params.Validate(Entry, values).isEmpty() &&
               params.Apply(values, *Box, ZovData(), Glb(), confirmed) == TCheckApply::Done && confirmed;
    }
    // The force-code editor as the window opens it: 修正 (when Correct), 确定,
    // and the download to its end.
    void ForceCodes()
    {
        Glb().SetPortFromMain = false;
        // The verification window reads nothing while the download owns the line.
        EXPECT_FALSE(CheckRun().IdleTimer() && CheckRun().IdleTimer()->Active());
        TfrmSetport editor(*Box, Glb(), QStringLiteral("kN"), 1000.0, Check.get(), &ZovData()->conZovDb);
        editor.SetStoreResults([this] { return CheckRun().SaveCheckResults(Glb().RecordedCount); });
        editor.show();
        if (Correct)
            Child<QPushButton>(editor, "btnCorrect")->click();
        Child<QPushButton>(editor, "btnOK")->click();
        WaitFor([&] { return !editor.Download().Running(); }, 60000);
        Downloads += editor.result() == QDialog::Accepted ? 1 : 0;
    }

    // The compression frame stands still and unloaded.
    bool BoxIdle()
    {
        return WaitFor([this] { return Sim->Send(QStringLiteral("status")).contains(QStringLiteral("[active]: idle,")); },
                       15000);
    }
    // 开始 once the box is at rest, with the cause (a command of the box) set
    // just before; the run of the box it makes is Run.
    ::testing::AssertionResult Start(const QString &cause = QString())
    {
        Messages.clear();
        if (!BoxIdle())
            return ::testing::AssertionFailure() << "the box does not come to rest";
        if (!cause.isEmpty() && !Sim->Ok(cause))
            return ::testing::AssertionFailure() << "refused: " << cause.toStdString();
        if (!WaitFor([this] { return Button("btnrun")->isEnabled(); }, 5000))
            return ::testing::AssertionFailure() << "开始 stays disabled";
        Button("btnrun")->click();
        if (!CheckRun().Running())
            return ::testing::AssertionFailure() << "no run: " << Messages.texts().join(';').toStdString();
        Run = Sim->Send(QStringLiteral("runs")).count(QStringLiteral("run "));
        // The window starts every run in the fast stage; so must the box.
        const QString note = LastNote(QStringLiteral("compression: run ("));
        if (!note.startsWith(QStringLiteral("compression: run (fast")))
            return ::testing::AssertionFailure() << "run " << Run << " of the box: " << note.toStdString();
        return ::testing::AssertionSuccess();
    }
    // The newest event of the box's log starting with prefix.
    QString LastNote(const QString &prefix) const
    {
        const QList<runtest::TWireLine> log = Log();
        for (auto l = log.crbegin(); l != log.crend(); ++l)
            if (l->Dir == QLatin1String("--") && l->Text.startsWith(prefix))
                return l->Text;
        return QString();
    }
    // Once the box's true force reached newtons (the reference shows it).
    ::testing::AssertionResult Loads(int newtons)
    {
        const QString reply = Sim->Await(QStringLiteral("waitload %1 %2").arg(Run).arg(newtons));
        if (!reply.endsWith(QLatin1String("ok\n")))
            return ::testing::AssertionFailure() << reply.toStdString();
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult Click(const char *name)
    {
        if (!WaitFor([&] { return Button(name)->isVisible() && Button(name)->isEnabled(); }, 5000))
            return ::testing::AssertionFailure() << name << " not offered";
        Button(name)->click();
        return ::testing::AssertionSuccess();
    }
    // The operator with the reference instrument: 慢速 1.1 kN before each
    // checkpoint (the stage byte leaves on the next run tick, up to 0.8 kN
    // later at 8 kN/s), 采点 when the reference shows it, 快速 to the next one.
    ::testing::AssertionResult TakePoints()
    {
        for (int k = 0; k < kCount; ++k) {
            const int c = kPoints[k];
            if (auto ok = Loads(c - 1100); !ok)
                return ok;
            if (auto ok = Click("btnslow"); !ok)
                return ok;
            if (auto ok = Loads(c); !ok)
                return ok;
            if (auto ok = Click("ToolButton2"); !ok)
                return ok;
            if (!WaitFor([&] { return CheckRun().Rows().size() > size_t(k) && !CheckRun().Rows()[size_t(k)][1].isEmpty(); },
                         5000))
                return ::testing::AssertionFailure() << "point " << k + 1 << " not shown";
            if (k + 1 < kCount)
                if (auto ok = Click("btnfast"); !ok)
                    return ok;
        }
        return ::testing::AssertionSuccess();
    }
    QStringList Column(int c)
    {
        QStringList out;
        for (const QStringList &row : CheckRun().Rows())
            out << row.value(c);
        return out;
    }
    // A result row of CheckTempValue for this model.
    QString Stored(const QString &name)
    {
        db::TDbQuery q(ZovData()->conZovDb);
        q.setSql(QStringLiteral("select * from CheckTempValue where ctrlbox = ") + QuotedStr(QStringLiteral("KVD510")) +
                 QStringLiteral(" and name = ") + QuotedStr(name));
        q.open();
        return q.recordCount() > 0 ? q.fieldByName(QStringLiteral("Value")).asString() : QStringLiteral("<none>");
    }
};

class CheckRunSim : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Rig = new TCheckSimRig;
        Ready = Rig->Open();
    }
    static void TearDownTestSuite()
    {
        delete Rig;
        Rig = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(Ready) << "the simulator or the program did not come up";
        R = Rig;
    }
    static TCheckSimRig *Rig;
    static bool Ready;
    static bool Calibrated;
    TCheckSimRig *R = nullptr;
};
TCheckSimRig *CheckRunSim::Rig = nullptr;
bool CheckRunSim::Ready = false;
bool CheckRunSim::Calibrated = false;

} // namespace

TEST_F(CheckRunSim, CalibrationCorrectsASensorReadingTwoPercentHigh)
{
    ASSERT_TRUE(R->Sim->Ok(QStringLiteral("gain 1.02")));
    R->OpenWindow(TMyGlbParam::TCheckMode::Calibration);
    ASSERT_TRUE(R->Start());
    EXPECT_TRUE(R->Button("btnfast")->isVisible()) << "manual fast/slow";
    ASSERT_TRUE(R->TakePoints());
    // The run ends by itself and the editor downloads the calibrated points.
    ASSERT_TRUE(R->WaitFor([this] { return !R->CheckRun().Running() && R->Downloads == 1; }, 60000));
    EXPECT_EQ(R->Messages.texts(), QStringList());
    EXPECT_EQ(R->CheckRun().LastStop(), TCheckStop::Complete);
    const QStringList errors = R->Column(3);
    ASSERT_EQ(errors.size(), kCount);
    for (const QString &e : errors)
        EXPECT_NEAR(e.toDouble(), 2.0, 0.15) << e.toStdString();

    // The table of the driver and of the box: the origin, the five points
    // with the codes measured at them, and the point extrapolated after them.
    const TMyGlbParam &glb = R->Glb();
    for (int k = 0; k < kCount; ++k) {
        SCOPED_TRACE(k);
        const int code = glb.CheckCode[size_t(k)];
        EXPECT_EQ(R->Box->FLoadValue[size_t(k + 1)], kPoints[k]);
        EXPECT_EQ(R->Box->FLoadCode[size_t(k + 1)], code);
        EXPECT_EQ(R->Sim->Param(3 * (k + 1)), kPoints[k] / 1000);
        EXPECT_EQ(R->Sim->Param(3 * (k + 1) + 1) * 65536 + R->Sim->Param(3 * (k + 1) + 2), code);
        EXPECT_NEAR(R->Stored(QStringLiteral("CheckNum%1").arg(k + 1)).toDouble(), kPoints[k] * 1.02, kPoints[k] * 0.0015);
        EXPECT_EQ(R->Stored(QStringLiteral("CheckError%1").arg(k + 1)), errors[k]);
    }
    EXPECT_EQ(R->Box->FLoadValue[6], 180000);
    EXPECT_EQ(R->Box->FLoadCode[6], 2 * glb.CheckCode[4] - glb.CheckCode[3]);
    EXPECT_EQ(R->Box->ParamDiffCount, 0);
    Calibrated = !HasFailure();
}

TEST_F(CheckRunSim, VerificationAfterwardsReadsTheTrueForceAndPrintsIt)
{
    ASSERT_TRUE(Calibrated) << "needs the calibrated table";
    const std::array<int, 12> table = R->Box->FLoadCode;
    R->OpenWindow(TMyGlbParam::TCheckMode::Verification);
    // Asked at the end whether to correct the table: yes, and the editor
    // saves the table as it is.
    R->Correct = false;
    ASSERT_TRUE(R->Start());
    ASSERT_TRUE(R->TakePoints());
    ASSERT_TRUE(R->WaitFor([this] { return !R->CheckRun().Running() && R->Downloads == 2; }, 60000));
    EXPECT_EQ(R->Messages.texts(), QStringList{"力值检测结束，是否需要修正标定力值数据"});
    const QStringList measured = R->Column(1), errors = R->Column(3);
    for (int k = 0; k < kCount; ++k) {
        EXPECT_LT(std::abs(errors[k].toDouble()), 0.1) << errors[k].toStdString();
        EXPECT_EQ(R->Stored(QStringLiteral("CheckNum%1").arg(k + 1)),
                  QString::asprintf("%.2f", measured[k].toDouble() * 1000));
    }
    EXPECT_EQ(R->Box->FLoadCode, table);

    // 打印: the record with the five measured forces.
    const QString pdf = R->Folder.Path() + QStringLiteral("/record.pdf");
    TfrmExamreport::SetPresenter([&](const TExamReportData &d, QWidget *) { return TfrmExamreport(d).ToPdf(pdf); });
    R->Button("btnprint")->click();
    TfrmExamreport::SetPresenter({});
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(tool.isEmpty()) << "pdftotext (poppler-utils, scripts/setup) missing";
    QProcess text;
    text.start(tool, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString record = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString &m : measured)
        EXPECT_TRUE(record.contains(m)) << m.toStdString() << " not in\n" << record.toStdString();
}

// The stops the box can bring about. Each ends a verification run with its
// one message, the box hears the stop byte within one tick of the state
// showing in its frames, and the next run starts. (The valve-start reason is
// a value of the program, not of the box: the logic test covers it.)
class CheckStopSim : public CheckRunSim {
protected:
    void SetUp() override
    {
        CheckRunSim::SetUp();
        if (!R->Check || R->Glb().CheckMode != TMyGlbParam::TCheckMode::Verification)
            R->OpenWindow(TMyGlbParam::TCheckMode::Verification);
    }
    void ExpectStopped(TCheckStop reason, int ms = 10000)
    {
        EXPECT_TRUE(R->WaitFor([this] { return !R->CheckRun().Running() && !R->Messages.texts().isEmpty(); }, ms));
        R->WaitFor([] { return false; }, 300); // no second message comes after
        EXPECT_EQ(R->Messages.texts(), QStringList{TCheckRun::StopText(reason)});
        EXPECT_EQ(R->CheckRun().LastStop(), reason);
    }
    // The next run starts; the operator ends it at once with 结束.
    void ExpectNextRunStarts()
    {
        ASSERT_TRUE(R->Start());
        R->Button("btnend")->click();
        ExpectStopped(TCheckStop::Stopped);
    }
};

TEST_F(CheckStopSim, OverloadAboveTheMaximumForce)
{
    ASSERT_TRUE(R->Start());
    ASSERT_TRUE(R->Sim->Ok(QStringLiteral("overload on")));
    ExpectStopped(TCheckStop::Overload);
    const int limit = R->Box->ForceToCode(float(R->Box->FMaxLoad * 1.02));
    const auto shown = R->FirstFrame(R->Control(QStringLiteral("overload on")),
                                     [&](const simtest::TStatus &f) { return f.a > limit; });
    EXPECT_LE(R->StopDelay(shown), kOneTickMs);
    ExpectNextRunStarts();
}

TEST_F(CheckStopSim, CannotLoadWithinTheWaitingTime)
{
    const int wait = R->Box->FCantLoadTime;
    R->Box->FCantLoadTime = 1;
    ASSERT_TRUE(R->Start(QStringLiteral("leak on")));
    ExpectStopped(TCheckStop::CannotLoad);
    ASSERT_TRUE(R->Sim->Ok(QStringLiteral("leak off")));
    R->Box->FCantLoadTime = wait;
    // Two whole seconds waited are more than one (the wait counts ticks).
    const auto run = R->FirstCommand(R->Control(QStringLiteral("leak on")), 0xF0);
    const double delay = R->FirstCommand(run, 0xF1).Ms - (run.Ms + 2000);
    EXPECT_GE(delay, 0);
    EXPECT_LE(delay, kOneTickMs);
    ExpectNextRunStarts();
}

TEST_F(CheckStopSim, InitialForceAlreadyOnTheSpecimen)
{
    ASSERT_TRUE(R->Start(QStringLiteral("preload")));
    ExpectStopped(TCheckStop::InitialForce);
    const int start = R->Box->ForceToCode(float(R->Box->FForcedLoad));
    const auto run = R->FirstCommand(R->Control(QStringLiteral("preload")), 0xF0);
    EXPECT_LE(R->StopDelay(R->FirstFrame(run, [&](const simtest::TStatus &f) { return f.a >= start; })), kOneTickMs);
    ExpectNextRunStarts();
}

TEST_F(CheckStopSim, OperatorStopsWithTheShiftKey)
{
    ASSERT_TRUE(R->Start());
    ASSERT_TRUE(R->Loads(10000));
    // The key comes right after this command reached the box.
    ASSERT_TRUE(R->Sim->Ok(QStringLiteral("noise 0")));
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(R->Check->Grid(), &shift);
    ExpectStopped(TCheckStop::Stopped);
    EXPECT_LE(R->StopDelay(R->Control(QStringLiteral("noise 0"))), kOneTickMs);
    ExpectNextRunStarts();
}

TEST_F(CheckStopSim, BoxSilentUntilTheDriverCountsItOffLine)
{
    ASSERT_TRUE(R->Start());
    ASSERT_TRUE(R->Loads(10000));
    ASSERT_TRUE(R->Sim->Ok(QStringLiteral("silence 60")));
    ExpectStopped(TCheckStop::LinkLost, 30000);
    ASSERT_TRUE(R->Sim->Ok(QStringLiteral("silence 0")));
    // The driver asks for the stream again at the 5th, 15th and 25th missed
    // poll and counts the box off line at the 30th, asking once more: the
    // stop follows within a tick.
    const auto silent = R->Control(QStringLiteral("silence 60"));
    const auto stop = R->FirstCommand(silent, 0xF1);
    ASSERT_TRUE(stop.Found());
    QList<runtest::TWireMark> restarts;
    for (const auto &m : R->Commands(silent, 0xF6))
        if (m.Line < stop.Line)
            restarts.append(m);
    ASSERT_EQ(restarts.size(), 4);
    EXPECT_LE(stop.Ms - restarts.last().Ms, kOneTickMs);
    EXPECT_TRUE(R->WaitFor([this] { return R->Box->IsOnline(); }, 10000)) << "the stream comes back";
    ExpectNextRunStarts();
}
