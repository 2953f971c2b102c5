#include "run/IdleMonitor.h"

#include "BaseTest.h"
#include "Clock.h"
#include "MessageService.h"
#include "link/CtrlBox.h"
#include "run/RunObserver.h"
#include "run/RunState.h"
#include "run/SafetyChecks.h"

#include <QCoreApplication>

namespace kv {

namespace {
QString Tr(const char *text) { return QCoreApplication::translate("kv::TIdleMonitor", text); }
} // namespace

TMsgResult TIdleMonitor::Show(const QString &text, TMsgIcon icon, TMsgButtons buttons) const
{
    TMsgRequest r;
    r.text = text;
    r.caption = DefaultCaption();
    r.icon = icon;
    r.buttons = buttons;
    return (FContext.Messages ? *FContext.Messages : TMessageService::current()).show(r);
}

TIdleMonitor::TIdleMonitor(const TRunContext &context, TRunState &state, std::function<void()> startRun)
    : FContext(context), FState(state), FStartRun(std::move(startRun))
{
    TClock &clock = FContext.Clock ? *FContext.Clock : TClock::current();
    FTimer = clock.createLoopTimer(kStatusTickMs, [this] {
        Tick();
        FContext.Observer->StatusTicked();
    });
}

TIdleMonitor::~TIdleMonitor() = default;

void TIdleMonitor::Start() { FTimer->Start(); }

void TIdleMonitor::Stop() { FTimer->Stop(); }

bool TIdleMonitor::Active() const { return FTimer->Active(); }

void TIdleMonitor::Tick()
{
    // A message box opened by a tick lets the timer fire again: that tick waits.
    TCtrlBox *box = FContext.Box ? FContext.Box() : nullptr;
    if (!box || FInTick)
        return;
    FInTick = true;
    struct TLeave {
        bool &Flag;
        ~TLeave() { Flag = false; }
    } leave{FInTick};

    TRunObserver &o = *FContext.Observer;
    o.PanelText(TStatusPanel::Control, box->ExistHand() == 1 && box->HandMode() != 0 ? Tr("控制状态：  手动控制")
                                                                                   : Tr("控制状态：  自动控制"));
    if (FState.Active())
        return;
    Watch();
}

void TIdleMonitor::Watch()
{
    TCtrlBox &box = *FContext.Box();
    TRunObserver &o = *FContext.Observer;
    const int code = box.ReadForceCode();
    o.PanelText(TStatusPanel::ForceCode, Tr("当前力码") + QString::number(code));
    o.PanelText(TStatusPanel::Valve, Tr("当前阀位置") + QString::number(box.GetAuxCode()));
    o.StateChanged();

    if (box.IsOnline()) {
        FState.OfflineShown = false;
        FState.SilentTicks = 0;
        o.PanelText(TStatusPanel::Link, Tr("系统状态：联机工作"));
        const float force = box.ReadForce();
        bool skip = false;
        if (FState.JustUnloaded) {
            skip = true;
            FState.IdleElapsed += static_cast<float>(kStatusTickMs);
            if (FState.IdleElapsed > static_cast<float>(box.FProtectTime) * 1000.0f) {
                FState.JustUnloaded = false;
                FState.IdleElapsed = 0.0f;
            }
        }
        const double coe = FContext.LoadCoe && FContext.LoadCoe() > 0 ? FContext.LoadCoe() : 1.0;
        const float fd = static_cast<float>(force / coe);
        if (!FState.ProtectBusy && box.FUseProtect == 0 && !skip)
            Protect(fd, force);

        TBaseTest *test = FContext.Test ? FContext.Test() : nullptr;
        const TSpecial *s = test ? test->GetSpecial(test->FCurrent - 1) : nullptr;
        const double area = s ? s->FArea : 0.0;
        o.ShowValue(TRunDisplay::Force, fd);
        o.ShowValue(TRunDisplay::PeakForce, FState.PeakForce / coe);
        o.ShowValue(TRunDisplay::Stress, area > 0 ? force / area : 0.0);
        o.ShowValue(TRunDisplay::Speed, 0.0);
        o.ShowText(TRunDisplay::Time, QStringLiteral("0.0"));

        if (FState.TickCount > 4) {
            FState.TickCount = 0;
            Countdown();
        } else {
            ++FState.TickCount;
        }
        return;
    }
    // The panel tells the truth before any message box opens.
    o.PanelText(TStatusPanel::Link, Tr("系统状态：脱机工作"));
    if (FState.OfflineShown) {
        if (FContext.Reinitialise)
            FContext.Reinitialise(++FState.SilentTicks);
        return;
    }
    FState.OfflineShown = true;
    FState.SilentTicks = 0;
    Show(Tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), TMsgIcon::Warning, TMsgButtons::Ok);
}

// Idle-force protection: the box protects itself when the force rises above
// the protection force between runs; the operator releases it or keeps it
// (and then no run starts until the program and the box are restarted).
void TIdleMonitor::Protect(float forceShown, float force)
{
    TCtrlBox &box = *FContext.Box();
    if (static_cast<float>(box.FProtectLoad) > forceShown)
        FState.ProtectSuppressed = false;
    QString message;
    const TCheckInput in{box, FState, force, forceShown};
    if (FirstFiring(TCheckStage::Idle, in, message)) {
        box.SetProtect(psOn);
        FState.ProtectBusy = true;
        FState.ProtectTripped = true;
        FState.ProtectSuppressed = true;
        Show(message, TMsgIcon::Error, TMsgButtons::Ok);
        if (Show(Tr("是否解除保护?如已排除请选择") + QStringLiteral("\"") + Tr("是") + QStringLiteral("\""),
                TMsgIcon::Question, TMsgButtons::YesNo) == TMsgResult::Yes)
            box.SetProtect(psOff);
        else
            FState.Phase = TRunPhase::Protected;
        FState.ProtectBusy = false;
    }
    if (FState.Protected() && FState.ProtectTripped) {
        FState.ProtectBusy = true;
        Show(Tr("当前处于保护状态,请重启软件和控制器!"), TMsgIcon::Warning, TMsgButtons::Ok);
    }
}

void TIdleMonitor::Countdown()
{
    if (!FState.AutoRunPending.load())
        return;
    if (FState.StopRequested.load()) {
        FState.AutoRunPending = false;
        FState.AutoRunSeconds = 0;
        FState.StopRequested = false;
        FContext.Observer->StateChanged();
        return;
    }
    TBaseTest *test = FContext.Test ? FContext.Test() : nullptr;
    const int delay = test ? test->FDelay : 0;
    ++FState.AutoRunSeconds;
    FContext.Observer->PanelText(TStatusPanel::Status, Tr("距离下次运行还有%1秒").arg(delay - FState.AutoRunSeconds));
    if (FState.AutoRunSeconds >= delay) {
        FState.AutoRunPending = false;
        FState.AutoRunSeconds = 0;
        FStartRun();
    }
}

} // namespace kv
