// A stored group printed through a lab's template by its test module: the
// values in the cells the marks name, the curves on sheet 2, the copy under
// OutFile/ opened by the desktop; and each failure named, the template never
// changed.
#include "ModuleTestSupport.h"
#include "TemplateTestSupport.h"
#include "XlsxReadBack.h"

#include "CemCompTest.h"
#include "CemDuoTest.h"
#include "CemFlexTest.h"
#include "xlsx/XlsxBook.h"

#include <QDir>
#include <QTemporaryDir>
#include <unistd.h>

using namespace kv;
using kvtest::Child;
using modtest::TDb;

namespace {

const bool kRecording = (modtest::Messages(), true);

void RunGroup(fw::TFrameworkTest &t, const QString &group, const std::vector<double> &forces)
{
    fw::TParamForm *f = t.ParamForm();
    Child<QLineEdit>(*f, "edtGroupNo")->setText(group);
    Child<QComboBox>(*f, "cbCount")->setCurrentText(QString::number(forces.size()));
    Child<QComboBox>(*f, "cbMode")->setCurrentIndex(0);
    QString msg;
    t.BeginGroup(msg);
    ASSERT_EQ(msg, "");
    for (double force : forces)
        ASSERT_EQ(modtest::RunSpecimen(t, force), "");
    t.EndGroup();
}

QString LastMessage()
{
    const auto &m = modtest::Messages().messages();
    return m.isEmpty() ? QString() : m.last().text;
}

struct TCemCompRig {
    TDb Db;
    QTemporaryDir Program;
    cem::TCemCompTest Test;
    QString Template;
    QString Out;
    TCemCompRig()
    {
        modtest::Load(Test, Db.Conn, Program.path());
        Child<QComboBox>(*Test.ParamForm(), "cbSize")->setCurrentText(QStringLiteral("40*40"));
        RunGroup(Test, QStringLiteral("T-1"), {64000, 64000, 64000, 64000, 64000, 48000});
        for (int k = 1; k <= 6; ++k)
            modtest::WriteCurve(Test, Program.path(), k, modtest::Ramp(2400.0, k == 6 ? 48000.0 : 64000.0));
        Template = templtest::InstallTemplate(Program.path(), Test.FTestName, templtest::DataFile("cemcomp_report.xlsx"),
                                              QStringLiteral("检验报告.xlsx"));
        Out = QDir(Program.path()).filePath(QStringLiteral("OutFile/水泥胶砂抗压_T-1_2026-12-08_检验报告.xlsx"));
        Test.FSelectedAge = QStringLiteral("28");
        modtest::Messages().clear();
    }
    bool Print(const QString &templ = QStringLiteral("检验报告"))
    {
        return Test.PrintReport(QStringLiteral("T-1::") + templ + QStringLiteral("::"));
    }
};

} // namespace

TEST(TemplateExport, CemCompGroupFillsTheNamedCellsAndTheCurveSheet)
{
    KV_NEED_OPENPYXL();
    TCemCompRig rig;
    templtest::TOpened opened;
    templtest::TNoOffice noOffice;
    const QByteArray before = templtest::Hash(rig.Template);
    ASSERT_TRUE(rig.Print());
    EXPECT_EQ(opened.Files, QStringList{rig.Out});
    EXPECT_TRUE(LastMessage().contains(QDir::toNativeSeparators(rig.Out)));
    EXPECT_TRUE(LastMessage().contains(QStringLiteral("没有安装LibreOffice"))) << LastMessage().toStdString();
    EXPECT_EQ(templtest::Hash(rig.Template), before);

    QString error;
    const QJsonObject book = xlsxtest::ReadBack(rig.Out, &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject c = xlsxtest::Cells(book, QStringLiteral("报告"));
    EXPECT_EQ(c[QStringLiteral("B3")].toString(), "T-1");
    EXPECT_EQ(c[QStringLiteral("D3")].toDouble(), 28.0);
    EXPECT_EQ(c[QStringLiteral("F3")].toString(), rig.Db.Value(QStringLiteral("select PingZhong from CemCompGroup")));
    EXPECT_EQ(c[QStringLiteral("B4")].toString(), "2026-12-08");
    EXPECT_EQ(c[QStringLiteral("D4")].toString(), "Admin");
    EXPECT_EQ(c[QStringLiteral("F4")].toString(), "GB/T 17671-1999");
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(c[QStringLiteral("B%1").arg(6 + k)].toDouble(), 64.0) << k;
        EXPECT_EQ(c[QStringLiteral("C%1").arg(6 + k)].toDouble(), 40.0) << k;
        EXPECT_EQ(c[QStringLiteral("D%1").arg(6 + k)].toString(), "40.0*40.0") << k;
    }
    EXPECT_EQ(c[QStringLiteral("C12")].toDouble(), 30.0);
    EXPECT_EQ(c[QStringLiteral("B14")].toDouble(), 40.0); // the valid strength, 30 dropped
    EXPECT_EQ(c[QStringLiteral("B13")].toDouble(),
              rig.Db.Value(QStringLiteral("select GrokN from CemCompGroup")).toDouble());
    const QJsonObject curve = xlsxtest::Cells(book, QStringLiteral("曲线"));
    EXPECT_EQ(curve[QStringLiteral("L22")].toDouble(), 48.0); // specimen 6's peak, in kN
    EXPECT_EQ(curve[QStringLiteral("B2")].toDouble(), 0.0);
    EXPECT_NEAR(curve[QStringLiteral("A22")].toDouble(), 64000.0 / 2400.0, 0.001);
}

TEST(TemplateExport, CemDuoFillsItsFlexuralNames)
{
    KV_NEED_OPENPYXL();
    TDb db;
    QTemporaryDir program;
    cem::TCemFlexTest flex;
    modtest::Load(flex, db.Conn, program.path());
    flex.ParamForm()->ExtraCombo(QStringLiteral("LenAv"))->setCurrentText(QStringLiteral("40"));
    flex.ParamForm()->ExtraCombo(QStringLiteral("HeiAv"))->setCurrentText(QStringLiteral("100"));
    RunGroup(flex, QStringLiteral("D-7"), {2560, 2645.3, 3200});
    cem::TCemDuoTest duo;
    modtest::Load(duo, db.Conn, program.path());
    Child<QComboBox>(*duo.ParamForm(), "cbSize")->setCurrentText(QStringLiteral("40*40"));
    RunGroup(duo, QStringLiteral("D-7"), {64000, 64000, 64000, 64000, 64000, 48000});

    // The one-sheet template marked for the flexural values.
    xlsx::TXlsxBook marked;
    ASSERT_TRUE(marked.Open(templtest::DataFile("horizontal.xlsx")));
    marked.SetMarks({{QStringLiteral("DIY_组号"), QStringLiteral("Sheet1!$B$2")},
                     {QStringLiteral("DIY_抗折有效强度"), QStringLiteral("Sheet1!$B$6:$D$6")},
                     {QStringLiteral("DIY_抗折有效力值"), QStringLiteral("Sheet1!$G$6")},
                     {QStringLiteral("DIY_抗折强度_1"), QStringLiteral("Sheet1!$B$4")},
                     {QStringLiteral("DIY_抗折强度_3"), QStringLiteral("Sheet1!$F$4")},
                     {QStringLiteral("DIY_抗折载荷_2"), QStringLiteral("Sheet1!$B$8")},
                     {QStringLiteral("DIY_抗折边长_1"), QStringLiteral("Sheet1!$B$9")},
                     {QStringLiteral("DIY_抗折跨距_1"), QStringLiteral("Sheet1!$B$10")},
                     {QStringLiteral("DIY_强度_6"), QStringLiteral("Sheet1!$B$11")}});
    const QString folder = QDir(program.path()).filePath(QStringLiteral("Report/") + duo.FTestName);
    QDir().mkpath(folder);
    ASSERT_TRUE(marked.SaveAs(QDir(folder).filePath(QStringLiteral("抗折.xlsx"))));

    templtest::TOpened opened;
    templtest::TNoOffice noOffice;
    duo.FSelectedAge = QStringLiteral("28");
    ASSERT_TRUE(duo.PrintReport(QStringLiteral("D-7::抗折::")));
    ASSERT_EQ(opened.Files.size(), 1);
    QString error;
    const QJsonObject book = xlsxtest::ReadBack(opened.Files[0], &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject c = xlsxtest::Cells(book, QStringLiteral("Sheet1"));
    EXPECT_EQ(c[QStringLiteral("B2")].toString(), "D-7");
    EXPECT_EQ(c[QStringLiteral("B6")].toDouble(), 6.1); // 7.5 dropped, as in the built-in report
    EXPECT_EQ(c[QStringLiteral("G6")].toDouble(), db.Value(QStringLiteral("select GrokN from CemFlexGroup")).toDouble());
    EXPECT_EQ(c[QStringLiteral("B4")].toDouble(), 6.0);
    EXPECT_EQ(c[QStringLiteral("F4")].toDouble(), 7.5);
    EXPECT_EQ(c[QStringLiteral("B8")].toDouble(), 2645.3);
    EXPECT_EQ(c[QStringLiteral("B9")].toDouble(), 40.0);
    EXPECT_EQ(c[QStringLiteral("B10")].toDouble(), 100.0);
    EXPECT_EQ(c[QStringLiteral("B11")].toDouble(), 30.0);
    // No sheet 2 in the template: one was added for the curves (none stored here).
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().size(), 2);
}

TEST(TemplateExport, EachFailureIsNamedAndTheTemplateStaysAsItWas)
{
    TCemCompRig rig;
    templtest::TOpened opened;
    templtest::TNoOffice noOffice;
    const QString folder = QFileInfo(rig.Template).absolutePath();
    auto expectRefused = [&](const QString &templ, const QString &file, const QString &says) {
        SCOPED_TRACE(templ.toStdString());
        const QByteArray before = templtest::Hash(file);
        modtest::Messages().clear();
        EXPECT_FALSE(rig.Print(templ));
        EXPECT_TRUE(LastMessage().contains(says)) << LastMessage().toStdString();
        EXPECT_EQ(modtest::Messages().messages().size(), 1);
        EXPECT_EQ(templtest::Hash(file), before);
        EXPECT_TRUE(opened.Files.isEmpty());
        EXPECT_TRUE(QDir(QDir(rig.Program.path()).filePath(QStringLiteral("OutFile"))).entryList({QStringLiteral("*.xlsx")}).isEmpty());
    };
    // A mark whose sheet was deleted.
    xlsx::TXlsxBook book;
    ASSERT_TRUE(book.Open(rig.Template));
    QList<xlsx::TDefinedName> marks = book.Marks();
    for (xlsx::TDefinedName &m : marks)
        if (m.Name == QStringLiteral("DIY_试验员"))
            m.RefersTo = QStringLiteral("#REF!$D$4");
    book.SetMarks(marks);
    const QString dangling = QDir(folder).filePath(QStringLiteral("断开.xlsx"));
    ASSERT_TRUE(book.SaveAs(dangling));
    expectRefused(QStringLiteral("断开"), dangling, QStringLiteral("DIY_试验员"));
    // A broken workbook.
    const QString broken = QDir(folder).filePath(QStringLiteral("损坏.xlsx"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(templtest::Hash(rig.Template).repeated(40));
    f.close();
    expectRefused(QStringLiteral("损坏"), broken, QStringLiteral("无法打开"));
    // An old .xls without LibreOffice to convert it.
    const QString xls = QDir(folder).filePath(QStringLiteral("旧格式.xls"));
    ASSERT_TRUE(QFile::copy(rig.Template, xls));
    expectRefused(QStringLiteral("旧格式"), xls, QStringLiteral("LibreOffice"));
    expectRefused(QStringLiteral("不存在"), rig.Template, QStringLiteral("不存在"));
    // OutFile/ that cannot be written (for root, a file in its place).
    const QString out = QDir(rig.Program.path()).filePath(QStringLiteral("OutFile"));
    QTemporaryDir keep;
    ASSERT_TRUE(QDir().rename(out, keep.filePath(QStringLiteral("OutFile"))));
    if (geteuid() == 0) {
        QFile blocker(out);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    } else {
        ASSERT_TRUE(QDir().mkpath(out));
        QFile::setPermissions(out, QFile::ReadOwner | QFile::ExeOwner);
    }
    expectRefused(QStringLiteral("检验报告"), rig.Template, QStringLiteral("无法保存"));
    EXPECT_TRUE(LastMessage().contains(QDir::toNativeSeparators(out))) << LastMessage().toStdString();
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
