// The header captions dialog on a fresh database, with a small test object
// that keeps its captions in a table of its own.
#include "TestSupport.h"
#include "MessageService.h"
#include "SqlText.h"
#include "store/DataModule.h"
#include "ui/records/CaptionsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTranslator>

using namespace kv;
using kvtest::Child;

namespace {

const QString kKind = QStringLiteral("普通混凝土抗压"); // three default lines in the installed database
const QString kTen = QString(10, QChar(0x59D4));      // ten Chinese characters: 20 bytes

struct TCaptionTest : TBaseTest {
    void BuildRecordSQL(const QString &g, quint8 kind, QString &sql, int row, const QString &n1, const QString &d1,
                        const QString &n2, const QString &d2) override
    {
        const QString where = " where ZuHao = " + QuotedStr(g);
        if (kind == 2)
            sql = "select * from CapTest" + where + " order by SunXu";
        else if (kind == 3)
            sql = "delete from CapTest" + where;
        else if (kind == 6)
            sql = "insert into CapTest values(" + QStringList{QuotedStr(g), SqlNum(qint64(row)), QuotedStr(n1),
                                                              QuotedStr(d1), QuotedStr(n2), QuotedStr(d2)}.join(',') + ')';
    }
};

struct CaptionsDialogTest : ::testing::Test {
    kvtest::TFreshDb Fresh = kvtest::FreshDatabase();
    TZovData Data{Fresh.path};
    TRecordingMessageService Messages;
    TMessageGuard Guard{&Messages};
    TCaptionTest Test;
    CaptionsDialogTest()
    {
        SetZovData(&Data);
        Data.ExecSql("create table CapTest (ZuHao TEXT, SunXu INTEGER, Name1 TEXT, Data1 TEXT, Name2 TEXT, Data2 TEXT)");
        QString sql;
        Test.BuildRecordSQL("G1", 6, sql, 1, " 委托单位 ", "甲方", "工程", {});
        Data.ExecSql(sql);
        Data.ExecSql("update CapTest set Data2 = NULL");
    }
    ~CaptionsDialogTest() override { SetZovData(nullptr); }

    // Every row of the select as "a|b|c|…".
    QStringList Rows(const QString &sql)
    {
        QStringList rows;
        const auto q = Data.Open(sql);
        for (int r = 0; q && r < q->recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < q->fieldCount(); ++c)
                cells << q->valueAt(r, c).toString();
            rows << cells.join('|');
        }
        return rows;
    }
    static QStringList Grid(TfrmTextInfo &dlg)
    {
        QStringList rows;
        for (const TCaptionLine &l : dlg.Lines())
            rows << l.Name1 + '|' + l.Data1 + '|' + l.Name2 + '|' + l.Data2;
        return rows;
    }
    static void Click(TfrmTextInfo &dlg, const char *name) { Child<QPushButton>(dlg, name)->click(); }
    static QTableWidgetItem *Cell(TfrmTextInfo &dlg, int r, int c)
    {
        return Child<QTableWidget>(dlg, "StringGrid1")->item(r, c);
    }
};

} // namespace

TEST_F(CaptionsDialogTest, OpensWithTheGroupsLinesElseTheDefaultsElseOneEmptyLine)
{
    TfrmTextInfo own(Test, kKind, QStringLiteral(" G1 "));
    EXPECT_EQ(own.windowTitle(), QStringLiteral("打印表头设置"));
    EXPECT_EQ(Child<QTableWidget>(own, "StringGrid1")->horizontalHeaderItem(3)->text(), QStringLiteral("内容"));
    EXPECT_EQ(Child<QCheckBox>(own, "chkSaveDef")->toolTip(),
              QStringLiteral("设为默认表头后，凡是没有单独设置表头的报告都将采用默认表头"));
    EXPECT_EQ(Grid(own), QStringList{"委托单位|甲方|工程|"});
    TfrmTextInfo defaults(Test, kKind, QStringLiteral("G2"));
    EXPECT_EQ(Grid(defaults), (QStringList{"委托单位||工程名称|", "施工部位||设计强度等级|", "成型日期||报告编号|"}));
    TfrmTextInfo none(Test, QStringLiteral("无默认"), QStringLiteral("G2"));
    EXPECT_EQ(Grid(none), QStringList{"|||"});

    QTranslator english;
    ASSERT_TRUE(english.load(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm")));
    QCoreApplication::installTranslator(&english);
    EXPECT_EQ(TfrmTextInfo(Test, kKind, "G1").windowTitle(), QStringLiteral("Report Header Settings"));
    EXPECT_EQ(TCaptionEditor::TooLongText(), QStringLiteral("A header text is longer than allowed. Please check!"));
    QCoreApplication::removeTranslator(&english);
}

TEST_F(CaptionsDialogTest, SavingAsDefaultReplacesEveryDefaultLineThenTheGroupsLines)
{
    TfrmTextInfo dlg(Test, kKind, QStringLiteral("G2"));
    Click(dlg, "BitBtn1");
    Cell(dlg, 1, 1)->setText(QStringLiteral("  O'Brien 楼 "));
    Child<QCheckBox>(dlg, "chkSaveDef")->setChecked(true);
    Click(dlg, "BitBtn2");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const QStringList lines{"1|委托单位||工程名称|", "2|施工部位|O'Brien 楼|设计强度等级|"};
    const QString kind = " where expobj = " + QuotedStr(kKind);
    EXPECT_EQ(Rows("select sunxu, Name1, Data1, Name2, Data2 from DefaultCaptionInfo" + kind), lines);
    EXPECT_EQ(Rows("select SunXu, Name1, Data1, Name2, Data2 from CapTest where ZuHao = " + QuotedStr("G2")), lines);
    EXPECT_EQ(Rows("select count(*) from DefaultCaptionInfo where expobj = " + QuotedStr("水泥胶砂抗压")), QStringList{"3"});

    // Without the check box only the group's lines change; an empty line stores empty texts.
    TfrmTextInfo own(Test, kKind, QStringLiteral("G1"));
    Click(own, "btn1");
    Click(own, "BitBtn2");
    EXPECT_EQ(Rows("select * from CapTest where ZuHao = " + QuotedStr("G1")),
              (QStringList{"G1|1|委托单位|甲方|工程|", "G1|2||||"}));
    EXPECT_EQ(Rows("select count(*) from DefaultCaptionInfo" + kind), QStringList{"2"});
    EXPECT_TRUE(Messages.messages().isEmpty());
}

TEST_F(CaptionsDialogTest, TooLongTextIsRefusedWithAMessageAndNothingWritten)
{
    TfrmTextInfo dlg(Test, kKind, QStringLiteral("G1"));
    for (const QString &text : {kTen + QChar(0x59D4), QString(21, 'a')}) {
        Cell(dlg, 0, 3)->setText(text);
        Click(dlg, "BitBtn2");
        ASSERT_EQ(Messages.messages().size(), 1);
        EXPECT_EQ(Messages.lastText(), QStringLiteral("表头内容超过限制长度，请确认！"));
        EXPECT_EQ(Messages.messages()[0].caption, QStringLiteral("提示"));
        EXPECT_EQ(Messages.messages()[0].icon, TMsgIcon::Information);
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(Rows("select Data2 from CapTest"), QStringList{""});
        Messages.clear();
    }
    EXPECT_EQ(CaptionBytes(QStringLiteral("委托ab")), 6);
    Cell(dlg, 0, 3)->setText(kTen);
    Cell(dlg, 0, 0)->setText(" " + QString(20, 'a') + " ");
    Click(dlg, "BitBtn2");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Rows("select * from CapTest"), QStringList{"G1|1|" + QString(20, 'a') + "|甲方|工程|" + kTen});
}

TEST_F(CaptionsDialogTest, LinesStayBetweenOneAndEightAndCancelWritesNothing)
{
    TfrmTextInfo dlg(Test, kKind, QStringLiteral("G1"));
    for (int i = 0; i < 7; ++i)
        Click(dlg, "btn1");
    Cell(dlg, 7, 0)->setText(QStringLiteral("第八行"));
    Click(dlg, "btn1");
    ASSERT_EQ(dlg.Lines().size(), 8);
    EXPECT_EQ(dlg.Lines()[7].Name1, QStringLiteral("第八行"));
    for (int i = 0; i < 9; ++i)
        Click(dlg, "BitBtn1");
    EXPECT_EQ(Grid(dlg), QStringList{"委托单位|甲方|工程|"});
    Click(dlg, "BitBtn3");
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(Rows("select count(*) from CapTest"), QStringList{"1"});
    // The records window's entry: modal, closed here by cancel.
    QTimer::singleShot(0, [] { Child<QPushButton>(*QApplication::activeModalWidget(), "BitBtn3")->click(); });
    EXPECT_FALSE(ShowCaptionsDialog(Test, kKind, QStringLiteral("G1"), nullptr));
}
