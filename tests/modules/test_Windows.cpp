// The windows of the framework: parameter form, results window, report. Each
// is drawn offscreen; with KV_SHOT_DIR set the pictures are kept there. The
// report's PDF is read back as text (pdftotext) when poppler is installed.
#include "CemCompTest.h"
#include "CemDuoTest.h"
#include "CemFlexTest.h"
#include "ModuleReport.h"
#include "ModuleTestSupport.h"
#include "MorCubeTest.h"
#include "ResultsWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextDocument>

using modtest::RunSpecimen;
using modtest::TDb;
using kvtest::Child;

namespace {

void Shot(QWidget &w, const QString &name)
{
    const QString dir = qEnvironmentVariable("KV_SHOT_DIR");
    w.show();
    QCoreApplication::processEvents();
    const QPixmap p = w.grab();
    EXPECT_FALSE(p.isNull());
    if (!dir.isEmpty())
        p.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

QString PdfText(const QString &pdf)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void RunGroup(kv::fw::TFrameworkTest &t, const QString &group, const std::vector<double> &forces)
{
    kv::fw::TParamForm *f = t.ParamForm();
    Child<QLineEdit>(*f, "edtGroupNo")->setText(group);
    Child<QComboBox>(*f, "cbCount")->setCurrentText(QString::number(forces.size()));
    Child<QComboBox>(*f, "cbMode")->setCurrentIndex(0);
    QString msg;
    t.BeginGroup(msg);
    ASSERT_EQ(msg, "");
    for (double force : forces)
        ASSERT_EQ(RunSpecimen(t, force), "");
    t.EndGroup();
}

} // namespace

TEST(ModuleWindows, ParameterFormsAndResultsWindow)
{
    TDb db;
    QTemporaryDir program;
    kv::cem::TCemCompTest comp;
    modtest::Load(comp, db.Conn, program.path());
    comp.ParamForm()->resize(330, 620);
    Child<QComboBox>(*comp.ParamForm(), "cbSize")->setCurrentText(QStringLiteral("40*40"));
    RunGroup(comp, QStringLiteral("S-1"), {64000, 64000, 64000, 64000, 64000, 48000});
    EXPECT_EQ(comp.ParamForm()->Cell(6, 1), "*48.00");
    Shot(*comp.ParamForm(), QStringLiteral("CemComp_form"));
    // Curves at the set rate 2.4 kN/s, the second 1.2 times as fast, the last none.
    for (int k = 1; k <= 5; ++k)
        modtest::WriteCurve(comp, program.path(), k, modtest::Ramp(k == 2 ? 2880.0 : 2400.0, 64000.0));

    kv::cem::TCemFlexTest flex;
    modtest::Load(flex, db.Conn);
    flex.ParamForm()->resize(330, 620);
    Shot(*flex.ParamForm(), QStringLiteral("CemFlex_form"));
    kv::mor::TMorCubeTest mor;
    modtest::Load(mor, db.Conn);
    mor.ParamForm()->resize(330, 620);
    Child<QComboBox>(*mor.ParamForm(), "cbMode")->setCurrentIndex(1);
    EXPECT_TRUE(Child<QComboBox>(*mor.ParamForm(), "cbDelay")->isVisibleTo(mor.ParamForm()));
    Child<QComboBox>(*mor.ParamForm(), "cbMode")->setCurrentIndex(0);
    EXPECT_FALSE(Child<QComboBox>(*mor.ParamForm(), "cbDelay")->isVisibleTo(mor.ParamForm()));
    Shot(*mor.ParamForm(), QStringLiteral("MorCube_form"));

    comp.FSelectedAge = QStringLiteral("28");
    std::unique_ptr<QDialog> res(comp.CreateResultForm(QStringLiteral("S-1"), nullptr));
    EXPECT_EQ(res->windowTitle(), "数据明细");
    Shot(*res, QStringLiteral("CemComp_results"));
}

TEST(ModuleWindows, ReportPdfShowsEveryField)
{
    TDb db;
    // The flexural group first, then the compressive group of the same number.
    kv::cem::TCemFlexTest flex;
    modtest::Load(flex, db.Conn);
    flex.ParamForm()->ExtraCombo(QStringLiteral("LenAv"))->setCurrentText(QStringLiteral("40"));
    flex.ParamForm()->ExtraCombo(QStringLiteral("HeiAv"))->setCurrentText(QStringLiteral("100"));
    RunGroup(flex, QStringLiteral("D-7"), {2560, 2645.3, 3200});
    kv::cem::TCemDuoTest duo;
    modtest::Load(duo, db.Conn);
    Child<QComboBox>(*duo.ParamForm(), "cbSize")->setCurrentText(QStringLiteral("40*40"));
    RunGroup(duo, QStringLiteral("D-7"), {64000, 64000, 64000, 64000, 64000, 48000});

    const kv::fw::TReport rep = duo.BuildReport(QStringLiteral("D-7"), QStringLiteral("28"));
    ASSERT_EQ(rep.Blocks.size(), 2);
    const kv::fw::TReportBlock &fb = rep.Blocks[1];
    ASSERT_EQ(fb.Rows.size(), 3);
    EXPECT_EQ(fb.Rows[0], (QStringList{"1", "40.0", "100.0", "2560.00", "6.0"}));
    // 6.0, 6.2, 7.5: 7.5 is dropped, the other two give 6.1.
    EXPECT_EQ(fb.ValidValue, "6.1");
    EXPECT_EQ(rep.Blocks[0].ValidValue, "40.0");

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(kv::fw::ReportToPdf(rep, pdf));
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    if (!shots.isEmpty())
        QFile::copy(pdf, QDir(shots).filePath(QStringLiteral("CemDuo_report.pdf")));
    const QString text = PdfText(pdf);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    for (const QString &field :
         {QStringLiteral("水泥胶砂抗压 报表"), QStringLiteral("D-7"), QStringLiteral("2026-12-08"), QStringLiteral("Admin"),
          QStringLiteral("GB/T 17671-1999"), QStringLiteral("委托单位"), QStringLiteral("水泥抗压结果数据"),
          QStringLiteral("40.0*40.0"), QStringLiteral("48.00"), QStringLiteral("30.0"), QStringLiteral("有效强度(MPa)"),
          QStringLiteral("水泥抗折结果数据"), QStringLiteral("2560.00"), QStringLiteral("6.1")})
        EXPECT_TRUE(text.contains(field)) << field.toStdString();

    // The preview path goes through the presenter (a test one here).
    int shown = 0;
    kv::fw::SetReportPresenter([&](const kv::fw::TReport &r, QWidget *) {
        ++shown;
        EXPECT_EQ(r.Header[0].second, "D-7");
        return true;
    });
    duo.FSelectedAge = QStringLiteral("28");
    EXPECT_TRUE(duo.PrintReport(QStringLiteral("D-7::::")));
    EXPECT_FALSE(duo.PrintReport(QStringLiteral("D-7::模板::"))); // no such template: nothing printed
    kv::fw::SetReportPresenter({});
    EXPECT_EQ(shown, 1);

    // The real print preview opens modally and closes again.
    bool previewed = false;
    QTimer::singleShot(300, [&] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        previewed = true;
        Shot(*w, QStringLiteral("CemDuo_preview"));
        w->close();
    });
    EXPECT_TRUE(duo.PrintReport(QStringLiteral("D-7::::")));
    EXPECT_TRUE(previewed);
}
