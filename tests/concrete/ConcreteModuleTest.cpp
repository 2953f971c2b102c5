// The four concrete modules on the framework: the coefficient box and the
// load-rate label of the form, whole groups with their stored rows, the
// fracture question of the beams, and continuing each module's unfinished
// group with a fresh test object on the same database.
#include "ConAxialTest.h"
#include "ConCubeTest.h"
#include "ConFlexTest.h"
#include "ConSplitTest.h"
#include "ModuleTestSupport.h"
#include "TestModule.h"

#include <QDir>
#include <QLibrary>
#include <QPixmap>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>

using kv::con::TConAxialTest;
using kv::con::TConcreteTest;
using kv::con::TConCubeTest;
using kv::con::TConFlexTest;
using kv::con::TConSplitTest;
using kv::con::XiShuKey;
using kv::fw::TParamForm;
using modtest::RunSpecimen;
using modtest::TDb;
using kvtest::Child;

namespace {

using modtest::Messages;
const bool kRecording = (Messages(), true);

QComboBox *Coefficient(TConcreteTest &t) { return t.ParamForm()->ExtraCombo(XiShuKey); }

// The form as the operator fills it; sizeIndex in the module's size list.
void Fill(TConcreteTest &t, const QString &group, const QString &grade, int sizeIndex, const QString &rate,
          const QString &count = QStringLiteral("3"))
{
    TParamForm *f = t.ParamForm();
    Child<QLineEdit>(*f, "edtGroupNo")->setText(group);
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(grade);
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(sizeIndex);
    Child<QComboBox>(*f, "cbRate")->setCurrentText(rate);
    Child<QComboBox>(*f, "cbCount")->setCurrentText(count);
    Child<QComboBox>(*f, "cbMode")->setCurrentIndex(0);
}

QString Begin(kv::fw::TFrameworkTest &t)
{
    QString msg;
    t.BeginGroup(msg);
    return msg;
}

} // namespace

TEST(ConcreteForm, CoefficientBoxFollowsGradeAndSize)
{
    TDb db;
    TConCubeTest t;
    modtest::Load(t, db.Conn);
    TParamForm *f = t.ParamForm();
    QComboBox *k = Coefficient(t);
    ASSERT_NE(k, nullptr);
    // Shown with the defaults: C60, the 150 mm cube, the fixed "1".
    EXPECT_EQ(Child<QComboBox>(*f, "cbVariety")->currentText(), "C60");
    EXPECT_EQ(Child<QComboBox>(*f, "cbSize")->currentIndex(), 0);
    EXPECT_EQ(k->currentText(), "1");
    EXPECT_FALSE(k->isEditable());

    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("C30"));
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(1);
    EXPECT_EQ(k->currentText(), "0.95");
    EXPECT_FALSE(k->isEditable());
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(5);
    EXPECT_EQ(k->currentText(), "1.05");
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(3);
    EXPECT_EQ(k->currentText(), "1");

    // From C60 on a small or large size may take a coefficient found by test,
    // and it stays while other controls change.
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("C70"));
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(1);
    EXPECT_TRUE(k->isEditable());
    EXPECT_EQ(k->currentText(), "0.95");
    k->setCurrentText(QStringLiteral("0.93"));
    Child<QComboBox>(*f, "cbRate")->setCurrentText(QStringLiteral("0.8"));
    Child<QComboBox>(*f, "cbAge")->setCurrentText(QStringLiteral("7"));
    EXPECT_EQ(k->currentText(), "0.93");
    // Back to a standard size: fixed "1" again.
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(0);
    EXPECT_FALSE(k->isEditable());
    EXPECT_EQ(k->currentText(), "1");

    // A coefficient that is not a number is refused before the group starts.
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(4);
    k->setCurrentText(QStringLiteral("x"));
    Child<QLineEdit>(*f, "edtGroupNo")->setText(QStringLiteral("K1"));
    EXPECT_EQ(Begin(t), "系数输入不正确");
    k->setCurrentText(QStringLiteral("0"));
    EXPECT_EQ(Begin(t), "系数输入不正确");
}

TEST(ConcreteForm, BeamCoefficientAndLoadRateLabel)
{
    TDb db;
    TConFlexTest t;
    modtest::Load(t, db.Conn);
    TParamForm *f = t.ParamForm();
    QComboBox *k = Coefficient(t);
    // Defaults: C10, 150*150*600, 0.05 MPa/s.
    EXPECT_EQ(Child<QComboBox>(*f, "cbVariety")->currentText(), "C10");
    EXPECT_EQ(k->currentText(), "1");
    EXPECT_EQ(t.LoadRateLabelText(), "0.28");
    Child<QComboBox>(*f, "cbRate")->setCurrentText(QStringLiteral("0.1"));
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(2);
    EXPECT_EQ(k->currentText(), "0.85");
    EXPECT_FALSE(k->isEditable());
    EXPECT_EQ(t.LoadRateLabelText(), "0.25"); // 0.1 × 100 × 100 × 100 ÷ 400 N/s
    Child<QComboBox>(*f, "cbVariety")->setCurrentText(QStringLiteral("C60"));
    EXPECT_TRUE(k->isEditable());
    EXPECT_EQ(k->currentText(), "0.85");
    Child<QComboBox>(*f, "cbSize")->setCurrentIndex(1);
    EXPECT_FALSE(k->isEditable());
    EXPECT_EQ(k->currentText(), "1");
    EXPECT_EQ(t.LoadRateLabelText(), "0.61"); // 0.1 × 150³ ÷ 550

    // The label follows every change of size or rate in the other modules.
    TConCubeTest cube;
    modtest::Load(cube, db.Conn);
    EXPECT_EQ(cube.LoadRateLabelText(), "11.25");
    Child<QComboBox>(*cube.ParamForm(), "cbSize")->setCurrentIndex(3);
    EXPECT_EQ(cube.LoadRateLabelText(), "8.83");
    Child<QComboBox>(*cube.ParamForm(), "cbRate")->setCurrentText(QStringLiteral("0.8"));
    EXPECT_EQ(cube.LoadRateLabelText(), "14.13");
    Child<QComboBox>(*cube.ParamForm(), "cbRate")->setCurrentText(QStringLiteral("abc"));
    EXPECT_EQ(cube.LoadRateLabelText(), "");
    TConSplitTest split;
    modtest::Load(split, db.Conn);
    EXPECT_EQ(split.LoadRateLabelText(), "1.77");
}

TEST(ConcreteGroup, CubesOfThreeStoredAndEvaluated)
{
    TDb db;
    TConCubeTest t;
    modtest::Load(t, db.Conn);
    Fill(t, QStringLiteral("C'1"), QStringLiteral("C30"), 0, QStringLiteral("0.5"));
    ASSERT_EQ(Begin(t), "");
    // 30.0, 32.0 and 38.0 MPa on the 150 mm cube.
    for (double f : {675000.0, 720000.0, 855000.0}) {
        QString msg;
        t.BeginSpecimen(msg);
        ASSERT_EQ(msg, "");
        EXPECT_FLOAT_EQ(t.FSpeed, 11250.0f); // 0.5 MPa/s × 150 × 150 mm²
        kv::TSpecial *s = t.GetSpecial(t.FCurrent - 1);
        EXPECT_DOUBLE_EQ(s->FArea, 22500.0);
        s->FForce = f;
        s->FStrength = f / s->FArea;
        t.EndSpecimen(true);
    }
    t.EndGroup();
    EXPECT_EQ(t.FGroupResultStrength, "32.0");
    EXPECT_EQ(t.FGroupResultForce, "720.00");
    TParamForm *f = t.ParamForm();
    EXPECT_EQ(f->Cell(3, 1), "*855.00");
    EXPECT_EQ(f->Cell(3, 2), "38.0");
    EXPECT_EQ(f->Cell(5, 2), "32.0");

    const QString g = QStringLiteral(" from ConCubeGroup where ZuHao = 'C''1'");
    EXPECT_EQ(db.Value("select PingZhong" + g), "C30");
    EXPECT_EQ(db.Value("select Speed" + g), "0.5");
    EXPECT_EQ(db.Value("select SpecialShape" + g), "0");
    EXPECT_EQ(db.Value("select GroMPa" + g), "32.0");
    EXPECT_EQ(db.Value("select SelectGroNum" + g), "3");
    EXPECT_EQ(db.Value("select LenAv & '*' & WidAv & '*' & HeiAv & '/' & DiameterAv & '/' & XiShu from ConCubeOne "
                       "where ShunXu = 2"),
              "150.0*150.0*150.0/0.0/1");
    EXPECT_EQ(t.CheckGroupState(), 1);

    // A force corrected in the results window: the group is evaluated anew
    // from the stored columns (32.9 MPa now lies inside).
    db.Conn.execute("update ConCubeOne set OnekN = '740250.00' where ShunXu = 3");
    t.FSelectedAge = QStringLiteral("28");
    QString none;
    t.BuildRecordSQL(QStringLiteral("C'1"), 1, none, 0, {}, {}, {}, {});
    EXPECT_EQ(db.Value("select GroMPa" + g), "31.6");

    // The records' strength column is the module's strength.
    QString sql;
    t.BuildRecordSQL(QString(), 8, sql, 0, {}, {}, {}, {});
    kv::db::TDbQuery q(db.Conn);
    q.setSql(sql);
    EXPECT_NO_THROW(q.open()) << sql.toStdString();
}

TEST(ConcreteGroup, LoadingRateInStressRateOfTheSpecimensSection)
{
    TDb db;
    QTemporaryDir program;
    TConCubeTest t;
    modtest::Load(t, db.Conn, program.path());
    Fill(t, QStringLiteral("V1"), QStringLiteral("C30"), 0, QStringLiteral("0.5"), QStringLiteral("1"));
    ASSERT_EQ(Begin(t), "");
    ASSERT_EQ(RunSpecimen(t, 675000.0), "");
    // 0.5 MPa/s on the 150 mm cube is 11250 N/s; the curve rises 1.2 times as fast.
    modtest::WriteCurve(t, program.path(), 1, modtest::Ramp(13500.0, 675000.0));
    const QList<kv::fw::TStoredRow> rows = t.StoredSpecimens(QStringLiteral("V1"), QStringLiteral("28"));
    const kv::fw::TRateCells r = t.StoredRates(QStringLiteral("V1"), QStringLiteral("28"), rows).value(0);
    EXPECT_EQ(r.Shown() + " | " + r.Set, "0.600 超出±10% | 0.500");
    // Without a stored set rate nothing is flagged.
    db.Conn.execute(QStringLiteral("update ConCubeGroup set Speed = ''"));
    const kv::fw::TRateCells none = t.StoredRates(QStringLiteral("V1"), QStringLiteral("28"), rows).value(0);
    EXPECT_EQ(none.Shown() + " | " + none.Set, "0.600 | —");
}

TEST(ConcreteGroup, SmallCubeAndCylinder)
{
    TDb db;
    TConCubeTest t;
    modtest::Load(t, db.Conn);
    // A 100 mm cube of C30 takes 0.95: 300 kN gives 28.5 MPa.
    Fill(t, QStringLiteral("S1"), QStringLiteral("C30"), 1, QStringLiteral("0.5"), QStringLiteral("2"));
    ASSERT_EQ(Begin(t), "");
    ASSERT_EQ(RunSpecimen(t, 300000.0), "");
    EXPECT_EQ(t.ParamForm()->Cell(1, 2), "28.5");
    EXPECT_EQ(db.Value("select XiShu from ConCubeOne where ZuHao = 'S1'"), "0.95");

    // Between specimens the size may change: a φ150×300 cylinder with 500 kN
    // and coefficient 1 gives 28.3 MPa.
    Child<QComboBox>(*t.ParamForm(), "cbSize")->setCurrentIndex(3);
    EXPECT_EQ(Coefficient(t)->currentText(), "1");
    ASSERT_EQ(RunSpecimen(t, 500000.0), "");
    EXPECT_EQ(t.GetSpecial(1)->FShape, 1);
    EXPECT_DOUBLE_EQ(t.GetSpecial(1)->FArea, 17662.5);
    EXPECT_EQ(t.ParamForm()->Cell(2, 2), "28.3");
    EXPECT_EQ(db.Value("select DiameterAv & '*' & HeiAv from ConCubeOne where ShunXu = 2"), "150.0*300.0");
    t.EndGroup();
    // Each stored row keeps its own shape in the records.
    QList<kv::fw::TStoredRow> rows = t.StoredSpecimens(QStringLiteral("S1"), QStringLiteral("28"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(TConcreteTest::StrengthText(t.RecordStrengthOf(rows[0])), "28.5");
    EXPECT_EQ(TConcreteTest::StrengthText(t.RecordStrengthOf(rows[1])), "28.3");
    EXPECT_EQ(t.RecordSizeTextOf(rows[1]), "φ150*300");
}

TEST(ConcreteGroup, BeamBrokenOutsideTheLoadPoints)
{
    TDb db;
    kv::TRecordingMessageService &m = Messages();
    m.clear();
    TConFlexTest t;
    modtest::Load(t, db.Conn);
    EXPECT_TRUE(db.Conn.tableExists(QStringLiteral("ConFlexCantionInfo")));
    Fill(t, QStringLiteral("B1"), QStringLiteral("C30"), 0, QStringLiteral("0.05"));
    ASSERT_EQ(Begin(t), "");
    ASSERT_NE(dynamic_cast<kv::con::TConFlexSpecial *>(t.GetSpecial(0)), nullptr);
    // 4.0, 4.4 and 5.3 MPa on the 150 × 150 beam; the third breaks outside.
    m.queueAnswer(kv::TMsgResult::Yes);
    m.queueAnswer(kv::TMsgResult::Yes);
    m.queueAnswer(kv::TMsgResult::No);
    for (double f : {30000.0, 33000.0, 40000.0})
        ASSERT_EQ(RunSpecimen(t, f), "");
    EXPECT_FLOAT_EQ(t.FSpeed, 281.25f);
    EXPECT_EQ(m.texts(), QStringList(3, QStringLiteral("折断面是否在集中载荷之内?")));
    EXPECT_EQ(t.GetFlexSpecial(2)->FIsOut, 1);
    EXPECT_EQ(db.Value("select sum(IsOut) from ConFlexOne"), "1");
    EXPECT_EQ(db.Value("select IsOut from ConFlexOne where ShunXu = 3"), "1");
    // The group row keeps the median rule ...
    EXPECT_EQ(db.Value("select GroMPa from ConFlexGroup"), "4.4");
    t.EndGroup();
    // ... the grid and the report show the fracture rule: the mean of the two
    // that broke between the load points.
    EXPECT_EQ(t.FGroupResultStrength, "4.2");
    EXPECT_EQ(t.ParamForm()->Cell(5, 2), "4.2");
    EXPECT_EQ(t.ParamForm()->Cell(3, 1), "40.00");
    kv::fw::TReport r = t.BuildReport(QStringLiteral("B1"), QStringLiteral("28"));
    ASSERT_FALSE(r.Blocks.isEmpty());
    EXPECT_EQ(r.Blocks[0].ValidValue, "4.2");
}

// A group whose program ended after two of three specimens, continued by a
// fresh test object: the stored rows come back with the divisor they were
// tested with, the third specimen completes the group.
struct TResumeCase {
    const char *Name;
    std::function<TConcreteTest *()> Make;
    QString Table;
    QString Grade;
    int Size;
    QString Rate;
    QString TypedK;     // typed into an editable coefficient box, else empty
    double Forces[3];
    QString Shown2;     // strength shown for the second stored specimen
    QString Result;     // group strength at the end
};

class ConcreteResume : public ::testing::TestWithParam<int> {};

const TResumeCase &ResumeCase(int i)
{
    static const TResumeCase cases[] = {
        // φ100×200 cylinders of C30: 7850 mm² ÷ 0.95.
        {"ConCube", [] { return new TConCubeTest; }, "ConCube", "C30", 4, "0.5", "",
         {200000.0, 210000.0, 215000.0}, "25.4", "25.2"},
        // 100 mm prisms of C65 with a coefficient found by test.
        {"ConAxial", [] { return new TConAxialTest; }, "ConAxial", "C65", 1, "0.6", "0.93",
         {500000.0, 520000.0, 700000.0}, "48.4", "48.4"},
        // φ150×300 cylinders split: the circle area ÷ 0.637.
        {"ConSplit", [] { return new TConSplitTest; }, "ConSplit", "C40", 3, "0.05", "",
         {100000.0, 104000.0, 99000.0}, "3.8", "3.7"},
        // 100 mm beams of C30 take 0.85.
        {"ConFlex", [] { return new TConFlexTest; }, "ConFlex", "C30", 2, "0.05", "",
         {16000.0, 17000.0, 18000.0}, "4.3", "4.3"},
    };
    return cases[i];
}

TEST_P(ConcreteResume, UnfinishedGroupContinuedByAFreshObject)
{
    const TResumeCase &c = ResumeCase(GetParam());
    SCOPED_TRACE(c.Name);
    TDb db;
    Messages().clear();
    {
        std::unique_ptr<TConcreteTest> first(c.Make());
        modtest::Load(*first, db.Conn);
        Fill(*first, QStringLiteral("R1"), c.Grade, c.Size, c.Rate);
        if (!c.TypedK.isEmpty()) {
            ASSERT_TRUE(Coefficient(*first)->isEditable());
            Coefficient(*first)->setCurrentText(c.TypedK);
        }
        ASSERT_EQ(Begin(*first), "");
        ASSERT_EQ(RunSpecimen(*first, c.Forces[0]), "");
        ASSERT_EQ(RunSpecimen(*first, c.Forces[1]), "");
        EXPECT_EQ(first->ParamForm()->Cell(2, 2), c.Shown2);
        delete first->ParamForm(); // the program ends without EndGroup
    }
    std::unique_ptr<TConcreteTest> t(c.Make());
    modtest::Load(*t, db.Conn);
    ASSERT_EQ(t->FGroupNo, "R1");
    ASSERT_EQ(t->CheckGroupState(), 2);
    ASSERT_TRUE(t->ResumeGroup());
    EXPECT_EQ(t->FCurrent, 3);
    TParamForm *f = t->ParamForm();
    EXPECT_EQ(f->Cell(2, 2), c.Shown2);
    EXPECT_EQ(Child<QComboBox>(*f, "cbSize")->currentIndex(), c.Size);
    EXPECT_EQ(Child<QComboBox>(*f, "cbVariety")->currentText(), c.Grade);
    EXPECT_EQ(Child<QComboBox>(*f, "cbRate")->currentText(), c.Rate);
    if (!c.TypedK.isEmpty()) {
        EXPECT_EQ(Coefficient(*t)->currentText(), c.TypedK);
    }
    // The stored divisor equals the one a new specimen of that size gets.
    const double stored = t->GetSpecial(1)->FArea;
    ASSERT_EQ(RunSpecimen(*t, c.Forces[2]), "");
    EXPECT_DOUBLE_EQ(t->GetSpecial(2)->FArea, stored);
    t->EndGroup();
    EXPECT_EQ(t->FGroupResultStrength, c.Result);
    EXPECT_EQ(db.Value("select GroMPa from " + c.Table + "Group"), c.Result);
    EXPECT_EQ(db.Count(c.Table + "One"), 3);
    EXPECT_EQ(t->CheckGroupState(), 1);
}

INSTANTIATE_TEST_SUITE_P(EachModule, ConcreteResume, ::testing::Range(0, 4),
                         [](const ::testing::TestParamInfo<int> &i) {
                             return std::string(ResumeCase(i.param).Name);
                         });

TEST(ConcreteResumeFlex, FractureOutsideSurvivesTheRestart)
{
    TDb db;
    kv::TRecordingMessageService &m = Messages();
    m.clear();
    {
        TConFlexTest first;
        modtest::Load(first, db.Conn);
        Fill(first, QStringLiteral("F1"), QStringLiteral("C30"), 0, QStringLiteral("0.05"));
        ASSERT_EQ(Begin(first), "");
        m.queueAnswer(kv::TMsgResult::No);
        ASSERT_EQ(RunSpecimen(first, 40000.0), ""); // 5.3 MPa, broken outside
        m.queueAnswer(kv::TMsgResult::Yes);
        ASSERT_EQ(RunSpecimen(first, 30000.0), ""); // 4.0
        delete first.ParamForm();
    }
    TConFlexTest t;
    modtest::Load(t, db.Conn);
    ASSERT_TRUE(t.ResumeGroup());
    EXPECT_EQ(t.GetFlexSpecial(0)->FIsOut, 1);
    EXPECT_EQ(t.GetFlexSpecial(1)->FIsOut, 0);
    m.queueAnswer(kv::TMsgResult::Yes);
    ASSERT_EQ(RunSpecimen(t, 33000.0), ""); // 4.4
    t.EndGroup();
    EXPECT_EQ(t.FGroupResultStrength, "4.2");
}

TEST(ConcreteModules, LoadedAsTheProgramDoes)
{
    struct {
        const char *Module;
        const char *Name;
        quint32 Mask;
    } expected[] = {{"ConCube", "普通混凝土抗压", 1},
                    {"ConAxial", "普通混凝土轴心抗压", 1},
                    {"ConSplit", "普通混凝土劈裂抗拉", 1},
                    {"ConFlex", "普通混凝土抗折", 3}};
    TDb db;
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    for (const auto &e : expected) {
        QLibrary lib(kvtest::StageDir() + QStringLiteral("/dll/") + QLatin1String(e.Module) + QStringLiteral(".so"));
        ASSERT_TRUE(lib.load()) << lib.errorString().toStdString();
        auto get = reinterpret_cast<kv::TGetBaseTestsProc>(lib.resolve(kv::GetBaseTestsExportName));
        ASSERT_NE(get, nullptr);
        kv::TBaseTests tests;
        get(tests);
        ASSERT_EQ(tests.size(), 1u);
        std::unique_ptr<kv::TBaseTest> t(tests[0]);
        EXPECT_EQ(t->TestName(), QString::fromUtf8(e.Name));
        EXPECT_EQ(t->FMachineMask, e.Mask);
        EXPECT_EQ(t->FMenuGroup, 1);
        EXPECT_EQ(t->FGroupData.FStandard, "GB/T 50081-2002");
        t->SetConnection(&db.Conn);
        EXPECT_TRUE(t->InitTables());
        for (const char *suffix : {"Group", "One", "PARAM"})
            EXPECT_TRUE(db.Conn.tableExists(QLatin1String(e.Module) + QLatin1String(suffix))) << e.Module << suffix;
        std::unique_ptr<QWidget> form(t->CreateParamForm(nullptr));
        ASSERT_NE(form, nullptr);
        form->resize(420, 560);
        form->show();
        QCoreApplication::processEvents();
        const QPixmap p = form->grab();
        EXPECT_FALSE(p.isNull());
        if (!shots.isEmpty())
            p.save(QDir(shots).filePath(QLatin1String(e.Module) + QStringLiteral(".png")));
    }
}

TEST(ConcreteModules, EnglishTexts)
{
    TDb db;
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    QTranslator tr;
    ASSERT_TRUE(tr.load(kvtest::StageDir() + QStringLiteral("/dll/ConFlex.ENU.qm")));
    QCoreApplication::installTranslator(&tr);
    kv::TRecordingMessageService &m = Messages();
    m.clear();
    TConFlexTest t;
    modtest::Load(t, db.Conn);
    EXPECT_EQ(t.FTestName, "Concrete flexure");
    QStringList labels;
    for (QLabel *l : t.ParamForm()->findChildren<QLabel *>())
        labels << l->text();
    for (const char *caption : {"Size coefficient", "Load rate (kN/s)", "Stress rate (MPa/s)", "Specimen size (mm)"})
        EXPECT_TRUE(labels.contains(QLatin1String(caption))) << caption;
    Coefficient(t)->setEditable(true);
    Coefficient(t)->setCurrentText(QStringLiteral("x"));
    EXPECT_EQ(Begin(t), "The coefficient is not valid");
    Fill(t, QStringLiteral("E1"), QStringLiteral("C30"), 0, QStringLiteral("0.05"), QStringLiteral("1"));
    ASSERT_EQ(Begin(t), "");
    ASSERT_EQ(RunSpecimen(t, 30000.0), "");
    EXPECT_EQ(m.lastText(), "Did the beam break between the load points?");
    if (!shots.isEmpty()) {
        t.ParamForm()->resize(420, 560);
        t.ParamForm()->show();
        QCoreApplication::processEvents();
        t.ParamForm()->grab().save(QDir(shots).filePath(QStringLiteral("ConFlex-en.png")));
    }
}
