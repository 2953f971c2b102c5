// A whole group on the simulated box over a pseudo-terminal, in real time:
// the sampling thread talks to the box, the window follows on its own thread.
#include "../link/SimProcess.h"
#include "RunTestSupport.h"

#include "link/SerialPort.h"
#include "link/UnitBaseParams.h"

#include <QCoreApplication>
#include <QElapsedTimer>

using namespace kv;
using linktest::TPortFolder;
using linktest::TSim;

namespace {

struct TSimRig {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    TPortFolder Folder;
    TRecordingMessageService Messages;
    TMessageGuard Guard{&Messages};
    TMeasureSteps Steps;
    TCtrlBox *Box = nullptr;
    runtest::TProbeTest *Probe = nullptr;
    std::unique_ptr<TfrmMeasure> W;

    TSimRig()
    {
        {
            TZovData data(Db.path);
            data.ExecSql(QStringLiteral("Update SavString set StrCont = '1' where StrNo = 103")); // KVD510
        }
        InstallBaseParamsFactory();
        Steps.Login = [](QWidget *) { return TLoginOutcome{true, QStringLiteral("Admin")}; };
        Steps.AskQuit = [](QWidget *) { return true; };
        Steps.QuitApplication = [] {};
        const QString dir = Folder.Path();
        Steps.CreateDriver = [this, dir](int type) {
            auto d = CreateStartupDriver(type);
            Box = CtrlBoxOf(d.get());
            Box->SetSerialFactory([dir] { return std::make_unique<TMSComm>(dir); });
            return d;
        };
        InstallRunSequence(Steps);
    }
    ~TSimRig()
    {
        W.reset();
        TCtrlBox::SetParamSetFactory(nullptr);
        SetZovData(nullptr);
    }

    void Show()
    {
        TMeasureEnv env;
        env.ProgramDir = Folder.Path();
        env.Data = std::make_unique<TZovData>(Db.path);
        SetZovData(env.Data.get());
        env.Steps = Steps;
        W = std::make_unique<TfrmMeasure>(std::move(env));
        W->show();
        auto probe = std::make_unique<runtest::TProbeTest>();
        Probe = probe.get();
        W->MyFunction()->AddTest(QStringLiteral("Probe"), std::move(probe));
        W->MyFunction()->SetCurrentIndex(0);
        W->EnableAllButton();
    }

    // Lets the window work until done() or ms passed.
    bool WaitFor(const std::function<bool()> &done, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    bool RunOver() { return !Box->RunActive.load() && !W->FRunning; }
};

} // namespace

TEST(RunOnSimulator, AGroupBreaksAtTheBoxStrengthsAndAPulledLinkClosesTheNextGroup)
{
    TSimRig rig;
    TSim sim(rig.Folder, QStringLiteral("KVD510"), 1);
    ASSERT_TRUE(sim.WaitReady());
    const float strengths[3] = {12000.0f, 13000.0f, 12500.0f};
    ASSERT_TRUE(sim.Send(QStringLiteral("strength 12000 13000 12500")).endsWith(QStringLiteral("ok\n")));
    rig.Show();
    ASSERT_TRUE(rig.Box->IsOnline());
    ASSERT_EQ(rig.Box->ParamDiffCount, 0);
    // A one-point force drop of 1 kN after 2 kN decides the break.
    rig.Box->FJudgeFlags = TJudgeFlags{true, false, false};
    rig.Box->FJudgeLoadPointType = 1;
    rig.Box->FBreakValue = 1000;
    rig.Box->FStartJudge = 2000;
    rig.Messages.clear();

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(rig.W->btnRun->isEnabled());
        rig.W->btnRun->click();
        ASSERT_TRUE(rig.Box->RunActive.load()) << rig.Messages.texts().join(';').toStdString();
        ASSERT_TRUE(rig.WaitFor([&] { return rig.RunOver(); }, 60000));
        ASSERT_TRUE(rig.Messages.texts().isEmpty()) << rig.Messages.texts().join(';').toStdString();
        ASSERT_EQ(rig.Probe->Forces.size(), i + 1);
        // Within one sample of loading at 2400 N/s, plus the box's noise.
        EXPECT_NEAR(rig.Probe->Forces[i], strengths[i], 400.0);
        // The box unloads: the idle force the status timer reads falls away.
        EXPECT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() < 0.2f * strengths[i]; }, 5000));
    }
    EXPECT_EQ(rig.Probe->EndGroups, 1);
    EXPECT_FALSE(rig.W->FGroupActive);
    const QString file = CurveFilePath(*rig.Probe, rig.W->GlbParam()->OutFileDir);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(ReadCurveFile(file, i).size(), 10u) << i;

    // The next group: the cable is pulled during the first specimen.
    rig.Probe->FGroupNo = QStringLiteral("G2");
    rig.W->btnRun->click();
    ASSERT_TRUE(rig.Box->RunActive.load());
    ASSERT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() > 3000.0f; }, 30000));
    ASSERT_TRUE(sim.Send(QStringLiteral("unplug")).endsWith(QStringLiteral("ok\n")));
    ASSERT_TRUE(rig.WaitFor([&] { return rig.RunOver(); }, 30000));
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.Messages.texts().isEmpty(); }, 5000));
    EXPECT_EQ(rig.Messages.texts().value(0), QStringLiteral("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"));
    EXPECT_FALSE(rig.W->FGroupActive);
    EXPECT_EQ(rig.Probe->EndGroups, 2);
    EXPECT_EQ(rig.Probe->Forces.size(), 3);
}
