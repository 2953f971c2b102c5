// The framework on the cement compressive module: tables and their cascade,
// validation, a whole group, a group stopped early, a group resumed after
// the program was killed, the records-window services, failed writes.
#include "CemCompTest.h"
#include "CemFlexTest.h"
#include "ModuleDb.h"
#include "ModuleSql.h"
#include "ModuleTestSupport.h"
#include "MorCubeTest.h"
#include "ResultsWindow.h"

#include <QDir>
#include <QLocale>
#include <QTableWidget>
#include <QTemporaryDir>
#include "CurveFile.h"

using kv::cem::TCemCompTest;
using kv::fw::TParamForm;
using modtest::RunSpecimen;
using modtest::TDb;
using kvtest::Child;

namespace {

using modtest::Messages;
const bool kRecording = (Messages(), true);

void SetForm(TParamForm *f, const QString &group, const QString &count = QStringLiteral("6"),
             const QString &size = QStringLiteral("40*40"))
{
    Child<QLineEdit>(*f, "edtGroupNo")->setText(group);
    Child<QComboBox>(*f, "cbCount")->setCurrentText(count);
    Child<QComboBox>(*f, "cbSize")->setCurrentText(size);
    Child<QComboBox>(*f, "cbRate")->setCurrentText(QStringLiteral("2.4"));
    Child<QComboBox>(*f, "cbMode")->setCurrentIndex(0);
}

QString Begin(kv::fw::TFrameworkTest &t)
{
    QString msg;
    t.BeginGroup(msg);
    return msg;
}

// Forces whose strengths on a 40 × 40 face are 40, 40, 40, 40, 40, 30 MPa.
const double kForces[6] = {64000, 64000, 64000, 64000, 64000, 48000};

// A whole group of six with kForces, ended.
void SixSpecimenGroup(TCemCompTest &t, const QString &group)
{
    SetForm(t.ParamForm(), group);
    ASSERT_EQ(Begin(t), "");
    for (double f : kForces)
        ASSERT_EQ(RunSpecimen(t, f), "");
    t.EndGroup();
}

} // namespace

TEST(ModuleTables, CreatedOnceWithKeysAndCascadingDelete)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    for (const char *name : {"CemCompGroup", "CemCompGROne", "CemCompPARAM", "CemCompCaptionInfo"})
        EXPECT_TRUE(db.Conn.tableExists(QLatin1String(name))) << name;
    EXPECT_TRUE(t.InitTables()); // tables exist: nothing to do, no error
    kv::db::TDbQuery cols(db.Conn);
    cols.setSql(QStringLiteral("select * from CemCompPARAM"));
    cols.open();
    EXPECT_EQ(cols.fieldNames(), (QStringList{"ZuHao", "PingZhong", "LingQi", "GuiGe", "Speed", "GroNum", "LoadType",
                                              "YanShi", "SelectGroNum", "QDDJ"}));

    SetForm(t.ParamForm(), QStringLiteral("G1"), QStringLiteral("2"));
    ASSERT_EQ(Begin(t), "");
    ASSERT_EQ(RunSpecimen(t, 64000), "");
    QString sql;
    t.BuildRecordSQL(QStringLiteral("G1"), 6, sql, 1, QStringLiteral("委托单位"), QStringLiteral("甲"),
                     QStringLiteral("工程名称"), QStringLiteral("乙"));
    // The selected age is the records window's; here the group's own.
    t.FSelectedAge = QStringLiteral("28");
    t.BuildRecordSQL(QStringLiteral("G1"), 6, sql, 1, QStringLiteral("委托单位"), QStringLiteral("甲"),
                     QStringLiteral("工程名称"), QStringLiteral("乙"));
    db.Conn.execute(sql);
    EXPECT_EQ(db.Count(QStringLiteral("CemCompGROne")), 1);
    EXPECT_EQ(db.Count(QStringLiteral("CemCompCaptionInfo")), 1);

    // The primary key refuses a second row of the same group and age.
    EXPECT_THROW(db.Conn.execute(QStringLiteral("insert into CemCompGroup (ZuHao, LingQi) values ('G1', '28')")),
                 kv::db::EDatabaseError);
    // A specimen of a group that does not exist is refused.
    EXPECT_THROW(db.Conn.execute(QStringLiteral("insert into CemCompGROne (ZuHao, LingQi, ShunXu) values ('X', '3', 1)")),
                 kv::db::EDatabaseError);

    t.BuildRecordSQL(QStringLiteral("G1"), 4, sql, 0, {}, {}, {}, {});
    db.Conn.execute(sql);
    EXPECT_EQ(db.Count(QStringLiteral("CemCompGroup")), 0);
    EXPECT_EQ(db.Count(QStringLiteral("CemCompGROne")), 0);
    EXPECT_EQ(db.Count(QStringLiteral("CemCompCaptionInfo")), 0);
}

TEST(ModuleValidation, CementMessagesInOrder)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    TParamForm *f = t.ParamForm();
    SetForm(f, QStringLiteral("  "));
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QString());
    EXPECT_EQ(Begin(t), "试验组号不能为空"); // the first failure wins
    Child<QLineEdit>(*f, "edtGroupNo")->setText(QStringLiteral("A1"));
    EXPECT_EQ(Begin(t), "试验品种不能为空");
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("P·O"));
    Child<QComboBox>(*f, "cbAge")->setCurrentText(QStringLiteral(" "));
    EXPECT_EQ(Begin(t), "试样龄期不能为空");
    Child<QComboBox>(*f, "cbAge")->setCurrentText(QStringLiteral("28"));
    for (const char *bad : {"40 *40", "40*40*40", "40", "a*40", "*40"}) {
        Child<QComboBox>(*f, "cbSize")->setCurrentText(QLatin1String(bad));
        EXPECT_EQ(Begin(t), "规格不正确") << bad;
    }
    Child<QComboBox>(*f, "cbSize")->setCurrentText(QStringLiteral(" 40*40 ")); // blanks around are trimmed
    for (const char *bad : {"0", "-1", "x", ""}) {
        Child<QComboBox>(*f, "cbRate")->setCurrentText(QLatin1String(bad));
        EXPECT_EQ(Begin(t), "速度输入出错") << bad;
    }
    Child<QComboBox>(*f, "cbRate")->setCurrentText(QStringLiteral("2.4"));
    Child<QComboBox>(*f, "cbMode")->setCurrentIndex(1);
    Child<QComboBox>(*f, "cbDelay")->setCurrentText(QStringLiteral("0"));
    EXPECT_EQ(Begin(t), "延时时间错误");
    Child<QComboBox>(*f, "cbDelay")->setCurrentText(QStringLiteral("8"));
    EXPECT_EQ(Begin(t), "");
    EXPECT_FALSE(Child<QLineEdit>(*f, "edtGroupNo")->isEnabled());
    EXPECT_TRUE(Child<QComboBox>(*f, "cbSize")->isEnabled()); // the size stays usable between specimens
    EXPECT_EQ(t.FContinuous, 1);
    EXPECT_EQ(t.FDelay, 8);
    EXPECT_FLOAT_EQ(t.FSpeed, 2.4f);
    QString msg;
    t.BeginSpecimen(msg);
    EXPECT_EQ(msg, "");
    EXPECT_FLOAT_EQ(t.FSpeed, 2400.0f);
    EXPECT_DOUBLE_EQ(t.GetSpecial(0)->FArea, 1600.0);
    EXPECT_FALSE(Child<QComboBox>(*f, "cbSize")->isEnabled()); // locked while the specimen is loaded
}

TEST(ModuleValidation, MortarChecksRateBeforeSizeAndWantsThreeNumbers)
{
    TDb db;
    kv::mor::TMorCubeTest t;
    modtest::Load(t, db.Conn);
    TParamForm *f = t.ParamForm();
    EXPECT_EQ(Child<QComboBox>(*f, "cbSize")->currentText(), "70.7*70.7*70.7");
    Child<QComboBox>(*f, "cbRate")->setCurrentText(QStringLiteral("0"));
    Child<QComboBox>(*f, "cbSize")->setCurrentText(QStringLiteral("70.7*70.7"));
    EXPECT_EQ(Begin(t), "速度输入出错");
    Child<QComboBox>(*f, "cbRate")->setCurrentText(QStringLiteral("0.5"));
    EXPECT_EQ(Begin(t), "规格不正确");
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(0);
    EXPECT_EQ(Begin(t), "");
    QString msg;
    t.BeginSpecimen(msg);
    EXPECT_NEAR(t.GetSpecial(0)->FArea, 4998.49, 1e-3);
    EXPECT_FLOAT_EQ(t.FSpeed, 500.0f);
}

TEST(ModuleValidation, FlexuralSideAndSpan)
{
    TDb db;
    kv::cem::TCemFlexTest t;
    modtest::Load(t, db.Conn);
    TParamForm *f = t.ParamForm();
    EXPECT_EQ(t.GetDefaultUnit(0), 0);
    EXPECT_EQ(t.GetDefaultUnit(1), 0);
    f->ExtraCombo(QStringLiteral("LenAv"))->setCurrentText(QStringLiteral("x"));
    EXPECT_EQ(Begin(t), "边长输入错误");
    f->ExtraCombo(QStringLiteral("LenAv"))->setCurrentText(QStringLiteral("40"));
    f->ExtraCombo(QStringLiteral("HeiAv"))->setCurrentText(QStringLiteral(""));
    EXPECT_EQ(Begin(t), "跨距输入错误");
    f->ExtraCombo(QStringLiteral("HeiAv"))->setCurrentText(QStringLiteral("100"));
    EXPECT_EQ(Begin(t), "");
    // 1.5 × F × L ÷ b³: 2560 N on 40 mm, span 100 → 6.0 MPa; rate kept in N/s.
    ASSERT_EQ(RunSpecimen(t, 2560), "");
    EXPECT_NEAR(t.GetSpecial(0)->FStrength, 6.0, 1e-9);
    EXPECT_FLOAT_EQ(t.FSpeed, 50.0f);
    EXPECT_EQ(db.Value(QStringLiteral("select OnekN from CemFlexOne")), "2560.00");
    EXPECT_EQ(db.Value(QStringLiteral("select HeiAv from CemFlexOne")), "100.0");
    EXPECT_EQ(f->Cell(1, 1), "2560.00"); // forces in N
}

TEST(ModuleGroup, SixSpecimensStoredAndEvaluated)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    SetForm(t.ParamForm(), QStringLiteral("G6"));
    Child<QComboBox>(*t.ParamForm(), "cbVariety")->setCurrentText(QStringLiteral("P·O"));
    Child<QComboBox>(*t.ParamForm(), "cbGrade")->setCurrentText(QStringLiteral("52.5"));
    ASSERT_EQ(Begin(t), "");
    for (double f : kForces)
        ASSERT_EQ(RunSpecimen(t, f), "");
    EXPECT_EQ(t.FCurrent, 7);
    t.EndGroup();
    EXPECT_EQ(t.FGroupResultStrength, "40.0");
    EXPECT_EQ(t.FGroupResultForce, "64.00");
    EXPECT_EQ(db.Value(QStringLiteral("select GroMPa from CemCompGroup where ZuHao = 'G6'")), "40.0");
    EXPECT_EQ(db.Value(QStringLiteral("select GroNum from CemCompGroup")), "6");
    EXPECT_EQ(db.Value(QStringLiteral("select SelectGroNum from CemCompGroup")), "6");
    EXPECT_EQ(db.Value(QStringLiteral("select PingZhong from CemCompGroup")), "52.5  P·O");
    EXPECT_EQ(db.Value(QStringLiteral("select Speed from CemCompGroup")), "2400.0");
    EXPECT_EQ(db.Value(QStringLiteral("select ExpDate from CemCompGroup")), "2026-12-08");
    EXPECT_EQ(db.Value(QStringLiteral("select ExpCop from CemCompGroup")), "GB/T 17671-1999");
    EXPECT_EQ(db.Value(QStringLiteral("select OnekN from CemCompGROne where ShunXu = 6")), "48000.00");
    EXPECT_EQ(db.Value(QStringLiteral("select LenAv from CemCompGROne where ShunXu = 6")), "40.0");
    TParamForm *f = t.ParamForm();
    EXPECT_EQ(f->Cell(6, 1), "*48.00");
    EXPECT_EQ(f->Cell(5, 1), "64.00");
    EXPECT_EQ(f->Cell(6, 2), "30.0");
    EXPECT_EQ(f->Cell(7, 0), "有效力值");
    EXPECT_EQ(f->Cell(7, 1), "64.00");
    EXPECT_EQ(f->Cell(8, 2), "40.0");
    EXPECT_TRUE(Child<QLineEdit>(*f, "edtGroupNo")->isEnabled());
    // The same number again is a stored, complete group.
    EXPECT_EQ(t.CheckGroupState(), 1);
    // The last parameters come back in a new form.
    TCemCompTest again;
    modtest::Load(again, db.Conn);
    EXPECT_EQ(Child<QLineEdit>(*again.ParamForm(), "edtGroupNo")->text(), "G6");
    EXPECT_EQ(Child<QComboBox>(*again.ParamForm(), "cbGrade")->currentText(), "52.5");
    EXPECT_EQ(Child<QComboBox>(*again.ParamForm(), "cbSize")->currentText(), "40*40");
}

TEST(ModuleGroup, StoppedEarlyIsCompleteAndNotOfferedAgain)
{
    TDb db;
    {
        TCemCompTest t;
        modtest::Load(t, db.Conn);
        SetForm(t.ParamForm(), QStringLiteral("E2"));
        ASSERT_EQ(Begin(t), "");
        ASSERT_EQ(RunSpecimen(t, 64000), "");
        ASSERT_EQ(RunSpecimen(t, 60800), "");
        t.EndGroup();
        EXPECT_EQ(t.ParamForm()->Cell(3, 1), "  -");
        EXPECT_EQ(t.ParamForm()->Cell(6, 2), "   -");
        EXPECT_EQ(t.FGroupResultStrength, "39.0"); // plain mean of the two tested
    }
    EXPECT_EQ(db.Value(QStringLiteral("select SelectGroNum from CemCompGroup")), "2");
    EXPECT_EQ(db.Count(QStringLiteral("CemCompGROne")), 2);
    TCemCompTest restarted;
    modtest::Load(restarted, db.Conn);
    EXPECT_EQ(restarted.FGroupNo, "E2");
    EXPECT_EQ(restarted.CheckGroupState(), 1);
}

TEST(ModuleGroup, ResumedAfterTheProgramWasKilledNothingLost)
{
    TDb db;
    {
        // The program dies after the third specimen: no EndGroup, no clean-up.
        auto *t = new TCemCompTest;
        modtest::Load(*t, db.Conn);
        SetForm(t->ParamForm(), QStringLiteral("K'1"));
        ASSERT_EQ(Begin(*t), "");
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(RunSpecimen(*t, kForces[i]), "");
        delete t->ParamForm(); // the window goes with the process; the object is never asked
    }
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    ASSERT_EQ(t.FGroupNo, "K'1");
    ASSERT_EQ(t.CheckGroupState(), 2);
    ASSERT_TRUE(t.ResumeGroup());
    EXPECT_EQ(t.FCurrent, 4);
    EXPECT_EQ(t.FGroupSize, 6);
    EXPECT_EQ(t.FContinuous, 0);
    TParamForm *f = t.ParamForm();
    EXPECT_EQ(f->Cell(3, 1), "64.00");
    EXPECT_EQ(f->Cell(3, 2), "40.0");
    EXPECT_EQ(f->Cell(4, 1), "");
    EXPECT_FALSE(Child<QLineEdit>(*f, "edtGroupNo")->isEnabled());
    EXPECT_TRUE(Child<QComboBox>(*f, "cbSize")->isEnabled());
    EXPECT_EQ(Child<QComboBox>(*f, "cbSize")->currentText(), "40*40");
    EXPECT_EQ(Child<QComboBox>(*f, "cbRate")->currentText(), "2.4");
    // The host goes on with specimen 4 (no BeginGroup when FCurrent > 1).
    for (int i = 3; i < 6; ++i)
        ASSERT_EQ(RunSpecimen(t, kForces[i]), "");
    EXPECT_EQ(t.FGroupSize, t.FCurrent - 1);
    t.EndGroup();
    EXPECT_EQ(t.FGroupResultStrength, "40.0");
    EXPECT_EQ(f->Cell(6, 1), "*48.00");
    EXPECT_EQ(db.Count(QStringLiteral("CemCompGROne")), 6);
    EXPECT_EQ(db.Value(QStringLiteral("select GroMPa from CemCompGroup")), "40.0");
    EXPECT_EQ(db.Value(QStringLiteral("select GroNum from CemCompGroup")), "6");
    EXPECT_EQ(t.CheckGroupState(), 1);
}

TEST(ModuleGroup, DeclinedUnfinishedGroupIsClosed)
{
    TDb db;
    {
        TCemCompTest t;
        modtest::Load(t, db.Conn);
        SetForm(t.ParamForm(), QStringLiteral("N1"));
        ASSERT_EQ(Begin(t), "");
        ASSERT_EQ(RunSpecimen(t, 64000), "");
    }
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    ASSERT_EQ(t.CheckGroupState(), 2);
    EXPECT_TRUE(t.CloseUnfinishedGroup());
    EXPECT_EQ(t.CheckGroupState(), 1);
    EXPECT_EQ(db.Value(QStringLiteral("select SelectGroNum from CemCompGroup")), "1");
}

TEST(ModuleGroup, FailedWriteReportsUnitAndLineAndKeepsTheSpecimen)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    SetForm(t.ParamForm(), QStringLiteral("W1"));
    ASSERT_EQ(Begin(t), "");
    ASSERT_EQ(RunSpecimen(t, 64000), "");
    db.Conn.execute(QStringLiteral("drop table CemCompGROne"));
    Messages().clear();
    ASSERT_EQ(RunSpecimen(t, 64000), "");
    ASSERT_EQ(Messages().messages().size(), 1);
    EXPECT_EQ(Messages().messages()[0].icon, kv::TMsgIcon::Error);
    EXPECT_TRUE(Messages().lastText().contains(QStringLiteral("FrameworkTest.cpp"))) << Messages().lastText().toStdString();
    EXPECT_TRUE(Messages().lastText().contains(QStringLiteral("行")));
    EXPECT_EQ(t.FCurrent, 2); // not stored: the specimen is tested again
}

TEST(ModuleRecords, SearchSqlBoundsAndQuotes)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    for (const char *g : {"A-1", "XA-12", "B'7", "C3", "D%1", "E_2"}) {
        SetForm(t.ParamForm(), QString::fromUtf8(g), QStringLiteral("1"));
        ASSERT_EQ(Begin(t), "") << g;
        ASSERT_EQ(RunSpecimen(t, 64000), "") << g;
        t.EndGroup();
        t.FCurrent = 1;
    }
    auto groups = [&](int kind, const QString &from, const QString &upTo) {
        QString sql;
        t.BuildSearchSQL(kind, from, sql, upTo);
        kv::db::TDbQuery q(db.Conn);
        q.setSql(sql);
        q.open();
        QStringList out;
        for (int r = 0; r < q.recordCount(); ++r)
            out << q.valueAt(r, 0).toString();
        out.sort();
        EXPECT_EQ(q.fieldNames().first(), "组号");
        return out;
    };
    EXPECT_EQ(groups(0, QStringLiteral("A-1"), QString()), (QStringList{"A-1", "XA-12"}));
    EXPECT_EQ(groups(0, QStringLiteral("A"), QStringLiteral("B'7")), (QStringList{"A-1", "B'7"}));
    EXPECT_EQ(groups(0, QStringLiteral("'"), QString()), (QStringList{"B'7"}));
    EXPECT_EQ(groups(0, QStringLiteral("x' or '1'='1"), QString()), QStringList());
    // % and _ in a number are the characters themselves, not wildcards.
    EXPECT_EQ(groups(0, QStringLiteral("%"), QString()), (QStringList{"D%1"}));
    EXPECT_EQ(groups(0, QStringLiteral("_"), QString()), (QStringList{"E_2"}));
    EXPECT_EQ(groups(0, QStringLiteral("!"), QString()), QStringList());
    EXPECT_EQ(groups(1, QStringLiteral("2026-12-08"), QStringLiteral("2026-12-08")).size(), 6);
    EXPECT_EQ(groups(1, QStringLiteral("2026-12-09"), QStringLiteral("2026-12-31")).size(), 0);

    // The quoted group's captions, delete and specimen fields.
    t.FSelectedAge = QStringLiteral("28");
    QString sql;
    t.BuildRecordSQL(QStringLiteral("B'7"), 8, sql, 0, {}, {}, {}, {});
    kv::db::TDbQuery q(db.Conn);
    q.setSql(sql);
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldNames(), (QStringList{"载荷", "强度", "规格"}));
    EXPECT_DOUBLE_EQ(q.valueAt(0, 0).toDouble(), 64.0);
    EXPECT_DOUBLE_EQ(q.valueAt(0, 1).toDouble(), 40.0);
    EXPECT_EQ(q.valueAt(0, 2).toString(), "40.0*40.0");
    t.BuildRecordSQL(QStringLiteral("B'7"), 7, sql, 0, {}, {}, {}, {});
    q.setSql(sql);
    q.open();
    EXPECT_EQ(q.fieldNames().size(), 10);
    EXPECT_EQ(q.valueAt(0, 0).toString(), "B'7");
    t.BuildRecordSQL(QStringLiteral("B'7"), 4, sql, 0, {}, {}, {}, {});
    EXPECT_EQ(db.Conn.execute(sql), 1);
    EXPECT_EQ(db.Count(QStringLiteral("CemCompGroup")), 5);
}

TEST(ModuleRecords, ResultsWindowCorrectsForcesAndTheGroupIsRecomputed)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    SixSpecimenGroup(t, QStringLiteral("R1"));
    t.FSelectedAge = QStringLiteral("28");
    std::unique_ptr<QDialog> dlg(t.CreateResultForm(QStringLiteral("R1"), nullptr));
    auto *res = static_cast<kv::fw::TfrmRes *>(dlg.get());
    ASSERT_EQ(Child<QTableWidget>(*res, "sgData")->rowCount(), 6);
    EXPECT_EQ(Child<QTableWidget>(*res, "sgData")->item(5, 3)->text(), "40.0*40.0");
    EXPECT_EQ(Child<QTableWidget>(*res, "sgData")->item(5, 4)->text(), "48.00");
    EXPECT_FALSE(Child<QTableWidget>(*res, "sgData")->item(5, 3)->flags() & Qt::ItemIsEditable);
    Child<QTableWidget>(*res, "sgData")->item(5, 4)->setText(QStringLiteral("abc"));
    Messages().clear();
    res->btnOKClick();
    EXPECT_EQ(Messages().lastText(), "保存数据出错!");
    EXPECT_EQ(db.Value(QStringLiteral("select OnekN from CemCompGROne where ShunXu = 6")), "48000.00");
    Child<QTableWidget>(*res, "sgData")->item(5, 4)->setText(QStringLiteral("64"));
    res->btnOKClick();
    EXPECT_EQ(Messages().lastText(), "保存成功。");
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(db.Value(QStringLiteral("select OnekN from CemCompGROne where ShunXu = 6")), "64000.00");
    QString sql;
    t.BuildRecordSQL(QStringLiteral("R1"), 1, sql, 0, {}, {}, {}, {});
    EXPECT_TRUE(sql.isEmpty());
    EXPECT_EQ(db.Value(QStringLiteral("select GroMPa from CemCompGroup")), "40.0");
    EXPECT_EQ(db.Value(QStringLiteral("select GrokN from CemCompGroup")), "64.00");
}

TEST(ModuleRecords, ReportCarriesEveryField)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    SixSpecimenGroup(t, QStringLiteral("P1"));
    const kv::fw::TReport rep = t.BuildReport(QStringLiteral("P1"), QStringLiteral("28"));
    EXPECT_EQ(rep.Title, "水泥胶砂抗压 报表");
    ASSERT_EQ(rep.Header.size(), 5);
    EXPECT_EQ(rep.Header[0].second, "P1");
    EXPECT_EQ(rep.Header[1].second, "2026-12-08");
    EXPECT_EQ(rep.Header[2].second, "Admin");
    EXPECT_EQ(rep.Header[4].second, "GB/T 17671-1999");
    ASSERT_EQ(rep.Captions.size(), 3); // from DefaultCaptionInfo
    EXPECT_EQ(rep.Captions[0].Name1, "委托单位");
    ASSERT_EQ(rep.Blocks.size(), 1);
    ASSERT_EQ(rep.Blocks[0].Rows.size(), 6);
    EXPECT_EQ(rep.Blocks[0].Rows[5], (QStringList{"6", "40.0*40.0", "42.5  325R", "28", "48.00", "30.0", "—", "2.40"}));
    EXPECT_EQ(rep.Blocks[0].ValidValue, "40.0");
    // Captions stored with the group replace the defaults.
    QString sql;
    t.FSelectedAge = QStringLiteral("28");
    t.BuildRecordSQL(QStringLiteral("P1"), 6, sql, 1, QStringLiteral("<委托>"), QStringLiteral("A&B"), {}, {});
    db.Conn.execute(sql);
    const kv::fw::TReport own = t.BuildReport(QStringLiteral("P1"), QStringLiteral("28"));
    ASSERT_EQ(own.Captions.size(), 1);
    EXPECT_TRUE(kv::fw::ReportHtml(own).contains(QStringLiteral("&lt;委托&gt;")));
    EXPECT_TRUE(kv::fw::ReportHtml(own).contains(QStringLiteral("A&amp;B")));
}

TEST(ModuleRecords, LoadingRateOfEachSpecimenAgainstTheSetRate)
{
    TDb db;
    QTemporaryDir program;
    TCemCompTest t;
    modtest::Load(t, db.Conn, program.path());
    SetForm(t.ParamForm(), QStringLiteral("V1"), QStringLiteral("3")); // 2.4 kN/s
    ASSERT_EQ(Begin(t), "");
    for (double f : {64000.0, 64000.0, 48000.0})
        ASSERT_EQ(RunSpecimen(t, f), "");
    // Specimen 1 rises at the set rate, 2 at 1.2 times it, 3 has no curve.
    modtest::WriteCurve(t, program.path(), 1, modtest::Ramp(2400.0, 64000.0));
    modtest::WriteCurve(t, program.path(), 2, modtest::Ramp(2880.0, 64000.0));
    t.FSelectedAge = QStringLiteral("28");
    std::unique_ptr<QDialog> dlg(t.CreateResultForm(QStringLiteral("V1"), nullptr));
    auto *grid = Child<QTableWidget>(*dlg, "sgData");
    auto rates = [grid](int r) { return grid->item(r, 5)->text() + " | " + grid->item(r, 6)->text(); };
    EXPECT_EQ(rates(0), "2.40 | 2.40");
    EXPECT_EQ(rates(1), "2.88 超出±10% | 2.40");
    EXPECT_EQ(rates(2), "— | 2.40");
    EXPECT_EQ(grid->item(1, 5)->background().color(), QColor(QLatin1String(kv::fw::FlaggedBackground)));
    const kv::fw::TReportBlock b = t.BuildReport(QStringLiteral("V1"), QStringLiteral("28")).Blocks[0];
    EXPECT_EQ(b.Rows[1].mid(6), (QStringList{"2.88\n超出±10%", "2.40"}));
    EXPECT_EQ(b.Flagged, (QList<QPair<int, int>>{{1, 6}}));
}

TEST(ModuleRecords, SelectedRecordNamesTheCurveFile)
{
    TDb db;
    QTemporaryDir program;
    TCemCompTest t;
    modtest::Load(t, db.Conn, program.path());
    SetForm(t.ParamForm(), QStringLiteral("C'9"), QStringLiteral("2"));
    Child<QComboBox>(*t.ParamForm(), "cbAge")->setCurrentText(QStringLiteral("7"));
    ASSERT_EQ(Begin(t), "");
    ASSERT_EQ(RunSpecimen(t, 64000), "");
    EXPECT_EQ(t.CurveFileName(), "CemCompC'97");
    const QString file = program.filePath(QStringLiteral("OutFile/") + t.CurveFileName());
    QDir().mkpath(program.filePath(QStringLiteral("OutFile")));
    ASSERT_TRUE(kv::WriteCurveFile(file, 1, {{0.1f, 100.0f}, {0.2f, 64000.0f}}));

    // Another group is under test; the records window selects C'9.
    t.FGroupNo = QStringLiteral("other");
    QString sql;
    t.BuildSearchSQL(0, QStringLiteral("C'"), sql, QString());
    kv::db::TDbQuery q(db.Conn);
    q.setSql(sql);
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    QString text = QStringLiteral("x");
    t.SelectRecord(&q, text);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(t.FSelectedAge, "7");
    EXPECT_EQ(t.FSelectedGroupNo, "C'9");
    EXPECT_EQ(t.FGroupNo, "other"); // the group under test keeps its number
    kv::TCurvePoints points;
    t.ReadCurve(0, points);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_FLOAT_EQ(points[1].Force, 64000.0f);
    t.ReadCurve(1, points);
    EXPECT_TRUE(points.empty());
}

TEST(ModuleForm, GridFollowsTheCountAndTheModeShowsTheDelay)
{
    TDb db;
    TCemCompTest t;
    modtest::Load(t, db.Conn);
    TParamForm *f = t.ParamForm();
    EXPECT_EQ(Child<QTableWidget>(*f, "sgResult")->rowCount(), 9); // six specimens by default
    Child<QComboBox>(*f, "cbCount")->setCurrentText(QStringLiteral("3"));
    EXPECT_EQ(Child<QTableWidget>(*f, "sgResult")->rowCount(), 6);
    EXPECT_EQ(f->Cell(3, 0), "  第3块");
    EXPECT_EQ(f->Cell(5, 0), "有效强度");
    t.SetContinuous(0);
    EXPECT_EQ(Child<QComboBox>(*f, "cbMode")->currentIndex(), 0);
    EXPECT_FALSE(Child<QComboBox>(*f, "cbDelay")->isVisibleTo(f));
    t.SetContinuous(1);
    EXPECT_TRUE(Child<QComboBox>(*f, "cbDelay")->isVisibleTo(f));
    // The grade list follows the variety; a grade of the new list stays.
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("P·I"));
    Child<QComboBox>(*f, "cbGrade")->setCurrentText(QStringLiteral("62.5"));
    EXPECT_EQ(Child<QComboBox>(*f, "cbGrade")->currentText(), "62.5");
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("P·O"));
    EXPECT_EQ(Child<QComboBox>(*f, "cbGrade")->count(), 4);
    EXPECT_EQ(Child<QComboBox>(*f, "cbGrade")->currentText(), "42.5");
    Child<QComboBox>(*f, "cbGrade")->setCurrentText(QStringLiteral("52.5R"));
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("P·S·A"));
    EXPECT_EQ(Child<QComboBox>(*f, "cbGrade")->currentText(), "52.5R");

    // A stored grade only the stored variety offers comes back with it.
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("P·II"));
    Child<QComboBox>(*f, "cbGrade")->setCurrentText(QStringLiteral("62.5R"));
    ASSERT_EQ(Begin(t), "");
    TCemCompTest next;
    modtest::Load(next, db.Conn);
    EXPECT_EQ(Child<QComboBox>(*next.ParamForm(), "cbVariety")->currentText(), "P·II");
    EXPECT_EQ(Child<QComboBox>(*next.ParamForm(), "cbGrade")->currentText(), "62.5R");
}

TEST(ModuleGroup, MortarCubesSixWithOneHighValue)
{
    TDb db;
    kv::mor::TMorCubeTest t;
    modtest::Load(t, db.Conn);
    TParamForm *f = t.ParamForm();
    Child<QLineEdit>(*f, "edtGroupNo")->setText(QStringLiteral("M1"));
    Child<QComboBox>(*f, "cbCount")->setCurrentText(QStringLiteral("6"));
    Child<QComboBox>(*f, "cbMode")->setCurrentIndex(0);
    ASSERT_EQ(Begin(t), "");
    const double area = 70.7 * 70.7;
    for (double mpa : {10.0, 10.0, 10.0, 10.0, 10.0, 15.0})
        ASSERT_EQ(RunSpecimen(t, mpa * area), "");
    t.EndGroup();
    EXPECT_EQ(t.FGroupResultStrength, "10.0");
    EXPECT_EQ(f->Cell(6, 1), "*74.98");
    EXPECT_EQ(db.Value(QStringLiteral("select PingZhong from MorCubeGroup")), "M3");
    EXPECT_EQ(db.Value(QStringLiteral("select HeiAv from MorCubeOne where ShunXu = 1")), "70.7");
    EXPECT_EQ(db.Value(QStringLiteral("select GuiGe from MorCubePARAM")), "0");
}

TEST(ModuleSqlTexts, GroupAndSpecimenWritesKeepTheirText)
{
    // The stored rows depend on these texts; quotes are doubled and numbers
    // carry '.' whatever the locale.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    const kv::fw::TModuleData &d = kv::cem::CemCompData();
    kv::fw::TGroupRow g;
    g.GroupNo = QStringLiteral("C'1");
    g.Age = QStringLiteral("28");
    g.PingZhong = QStringLiteral("42.5  P·O");
    g.Speed = QStringLiteral("2.4");
    g.Operator = QStringLiteral("Admin");
    g.TestDate = QStringLiteral("2026-12-08");
    g.Standard = QStringLiteral("GB/T 17671-1999");
    g.Wanted = 6;
    EXPECT_EQ(kv::fw::GroupInsertSql(d, g),
              "insert into CemCompGroup (ZuHao, LingQi, GroNum, PingZhong, Speed, GrokN, GroMPa, ExpMan, ExpDate, "
              "ExpCop, SelectGroNum) Values('C''1', '28', 0, '42.5  P·O', '2.4', '0', '0', 'Admin', '2026-12-08', "
              "'GB/T 17671-1999', 6)");
    kv::fw::TSpecimenRow s;
    s.GroupNo = g.GroupNo;
    s.Age = g.Age;
    s.PingZhong = g.PingZhong;
    s.Force = 64000.456;
    s.No = 2;
    s.SizeSql = {QStringLiteral("'40.0'"), QStringLiteral("'40.0'")};
    EXPECT_EQ(kv::fw::SpecimenInsertSql(d, s),
              "insert into CemCompGROne (ZuHao, LingQi, PingZhong, OnekN, ShunXu, LenAv, WidAv) "
              "Values('C''1', '28', '42.5  P·O', '64000.46', 2, '40.0', '40.0')");
    const QString where = QStringLiteral(" where ZuHao = 'C''1' and LingQi = '28'");
    EXPECT_EQ(kv::fw::GroupResultSql(d, g.GroupNo, g.Age, "40.00", "25.0", 2),
              "update CemCompGroup set GroKn = '40.00', GroMpa = '25.0', GroNum = 2" + where);
    EXPECT_EQ(kv::fw::GroupResultSql(d, g.GroupNo, g.Age, "40.00", "25.0"),
              "update CemCompGroup set GroKn = '40.00', GroMpa = '25.0'" + where);
    EXPECT_EQ(kv::fw::GroupEndSql(d, g.GroupNo, g.Age, 5), "update CemCompGroup set SelectGroNum = 5" + where);
    EXPECT_EQ(kv::fw::CloseGroupSql(d, g.GroupNo, g.Age), "update CemCompGroup set SelectGroNum = GroNum" + where);
    EXPECT_EQ(kv::fw::SpecimenForceSql(d, g.GroupNo, g.Age, 3, 1234.5),
              "update CemCompGROne set OnekN = '1234.50'" + where + " and ShunXu = 3");
    QLocale::setDefault(before);
}
