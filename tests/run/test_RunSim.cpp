// A whole group on the simulated box over a pseudo-terminal, in real time:
// the sampling thread talks to the box, the window follows on its own thread.
#include "RunTestSupport.h"
#include "SimRunRig.h"

#include <QScatterSeries>

using namespace kv;
using linktest::TSim;
using kvtest::Child;

namespace {

// The run sequence on the simulator with a probe test in the test list.
struct TSimRig : runtest::TSimRunRig {
    runtest::TProbeTest *Probe = nullptr;

    TSimRig() : TSimRunRig(1) {} // KVD510

    void Show()
    {
        TSimRunRig::Show();
        auto probe = std::make_unique<runtest::TProbeTest>();
        Probe = probe.get();
        W->MyFunction()->AddTest(QStringLiteral("Probe"), std::move(probe));
        W->MyFunction()->SetCurrentIndex(0);
        W->EnableAllButton();
    }
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
    rig.UseForceDropJudgement();
    rig.Messages.clear();

    const QScatterSeries *peakMark = rig.W->PeakMarkSeries();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(rig.RunOneSpecimen());
        ASSERT_EQ(rig.Probe->Forces.size(), i + 1);
        // Within one 20 ms frame of loading at 2400 N/s, plus the box's noise.
        EXPECT_NEAR(rig.Probe->Forces[i], strengths[i] - 24.0, 60.0);
        EXPECT_EQ(peakMark->count(), 1);
        // The box unloads: the idle force the status timer reads falls away.
        EXPECT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() < 0.2f * strengths[i]; }, 5000));
    }
    EXPECT_EQ(rig.Probe->EndGroups, 1);
    EXPECT_FALSE(rig.W->Run().GroupActive());
    const QString file = CurveFilePath(*rig.Probe, rig.W->GlbParam()->OutFileDir);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(ReadCurveFile(file, i).size(), 10u) << i;

    // The next group: the cable is pulled during the first specimen.
    rig.Probe->FGroupNo = QStringLiteral("G2");
    Child<QPushButton>(*rig.W, "btnRun")->click();
    ASSERT_TRUE(rig.W->Run().Active());
    EXPECT_EQ(peakMark->count(), 0) << "a new run starts without the last peak mark";
    EXPECT_FALSE(peakMark->pointLabelsVisible());
    ASSERT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() > 3000.0f; }, 30000));
    ASSERT_TRUE(sim.Send(QStringLiteral("unplug")).endsWith(QStringLiteral("ok\n")));
    rig.Folder.LinkToNowhere(1); // the program reopens the port now and then
    ASSERT_TRUE(rig.WaitFor([&] { return rig.RunOver(); }, 30000));
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.Messages.texts().isEmpty(); }, 5000));
    EXPECT_EQ(rig.Messages.texts(), QStringList{QStringLiteral("无法联系控制器,系统无法正常运行,请检查控制器是否打开!")});
    EXPECT_FALSE(rig.W->Run().GroupActive());
    EXPECT_EQ(rig.Probe->EndGroups, 2);
    EXPECT_EQ(rig.Probe->Forces.size(), 3);
}

TEST(RunOnSimulator, APrismFailingBelowTheStartJudgeForceEndsByItself)
{
    TSimRig rig;
    TSim sim(rig.Folder, QStringLiteral("KVD510"), 1);
    ASSERT_TRUE(sim.WaitReady());
    ASSERT_TRUE(sim.Send(QStringLiteral("strength 48000")).endsWith(QStringLiteral("ok\n")));
    rig.Show();
    ASSERT_TRUE(rig.Box->IsOnline());
    rig.UseForceDropJudgement();
    rig.Box->FStartJudge = 60000;
    rig.Box->FCantLoadTime = 2;
    rig.Probe->FSpeed = 6000.0f;
    rig.Messages.clear();

    Child<QPushButton>(*rig.W, "btnRun")->click();
    ASSERT_TRUE(rig.W->Run().Active());
    ASSERT_TRUE(rig.WaitFor([&] { return rig.RunOver(); }, 60000)) << "the run never ended";
    ASSERT_TRUE(rig.WaitFor([&] { return !rig.Messages.texts().isEmpty(); }, 5000));
    EXPECT_TRUE(rig.Messages.texts().value(0).contains(QStringLiteral("破碎起判力值以下")))
        << rig.Messages.texts().join(';').toStdString();
    EXPECT_TRUE(rig.Probe->Forces.isEmpty());
    EXPECT_EQ(rig.Probe->EndGroups, 1) << "the first specimen's group is closed";
    EXPECT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() < 1000.0f; }, 10000)) << "the box unloads";
}
