#pragma once
// A throw-away PostgreSQL cluster for the tests: initdb and pg_ctl of the
// distribution's server package, in a temporary folder, reachable only on a
// socket in that folder. The server refuses to run as root, so under root it
// runs as the "postgres" user the package creates. Started on first use,
// stopped when the test program ends. KV_PGHOST (with KV_PGPORT, KV_PGUSER,
// KV_PGDATABASE) names a running server to use instead.
#include "db/DbEngine.h"

#include <QString>

namespace kvtest {

class TPgCluster {
public:
    // The one cluster of this test program (started on the first call).
    static TPgCluster &Instance();

    bool Available() const { return m_ready; }
    // Why there is no server (for GTEST_SKIP).
    QString WhyNot() const { return m_whyNot; }

    // The test database with a schema of its own (a new, empty one for each
    // distinct name), so tests never see each other's tables.
    kv::db::TDbServer Server(const QString &schema) const;
    // A schema name no other call of this program returned.
    static QString NewSchemaName();

    ~TPgCluster();

private:
    TPgCluster();
    void Start();

    bool m_ready = false;
    QString m_whyNot;
    QString m_dir;     // the temporary folder (removed at the end)
    QString m_binDir;  // initdb, pg_ctl
    QString m_runAs;   // "postgres" under root
    kv::db::TDbServer m_base;
};

} // namespace kvtest

// Skips the calling test with a clear line when no PostgreSQL server can run.
#define KV_REQUIRE_PG()                                                                              \
    do {                                                                                             \
        if (!::kvtest::TPgCluster::Instance().Available())                                           \
            GTEST_SKIP() << "PostgreSQL: " << ::kvtest::TPgCluster::Instance().WhyNot().toStdString(); \
    } while (0)
