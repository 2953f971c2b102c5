// The hardware test window: offscreen on a recording driver in virtual time,
// from the main window (on line and off line), and end to end on the
// simulated box from 硬件测试.
#include "../core/CoreTestSupport.h"
#include "../run/SimRunRig.h"

#include "ui/dialogs/TestHardWareDialog.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

using kvtest::Child;
using namespace kv;

namespace {

// A driver that reports a code of the test's choice and records the calls
// the window makes.
class TCodeBox : public TCtrlBox {
public:
    TCodeBox() : TCtrlBox(StoredBoxModel(1)) {}
    void SetADState(int state) override { Log << QStringLiteral("SetADState(%1)").arg(state); }
    int ReadForceCode() override
    {
        ++Reads;
        return Code;
    }
    void ClearZero() override { Log << QStringLiteral("ClearZero"); }
    QStringList Log;
    int Code = 0;
    int Reads = 0;
};

QString Text(const QWidget &w, const char *name) { return Child<QLineEdit>(w, name)->text(); }

} // namespace

TEST(TestHardWare, ShowsTheCodeEvery80msInBothModesAndStopsStreamingOnClose)
{
    TVirtualClock clock;
    TClockGuard guard(&clock);
    TCodeBox box;
    box.Code = 1234567;
    {
        TfrmTestHardWare w(box);
        QPushButton *mode = Child<QPushButton>(w, "btnMode");
        QPushButton *zero = Child<QPushButton>(w, "btnZero");
        EXPECT_EQ(w.windowTitle(), "测试硬件采样模块");
        w.show();
        EXPECT_EQ(box.Log, QStringList({"SetADState(1)"}));
        EXPECT_EQ(Text(w, "edtCode"), "0000000");
        EXPECT_EQ(mode->text(), "相对码");
        EXPECT_FALSE(zero->isEnabled());
        clock.advance(800);
        EXPECT_EQ(box.Reads, 10);
        EXPECT_EQ(Text(w, "edtCode"), "1234567");

        mode->click();
        box.Code = -1234567;
        clock.advance(80);
        EXPECT_EQ(Text(w, "edtCode"), "-1234567") << "the minus sign, and all seven digits";
        EXPECT_EQ(mode->text(), "绝对码");
        EXPECT_TRUE(zero->isEnabled());
        zero->click();
        w.grab().save("/tmp/kv_testhardware.png");
        mode->click();
        EXPECT_FALSE(zero->isEnabled());
        mode->click();
        Child<QPushButton>(w, "btnExit")->click();
        EXPECT_EQ(box.Log, QStringList({"SetADState(1)", "SetADState(0)", "ClearZero", "SetADState(1)",
                                        "SetADState(0)", "SetADState(2)"}));
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.TimerActive());
        const int reads = box.Reads;
        clock.advance(800);
        EXPECT_EQ(box.Reads, reads);
    }
    // Left in relative mode last time, it opens in absolute mode again.
    box.Log.clear();
    TfrmTestHardWare again(box);
    again.show();
    EXPECT_EQ(Child<QPushButton>(again, "btnMode")->text(), "相对码");
    EXPECT_FALSE(Child<QPushButton>(again, "btnZero")->isEnabled());
    EXPECT_EQ(box.Log, QStringList({"SetADState(1)"}));
    again.close(); // the close box ends streaming as 退出 does
    EXPECT_EQ(box.Log, QStringList({"SetADState(1)", "SetADState(2)"}));
}

TEST(TestHardWare, OffLineTheMainWindowOnlyWarns)
{
    coretest::TWindowRig rig;
    rig.UseDriver(false);
    auto w = rig.Create();
    w->show();
    rig.DriverLog.clear();
    rig.Messages.clear();
    Child<QAction>(*w, "menuTestHard")->trigger();
    EXPECT_EQ(rig.Messages.texts(), QStringList({"无法联系控制器,系统无法正常运行,请检查控制器是否打开!"}));
    EXPECT_FALSE(rig.DriverLog.contains("SetADState(2)"));
}

// From 硬件测试 of the running program on the simulated KVD510: absolute and
// relative codes as the box has them, zeroing, and the box streaming
// relative codes again afterwards with the status timer back on.
TEST(TestHardWareInProgram, ShowsTheBoxCodesZeroesAndLeavesTheBoxStreaming)
{
    runtest::TSimRunRig rig(1);
    linktest::TSim sim(rig.Folder, "KVD510", 1, {QStringLiteral("--noise"), QStringLiteral("0")});
    ASSERT_TRUE(sim.WaitReady());
    rig.Show();
    ASSERT_TRUE(rig.W->IsOnline());
    ASSERT_TRUE(sim.Ok("offset 350"));
    const QString status = sim.Send("status");
    EXPECT_TRUE(status.contains("streaming: relative codes")) << status.toStdString();
    const QRegularExpressionMatch codes = QRegularExpression("side A.*code (-?\\d+) \\(abs (-?\\d+)\\)").match(status);
    ASSERT_TRUE(codes.hasMatch()) << status.toStdString();
    const QString relative = codes.captured(1), absolute = codes.captured(2);
    ASSERT_EQ(relative, "350");
    ASSERT_NE(absolute, relative);

    QStringList seen;
    bool timerOff = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *w = qobject_cast<TfrmTestHardWare *>(top);
            if (!w || !w->isVisible())
                continue;
            timerOff = !rig.W->StatusTimerActive();
            const QString code = Text(*w, "edtCode");
            if (seen.isEmpty() && code == absolute) {
                seen << code;
                Child<QPushButton>(*w, "btnMode")->click();
            } else if (seen.size() == 1 && code == relative) {
                seen << code;
                Child<QPushButton>(*w, "btnZero")->click();
            } else if (seen.size() == 2 && code == "0") {
                seen << code;
                Child<QPushButton>(*w, "btnExit")->click();
            }
        }
    });
    poll.start(40);
    QTimer::singleShot(30000, [] { // a box that never shows the codes ends the test, not the suite
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *w = qobject_cast<TfrmTestHardWare *>(top))
                w->reject();
    });
    Child<QAction>(*rig.W, "menuTestHard")->trigger();
    poll.stop();
    // Asked before the status timer ticks again: its link supervision would
    // restart a silent box's streaming by itself a while later.
    const QString after = sim.Send("status");
    EXPECT_TRUE(after.contains("streaming: relative codes")) << after.toStdString();
    EXPECT_TRUE(after.contains(QRegularExpression("side A.*code 0 \\(abs " + absolute + "\\)"))) << after.toStdString();
    EXPECT_EQ(seen, QStringList({absolute, relative, "0"}));
    EXPECT_TRUE(timerOff) << "no status polling while the window reads the box";
    EXPECT_TRUE(rig.W->StatusTimerActive());
    EXPECT_TRUE(rig.Messages.texts().isEmpty()) << rig.Messages.texts().join(';').toStdString();
}
