// End to end: a CemComp group tested on kvdsim, found in the records window
// and printed there through a lab's template; the filled copy's named cells
// hold the stored group's values, and with LibreOffice the PDF made from it
// shows them.
#include "../run/SimRunRig.h"
#include "TemplateTestSupport.h"
#include "XlsxReadBack.h"

#include "SqlText.h"
#include "db/DbEngine.h"
#include "ui/records/ConfigRepDialog.h"
#include "ui/records/RecordsWindow.h"
#include "xlsx/OfficeConvert.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>

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

} // namespace

TEST(TemplateOnSimulator, CemCompGroupPrintedThroughATemplateFromTheRecordsWindow)
{
    KV_NEED_OPENPYXL();
    TSimRig rig;
    TSim sim(rig.Folder, QStringLiteral("KVD300"), 1);
    ASSERT_TRUE(sim.WaitReady());
    ASSERT_TRUE(sim.Ok(QStringLiteral("strength 64000 60000 48000")));
    InstallReportSettings(rig.Steps);
    rig.Show();
    ASSERT_TRUE(rig.Box->IsOnline());
    rig.UseForceDropJudgement();
    rig.Control<QLineEdit>("edtGroupNo")->setText(QStringLiteral("TPL-1"));
    rig.Control<QComboBox>("cbSize")->setCurrentText(QStringLiteral("40*40"));
    rig.Control<QComboBox>("cbRate")->setCurrentText(QStringLiteral("5.0"));
    rig.Control<QComboBox>("cbCount")->setCurrentText(QStringLiteral("3"));
    rig.Control<QComboBox>("cbMode")->setCurrentIndex(0);
    rig.Messages.clear();
    for (double peak : {64000.0, 60000.0, 48000.0}) {
        ASSERT_TRUE(rig.RunOneSpecimen());
        EXPECT_TRUE(rig.WaitFor([&] { return rig.Box->ReadForce() < 0.2 * peak; }, 5000));
    }
    ASSERT_FALSE(rig.W->Run().GroupActive());

    // What is stored: the values the template must show.
    db::TDbConnection conn;
    conn.open(rig.Db.path);
    db::TDbQuery q(conn);
    q.setSql(QStringLiteral("select OnekN from CemCompGROne where ZuHao = 'TPL-1' order by ShunXu"));
    q.open();
    ASSERT_EQ(q.recordCount(), 3);
    QStringList loads, strengths;
    for (int i = 0; i < 3; ++i) {
        const double n = q.valueAt(i, 0).toDouble();
        loads << FixedText(n / 1000.0, 2);
        strengths << FixedText(n / 1600.0, 1);
    }
    q.setSql(QStringLiteral("select GroMPa, GrokN, ExpDate from CemCompGroup where ZuHao = 'TPL-1'"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    const QString groupMpa = q.valueAt(0, 0).toString(), groupKn = q.valueAt(0, 1).toString();
    const QString date = q.valueAt(0, 2).toString();

    // Printed from the records window through the lab's template.
    const QString templ = templtest::InstallTemplate(rig.W->ProgramDir(), QStringLiteral("水泥胶砂抗压"),
                                                     templtest::DataFile("cemcomp_report.xlsx"), QStringLiteral("检验报告.xlsx"));
    const QByteArray before = templtest::Hash(templ);
    templtest::TOpened opened;
    auto records = Records(rig);
    kvtest::Child<QLineEdit>(*records, "edtZuHao1")->setText(QStringLiteral("TPL"));
    records->Search();
    ASSERT_EQ(records->CurrentGroupNo(), "TPL-1");
    ASSERT_EQ(records->ReportMenuEntries(), (QStringList{"内置报表", "检验报告"}));
    {
        templtest::TNoOffice noOffice;
        rig.Messages.clear();
        records->PrintEntry(1);
    }
    const QString out = QDir(rig.W->ProgramDir())
                            .filePath(QStringLiteral("OutFile/水泥胶砂抗压_TPL-1_") + date + QStringLiteral("_检验报告.xlsx"));
    ASSERT_EQ(opened.Files, QStringList{out});
    ASSERT_EQ(rig.Messages.texts().size(), 1);
    EXPECT_TRUE(rig.Messages.texts()[0].contains(QStringLiteral("没有安装LibreOffice")));
    EXPECT_EQ(templtest::Hash(templ), before);

    QString error;
    const QJsonObject book = xlsxtest::ReadBack(out, &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject c = xlsxtest::Cells(book, QStringLiteral("报告"));
    EXPECT_EQ(c[QStringLiteral("B3")].toString(), "TPL-1");
    EXPECT_EQ(c[QStringLiteral("B4")].toString(), date);
    EXPECT_EQ(c[QStringLiteral("D4")].toString(), "Admin");
    for (int k = 0; k < 3; ++k) {
        EXPECT_DOUBLE_EQ(c[QStringLiteral("B%1").arg(7 + k)].toDouble(), loads[k].toDouble()) << k;
        EXPECT_DOUBLE_EQ(c[QStringLiteral("C%1").arg(7 + k)].toDouble(), strengths[k].toDouble()) << k;
    }
    EXPECT_FALSE(c.contains(QStringLiteral("B10"))) << "a group of three leaves specimen 4's cell empty";
    EXPECT_DOUBLE_EQ(c[QStringLiteral("B14")].toDouble(), groupMpa.toDouble());
    EXPECT_DOUBLE_EQ(c[QStringLiteral("B13")].toDouble(), groupKn.toDouble());
    // Each specimen's curve on sheet 2, rising to its peak in kN.
    const QJsonObject curve = xlsxtest::Cells(book, QStringLiteral("曲线"));
    for (int k = 1; k <= 3; ++k)
        EXPECT_TRUE(curve.contains(QStringLiteral("%1%2").arg(QChar('A' + 2 * k - 1)).arg(10))) << k;

    // 报表设置 of the main window lists the test kind with its template.
    QStringList tree;
    QTimer::singleShot(0, [&tree] {
        auto *dialog = qobject_cast<TfrmConfigRep *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        tree = dialog->TreeTexts();
        dialog->CloseClick();
    });
    auto *settings = kvtest::Child<QAction>(*rig.W, "NConfigRep");
    ASSERT_TRUE(settings->isEnabled());
    settings->trigger();
    EXPECT_EQ(tree, (QStringList{"水泥胶砂抗压", "  检验报告"}));

    // The PDF LibreOffice makes of it shows the values.
    if (xlsx::OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the PDF of the filled report is not checked";
    opened.Files.clear();
    rig.Messages.clear();
    rig.Messages.queueAnswer(TMsgResult::Yes);
    records->PrintEntry(1);
    const QString pdf = QFileInfo(out).absolutePath() + QLatin1Char('/') + QFileInfo(out).completeBaseName() + QStringLiteral(".pdf");
    ASSERT_EQ(opened.Files, (QStringList{out, pdf})) << rig.Messages.texts().join(';').toStdString();
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString t = QString::fromUtf8(text.readAllStandardOutput());
    // The template's own formula (the mean strength) computed from the written cells.
    const QString mean = FixedText((strengths[0].toDouble() + strengths[1].toDouble() + strengths[2].toDouble()) / 3.0, 1);
    for (const QString &v : QStringList{QStringLiteral("TPL-1"), QStringLiteral("水泥胶砂抗压强度检验报告"), groupMpa, mean} + loads + strengths)
        EXPECT_TRUE(t.contains(v)) << v.toStdString() << "\n" << t.toStdString();
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    if (!shots.isEmpty())
        QProcess::execute(QStandardPaths::findExecutable(QStringLiteral("pdftoppm")),
                          {QStringLiteral("-r"), QStringLiteral("70"), QStringLiteral("-png"), pdf,
                           QDir(shots).filePath(QStringLiteral("template_pdf"))});
}
