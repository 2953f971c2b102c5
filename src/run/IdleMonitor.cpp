#include "run/IdleMonitor.h"

#include "Clock.h"
#include "host/TestList.h"
#include "store/GlobalParams.h"
#include "ui/main/MainWindow.h"
#include "link/CtrlBox.h"
#include "MessageService.h"
#include "BaseTest.h"

#include <QCoreApplication>
#include <QLabel>

namespace kv {

namespace {
QString Tr(const char *text) { return QCoreApplication::translate("kv::TIdleMonitor", text); }
} // namespace

TIdleMonitor::TIdleMonitor(TfrmMeasure &window, std::function<TCtrlBox *()> box, std::function<double()> area,
                           std::function<void()> startRun)
    : W(window), FBox(std::move(box)), FArea(std::move(area)), FStartRun(std::move(startRun))
{
}

void TIdleMonitor::Tick()
{
    TCtrlBox *box = FBox();
    // A message box opened by a tick lets the timer fire again: that tick waits.
    if (!box || FInTick)
        return;
    FInTick = true;
    struct TLeave {
        bool &Flag;
        ~TLeave() { Flag = false; }
    } leave{FInTick};

    W.SetPanelText(3, box->ExistHand() == 1 && box->HandMode() != 0 ? Tr("控制状态：  手动控制")
                                                                    : Tr("控制状态：  自动控制"));
    if (box->RunActive.load())
        return;
    const int code = box->ReadForceCode();
    W.SetPanelText(4, Tr("当前力码") + QString::number(code));
    W.SetPanelText(5, Tr("当前阀位置") + QString::number(box->GetAuxCode()));
    W.EnableAllButton();

    if (box->IsOnline()) {
        W.FOfflineShown = false;
        W.SetPanelText(2, Tr("系统状态：联机工作"));
        const float force = box->ReadForce();
        bool skip = false;
        if (W.FJustUnloaded) {
            skip = true;
            W.FIdleElapsed += static_cast<float>(kStatusTickMs);
            if (W.FIdleElapsed > static_cast<float>(box->FProtectTime) * 1000.0f) {
                W.FJustUnloaded = false;
                W.FIdleElapsed = 0.0f;
            }
        }
        const double coe = W.FLoadCoe > 0 ? W.FLoadCoe : 1.0;
        const float fd = static_cast<float>(force / coe);
        if (!W.FProtectBusy && box->FUseProtect == 0 && !skip)
            Protect(fd);

        TMyGlbParam &glb = *W.GlbParam();
        const double area = FArea();
        W.ShowValue(W.stPress, fd, W.FLoadFormat);
        W.ShowValue(W.stMaxPre, glb.PeakForce / coe, W.FLoadFormat);
        W.ShowValue(W.stMpaRes, area > 0 ? force / area : 0.0, W.FStressFormat);
        W.ShowValue(W.stSpeed, 0.0, W.FSpeedFormat);
        W.st_Time->setText(QStringLiteral("0.0"));

        if (W.FTickCount > 4) {
            W.FTickCount = 0;
            Countdown();
        } else {
            ++W.FTickCount;
        }
        return;
    }
    if (W.FOfflineShown) {
        W.SetPanelText(2, Tr("系统状态：脱机工作"));
        Reinitialise(*box);
        return;
    }
    W.FOfflineShown = true;
    MsgWarning(Tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), &W);
}

void TIdleMonitor::Protect(float forceDisplay)
{
    TCtrlBox *box = FBox();
    const float limit = static_cast<float>(box->FProtectLoad);
    if (limit > forceDisplay)
        W.FProtectSuppressed = false;
    if (forceDisplay > limit && !W.FProtectLatched && !W.FProtectSuppressed) {
        box->SetProtect(0);
        W.FProtectBusy = true;
        W.FProtectTripped = true;
        W.FProtectSuppressed = true;
        MsgError(Tr("当前力值超过设定的空闲保护力值,已进入保护状态,请先排查原因!"), &W);
        if (MsgYesNo(Tr("是否解除保护?如已排除请选择") + QStringLiteral("\"") + Tr("是") + QStringLiteral("\""),
                     TMsgIcon::Question, &W))
            box->SetProtect(1);
        else
            W.FProtectLatched = true;
        W.FProtectBusy = false;
    }
    if (W.FProtectLatched && W.FProtectTripped) {
        W.FProtectBusy = true;
        MsgWarning(Tr("当前处于保护状态,请重启软件和控制器!"), &W);
    }
}

void TIdleMonitor::Countdown()
{
    TCtrlBox *box = FBox();
    if (!box->AutoRunPending.load())
        return;
    TMyGlbParam &glb = *W.GlbParam();
    if (box->StopRequested.load()) {
        box->AutoRunPending = false;
        glb.AutoRunSeconds = 0;
        box->StopRequested = false;
        W.EnableAllButton();
        return;
    }
    TBaseTest *test = W.MyFunction() ? W.MyFunction()->CurrentTest() : nullptr;
    const int delay = test ? test->FDelay : 0;
    ++glb.AutoRunSeconds;
    W.SetPanelText(1, Tr("距离下次运行还有%1秒").arg(delay - glb.AutoRunSeconds));
    if (glb.AutoRunSeconds >= delay) {
        box->AutoRunPending = false;
        glb.AutoRunSeconds = 0;
        FStartRun();
    }
}

void TIdleMonitor::Reinitialise(TCtrlBox &box)
{
    box.SetADState(0);
    Sleep(100);
    box.SetControlMode(3);
    Sleep(100);
    box.SetControlMode(box.ExistHand() == 1 && box.HandMode() != 0 ? 2 : 0);
    Sleep(100);
}

} // namespace kv
