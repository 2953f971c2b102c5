// The template window: templates added and deleted per test kind, and the
// marks of one edited on our own grid of its first sheet and written back
// into the workbook by the layout rule.
#include "ModuleTestSupport.h"
#include "TemplateTestSupport.h"
#include "XlsxReadBack.h"
#include "TestSupport.h"

#include "CemCompTest.h"
#include "host/TestList.h"
#include "ui/records/ConfigRepDialog.h"
#include "xlsx/OfficeConvert.h"
#include "xlsx/XlsxBook.h"

#include <QSpinBox>
#include <QTranslator>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace kv;
using modtest::TDb;

namespace {

const bool kRecording = (modtest::Messages(), true);

QString Shot(QWidget &w, const char *name)
{
    const QString dir = qEnvironmentVariable("KV_SHOT_DIR", QDir::tempPath());
    const QString file = QDir(dir).filePath(QLatin1String(name) + QStringLiteral(".png"));
    w.grab().save(file);
    return file;
}

} // namespace

TEST(ConfigRep, TemplatesAddedEditedOnTheSheetGridAndDeleted)
{
    TDb db;
    QTemporaryDir program, source;
    templtest::TNoOffice noOffice;
    TMyFunction tests;
    auto test = std::make_unique<cem::TCemCompTest>();
    modtest::Load(*test, db.Conn, program.path());
    const QString name = test->FTestName;
    tests.AddTest(name, std::move(test));
    QString chosen;
    TConfigRepEnv env{&tests, &db.Conn, program.path(), [&chosen](QWidget *) { return chosen; }};
    TfrmConfigRep w(env);
    EXPECT_EQ(w.TreeTexts(), QStringList{"水泥胶砂抗压"});
    const QString folder = QDir(program.path()).filePath(QStringLiteral("Report/水泥胶砂抗压"));
    EXPECT_TRUE(QDir(folder).exists());

    // Added, refused to overwrite, an old .xls listed, a broken one not taken in.
    chosen = templtest::DataFile("cemcomp_report.xlsx");
    w.SelectNode(0);
    w.AddClick();
    modtest::Messages().clear();
    modtest::Messages().queueAnswer(TMsgResult::No);
    w.AddClick();
    EXPECT_EQ(modtest::Messages().messages().value(0).text, "该名称报表已存在,是否覆盖?");
    chosen = source.filePath(QStringLiteral("old.xls"));
    QFile::copy(templtest::DataFile("horizontal.xlsx"), chosen);
    w.AddClick();
    EXPECT_TRUE(modtest::Messages().messages().last().text.contains(QStringLiteral("LibreOffice")));
    chosen = source.filePath(QStringLiteral("broken.xlsx"));
    QFile broken(chosen);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("PK not really");
    broken.close();
    w.AddClick();
    EXPECT_TRUE(modtest::Messages().messages().last().text.contains(QStringLiteral("broken.xlsx")));
    EXPECT_EQ(w.TreeTexts(), (QStringList{"水泥胶砂抗压", "  cemcomp_report", "  old"}));
    Shot(w, "configrep_list");

    // The editor: the test kind's parameters with the template's marks.
    w.SelectNode(0, 0);
    ASSERT_TRUE(w.EditSelected());
    TTemplateMarks m = w.Marks();
    ASSERT_EQ(m.Specimens.size(), 3);
    ASSERT_EQ(m.Group.size(), 10);
    EXPECT_EQ(m.Count, "6");
    EXPECT_EQ(m.Specimens[0].Name, "载荷");
    EXPECT_EQ(m.Specimens[0].Position, "报告!$B$7");
    EXPECT_EQ(m.Specimens[0].Layout, TMarkLayout::Vertical);
    EXPECT_EQ(m.Group[6].Name, "有效强度");
    EXPECT_EQ(m.Group[6].Position, "报告!$B$14:$C$14");
    EXPECT_TRUE(m.Group[4].Position.isEmpty()); // 速度: not marked
    QTableWidget *grid = w.SheetGrid();
    EXPECT_EQ(grid->item(0, 0)->text(), "水泥胶砂抗压强度检验报告");
    EXPECT_EQ(grid->columnSpan(0, 0), 6);
    EXPECT_EQ(grid->columnSpan(13, 1), 2);
    EXPECT_EQ(grid->item(6, 1)->toolTip(), "DIY_载荷_1");
    EXPECT_EQ(grid->horizontalHeaderItem(4)->text(), "E");
    const QString shot = Shot(w, "configrep_edit");

    // 规格 moves to column E, 速度 goes to F13, 强度 runs across every other column, three per group.
    grid->setRangeSelected(QTableWidgetSelectionRange(6, 4, 6, 4), true);
    w.TakePosition(2);
    grid->clearSelection();
    grid->setRangeSelected(QTableWidgetSelectionRange(12, 5, 12, 5), true);
    w.TakePosition(3 + 4);
    m = w.Marks();
    EXPECT_EQ(m.Specimens[2].Position, "报告!$E$7");
    m.Specimens[1].Layout = TMarkLayout::Horizontal;
    m.Specimens[1].Spacing = QStringLiteral("2");
    m.Count = QStringLiteral("3");
    w.SetMarks(m);
    w.SaveClick();
    EXPECT_FALSE(w.Editing());

    xlsx::TXlsxBook saved;
    ASSERT_TRUE(saved.Open(QDir(folder).filePath(QStringLiteral("cemcomp_report.xlsx"))));
    QStringList marks;
    for (const xlsx::TDefinedName &d : saved.Marks())
        marks << d.Name + QLatin1Char('=') + d.RefersTo;
    for (const char *expected : {"DIY_规格_3=报告!$E$9", "DIY_强度_2=报告!$E$7", "DIY_强度_3=报告!$G$7",
                                 "DIY_载荷_3=报告!$B$9", "DIY_速度=报告!$F$13", "DIY_有效强度=报告!$B$14:$C$14"})
        EXPECT_TRUE(marks.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(marks.contains(QStringLiteral("DIY_载荷_4=报告!$B$10")));
    EXPECT_EQ(saved.Marks().size(), 9 + 3 * 3); // nine group values, three specimens of three
    if (!xlsxtest::Python().isEmpty()) {
        const QJsonObject back = xlsxtest::ReadBack(saved.SheetNames().isEmpty() ? QString() :
                                                    QDir(folder).filePath(QStringLiteral("cemcomp_report.xlsx")));
        EXPECT_EQ(back[QStringLiteral("names")].toObject()[QStringLiteral("实验室")].toString(), "报告!$A$1");
        EXPECT_EQ(back[QStringLiteral("names")].toObject()[QStringLiteral("DIY_强度_3")].toString(), "报告!$G$7");
        EXPECT_EQ(back[QStringLiteral("print_area")].toObject()[QStringLiteral("报告")].toArray().at(0).toString(), "$A$1:$F$16");
    }

    // Closing the editor keeps what the template has.
    w.SelectNode(0, 0);
    ASSERT_TRUE(w.EditSelected());
    EXPECT_EQ(w.Marks().Count, "3");
    w.CloseClick();
    EXPECT_FALSE(w.Editing());

    // The old .xls and its name go together.
    w.SelectNode(0, 1);
    w.DeleteClick();
    EXPECT_EQ(w.TreeTexts(), (QStringList{"水泥胶砂抗压", "  cemcomp_report"}));
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath(QStringLiteral("old.xls"))));
    EXPECT_TRUE(QFile::exists(shot));
}

TEST(ConfigRep, MarksFromAndToTheLayoutRule)
{
    // Rows 10 and 20 of one column are vertical, ten apart; one mark alone is vertical.
    const QList<xlsx::TDefinedName> names = {{"DIY_强度_1", "S!$C$10"}, {"DIY_强度_2", "S!$C$20"}, {"DIY_规格_1", "S!$D$3"},
                                             {"DIY_组 号", "S!$A$1"}, {"DIY_组号", "S!$B$1"}};
    TTemplateMarks m = ReadTemplateMarks(names, {"组 号"}, {"强度", "规格"});
    EXPECT_EQ(m.Group[0].Position, "S!$B$1"); // blanks removed on both sides
    EXPECT_EQ(m.Specimens[0].Layout, TMarkLayout::Vertical);
    EXPECT_EQ(m.Specimens[0].Spacing, "10");
    EXPECT_EQ(m.Specimens[1].Layout, TMarkLayout::Vertical);
    QList<xlsx::TDefinedName> out;
    QString error;
    m.Count = QStringLiteral("0");
    ASSERT_TRUE(BuildTemplateMarks(m, out, &error));
    ASSERT_EQ(out.size(), 1); // group marks only
    EXPECT_EQ(out[0].Name, "DIY_组号");
    m.Count = QStringLiteral("x");
    EXPECT_FALSE(BuildTemplateMarks(m, out, &error));
    EXPECT_EQ(error, "本组个数出错");
    m.Count = QStringLiteral("2");
    m.Specimens[0].Spacing = QStringLiteral("a");
    EXPECT_FALSE(BuildTemplateMarks(m, out, &error));
    EXPECT_EQ(error, "排列间隔出错");
}

TEST(ConfigRep, AnOldXlsIsConvertedOnceAndKept)
{
    if (xlsx::OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: no .xls to convert";
    TDb db;
    QTemporaryDir program, source;
    QString xls;
    ASSERT_TRUE(xlsx::ConvertWithOffice(templtest::DataFile("horizontal.xlsx"), QStringLiteral("xls"), source.path(), &xls));
    TMyFunction tests;
    auto test = std::make_unique<cem::TCemCompTest>();
    modtest::Load(*test, db.Conn, program.path());
    const QString name = test->FTestName;
    tests.AddTest(name, std::move(test));
    TfrmConfigRep w(TConfigRepEnv{&tests, &db.Conn, program.path(), [&xls](QWidget *) { return xls; }});
    w.SelectNode(0);
    modtest::Messages().clear();
    w.AddClick();
    EXPECT_TRUE(modtest::Messages().messages().isEmpty());
    const QDir folder(QDir(program.path()).filePath(QStringLiteral("Report/") + name));
    EXPECT_EQ(folder.entryList(QDir::Files), (QStringList{"horizontal.xls", "horizontal.xlsx"}));
    EXPECT_EQ(w.TreeTexts(), (QStringList{name, "  horizontal"}));
    w.SelectNode(0, 0);
    ASSERT_TRUE(w.EditSelected());
    EXPECT_EQ(w.Marks().Group[0].Position, "Sheet1!$B$2"); // its marks came along
}

// Under the English translation no caption of the window stays in Chinese
// (the test kinds' names and the template's own cells are the lab's texts).
TEST(ConfigRep, EveryTextHasItsEnglish)
{
    QTranslator english;
    ASSERT_TRUE(english.load(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm")));
    QCoreApplication::installTranslator(&english);
    TDb db;
    QTemporaryDir program;
    TMyFunction tests;
    auto test = std::make_unique<cem::TCemCompTest>();
    modtest::Load(*test, db.Conn, program.path());
    const QString name = test->FTestName;
    tests.AddTest(name, std::move(test));
    TfrmConfigRep w(TConfigRepEnv{&tests, &db.Conn, program.path(), [](QWidget *) { return QString(); }});
    w.show();
    EXPECT_EQ(kvtest::ChineseCaptions(w), QStringList());
    Shot(w, "configrep_en");
    QCoreApplication::removeTranslator(&english);
}
