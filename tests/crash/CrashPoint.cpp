#include "CrashPoint.h"

#include <QSqlDriver>
#include <QStringList>
#include <QVariant>

#include <csignal>
#include <cstdio>
#include <sqlite3.h>

namespace crash {

namespace {

struct TPoint {
    QByteArray table;
    int op = 0;           // SQLITE_INSERT, SQLITE_UPDATE or SQLITE_DELETE
    int n = 0;
    bool after = false;
    int seen = 0;
    bool armed = false;   // the n-th write happened: kill when its statement is done
};
TPoint gPoint;

[[noreturn]] void Die(const char *when)
{
    std::printf("crash %s %s write %d of %s\n", when,
                gPoint.op == SQLITE_INSERT ? "insert" : gPoint.op == SQLITE_UPDATE ? "update" : "delete", gPoint.n,
                gPoint.table.constData());
    std::fflush(stdout);
    std::raise(SIGKILL);
    for (;;) {
    }
}

void OnWrite(void *, int op, const char *, const char *table, sqlite3_int64)
{
    if (op != gPoint.op || qstricmp(table, gPoint.table.constData()) != 0 || ++gPoint.seen != gPoint.n)
        return;
    if (!gPoint.after)
        Die("within");
    gPoint.armed = true;
}

int OnStatementDone(unsigned, void *, void *, void *)
{
    if (gPoint.armed)
        Die("after");
    return 0;
}

} // namespace

bool InstallCrashPoint(const QSqlDatabase &db, const QString &point, QString *error)
{
    const QStringList p = point.split(QLatin1Char(':'));
    bool ok = p.size() == 4;
    if (ok) {
        gPoint.table = p[0].toUtf8();
        const QString op = p[1].toLower();
        gPoint.op = op == QLatin1String("insert") ? SQLITE_INSERT
                    : op == QLatin1String("update") ? SQLITE_UPDATE
                    : op == QLatin1String("delete") ? SQLITE_DELETE
                                                    : 0;
        gPoint.n = p[2].toInt(&ok);
        gPoint.after = p[3] == QLatin1String("after");
        ok = ok && gPoint.op != 0 && gPoint.n > 0 && (gPoint.after || p[3] == QLatin1String("within"));
    }
    if (!ok) {
        *error = QStringLiteral("bad crash point '%1' (TABLE:insert|update|delete:N:within|after)").arg(point);
        return false;
    }
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        *error = QStringLiteral("the connection is not SQLite");
        return false;
    }
    sqlite3 *h = *static_cast<sqlite3 *const *>(handle.constData());
    sqlite3_update_hook(h, &OnWrite, nullptr);
    sqlite3_trace_v2(h, SQLITE_TRACE_PROFILE, &OnStatementDone, nullptr);
    return true;
}

} // namespace crash
