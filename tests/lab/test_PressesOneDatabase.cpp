// Two presses writing groups into one database. The group number of a test
// kind is claimed by the press whose first specimen stores the group row; the
// other press, whose check found the number free a moment before, is told the
// number already exists and stores nothing of that group. A server lost
// mid-group loses no stored specimen, and the group is resumed later.
#include "CemCompTest.h"
#include "ModuleTestSupport.h"
#include "PgCluster.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QThread>

#include <iostream>

using kv::cem::TCemCompTest;
using kv::db::TDbBackend;
using kv::db::TDbConnection;
using kvtest::Child;
using kvtest::TPgCluster;

namespace {

const QString kTaken = QString::fromUtf8("当前编号的试样已经在数据库中存在，请填写新的编号");

void SetForm(kv::fw::TParamForm *f, const QString &group, int count)
{
    Child<QLineEdit>(*f, "edtGroupNo")->setText(group);
    Child<QComboBox>(*f, "cbCount")->setCurrentText(QString::number(count));
    Child<QComboBox>(*f, "cbSize")->setCurrentText(QStringLiteral("40*40"));
    Child<QComboBox>(*f, "cbRate")->setCurrentText(QStringLiteral("2.4"));
    Child<QComboBox>(*f, "cbMode")->setCurrentIndex(0);
}

// One group as the program runs it: refused when the number is stored
// already (the run sequence's check), else its specimens until the last or
// until the module says another press took the number. True when stored.
bool RunGroup(TCemCompTest &t, const QString &group, int count)
{
    kv::TRecordingMessageService &m = modtest::Messages();
    SetForm(t.ParamForm(), group, count);
    QString msg;
    t.BeginGroup(msg);
    if (!msg.isEmpty() || t.CheckGroupState() == 1) {
        t.EndGroup();
        return false;
    }
    for (int k = 0; k < count; ++k) {
        const int before = m.messages().size();
        modtest::RunSpecimen(t, 64000 + 100 * k);
        if (m.messages().size() > before) {
            if (m.lastText() != kTaken)
                std::cout << "UNEXPECTED " << m.lastText().toStdString() << std::endl;
            return false;
        }
    }
    t.EndGroup();
    return true;
}

// One database for both presses: a copy of the installed file, or a schema
// on the test server.
struct TLabDb {
    kvtest::TFreshDb File;
    kv::db::TDbServer Server;
    bool Pg = false;
    void Open(TDbConnection &c) const
    {
        if (Pg)
            c.openServer(Server);
        else
            c.open(File.path);
    }
};

class PressesOneDatabase : public ::testing::TestWithParam<TDbBackend> {
protected:
    void SetUp() override
    {
        if (GetParam() == TDbBackend::PostgreSQL) {
            KV_REQUIRE_PG();
            m_db.Pg = true;
            m_db.Server = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
        } else {
            m_db.File = kvtest::FreshDatabase();
        }
    }
    TLabDb m_db;
};

INSTANTIATE_TEST_SUITE_P(Engines, PressesOneDatabase,
                         ::testing::Values(TDbBackend::SQLite, TDbBackend::PostgreSQL),
                         [](const auto &info) {
                             return std::string(info.param == TDbBackend::PostgreSQL ? "PostgreSQL" : "SQLite");
                         });

} // namespace

TEST_P(PressesOneDatabase, TheFirstStoredSpecimenClaimsTheNumber)
{
    TDbConnection ca, cb;
    m_db.Open(ca);
    m_db.Open(cb);
    TCemCompTest a, b;
    modtest::Load(a, ca);
    modtest::Load(b, cb);
    kv::TRecordingMessageService &m = modtest::Messages();
    m.clear();
    // Both presses check the number while it is free.
    for (TCemCompTest *t : {&a, &b}) {
        SetForm(t->ParamForm(), QStringLiteral("K'1"), 3);
        QString msg;
        t->BeginGroup(msg);
        ASSERT_EQ(msg, "");
        ASSERT_EQ(t->CheckGroupState(), 0);
    }
    EXPECT_EQ(modtest::RunSpecimen(a, 64000), "");
    EXPECT_EQ(modtest::RunSpecimen(b, 50000), "");
    EXPECT_EQ(m.texts(), QStringList{kTaken});
    EXPECT_EQ(b.FCurrent, 1);
    EXPECT_TRUE(b.ParamForm()->isEnabled());
    // The first press goes on; the other one's force is nowhere.
    EXPECT_EQ(modtest::RunSpecimen(a, 64100), "");
    kv::db::TDbQuery q(ca);
    q.setSql(QStringLiteral("select OnekN from CemCompGROne where zuhao = 'K''1' order by shunxu"));
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_DOUBLE_EQ(q.fieldByName(QStringLiteral("OnekN")).asFloat(), 64000.0);
    EXPECT_EQ(m.texts(), QStringList{kTaken});
}

// The server goes away after two specimens of a group: the third is refused
// with a message and nothing stored is lost; once the server is back the
// program (started again) resumes the group with its third specimen.
TEST(ServerLost, MidGroupKeepsTheStoredSpecimensAndTheGroupResumes)
{
    KV_REQUIRE_PG();
    const kv::db::TDbServer server = TPgCluster::Instance().Server(TPgCluster::NewSchemaName());
    kv::TRecordingMessageService &m = modtest::Messages();
    m.clear();
    {
        TDbConnection c;
        c.openServer(server);
        TCemCompTest t;
        modtest::Load(t, c);
        SetForm(t.ParamForm(), QStringLiteral("L1"), 3);
        QString msg;
        t.BeginGroup(msg);
        ASSERT_EQ(msg, "");
        ASSERT_EQ(modtest::RunSpecimen(t, 64000), "");
        ASSERT_EQ(modtest::RunSpecimen(t, 64100), "");
        // Every connection of this program to the server is cut.
        TDbConnection admin;
        admin.openServer(server);
        QSqlQuery(admin.database())
            .exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> "
                                 "pg_backend_pid() AND datname = current_database()"));
        EXPECT_EQ(modtest::RunSpecimen(t, 64200), "");
        ASSERT_EQ(m.messages().size(), 1) << m.texts().join(';').toStdString();
        EXPECT_TRUE(m.lastText().contains("数据库没有连接")) << m.lastText().toStdString();
    }
    TDbConnection c;
    c.openServer(server);
    TCemCompTest t;
    modtest::Load(t, c);
    SetForm(t.ParamForm(), QStringLiteral("L1"), 3);
    ASSERT_EQ(t.CheckGroupState(), 2) << "unfinished";
    ASSERT_TRUE(t.ResumeGroup());
    EXPECT_EQ(t.FCurrent, 3);
    EXPECT_EQ(modtest::RunSpecimen(t, 64200), "");
    t.EndGroup();
    EXPECT_EQ(t.CheckGroupState(), 1);
    kv::db::TDbQuery q(c);
    q.setSql(QStringLiteral("select OnekN from CemCompGROne where zuhao = 'L1' order by shunxu"));
    q.open();
    EXPECT_EQ(q.recordCount(), 3);
}

// Two programs (this test program started twice as a press) store 200
// specimens of their own groups each at the same time, and both try the same
// 20 group numbers.
TEST_P(PressesOneDatabase, TwoProgramsStoreAtOnce)
{
    if (!m_db.Pg)
        GTEST_SKIP() << "two programs at once need the server";
    TDbConnection setup;
    m_db.Open(setup);
    TCemCompTest tables;
    modtest::Load(tables, setup);
    QTemporaryDir dir;
    const QString go = dir.filePath(QStringLiteral("go"));
    QProcess presses[2];
    for (int p = 0; p < 2; ++p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KV_PRESS"), QString(QChar(u'A' + p)));
        env.insert(QStringLiteral("KV_PRESS_GO"), go);
        env.insert(QStringLiteral("KV_PGHOST"), m_db.Server.Host);
        env.insert(QStringLiteral("KV_PGPORT"), QString::number(m_db.Server.Port));
        env.insert(QStringLiteral("KV_PRESS_SCHEMA"), m_db.Server.Schema);
        presses[p].setProcessEnvironment(env);
        presses[p].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        presses[p].start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--gtest_filter=Press.StoresItsGroupsAndTheContestedOnes")});
        ASSERT_TRUE(presses[p].waitForStarted());
    }
    QFile(go).open(QIODevice::WriteOnly); // both presses begin together
    QMap<QString, QStringList> contested; // number -> what each press saw
    for (QProcess &p : presses) {
        ASSERT_TRUE(p.waitForFinished(300000));
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (const QString &l : lines) {
            EXPECT_FALSE(l.startsWith(QLatin1String("UNEXPECTED"))) << l.toStdString();
            if (l.startsWith(QLatin1String("CONTESTED ")))
                contested[l.section(QLatin1Char(' '), 1, 1)] << l.section(QLatin1Char(' '), 2, 2);
        }
        EXPECT_EQ(p.exitCode(), 0);
    }
    ASSERT_EQ(contested.size(), 20);
    for (auto it = contested.begin(); it != contested.end(); ++it) {
        QStringList seen = it.value();
        seen.sort();
        EXPECT_EQ(seen, (QStringList{QStringLiteral("refused"), QStringLiteral("stored")})) << it.key().toStdString();
    }
    auto count = [&](const QString &where) {
        kv::db::TDbQuery q(setup);
        q.setSql(QStringLiteral("select count(*) from CemCompGROne where ") + where);
        q.open();
        return q.fieldByName(QStringLiteral("Expr1000")).asInteger();
    };
    EXPECT_EQ(count(QStringLiteral("zuhao like 'A-%'")), 200);
    EXPECT_EQ(count(QStringLiteral("zuhao like 'B-%'")), 200);
    EXPECT_EQ(count(QStringLiteral("zuhao like 'K%'")), 20 * 3); // each number once, whole
}

// One press of TwoProgramsStoreAtOnce (only when started by it).
TEST(Press, StoresItsGroupsAndTheContestedOnes)
{
    const QString press = qEnvironmentVariable("KV_PRESS");
    if (press.isEmpty())
        GTEST_SKIP() << "runs only as a press started by TwoProgramsStoreAtOnce";
    kv::db::TDbServer server = TPgCluster::Instance().Server(qEnvironmentVariable("KV_PRESS_SCHEMA"));
    TDbConnection c;
    c.openServer(server);
    TCemCompTest t;
    modtest::Load(t, c);
    while (!QFile::exists(qEnvironmentVariable("KV_PRESS_GO")))
        QThread::msleep(5);
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(RunGroup(t, press + QStringLiteral("-%1").arg(i), 5));
        if (i % 2 == 1) {
            const QString number = QStringLiteral("K%1").arg(i / 2, 2, 10, QLatin1Char('0'));
            // Both presses reach the contested number before either checks it.
            const QString mine = qEnvironmentVariable("KV_PRESS_GO") + QLatin1Char('.') + number;
            QFile(mine + press).open(QIODevice::WriteOnly);
            while (!QFile::exists(mine + (press == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A"))))
                QThread::msleep(1);
            std::cout << "CONTESTED " << number.toStdString() << (RunGroup(t, number, 3) ? " stored" : " refused")
                      << std::endl;
        }
    }
}
