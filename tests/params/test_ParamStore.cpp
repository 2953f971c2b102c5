// The parameter set in CtrlBoxSaveItems: first-run defaults, each family's
// stored names, unreadable values, and the save / load round trip.
#include "link/ParamSet.h"
#include "store/DataModule.h"

#include "TestSupport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <map>

using kv::TBaseParams;
using kv::TCtrlBox;

void PrintTo(const QString &s, std::ostream *os);

namespace {

class ParamStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh = kvtest::FreshDatabase();
        zov = std::make_unique<kv::TZovData>(fresh.path);
    }

    struct TSet {
        std::unique_ptr<TCtrlBox> box;
        std::unique_ptr<TBaseParams> params;
    };
    // A fresh driver of the model (fields zero) and its parameter set on the
    // test database.
    TSet Make(int type)
    {
        TSet s;
        s.box = kv::CreateCtrlBox(type);
        s.params = std::make_unique<TBaseParams>(*s.box, &zov->conZovDb);
        return s;
    }
    void Raw(const QString &sql)
    {
        QSqlQuery q(zov->conZovDb.database());
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << " " << sql.toStdString();
    }
    // Removes every row of a model: the state before its first run.
    void Forget(const char *key) { Raw(QStringLiteral("delete from CtrlBoxSaveItems where CtrlBox = '%1'").arg(key)); }
    void Row(const char *key, const char *name, const char *value)
    {
        Raw(QStringLiteral("insert into CtrlBoxSaveItems (CtrlBox, Name, Value) values ('%1', '%2', '%3')")
                .arg(key, name, value));
    }
    // Name -> value of the model's rows (names as stored).
    std::multimap<QString, QString> Rows(const char *key)
    {
        std::multimap<QString, QString> rows;
        QSqlQuery q(zov->conZovDb.database());
        q.exec(QStringLiteral("select Name, Value from CtrlBoxSaveItems where CtrlBox = '%1'").arg(key));
        while (q.next())
            rows.emplace(q.value(0).toString(), q.value(1).toString());
        return rows;
    }

    kvtest::TFreshDb fresh;
    std::unique_ptr<kv::TZovData> zov;
};

} // namespace

TEST_F(ParamStore, FirstRunStoresTheDefaultsAndLeavesTheRestAtZero)
{
    Forget("KVD510");
    TSet s = Make(1);
    s.params->LoadParams();
    const auto rows = Rows("KVD510");
    const std::multimap<QString, QString> expected{
        {"IsInit", "1"}, {"FJudgeMethod", "4"}, {"FUseProtect", "1"}, {"FJudgeLoadPointType", "1"}};
    EXPECT_EQ(rows, expected);
    for (int i = 0; i < s.params->Count(); ++i) {
        const QString name = QString::fromLatin1(s.params->Item(i).Def->Name);
        const auto it = expected.find(name);
        EXPECT_EQ(s.params->Value(i), it == expected.end() ? 0 : it->second.toInt()) << name.toStdString();
    }
    EXPECT_EQ(s.box->FJudgeFlags, (kv::TJudgeFlags{true, false, false}));

    // The next start finds the model initialised and adds nothing.
    TSet again = Make(1);
    again.params->LoadParams();
    EXPECT_EQ(Rows("KVD510"), expected);
}

TEST_F(ParamStore, MissingRowsKeepTheirValueButTheBreakMethodBecomesForce)
{
    Forget("KVD520");
    Row("KVD520", "IsInit", "1");
    Row("KVD520", "FJudgeMethod", "2");
    TSet s = Make(2);
    s.box->FValveInit = 123;
    s.params->LoadParams();
    EXPECT_EQ(s.box->FJudgeMethod, 2) << "an initialised model keeps its stored method";
    EXPECT_EQ(s.box->FValveInit, 123);
    EXPECT_TRUE(s.box->FJudgeFlags.Speed);

    Raw("delete from CtrlBoxSaveItems where CtrlBox = 'KVD520' and Name = 'FJudgeMethod'");
    s.params->LoadParams();
    EXPECT_EQ(s.box->FJudgeMethod, 4);
    EXPECT_EQ(s.box->FJudgeFlags, (kv::TJudgeFlags{true, false, false}));
    EXPECT_EQ(Rows("KVD520").count("FJudgeMethod"), 0u) << "loading never writes the missing row";
}

TEST_F(ParamStore, Family300ReadsItsOwnSpellingsOnly)
{
    Forget("KVD300");
    Forget("KVD510");
    Row("KVD300", "IsInit", "1");
    Row("KVD300", "FLoadCValue2", "200000");
    Row("KVD300", "FLoadValue2", "999");
    Row("KVD300", "FmaxLoad", "2000000");
    Row("KVD300", "FLoadLoadValue12", "2200000");
    Row("KVD300", "FColWaitMitme", "17");
    Row("KVD510", "FLoadValue3", "555");
    TSet s = Make(0);
    s.params->LoadParams();
    EXPECT_EQ(s.box->FLoadValue[1], 200000);
    EXPECT_EQ(s.box->FMaxLoad, 2000000);
    EXPECT_EQ(s.box->FLoadValue[11], 2200000);
    EXPECT_EQ(s.box->FColdWaitTime, 17);
    EXPECT_EQ(s.box->FLoadValue[2], 0) << "another model's rows are not read";

    s.params->SaveParams();
    const auto rows = Rows("KVD300");
    EXPECT_EQ(rows.count("FLoadCValue2"), 1u);
    EXPECT_EQ(rows.find("FLoadValue2")->second, "999") << "the foreign spelling is left alone";
    EXPECT_EQ(rows.count("FMaxLoad") + rows.count("FmaxLoad"), 1u);
}

TEST_F(ParamStore, AnUnreadableValueReadsAsZeroAndTheRestStillLoads)
{
    Forget("KVD510");
    Row("KVD510", "IsInit", "1");
    Row("KVD510", "FValveInit", "abc");
    Row("KVD510", "FValveMiddle", "12000");
    TSet s = Make(1);
    s.box->FValveInit = 5;
    s.params->LoadParams();
    EXPECT_EQ(s.box->FValveInit, 0);
    EXPECT_EQ(s.box->FValveMiddle, 12000);
}

TEST_F(ParamStore, SaveAndLoadRoundTripForEveryModel)
{
    const char *keys[] = {"KVD300", "KVD510", "KVD520", "KVD300_DJ", "KVD510_DJ", "KVD520_DJ"};
    for (int type = 0; type < 6; ++type) {
        SCOPED_TRACE(keys[type]);
        Forget(keys[type]);
        TSet s = Make(type);
        s.params->LoadParams();   // first run
        for (int i = 0; i < s.params->Count(); ++i)
            s.params->SetValue(i, 1000 * type + 7 * i + 1);
        EXPECT_EQ(s.params->SaveToDatabase(), 0);
        // Every item has one row (plus IsInit); a second save edits them.
        s.params->SetValue(0, 424242);
        EXPECT_EQ(s.params->SaveToDatabase(), 0);
        const auto rows = Rows(keys[type]);
        EXPECT_EQ(int(rows.size()), s.params->Count() + 1);
        EXPECT_EQ(rows.find(QString::fromLatin1(s.params->Item(0).Def->Name))->second, "424242");

        TSet back = Make(type);
        back.params->LoadParams();
        EXPECT_EQ(back.params->Snapshot(), s.params->Snapshot());
    }
    // Each model kept its own rows.
    TSet k510 = Make(1);
    k510.params->LoadParams();
    EXPECT_EQ(k510.box->FMaxLoad, 424242);
    EXPECT_EQ(k510.box->FCheckKZ, 1000 + 7 * 6 + 1);
    TSet k520 = Make(2);
    k520.params->LoadParams();
    EXPECT_EQ(k520.box->FCheckKY, 2000 + 7 * 6 + 1);
}

TEST_F(ParamStore, WithoutADatabaseNothingIsStored)
{
    auto box = kv::CreateCtrlBox(1);
    TBaseParams params(*box);   // no data module in this test
    ASSERT_EQ(kv::ZovData(), nullptr);
    box->FJudgeMethod = 2;
    params.LoadParams();
    EXPECT_EQ(box->FJudgeMethod, 2);
    EXPECT_TRUE(box->FJudgeFlags.Speed);
    EXPECT_EQ(params.SaveToDatabase(), params.Count());
}
