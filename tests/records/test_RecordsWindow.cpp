// The records window on real cement compressive groups: rights, both search
// modes, the report menu, deletes with their cascades and trail, and an
// Admin correction that changes the group result.
#include "CemCompTest.h"
#include "ModuleTestSupport.h"
#include "host/TestList.h"
#include "store/AuditTrail.h"
#include "ui/records/RecordsWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace kv;
using kvtest::Child;

namespace {

void Group(fw::TFrameworkTest &t, const QString &group, std::initializer_list<double> forces)
{
    Child<QLineEdit>(*t.ParamForm(), "edtGroupNo")->setText(group);
    Child<QComboBox>(*t.ParamForm(), "cbCount")->setCurrentText(QString::number(forces.size()));
    Child<QComboBox>(*t.ParamForm(), "cbSize")->setCurrentText(QStringLiteral("40*40"));
    QString msg;
    t.BeginGroup(msg);
    ASSERT_EQ(msg, "");
    for (double f : forces)
        ASSERT_EQ(modtest::RunSpecimen(t, f), "");
    t.EndGroup();
    t.FCurrent = 1;
}

struct TRig {
    modtest::TDb Db;
    QTemporaryDir Program;
    TMyFunction Tests;
    cem::TCemCompTest *Test = nullptr;
    kv::TRecordingMessageService &Messages = modtest::Messages();

    TRig()
    {
        auto t = std::make_unique<cem::TCemCompTest>();
        Test = t.get();
        modtest::Load(*Test, Db.Conn, Program.path());
        Test->FMenuGroup = 1;
        Tests.AddTest(Test->TestName(), std::move(t));
        Tests.SetCurrentIndex(0);
        Group(*Test, QStringLiteral("R-1"), {64000, 64000, 64000, 64000, 64000, 48000});
        Group(*Test, QStringLiteral("R-2"), {60000, 61000, 62000});
        Messages.clear();
    }
    std::unique_ptr<TfrmPrint> Window(const QString &user = QStringLiteral("Admin"))
    {
        TRecordsEnv env;
        env.Tests = &Tests;
        env.Connection = &Db.Conn;
        env.MachineBit = 1;
        env.CurrentTestIndex = 0;
        env.ProgramDir = Program.path();
        env.UserName = user;
        return std::make_unique<TfrmPrint>(std::move(env));
    }
    QString Templates() const { return Program.path() + QStringLiteral("/Report/") + Test->TestName(); }
};

void SearchNumbers(TfrmPrint &w, const QString &from, const QString &to = QString())
{
    w.SetSearchMode(TSearchMode::ByNumber);
    Child<QLineEdit>(w, "edtZuHao1")->setText(from);
    Child<QLineEdit>(w, "edtZuHao2")->setText(to);
    w.Search();
}

} // namespace

TEST(RecordsWindow, RightsSearchModesAndTheReportMenu)
{
    TRig r;
    for (const char *user : {"Operator", "Maintain"}) {
        auto w = r.Window(QString::fromLatin1(user));
        EXPECT_FALSE(Child<QPushButton>(*w, "sbDelete")->isEnabled()) << user;
        EXPECT_FALSE(Child<QPushButton>(*w, "sbChgAll")->isEnabled()) << user;
        SearchNumbers(*w, QStringLiteral("R"));
        ASSERT_EQ(w->RowCount(), 2);
        w->CorrectCurrent(); // a double-click: no results window for them
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    auto w = r.Window();
    EXPECT_TRUE(Child<QPushButton>(*w, "sbDelete")->isEnabled());
    EXPECT_TRUE(QDir(r.Templates()).exists()) << "the template folder is made on opening";

    // Nothing found: no group to work on.
    SearchNumbers(*w, QStringLiteral("none"));
    EXPECT_EQ(w->RowCount(), 0);
    EXPECT_FALSE(Child<QPushButton>(*w, "btnStart")->isEnabled());
    for (const char *button : {"SpeedButton1", "sbDelete", "sbChgAll"}) {
        r.Messages.clear();
        Child<QPushButton>(*w, button)->click();
        EXPECT_EQ(r.Messages.texts(), QStringList{"请选择需要操作的组号!"}) << button;
    }

    // By number, then by date (the range boxes hidden but holding the dates), then back.
    SearchNumbers(*w, QStringLiteral("R-1"), QStringLiteral("R-2"));
    EXPECT_EQ(w->RowCount(), 2);
    EXPECT_EQ(w->CurrentGroupNo(), "R-1");
    w->SetSearchMode(TSearchMode::ByDate);
    EXPECT_FALSE(Child<QLineEdit>(*w, "edtZuHao1")->isVisibleTo(w.get()));
    EXPECT_EQ(Child<QLineEdit>(*w, "edtZuHao1")->text(), QDate::currentDate().toString(Qt::ISODate));
    Child<QDateEdit>(*w, "DateTimePicker1")->setDate(QDate(2026, 12, 8));
    EXPECT_EQ(Child<QLineEdit>(*w, "edtZuHao1")->text(), "2026-12-08");
    Child<QDateEdit>(*w, "DateTimePicker2")->setDate(QDate(2026, 12, 8));
    w->Search();
    EXPECT_EQ(w->RowCount(), 2);
    w->SetSearchMode(TSearchMode::ByNumber);
    EXPECT_TRUE(Child<QLineEdit>(*w, "edtZuHao1")->text().isEmpty());

    // The report menu: the built-in report, then one entry per template.
    EXPECT_EQ(w->ReportMenuEntries(), QStringList{"内置报表"});
    QFile(r.Templates() + QStringLiteral("/a.b.xls")).open(QIODevice::WriteOnly);
    w->ChooseTestKind(0);
    EXPECT_EQ(w->ReportMenuEntries(), (QStringList{"内置报表", "a.b"}));
    QFile(r.Templates() + QStringLiteral("/标准.xls")).open(QIODevice::WriteOnly);
    w->ChooseTestKind(0);
    EXPECT_EQ(w->ReportMenuEntries(), (QStringList{"内置报表", "a.b", "标准"}));
    // A template name is shown as its file is named, '&' included.
    QFile(r.Templates() + QStringLiteral("/R&D.xls")).open(QIODevice::WriteOnly);
    w->ChooseTestKind(0);
    EXPECT_EQ(w->ReportMenuEntries(), (QStringList{"内置报表", "R&D", "a.b", "标准"}));
}

TEST(RecordsWindow, DeletesTakeTheSpecimensAndKeepTheGroupInTheTrail)
{
    TRig r;
    auto w = r.Window();
    SearchNumbers(*w, QStringLiteral("R"));
    ASSERT_EQ(w->RowCount(), 2);
    w->SelectRow(1);
    ASSERT_EQ(w->CurrentGroupNo(), "R-2");
    r.Messages.queueAnswer(TMsgResult::No);
    w->DeleteClick();
    EXPECT_EQ(r.Messages.lastText(), "是否删除组号R-2的记录");
    EXPECT_EQ(r.Db.Count(QStringLiteral("CemCompGroup")), 2) << "No keeps the group";

    w->DeleteClick();
    EXPECT_EQ(w->RowCount(), 1);
    EXPECT_EQ(r.Db.Count(QStringLiteral("CemCompGROne where ZuHao = 'R-2'")), 0) << "the specimens go with it";
    TAuditTrail trail(r.Db.Conn);
    std::vector<TAuditEntry> kept = trail.ForGroup(r.Test->TestName(), QStringLiteral("R-2"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].Action, TAuditTrail::Deletion());
    EXPECT_EQ(kept[0].UserName, "Admin");
    EXPECT_EQ(kept[0].Before.count(QStringLiteral("CemCompGROne:")), 3) << kept[0].Before.toStdString();
    EXPECT_TRUE(kept[0].Before.contains(QStringLiteral("CemCompGroup: ZuHao=R-2")));

    // Delete-all takes every group found, not only the selected one.
    Group(*r.Test, QStringLiteral("R-3"), {50000, 50000, 50000});
    SearchNumbers(*w, QStringLiteral("R"));
    ASSERT_EQ(w->RowCount(), 2);
    Child<QPushButton>(*w, "sbChgAll")->click();
    EXPECT_EQ(r.Messages.lastText(), "是否删除查询到的所有记录?");
    EXPECT_EQ(w->RowCount(), 0);
    EXPECT_EQ(r.Db.Count(QStringLiteral("CemCompGroup")), 0);
    EXPECT_EQ(r.Db.Count(QStringLiteral("CemCompGROne")), 0);
    EXPECT_EQ(trail.All().size(), 3u);
}

TEST(RecordsWindow, AdminCorrectionChangesTheResultAndLeavesATrail)
{
    TRig r;
    auto w = r.Window();
    SearchNumbers(*w, QStringLiteral("R-2"));
    ASSERT_EQ(w->CurrentGroupNo(), "R-2");
    const QString before = r.Db.Value(QStringLiteral("select GroMPa from CemCompGroup where ZuHao = 'R-2'"));
    // The results window: the third force corrected, then OK.
    QTimer::singleShot(0, [] {
        auto *form = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        auto *grid = Child<QTableWidget>(*form, "sgData");
        grid->item(2, 4)->setText(QStringLiteral("30.00"));
        Child<QPushButton>(*form, "btnOK")->click();
    });
    w->CorrectCurrent();
    const QString after = r.Db.Value(QStringLiteral("select GroMPa from CemCompGroup where ZuHao = 'R-2'"));
    EXPECT_NE(after, before);
    const std::vector<TAuditEntry> trail = TAuditTrail(r.Db.Conn).ForGroup(r.Test->TestName(), "R-2");
    ASSERT_EQ(trail.size(), 1u);
    EXPECT_EQ(trail[0].Action, TAuditTrail::Correction());
    EXPECT_NE(trail[0].Before, trail[0].After);
    EXPECT_EQ(Child<QTableWidget>(*w, "sgAudit")->rowCount(), 1) << "the window shows the group's trail";
    // Its built-in report says it was corrected, by whom and when.
    const fw::TReport report = r.Test->BuildReport(QStringLiteral("R-2"), QStringLiteral("28"));
    ASSERT_EQ(report.Header.size(), 6);
    EXPECT_EQ(report.Header.last().first, "已修正：");
    EXPECT_TRUE(report.Header.last().second.startsWith(QStringLiteral("Admin 20")));
    // KV_WINDOW_SHOTS names a folder: the window as the Admin sees it there.
    if (const QString shots = qEnvironmentVariable("KV_WINDOW_SHOTS"); !shots.isEmpty()) {
        SearchNumbers(*w, QStringLiteral("R"));
        w->SelectRow(1);
        w->show();
        QApplication::processEvents();
        w->grab().save(shots + QStringLiteral("/frmPrint.png"));
    }
}
