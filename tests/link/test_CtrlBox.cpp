// The driver base and the six models: calibration conversions, overload
// checks, the differences between the models, port settings in the database,
// the parameter-set hook and the run fields.
#include "LinkTestSupport.h"

#include "link/BoxFrames.h"
#include "store/DataModule.h"
#include "Clock.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace linktest;
using kv::TCtrlBox;

namespace {

void SetTable(TCtrlBox &b, std::initializer_list<int> codes, std::initializer_list<int> values)
{
    b.FLoadCode.fill(0);
    b.FLoadValue.fill(0);
    int i = 0;
    for (int c : codes)
        b.FLoadCode[i++] = c;
    i = 0;
    for (int v : values)
        b.FLoadValue[i++] = v;
}

} // namespace

TEST(Calibration, RunThatStopsIncreasingUsesOnlyItsFirstNodes)
{
    kv::TKVD510 b;
    // Codes stop increasing at point 4: n = 2, nodes P0, P1, P2.
    SetTable(b, {1000, 2000, 3000, 2500}, {10000, 21000, 30000, 40000});
    EXPECT_FLOAT_EQ(b.CodeToForce(1500), 15500.0f);
    EXPECT_FLOAT_EQ(b.CodeToForce(2500), 26500.0f);  // beyond P2: P1..P2 extended, P3 unused
    EXPECT_FLOAT_EQ(b.CodeToForce(500), 4500.0f);    // below P1: P1..P2 extended downwards
    EXPECT_FLOAT_EQ(b.CodeToForce(-1500), -15500.0f);
    EXPECT_EQ(b.ForceToCode(5000.0f), 500);          // below P1: origin..P1
    EXPECT_EQ(b.ForceToCode(15500.0f), 1500);
    EXPECT_EQ(b.ForceToCode(26500.0f), 2500);
    EXPECT_EQ(b.ForceToCode(-5000.0f), -500);
    EXPECT_FLOAT_EQ(b.CodeToForce(0), 4500.0f - 5500.0f); // the extended segment crosses below zero

    // A full increasing table: the twelfth point only closes the run.
    SetTable(b, {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 11000, 12000},
             {10000, 20000, 30000, 40000, 50000, 60000, 70000, 80000, 90000, 100000, 110000, 999999});
    EXPECT_FLOAT_EQ(b.CodeToForce(11500), 115000.0f);
    EXPECT_FLOAT_EQ(b.CodeToForce(4500), 45000.0f);
    EXPECT_EQ(b.ForceToCode(115000.0f), 11500);
}

TEST(Calibration, ShortTablesAndDegenerateFirstPoints)
{
    kv::TKVD300 b;
    // n = 0: a straight line through the origin and P1.
    SetTable(b, {1000, 500}, {2000, 4000});
    EXPECT_FLOAT_EQ(b.CodeToForce(300), 600.0f);
    EXPECT_FLOAT_EQ(b.CodeToForce(-300), -600.0f);
    EXPECT_EQ(b.ForceToCode(600.0f), 300);
    SetTable(b, {1000}, {0});
    EXPECT_FLOAT_EQ(b.CodeToForce(300), 0.0f);
    EXPECT_EQ(b.ForceToCode(600.0f), 0);
    SetTable(b, {0}, {2000});
    EXPECT_FLOAT_EQ(b.CodeToForce(300), 0.0f);
    EXPECT_EQ(b.ForceToCode(600.0f), 0);
    SetTable(b, {}, {});
    EXPECT_FLOAT_EQ(b.CodeToForce(12345), 0.0f);

    // n = 1: below P1 the code gives 0, the force interpolates from the origin.
    SetTable(b, {1000, 2000, 1500}, {10000, 20000, 25000});
    EXPECT_FLOAT_EQ(b.CodeToForce(500), 0.0f);
    EXPECT_FLOAT_EQ(b.CodeToForce(1500), 15000.0f);
    EXPECT_EQ(b.ForceToCode(5000.0f), 500);
    EXPECT_EQ(b.ForceToCode(15000.0f), 1500);
    // n = 1 with P1 at the origin: no usable segment.
    SetTable(b, {0, 1000}, {0, 10000});
    EXPECT_FLOAT_EQ(b.CodeToForce(500), 0.0f);
    EXPECT_EQ(b.ForceToCode(500.0f), 0);

    // Rounding halves to even, the sign applied afterwards.
    SetTable(b, {1}, {2});
    EXPECT_EQ(b.ForceToCode(1.0f), 0);
    EXPECT_EQ(b.ForceToCode(3.0f), 2);
    EXPECT_EQ(b.ForceToCode(5.0f), 2);
    EXPECT_EQ(b.ForceToCode(-3.0f), -2);
}

TEST(Overload, BaseLimitAndTheOtherChannelChecks)
{
    kv::TKVD510 b;
    SetTable(b, {100000}, {100000}); // one code per newton
    b.FMaxLoad = 100000;
    QString msg;
    b.ForceCode = 102000;
    EXPECT_FALSE(b.CheckOverload(msg)); // exactly 1.02 x maximum
    EXPECT_TRUE(msg.isEmpty());
    b.ForceCode = 102001;
    EXPECT_TRUE(b.CheckOverload(msg));
    EXPECT_EQ(msg, QStringLiteral("当前力值已经超过选择的最大力值，请等工作台复位后继续试验！."));
    b.ForceCode = -102001; // a negative force is below the limit
    EXPECT_FALSE(b.CheckOverload(msg));

    // Sensor cables swapped: the flexural channel is loaded at zero force.
    b.ForceCode = 0;
    b.FCheckKZ = 1;
    b.FKZThreshold = 2000;
    b.SecondCode = 2000;
    EXPECT_FALSE(b.CheckOverload(msg));
    b.SecondCode = 2001;
    msg.clear();
    EXPECT_TRUE(b.CheckOverload(msg));
    EXPECT_EQ(msg, QStringLiteral("超过抗折保护力码阈值，请检查抗折、抗压传感器线有无插反!"));
    b.FCheckKZ = 0;
    EXPECT_FALSE(b.CheckOverload(msg));

    kv::TKVD520_DJ f;
    SetTable(f, {100000}, {100000});
    f.FMaxLoad = 10000;
    f.FCheckKY = 1;
    f.FKYTHreshold = 2000;
    f.SecondCode = 5000;
    EXPECT_TRUE(f.CheckOverload(msg));
    EXPECT_EQ(msg, QStringLiteral("超过抗压保护力码阈值，请检查抗折、抗压传感器线有无插反!"));
    f.ForceCode = 20000; // the base check speaks first
    EXPECT_TRUE(f.CheckOverload(msg));
    EXPECT_TRUE(msg.startsWith(QStringLiteral("当前力值")));

    kv::TKVD300_DJ s; // keeps its second code but checks nothing with it
    s.FMaxLoad = 10;
    s.FCheckKZ = 1;
    s.SecondCode = 999999;
    EXPECT_FALSE(s.CheckOverload(msg));
}

TEST(Models, WhatEachModelSendsAndReports)
{
    struct Case {
        int type;
        const char *key;
        const char *settings;
        int kind;
        QList<int> activate, deactivate;
        int zero, run, compare;
    };
    const Case cases[] = {
        {0, "KVD300", "9600,n,8,1", 1, {0xF1}, {}, 0xF2, 0xF0, 0},
        {1, "KVD510", "19200,n,8,1", 2, {0xF1, 0xD4}, {0xD4}, 0xF2, 0xF0, 1},
        {2, "KVD520", "19200,n,8,1", 4, {0xF1, 0xD3}, {0xD4}, 0xE2, 0xE0, 0},
        {3, "KVD300_DJ", "19200,n,8,1", 1, {0xF1}, {}, 0xF2, 0xF0, 0},
        {4, "KVD510_DJ", "19200,n,8,1", 2, {0xF1, 0xD4}, {0xD4}, 0xF2, 0xF0, 1},
        {5, "KVD520_DJ", "19200,n,8,1", 4, {0xF1, 0xD3}, {0xD4}, 0xE2, 0xE0, 0},
    };
    kv::TVirtualClock clock;
    kv::TClockGuard guard(&clock);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        std::shared_ptr<TLineState> line;
        auto b = ScriptedBox(c.type, line);
        EXPECT_EQ(QString::fromLatin1(b->Model().Key), QLatin1String(c.key));
        EXPECT_EQ(b->Model().MachineType, c.type);
        EXPECT_EQ(b->ModelKind(), c.kind);
        EXPECT_EQ(b->Settings, QLatin1String(c.settings));
        EXPECT_EQ(line->Settings, QLatin1String(c.settings));
        EXPECT_EQ(b->CommPort, 1);
        EXPECT_EQ(b->ParamDiffCount, -1);
        b->Activate();
        EXPECT_EQ(line->Bytes(), c.activate);
        line->Clear();
        b->Deactivate();
        EXPECT_EQ(line->Bytes(), c.deactivate);
        line->Clear();
        b->ClearZero();
        b->Command(1);
        EXPECT_EQ(line->Bytes(), (QList<int>{c.zero, c.run}));
        EXPECT_EQ(b->CompareParams(), c.compare);
    }
    EXPECT_THROW(kv::CreateCtrlBox(6), kv::EAssertion);
    EXPECT_THROW(kv::BoxModel(-1), kv::EAssertion);
}

TEST(Models, JudgeFlagsAreTheMaskBits)
{
    EXPECT_EQ(kv::JudgeMaskToFlags(4), (kv::TJudgeFlags{true, false, false}));
    EXPECT_EQ(kv::JudgeMaskToFlags(3), (kv::TJudgeFlags{false, true, true}));
    EXPECT_EQ(kv::JudgeMaskToFlags(8 | 2), (kv::TJudgeFlags{false, true, false}));
    for (int m = 0; m < 8; ++m)
        EXPECT_EQ(kv::JudgeFlagsToMask(kv::JudgeMaskToFlags(m)), m);
}

namespace {

struct TDbRig {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    std::unique_ptr<kv::TZovData> Data = std::make_unique<kv::TZovData>(Db.path);
    kv::TVirtualClock Clock;
    kv::TClockGuard Guard{&Clock};
    std::shared_ptr<TLineState> Line = std::make_shared<TLineState>();
    TDbRig() { kv::SetZovData(Data.get()); }
    ~TDbRig() { kv::SetZovData(nullptr); }
    void Sql(const QString &s) { ASSERT_TRUE(Data->ExecSql(s)) << s.toStdString(); }
    std::unique_ptr<TCtrlBox> Box(int type)
    {
        auto b = kv::CreateCtrlBox(type);
        auto s = Line;
        b->SetSerialFactory([s] { return std::make_unique<TScriptedLine>(s); });
        return b;
    }
    QStringList Values(const char *key, const char *name)
    {
        QStringList out;
        const auto rows = Data->Open(QStringLiteral("select * from CtrlBoxSaveItems where CtrlBox = '%1' and Name = '%2'")
                          .arg(QLatin1String(key), QLatin1String(name)));
        for (rows->first(); !rows->eof(); rows->next())
            out << rows->fieldByName(QStringLiteral("Value")).asString();
        return out;
    }
};

} // namespace

TEST(PortSettings, StoredRowsAreReadBackAndWritten)
{
    TDbRig r;
    auto b = r.Box(2);
    EXPECT_FALSE(b->Finish()); // never initialised: nothing stored
    EXPECT_TRUE(r.Values("KVD520", "CommPort").isEmpty());

    ASSERT_TRUE(b->Init());
    EXPECT_EQ(b->CommPort, 1);
    EXPECT_EQ(b->Settings, QStringLiteral("19200,n,8,1"));
    b->CommPort = 7;
    b->Settings = QStringLiteral("9600,e,7,2");
    EXPECT_TRUE(b->Finish());
    EXPECT_EQ(r.Values("KVD520", "CommPort"), QStringList{QStringLiteral("7")});
    EXPECT_EQ(r.Values("KVD520", "Settings"), QStringList{QStringLiteral("9600,e,7,2")});

    // Read back by a new instance; another model's rows stay apart.
    auto again = r.Box(2);
    again->Init();
    EXPECT_EQ(again->CommPort, 7);
    EXPECT_EQ(again->Settings, QStringLiteral("9600,e,7,2"));
    auto other = r.Box(1);
    other->Init();
    EXPECT_EQ(other->CommPort, 1);
    // The edit changes the one row rather than adding one.
    again->CommPort = 3;
    again->Finish();
    EXPECT_EQ(r.Values("KVD520", "CommPort"), QStringList{QStringLiteral("3")});
}

TEST(PortSettings, UnusableRowsKeepTheDefaults)
{
    TDbRig r;
    for (const char *port : {"0", "-4", "x"}) {
        r.Sql(QStringLiteral("delete from CtrlBoxSaveItems"));
        r.Sql(QStringLiteral("insert into CtrlBoxSaveItems (CtrlBox, Name, [Value]) values ('KVD300','CommPort','%1')")
                  .arg(QLatin1String(port)));
        r.Sql(QStringLiteral("insert into CtrlBoxSaveItems (CtrlBox, Name, [Value]) values ('KVD300','Settings','')"));
        auto b = r.Box(0);
        b->Init();
        EXPECT_EQ(b->CommPort, 1) << port;
        EXPECT_EQ(b->Settings, QStringLiteral("9600,n,8,1"));
    }

    // Two rows are not exactly one: ignored on Init, a third row on Finish.
    r.Sql(QStringLiteral("delete from CtrlBoxSaveItems"));
    for (const char *port : {"3", "5"})
        r.Sql(QStringLiteral("insert into CtrlBoxSaveItems (CtrlBox, Name, [Value]) values ('KVD510_DJ','CommPort','%1')")
                  .arg(QLatin1String(port)));
    auto b = r.Box(4);
    b->Init();
    EXPECT_EQ(b->CommPort, 1);
    b->Finish();
    EXPECT_EQ(r.Values("KVD510_DJ", "CommPort").size(), 3);
}

namespace {

struct TFakeParams : kv::TCtrlParamSet {
    QStringList *Log;
    TCtrlBox *Box;
    TFakeParams(QStringList *log, TCtrlBox *box) : Log(log), Box(box) {}
    void LoadParams() override { *Log << QStringLiteral("Load:%1").arg(Box->CommPort); }
    void SaveParams() override { *Log << QStringLiteral("Save"); }
    int CompareParams() override { *Log << QStringLiteral("Compare"); return 3; }
    void UseSoftwareParams() override { *Log << QStringLiteral("UseSoftware"); }
    void RevertParams() override { *Log << QStringLiteral("Revert"); }
    void UseBoxParams() override { *Log << QStringLiteral("UseBox"); Box->ParamDiffCount = 0; }
};

} // namespace

TEST(ParameterSetHook, EveryModelCreatesAndDrivesItsSet)
{
    TDbRig r;
    r.Sql(QStringLiteral("insert into CtrlBoxSaveItems (CtrlBox, Name, [Value]) values ('KVD510','CommPort','2')"));
    QStringList log;
    TCtrlBox::SetParamSetFactory([&log](TCtrlBox &box) { return std::make_unique<TFakeParams>(&log, &box); });
    auto b = r.Box(1);
    b->Init();
    ASSERT_NE(b->ParamSet(), nullptr);
    EXPECT_EQ(log, QStringList{QStringLiteral("Load:2")}); // after the port settings were read
    EXPECT_EQ(b->ParamDiffCount, -1);
    EXPECT_EQ(b->CompareParams(), 1);
    EXPECT_EQ(b->ParamDiffCount, 3);
    b->UseBoxParams();
    EXPECT_EQ(b->ParamDiffCount, 0);
    b->SaveParams();
    b->UseSoftwareParams();
    b->RevertParams();
    EXPECT_EQ(b->ShowParams(), nullptr);
    EXPECT_EQ(log, (QStringList{QStringLiteral("Load:2"), QStringLiteral("Compare"), QStringLiteral("UseBox"),
                                QStringLiteral("Save"), QStringLiteral("UseSoftware"), QStringLiteral("Revert")}));
    TCtrlBox::SetParamSetFactory(nullptr);
    auto plain = r.Box(1);
    plain->Init();
    EXPECT_EQ(plain->ParamSet(), nullptr);
    EXPECT_EQ(plain->CompareParams(), 1);
    EXPECT_EQ(plain->ParamDiffCount, -1);
}

TEST(RunFields, ValveStartReductionFollowsTheTimeSinceTheLastRun)
{
    kv::TKVD510 b;
    const QDateTime now = QDateTime::fromString(QStringLiteral("2024-05-01T10:00:00"), Qt::ISODate);
    b.CoolMaxTime = 60;
    b.CoolMaxReduction = 300;
    b.CoolEachReduction = 50;
    b.CoolReduction = 400;
    b.LastRunTime = now.addSecs(-2 * 60);
    b.RecomputeCoolReduction(now);
    EXPECT_EQ(b.CoolReduction, 450); // a run right after the last one
    b.LastRunTime = now.addSecs(-35 * 60);
    b.RecomputeCoolReduction(now);
    EXPECT_EQ(b.CoolReduction, 300); // 450 - 30 x 300 / 60
    b.LastRunTime = now.addSecs(-61 * 60);
    b.RecomputeCoolReduction(now);
    EXPECT_EQ(b.CoolReduction, 0);

    // Saved twins at exit, back in place at the next first show.
    b.CoolReduction = 120;
    b.LastRunTime = now.addSecs(-60);
    b.SaveRunState();
    kv::TKVD510 next;
    next.CoolMaxTime = 60;
    next.CoolEachReduction = 50;
    next.SavedCoolReduction = b.SavedCoolReduction;
    next.SavedLastRunTime = b.SavedLastRunTime;
    next.ResetRunFields(now);
    EXPECT_EQ(next.CoolReduction, 170);

    // Without working values (never set by the program) there is no reduction.
    kv::TKVD300 plain;
    plain.CoolReduction = 80;
    plain.ResetRunFields(now);
    EXPECT_EQ(plain.CoolReduction, 0);
}
