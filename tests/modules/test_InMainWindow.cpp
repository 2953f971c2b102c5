// The real module libraries in the program's main window through the module
// host: listed by machine kind and section, the form in the parameter panel,
// and an unfinished group offered again and continued.
#include "CemCompTest.h"
#include "HostTestSupport.h"
#include "ModuleTestSupport.h"
#include "ParamForm.h"

#include <QDir>
#include <QTableWidget>

using hosttest::THostRig;
using kvtest::Child;

namespace {

// Two of six specimens of group "K'2" stored, then the program ends without
// closing the group.
void UnfinishedGroup(const QString &dbPath)
{
    kv::db::TDbConnection conn;
    conn.open(dbPath);
    kv::cem::TCemCompTest t;
    modtest::Load(t, conn);
    kv::fw::TParamForm *f = t.ParamForm();
    Child<QLineEdit>(*f, "edtGroupNo")->setText(QStringLiteral("K'2"));
    Child<QComboBox>(*f, "cbSize")->setCurrentText(QStringLiteral("40*40"));
    Child<QComboBox>(*f, "cbCount")->setCurrentText(QStringLiteral("6"));
    QString msg;
    t.BeginGroup(msg);
    ASSERT_EQ(msg, "");
    ASSERT_EQ(modtest::RunSpecimen(t, 64000), "");
    ASSERT_EQ(modtest::RunSpecimen(t, 62400), "");
}

} // namespace

TEST(ModulesInMainWindow, ListedByKindAndTheUnfinishedGroupContinues)
{
    THostRig rig(0); // KVD300: kind 1
    rig.Modules({"CemComp", "CemDuo", "CemFlex", "MorCube"});
    UnfinishedGroup(rig.Db.path);
    rig.Messages.queueAnswer(kv::TMsgResult::Yes);
    auto w = rig.Create();
    EXPECT_EQ(hosttest::Captions(Child<QMenu>(*w, "pmTestList")),
              (QStringList{"水泥胶砂抗压", "建筑砂浆抗压"}));
    w->resize(1200, 760);
    w->show();
    kv::TBaseTest *t = w->MyFunction()->CurrentTest();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->FTestName, "水泥胶砂抗压");
    ASSERT_EQ(rig.Messages.messages().size(), 1);
    EXPECT_EQ(rig.Messages.messages()[0].text, "试验编号为K'2的试验上一次并没有完成,是否需要继续试验?");
    EXPECT_EQ(t->FCurrent, 3);
    EXPECT_EQ(t->FGroupSize, 6);
    EXPECT_TRUE(w->Run().GroupActive());
    QWidget *form = w->ParamForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), Child<QWidget>(*w, "PnlParam"));
    auto *grid = form->findChild<QTableWidget *>(QStringLiteral("sgResult"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->item(2, 1)->text(), "62.40");
    EXPECT_EQ(grid->item(2, 2)->text(), "39.0");
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    QCoreApplication::processEvents();
    if (!shots.isEmpty())
        w->grab().save(QDir(shots).filePath(QStringLiteral("MainWindow_CemComp.png")));
    // The curve file of the group lies in the program's OutFile folder.
    EXPECT_EQ(t->CurveFileName(), "CemCompK'228");
}
