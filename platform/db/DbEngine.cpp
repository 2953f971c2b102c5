// Connection and query objects over Qt SQL (SQLite, or PostgreSQL on a
// server). Every statement text passes the Jet dialect first; values bound as
// parameters are used only for the engine's own row editing.
#include "db/DbEngine.h"
#include "db/JetDialect_p.h"
#include "SqlText.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <cmath>

namespace kv::db {

using detail::QuoteIdent;
using detail::TJetPlan;

namespace {

QString tr(const char *text) { return QCoreApplication::translate("TDbEngine", text); }

// A key already stored: SQLite's primary-key or unique failure (extended
// codes 1555, 2067, or the plain constraint code with its text), or
// PostgreSQL's unique violation (SQLSTATE 23505).
bool isDuplicateKey(const QSqlError &e)
{
    const QString code = e.nativeErrorCode();
    return code == QLatin1String("23505") || code == QLatin1String("1555") || code == QLatin1String("2067") ||
           (code == QLatin1String("19") && e.databaseText().contains(QLatin1String("UNIQUE constraint failed")));
}

[[noreturn]] void failQuery(const QSqlQuery &q, const QString &sql)
{
    QString detail = q.lastError().databaseText();
    if (detail.isEmpty())
        detail = q.lastError().text();
    throw EDatabaseError(isDuplicateKey(q.lastError()) ? TDbFault::Duplicate : TDbFault::Other,
                         tr("执行数据库语句出错: %1").arg(detail) + QStringLiteral("\n") + sql);
}

bool isPg(const QSqlDatabase &db) { return db.driverName() == QLatin1String("QPSQL"); }

void run(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        failQuery(q, sql);
}

QVector<QVector<QVariant>> select(const QSqlDatabase &db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        failQuery(q, sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        failQuery(q, sql);
    QVector<QVector<QVariant>> rows;
    const int n = q.record().count();
    while (q.next()) {
        QVector<QVariant> r(n);
        for (int i = 0; i < n; ++i)
            r[i] = q.value(i);
        rows.append(r);
    }
    return rows;
}

bool isDml(const QString &sqliteSql)
{
    const QString head = sqliteSql.section(QLatin1Char(' '), 0, 0).toUpper();
    return head == QLatin1String("INSERT") || head == QLatin1String("UPDATE") || head == QLatin1String("DELETE") ||
           head == QLatin1String("REPLACE");
}

struct TTableDef {
    QString name; // as stored
    QString sql;  // CREATE TABLE text as stored
};

bool findTable(const QSqlDatabase &db, const QString &name, TTableDef *def)
{
    if (isPg(db)) {
        // Tables of the current schema, named without regard to case.
        const auto rows = select(db,
                                 QStringLiteral("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = "
                                                "c.relnamespace WHERE n.nspname = current_schema() AND c.relkind "
                                                "IN ('r', 'p') AND lower(c.relname) = lower(?) ORDER BY c.relname"),
                                 {name});
        if (rows.isEmpty())
            return false;
        if (def)
            def->name = rows[0][0].toString();
        return true;
    }
    const auto rows = select(db,
                             QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table' "
                                            "AND name = ? COLLATE NOCASE"),
                             {name});
    if (rows.isEmpty())
        return false;
    if (def) {
        def->name = rows[0][0].toString();
        def->sql = rows[0][1].toString();
    }
    return true;
}

QStringList columnNames(const QSqlDatabase &db, const QString &table)
{
    QStringList names;
    if (isPg(db)) {
        for (const auto &r : select(db,
                                    QStringLiteral("SELECT a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = "
                                                   "a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
                                                   "n.nspname = current_schema() AND c.relname = ? AND a.attnum > 0 "
                                                   "AND NOT a.attisdropped ORDER BY a.attnum"),
                                    {table}))
            names.append(r[0].toString());
        return names;
    }
    for (const auto &r : select(db, QStringLiteral("PRAGMA table_info(%1)").arg(QuoteIdent(table))))
        names.append(r[1].toString());
    return names;
}

// The column list group of a stored CREATE TABLE text.
const detail::TTok &definitionGroup(const QVector<detail::TTok> &toks, const QString &sql)
{
    for (const detail::TTok &t : toks)
        if (t.kind == detail::TTokKind::Group)
            return t;
    throw EDatabaseError(tr("无法读取表的定义") + QStringLiteral("\n") + sql);
}

const QString kRebuildName = QStringLiteral("kv__rebuild");

// SQLite cannot add or drop a table constraint in place: the table is made
// anew from its definition with the change, the rows copied over, the old
// table dropped and the new one renamed, all in one transaction. Foreign-key
// enforcement is off meanwhile so dropping the old table cascades nothing.
void rebuildTable(const QSqlDatabase &db, const TTableDef &def, const QString &newDefinition)
{
    const QStringList cols = columnNames(db, def.name);
    QStringList quoted;
    for (const QString &c : cols)
        quoted.append(QuoteIdent(c));
    const QString colList = quoted.join(QStringLiteral(", "));
    QStringList extras;
    for (const auto &r : select(db,
                                QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = ? COLLATE NOCASE "
                                               "AND type IN ('index', 'trigger') AND sql IS NOT NULL"),
                                {def.name}))
        extras.append(r[0].toString());

    run(db, QStringLiteral("PRAGMA foreign_keys = OFF"));
    try {
        run(db, QStringLiteral("BEGIN IMMEDIATE"));
        try {
            run(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(QuoteIdent(kRebuildName)));
            run(db, QStringLiteral("CREATE TABLE %1 %2").arg(QuoteIdent(kRebuildName), newDefinition));
            run(db, QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3")
                        .arg(QuoteIdent(kRebuildName), colList, QuoteIdent(def.name)));
            run(db, QStringLiteral("DROP TABLE %1").arg(QuoteIdent(def.name)));
            run(db, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(QuoteIdent(kRebuildName), QuoteIdent(def.name)));
            for (const QString &e : extras)
                run(db, e);
            const auto bad = select(db, QStringLiteral("PRAGMA foreign_key_check(%1)").arg(QuoteIdent(def.name)));
            if (!bad.isEmpty())
                throw EDatabaseError(tr("表 %1 中已有 %2 行数据不满足新的约束").arg(def.name).arg(bad.size()));
            run(db, QStringLiteral("COMMIT"));
        } catch (...) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("ROLLBACK"));
            throw;
        }
    } catch (...) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        throw;
    }
    run(db, QStringLiteral("PRAGMA foreign_keys = ON"));
}

void addConstraint(const QSqlDatabase &db, const TJetPlan &plan)
{
    TTableDef def;
    if (!findTable(db, plan.alterTable, &def))
        throw EDatabaseError(tr("表 %1 不存在").arg(plan.alterTable));
    if (!plan.referencedTable.isEmpty() && !findTable(db, plan.referencedTable, nullptr))
        throw EDatabaseError(tr("引用的表 %1 不存在").arg(plan.referencedTable));
    const auto toks = detail::Tokenize(def.sql, true);
    const detail::TTok &g = definitionGroup(toks, def.sql);
    if (!plan.constraintName.isEmpty()) {
        for (int i = 0; i + 1 < g.kids.size(); ++i)
            if (g.kids[i].kind == detail::TTokKind::Word &&
                g.kids[i].text.compare(QLatin1String("CONSTRAINT"), Qt::CaseInsensitive) == 0 &&
                g.kids[i + 1].text.compare(plan.constraintName, Qt::CaseInsensitive) == 0)
                throw EDatabaseError(tr("约束 %1 已存在").arg(plan.constraintName));
    }
    const QString body = def.sql.mid(g.pos, g.end - g.pos);
    const QString newDef = body.left(body.size() - 1) + QStringLiteral(", ") + plan.constraintSql +
                           QStringLiteral(")") + def.sql.mid(g.end);
    rebuildTable(db, def, newDef);
}

void dropConstraint(const QSqlDatabase &db, const TJetPlan &plan)
{
    TTableDef def;
    if (!findTable(db, plan.alterTable, &def))
        throw EDatabaseError(tr("表 %1 不存在").arg(plan.alterTable));
    const auto toks = detail::Tokenize(def.sql, true);
    const detail::TTok &g = definitionGroup(toks, def.sql);
    // Find the table constraint "CONSTRAINT name ..." among the elements.
    int start = -1;
    for (int i = 0; i + 1 < g.kids.size(); ++i) {
        const bool elementStart = i == 0 || (g.kids[i - 1].kind == detail::TTokKind::Op && g.kids[i - 1].text == QLatin1String(","));
        if (elementStart && g.kids[i].kind == detail::TTokKind::Word &&
            g.kids[i].text.compare(QLatin1String("CONSTRAINT"), Qt::CaseInsensitive) == 0 &&
            g.kids[i + 1].text.compare(plan.constraintName, Qt::CaseInsensitive) == 0) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        const auto idx = select(db,
                                QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                               "name = ? COLLATE NOCASE AND tbl_name = ? COLLATE NOCASE"),
                                {plan.constraintName, def.name});
        if (idx.isEmpty())
            throw EDatabaseError(tr("约束 %1 不存在").arg(plan.constraintName));
        run(db, QStringLiteral("DROP INDEX %1").arg(QuoteIdent(idx[0][0].toString())));
        return;
    }
    int end = start;
    while (end < g.kids.size() && !(g.kids[end].kind == detail::TTokKind::Op && g.kids[end].text == QLatin1String(",")))
        ++end;
    int from, to;
    if (start > 0) { // remove ", CONSTRAINT ..." up to the next element
        from = g.kids[start - 1].pos;
        to = g.kids[end - 1].end;
    } else if (end < g.kids.size()) {
        from = g.kids[start].pos;
        to = g.kids[end].end;
    } else {
        throw EDatabaseError(tr("不能删除表 %1 的唯一定义").arg(def.name));
    }
    QString sql = def.sql;
    sql.remove(from, to - from);
    const auto toks2 = detail::Tokenize(sql, true);
    const detail::TTok &g2 = definitionGroup(toks2, sql);
    rebuildTable(db, def, sql.mid(g2.pos));
}

// Integer-looking text and numbers of every kind as a double; throws for
// other text.
bool numberOf(const QVariant &v, double *out, qint64 *whole)
{
    const int t = v.typeId();
    if (t == QMetaType::LongLong || t == QMetaType::Int || t == QMetaType::UInt || t == QMetaType::ULongLong ||
        t == QMetaType::Short || t == QMetaType::UShort || t == QMetaType::Char || t == QMetaType::UChar) {
        *whole = v.toLongLong();
        *out = double(*whole);
        return true;
    }
    if (t == QMetaType::Double || t == QMetaType::Float) {
        *out = v.toDouble();
        *whole = std::isfinite(*out) ? std::llround(*out) : 0;
        return false;
    }
    if (t == QMetaType::Bool) {
        *whole = v.toBool() ? -1 : 0;
        *out = double(*whole);
        return true;
    }
    const QString s = t == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()).trimmed() : v.toString().trimmed();
    if (s.isEmpty()) {
        *out = 0;
        *whole = 0;
        return true;
    }
    bool ok = false;
    const qint64 i = s.toLongLong(&ok);
    if (ok) {
        *whole = i;
        *out = double(i);
        return true;
    }
    const double d = kv::ParseNumber(s, &ok);
    if (!ok || !std::isfinite(d))
        throw EDatabaseError(tr("'%1' 不是有效的数值").arg(s));
    *out = d;
    *whole = std::llround(d);
    return false;
}

// Jet stores a date-time as days since 1899-12-30 with the time as fraction.
QDateTime fromOleDate(double days)
{
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return base.addMSecs(qint64(std::llround(days * 86400000.0)));
}

QVariant bindable(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime: return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool: return qint64(v.toBool() ? -1 : 0); // Jet's True is -1
    case QMetaType::Float: return kv::SqlSingle(v.toFloat()).toDouble(); // 0.3f stays 0.3
    default: return v;
    }
}

QAtomicInt g_connectionNo;

} // namespace

// ====================================================================== connection

TDbConnection::TDbConnection()
    : m_name(QStringLiteral("kvdb_%1").arg(g_connectionNo.fetchAndAddRelaxed(1)))
{
}

TDbConnection::~TDbConnection() { close(); }

void TDbConnection::createDatabase(const QString &filePath)
{
    if (QFileInfo::exists(filePath))
        throw EDatabaseError(tr("数据库文件已存在: %1").arg(filePath));
    const QString name = QStringLiteral("kvdb_create_%1").arg(g_connectionNo.fetchAndAddRelaxed(1));
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(filePath);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            // The journal mode is kept in the file's header, which also makes
            // the new file a real (non-empty) database.
            if (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
                !q.exec(QStringLiteral("CREATE TABLE kv__init (x)")) || !q.exec(QStringLiteral("DROP TABLE kv__init")))
                error = q.lastError().text();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        throw EDatabaseError(tr("无法创建数据库文件 %1: %2").arg(filePath, error));
}

namespace {

// The SQLite result code of a failed call (the primary code, 0 when unknown).
int ResultCode(const QSqlError &e) { return e.nativeErrorCode().toInt() & 0xFF; }

QString ErrorText(const QSqlError &e)
{
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

// What a failed call says about the file: SQLite reports a file it may not
// write, or a journal it cannot create beside it, as read-only or "cannot
// open"; the file and folder rights tell the two apart.
TDbFault FaultOf(const QSqlError &e, const QFileInfo &file)
{
    enum { Busy = 5, Locked = 6, ReadOnly = 8, IoErr = 10, Corrupt = 11, CantOpen = 14, NotADb = 26 };
    switch (ResultCode(e)) {
    case Busy:
    case Locked:
        return TDbFault::Locked;
    case Corrupt:
    case NotADb:
        return TDbFault::Damaged;
    case ReadOnly:
    case IoErr:
    case CantOpen:
        if (!file.isWritable())
            return TDbFault::ReadOnly;
        if (!QFileInfo(file.absolutePath()).isWritable())
            return TDbFault::FolderReadOnly;
        return ResultCode(e) == ReadOnly ? TDbFault::ReadOnly : TDbFault::Other;
    default:
        return TDbFault::Other;
    }
}

// Waits of the checks at opening: a writer that does not finish within this
// time holds the file.
const int kCheckBusyMs = 1000;
const int kBusyMs = 5000;

} // namespace

void TDbConnection::open(const QString &filePath, const TVerify &verify)
{
    close();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        throw EDatabaseError(TDbFault::DriverMissing, tr("数据库引擎 (SQLite) 不存在"));
    const QFileInfo fi(filePath);
    if (!fi.exists() || !fi.isFile())
        throw EDatabaseError(TDbFault::Missing, tr("数据库文件不存在: %1").arg(filePath));
    if (fi.size() == 0)
        throw EDatabaseError(TDbFault::Empty, tr("数据库文件为空: %1").arg(filePath));
    const QString abs = fi.absoluteFilePath();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        // mode=rw: SQLite itself refuses to create a file that is missing.
        db.setDatabaseName(QUrl::fromLocalFile(abs).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kCheckBusyMs));
    }
    m_path = abs;
    try {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (!db.open())
            throw EDatabaseError(FaultOf(db.lastError(), fi),
                                 tr("无法打开数据库 %1: %2").arg(abs, ErrorText(db.lastError())));
        QSqlQuery q(db);
        // Every page read once: a damaged file is refused before any write.
        if (!q.exec(QStringLiteral("PRAGMA quick_check(3)")))
            throw EDatabaseError(FaultOf(q.lastError(), fi),
                                 tr("无法读取数据库 %1: %2").arg(abs, ErrorText(q.lastError())));
        QStringList findings;
        while (q.next())
            findings.append(q.value(0).toString());
        q.finish();
        if (findings != QStringList{QStringLiteral("ok")})
            throw EDatabaseError(TDbFault::Damaged, tr("数据库已损坏: %1 (%2)").arg(abs, findings.join(QStringLiteral("; "))));
        if (verify)
            verify(*this);
        // A write that is rolled back: a lock of another writer, a read-only
        // file or a folder without room for the journal shows here.
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            throw EDatabaseError(FaultOf(q.lastError(), fi),
                                 tr("无法写入数据库 %1: %2").arg(abs, ErrorText(q.lastError())));
        const bool written = q.exec(QStringLiteral("CREATE TABLE kv__probe (x)"));
        const QSqlError writeError = q.lastError();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        if (!written)
            throw EDatabaseError(FaultOf(writeError, fi), tr("无法写入数据库 %1: %2").arg(abs, ErrorText(writeError)));
        if (!q.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kBusyMs)) ||
            !q.exec(QStringLiteral("PRAGMA foreign_keys = ON")) || !q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
            !q.exec(QStringLiteral("PRAGMA synchronous = FULL")))
            throw EDatabaseError(FaultOf(q.lastError(), fi),
                                 tr("无法设置数据库 %1: %2").arg(abs, ErrorText(q.lastError())));
        q.finish();
    } catch (...) {
        close();
        throw;
    }
}

namespace {

// Helpers of every PostgreSQL session, in its own temporary schema so any
// user may create them: text that holds a number reads as that number (its
// leading number, else 0, as Jet's Val), numbers read back as Jet shows them,
// and rounding of floating-point values.
const char *const kPgSessionSql = R"SQL(
SET client_min_messages = warning;
CREATE FUNCTION pg_temp.kv_num(x text) RETURNS double precision LANGUAGE sql IMMUTABLE AS
  $$ SELECT CASE WHEN x IS NULL THEN NULL ELSE coalesce(CAST(substring(x FROM
       '^\s*([-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?)') AS double precision), 0) END $$;
CREATE FUNCTION pg_temp.kv_num(x double precision) RETURNS double precision LANGUAGE sql IMMUTABLE AS
  $$ SELECT x $$;
CREATE FUNCTION pg_temp.kv_text(x text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT x $$;
CREATE FUNCTION pg_temp.kv_text(x double precision) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT CAST(x AS text) $$;
CREATE FUNCTION pg_temp.kv_text(x numeric) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT CAST(CAST(x AS double precision) AS text) $$;
CREATE FUNCTION pg_temp.kv_text(x timestamp) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT to_char(x, 'YYYY-MM-DD HH24:MI:SS') $$;
CREATE FUNCTION pg_temp.kv_round(x double precision, n integer) RETURNS double precision LANGUAGE sql
  IMMUTABLE AS $$ SELECT CAST(round(CAST(x AS numeric), n) AS double precision) $$;
)SQL";

// A counter column follows numbers inserted explicitly, as Jet's counter
// does: the next number given by the server is above every stored one.
const char *const kPgCounterFunctionSql = R"SQL(
CREATE FUNCTION kv_counter_follow() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
  seq text := pg_get_serial_sequence(quote_ident(TG_TABLE_SCHEMA) || '.' || quote_ident(TG_TABLE_NAME), TG_ARGV[0]);
  v bigint := CAST(to_jsonb(NEW) ->> TG_ARGV[0] AS bigint);
BEGIN
  IF v IS NOT NULL AND v > coalesce(pg_sequence_last_value(CAST(seq AS regclass)), 0) THEN
    PERFORM setval(seq, v);
  END IF;
  RETURN NEW;
END $$
)SQL";

void addCounterTrigger(const QSqlDatabase &db, const QString &table, const QString &column)
{
    const auto have = select(db, QStringLiteral("SELECT 1 FROM pg_proc p JOIN pg_namespace n ON n.oid = "
                                                "p.pronamespace WHERE n.nspname = current_schema() AND "
                                                "p.proname = 'kv_counter_follow'"));
    if (have.isEmpty())
        run(db, QString::fromUtf8(kPgCounterFunctionSql));
    QString arg = column.toLower();
    arg.replace(QLatin1Char('\''), QStringLiteral("''"));
    run(db, QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 FOR EACH ROW EXECUTE FUNCTION "
                           "kv_counter_follow('%3')")
                .arg(detail::PgIdent(QStringLiteral("kv_counter_") + table), detail::PgIdent(table), arg));
}

} // namespace

QString TDbServer::Describe() const
{
    return QStringLiteral("%1@%2:%3/%4")
        .arg(User, Host.isEmpty() ? QStringLiteral("localhost") : Host)
        .arg(Port)
        .arg(Database);
}

void TDbConnection::openServer(const TDbServer &server, const TVerify &verify)
{
    close();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw EDatabaseError(TDbFault::DriverMissing, tr("数据库引擎 (PostgreSQL) 不存在"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(server.Host);
        db.setPort(server.Port);
        db.setDatabaseName(server.Database);
        db.setUserName(server.User);
        db.setPassword(server.Password);
        db.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=Kalvio6"));
    }
    m_path = server.Describe();
    m_backend = TDbBackend::PostgreSQL;
    try {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (!db.open())
            throw EDatabaseError(TDbFault::Unreachable,
                                 tr("无法连接数据库服务器 %1: %2").arg(m_path, ErrorText(db.lastError())));
        if (!server.Schema.isEmpty()) {
            const QString schema = detail::PgIdent(server.Schema, true);
            if (select(db, QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = ?"), {server.Schema}).isEmpty())
                run(db, QStringLiteral("CREATE SCHEMA ") + schema);
            run(db, QStringLiteral("SET search_path = %1, public").arg(schema));
        }
        if (select(db, QStringLiteral("SELECT 1 FROM pg_extension WHERE extname = 'citext'")).isEmpty()) {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext SCHEMA public")))
                throw EDatabaseError(tr("数据库 %1 缺少 citext 扩展, 且无法创建: %2")
                                         .arg(m_path, ErrorText(q.lastError())));
        }
        run(db, QString::fromUtf8(kPgSessionSql));
        if (verify)
            verify(*this);
    } catch (...) {
        close();
        throw;
    }
}

void TDbConnection::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_path.clear();
    m_backend = TDbBackend::SQLite;
}

bool TDbConnection::connected() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase TDbConnection::database() const
{
    if (!connected())
        throw EDatabaseError(tr("数据库没有连接"));
    return QSqlDatabase::database(m_name, false);
}

QStringList TDbConnection::tableNames() const
{
    QStringList names;
    const QString pgSql = QStringLiteral("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = "
                                         "c.relnamespace WHERE n.nspname = current_schema() AND c.relkind IN "
                                         "('r', 'p') AND c.relname NOT LIKE 'kv!_!_%' ESCAPE '!'");
    for (const auto &r : select(database(), m_backend == TDbBackend::PostgreSQL ? pgSql : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                                           "AND name NOT LIKE 'sqlite!_%' ESCAPE '!' "
                                                           "AND name NOT LIKE 'kv!_!_%' ESCAPE '!'")))
        names.append(r[0].toString());
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

bool TDbConnection::tableExists(const QString &name) const
{
    if (name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) || name.startsWith(QLatin1String("kv__")))
        return false;
    return findTable(database(), name, nullptr);
}

QStringList TDbConnection::columnNames(const QString &table) const
{
    TTableDef def;
    return findTable(database(), table, &def) ? kv::db::columnNames(database(), def.name) : QStringList();
}

QString TDbConnection::tableName(const QString &name) const
{
    TTableDef def;
    return findTable(database(), name, &def) ? def.name : QString();
}

QStringList TDbConnection::primaryKeyColumns(const QString &table) const
{
    const QString name = tableName(table);
    QStringList out;
    if (name.isEmpty())
        return out;
    const QSqlDatabase db = database();
    const auto rows =
        isPg(db) ? select(db,
                          QStringLiteral("SELECT a.attname FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid "
                                         "JOIN pg_namespace n ON n.oid = c.relnamespace "
                                         "CROSS JOIN LATERAL unnest(i.indkey) WITH ORDINALITY AS k(attnum, ord) "
                                         "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum "
                                         "WHERE i.indisprimary AND n.nspname = current_schema() AND c.relname = ? "
                                         "ORDER BY k.ord"),
                          {name})
                 : select(db, QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk"), {name});
    for (const auto &r : rows)
        out << r[0].toString();
    return out;
}

std::vector<TDbConnection::TForeignKey> TDbConnection::foreignKeysTo(const QString &table) const
{
    std::vector<TForeignKey> out;
    const QString name = tableName(table);
    if (name.isEmpty())
        return out;
    const QSqlDatabase db = database();
    // Rows of (referring table, key id, column, referred column), in key order.
    const auto rows =
        isPg(db)
            ? select(db,
                     QStringLiteral("SELECT cl.relname, c.oid, a.attname, af.attname FROM pg_constraint c "
                                    "JOIN pg_class cl ON cl.oid = c.conrelid JOIN pg_class rf ON rf.oid = c.confrelid "
                                    "JOIN pg_namespace n ON n.oid = rf.relnamespace "
                                    "CROSS JOIN LATERAL unnest(c.conkey, c.confkey) WITH ORDINALITY AS k(col, ref, ord) "
                                    "JOIN pg_attribute a ON a.attrelid = c.conrelid AND a.attnum = k.col "
                                    "JOIN pg_attribute af ON af.attrelid = c.confrelid AND af.attnum = k.ref "
                                    "WHERE c.contype = 'f' AND n.nspname = current_schema() AND rf.relname = ? "
                                    "ORDER BY lower(cl.relname), c.oid, k.ord"),
                     {name})
            : select(db,
                     QStringLiteral("SELECT m.name, f.id, f.\"from\", f.\"to\" FROM sqlite_master AS m "
                                    "JOIN pragma_foreign_key_list(m.name) AS f "
                                    "WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite!_%' ESCAPE '!' "
                                    "AND f.\"table\" = ? COLLATE NOCASE "
                                    "ORDER BY m.name COLLATE NOCASE, f.id, f.seq"),
                     {name});
    QVariant lastId;
    for (const auto &r : rows) {
        if (out.empty() || out.back().Table != r[0].toString() || r[1] != lastId)
            out.push_back({r[0].toString(), {}, {}});
        lastId = r[1];
        out.back().Columns << r[2].toString();
        out.back().RefColumns << (r[3].isNull() ? QString() : r[3].toString());
    }
    return out;
}

namespace {
detail::TTarget targetOf(TDbBackend b)
{
    return b == TDbBackend::PostgreSQL ? detail::TTarget::PostgreSQL : detail::TTarget::SQLite;
}
} // namespace

int TDbConnection::execute(const QString &jetSql)
{
    const TJetPlan plan = detail::PlanJetSql(jetSql, targetOf(m_backend));
    const QSqlDatabase db = database();
    const bool pg = m_backend == TDbBackend::PostgreSQL;
    // PostgreSQL changes table constraints in place.
    if (!pg) {
        switch (plan.kind) {
        case TJetPlan::Kind::AddConstraint: addConstraint(db, plan); return 0;
        case TJetPlan::Kind::DropConstraint: dropConstraint(db, plan); return 0;
        default: break;
        }
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(plan.sql))
        failQuery(q, plan.sql + QStringLiteral("\n(") + jetSql + QStringLiteral(")"));
    if (pg && !plan.counterTable.isEmpty())
        addCounterTrigger(db, plan.counterTable, plan.counterColumn);
    return isDml(plan.sql) ? q.numRowsAffected() : 0;
}

// ====================================================================== field

QString TDbField::fieldName() const
{
    return m_query && m_column >= 0 && m_column < m_query->m_columns.size() ? m_query->m_columns[m_column] : QString();
}

QVariant TDbField::value() const { return m_query ? m_query->currentValue(m_column) : QVariant(); }

bool TDbField::isNull() const { return value().isNull(); }

qint64 TDbField::asInteger() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0;
    double d;
    qint64 i;
    numberOf(v, &d, &i);
    return i;
}

double TDbField::asFloat() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0.0;
    double d;
    qint64 i;
    numberOf(v, &d, &i);
    return d;
}

QString TDbField::asString() const
{
    const QVariant v = value();
    if (v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        // A whole number in a REAL column reads back as "5", not "5.0".
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return kv::SqlNum(d);
    }
    case QMetaType::QByteArray: return QString::fromUtf8(v.toByteArray());
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    // A server's date column reads as the text SQLite keeps.
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    default: return v.toString();
    }
}

QDateTime TDbField::asDateTime() const
{
    const QVariant v = value();
    if (v.isNull())
        return QDateTime();
    switch (v.typeId()) {
    case QMetaType::QDateTime: return v.toDateTime();
    case QMetaType::QDate: return v.toDate().startOfDay();
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::LongLong:
    case QMetaType::Int: return fromOleDate(v.toDouble());
    default: break;
    }
    const QString s = v.toString().trimmed();
    if (s.isEmpty())
        return QDateTime();
    const char *dateTimes[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz",
                               "yyyy-MM-ddTHH:mm:ss.zzz", "yyyy-M-d H:m:s", "yyyy/M/d H:m:s", "yyyy-M-d H:m",
                               "yyyy/M/d H:m"};
    for (const char *f : dateTimes) {
        const QDateTime dt = QDateTime::fromString(s, QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    const char *dates[] = {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d", "yyyy.M.d"};
    for (const char *f : dates) {
        const QDate d = QDate::fromString(s, QString::fromLatin1(f));
        if (d.isValid())
            return d.startOfDay();
    }
    bool ok = false;
    const double days = kv::ParseNumber(s, &ok);
    if (ok && std::isfinite(days))
        return fromOleDate(days);
    throw EDatabaseError(tr("'%1' 不是有效的日期").arg(s));
}

// ====================================================================== query

TDbQuery::TDbQuery(TDbConnection &connection, QObject *parent) : QObject(parent), m_conn(&connection) {}

TDbQuery::~TDbQuery() = default;

void TDbQuery::setSql(const QString &text)
{
    if (m_active)
        close();
    m_sql = text;
}

void TDbQuery::addSql(const QString &line)
{
    if (m_active)
        close();
    m_sql = m_sql.isEmpty() ? line : m_sql + QLatin1Char('\n') + line;
}

void TDbQuery::open()
{
    if (m_active)
        close();
    const TJetPlan plan = detail::PlanJetSql(m_sql, targetOf(m_conn->backend()));
    if (plan.kind != TJetPlan::Kind::Query)
        throw EDatabaseError(tr("语句不返回记录集") + QStringLiteral("\n") + m_sql);
    const QSqlDatabase db = m_conn->database();
    TTableDef def;
    bool editable = !plan.table.isEmpty() && findTable(db, plan.table, &def);
    QSqlQuery q(db);
    // PostgreSQL's driver reads a forward-only result row by row and loses it
    // when the connection runs another statement: there the client holds it.
    q.setForwardOnly(m_conn->backend() == TDbBackend::SQLite);
    if (!q.exec(editable ? plan.rowidSql : plan.sql)) {
        if (!editable || !q.exec(plan.sql)) // a table without rowid stays read-only
            failQuery(q, plan.sql + QStringLiteral("\n(") + m_sql + QStringLiteral(")"));
        editable = false;
    }
    const QSqlRecord rec = q.record();
    const int cols = rec.count() - (editable ? 1 : 0);
    QStringList names;
    for (int i = 0; i < cols; ++i)
        names.append(rec.fieldName(i));
    m_cols = cols;
    m_withRowId = editable;
    m_rows.clear();
    m_rowIds.clear();
    m_cursor = std::make_unique<QSqlQuery>(std::move(q));
    readRows(m_onDemand ? m_batch : -1);

    QStringList base;
    if (editable) {
        const QStringList tableCols = columnNames(db, def.name);
        for (const detail::TSelectItem &it : plan.items) {
            if (it.star)
                base += tableCols;
            else
                base.append(it.column);
        }
        if (base.size() != cols)
            base = QStringList();
    }
    m_columns = names;
    m_table = editable ? def.name : QString();
    m_baseColumns = base;
    m_refreshSql = editable ? plan.refreshSql : QString();
    m_state = State::Browse;
    m_editBuffer.clear();
    m_editTouched.clear();
    m_active = true;
    m_row = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    emit dataChanged();
    emit currentRowChanged(m_row);
}

int TDbQuery::execSql() { return m_conn->execute(m_sql); }

bool TDbQuery::readRows(int count)
{
    if (!m_cursor)
        return false;
    QVector<QVector<QVariant>> rows;
    QVector<QVariant> ids;
    bool more = true;
    while ((count < 0 || rows.size() < count) && (more = m_cursor->next())) {
        QVector<QVariant> r(m_cols);
        for (int i = 0; i < m_cols; ++i)
            r[i] = m_cursor->value(i);
        rows.append(r);
        if (m_withRowId)
            ids.append(m_cursor->value(m_cols));
    }
    if (!more) {
        // Everything is read: the statement no longer holds the database.
        m_cursor->finish();
        m_cursor.reset();
    }
    if (rows.isEmpty())
        return false;
    const bool announce = m_active;
    if (announce)
        emit rowsAboutToBeFetched(m_rows.size(), m_rows.size() + rows.size() - 1);
    m_rows += rows;
    m_rowIds += ids;
    if (announce)
        emit rowsFetched();
    return true;
}

void TDbQuery::setFetchOnDemand(bool on, int batch)
{
    m_onDemand = on;
    m_batch = batch > 0 ? batch : 256;
}

bool TDbQuery::canFetchMore() const { return m_active && m_cursor != nullptr; }

bool TDbQuery::fetchMore() { return canFetchMore() && readRows(m_batch); }

void TDbQuery::fetchAll()
{
    if (canFetchMore())
        readRows(-1);
}

void TDbQuery::close()
{
    const bool was = m_active;
    m_active = false;
    m_cursor.reset();
    m_columns.clear();
    m_rows.clear();
    m_rowIds.clear();
    m_table.clear();
    m_baseColumns.clear();
    m_refreshSql.clear();
    m_state = State::Browse;
    m_editBuffer.clear();
    m_editTouched.clear();
    m_row = -1;
    m_eof = m_bof = true;
    if (was) {
        emit dataChanged();
        emit currentRowChanged(-1);
    }
}

void TDbQuery::setCurrent(int row)
{
    if (row == m_row)
        return;
    m_row = row;
    emit currentRowChanged(row);
}

void TDbQuery::checkBrowseMode()
{
    // Moving away from a row being edited stores it first.
    if (m_state != State::Browse)
        post();
}

void TDbQuery::first()
{
    checkBrowseMode();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void TDbQuery::next()
{
    if (m_row + 1 >= m_rows.size())
        fetchMore();
    checkBrowseMode();
    if (m_row + 1 < m_rows.size()) {
        setCurrent(m_row + 1);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
    }
}

void TDbQuery::prior()
{
    checkBrowseMode();
    if (m_row > 0) {
        setCurrent(m_row - 1);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
    }
}

void TDbQuery::last()
{
    fetchAll();
    checkBrowseMode();
    setCurrent(m_rows.size() - 1);
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

bool TDbQuery::eof() const { return !m_active || m_eof; }
bool TDbQuery::bof() const { return !m_active || m_bof; }

void TDbQuery::moveTo(int row)
{
    while (row >= m_rows.size() && fetchMore()) {
    }
    if (row < 0 || row >= m_rows.size())
        throw EDatabaseError(tr("记录号 %1 超出范围").arg(row));
    checkBrowseMode();
    setCurrent(row);
    m_bof = m_eof = false;
}

int TDbQuery::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TDbField TDbQuery::fieldByName(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw EDatabaseError(tr("字段 %1 不存在").arg(name));
    return TDbField(this, i);
}

QVariant TDbQuery::valueAt(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return QVariant();
    return m_rows[row][column];
}

QVariant TDbQuery::currentValue(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return QVariant();
    if (m_state != State::Browse)
        return m_editBuffer.value(column);
    return valueAt(m_row, column);
}

void TDbQuery::requireEditable() const
{
    if (!m_active)
        throw EDatabaseError(tr("查询没有打开"));
    if (m_table.isEmpty())
        throw EDatabaseError(tr("结果集不是来自单个表, 不能修改") + QStringLiteral("\n") + m_sql);
}

void TDbQuery::edit()
{
    requireEditable();
    fetchAll(); // no statement may hold the database while a row is written
    if (m_state != State::Browse)
        return;
    if (m_row < 0)
        throw EDatabaseError(tr("没有可修改的记录"));
    m_editBuffer = m_rows[m_row];
    m_editTouched = QVector<bool>(m_columns.size(), false);
    m_state = State::Edit;
}

void TDbQuery::append()
{
    requireEditable();
    fetchAll(); // no statement may hold the database while a row is written
    checkBrowseMode();
    m_editBuffer = QVector<QVariant>(m_columns.size());
    m_editTouched = QVector<bool>(m_columns.size(), false);
    m_state = State::Insert;
}

void TDbQuery::setFieldValue(const QString &name, const QVariant &value)
{
    requireEditable();
    if (m_state == State::Browse)
        throw EDatabaseError(tr("记录不在编辑状态"));
    const int i = fieldIndex(name);
    if (i < 0)
        throw EDatabaseError(tr("字段 %1 不存在").arg(name));
    if (m_baseColumns.value(i).isEmpty())
        throw EDatabaseError(tr("字段 %1 是计算列, 不能修改").arg(name));
    // Every column of the result that shows the same source column follows.
    for (int k = 0; k < m_columns.size(); ++k)
        if (m_baseColumns[k].compare(m_baseColumns[i], Qt::CaseInsensitive) == 0) {
            m_editBuffer[k] = value;
            m_editTouched[k] = k == i;
        }
}

QVector<QVariant> TDbQuery::fetchRow(const QVariant &rowid)
{
    const auto rows = select(m_conn->database(), m_refreshSql, {rowid});
    if (rows.isEmpty())
        return {};
    QVector<QVariant> r = rows[0];
    r.resize(m_columns.size());
    return r;
}

// A row's address (rowid, or the server's ctid) may be taken by another row
// once the row went (another press deleted it, the server tidied up, a file
// reuses its highest rowid): its key, as read, must still be there. Appends
// the key's values to bind.
QString TDbQuery::keyGuard(QVariantList &values) const
{
    const bool pg = m_conn->backend() == TDbBackend::PostgreSQL;
    QString guard;
    for (const QString &key : m_conn->primaryKeyColumns(m_table))
        for (int k = 0; k < m_baseColumns.size(); ++k)
            if (m_baseColumns[k].compare(key, Qt::CaseInsensitive) == 0) {
                guard += QString::fromLatin1(pg ? " AND %1 IS NOT DISTINCT FROM ?" : " AND %1 IS ?")
                             .arg(pg ? detail::PgIdent(m_baseColumns[k]) : QuoteIdent(m_baseColumns[k]));
                values.append(bindable(m_rows[m_row][k]));
                break;
            }
    return guard;
}

void TDbQuery::post()
{
    if (m_state == State::Browse)
        return;
    requireEditable();
    QStringList cols;
    QVariantList vals;
    for (int k = 0; k < m_columns.size(); ++k) {
        if (!m_editTouched[k])
            continue;
        cols.append(m_baseColumns[k]);
        vals.append(bindable(m_editBuffer[k]));
    }
    const QSqlDatabase db = m_conn->database();
    const bool pg = m_conn->backend() == TDbBackend::PostgreSQL;
    // PostgreSQL gives the written row's address (ctid) back; an update moves it.
    const QString returning = pg ? QStringLiteral(" RETURNING ctid") : QString();
    const QString byAddress = pg ? QStringLiteral(" WHERE ctid = CAST(? AS tid)") : QStringLiteral(" WHERE rowid = ?");
    const detail::TTarget target = targetOf(m_conn->backend());
    auto quote = [&](const QString &name) {
        return target == detail::TTarget::PostgreSQL ? detail::PgIdent(name) : QuoteIdent(name);
    };
    for (QString &c : cols)
        c = quote(c);
    QSqlQuery q(db);
    QString sql;
    if (m_state == State::Insert) {
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quote(m_table)) + returning;
        } else {
            QStringList marks;
            for (int k = 0; k < cols.size(); ++k)
                marks.append(QStringLiteral("?"));
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quote(m_table), cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))) +
                  returning;
        }
        if (!q.prepare(sql))
            failQuery(q, sql);
        for (const QVariant &v : vals)
            q.addBindValue(v);
        if (!q.exec())
            failQuery(q, sql);
        const QVariant id = pg ? (q.next() ? q.value(0) : QVariant()) : q.lastInsertId();
        q.finish();
        QVector<QVariant> row = fetchRow(id);
        if (row.isEmpty())
            row = m_editBuffer;
        m_rows.append(row);
        m_rowIds.append(id);
        m_state = State::Browse;
        m_editBuffer.clear();
        m_editTouched.clear();
        m_row = -1;
        setCurrent(m_rows.size() - 1);
        m_bof = m_eof = false;
    } else {
        QVariant id = m_rowIds[m_row];
        if (!cols.isEmpty()) {
            QStringList sets;
            for (const QString &c : cols)
                sets.append(c + QStringLiteral(" = ?"));
            QVariantList keyValues;
            sql = QStringLiteral("UPDATE %1 SET %2").arg(quote(m_table), sets.join(QStringLiteral(", "))) + byAddress +
                  keyGuard(keyValues) + returning;
            if (!q.prepare(sql))
                failQuery(q, sql);
            for (const QVariant &v : vals)
                q.addBindValue(v);
            q.addBindValue(id);
            for (const QVariant &v : keyValues)
                q.addBindValue(v);
            if (!q.exec())
                failQuery(q, sql);
            if (q.numRowsAffected() == 0)
                throw EDatabaseError(tr("要修改的记录已不存在"));
            if (pg && q.next())
                m_rowIds[m_row] = id = q.value(0);
            q.finish();
        }
        QVector<QVariant> row = fetchRow(id);
        m_rows[m_row] = row.isEmpty() ? m_editBuffer : row;
        m_state = State::Browse;
        m_editBuffer.clear();
        m_editTouched.clear();
    }
    emit dataChanged();
}

void TDbQuery::cancel()
{
    m_state = State::Browse;
    m_editBuffer.clear();
    m_editTouched.clear();
}

void TDbQuery::deleteRow()
{
    requireEditable();
    fetchAll(); // no statement may hold the database while a row is written
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (m_row < 0)
        throw EDatabaseError(tr("没有可删除的记录"));
    QVariantList binds{m_rowIds[m_row]};
    const QString sql = (m_conn->backend() == TDbBackend::PostgreSQL
                             ? QStringLiteral("DELETE FROM %1 WHERE ctid = CAST(? AS tid)").arg(detail::PgIdent(m_table))
                             : QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(QuoteIdent(m_table))) +
                        keyGuard(binds);
    select(m_conn->database(), sql, binds);
    m_rows.remove(m_row);
    m_rowIds.remove(m_row);
    const int row = qMin(m_row, m_rows.size() - 1);
    m_row = -2; // force the signal: the row under the cursor changed
    setCurrent(row);
    m_eof = m_rows.isEmpty();
    m_bof = m_rows.isEmpty();
    emit dataChanged();
}

} // namespace kv::db
