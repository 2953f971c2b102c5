#pragma once
// Inner interface of the Jet dialect: the tokenizer and the statement plan
// that the engine executes. Not part of the public platform headers.
#include <QString>
#include <QStringList>
#include <QVector>

namespace kv::db::detail {

enum class TTokKind {
    Word,    // keyword or bare identifier, original spelling
    Ident,   // quoted identifier ([x], `x`, or "x" in stored SQLite text)
    String,  // text literal, value without quotes
    Number,
    Op,      // punctuation and operators
    Group    // ( ... ), contents in kids
};

struct TTok {
    TTokKind kind = TTokKind::Op;
    QString text;
    QVector<TTok> kids;
    bool keepCase = false; // a result column name: PostgreSQL keeps it as written
    int pos = 0; // offset of the first character in the source text
    int end = 0; // offset after the last character (after ')' for a group)
};

// Splits statement text into a token tree (parentheses become groups).
// sqliteText: "..." is an identifier and #...# is not a date (stored schema
// text); otherwise Jet rules apply. Throws EDatabaseError on bad input.
QVector<TTok> Tokenize(const QString &text, bool sqliteText = false);

// The engine a statement is rendered for. Planning sets it for the thread
// while it runs; Render and QuoteIdent follow it.
enum class TTarget { SQLite, PostgreSQL };
TTarget CurrentTarget();

// Renders tokens as text of the current target (SQLite outside planning).
QString Render(const QVector<TTok> &toks);
QString QuoteIdent(const QString &name);
// A name for PostgreSQL, which folds unquoted names to lower case.
QString PgIdent(const QString &name, bool keepCase = false);

// Name of the hidden column that carries the rowid of single-table results.
inline QString HiddenRowidName() { return QStringLiteral("kv__rowid"); }

struct TSelectItem {
    bool star = false;
    QString column; // source column of a plain column item, else empty
};

struct TJetPlan {
    enum class Kind { Query, Command, AddConstraint, DropConstraint };
    Kind kind = Kind::Command;
    QString sql;          // the statement in SQLite text

    // Row-returning statements on exactly one table (editable results).
    QString table;        // the source table, unquoted; empty if none
    QString rowidSql;     // sql with the hidden rowid column last
    QString refreshSql;   // one row by rowid (one bound parameter)
    QVector<TSelectItem> items;

    // ALTER TABLE ... ADD CONSTRAINT / DROP CONSTRAINT (table rebuild).
    QString alterTable;
    QString constraintName;
    QString constraintSql; // CONSTRAINT [c] FOREIGN KEY (...) REFERENCES ...
    QString referencedTable;

    // PostgreSQL: a table created with a counter column (its values follow
    // explicitly inserted numbers, as Jet's counter does).
    QString counterTable;
    QString counterColumn;
};

TJetPlan PlanJetSql(const QString &jetSql, TTarget target = TTarget::SQLite);

} // namespace kv::db::detail
