// The program on a PostgreSQL server: the choice kept beside the database,
// an empty server database filled at the first start, a server that cannot
// be reached, the settings window, and a lab's SQLite file moved onto the
// server with --import-sqlite.
#include "CemCompTest.h"
#include "ModuleTestSupport.h"
#include "PgCluster.h"
#include "app/ImportCommand.h"
#include "app/Startup.h"
#include "store/DataModule.h"
#include "store/DbChoice.h"
#include "ui/dialogs/DbSettingsDialog.h"
#include "ui/main/MainWindow.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QUuid>
#include <QTimer>
#include <QApplication>
#include <QAction>

using kv::TDbChoice;
using kvtest::TPgCluster;

namespace {

struct TServerFolder {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    QString Ini = TDbChoice::IniFileFor(Db.path);
    kv::TStartup::TOptions Options() const
    {
        kv::TStartup::TOptions o;
        o.ProgramFile = Db.dir->filePath(QStringLiteral("Kalvio6"));
        o.DatabaseFile = Db.path;
        o.InstanceKey = QStringLiteral("kvtest-") + QUuid::createUuid().toString(QUuid::Id128);
        o.ShowMaximized = false;
        return o;
    }
    void Choose(const kv::db::TDbServer &server)
    {
        TDbChoice c;
        c.Server = true;
        c.Params = server;
        c.Params.Password = QStringLiteral("secret");
        ASSERT_TRUE(c.Save(Ini));
    }
};

kv::TLoginOutcome AdminLogin(QWidget *) { return {true, QStringLiteral("Admin")}; }

qint64 Scalar(kv::db::TDbConnection &c, const QString &sql)
{
    kv::db::TDbQuery q(c);
    q.setSql(sql);
    q.open();
    return q.recordCount() ? q.fieldByName(q.fieldNames().first()).asInteger() : -1;
}

struct ServerDatabase : ::testing::Test {
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard MessageGuard{&Messages};
};

} // namespace

TEST_F(ServerDatabase, ChoiceKeepsNoPasswordAndTheWindowShowsIt)
{
    TServerFolder f;
    f.Choose({QStringLiteral("lab-server"), 5433, QStringLiteral("kalvio"), QStringLiteral("press2"),
              QStringLiteral("secret"), QString()});
    QFile ini(f.Ini);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("secret"));
    const TDbChoice back = TDbChoice::Load(f.Ini);
    EXPECT_TRUE(back.Server);
    EXPECT_EQ(back.Params.Describe(), QStringLiteral("press2@lab-server:5433/kalvio"));
    EXPECT_FALSE(TDbChoice::Load(f.Db.dir->filePath(QStringLiteral("none.ini"))).Server);

    kv::TfrmDbSettings w(back);
    w.show();
    kvtest::Child<QLineEdit>(w, "edtPassword")->setText(QStringLiteral("typed"));
    EXPECT_EQ(w.Choice().Params.Password, QStringLiteral("typed"));
    w.grab().save(QStringLiteral("/tmp/kv_db_settings.png"));
    kvtest::Child<QRadioButton>(w, "rbSqlite")->setChecked(true);
    EXPECT_FALSE(kvtest::Child<QLineEdit>(w, "edtHost")->isEnabled());
    EXPECT_FALSE(w.Choice().Server);
}

TEST_F(ServerDatabase, UnreachableServerSaysSoAndOffersTheSettings)
{
    TServerFolder f;
    f.Choose({QStringLiteral("127.0.0.1"), 1, QStringLiteral("kalvio"), QStringLiteral("press"), QString(), QString()});
    {
        kv::TStartup startup(f.Options());
        startup.Steps.Login = AdminLogin;
        Messages.queueAnswer(kv::TMsgResult::No);
        EXPECT_EQ(startup.Run(), kv::TStartup::TOutcome::DatabaseFailed);
        ASSERT_EQ(Messages.messages().size(), 1);
        EXPECT_TRUE(Messages.lastText().contains(QStringLiteral("无法连接数据库服务器"))) << Messages.lastText().toStdString();
        EXPECT_TRUE(Messages.lastText().contains(QStringLiteral("127.0.0.1:1/kalvio")));
    }
    // Yes: the settings window; going back to the file starts the program.
    Messages.clear();
    kv::TStartup startup(f.Options());
    startup.Steps.Login = AdminLogin;
    Messages.queueAnswer(kv::TMsgResult::Yes);
    int shown = 0;
    startup.ChooseDatabase = [&](TDbChoice &c) {
        ++shown;
        EXPECT_EQ(c.Params.Host, QStringLiteral("127.0.0.1"));
        c.Server = false;
        return true;
    };
    ASSERT_EQ(startup.Run(), kv::TStartup::TOutcome::Started);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(TDbChoice::Load(f.Ini).Server);
    EXPECT_EQ(kv::ZovData()->conZovDb.backend(), kv::db::TDbBackend::SQLite);

    // Later the administrator points the next start at the lab's server.
    auto *item = kvtest::Child<QAction>(*startup.MainWindow(), "menuDatabase");
    ASSERT_TRUE(item->isEnabled());
    Messages.clear();
    QTimer::singleShot(0, [] {
        auto *w = qobject_cast<kv::TfrmDbSettings *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        kvtest::Child<QRadioButton>(*w, "rbServer")->setChecked(true);
        kvtest::Child<QLineEdit>(*w, "edtHost")->setText(QStringLiteral("lab-server"));
        kvtest::Child<QSpinBox>(*w, "sePort")->setValue(5432);
        kvtest::Child<QLineEdit>(*w, "edtDatabase")->setText(QStringLiteral("kalvio"));
        kvtest::Child<QLineEdit>(*w, "edtUser")->setText(QStringLiteral("press2"));
        kvtest::Child<QLineEdit>(*w, "edtPassword")->setText(QStringLiteral("typed"));
        w->accept();
    });
    item->trigger();
    const TDbChoice next = TDbChoice::Load(f.Ini);
    EXPECT_TRUE(next.Server);
    EXPECT_EQ(next.Params.Describe(), QStringLiteral("press2@lab-server:5432/kalvio"));
    QFile ini(f.Ini);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("typed"));
    EXPECT_EQ(Messages.lastText(), QStringLiteral("数据库设置已保存，重新启动程序后生效。"));
    EXPECT_EQ(kv::ZovData()->conZovDb.backend(), kv::db::TDbBackend::SQLite) << "this start goes on as it began";
}

TEST_F(ServerDatabase, EmptyServerDatabaseGetsTheTablesAtTheFirstStart)
{
    KV_REQUIRE_PG();
    TServerFolder f;
    const kv::db::TDbServer server = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
    f.Choose(server);
    kv::TStartup startup(f.Options());
    startup.Steps.Login = AdminLogin;
    ASSERT_EQ(startup.Run(), kv::TStartup::TOutcome::Started) << Messages.lastText().toStdString();
    ASSERT_NE(kv::ZovData(), nullptr);
    EXPECT_EQ(kv::ZovData()->conZovDb.backend(), kv::db::TDbBackend::PostgreSQL);
    startup.MainWindow()->grab().save(QStringLiteral("/tmp/kv_main_on_server.png"));
    kv::db::TDbConnection file;
    file.open(f.Db.path);
    for (const char *t : {"SavNum", "SavString", "Tester", "Unit", "CtrlBoxSaveItems", "CheckTempValue"}) {
        const QString sql = QStringLiteral("select count(*) from ") + QLatin1String(t);
        EXPECT_EQ(Scalar(kv::ZovData()->conZovDb, sql), Scalar(file, sql)) << t;
    }
    EXPECT_EQ(kv::ZovData()->GetUserSecret(QStringLiteral("admin")), 269923974);
}

TEST_F(ServerDatabase, ImportCopiesALabsFileIntoAnEmptyServerDatabase)
{
    KV_REQUIRE_PG();
    TServerFolder lab; // the lab's old file, with a stored group
    {
        kv::db::TDbConnection c;
        c.open(lab.Db.path);
        kv::cem::TCemCompTest t;
        modtest::Load(t, c);
        c.execute(QStringLiteral("insert into CemCompGroup Values('I''1','28',2,'P·O','2.4','72','45','a','2024-05-06','GB',2)"));
        for (int k = 1; k <= 2; ++k)
            c.execute(QStringLiteral("insert into CemCompGROne Values('I''1','28','P·O','72000',%1,'40','40')").arg(k));
        c.execute(QStringLiteral("insert into CemCompCaptionInfo values('I''1','28',1,'a','b','c','d')"));
    }
    TServerFolder press; // the program's folder, set to the server
    const kv::db::TDbServer server = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
    press.Choose(server);
    ASSERT_EQ(kv::ImportSqliteCommand(lab.Db.path, press.Db.path), 0);

    kv::TZovData data(server);
    kv::db::TDbConnection &s = data.conZovDb;
    EXPECT_EQ(Scalar(s, QStringLiteral("select count(*) from CemCompGROne where zuhao = 'i''1'")), 2);
    EXPECT_EQ(Scalar(s, QStringLiteral("select count(*) from Tester")), 2);
    quint8 b = 0;
    EXPECT_TRUE(data.ReadNumByte(103, b));
    EXPECT_EQ(b, 5);
    // Keys, counters and cascades came along.
    EXPECT_TRUE(data.AddUserIfMissing(QStringLiteral("new"), QStringLiteral("1")));
    s.execute(QStringLiteral("insert into Tester (name, secret) values ('auto', 1)"));
    EXPECT_EQ(Scalar(s, QStringLiteral("select UserNo from Tester where name = 'auto'")), 4);
    EXPECT_THROW(s.execute(QStringLiteral("insert into CemCompGroup (ZuHao, LingQi) Values('I''1','28')")),
                 kv::db::EDatabaseError);
    s.execute(QStringLiteral("delete from CemCompGroup where ZuHao = 'I''1'"));
    EXPECT_EQ(Scalar(s, QStringLiteral("select count(*) from CemCompGROne")), 0);
    EXPECT_EQ(Scalar(s, QStringLiteral("select count(*) from CemCompCaptionInfo")), 0);
    // A database that is not empty is refused.
    EXPECT_EQ(kv::ImportSqliteCommand(lab.Db.path, press.Db.path), 1);
}
