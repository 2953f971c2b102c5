// The force-code table's download on the simulated box over a
// pseudo-terminal, in real time: the table lands in the box's words of each
// side, the driver and the database, and the two sides compare equal; a
// cable pulled half way leaves the database and the program on the old
// table with the box counted as differing; a box that is silent for a moment
// during the read-back gets the old table back, so every side keeps it. In
// the running program 力码设定 opens the editor in its direct mode and its
// table reaches the box; 力值检定 opens the verification window the same way.
#include "SimProcess.h"
#include "../run/SimRunRig.h"

#include "ui/verify/CheckWindow.h"
#include "ui/verify/PointGrid.h"
#include "ui/verify/SetportDialog.h"
#include "verify/CodeDownload.h"
#include "link/CtrlBox.h"
#include "link/ParamSet.h"
#include "store/BoxSaveItems.h"
#include "store/DataModule.h"

#include "Clock.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTimer>

#include <gtest/gtest.h>

using linktest::TPortFolder;
using linktest::TSim;
using namespace kv;

namespace {

class CodeDownloadSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh = kvtest::FreshDatabase();
        zov = std::make_unique<TZovData>(fresh.path);
        SetZovData(zov.get());
        InstallBaseParamsFactory();
    }
    void TearDown() override
    {
        TCtrlBox::SetParamSetFactory(nullptr);
        SetZovData(nullptr);
    }
    std::unique_ptr<TCtrlBox> Contact(int type)
    {
        auto box = CreateCtrlBox(type);
        const QString dir = folder.Path();
        box->SetSerialFactory([dir] { return std::make_unique<TMSComm>(dir); });
        EXPECT_TRUE(box->Init());
        EXPECT_TRUE(box->OpenPort());
        box->SetADState(adRelative);
        return box;
    }
    // Runs a download to its end; onProgress sees the first pass's steps.
    static void Run(TCodeDownload &d, const TCodeTable &table, const std::function<void(int)> &onProgress = {})
    {
        QEventLoop loop;
        int pass = 0;
        QObject::connect(&d, &TCodeDownload::progress, &loop, [&](int done, int) {
            pass += done == 1 ? 1 : 0;
            if (pass == 1 && onProgress)
                onProgress(done);
        });
        QObject::connect(&d, &TCodeDownload::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit); // a hang ends the test, not the suite
        ASSERT_TRUE(d.Start(table));
        loop.exec();
        ASSERT_FALSE(d.Running());
    }
    QString Stored(const TCtrlBox &box, const char *name)
    {
        return BoxItemValue(*zov, QString::fromLatin1(box.Model().Key), QLatin1String(name)).value_or("<none>");
    }
    // The box read and compared with the program, as at start-up: the items
    // that differ, each with both values.
    static QStringList Differences(TCtrlBox &box)
    {
        box.SetADState(adOff);
        Sleep(100);
        box.ParamSet()->CompareParams();
        box.SetADState(adRelative);
        auto *set = dynamic_cast<TBaseParams *>(box.ParamSet());
        QStringList differ;
        for (int i = 0; i < set->Count(); ++i)
            if (set->Differs(i))
                differ << QStringLiteral("%1: box %2, program %3")
                              .arg(QLatin1String(set->Item(i).Def->Name))
                              .arg(set->BoxValue(i))
                              .arg(set->Value(i));
        return differ;
    }

    kvtest::TFreshDb fresh;
    std::unique_ptr<TZovData> zov;
    TPortFolder folder;
};

} // namespace

TEST_F(CodeDownloadSim, TheTableLandsInTheBoxTheDriverAndTheDatabase)
{
    for (int type : {1, 2}) {
        SCOPED_TRACE(type);
        TSim sim(folder, type == 1 ? "KVD510" : "KVD520", 1, {QStringLiteral("--noise"), QStringLiteral("0")});
        ASSERT_TRUE(sim.WaitReady());
        auto box = Contact(type);
        const int off = box->Model().Family.ParamOffset;
        // kN in the words of family 510, N on 520.
        const int unit = type == 1 ? 1000 : 1;
        const TCodeTable table = TCodeTable::FromPoints({{50 * unit, 35000}, {100 * unit, 70500}, {150 * unit, 106000}});
        TCodeDownload download(*box, &zov->conZovDb);
        Run(download, table);
        EXPECT_EQ(download.Outcome(), TCodeDownload::TOutcome::Done) << download.Message().toStdString();
        EXPECT_EQ(sim.Param(off + 9), 150);
        EXPECT_EQ(sim.Param(off + 12), 200) << "the extrapolated point";
        EXPECT_EQ(sim.Param(off + 13), 141500 >> 16);
        EXPECT_EQ(sim.Param(off + 14), 141500 & 0xFFFF);
        EXPECT_EQ(sim.Param(off + 15), 0);
        EXPECT_EQ(box->FLoadCode[4], 141500);
        EXPECT_EQ(Stored(*box, "FLoadValue5"), QString::number(200 * unit));
        EXPECT_EQ(Stored(*box, "FLoadCode11"), "0");
        EXPECT_EQ(Differences(*box), QStringList()) << "box and program agree item by item";
        box->Finish();
    }
}

TEST_F(CodeDownloadSim, ACablePulledHalfWayIsNamedAndKeepsTheRunsBack)
{
    TSim sim(folder, "KVD510", 1, {QStringLiteral("--noise"), QStringLiteral("0")});
    ASSERT_TRUE(sim.WaitReady());
    auto box = Contact(1);
    const std::array<int, 12> oldForces = box->FLoadValue, oldCodes = box->FLoadCode;
    const QString oldStored = Stored(*box, "FLoadCode2");
    const TCodeTable table = TCodeTable::FromPoints({{40000, 30000}, {80000, 61000}, {120000, 93000}});
    TCodeDownload download(*box, &zov->conZovDb);
    Run(download, table, [&](int done) {
        if (done == 4) {
            sim.Send(QStringLiteral("unplug"));
            folder.LinkToNowhere(1); // a reopen finds no device, never a real port of this machine
        }
    });
    EXPECT_EQ(download.Outcome(), TCodeDownload::TOutcome::SendFailed);
    EXPECT_FALSE(download.BoxRestored());
    EXPECT_TRUE(download.Message().contains("软件和数据库仍是原来的力码表")) << download.Message().toStdString();
    EXPECT_EQ(box->FLoadValue, oldForces);
    EXPECT_EQ(box->FLoadCode, oldCodes);
    EXPECT_EQ(Stored(*box, "FLoadCode2"), oldStored);
    EXPECT_EQ(box->ParamDiffCount, 24);

    // The cable back: the box does hold part of the new table, as said.
    ASSERT_TRUE(sim.Ok(QStringLiteral("plug")));
    ASSERT_TRUE(box->OpenPort());
    EXPECT_EQ(sim.Param(3), 40) << "point 2 was written before the cable went";
    EXPECT_TRUE(Differences(*box).contains("FLoadValue2: box 40000, program 30000"));
    // A second download puts everything right.
    Run(download, table);
    EXPECT_EQ(download.Outcome(), TCodeDownload::TOutcome::Done) << download.Message().toStdString();
    EXPECT_EQ(Differences(*box), QStringList());
    box->Finish();
}

TEST_F(CodeDownloadSim, ABoxSilentDuringTheReadBackGetsTheOldTableBack)
{
    TSim sim(folder, "KVD510", 1, {QStringLiteral("--noise"), QStringLiteral("0")});
    ASSERT_TRUE(sim.WaitReady());
    auto box = Contact(1);
    const std::array<int, 12> oldCodes = box->FLoadCode;
    const TCodeTable table = TCodeTable::FromPoints({{40000, 30000}, {80000, 61000}, {120000, 93000}});
    TCodeDownload download(*box, &zov->conZovDb);
    Run(download, table, [&](int done) {
        if (done == TCodeTable::BoxEntries)
            sim.Send(QStringLiteral("silence 1"));
    });
    EXPECT_EQ(download.Outcome(), TCodeDownload::TOutcome::SendFailed);
    EXPECT_TRUE(download.BoxRestored());
    EXPECT_TRUE(download.Message().contains("控制箱已恢复原来的力码表")) << download.Message().toStdString();
    EXPECT_EQ(sim.Param(3), 30) << "the old point 2 again";
    EXPECT_EQ(box->FLoadCode, oldCodes);
    EXPECT_EQ(Stored(*box, "FLoadCode3"), QString::number(oldCodes[2]));
    EXPECT_EQ(Differences(*box), QStringList()) << "every side keeps the old table";
    box->Finish();
}

TEST(CodeEditorInProgram, TheSettingsMenuOpensTheEditorAndItsTableReachesTheBox)
{
    runtest::TSimRunRig rig(1);
    TSim sim(rig.Folder, "KVD510", 1, {QStringLiteral("--noise"), QStringLiteral("0")});
    ASSERT_TRUE(sim.WaitReady());
    rig.Show();
    ASSERT_TRUE(rig.W->IsOnline());
    QAction *menuGro = kvtest::Child<QAction>(*rig.W, "menuGro");
    ASSERT_TRUE(menuGro->isVisible() && menuGro->isEnabled());

    // The operator raises every code by 2 % and saves.
    bool direct = false, timerOff = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *w = qobject_cast<TfrmSetport *>(top); w && w->isVisible() && !w->Download().Running()) {
                poll.stop();
                direct = w->DirectMode();
                timerOff = !rig.W->StatusTimerActive();
                TPointGrid *grid = w->Existing();
                for (int r = 0; r < grid->rowCount(); ++r)
                    grid->item(r, 2)->setText(QString::number(qRound(grid->item(r, 2)->text().toInt() * 1.02)));
                kvtest::Child<QPushButton>(*w, "btnOK")->click();
                return;
            }
    });
    poll.start(50);
    menuGro->trigger();
    EXPECT_TRUE(direct);
    EXPECT_TRUE(timerOff) << "no status polling while the editor may talk to the box";
    EXPECT_TRUE(rig.W->StatusTimerActive());
    EXPECT_TRUE(rig.Messages.texts().isEmpty()) << rig.Messages.texts().join(';').toStdString();
    EXPECT_EQ(rig.Box->FLoadCode[1], qRound(21150 * 1.02));
    const int code = qRound(209590 * 1.02);
    EXPECT_EQ(sim.Param(31), code >> 16);
    EXPECT_EQ(sim.Param(32), code & 0xFFFF);
    EXPECT_EQ(BoxItemValue(*ZovData(), "KVD510", "FLoadCode11").value_or("<none>"), QString::number(code));
    EXPECT_FALSE(rig.W->GlbParam()->SetPortFromMain);
}

TEST(CheckWindowInProgram, TheVerificationButtonOpensTheWindowWithTheStatusTimerOff)
{
    runtest::TSimRunRig rig(1);
    TSim sim(rig.Folder, "KVD510", 1, {QStringLiteral("--noise"), QStringLiteral("0")});
    ASSERT_TRUE(sim.WaitReady());
    rig.Show();
    ASSERT_TRUE(rig.W->IsOnline());
    auto *button = kvtest::Child<QToolButton>(*rig.W, "btnCheck");
    ASSERT_TRUE(button->isVisible() && button->isEnabled());

    QString title, force;
    int rows = -1;
    bool timerOff = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *w = qobject_cast<TfrmCheck *>(top); w && w->isVisible()) {
                // The idle tick has shown the box's force once it reads the box.
                if (w->Run().IdleTimer() && w->Run().IdleTimer()->Ticks() < 2)
                    return;
                poll.stop();
                title = w->windowTitle();
                rows = w->Grid()->rowCount();
                force = kvtest::Child<QLabel>(*w, "stPress")->text();
                timerOff = !rig.W->StatusTimerActive();
                kvtest::Child<QToolButton>(*w, "btnQuit")->click();
                return;
            }
    });
    poll.start(50);
    button->click();
    EXPECT_EQ(title, "力值检测");
    EXPECT_EQ(rows, 10) << "the factory table's points 2..11";
    EXPECT_EQ(force, "0.00");
    EXPECT_TRUE(timerOff) << "no status polling while the window talks to the box";
    EXPECT_TRUE(rig.W->StatusTimerActive());
    EXPECT_TRUE(rig.Messages.texts().isEmpty()) << rig.Messages.texts().join(';').toStdString();
}
