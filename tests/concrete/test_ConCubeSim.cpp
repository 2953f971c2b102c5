// End to end: a ConCube group of three 150 mm cubes on the simulated box over
// a pseudo-terminal, in real time, through the program's module host and run
// sequence. The load rate the box is given comes from the stress rate, and
// what is stored and shown is the median rule over the strengths the box
// broke at.
#include "../run/SimRunRig.h"

#include "ConcreteRules.h"
#include "CurveFile.h"
#include "GroupResult.h"
#include "SqlText.h"
#include "TestSupport.h"
#include "host/TestList.h"
#include "ui/main/MainWindow.h"
#include "host/ModuleHost.h"
#include "run/SpecimenCurve.h"
#include "db/DbEngine.h"
#include "link/SerialPort.h"
#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "run/RunSequence.h"
#include "store/DataModule.h"
#include "MessageService.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace kv;
using linktest::TSim;

namespace {

// A program folder with the shipped ConCube module, a fresh database set to
// a KVD300 machine, and the main window on the simulator's port.
struct TConCubeRig : runtest::TSimRunRig {
    TConCubeRig() : TSimRunRig(0, QStringLiteral("ConCube")) {}
    // The combo box of the parameter form that offers item.
    QComboBox *ComboWith(const QString &item)
    {
        if (!W->ParamForm())
            return nullptr;
        for (QComboBox *box : W->ParamForm()->findChildren<QComboBox *>())
            if (box->findText(item) >= 0)
                return box;
        return nullptr;
    }
};

} // namespace

TEST(ConCubeOnSimulator, GroupOfThreeCubes)
{
    TConCubeRig rig;
    TSim sim(rig.Folder, QStringLiteral("KVD300"), 1);
    ASSERT_TRUE(sim.WaitReady());
    // Cubes of 150 mm near 1.8, 1.9 and 2.7 MPa: the third is far above.
    const double breaks[3] = {40000, 42000, 60000};
    ASSERT_TRUE(sim.Ok(QStringLiteral("strength 40000 42000 60000")));
    rig.Show();
    ASSERT_TRUE(rig.Box->IsOnline());
    TBaseTest *test = rig.W->MyFunction()->CurrentTest();
    ASSERT_NE(test, nullptr);
    ASSERT_EQ(test->FTestName, QStringLiteral("普通混凝土抗压"));
    rig.UseForceDropJudgement();
    // The 2000 kN frame starts judging at 40 kN; these small cubes begin at 5 kN.
    rig.Box->FForcedLoad = 5000;

    // The defaults: group "2008", C60, the 150 mm cube (coefficient 1),
    // three specimens; single tests at 0.3 MPa/s here.
    QComboBox *mode = rig.ComboWith(QStringLiteral("单独试验"));
    QComboBox *rate = rig.ComboWith(QStringLiteral("0.3"));
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(rate, nullptr);
    mode->setCurrentIndex(0);
    rate->setCurrentText(QStringLiteral("0.3"));
    rig.Messages.clear();

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(rig.RunOneSpecimen());
        // 0.3 MPa/s on 150 × 150 mm², as the box was given it
        EXPECT_FLOAT_EQ(test->FSpeed, 6750.0f);
        EXPECT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() < 0.2 * breaks[i]; }, 5000));
    }
    EXPECT_FALSE(rig.W->Run().GroupActive());
    EXPECT_EQ(test->FCurrent, 1);

    db::TDbConnection conn;
    conn.open(rig.Db.path);
    db::TDbQuery q(conn);
    q.setSql(QStringLiteral("select * from ConCubeOne where ZuHao = '2008' order by ShunXu"));
    q.open();
    ASSERT_EQ(q.recordCount(), 3);
    std::vector<float> forces, mpa;
    for (int i = 0; i < 3; ++i) {
        q.moveTo(i);
        const double n = q.fieldByName(QStringLiteral("OnekN")).asFloat();
        EXPECT_NEAR(n, breaks[i], 1500.0) << i; // within a sample at 6.75 kN/s plus noise
        EXPECT_EQ(q.fieldByName(QStringLiteral("LenAv")).asString(), "150.0");
        EXPECT_EQ(q.fieldByName(QStringLiteral("XiShu")).asString(), "1");
        forces.push_back(fw::ShownValue(n / 1000.0, 2));
        mpa.push_back(fw::ShownValue(n / 22500.0, 1));
    }
    const fw::TRuleResult fr = con::MedianRule(forces);
    const fw::TRuleResult sr = con::MedianRule(mpa);
    EXPECT_EQ(sr.Marked, std::vector<int>{2});
    EXPECT_FALSE(sr.Invalid);
    q.setSql(QStringLiteral("select * from ConCubeGroup where ZuHao = '2008'"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(QStringLiteral("GroMPa")).asString(), fw::StrengthResultText(sr, 3));
    EXPECT_EQ(q.fieldByName(QStringLiteral("GrokN")).asString(), fw::ForceResultText(fr, 3));
    EXPECT_EQ(q.fieldByName(QStringLiteral("SelectGroNum")).asInteger(), 3);
    EXPECT_EQ(q.fieldByName(QStringLiteral("Speed")).asString(), "0.3");
    EXPECT_EQ(q.fieldByName(QStringLiteral("PingZhong")).asString(), "C60");
    EXPECT_EQ(q.fieldByName(QStringLiteral("SpecialShape")).asInteger(), 0);
    EXPECT_EQ(test->FGroupResultStrength, fw::StrengthResultText(sr, 3));
    auto *grid = rig.W->ParamForm()->findChild<QTableWidget *>(QStringLiteral("sgResult"));
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->item(3, 1)->text().startsWith(QLatin1Char('*')));
    EXPECT_EQ(grid->item(5, 2)->text(), fw::StrengthResultText(sr, 3));
    const QString curves = CurveFilePath(*test, rig.W->GlbParam()->OutFileDir);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(ReadCurveFile(curves, i).size(), 5u) << i;
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    if (!shots.isEmpty())
        rig.W->grab().save(QDir(shots).filePath(QStringLiteral("ConCube_e2e.png")));
}
