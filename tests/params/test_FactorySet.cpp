// The installed database carries the factory parameter set of every model,
// the same values the simulated box comes with.
//
// The rows in db/schema.sql are generated from the item tables and the
// simulator's factory set: when this test fails it prints the block to put
// there (and writes it to the file named by KV_FACTORY_ROWS_OUT when set).
#include "FactoryParams.h"
#include "link/ParamSet.h"
#include "store/DataModule.h"

#include "TestSupport.h"

#include <QFile>
#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>

#include <iterator>

using kv::TBaseParams;

namespace {

struct TFamilyRows {
    int family;
    const kvdsim::TFactoryParam *rows;
    size_t count;
};

const TFamilyRows kFamilies[] = {
    {300, kvdsim::kFactory300, std::size(kvdsim::kFactory300)},
    {510, kvdsim::kFactory510, std::size(kvdsim::kFactory510)},
    {520, kvdsim::kFactory520, std::size(kvdsim::kFactory520)},
};

const TFamilyRows &FamilyRows(kv::TBoxFamily f)
{
    for (const TFamilyRows &r : kFamilies)
        if (r.family == int(f))
            return r;
    return kFamilies[0];
}

// The schema block: one value list per family, joined with the models.
QString GenerateRows()
{
    QStringList items;
    for (const TFamilyRows &f : kFamilies) {
        items << QStringLiteral("        (%1, 0, 'IsInit', '1')").arg(f.family);
        // Table order and names come from the item table; values from the box.
        const auto &table = kv::ParamTable(kv::TBoxFamily(f.family));
        int pos = 0;
        for (const kv::TParamDef &d : table) {
            long value = 0;
            for (size_t k = 0; k < f.count; ++k)
                if (f.rows[k].stored && QLatin1String(f.rows[k].name) == QLatin1String(d.Name))
                    value = f.rows[k].value;
            items << QStringLiteral("        (%1, %2, '%3', '%4')").arg(f.family).arg(++pos).arg(d.Name).arg(value);
        }
    }
    return QStringLiteral(
               "-- The factory parameter set of every controller model: the values a new\n"
               "-- box holds, so a fresh installation and a fresh box agree item by item.\n"
               "-- Each family stores its items under its own names; \"IsInit\" marks the\n"
               "-- model as set up, so its first start keeps these values.\n"
               "WITH\n"
               "    model(m, family, pos) AS (VALUES ('KVD300', 300, 1), ('KVD510', 510, 2), ('KVD520', 520, 3),\n"
               "                                     ('KVD300_DJ', 300, 4), ('KVD510_DJ', 510, 5), ('KVD520_DJ', 520, 6)),\n"
               "    item(family, pos, name, value) AS (VALUES\n")
           + items.join(QStringLiteral(",\n"))
           + QStringLiteral(
               ")\n"
               "INSERT INTO CtrlBoxSaveItems (CtrlBox, Name, Value)\n"
               "    SELECT m, name, value FROM model JOIN item USING (family)\n"
               "    ORDER BY model.pos, item.pos;\n");
}

} // namespace

TEST(FactorySet, InstalledDatabaseLoadsTheFactoryValuesOfEveryModel)
{
    const QString out = qEnvironmentVariable("KV_FACTORY_ROWS_OUT");
    if (!out.isEmpty()) {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(GenerateRows().toUtf8());
    }

    kvtest::TFreshDb fresh = kvtest::FreshDatabase();
    kv::TZovData zov(fresh.path);
    bool allEqual = true;
    for (int type = 0; type < kv::BoxModelCount; ++type) {
        auto box = kv::CreateCtrlBox(type);
        TBaseParams params(*box, &zov.conZovDb);
        SCOPED_TRACE(params.Key().toStdString());
        params.LoadParams();

        const TFamilyRows &f = FamilyRows(box->Model().Family.Family);
        int stored = 0;
        for (size_t k = 0; k < f.count; ++k) {
            const kvdsim::TFactoryParam &p = f.rows[k];
            if (!p.stored)
                continue;
            ++stored;
            const int i = params.IndexOf(QString::fromLatin1(p.name));
            ASSERT_GE(i, 0) << p.name;
            if (params.Value(i) != p.value) {
                allEqual = false;
                ADD_FAILURE() << p.name << " = " << params.Value(i) << ", factory " << p.value;
            }
        }
        EXPECT_EQ(stored, params.Count());

        // One row per item and the mark, nothing added by the first start.
        QSqlQuery q(zov.conZovDb.database());
        ASSERT_TRUE(q.exec(QStringLiteral("select count(*) from CtrlBoxSaveItems where CtrlBox = '%1'")
                               .arg(params.Key())));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), params.Count() + 1);
    }
    if (!allEqual)
        ADD_FAILURE() << "rows for db/schema.sql:\n" << GenerateRows().toStdString();
}
