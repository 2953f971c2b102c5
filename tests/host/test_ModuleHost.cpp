// Loading the modules of a folder, the test-list menu, and selecting a test.
#include "HostTestSupport.h"

#include "host/TestList.h"
#include "Translation.h"

#include <QLibrary>
#include <QMenu>
#include <QPointer>
#include <QFrame>
#include <QTimer>
#include <QToolButton>

using namespace hosttest;
using kvtest::Child;

namespace {

QStringList ListNames(const kv::TMyFunction &f)
{
    QStringList out;
    for (int i = 0; i < f.TestCount(); ++i)
        out << f.TestName(i);
    return out;
}

QStringList MenuNames(const kv::TMyFunction &f, int mask)
{
    QStringList out;
    for (const kv::TTestMenuEntry &e : kv::TestMenuEntries(f, mask))
        out << e.Caption;
    return out;
}

} // namespace

TEST(ModuleLoading, MaskFilteringNameOrderAndFilesThatAreNoModules)
{
    auto db = kvtest::FreshDatabase();
    kv::TZovData data(db.path);
    QTemporaryDir program;
    const QString dll = program.filePath(QStringLiteral("dll"));
    for (const char *m : {"hm_alpha", "hm_beta", "hm_gamma", "hm_delta", "hm_pair", "hm_noget"})
        PutModule(dll, QLatin1String(m));
    PutFile(dll, QStringLiteral("0_broken") + kv::TestModuleSuffix(), "not a library at all");
    PutFile(dll, QStringLiteral("empty") + kv::TestModuleSuffix(), QByteArray());
    PutFile(dll, QStringLiteral("notes.txt"), "ignored");
    QDir().mkpath(dll + QStringLiteral("/1_folder") + kv::TestModuleSuffix());

    kv::TMyFunction f;
    // Entries in name order: 0_broken 1_folder empty hm_alpha(3) hm_beta(4)
    // hm_delta(5) hm_gamma(6) hm_noget(7) hm_pair(8).
    f.LoadTestModules(dll + QLatin1Char('/'), 2, &data.conZovDb);
    ASSERT_EQ(ListNames(f), (QStringList{"试验甲", "试验丙", "试验戊", "试验己"}));
    const int indexes[] = {3, 6, 8, 8};
    for (int i = 0; i < f.TestCount(); ++i) {
        kv::TBaseTest *t = f.Test(i);
        EXPECT_EQ(t->FModuleIndex, indexes[i]) << i;
        EXPECT_EQ(t->FConnection, &data.conZovDb);
        ASSERT_NE(t->FModuleHandle, nullptr);
        EXPECT_TRUE(t->FModuleHandle->isLoaded());
    }
    EXPECT_TRUE(f.Test(0)->FModuleHandle->fileName().endsWith(QStringLiteral("hm_alpha") + kv::TestModuleSuffix()));
    EXPECT_TRUE(data.conZovDb.tableExists(QStringLiteral("HostGroups"))); // InitTables ran

    // Sections 1, 2, 3; no section, no item; FModuleIndex becomes the position.
    EXPECT_EQ(MenuNames(f, 2), (QStringList{"试验丙", "试验甲", "试验戊"}));
    EXPECT_EQ(f.Test(1)->FModuleIndex, 0);
    EXPECT_EQ(f.Test(0)->FModuleIndex, 1);
    EXPECT_EQ(f.Test(2)->FModuleIndex, 2);

    // Every load makes a new list; other masks list other tests.
    f.SetCurrentIndex(1);
    f.LoadTestModules(dll, 1, &data.conZovDb);
    EXPECT_EQ(f.CurrentTest(), nullptr);
    EXPECT_EQ(ListNames(f), (QStringList{"试验丁", "试验戊", "试验己"}));
    EXPECT_EQ(MenuNames(f, 1), (QStringList{"试验丁", "试验戊"}));
    f.LoadTestModules(dll, 4, &data.conZovDb);
    EXPECT_EQ(ListNames(f), (QStringList{"试验乙", "试验丙", "试验己"}));
    EXPECT_EQ(MenuNames(f, 4), (QStringList{"试验乙", "试验丙"}));
}

TEST(ModuleLoading, MenuOrderDoesNotFollowTheFileOrder)
{
    auto db = kvtest::FreshDatabase();
    kv::TZovData data(db.path);
    const QString sfx = kv::TestModuleSuffix();
    // The section-1 tests in the first file, then in the last file.
    for (const auto &[first, last] : {std::pair{"hm_gamma", "hm_alpha"}, std::pair{"hm_alpha", "hm_gamma"}}) {
        QTemporaryDir program;
        PutModule(program.path(), QLatin1String(first), QStringLiteral("a") + sfx);
        PutModule(program.path(), QStringLiteral("hm_pair"), QStringLiteral("m") + sfx);
        PutModule(program.path(), QLatin1String(last), QStringLiteral("z") + sfx);
        kv::TMyFunction f;
        f.LoadTestModules(program.path(), 2, &data.conZovDb);
        EXPECT_EQ(f.TestCount(), 4);
        EXPECT_EQ(MenuNames(f, 2), (QStringList{"试验丙", "试验甲", "试验戊"}));
    }
}

TEST(ModuleLoading, EnglishTextsFromTheTranslationBesideTheModule)
{
    auto db = kvtest::FreshDatabase();
    kv::TZovData data(db.path);
    QTemporaryDir program;
    const QString sfx = kv::TestModuleSuffix();
    PutModule(program.path(), QStringLiteral("hm_alpha"), QStringLiteral("english") + sfx);
    ASSERT_TRUE(QFile::copy(BuiltModule(QStringLiteral("hm_alpha.ENU.qm")), program.filePath(QStringLiteral("english.ENU.qm"))));
    PutModule(program.path(), QStringLiteral("hm_gamma"), QStringLiteral("plain") + sfx); // no file beside it

    kv::SetLanguageEnvironment(true);
    kv::TMyFunction f;
    f.LoadTestModules(program.path(), 2, &data.conZovDb);
    kv::SetLanguageEnvironment(false);
    ASSERT_EQ(ListNames(f), (QStringList{"Test A", "试验丙"}));

    // DeInit takes the module's texts away again.
    auto deinit = reinterpret_cast<kv::TDeInitProc>(f.Test(0)->FModuleHandle->resolve("DeInit"));
    ASSERT_NE(deinit, nullptr);
    deinit();
    EXPECT_EQ(f.Test(0)->TestName(), QStringLiteral("试验甲"));
}

// ---------------------------------------------------------------------------
// Selection in the main window

TEST(TestSelection, MenuFormCaptionUnitsAndTheRememberedIndex)
{
    THostRig rig(1);
    rig.Modules({"hm_alpha", "hm_gamma", "hm_pair"});
    rig.Sql(QStringLiteral("Update SavString set StrCont = '1' where StrNo = 101"));
    rig.Sql(QStringLiteral("Update Unit set [Round] = 3 where Name = 'kN'"));
    auto w = rig.Create();
    EXPECT_EQ(Captions(Child<QMenu>(*w, "pmTestList")), (QStringList{"试验丙", "试验甲", "试验戊"}));
    w->show(); // selects the remembered test

    kv::TMyFunction *f = w->MyFunction();
    kv::TBaseTest *alpha = f->CurrentTest();
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->FTestName, QStringLiteral("试验甲"));
    EXPECT_EQ(w->CheckedTestIndex(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("KalvioV6.1 - [ 300kN ]"));
    EXPECT_EQ(alpha->FGroupData.FOperator, QStringLiteral("Admin"));
    EXPECT_TRUE(alpha->FGroupData.FTestDate.isValid());
    EXPECT_EQ(w->FLoadFormat, QStringLiteral("0.001")); // kN row, Round 3
    EXPECT_EQ(w->FForceAxisMax, 150.0f);
    QPointer<QWidget> alphaForm = w->ParamForm();
    ASSERT_FALSE(alphaForm.isNull());
    EXPECT_EQ(alphaForm->parentWidget(), Child<QWidget>(*w, "PnlParam"));
    EXPECT_FALSE(alphaForm->isHidden());
    EXPECT_TRUE(w->StatusTimerActive());

    // Another item: the previous form leaves the panel, the new index is kept.
    Child<QMenu>(*w, "pmTestList")->actions()[0]->trigger();
    EXPECT_EQ(f->CurrentTest()->FTestName, QStringLiteral("试验丙"));
    EXPECT_FALSE(Child<QMenu>(*w, "pmTestList")->actions()[1]->isChecked());
    ASSERT_FALSE(alphaForm.isNull()); // its test still owns it
    EXPECT_TRUE(alphaForm->isHidden());
    EXPECT_EQ(w->ParamForm()->parentWidget(), Child<QWidget>(*w, "PnlParam"));
    EXPECT_EQ(rig.Saved(101), QStringLiteral("0"));

}

TEST(TestSelection, RememberedIndexBeyondTheMenuSelectsTheFirstTest)
{
    THostRig rig(1);
    rig.Modules({"hm_alpha", "hm_gamma", "hm_pair"});
    rig.Sql(QStringLiteral("Update SavString set StrCont = '3' where StrNo = 101")); // 3 items
    auto w = rig.Create();
    w->show();
    EXPECT_EQ(w->CheckedTestIndex(), 0);
    EXPECT_EQ(w->MyFunction()->CurrentIndex(), 1); // 试验丙, listed second
    EXPECT_EQ(rig.Saved(101), QStringLiteral("0"));
}

TEST(TestSelection, UnfinishedGroupIsContinuedOrClosed)
{
    for (const bool resume : {true, false}) {
        SCOPED_TRACE(resume);
        THostRig rig(1);
        rig.Modules({"hm_alpha"});
        rig.Sql(QStringLiteral("Create Table HostGroups (zuhao text, expobj text, state integer)"));
        rig.Sql(QStringLiteral("insert into HostGroups values ('G''7', '试验甲', 2)"));
        auto w = rig.Create();
        w->show();
        ASSERT_TRUE(rig.Messages.messages().isEmpty()); // no group number yet

        kv::TBaseTest *t = w->MyFunction()->Test(0);
        t->FGroupNo = QStringLiteral("G'7");
        rig.Messages.queueAnswer(resume ? kv::TMsgResult::Yes : kv::TMsgResult::No);
        Child<QMenu>(*w, "pmTestList")->actions()[0]->trigger();
        ASSERT_EQ(rig.Messages.messages().size(), 1);
        const kv::TMsgRequest &q = rig.Messages.messages()[0];
        EXPECT_EQ(q.text, QStringLiteral("试验编号为G'7的试验上一次并没有完成,是否需要继续试验?"));
        EXPECT_EQ(q.icon, kv::TMsgIcon::Warning);
        EXPECT_EQ(q.buttons, kv::TMsgButtons::YesNo);
        EXPECT_EQ(t->CheckGroupState(), resume ? 3 : 1);
        EXPECT_EQ(w->Run().GroupActive(), resume);
        EXPECT_FALSE(w->Run().Running());
        EXPECT_EQ(t->FCurrent, resume ? 3 : 1);
        // An open group locks the test menu and the side buttons.
        EXPECT_EQ(Child<QToolButton>(*w, "tbTest")->isEnabled(), !resume);
    }
}
