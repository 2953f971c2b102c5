#pragma once
// The database engine layer: SQLite (a file, the default) or a PostgreSQL
// server through Qt SQL, accepting the Jet (Access) statement forms the
// program and the test modules send. One TDbConnection per database; any
// number of TDbQuery objects on it. Every failure is thrown as
// EDatabaseError; callers such as ExecSql turn it into false.
#include "Export.h"

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <vector>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <stdexcept>

class QSqlQuery;

namespace kv::db {

// Why a database file could not be opened (Other for every other error).
enum class TDbFault {
    Other,
    DriverMissing,  // the SQLite driver of Qt SQL is not installed
    Missing,        // no file at the path
    Empty,          // a file of length 0
    Damaged,        // not a database, or the integrity check finds damage
    Locked,         // another connection holds a write lock
    ReadOnly,       // the file cannot be written
    FolderReadOnly, // the journal beside the file cannot be created
    ForeignSchema,  // readable, but not the tables the caller needs
    Unreachable,    // the database server cannot be reached or refuses the login
    Duplicate,      // a statement would store a key that is already stored
};

enum class TDbBackend { SQLite, PostgreSQL };

// Where a PostgreSQL database is. An empty host is the local socket; an
// empty password lets the client library read the user's password file
// (~/.pgpass or PGPASSFILE). Schema: the schema of the program's tables
// (empty: the server's default search path).
struct KVPLATFORM_EXPORT TDbServer {
    QString Host;
    int Port = 5432;
    QString Database;
    QString User;
    QString Password;
    QString Schema;
    // "user@host:port/database" for messages.
    QString Describe() const;
};

class KVPLATFORM_EXPORT EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString &message) : EDatabaseError(TDbFault::Other, message) {}
    EDatabaseError(TDbFault fault, const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message), m_fault(fault) {}
    const QString &message() const { return m_message; }
    TDbFault fault() const { return m_fault; }

private:
    QString m_message;
    TDbFault m_fault;
};

class KVPLATFORM_EXPORT TDbConnection {
public:
    TDbConnection();
    ~TDbConnection();
    TDbConnection(const TDbConnection &) = delete;
    TDbConnection &operator=(const TDbConnection &) = delete;

    // Creates a new, empty database file (for set-up and tests); throws when
    // the file already exists or cannot be written.
    static void createDatabase(const QString &filePath);

    // Checks the opened file before anything is written to it; throws
    // EDatabaseError (usually TDbFault::ForeignSchema) to refuse it.
    using TVerify = std::function<void(TDbConnection &)>;

    // Opens an existing database file. Before the first write it checks, in
    // this order: the driver, the file (present, not empty), the integrity
    // of every page (quick check), verify, and a write that is rolled back
    // (locks, read-only file or folder); each refusal throws EDatabaseError
    // with its TDbFault and leaves the file as it was. Then turns on foreign
    // keys, the write-ahead journal and full synchronous commits, so every
    // committed write is on disk when the call returns.
    void open(const QString &filePath, const TVerify &verify = {});
    // Opens a database on a PostgreSQL server (its citext extension is
    // created when missing), then runs verify. Throws EDatabaseError:
    // DriverMissing without Qt's PostgreSQL driver, Unreachable when the
    // server cannot be reached or refuses the login.
    void openServer(const TDbServer &server, const TVerify &verify = {});
    void close();
    bool connected() const;
    // The database file, or the server's description.
    QString filePath() const { return m_path; }
    TDbBackend backend() const { return m_backend; }

    // Names of the user tables, as created, sorted without regard to case.
    QStringList tableNames() const;
    bool tableExists(const QString &name) const; // case-insensitive
    // Columns of a table in their order, as created; empty when no such table.
    QStringList columnNames(const QString &table) const;
    // The table's name as created; empty when no such table.
    QString tableName(const QString &name) const;
    // The columns of the table's primary key in key order; empty without one.
    QStringList primaryKeyColumns(const QString &table) const;
    // Every foreign key that refers to table, ordered by the referring
    // table's name: its columns and the columns of table they refer to (an
    // empty text where the key names no column: the primary key is meant).
    struct TForeignKey {
        QString Table;
        QStringList Columns;
        QStringList RefColumns;
    };
    std::vector<TForeignKey> foreignKeysTo(const QString &table) const;

    // Translates one Jet statement and executes it as a command; returns
    // the number of rows changed. Throws EDatabaseError.
    int execute(const QString &jetSql);

    QSqlDatabase database() const;
    QString connectionName() const { return m_name; }

private:
    QString m_name;
    QString m_path;
    TDbBackend m_backend = TDbBackend::SQLite;
};

class TDbQuery;

// One column of the current row of an open result set.
class KVPLATFORM_EXPORT TDbField {
public:
    TDbField() = default;
    TDbField(const TDbQuery *q, int column) : m_query(q), m_column(column) {}

    QString fieldName() const;
    QVariant value() const;
    bool isNull() const;
    // Text that holds a number converts ('.' as decimal point); a null or
    // empty text reads as 0 / "" / invalid date; other text throws.
    // asInteger rounds a fraction to the nearest integer.
    qint64 asInteger() const;
    double asFloat() const;
    QString asString() const;
    QDateTime asDateTime() const;

private:
    const TDbQuery *m_query = nullptr;
    int m_column = -1;
};

// A query object on a connection: set its text, then open it (statements
// returning rows; the result set is held in memory, current row the first)
// or execute it. Row editing works on results of a single table.
class KVPLATFORM_EXPORT TDbQuery : public QObject {
    Q_OBJECT
public:
    explicit TDbQuery(TDbConnection &connection, QObject *parent = nullptr);
    ~TDbQuery() override;

    TDbConnection &connection() const { return *m_conn; }

    // Statement text, like a list of lines joined by line breaks.
    void setSql(const QString &text);
    void clearSql() { setSql(QString()); }
    void addSql(const QString &line);
    QString sql() const { return m_sql; }

    // Runs the text and keeps its rows. Throws EDatabaseError.
    void open();
    // With fetch on demand, open() reads only a first batch of rows and keeps
    // the statement open; recordCount() is the rows read so far, and grids
    // read more as they scroll (fetchMore). Moving to a row not read yet reads
    // up to it. Call fetchAll() before writing through the same connection.
    void setFetchOnDemand(bool on, int batch = 256);
    bool canFetchMore() const;
    // Reads the next batch (false when nothing was left).
    bool fetchMore();
    void fetchAll();
    // Runs the text as a command; returns rows changed. Throws.
    int execSql();
    void close();
    bool active() const { return m_active; }

    // Result set navigation.
    int recordCount() const { return m_rows.size(); }
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    int recNo() const { return m_row; } // 0-based; -1 when empty
    void moveTo(int row);

    // Columns in select order, under their alias names (the grid titles);
    // a computed column without alias is named Expr1000 + its position
    int fieldCount() const { return m_columns.size(); }
    QStringList fieldNames() const { return m_columns; }
    // Case-insensitive look-up; throws EDatabaseError for an unknown name.
    TDbField fieldByName(const QString &name) const;
    int fieldIndex(const QString &name) const; // -1 when unknown
    QVariant valueAt(int row, int column) const;

    // Row editing on a single-table result set: edit() the current row or
    // append() a new one, set values, post() writes it. Throws when the
    // result does not come from exactly one table.
    void edit();
    void append();
    void setFieldValue(const QString &name, const QVariant &value);
    void post();
    void cancel();
    bool editing() const { return m_state != State::Browse; }
    // Deletes the current row from its table.
    void deleteRow();

signals:
    // The result set was opened, closed or changed (grids follow this).
    void dataChanged();
    void currentRowChanged(int row);
    // Rows first..last are about to be appended by a fetch, and were.
    void rowsAboutToBeFetched(int first, int last);
    void rowsFetched();

private:
    friend class TDbField;
    enum class State { Browse, Edit, Insert };

    QVariant currentValue(int column) const;
    void requireEditable() const;
    QString keyGuard(QVariantList &values) const;
    void checkBrowseMode();
    void setCurrent(int row);
    QVector<QVariant> fetchRow(const QVariant &rowid);
    // Reads up to count more rows from the open statement.
    bool readRows(int count);

    TDbConnection *m_conn;
    QString m_sql;
    bool m_active = false;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
    QVector<QVariant> m_rowIds; // row address of each row for single-table results
    QString m_table;            // the single source table, empty otherwise
    QStringList m_baseColumns;  // source column of each field, empty = computed
    QString m_refreshSql;       // reads one row of m_table back by rowid
    int m_row = -1;
    bool m_eof = true;
    bool m_bof = true;
    State m_state = State::Browse;
    QVector<QVariant> m_editBuffer;
    QVector<bool> m_editTouched;
    bool m_onDemand = false;
    int m_batch = 256;
    int m_cols = 0;
    bool m_withRowId = false;
    std::unique_ptr<QSqlQuery> m_cursor; // open while rows are left to fetch
};

// Rewrites one Jet statement into the engine's dialect (exposed for tests).
// Throws EDatabaseError for a statement it cannot carry over.
KVPLATFORM_EXPORT QString TranslateJetSql(const QString &jetSql, TDbBackend backend = TDbBackend::SQLite);

} // namespace kv::db
