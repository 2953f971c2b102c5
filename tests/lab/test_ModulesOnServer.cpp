// Every module's statements on the test PostgreSQL server give what they
// give on a SQLite file: a group stored as the program stores it (a quote in
// its number), the records searches by number and by date, the captions
// written and read, the report rows with their computed strengths and
// sizes, a corrected force recomputed, and the group deleted with its rows.
#include "CemCompTest.h"
#include "CemDuoTest.h"
#include "CemFlexTest.h"
#include "ConAxialTest.h"
#include "ConCubeTest.h"
#include "ConFlexTest.h"
#include "ConSplitTest.h"
#include "ModuleSql.h"
#include "ModuleTestSupport.h"
#include "MorCubeTest.h"
#include "PgCluster.h"
#include "host/TestList.h"
#include "store/AuditTrail.h"
#include "store/DbChoice.h"
#include "store/DbTransfer.h"
#include "app/ImportCommand.h"
#include "app/Startup.h"
#include "ui/records/RecordsWindow.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <unistd.h>

using kvtest::Child;
using kvtest::TPgCluster;

namespace {

using TMake = std::function<std::unique_ptr<kv::fw::TFrameworkTest>()>;

template <class T>
TMake Make()
{
    return [] { return std::unique_ptr<kv::fw::TFrameworkTest>(new T); };
}

// Every row of a statement's result as text, each row "title=value|...".
QStringList Rows(kv::db::TDbConnection &c, const QString &sql)
{
    kv::db::TDbQuery q(c);
    q.setSql(sql);
    q.open();
    QStringList out;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList cells;
        for (int k = 0; k < q.fieldCount(); ++k) {
            q.moveTo(r);
            cells << q.fieldNames()[k].toLower() + QLatin1Char('=') + q.fieldByName(q.fieldNames()[k]).asString();
        }
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// A group of three specimens stored as the program stores it.
void StoreGroup(kv::fw::TFrameworkTest &t, const QString &group)
{
    Child<QLineEdit>(*t.ParamForm(), "edtGroupNo")->setText(group);
    Child<QComboBox>(*t.ParamForm(), "cbCount")->setCurrentText(QStringLiteral("3"));
    Child<QComboBox>(*t.ParamForm(), "cbMode")->setCurrentIndex(0);
    QString msg;
    t.BeginGroup(msg);
    EXPECT_EQ(msg, "");
    for (double f : {31000.0, 32000.0, 33500.0})
        EXPECT_EQ(modtest::RunSpecimen(t, f), "");
    t.EndGroup();
}

// What the records window and the reports read of one module's group.
QStringList Session(kv::fw::TFrameworkTest &t, kv::db::TDbConnection &c)
{
    modtest::Load(t, c);
    const QString group = QStringLiteral("L'1");
    StoreGroup(t, group);
    QStringList out;
    QString sql;
    auto take = [&](const QString &what, const QString &s) {
        out << QStringLiteral("-- ") + what;
        out += Rows(c, s);
    };
    t.BuildSearchSQL(0, QStringLiteral("l'"), sql, QString());
    take(QStringLiteral("number contains"), sql);
    t.BuildSearchSQL(0, QStringLiteral("L'0"), sql, QStringLiteral("L'2"));
    take(QStringLiteral("number range"), sql);
    t.BuildSearchSQL(1, QStringLiteral("2026-12-08"), sql, QStringLiteral("2026-12-08 23:59:59"));
    take(QStringLiteral("date range"), sql);
    t.BuildSearchSQL(1, QStringLiteral("2026-12-01"), sql, QString());
    take(QStringLiteral("date from"), sql);
    t.FSelectedAge = t.FAge;
    t.BuildRecordSQL(group, 6, sql, 1, QStringLiteral("委托单位"), QStringLiteral("甲'"), QStringLiteral("n"), QString());
    c.execute(sql);
    t.BuildRecordSQL(group, 2, sql, 0, {}, {}, {}, {});
    take(QStringLiteral("captions"), sql);
    t.BuildRecordSQL(group, 7, sql, 0, {}, {}, {}, {});
    take(QStringLiteral("report group"), sql);
    t.BuildRecordSQL(group, 8, sql, 0, {}, {}, {}, {});
    take(QStringLiteral("report specimens"), sql);
    // A corrected force and the group computed again.
    c.execute(kv::fw::SpecimenForceSql(t.Data(), group, t.FAge, 2, 30500.0));
    t.BuildRecordSQL(group, 1, sql, 0, {}, {}, {}, {});
    take(QStringLiteral("recomputed"), kv::fw::GroupRowSql(t.Data().GroupTable(), group, t.FAge));
    t.BuildRecordSQL(group, 4, sql, 0, {}, {}, {}, {});
    c.execute(sql);
    take(QStringLiteral("left"), QStringLiteral("select count(*) from ") + t.Data().SpecimenTable());
    take(QStringLiteral("left"), QStringLiteral("select count(*) from ") + t.Data().CaptionTable());
    return out;
}

const std::vector<TMake> &AllModules()
{
    static const std::vector<TMake> all = {Make<kv::cem::TCemCompTest>(), Make<kv::cem::TCemDuoTest>(),
                                           Make<kv::cem::TCemFlexTest>(), Make<kv::mor::TMorCubeTest>(),
                                           Make<kv::con::TConCubeTest>(), Make<kv::con::TConAxialTest>(),
                                           Make<kv::con::TConSplitTest>(), Make<kv::con::TConFlexTest>()};
    return all;
}

class ModulesOnServer : public ::testing::TestWithParam<TMake> {};

} // namespace

TEST_P(ModulesOnServer, StatementsGiveWhatTheyGiveOnAFile)
{
    KV_REQUIRE_PG();
    modtest::TDb file;
    const auto onFile = GetParam()();
    const QStringList expected = Session(*onFile, file.Conn);

    kv::db::TDbConnection server;
    server.openServer(TPgCluster::Instance().Server(TPgCluster::NewSchemaName()));
    ASSERT_TRUE(kv::FillEmptyServerDatabase(server, kvtest::FreshDatabase().path));
    const auto onServer = GetParam()();
    EXPECT_EQ(Session(*onServer, server).join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOnServer, ::testing::ValuesIn(AllModules()));

namespace {

void Group(kv::fw::TFrameworkTest &t, const QString &group, std::initializer_list<double> forces)
{
    Child<QLineEdit>(*t.ParamForm(), "edtGroupNo")->setText(group);
    Child<QComboBox>(*t.ParamForm(), "cbCount")->setCurrentText(QString::number(forces.size()));
    QString msg;
    t.BeginGroup(msg);
    ASSERT_EQ(msg, "");
    for (double f : forces)
        ASSERT_EQ(modtest::RunSpecimen(t, f), "");
    t.EndGroup();
    t.FCurrent = 1;
}

} // namespace

// The records window on the server: both searches, the CSV export, a
// correction and a deletion, each with its audit row.
TEST(RecordsWindowOnServer, SearchExportCorrectAndDelete)
{
    KV_REQUIRE_PG();
    kv::TRecordingMessageService &messages = modtest::Messages();
    kv::db::TDbConnection server;
    server.openServer(TPgCluster::Instance().Server(TPgCluster::NewSchemaName()));
    ASSERT_TRUE(kv::FillEmptyServerDatabase(server, kvtest::FreshDatabase().path));
    QTemporaryDir program;
    kv::TMyFunction tests;
    auto owned = std::make_unique<kv::cem::TCemCompTest>();
    kv::cem::TCemCompTest &t = *owned;
    modtest::Load(t, server, program.path());
    t.FMenuGroup = 1;
    tests.AddTest(t.TestName(), std::move(owned));
    tests.SetCurrentIndex(0);
    Group(t, QStringLiteral("R'1"), {64000, 64000, 64000});
    Group(t, QStringLiteral("R-2"), {60000, 61000, 62000});

    kv::TRecordsEnv env;
    env.Tests = &tests;
    env.Connection = &server;
    env.MachineBit = 1;
    env.CurrentTestIndex = 0;
    env.ProgramDir = program.path();
    env.UserName = QStringLiteral("Admin");
    kv::TfrmPrint w(std::move(env));
    w.SetSearchMode(kv::TSearchMode::ByNumber);
    Child<QLineEdit>(w, "edtZuHao1")->setText(QStringLiteral("r"));
    w.Search();
    ASSERT_EQ(w.RowCount(), 2);
    w.SetSearchMode(kv::TSearchMode::ByDate);
    Child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2026, 12, 8));
    Child<QDateEdit>(w, "DateTimePicker2")->setDate(QDate(2026, 12, 8));
    w.Search();
    ASSERT_EQ(w.RowCount(), 2);

    const QString csv = program.filePath(QStringLiteral("found.csv"));
    w.SetExportFile(csv);
    messages.clear();
    Child<QPushButton>(w, "btnExport")->click();
    EXPECT_EQ(messages.texts(), QStringList());
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_EQ(text.count(QStringLiteral("64000")), 3) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("R'1"))) << text.toStdString();

    w.SelectRow(1);
    ASSERT_EQ(w.CurrentGroupNo(), "R-2");
    QTimer::singleShot(0, [] {
        auto *form = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        Child<QTableWidget>(*form, "sgData")->item(2, 4)->setText(QStringLiteral("30.00"));
        Child<QPushButton>(*form, "btnOK")->click();
    });
    w.CorrectCurrent();
    kv::TAuditTrail trail(server);
    auto rows = trail.ForGroup(t.TestName(), QStringLiteral("R-2"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Action, kv::TAuditTrail::Correction());
    EXPECT_TRUE(rows[0].At.isValid());

    w.SelectRow(0);
    ASSERT_EQ(w.CurrentGroupNo(), "R'1");
    w.DeleteClick();
    EXPECT_EQ(w.RowCount(), 1);
    rows = trail.ForGroup(t.TestName(), QStringLiteral("R'1"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Before.count(QStringLiteral("CemCompGROne:"), Qt::CaseInsensitive), 3) << rows[0].Before.toStdString();
}

// A lab's file with groups of every module, captions, an audit row and a new
// user, moved by --import-sqlite: every row of every table comes back.
TEST(ImportOnServer, EveryRowOfEveryModuleComesBack)
{
    KV_REQUIRE_PG();
    kvtest::TFreshDb lab = kvtest::FreshDatabase();
    {
        kv::db::TDbConnection c;
        c.open(lab.path);
        int k = 0;
        for (const TMake &make : AllModules()) {
            const auto t = make();
            modtest::Load(*t, c);
            const QString group = QStringLiteral("I'%1").arg(++k); // CemDuo shares CemComp's tables
            StoreGroup(*t, group);
            StoreGroup(*t, group + QStringLiteral("-2"));
            QString sql;
            t->FSelectedAge = t->FAge;
            t->BuildRecordSQL(group, 6, sql, 1, QStringLiteral("委托单位"), QStringLiteral("甲'"), {}, {});
            c.execute(sql);
        }
        kv::TAuditEntry e{0, QStringLiteral("Admin"), QDateTime(QDate(2026, 12, 8), QTime(9, 0)),
                          QStringLiteral("水泥胶砂抗压"), QStringLiteral("I-2"), QStringLiteral("修正"),
                          QStringLiteral("a'\nb"), QStringLiteral("c")};
        ASSERT_TRUE(kv::TAuditTrail(c).Record(e));
        c.execute(QStringLiteral("insert into Tester (name, secret) values ('Press''2', 7)"));
    }
    kvtest::TFreshDb press = kvtest::FreshDatabase();
    kv::TDbChoice choice;
    choice.Server = true;
    choice.Params = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
    ASSERT_TRUE(choice.Save(kv::TDbChoice::IniFileFor(press.path)));
    ASSERT_EQ(kv::ImportSqliteCommand(lab.path, press.path), 0);

    kv::db::TDbConnection from, to;
    from.open(lab.path);
    to.openServer(choice.Params);
    const QStringList tables = from.tableNames();
    EXPECT_EQ(to.tableNames().size(), tables.size());
    for (const QString &table : tables) {
        // Every row, in the key's order when there is one, as text.
        QStringList order = from.primaryKeyColumns(table);
        if (order.isEmpty())
            order = from.columnNames(table);
        QStringList cols;
        for (const QString &col : from.columnNames(table))
            cols << QLatin1Char('[') + col + QLatin1Char(']');
        const QString sql = QStringLiteral("select ") + cols.join(u',') + QStringLiteral(" from [") + table +
                            QStringLiteral("] order by [") + order.join(QStringLiteral("], [")) + QLatin1Char(']');
        const QStringList a = Rows(from, sql), b = Rows(to, sql);
        EXPECT_EQ(b.join(u'\n').toStdString(), a.join(u'\n').toStdString()) << table.toStdString();
    }
}

// An import that fails on its last table leaves the server database empty,
// so neither the program nor a second import finds half a database there.
TEST(ImportOnServer, AFailedImportLeavesTheServerDatabaseEmpty)
{
    KV_REQUIRE_PG();
    kvtest::TFreshDb lab = kvtest::FreshDatabase();
    {
        kv::db::TDbConnection c;
        c.open(lab.path);
        c.execute(QStringLiteral("update Unit set Coe = 'x' where [Index] = 0")); // a text the server refuses
    }
    kvtest::TFreshDb press = kvtest::FreshDatabase();
    kv::TDbChoice choice;
    choice.Server = true;
    choice.Params = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
    ASSERT_TRUE(choice.Save(kv::TDbChoice::IniFileFor(press.path)));
    ASSERT_EQ(kv::ImportSqliteCommand(lab.path, press.path), 1);
    kv::db::TDbConnection to;
    to.openServer(choice.Params);
    EXPECT_EQ(to.tableNames().join(u',').toStdString(), "");
    {
        kv::db::TDbConnection c;
        c.open(lab.path);
        c.execute(QStringLiteral("update Unit set Coe = 1 where [Index] = 0"));
    }
    EXPECT_EQ(kv::ImportSqliteCommand(lab.path, press.path), 0);
}

// A server that lets the user in but refuses the program's tables (no right
// to create them) is named in the message, not the local file.
TEST(StartOnServer, ARefusingServerIsNamedNotTheFile)
{
    KV_REQUIRE_PG();
    kv::TRecordingMessageService messages;
    kv::TMessageGuard guard(&messages);
    kv::db::TDbServer server = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
    {
        kv::db::TDbConnection admin;
        admin.openServer(TPgCluster::Instance().Server(QString()));
        QSqlQuery q(admin.database());
        ASSERT_TRUE(q.exec(QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = "
                                          "'kvt_reader') THEN CREATE ROLE kvt_reader LOGIN; END IF; END $$")));
    }
    server.User = QStringLiteral("kvt_reader");
    kvtest::TFreshDb press = kvtest::FreshDatabase();
    kv::TDbChoice choice;
    choice.Server = true;
    choice.Params = server;
    ASSERT_TRUE(choice.Save(kv::TDbChoice::IniFileFor(press.path)));
    kv::TStartup::TOptions o;
    o.ProgramFile = press.dir->filePath(QStringLiteral("Kalvio6"));
    o.DatabaseFile = press.path;
    o.InstanceKey = QStringLiteral("kvtest-refusing-%1").arg(::getpid());
    o.ShowMaximized = false;
    kv::TStartup startup(o);
    startup.ChooseDatabase = [](kv::TDbChoice &) { return false; };
    messages.queueAnswer(kv::TMsgResult::No);
    EXPECT_EQ(startup.Run(), kv::TStartup::TOutcome::DatabaseFailed);
    ASSERT_FALSE(messages.messages().isEmpty());
    const QString text = messages.lastText();
    EXPECT_TRUE(text.contains(server.Describe())) << text.toStdString();
    EXPECT_FALSE(text.contains(QFileInfo(press.path).fileName())) << text.toStdString();
}

// An installed program whose folder the user may not write works in the data
// folder: --import-sqlite reads the Database.ini there, not the one beside
// the executable.
TEST(ImportOnServer, AnInstalledProgramImportsThroughTheDataFoldersChoice)
{
    QTemporaryDir program, home;
    QFile::copy(kvtest::FreshDatabase().path, program.filePath(QStringLiteral("MeasDB.sqlite")));
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(home.path(), QFileDevice::Permissions(0x7777));
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    const QString file = kvtest::AsOrdinaryUser(
        [&] { return kv::ImportDatabaseFile(program.filePath(QStringLiteral("Kalvio6"))); });
    qputenv("XDG_DATA_HOME", before);
    EXPECT_EQ(file.toStdString(), home.filePath(QStringLiteral("Kalvio6/MeasDB.sqlite")).toStdString());
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
