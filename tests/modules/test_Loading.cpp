// The four modules as the program loads them: the real libraries from dll/,
// their one test each with name, machine kinds and menu section, and their
// English texts.
#include "CemCompTest.h"
#include "ModuleTestSupport.h"
#include "ParamForm.h"
#include "TestModule.h"

#include <QLabel>
#include <QLibrary>
#include <QTranslator>

using modtest::TDb;
using kvtest::Child;

namespace {

struct TExpected {
    const char *Module;
    const char *Name;
    quint32 Mask;
    quint8 Menu;
    const char *CurveStart;
};

} // namespace

TEST(ModuleLoading, EachLibraryDeliversItsTest)
{
    const TExpected expected[] = {{"CemComp", "水泥胶砂抗压", 1, 2, "CemComp"},
                                  {"CemDuo", "水泥胶砂抗压", 2, 2, "CemDuo"},
                                  {"CemFlex", "水泥胶砂抗折", 4, 2, "CemFlex"},
                                  {"MorCube", "建筑砂浆抗压", 3, 3, "MorCube"}};
    TDb db;
    for (const TExpected &e : expected) {
        QLibrary lib(kvtest::StageDir() + QStringLiteral("/dll/") + QLatin1String(e.Module) + QStringLiteral(".so"));
        ASSERT_TRUE(lib.load()) << lib.errorString().toStdString();
        auto get = reinterpret_cast<kv::TGetBaseTestsProc>(lib.resolve(kv::GetBaseTestsExportName));
        ASSERT_NE(get, nullptr);
        EXPECT_NE(lib.resolve(kv::InitExportName), nullptr);
        EXPECT_EQ(lib.resolve("_ZN2kv2fw14TFrameworkTest8EndGroupEv"), nullptr) << "framework symbols stay hidden";
        kv::TBaseTests tests;
        get(tests);
        ASSERT_EQ(tests.size(), 1u);
        std::unique_ptr<kv::TBaseTest> t(tests[0]);
        EXPECT_EQ(t->TestName(), QString::fromUtf8(e.Name)) << e.Module;
        EXPECT_EQ(t->FMachineMask, e.Mask) << e.Module;
        EXPECT_EQ(t->FMenuGroup, e.Menu) << e.Module;
        t->SetConnection(&db.Conn);
        EXPECT_TRUE(t->InitTables());
        t->FGroupNo = QStringLiteral("9");
        t->FAge = QStringLiteral("28");
        EXPECT_EQ(t->CurveFileName(), QLatin1String(e.CurveStart) + QStringLiteral("928"));
        // The form belongs to the test; a new one replaces the old.
        QWidget *form = t->CreateParamForm(nullptr);
        ASSERT_NE(form, nullptr);
        QPointer<QWidget> first(form);
        t->CreateParamForm(nullptr);
        EXPECT_TRUE(first.isNull());
    }
    // CemDuo and CemComp share their tables.
    EXPECT_TRUE(db.Conn.tableExists(QStringLiteral("CemCompGROne")));
    EXPECT_FALSE(db.Conn.tableExists(QStringLiteral("CemDuoGroup")));
    EXPECT_TRUE(db.Conn.tableExists(QStringLiteral("MorCubeOne")));
}

TEST(ModuleLoading, EnglishTexts)
{
    QTranslator tr;
    ASSERT_TRUE(tr.load(kvtest::StageDir() + QStringLiteral("/dll/CemComp.ENU.qm")));
    QCoreApplication::installTranslator(&tr);
    TDb db;
    kv::cem::TCemCompTest t;
    modtest::Load(t, db.Conn);
    EXPECT_EQ(t.FTestName, "Cement mortar compression");
    kv::fw::TParamForm *f = t.ParamForm();
    QStringList labels;
    for (QLabel *l : f->findChildren<QLabel *>())
        labels << l->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Loading rate (kN/s)")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Group No.")));
    Child<QLineEdit>(*f, "edtGroupNo")->clear();
    QString msg;
    t.BeginGroup(msg);
    EXPECT_EQ(msg, "The group number must not be empty");
    EXPECT_EQ(f->Cell(0, 1), " Force(kN)");
    QString sql;
    t.BuildSearchSQL(0, QStringLiteral("1"), sql, QString());
    EXPECT_TRUE(sql.contains(QStringLiteral("[Group No.]")));
    QCoreApplication::removeTranslator(&tr);
}
