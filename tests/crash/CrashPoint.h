#pragma once
// A kill point inside the database: the process raises SIGKILL on itself
// within, or right after, the n-th write of one kind to one table, so a test
// can cut the program at a moment no timer would hit.
#include <QSqlDatabase>
#include <QString>

namespace crash {

// point: "TABLE:insert|update|delete:N:within|after". "within" kills while
// the row is written (the statement is not committed), "after" as soon as
// the statement that wrote it is done. False with *error for a bad point or a
// connection that is not SQLite.
bool InstallCrashPoint(const QSqlDatabase &db, const QString &point, QString *error);

} // namespace crash
