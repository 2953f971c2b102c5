// Start-up on a database file that cannot serve: each cause has its own
// message naming the file and what to do, the start ends before any window,
// and the file is left exactly as it was. Also read-only folders.
#include "CoreTestSupport.h"

#include "app/Startup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

using kvtest::AsOrdinaryUser;

namespace {

const QString kEngineText = QStringLiteral("数据库的存储引擎不存在,系统无法正常执行");

// Every file of a folder with its bytes and time of change.
using TFolderMark = QMap<QString, QPair<QByteArray, QDateTime>>;
TFolderMark Mark(const QString &folder)
{
    TFolderMark m;
    for (const QFileInfo &fi : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile f(fi.absoluteFilePath());
        f.open(QIODevice::ReadOnly);
        m.insert(fi.fileName(), {f.readAll(), fi.lastModified()});
    }
    return m;
}

void SetMode(const QString &path, QFile::Permissions p) { ASSERT_TRUE(QFile::setPermissions(path, p)); }
const QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther |
                                     QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
const QFile::Permissions kOpen = kReadOnly | QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;

struct TDatabaseStart : ::testing::Test {
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard MessageGuard{&Messages};
    kv::TVirtualClock Clock;
    kv::TClockGuard ClockGuard{&Clock};
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    QString Dir = Db.dir->path();

    void TearDown() override { QFile::setPermissions(Dir, kOpen); }

    kv::TStartup::TOptions Options() const
    {
        kv::TStartup::TOptions o;
        o.ProgramFile = Dir + QStringLiteral("/Kalvio6");
        o.DatabaseFile = Db.path;
        o.InstanceKey = QStringLiteral("kvtest-") + QUuid::createUuid().toString(QUuid::Id128);
        o.ShowMaximized = false;
        return o;
    }
    void Sql(const QString &sql)
    {
        kv::db::TDbConnection c;
        c.open(Db.path);
        c.execute(sql);
    }
    void Damage(qint64 at, int length)
    {
        QFile f(Db.path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(at);
        QByteArray junk(length, '\0');
        for (int i = 0; i < length; ++i)
            junk[i] = char((i * 37 + 11) & 0xFF);
        f.write(junk);
    }
    // Runs the start; it must end with one error box and no window. Gives
    // the box's text.
    QString Refusal(bool ordinaryUser = false)
    {
        kv::TStartup startup(Options());
        startup.Steps.Login = [](QWidget *) { return kv::TLoginOutcome{true, QStringLiteral("Admin")}; };
        if (ordinaryUser)
            startup.CreateData = [](const QString &file) {
                return AsOrdinaryUser([&] { return std::make_unique<kv::TZovData>(file); });
            };
        EXPECT_EQ(startup.Run(), kv::TStartup::TOutcome::DatabaseFailed);
        EXPECT_EQ(startup.MainWindow(), nullptr);
        EXPECT_EQ(kv::ZovData(), nullptr);
        if (Messages.messages().size() != 1) {
            ADD_FAILURE() << "messages: " << Messages.messages().size();
            return {};
        }
        const kv::TMsgRequest &m = Messages.messages()[0];
        EXPECT_EQ(m.icon, kv::TMsgIcon::Error);
        EXPECT_EQ(m.buttons, kv::TMsgButtons::OkCancel);
        EXPECT_NE(m.text, kEngineText);
        return m.text;
    }
};

} // namespace

TEST_F(TDatabaseStart, MissingEmptyAndDamagedFilesAreNamedAndLeftAlone)
{
    {
        SCOPED_TRACE("missing");
        QFile::remove(Db.path);
        const QString text = Refusal();
        EXPECT_TRUE(text.contains(Db.path)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("找不到"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("备份")));
        EXPECT_TRUE(Mark(Dir).isEmpty()); // nothing created
    }
    {
        SCOPED_TRACE("zero length");
        Messages.clear();
        QFile(Db.path).open(QIODevice::WriteOnly);
        const TFolderMark before = Mark(Dir);
        const QString text = Refusal();
        EXPECT_TRUE(text.contains(Db.path));
        EXPECT_TRUE(text.contains(QStringLiteral("空文件"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("备份")));
        EXPECT_EQ(Mark(Dir), before);
    }
}

TEST_F(TDatabaseStart, DamageInTheMiddleIsFoundBeforeAnythingIsWritten)
{
    // The settings still read; a table page in the middle is garbage.
    Damage(QFileInfo(Db.path).size() / 2 - 1024, 4096);
    const TFolderMark before = Mark(Dir);
    const QString text = Refusal();
    EXPECT_TRUE(text.contains(Db.path)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("已损坏"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("备份")));
    EXPECT_EQ(Mark(Dir), before); // no byte, no time, no journal beside it

    // Not a database at all: the same cause.
    Messages.clear();
    QFile::remove(Db.path);
    QFile f(Db.path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("no database here ").repeated(300));
    f.close();
    EXPECT_TRUE(Refusal().contains(QStringLiteral("已损坏")));
}

TEST_F(TDatabaseStart, ForeignOrNewerSchemaIsNamedAndNotTouched)
{
    const QString fresh = Db.path;
    struct TCase {
        const char *name;
        QString sql;
        QString table;
    };
    const TCase cases[] = {
        {"a core table missing", QStringLiteral("Drop Table Tester"), QStringLiteral("Tester")},
        {"a settings table of another shape", QStringLiteral("Alter Table SavNum Add Column Note text"),
         QStringLiteral("SavNum")},
        {"another program's database", QString(), QStringLiteral("SavNum")},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.name);
        Messages.clear();
        QFile::remove(Db.path);
        if (c.sql.isEmpty()) {
            kv::db::TDbConnection::createDatabase(Db.path);
            Sql(QStringLiteral("Create Table Orders (Id int, Item text)"));
        } else {
            ASSERT_TRUE(QFile::copy(kvtest::StageDir() + QStringLiteral("/MeasDB.sqlite"), Db.path));
            SetMode(Db.path, QFile::ReadOwner | QFile::WriteOwner);
            Sql(c.sql);
        }
        const TFolderMark before = Mark(Dir);
        const QString text = Refusal();
        EXPECT_TRUE(text.contains(Db.path)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("不是本程序的测量数据库"))) << text.toStdString();
        EXPECT_TRUE(text.contains(c.table)) << text.toStdString();
        EXPECT_EQ(Mark(Dir), before);
    }
    EXPECT_EQ(fresh, Db.path);
}

TEST_F(TDatabaseStart, FileLockedByAnotherWriter)
{
    // A writer mid-transaction: on the file as installed (journal beside it)
    // and after a first start (write-ahead log).
    for (const bool afterFirstStart : {false, true}) {
        SCOPED_TRACE(afterFirstStart);
        Messages.clear();
        if (afterFirstStart) {
            kv::TZovData once(Db.path);
        }
        const QString holder = QStringLiteral("kvtest_holder");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), holder);
            db.setDatabaseName(Db.path);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(afterFirstStart ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN EXCLUSIVE")));
            ASSERT_TRUE(q.exec(QStringLiteral("insert into SavNum values (424242, 1)")));
        }
        const QByteArray bytes = Mark(Dir).value(QStringLiteral("MeasDB.sqlite")).first;
        const QString text = Refusal();
        EXPECT_TRUE(text.contains(Db.path)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("另一个程序"))) << text.toStdString();
        EXPECT_EQ(Mark(Dir).value(QStringLiteral("MeasDB.sqlite")).first, bytes);
        {
            QSqlDatabase db = QSqlDatabase::database(holder, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(holder);
    }
}

TEST_F(TDatabaseStart, ReadOnlyFileAndReadOnlyFolder)
{
    {
        SCOPED_TRACE("read-only file");
        SetMode(Dir, kOpen);
        SetMode(Db.path, kReadOnly);
        const TFolderMark before = Mark(Dir);
        const QString text = Refusal(true);
        EXPECT_TRUE(text.contains(Db.path)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("只读"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("权限")));
        EXPECT_EQ(Mark(Dir).value(QStringLiteral("MeasDB.sqlite")), before.value(QStringLiteral("MeasDB.sqlite")));
    }
    {
        SCOPED_TRACE("read-only program folder");
        Messages.clear();
        SetMode(Db.path, kOpen);
        SetMode(Dir, kReadOnly);
        const TFolderMark before = Mark(Dir);
        const QString text = Refusal(true);
        EXPECT_TRUE(text.contains(Dir)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("文件夹"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("权限")));
        EXPECT_EQ(Mark(Dir), before);
    }
}

TEST_F(TDatabaseStart, MissingDriverKeepsTheEngineMessage)
{
    kv::TStartup startup(Options());
    startup.CreateData = [](const QString &) -> std::unique_ptr<kv::TZovData> {
        throw kv::db::EDatabaseError(kv::db::TDbFault::DriverMissing, QStringLiteral("no QSQLITE"));
    };
    EXPECT_EQ(startup.Run(), kv::TStartup::TOutcome::DatabaseFailed);
    EXPECT_EQ(Messages.lastText(), kEngineText);
}

TEST_F(TDatabaseStart, ReadOnlyCurveFolderIsNamedAndTheProgramRuns)
{
    // The program folder and the database can be written, OutFile cannot.
    SetMode(Dir, kOpen);
    SetMode(Db.path, kOpen);
    const QString outFile = Dir + QStringLiteral("/OutFile");
    ASSERT_TRUE(QDir().mkpath(outFile));
    SetMode(outFile, kReadOnly);
    const auto back = qScopeGuard([&] { QFile::setPermissions(outFile, kOpen); });

    kv::TStartup startup(Options());
    startup.Steps.Login = [](QWidget *) { return kv::TLoginOutcome{true, QStringLiteral("Admin")}; };
    ASSERT_EQ(AsOrdinaryUser([&] { return startup.Run(); }), kv::TStartup::TOutcome::Started);
    ASSERT_NE(startup.MainWindow(), nullptr);
    ASSERT_EQ(Messages.messages().size(), 1);
    const kv::TMsgRequest &m = Messages.messages()[0];
    EXPECT_EQ(m.icon, kv::TMsgIcon::Warning);
    EXPECT_TRUE(m.text.contains(outFile)) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains(QStringLiteral("曲线")));
    EXPECT_TRUE(m.text.contains(QStringLiteral("权限")));
    EXPECT_FALSE(m.text.contains(QStringLiteral("BackUp"))); // writable folders are not named
    // The database still takes what the program stores.
    EXPECT_TRUE(kv::ZovData()->WriteStr(101, QStringLiteral("1")));
}
