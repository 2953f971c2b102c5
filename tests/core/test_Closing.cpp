// Closing the main window: the refusals, the exit question, the closing
// commands, the stored test index, and the order of destruction.
#include "CoreTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

using coretest::TWindowRig;
using kvtest::Child;

namespace {

void AddTests(TWindowRig &rig, int count, int checked)
{
    rig.Steps.BuildTestMenu = [count, checked](kv::TfrmMeasure &w, int) {
        for (int i = 0; i < count; ++i) {
            QAction *a = Child<QMenu>(w, "pmTestList")->addAction(QStringLiteral("Test %1").arg(i));
            a->setCheckable(true);
            a->setChecked(i == checked);
        }
    };
}

QString StoredString(int no)
{
    QString text;
    EXPECT_TRUE(kv::ZovData()->ReadStr(no, text));
    return text;
}

} // namespace

TEST(MainWindowClose, RefusedWhileATestRuns)
{
    TWindowRig rig;
    rig.QuitAnswer = true;
    auto w = rig.Create();
    w->show();
    w->Run().State().Running = true; // a specimen under way
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("正在检测中，请先结束后退出"));
    EXPECT_EQ(rig.Messages.messages().last().icon, kv::TMsgIcon::Warning);
    EXPECT_EQ(rig.AskQuitCalls, 0);
    w->Run().State().Running = false;
}

TEST(MainWindowClose, RefusedWhileAGroupIsOpen)
{
    TWindowRig rig;
    rig.QuitAnswer = true;
    auto w = rig.Create();
    w->show();
    w->Run().State().GroupActive = true;
    EXPECT_FALSE(w->FormCloseQuery());
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("一组试验没有完成，请先结束一组试验。"));
    EXPECT_EQ(rig.AskQuitCalls, 0);
    EXPECT_FALSE(w->isMinimized());
}

TEST(MainWindowClose, CancelAtTheExitQuestionKeepsTheWindow)
{
    TWindowRig rig;
    rig.UseDriver(true);
    rig.QuitAnswer = false;
    AddTests(rig, 3, 1);
    rig.Sql(QStringLiteral("Update SavString set StrCont = '0' where StrNo = 101"));
    auto w = rig.Create();
    w->show();
    rig.DriverLog.clear();
    EXPECT_FALSE(w->close());
    EXPECT_EQ(rig.AskQuitCalls, 1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->StatusTimerActive());
    EXPECT_TRUE(rig.DriverLog.isEmpty()); // no closing command sent
    EXPECT_EQ(StoredString(101), QStringLiteral("0"));
}

TEST(MainWindowClose, ClosingStopsTheBoxAndStoresTheCheckedTest)
{
    TWindowRig rig;
    rig.UseDriver(true);
    rig.QuitAnswer = true;
    AddTests(rig, 3, -1);
    auto w = rig.Create();
    w->show();
    Child<QMenu>(*w, "pmTestList")->actions()[2]->setChecked(true);
    w->GlbParam()->Settings.SpeedDisplayMode = 7; // saved at exit
    rig.DriverLog.clear();
    const qint64 sleptBefore = rig.Clock.totalSlept();

    EXPECT_TRUE(w->close());
    EXPECT_TRUE(w->isMinimized());
    EXPECT_FALSE(w->StatusTimerActive());
    EXPECT_EQ(rig.DriverLog, (QStringList{QStringLiteral("SetADState(2)"), QStringLiteral("SetControlMode(4)"),
                                          QStringLiteral("SaveRunState")}));
    EXPECT_EQ(rig.Clock.totalSlept() - sleptBefore, 60);
    EXPECT_EQ(w->Run().SamplingTimer(), nullptr) << "no sampling timer outlives the close";
    EXPECT_EQ(StoredString(101), QStringLiteral("2"));
    quint8 mode = 0;
    ASSERT_TRUE(kv::ZovData()->ReadNumByte(104, mode));
    EXPECT_EQ(mode, 7);
}

TEST(MainWindowClose, OfflineClosingStillSendsTheCommandsAndStoresTheIndex)
{
    TWindowRig rig;
    rig.UseDriver(false);
    rig.QuitAnswer = true;
    AddTests(rig, 2, 1);
    auto w = rig.Create();
    rig.LastDriver->CommSettingsAnswers = {false};
    w->show();
    ASSERT_EQ(w->PanelText(2), QStringLiteral("系统状态：脱机工作"));
    rig.DriverLog.clear();
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(rig.DriverLog.contains(QStringLiteral("SetADState(2)")));
    EXPECT_TRUE(rig.DriverLog.contains(QStringLiteral("SetControlMode(4)")));
    EXPECT_EQ(StoredString(101), QStringLiteral("1"));
}

TEST(MainWindowClose, NoCheckedTestStoresIndexZeroAndAMissingRowIsAdded)
{
    TWindowRig rig;
    rig.QuitAnswer = true;
    rig.Sql(QStringLiteral("Update SavString set StrCont = '5' where StrNo = 101"));
    auto w = rig.Create();
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(StoredString(101), QStringLiteral("0"));

    TWindowRig rig2;
    rig2.QuitAnswer = true;
    AddTests(rig2, 2, 1);
    rig2.Sql(QStringLiteral("Delete from SavString where StrNo = 101"));
    auto w2 = rig2.Create();
    w2->show();
    EXPECT_TRUE(w2->close());
    EXPECT_EQ(StoredString(101), QStringLiteral("1"));
}

TEST(MainWindowClose, FlexureSideStoresItsIndexInItsOwnRow)
{
    TWindowRig rig;
    rig.QuitAnswer = true;
    AddTests(rig, 3, 2);
    rig.Sql(QStringLiteral("Update SavString set StrCont = '5' where StrNo = 103"));
    rig.Sql(QStringLiteral("Update SavString set StrCont = '1' where StrNo = 101"));
    auto w = rig.Create();
    w->show();
    Child<QMenu>(*w, "pmTestList")->actions()[2]->setChecked(true);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(StoredString(102), QStringLiteral("2"));
    EXPECT_EQ(StoredString(101), QStringLiteral("1"));
}

TEST(MainWindowClose, DestructionFinishesEveryDriverAndReleasesTheData)
{
    TWindowRig rig;
    rig.UseDriver(true);
    auto w = rig.Create();
    w->show();
    ASSERT_NE(kv::ZovData(), nullptr);
    rig.DriverLog.clear();
    w.reset();
    EXPECT_EQ(rig.DriverLog, QStringList{QStringLiteral("Finish")});
    EXPECT_EQ(kv::ZovData(), nullptr);
}

TEST(MainWindowClose, QuitMenuClosesLikeTheExitButton)
{
    TWindowRig rig;
    rig.QuitAnswer = false;
    auto w = rig.Create();
    w->show();
    Child<QAction>(*w, "menuQuit")->trigger();
    EXPECT_EQ(rig.AskQuitCalls, 1);
    w->Run().State().Running = true;
    w->EnableAllButton();
    Child<QAction>(*w, "menuQuit")->setEnabled(true);
    Child<QAction>(*w, "menuQuit")->trigger(); // exit button disabled while running: nothing happens
    EXPECT_EQ(rig.AskQuitCalls, 1);
    EXPECT_TRUE(rig.Messages.messages().isEmpty());
    w->Run().State().Running = false;
}
