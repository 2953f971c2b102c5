#pragma once
// Database writes of a module. A failed write throws EModuleWrite with the
// source file and line of the statement; the operation that ran it catches
// it, reports it through the message service and ends, the program goes on.
#include <QString>
#include <stdexcept>

namespace kv::db {
class TDbConnection;
}

namespace kv::fw {

class EModuleWrite : public std::runtime_error {
public:
    EModuleWrite(const QString &file, int line, const QString &message);
    QString File;    // file name of the source unit
    int Line;
    QString Message; // the engine's message with the statement
    bool Duplicate = false; // the statement would store a key already stored
    // "数据库操作出错（单元 %1，第 %2 行）：" + message
    QString Text() const;
};

// Executes one statement; throws EModuleWrite naming file and line on any
// failure (also when requireRows > 0 and fewer rows changed).
int ModuleExec(db::TDbConnection *connection, const QString &sql, const char *file, int line, int requireRows = 0);

// Shows the error (error icon) through the message service.
void ReportModuleError(const EModuleWrite &error);

} // namespace kv::fw

#define KV_MODULE_EXEC(conn, sql) ::kv::fw::ModuleExec((conn), (sql), __FILE__, __LINE__)
#define KV_MODULE_EXEC_ROWS(conn, sql, rows) ::kv::fw::ModuleExec((conn), (sql), __FILE__, __LINE__, (rows))
