// A whole CemComp group on the simulated box with the program on the test
// PostgreSQL server: every specimen and the group's result stored there.
#include "../run/SimRunRig.h"

#include "PgCluster.h"
#include "store/DbTransfer.h"

#include <QComboBox>
#include <QLineEdit>

using kvtest::TPgCluster;

namespace {

// The rig's window, its data module on the server (filled from the rig's
// file, which holds the machine type).
void ShowOnServer(runtest::TSimRunRig &rig, const kv::db::TDbServer &server)
{
    {
        kv::db::TDbConnection c;
        c.openServer(server);
        ASSERT_TRUE(kv::FillEmptyServerDatabase(c, rig.Db.path));
    }
    kv::TMeasureEnv env;
    env.ProgramDir = rig.Folder.Path();
    env.Data = std::make_unique<kv::TZovData>(server);
    kv::SetZovData(env.Data.get());
    env.Steps = rig.Steps;
    rig.W = std::make_unique<kv::TfrmMeasure>(std::move(env));
    rig.W->show();
}

template <class T> T *Control(runtest::TSimRunRig &rig, const char *name)
{
    return rig.W->ParamForm() ? rig.W->ParamForm()->findChild<T *>(QLatin1String(name)) : nullptr;
}

} // namespace

TEST(CemCompOnServer, SixSpecimenGroupOnTheSimulatorStoredOnTheServer)
{
    KV_REQUIRE_PG();
    const kv::db::TDbServer server = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
    runtest::TSimRunRig rig(0, QStringLiteral("CemComp")); // KVD300
    linktest::TSim sim(rig.Folder, QStringLiteral("KVD300"), 1);
    ASSERT_TRUE(sim.WaitReady());
    ASSERT_TRUE(sim.Ok(QStringLiteral("strength 64000 65000 63000 64500 63500 48000")));
    ShowOnServer(rig, server);
    ASSERT_NE(rig.W, nullptr);
    ASSERT_TRUE(rig.Box->IsOnline());
    ASSERT_NE(rig.W->MyFunction()->CurrentTest(), nullptr);
    rig.UseForceDropJudgement();
    Control<QLineEdit>(rig, "edtGroupNo")->setText(QStringLiteral("PG'1"));
    Control<QComboBox>(rig, "cbSize")->setCurrentText(QStringLiteral("40*40"));
    Control<QComboBox>(rig, "cbRate")->setCurrentText(QStringLiteral("5.0"));
    Control<QComboBox>(rig, "cbCount")->setCurrentText(QStringLiteral("6"));
    Control<QComboBox>(rig, "cbMode")->setCurrentIndex(0);
    rig.Messages.clear();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(rig.RunOneSpecimen());
        rig.WaitFor([&] { return rig.Box->ReadForce() < 10000; }, 5000);
    }
    EXPECT_FALSE(rig.W->Run().GroupActive());
    rig.W->grab().save(QStringLiteral("/tmp/kv_cemcomp_on_server.png"));

    kv::db::TDbConnection c;
    c.openServer(server);
    kv::db::TDbQuery q(c);
    q.setSql(QStringLiteral("select OnekN, ShunXu from CemCompGROne where ZuHao = 'PG''1' order by ShunXu"));
    q.open();
    ASSERT_EQ(q.recordCount(), 6);
    const double strengths[6] = {64000, 65000, 63000, 64500, 63500, 48000};
    for (int i = 0; i < 6; ++i) {
        q.moveTo(i);
        EXPECT_NEAR(q.fieldByName(QStringLiteral("OnekN")).asFloat(), strengths[i], 1000.0) << i;
    }
    q.setSql(QStringLiteral("select GroNum, SelectGroNum, GroMPa from CemCompGroup where ZuHao = 'pg''1'"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(QStringLiteral("GroNum")).asInteger(), 6);
    EXPECT_EQ(q.fieldByName(QStringLiteral("SelectGroNum")).asInteger(), 6);
    EXPECT_FALSE(q.fieldByName(QStringLiteral("GroMPa")).asString().isEmpty());
}
