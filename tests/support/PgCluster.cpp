#include "PgCluster.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvtest {

namespace {

// initdb of the newest server version installed, or on the path.
QString FindBinDir()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!onPath.isEmpty())
        return QFileInfo(onPath).absolutePath();
    QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &v : versions)
        if (QFile::exists(lib.filePath(v + QStringLiteral("/bin/initdb"))))
            return lib.filePath(v + QStringLiteral("/bin"));
    return {};
}

bool RunTool(const QString &runAs, const QString &program, const QStringList &args, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (runAs.isEmpty())
        p.start(program, args);
    else
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), runAs, QStringLiteral("--"), program} + args);
    const bool done = p.waitForFinished(120000);
    *output = QString::fromLocal8Bit(p.readAll());
    return done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

TPgCluster &TPgCluster::Instance()
{
    static TPgCluster cluster;
    return cluster;
}

TPgCluster::TPgCluster() { Start(); }

void TPgCluster::Start()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        m_whyNot = QStringLiteral("Qt's PostgreSQL driver is not installed (Debian package libqt6sql6-psql)");
        return;
    }
    if (qEnvironmentVariableIsSet("KV_PGHOST")) {
        m_base.Host = qEnvironmentVariable("KV_PGHOST");
        m_base.Port = qEnvironmentVariableIntValue("KV_PGPORT") > 0 ? qEnvironmentVariableIntValue("KV_PGPORT") : 5432;
        m_base.User = qEnvironmentVariable("KV_PGUSER", QStringLiteral("postgres"));
        m_base.Database = qEnvironmentVariable("KV_PGDATABASE", QStringLiteral("postgres"));
        m_ready = true;
        return;
    }
    m_binDir = FindBinDir();
    if (m_binDir.isEmpty()) {
        m_whyNot = QStringLiteral("no server can be started: initdb not found (Debian package postgresql)");
        return;
    }
    struct passwd *owner = nullptr;
    if (::geteuid() == 0) {
        owner = ::getpwnam("postgres");
        if (!owner) {
            m_whyNot = QStringLiteral("running as root and there is no user postgres to run the server");
            return;
        }
        m_runAs = QStringLiteral("postgres");
    }
    char pattern[] = "/tmp/kv-pg-XXXXXX";
    if (!::mkdtemp(pattern)) {
        m_whyNot = QStringLiteral("cannot create a temporary folder");
        return;
    }
    m_dir = QString::fromLocal8Bit(pattern);
    if (owner && (::chown(pattern, owner->pw_uid, owner->pw_gid) != 0 || ::chmod(pattern, 0700) != 0)) {
        m_whyNot = QStringLiteral("cannot hand %1 to the user postgres").arg(m_dir);
        return;
    }
    const QString data = m_dir + QStringLiteral("/data");
    QString out;
    if (!RunTool(m_runAs, m_binDir + QStringLiteral("/initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"),
                  QStringLiteral("postgres"), QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-locale"),
                  QStringLiteral("--no-sync")},
                 &out)) {
        m_whyNot = QStringLiteral("initdb failed: ") + out.trimmed();
        return;
    }
    // Local socket only; durability is not needed for a cluster thrown away
    // (KV_PG_DURABLE=1 keeps the server's defaults, for benchmarks).
    QString options = QStringLiteral("-k %1 -c listen_addresses='' -c max_connections=40").arg(m_dir);
    if (qEnvironmentVariableIntValue("KV_PG_DURABLE") != 1)
        options += QStringLiteral(" -c fsync=off -c synchronous_commit=off -c full_page_writes=off");
    if (!RunTool(m_runAs, m_binDir + QStringLiteral("/pg_ctl"),
                 {QStringLiteral("-D"), data, QStringLiteral("-l"), m_dir + QStringLiteral("/server.log"),
                  QStringLiteral("-w"), QStringLiteral("-o"), options, QStringLiteral("start")},
                 &out)) {
        QFile log(m_dir + QStringLiteral("/server.log"));
        log.open(QIODevice::ReadOnly);
        m_whyNot = QStringLiteral("pg_ctl start failed: ") + out.trimmed() + QLatin1Char(' ') +
                   QString::fromLocal8Bit(log.readAll()).trimmed();
        return;
    }
    m_base.Host = m_dir;
    m_base.Port = 5432;
    m_base.User = QStringLiteral("postgres");
    m_base.Database = QStringLiteral("postgres");
    m_ready = true;
}

TPgCluster::~TPgCluster()
{
    if (m_dir.isEmpty())
        return;
    if (m_ready && !m_binDir.isEmpty()) {
        // At exit, after the application object: a plain shell command.
        const QString stop = QStringLiteral("%1'%2/pg_ctl' -D '%3/data' -m immediate stop >/dev/null 2>&1")
                                 .arg(m_runAs.isEmpty() ? QString() : QStringLiteral("runuser -u postgres -- "),
                                      m_binDir, m_dir);
        if (std::system(stop.toLocal8Bit().constData()) != 0)
            std::fprintf(stderr, "PostgreSQL test cluster in %s did not stop\n", qPrintable(m_dir));
    }
    QDir(m_dir).removeRecursively();
}

kv::db::TDbServer TPgCluster::Server(const QString &schema) const
{
    kv::db::TDbServer s = m_base;
    s.Schema = schema;
    return s;
}

QString TPgCluster::NewSchemaName()
{
    static QAtomicInt next;
    return QStringLiteral("kvt_%1_%2").arg(::getpid()).arg(next.fetchAndAddRelaxed(1));
}

} // namespace kvtest
