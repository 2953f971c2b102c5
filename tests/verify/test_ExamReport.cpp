// The printed verification record: a five-point grid with three series as a
// PDF read back as text (the grid, the figures, the class, the lab's header
// lines from the installed database, the footer), the page as a picture, a
// twelve-point record kept inside its pages, the print preview, and the
// header lines edited by the lab.
#include "ui/verify/ExamCaptionsDialog.h"
#include "ui/verify/ExamReport.h"
#include "store/DataModule.h"

#include "MessageService.h"
#include "TestSupport.h"

#include <QApplication>
#include <QTableWidget>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kv;

namespace {

TCheckSeries Series(const std::vector<float> &measured)
{
    TCheckSeries s;
    for (size_t k = 0; k < measured.size(); ++k) {
        const float f = 20000.0f * float(k + 1);
        s.Points.push_back({f, measured[k], 10000 + int(k), (measured[k] - f) / f * 100});
    }
    return s;
}

// 20..100 kN, shown in kN. By hand, mean / q / b per point:
// 20.080 0.400 0.400 | 40.120 0.300 0.200 | 60.150 0.250 0.200 |
// 80.200 0.250 0.200 | 100.300 0.300 0.200: class 0.5.
TExamReportData FivePoints()
{
    TExamReportData d;
    d.Unit = QStringLiteral("kN");
    d.Coe = 1000;
    d.Series = {Series({20080, 40120, 60150, 80200, 100300}), Series({20040, 40160, 60210, 80120, 100200}),
                Series({20120, 40080, 60090, 80280, 100400})};
    // The grid shows the newest run.
    for (const TCheckPoint &p : d.Series.back().Points)
        d.Rows.push_back({QString::asprintf("%.f", p.Force / 1000), QString::asprintf("%.3f", p.Measured / 1000),
                          QString::number(p.Code), QString::asprintf("%.3f", p.Error)});
    d.Date = QDate(2024, 5, 17);
    return d;
}

QString Tool(const QString &tool, const QStringList &args)
{
    QProcess p;
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return {};
    p.start(exe, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The texts of all pages, in order.
QStringList Texts(const std::vector<TExamPage> &pages)
{
    QStringList t;
    for (const TExamPage &page : pages)
        for (const TExamItem &item : page)
            if (item.Kind == TExamItem::Text)
                t << item.Content;
    return t;
}

} // namespace

TEST(ExamReport, FivePointsWithThreeSeriesAsPdf)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) not installed";
    auto db = kvtest::FreshDatabase();
    TZovData zov(db.path);
    ASSERT_TRUE(zov.ExecSql("update DefaultCaptionInfo set Data1 = 'O''Neil 检测站' where expobj = '力值检测' and sunxu = 1"));
    TExamReportData d = FivePoints();
    d.Captions = LoadExamCaptions(zov);
    ASSERT_EQ(d.Captions.size(), 3u);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("record.pdf"));
    ASSERT_TRUE(TfrmExamreport(d).ToPdf(pdf));
    const QString text = Tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char *s : {"力值检测结果记录表", "检测方式：力值检测", "检测单位", "O'Neil 检测站", "标准测力仪",
                          "序号", "检测点(kN)", "实测力值(kN)", "实测力码", "误差(%)", "第1点", "第5点",
                          "100.400", "10004", "0.600", "20.080", "100.300", "0.250", "0.400",
                          "准确度级别：0.5级", "计入的测量次数：3", "可逆性", "日期：2024-05-17", "校核：", "检测："})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();

    // The page as a picture, to be looked at.
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        Tool(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                                         QStringLiteral("-singlefile"), pdf, QStringLiteral("/tmp/exam_report")});

    // A database of before the record's header lines prints none.
    ASSERT_TRUE(zov.ExecSql("delete from DefaultCaptionInfo where expobj = '力值检测'"));
    d.Captions = LoadExamCaptions(zov);
    EXPECT_TRUE(d.Captions.empty());
    EXPECT_FALSE(Texts(TfrmExamreport(d).Layout(680, 1000)).contains(QStringLiteral("检测单位")));
}

// Twelve points, three series and eight header lines: every item stays
// inside the printable area of its page, a heading on the page of its table.
TEST(ExamReport, TwelvePointsStayInsideTheirPages)
{
    TExamReportData d;
    d.Unit = QStringLiteral("kN");
    TCheckSeries series;
    for (int k = 1; k <= 12; ++k)
        series.Points.push_back({25000.0f * float(k), 25100.0f * float(k), k, 0.4f});
    d.Series.assign(3, series);
    d.Rows.assign(12, QStringList{"25", "25.100", "1", "0.400"});
    d.Captions.assign(8, TExamCaption{"检测单位", "某", "试验机名称", "某"});
    const std::vector<TExamPage> pages = TfrmExamreport(d).Layout(680, 1000);
    ASSERT_GE(pages.size(), 2u);
    int headingPage = -1, tablePage = -2;
    for (size_t i = 0; i < pages.size(); ++i)
        for (const TExamItem &item : pages[i]) {
            const QRectF r = item.Rect.normalized();
            EXPECT_TRUE(r.left() >= 0 && r.top() >= 0 && r.right() <= 680.5 && r.bottom() <= 1000.5)
                << item.Content.toStdString();
            headingPage = item.Content == "示值误差与重复性" ? int(i) : headingPage;
            tablePage = item.Content == "平均实测力值(kN)" ? int(i) : tablePage;
        }
    EXPECT_EQ(headingPage, tablePage);
    EXPECT_EQ(Texts(pages).back(), "检测：");
}

// Fewer than three series: no class, and the record says why. The 打印
// button's call without an installed presenter opens the print preview.
TEST(ExamReport, WithoutThreeSeriesNoClassInThePreview)
{
    TExamReportData d = FivePoints();
    d.Series.resize(2);
    EXPECT_TRUE(Texts(TfrmExamreport(d).Layout(680, 1000)).contains("准确度级别：不评定（重复性需三次测量，现有2次）"));
    bool previewed = false;
    QTimer::singleShot(0, [&previewed] {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        previewed = preview->windowTitle() == "力值检测结果记录表";
        preview->grab().save(QStringLiteral("/tmp/exam_preview.png"));
        preview->reject();
    });
    EXPECT_TRUE(TfrmExamreport::Present(d));
    EXPECT_TRUE(previewed);
}

// The lab edits the header lines once; a quote survives, an over-long entry
// is refused with nothing changed, and the next record reads the new lines.
TEST(ExamReport, HeaderLinesAreEditedAndKept)
{
    TRecordingMessageService messages;
    TMessageGuard guard(&messages);
    auto fresh = kvtest::FreshDatabase();
    TZovData data(fresh.path);
    const size_t installed = LoadExamCaptions(data).size();
    TfrmExamCaptions w(data);
    auto *grid = kvtest::Child<QTableWidget>(w, "sgCaptions");
    grid->item(0, 1)->setText(QStringLiteral("O'Neil 建材检测所"));
    grid->item(1, 3)->setText(QStringLiteral("一二三四五六七八九十一"));
    w.btnOKClick();
    EXPECT_EQ(messages.lastText(), "表头内容超过限制长度，请确认！");
    EXPECT_EQ(LoadExamCaptions(data).size(), installed);
    EXPECT_NE(LoadExamCaptions(data).at(0).Data1, "O'Neil 建材检测所");
    grid->item(1, 3)->setText(QStringLiteral("十个字以内"));
    w.btnOKClick();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const std::vector<TExamCaption> lines = LoadExamCaptions(data);
    ASSERT_EQ(lines.size(), installed);
    EXPECT_EQ(lines[0].Data1, "O'Neil 建材检测所");
    EXPECT_EQ(lines[1].Data2, "十个字以内");
}
