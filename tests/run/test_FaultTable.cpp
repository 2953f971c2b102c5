// Every abnormal state of the press and the line that the program watches,
// on the simulated box over a pseudo-terminal in real time: one window and
// one simulator for the whole table. Each case brings the state about with a
// control command of the simulator and checks from the box's byte log that
// the stop reached the wire within one sample of the state showing in the
// frames, that the operator saw exactly the one message of that state, that
// the group was left as the run sequence says, that no specimen was stored,
// and that the next run starts once the state is gone.
#include "RunTestSupport.h"
#include "SimRunRig.h"
#include "WireLog.h"

#include <QAction>
#include <QMenu>

// Readable failures of texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) { *os << '[' << l.join(QStringLiteral(" | ")).toStdString() << ']'; }

using namespace kv;
using kvtest::Child;
using linktest::TSim;

namespace {

const QString kOffline = QStringLiteral("无法联系控制器,系统无法正常运行,请检查控制器是否打开!");
const QString kOfflinePanel = QStringLiteral("系统状态：脱机工作");
const QString kOnlinePanel = QStringLiteral("系统状态：联机工作");
// The stop goes out on the first 100 ms sampling step after the frame that
// shows the state: within one period, one more when a late step was left out.
constexpr double kOneSampleMs = 2 * kSamplePeriodMs;

// A message box the operator reads for a while: the program goes on meanwhile
// (as under a modal dialog), and the link panel is noted when it opens.
class TReadMessages : public TRecordingMessageService {
public:
    TMsgResult show(const TMsgRequest &r) override
    {
        LinkPanels.append(LinkPanel ? LinkPanel() : QString());
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ReadMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return TRecordingMessageService::show(r);
    }
    std::function<QString()> LinkPanel;
    QStringList LinkPanels;
    int ReadMs = 600;
};

struct TFaultRig : runtest::TSimRunRig, runtest::TWireLog {
    TReadMessages Seen;
    kv::TMessageGuard SeenGuard{&Seen};
    std::unique_ptr<TSim> Sim;
    runtest::TProbeTest *Probe = nullptr;
    int EndGroupsBefore = 0; // the probe's closed groups when the last run started

    TFaultRig() : TSimRunRig(1) // KVD510
    {
        LogPath = Folder.Path() + QStringLiteral("/box.log");
        Sim = std::make_unique<TSim>(Folder, QStringLiteral("KVD510"), 1,
                                     QStringList{QStringLiteral("--log"), LogPath});
    }

    bool Open()
    {
        if (!Sim->WaitReady())
            return false;
        Show();
        auto probe = std::make_unique<runtest::TProbeTest>();
        Probe = probe.get();
        W->MyFunction()->AddTest(QStringLiteral("Probe"), std::move(probe));
        W->MyFunction()->SetCurrentIndex(0);
        W->EnableAllButton();
        Seen.LinkPanel = [this] { return W->PanelText(int(TStatusPanel::Link)); };
        UseForceDropJudgement();
        Box->FForcedLoad = 1000;
        // The platen goes down for one second after a stop instead of three:
        // the next run starts from the start position sooner.
        return Box->IsOnline() && Box->ParamDiffCount == 0 && Send(QStringLiteral("param 60 1"));
    }

    bool Send(const QString &command) { return Sim->Ok(command); }
    // The compression frame of the box stands still and unloaded.
    bool BoxIdle(int ms = 15000)
    {
        return WaitFor([this] { return Sim->Send(QStringLiteral("status")).contains(QStringLiteral("[active]: idle,")); }, ms);
    }
    QPushButton *RunButton() { return Child<QPushButton>(*W, "btnRun"); }

    // A run starts now on a specimen of strength newtons: the first of a new
    // group, or with group empty the next one of the group under way.
    ::testing::AssertionResult Start(const QString &group, int strength = 200000)
    {
        Seen.clear();
        Seen.LinkPanels.clear();
        if (!group.isEmpty()) {
            if (W->Run().GroupActive())
                W->Run().EndGroupClick();
            Probe->FGroupNo = group;
        }
        EndGroupsBefore = Probe->EndGroups;
        // A platen still up from the last run would meet the next specimen
        // within the first second (the initial-force check).
        if (!BoxIdle())
            return ::testing::AssertionFailure() << "the box does not come to rest";
        if (!Send(QStringLiteral("strength off")) || !Send(QStringLiteral("strength %1").arg(strength)))
            return ::testing::AssertionFailure() << "strength refused";
        if (!WaitFor([this] { return RunButton()->isEnabled(); }, 20000))
            return ::testing::AssertionFailure() << "btnRun stays disabled: " << W->PanelText(2).toStdString();
        RunButton()->click();
        if (!W->Run().Active())
            return ::testing::AssertionFailure() << "no run: " << Seen.texts().join(';').toStdString();
        return ::testing::AssertionSuccess();
    }

    // A specimen of strength newtons loaded to its break without a message.
    // (group empty: the next specimen of the group under way).
    ::testing::AssertionResult RunToBreak(const QString &group, int strength = 3000)
    {
        const qsizetype stored = Probe->Forces.size();
        if (auto started = Start(group, strength); !started)
            return started;
        if (!WaitFor([this] { return RunOver(); }, 30000))
            return ::testing::AssertionFailure() << "the run did not end";
        if (!Seen.texts().isEmpty())
            return ::testing::AssertionFailure() << Seen.texts().join(';').toStdString();
        if (Probe->Forces.size() != stored + 1)
            return ::testing::AssertionFailure() << "no specimen stored";
        return ::testing::AssertionSuccess();
    }
};

// One window and one box for the whole table.
class FaultTable : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Rig = new TFaultRig;
        Ready = Rig->Open();
    }
    static void TearDownTestSuite()
    {
        delete Rig;
        Rig = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(Ready) << "the simulator or the window did not come up";
        R = Rig;
        // Whatever an earlier case left: no run, the box at rest.
        if (R->W->Run().Active()) {
            R->W->Run().StopClick();
            ASSERT_TRUE(R->WaitFor([this] { return R->RunOver(); }, 20000));
            ASSERT_TRUE(R->BoxIdle());
        }
        Stored = R->Probe->Forces.size();
    }
    // The run ended with exactly the one message of its state, nothing was
    // stored, and a group whose first specimen it was is closed.
    void ExpectEnded(const QStringList &messages, bool groupClosed = true)
    {
        EXPECT_TRUE(R->WaitFor([this] { return R->RunOver(); }, 30000)) << "the run did not end";
        EXPECT_TRUE(R->WaitFor([&] { return R->Seen.texts().size() >= messages.size(); }, 5000));
        R->WaitFor([] { return false; }, 300); // no second message comes after
        EXPECT_EQ(R->Seen.texts(), messages);
        EXPECT_EQ(R->Probe->Forces.size(), Stored) << "a specimen was stored";
        EXPECT_EQ(R->Probe->EndGroups, R->EndGroupsBefore + (groupClosed ? 1 : 0));
        EXPECT_EQ(R->W->Run().GroupActive(), !groupClosed);
    }
    // The run is past its start force and the box reports more than newtons.
    bool Loaded(float newtons, int ms = 30000)
    {
        return R->WaitFor([&] {
            return R->W->Run().State().Phase.load() == TRunPhase::Control && R->Box->ReadForce() > newtons;
        }, ms);
    }
    static TFaultRig *Rig;
    static bool Ready;
    TFaultRig *R = nullptr;
    qsizetype Stored = 0;
};
TFaultRig *FaultTable::Rig = nullptr;
bool FaultTable::Ready = false;

} // namespace

TEST_F(FaultTable, OverloadAboveTheMaximumForce)
{
    ASSERT_TRUE(R->Start(QStringLiteral("O1")));
    ASSERT_TRUE(R->Send(QStringLiteral("overload on")));
    const int limit = R->Box->ForceToCode(static_cast<float>(R->Box->FMaxLoad * 1.02));
    ExpectEnded({TCtrlBox::OverloadText()});
    const auto shown = R->FirstFrame(R->Control(QStringLiteral("overload")), [&](const simtest::TStatus &f) {
        return f.a > limit;
    });
    EXPECT_LE(R->StopDelay(shown), kOneSampleMs);
}

TEST_F(FaultTable, SwappedSensorCables)
{
    R->Box->FCheckKZ = 1;
    R->Box->FKZThreshold = 300;
    ASSERT_TRUE(R->Send(QStringLiteral("swap on")));
    ASSERT_TRUE(R->Start(QStringLiteral("S1")));
    ExpectEnded({R->Box->OtherChannelText()});
    ASSERT_TRUE(R->Send(QStringLiteral("swap off")));
    // The compression force shows on the flexure channel.
    const auto shown = R->FirstFrame(R->Control(QStringLiteral("swap on")),
                                     [](const simtest::TStatus &f) { return f.b > 300; });
    EXPECT_LE(R->StopDelay(shown), kOneSampleMs);
}

TEST_F(FaultTable, CannotLoadWithinTheWaitingTime)
{
    R->Box->FCantLoadTime = 1;
    ASSERT_TRUE(R->Send(QStringLiteral("leak on")));
    ASSERT_TRUE(R->Start(QStringLiteral("L1")));
    const auto run = R->FirstCommand(R->Control(QStringLiteral("strength")), 0xF0);
    ExpectEnded({QStringLiteral("无法加载,可能原因是\n1.等待加载时间不够.\n2.初始开度不够.\n3.回油阀没关紧(液压式)")});
    ASSERT_TRUE(R->Send(QStringLiteral("leak off")));
    R->Box->FCantLoadTime = 10;
    // Two whole seconds waited are more than one (the wait counts samples).
    const double delay = R->FirstCommand(run, 0xF1).Ms - (run.Ms + 2000);
    EXPECT_GE(delay, 0);
    EXPECT_LE(delay, kOneSampleMs);
}

TEST_F(FaultTable, InitialForceAlreadyOnTheSpecimen)
{
    ASSERT_TRUE(R->BoxIdle()) << "a platen still going down would let the load off again";
    ASSERT_TRUE(R->Send(QStringLiteral("preload 5000")));
    ASSERT_TRUE(R->Start(QStringLiteral("I1")));
    ExpectEnded({QStringLiteral("初始力值过大，系统无法加载，请检查是否清零！")});
    // The loaded specimen shows in the first frame of the run.
    const int start = R->Box->ForceToCode(static_cast<float>(R->Box->FForcedLoad));
    const auto run = R->FirstCommand(R->Control(QStringLiteral("strength")), 0xF0);
    EXPECT_LE(R->StopDelay(R->FirstFrame(run, [&](const simtest::TStatus &f) { return f.a >= start; })), kOneSampleMs);
    EXPECT_TRUE(R->WaitFor([this] { return R->Box->ReadForce() < 500.0f; }, 10000)) << "the box unloads";
}

TEST_F(FaultTable, LoadingTooFast)
{
    R->Probe->FSpeed = 70000.0f;
    ASSERT_TRUE(R->Start(QStringLiteral("F1"), 250000));
    ExpectEnded({QStringLiteral("系统加载速度过快")});
    R->Probe->FSpeed = 2400.0f;
    // The judgement looks at the rise over 1.4 s of samples: the stop comes
    // within that window and one sample of a frame showing 60 kN/s (a rise
    // of more than 12 kN over ten frames, 0.2 s).
    const auto from = R->Control(QStringLiteral("strength"));
    const int rise = R->Box->ForceToCode(60000.0f * 0.2f);
    QList<int> codes;
    const auto shown = R->FirstFrame(from, [&](const simtest::TStatus &f) {
        codes.append(f.a);
        return codes.size() > 10 && codes.last() - codes[codes.size() - 11] > rise;
    });
    EXPECT_LE(R->StopDelay(shown), 1400 + kOneSampleMs);
}

TEST_F(FaultTable, IdleForceAboveTheProtectionForce)
{
    R->Box->FUseProtect = 0;
    R->Box->FProtectLoad = 5; // kN, the display unit
    R->Box->FProtectTime = 0;
    R->Seen.clear();
    ASSERT_TRUE(R->WaitFor([this] { return !R->W->Run().State().JustUnloaded; }, 5000));
    ASSERT_TRUE(R->Send(QStringLiteral("offset %1").arg(R->Box->ForceToCode(8000.0f))));
    const int limit = R->Box->ForceToCode(5000.0f);
    ASSERT_TRUE(R->WaitFor([this] { return R->Seen.texts().size() >= 2; }, 5000));
    R->WaitFor([] { return false; }, 300);
    // The operator releases the protection (the recorder answers Yes).
    EXPECT_EQ(R->Seen.texts(), (QStringList{QStringLiteral("当前力值超过设定的空闲保护力值,已进入保护状态,请先排查原因!"),
                                            QStringLiteral("是否解除保护?如已排除请选择\"是\"")}));
    const auto shown = R->FirstFrame(R->Control(QStringLiteral("offset")),
                                     [&](const simtest::TStatus &f) { return f.a > limit; });
    const auto lock = R->FirstCommand(shown, 0xD3);
    ASSERT_TRUE(lock.Found());
    EXPECT_LE(lock.Ms - shown.Ms, 2 * kStatusTickMs) << "on the first status tick that sees it";
    EXPECT_TRUE(R->FirstCommand(lock, 0xD4).Found()) << "released";
    ASSERT_TRUE(R->Send(QStringLiteral("offset 0")));
    EXPECT_TRUE(R->RunToBreak(QStringLiteral("P1"))) << "the next run starts once the force is gone";
    R->Box->FUseProtect = 1;
}

TEST_F(FaultTable, GarbageAndDroppedBytesMidRunAreSurvived)
{
    ASSERT_TRUE(R->Start(QStringLiteral("G1"), 6000));
    ASSERT_TRUE(Loaded(2000.0f));
    for (const char *c : {"garbage 40", "drop 7", "stray 5", "garbage 12", "drop 30"})
        ASSERT_TRUE(R->Send(QLatin1String(c)));
    EXPECT_TRUE(R->WaitFor([this] { return R->RunOver(); }, 30000));
    EXPECT_TRUE(R->Seen.texts().isEmpty()) << R->Seen.texts().join(';').toStdString();
    ASSERT_EQ(R->Probe->Forces.size(), Stored + 1);
    EXPECT_NEAR(R->Probe->Forces.last(), 6000.0 - 24.0, 60.0);
}

TEST_F(FaultTable, BoxSilentMidRun)
{
    ASSERT_TRUE(R->Start(QStringLiteral("Q1")));
    ASSERT_TRUE(Loaded(3000.0f));
    ASSERT_TRUE(R->Send(QStringLiteral("silence 60")));
    ExpectEnded({kOffline});
    ASSERT_TRUE(R->Send(QStringLiteral("silence 0")));
    EXPECT_EQ(R->Seen.LinkPanels, QStringList{kOfflinePanel}) << "the panel tells the truth under the message";
    // Thirty missed polls of 11 pauses of 20 ms, and the box hears the stop.
    const auto silent = R->Control(QStringLiteral("silence 60"));
    const auto stop = R->FirstCommand(silent, 0xF1);
    ASSERT_TRUE(stop.Found());
    EXPECT_GE(stop.Ms - silent.Ms, 30 * 11 * 20);
    EXPECT_LT(stop.Line, R->Control(QStringLiteral("silence 0")).Line);
    // The box talks again: on-line without a message, and the next run works.
    EXPECT_TRUE(R->WaitFor([this] { return R->W->PanelText(2) == kOnlinePanel; }, 10000));
    EXPECT_TRUE(R->RunToBreak(QStringLiteral("Q2")));
}

TEST_F(FaultTable, CableUnpluggedMidRunAndPluggedBack)
{
    ASSERT_TRUE(R->Start(QStringLiteral("C1")));
    ASSERT_TRUE(Loaded(3000.0f));
    ASSERT_TRUE(R->Send(QStringLiteral("unplug")));
    // Nothing at the port while the cable is out (never a real device).
    R->Folder.LinkToNowhere(1);
    ExpectEnded({kOffline});
    EXPECT_EQ(R->Seen.LinkPanels, QStringList{kOfflinePanel});
    EXPECT_EQ(R->W->PanelText(2), kOfflinePanel);
    EXPECT_FALSE(R->RunButton()->isEnabled());
    EXPECT_TRUE(Child<QMenu>(*R->W, "menuSetting")->menuAction()->isEnabled());
    EXPECT_TRUE(Child<QAction>(*R->W, "menuAdvanced")->isEnabled());

    ASSERT_TRUE(R->Send(QStringLiteral("plug")));
    EXPECT_TRUE(R->WaitFor([this] { return R->W->IsOnline(); }, 20000)) << "the port was never reopened";
    EXPECT_EQ(R->W->PanelText(2), kOnlinePanel);
    EXPECT_EQ(R->Seen.texts(), QStringList{kOffline}) << "coming back is silent";
    // The stop the run sent went nowhere: the box is stopped when found again.
    EXPECT_TRUE(R->FirstCommand(R->Control(QStringLiteral("plug")), 0xF1).Found());
    EXPECT_TRUE(R->BoxIdle());
    EXPECT_TRUE(R->RunToBreak(QStringLiteral("C2")));
}

// The cable pulled between runs and put back: the replugged adapter is a new
// device behind the same port; the program reopens it by itself.
TEST_F(FaultTable, CableUnpluggedBetweenRunsAndPluggedBack)
{
    // With a group under way (the last case leaves one).
    if (!R->W->Run().GroupActive()) {
        ASSERT_TRUE(R->RunToBreak(QStringLiteral("U0")));
    }
    R->Seen.clear();
    R->Seen.LinkPanels.clear();
    ASSERT_TRUE(R->Send(QStringLiteral("unplug")));
    R->Folder.LinkToNowhere(1);
    ASSERT_TRUE(R->WaitFor([this] { return !R->Seen.texts().isEmpty(); }, 30000));
    EXPECT_EQ(R->Seen.texts(), QStringList{kOffline});
    EXPECT_EQ(R->Seen.LinkPanels, QStringList{kOfflinePanel});
    EXPECT_FALSE(R->RunButton()->isEnabled());
    EXPECT_TRUE(Child<QMenu>(*R->W, "menuSetting")->menuAction()->isEnabled()) << "settings reachable off line";

    ASSERT_TRUE(R->Send(QStringLiteral("plug")));
    EXPECT_TRUE(R->WaitFor([this] { return R->W->IsOnline(); }, 20000)) << "the port was never reopened";
    EXPECT_EQ(R->W->PanelText(2), kOnlinePanel);
    EXPECT_EQ(R->Seen.texts(), QStringList{kOffline}) << "coming back is silent";
    EXPECT_FALSE(Child<QMenu>(*R->W, "menuSetting")->menuAction()->isEnabled()) << "on line a group keeps it closed";
    EXPECT_TRUE(R->RunToBreak(QStringLiteral("U1")));
}

// A box that restarts while the second specimen of a group loads: the
// specimen is lost, the group goes on with it as after a stop.
TEST_F(FaultTable, BoxResetMidRun)
{
    ASSERT_TRUE(R->RunToBreak(QStringLiteral("R1")));
    Stored = R->Probe->Forces.size();
    ASSERT_TRUE(R->Start(QString()));
    ASSERT_TRUE(Loaded(3000.0f));
    ASSERT_TRUE(R->Send(QStringLiteral("reset")));
    ExpectEnded({QStringLiteral("控制器通讯中断后恢复,控制器可能已复位,本次加载无效,试验已停止!")}, false);
    EXPECT_EQ(R->Probe->FCurrent, 2);
    // The first frame after the restart shows it.
    const auto shown = R->FirstFrame(R->Control(QStringLiteral("reset")), [](const simtest::TStatus &) { return true; });
    EXPECT_LE(R->StopDelay(shown), kOneSampleMs);
    EXPECT_TRUE(R->RunToBreak(QString())) << "the group goes on";
    EXPECT_EQ(R->Probe->FCurrent, 3);
}
