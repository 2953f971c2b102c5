// End to end: a six-specimen CemComp group on the simulated box over a
// pseudo-terminal, in real time, through the program's module host and run
// sequence. The stored forces, strengths and group result must be what the
// rule gives for the strengths the box broke at, and the report's PDF must
// show every field.
#include "../run/SimRunRig.h"

#include "CemCompTest.h"
#include "CemRules.h"
#include "CurveFile.h"
#include "GroupResult.h"
#include "ModuleReport.h"
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

#include "ui/records/RecordsWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace kv;
using linktest::TSim;

namespace {

struct TSimRig : runtest::TSimRunRig {
    TSimRig() : TSimRunRig(0, QStringLiteral("CemComp")) {} // KVD300
    template <class T> T *Control(const char *name)
    {
        return W->ParamForm() ? W->ParamForm()->findChild<T *>(QLatin1String(name)) : nullptr;
    }
};

QString Tool(const char *name) { return QStandardPaths::findExecutable(QLatin1String(name)); }

// The records window over the rig's main window, as its report button opens it.
std::unique_ptr<TfrmPrint> Records(TSimRig &rig)
{
    TRecordsEnv env;
    env.Tests = rig.W->MyFunction();
    env.Connection = &rig.W->DataModule()->conZovDb;
    env.MachineBit = static_cast<quint32>(rig.Box->ModelKind());
    env.CurrentTestIndex = env.Tests->CurrentIndex();
    env.ProgramDir = rig.W->ProgramDir();
    env.UserName = rig.W->FUserName;
    return std::make_unique<TfrmPrint>(std::move(env), rig.W.get());
}

// Prints the current group's built-in report from the records window: its
// print preview prints to a PDF file instead of a printer.
void PrintToPdf(TfrmPrint &records, const QString &pdf)
{
    QFile::remove(pdf);
    QTimer::singleShot(0, [pdf] {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        preview->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview->printer()->setOutputFileName(pdf);
        preview->findChild<QPrintPreviewWidget *>()->print();
        preview->accept();
    });
    records.PrintEntry(0);
}

} // namespace

TEST(CemCompOnSimulator, SixSpecimenGroupStoredEvaluatedAndReported)
{
    TSimRig rig;
    TSim sim(rig.Folder, QStringLiteral("KVD300"), 1);
    ASSERT_TRUE(sim.WaitReady());
    // Five prisms near 40 MPa and one far below on a 40 × 40 mm face, all
    // above the box's control entry and the start force of the installed set.
    const double strengths[6] = {64000, 65000, 63000, 64500, 63500, 48000};
    ASSERT_TRUE(sim.Ok(QStringLiteral("strength 64000 65000 63000 64500 63500 48000")));
    rig.Show();
    ASSERT_TRUE(rig.Box->IsOnline());
    TBaseTest *test = rig.W->MyFunction()->CurrentTest();
    ASSERT_NE(test, nullptr);
    ASSERT_EQ(test->FTestName, QStringLiteral("水泥胶砂抗压"));
    rig.UseForceDropJudgement();

    auto *group = rig.Control<QLineEdit>("edtGroupNo");
    ASSERT_NE(group, nullptr);
    group->setText(QStringLiteral("E2E'1"));
    rig.Control<QComboBox>("cbSize")->setCurrentText(QStringLiteral("40*40"));
    rig.Control<QComboBox>("cbRate")->setCurrentText(QStringLiteral("5.0"));
    rig.Control<QComboBox>("cbCount")->setCurrentText(QStringLiteral("6"));
    rig.Control<QComboBox>("cbMode")->setCurrentIndex(0);
    rig.Messages.clear();

    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(rig.RunOneSpecimen());
        EXPECT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() < 0.2 * strengths[i]; }, 5000));
    }
    EXPECT_FALSE(rig.W->Run().GroupActive());
    EXPECT_EQ(test->FCurrent, 1);

    // What is stored.
    db::TDbConnection conn;
    conn.open(rig.Db.path);
    db::TDbQuery q(conn);
    q.setSql(QStringLiteral("select * from CemCompGROne where ZuHao = 'E2E''1' order by ShunXu"));
    q.open();
    ASSERT_EQ(q.recordCount(), 6);
    std::vector<float> forces, mpa;
    for (int i = 0; i < 6; ++i) {
        q.moveTo(i);
        const double n = q.fieldByName(QStringLiteral("OnekN")).asFloat();
        // Within two samples of loading at 5 kN/s (500 N each) plus the noise.
        EXPECT_NEAR(n, strengths[i], 1000.0) << i;
        EXPECT_EQ(q.fieldByName(QStringLiteral("LenAv")).asString(), "40.0");
        EXPECT_EQ(q.fieldByName(QStringLiteral("ShunXu")).asInteger(), i + 1);
        forces.push_back(fw::ShownValue(n / 1000.0, 2));
        mpa.push_back(fw::ShownValue(n / 1600.0, 1));
    }
    const fw::TRuleResult fr = cem::CompressiveRule(forces);
    const fw::TRuleResult sr = cem::CompressiveRule(mpa);
    EXPECT_EQ(sr.Marked, std::vector<int>{5}); // the weak prism is the outlier
    EXPECT_FALSE(sr.Invalid);
    q.setSql(QStringLiteral("select * from CemCompGroup where ZuHao = 'E2E''1'"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(QStringLiteral("GroMPa")).asString(), fw::StrengthResultText(sr, 6));
    EXPECT_EQ(q.fieldByName(QStringLiteral("GrokN")).asString(), fw::ForceResultText(fr, 6));
    EXPECT_EQ(q.fieldByName(QStringLiteral("GroNum")).asInteger(), 6);
    EXPECT_EQ(q.fieldByName(QStringLiteral("SelectGroNum")).asInteger(), 6);
    EXPECT_EQ(q.fieldByName(QStringLiteral("Speed")).asString(), "5000.0");
    EXPECT_EQ(q.fieldByName(QStringLiteral("ExpMan")).asString(), "Admin");
    EXPECT_EQ(test->FGroupResultStrength, fw::StrengthResultText(sr, 6));
    auto *grid = rig.W->ParamForm()->findChild<QTableWidget *>(QStringLiteral("sgResult"));
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->item(6, 1)->text().startsWith(QLatin1Char('*')));
    EXPECT_EQ(grid->item(8, 2)->text(), fw::StrengthResultText(sr, 6));
    // Six curves in the group's file.
    const QString curves = CurveFilePath(*test, rig.W->GlbParam()->OutFileDir);
    for (int i = 0; i < 6; ++i)
        EXPECT_GT(ReadCurveFile(curves, i).size(), 5u) << i;

    // The report of the stored group as a PDF, turned into a picture and text.
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    if (!shots.isEmpty())
        rig.W->grab().save(QDir(shots).filePath(QStringLiteral("e2e_window.png")));
    // Found again in the records window by number and by today's date, and
    // its built-in report printed from there to a PDF file.
    auto records = Records(rig);
    records->SetSearchMode(TSearchMode::ByNumber);
    kvtest::Child<QLineEdit>(*records, "edtZuHao1")->setText(QStringLiteral("E2E"));
    records->Search();
    ASSERT_EQ(records->RowCount(), 1);
    ASSERT_EQ(records->CurrentGroupNo(), "E2E'1");
    records->SetSearchMode(TSearchMode::ByDate);
    records->Search();
    ASSERT_EQ(records->RowCount(), 1);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("e2e.pdf"));
    PrintToPdf(*records, pdf);
    ASSERT_TRUE(QFile::exists(pdf));
    if (Tool("pdftotext").isEmpty() || Tool("pdftoppm").isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    QProcess ppm;
    ppm.start(Tool("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"), pdf,
                                  dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(ppm.waitForFinished(30000));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("page-1.png"))));
    if (!shots.isEmpty())
        QFile::copy(dir.filePath(QStringLiteral("page-1.png")), QDir(shots).filePath(QStringLiteral("e2e_report.png")));
    QProcess text;
    text.start(Tool("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString t = QString::fromUtf8(text.readAllStandardOutput());
    QStringList fields = {QStringLiteral("水泥胶砂抗压 报表"), QStringLiteral("E2E'1"), QStringLiteral("Admin"),
                          QStringLiteral("GB/T 17671-1999"), QStringLiteral("委托单位"), QStringLiteral("40.0*40.0"),
                          QStringLiteral("有效强度(MPa)"), fw::StrengthResultText(sr, 6)};
    for (int i = 0; i < 6; ++i)
        fields << FixedText(forces[i], 2) << FixedText(mpa[i], 1);
    for (const QString &f : fields)
        EXPECT_TRUE(t.contains(f)) << f.toStdString();

    // Admin corrects the first prism: the grid, the report and the trail show it.
    const QString shownBefore = records->CellText(0, 5);
    QTimer::singleShot(0, [] {
        auto *form = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        kvtest::Child<QTableWidget>(*form, "sgData")->item(0, 4)->setText(QStringLiteral("56.00"));
        kvtest::Child<QPushButton>(*form, "btnOK")->click();
    });
    records->CorrectCurrent();
    EXPECT_NE(records->CellText(0, 5), shownBefore);
    EXPECT_EQ(kvtest::Child<QTableWidget>(*records, "sgAudit")->rowCount(), 1);
    PrintToPdf(*records, pdf);
    text.start(Tool("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("已修正")));
}
