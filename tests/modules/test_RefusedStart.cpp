// A group start the program refuses leaves nothing behind in the module's
// tables: CemComp in the main window, started with Run.
#include "HostTestSupport.h"
#include "ModuleTestSupport.h"
#include "SqlText.h"

#include <QLineEdit>

using hosttest::THostRig;
using kvtest::Child;

namespace {

// Rows of the group number in every table of the CemComp module.
int RowsOf(const QString &groupNo)
{
    kv::TZovData *data = kv::ZovData();
    int rows = 0;
    for (const QString &table : data->conZovDb.tableNames())
        if (table.startsWith(QLatin1String("CemComp"), Qt::CaseInsensitive)) {
            const auto q = data->Open(QStringLiteral("select count(*) from ") + table +
                                      QStringLiteral(" where ZuHao = ") + kv::QuotedStr(groupNo));
            EXPECT_NE(q, nullptr) << table.toStdString();
            rows += q ? int(q->valueAt(0, 0).toInt()) : 0;
        }
    return rows;
}

QString StoredParamGroup()
{
    const auto q = kv::ZovData()->Open(QStringLiteral("select ZuHao from CemCompPARAM"));
    return q && q->recordCount() == 1 ? q->valueAt(0, 0).toString() : QStringLiteral("<none or several>");
}

} // namespace

TEST(RefusedGroupStart, NoRowOfTheGroupInAnyTableOfTheModule)
{
    THostRig rig(0); // KVD300: CemComp is listed
    rig.Modules({"CemComp"});
    auto w = rig.Create();
    w->show();
    kv::TBaseTest *t = w->MyFunction()->CurrentTest();
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->FTestName, "水泥胶砂抗压");
    auto *groupNo = Child<QLineEdit>(*w->ParamForm(), "edtGroupNo");
    const QString before = StoredParamGroup();

    // A character a file name may not hold (the group's curve file).
    for (const char *refused : {"A\\1", "B/2", "C:3"}) {
        SCOPED_TRACE(refused);
        rig.Messages.clear();
        groupNo->setText(QString::fromUtf8(refused));
        EXPECT_FALSE(w->Run().StartRun());
        ASSERT_EQ(rig.Messages.messages().size(), 1);
        EXPECT_EQ(rig.Messages.lastText(), "组号中不能包括'/', '\\', '*', ':', '?', '\"', '<', '>', '|'字符");
        EXPECT_EQ(rig.Messages.messages()[0].icon, kv::TMsgIcon::Information);
        EXPECT_EQ(RowsOf(QString::fromUtf8(refused)), 0);
        EXPECT_EQ(StoredParamGroup(), before);
        EXPECT_TRUE(groupNo->isEnabled()); // the form is open for a new number
        EXPECT_FALSE(w->Run().GroupActive());
    }

    // A group number that is stored already: refused, the last parameters stay.
    rig.Sql(QStringLiteral("insert into CemCompGroup (ZuHao, LingQi, GroNum, SelectGroNum) values ('K1', '28', 6, 6)"));
    rig.Messages.clear();
    groupNo->setText(QStringLiteral("K1"));
    EXPECT_FALSE(w->Run().StartRun());
    EXPECT_EQ(rig.Messages.lastText(), "当前编号的试样已经在数据库中存在，请填写新的编号");
    EXPECT_EQ(StoredParamGroup(), before);
}
