#pragma once
// A private database with the program's tables and the tables of four test
// modules, all created through the Jet statements the program itself sends:
// a SQLite file in a temporary folder, or a schema of its own on the test
// PostgreSQL server (skipped when none can run). Every test runs on both.
#include "db/DbEngine.h"

#include <QTemporaryDir>
#include <QVector>
#include <gtest/gtest.h>
#include <memory>

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace kvtest {

class EngineTest : public ::testing::TestWithParam<kv::db::TDbBackend> {
protected:
    bool pg() const { return GetParam() == kv::db::TDbBackend::PostgreSQL; }
    void SetUp() override;
    void TearDown() override;

    // Runs one statement as a command; rows changed.
    int exec(const QString &jet);
    // Opens a query and returns every row as the texts of its fields.
    QVector<QStringList> rows(const QString &jet);
    // The first field of the first row as text.
    QString scalar(const QString &jet);
    int count(const QString &table, const QString &where = QString());

    // Creates the four tables of a test module as the module does:
    // group, specimen (with the cascade), parameter, caption (with the cascade).
    void createModuleTables(const QString &word, const QString &specimenTable, const QString &specimenColumns,
                            const QString &groupExtra, const QString &paramColumns);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<kv::db::TDbConnection> m_conn;
};

// Test names end in /SQLite or /PostgreSQL.
std::string BackendName(const ::testing::TestParamInfo<kv::db::TDbBackend> &info);

} // namespace kvtest
