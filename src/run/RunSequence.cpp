#include "run/RunSequence.h"

#include "Clock.h"
#include "MessageService.h"
#include "link/CtrlBox.h"
#include "run/RunJudge.h"
#include "run/SafetyChecks.h"
#include "run/SpecimenCurve.h"
#include "store/Settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QThread>
#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcRun, "kv.run")

namespace kv {

namespace {

QString Tr(const char *text) { return QCoreApplication::translate("kv::TRunSequence", text); }

// "On every m-th sample": the phase counter modulo m equals m - 1.
bool EveryNth(int counter, int m) { return m > 0 && counter % m == m - 1; }

// Clears StepBusy however a step ends.
struct TStepBusyGuard {
    std::atomic<bool> &Busy;
    ~TStepBusyGuard() { Busy = false; }
};

} // namespace

TChartAxes StartAxes(double maxLoad, double loadCoe)
{
    // A force axis needs some length even before the driver knows its maximum.
    const long forceMax = std::max(1L, std::lround(maxLoad / (loadCoe > 0 ? loadCoe : 1.0) / 2.0));
    return {static_cast<float>(forceMax), 20.0f};
}

TRunSequence::TRunSequence(TRunContext context)
    : FContext(std::move(context))
{
    FIdle = std::make_unique<TIdleMonitor>(FContext, FState, [this] { StartRun(); });
}

TRunSequence::~TRunSequence() { KillSamplingTimer(); }

TCtrlBox *TRunSequence::Box() const { return FContext.Box ? FContext.Box() : nullptr; }

TBaseTest *TRunSequence::Test() const { return FContext.Test ? FContext.Test() : nullptr; }

TClock &TRunSequence::Clock() const { return FContext.Clock ? *FContext.Clock : TClock::current(); }

TMessageService &TRunSequence::Messages() const
{
    return FContext.Messages ? *FContext.Messages : TMessageService::current();
}

bool TRunSequence::OnUiThread() const { return FUi.OnUiThread(); }

void TRunSequence::Ui(std::function<void()> effect) { FUi.Post(std::move(effect)); }

void TRunSequence::FlushUi() { FUi.Flush(); }

void TRunSequence::Warn(const QString &text)
{
    Ui([this, text] {
        TMsgRequest r;
        r.text = text;
        r.caption = DefaultCaption();
        r.icon = TMsgIcon::Warning;
        Messages().show(r);
    });
}

double TRunSequence::CurrentArea() const
{
    TBaseTest *test = Test();
    const TSpecial *s = test ? test->GetSpecial(test->FCurrent - 1) : nullptr;
    return s ? s->FArea : 0.0;
}

// A specimen without an area shows no strength rather than an infinite one.
double TRunSequence::Stress(double force) const { return FState.Area > 0.0 ? force / FState.Area : 0.0; }

void TRunSequence::SetDemoControls(bool visible)
{
    FState.DemoControls = visible;
    Observer().StateChanged();
}

// ---------------------------------------------------------------------------
// Starting a run

bool TRunSequence::RefuseStart(const QString &text, bool information)
{
    TMsgRequest r;
    r.text = text;
    r.caption = DefaultCaption();
    r.icon = information ? TMsgIcon::Information : TMsgIcon::Warning;
    Messages().show(r);
    return false;
}

// The checks of a group's first specimen; false when the group was refused
// (and closed again).
bool TRunSequence::OpenGroup(TBaseTest &test)
{
    QString err;
    test.BeginGroup(err);
    if (!err.isEmpty()) {
        RefuseStart(err, true);
        test.EndGroup();
        return false;
    }
    static const QString kBad = QStringLiteral("/\\*:?\"<>|");
    if (std::any_of(test.FGroupNo.begin(), test.FGroupNo.end(), [](QChar c) { return kBad.contains(c); })) {
        RefuseStart(Tr("组号中不能包括'/', '\\', '*', ':', '?', '") + QLatin1Char('"') + Tr("', '<', '>', '|'字符"),
                    true);
        test.EndGroup();
        return false;
    }
    if (test.CheckGroupState() == 1) {
        RefuseStart(Tr("当前编号的试样已经在数据库中存在，请填写新的编号"), false);
        test.EndGroup();
        return false;
    }
    return true;
}

// The run state for a new specimen: displays at 0, requests cleared, the
// refresh of the displays from the settings, the valve start of this run.
void TRunSequence::ArmRun(TCtrlBox &box)
{
    TRunObserver &o = Observer();
    FState.SamplePeriod = 0.1f;
    FState.ForceHistory.Clear();
    o.ShowValue(TRunDisplay::PeakForce, 0.0);
    o.ShowValue(TRunDisplay::Stress, 0.0);
    o.ShowValue(TRunDisplay::PeakStress, 0.0);
    o.ShowValue(TRunDisplay::Speed, 0.0);
    o.ShowText(TRunDisplay::Time, QStringLiteral("0.0"));

    FState.StopRequested = false;
    FState.ManualBreak = false;
    FState.AutoRunPending = false;
    FState.StepBusy = false; // a run that ended inside a step must not block this one
    FState.Phase = TRunPhase::Waiting;
    FState.PeakForce = 0.0f;
    FState.SamplePeak = 0.0f;
    FState.BelowStartSinceMs = -1;
    FState.BelowStartSeconds = 0.0f;
    FState.WaitTicks = 0;
    FState.ControlTicks = 0;
    FState.Judging = false;
    FState.StreamRestartsAtStart = box.StreamRestarts;

    const TDisplayEvery every = DisplayIntervals(*FContext.Settings, box.FViewSpeedTime);
    FState.DisplayEvery = static_cast<quint8>(every.Force);
    FState.SpeedEvery = static_cast<quint8>(every.Speed);

    o.RunStarting();
    box.RecomputeCoolReduction(QDateTime::currentDateTime());
    box.CoolReduction = std::min(box.CoolReduction, box.CoolMaxReduction);
    FState.ValveStart = box.FValveInit - box.CoolReduction;
}

// The specimen is told, the box gets its speed and valve start and starts
// loading; false when any of them refused (no run is left active).
bool TRunSequence::PrepareBox(TCtrlBox &box, TBaseTest &test, bool opensGroup)
{
    auto refuse = [this] {
        FState.Phase = TRunPhase::Idle;
        return false;
    };
    box.SetADState(adOff);
    Clock().sleepMs(100);
    QString err;
    test.BeginSpecimen(err);
    if (!err.isEmpty()) {
        RefuseStart(err, true);
        // Only a group this start opened is closed; a group under way stays.
        if (opensGroup)
            test.EndGroup();
        box.SetADState(adRelative);
        return refuse();
    }
    FState.Area = CurrentArea();
    const double coe = FContext.LoadCoe ? FContext.LoadCoe() : 1.0;
    FState.LoadCoe = coe > 0 ? coe : 1.0;
    FState.DisplayRate = static_cast<float>(test.FSpeed / FState.LoadCoe);
    qCDebug(lcRun, "试验加载速度:%f", static_cast<double>(test.FSpeed));

    if (!box.SetFastSpeed(static_cast<int>(std::lround(test.FSpeed)))) {
        RefuseStart(Tr("发送数据到控制器出错"), false);
        box.SetADState(adRelative);
        Clock().sleepMs(40);
        return refuse();
    }
    Clock().sleepMs(100);
    box.SetADState(adRelative);
    Clock().sleepMs(40);
    if (!box.SetValveStart(FState.ValveStart)) {
        RefuseStart(Tr("发送数据到控制器出错"), false);
        return refuse();
    }
    box.Command(bcRun);
    if (FState.Mode == TRunMode::ConstantLoad) {
        FState.HoldReached = false;
        FState.HoldStartTick = 0;
        FState.HoldRate = test.FSpeed;
    }
    return true;
}

// The sampling timer takes over from the status timer, the chart starts
// empty, the group is open.
void TRunSequence::StartSampling(TCtrlBox &box, TBaseTest &test)
{
    FTimer.reset();
    FTimer = Clock().createPeriodicTimer(kFrameWatchMs, [this] { SamplingTick(); });
    QThread *ui = FUi.UiThread();
    FTimer->SetFinish([&box, ui] { box.HandLineTo(ui); });
    FIdle->Stop();
    const TChartAxes axes = StartAxes(box.FMaxLoad, FState.LoadCoe);
    FState.AxisForceMax = axes.ForceMax;
    FState.AxisTimeMax = axes.TimeMax;
    Observer().ChartReset(axes.ForceMax, axes.TimeMax);
    FState.GroupSizeAtStart = test.FGroupSize;
    FState.GroupClosed = false;
    FState.GroupActive = true;
    FState.Running = true;
    Observer().StateChanged();
    FRunEnded = false;
    // Every frame from the start on counts for the peak.
    box.KeepReadings(true);
    FSamplingStartMs = Clock().nowMs();
    FLastStep = 0;
    // The sampling thread talks to the box from now until the unload.
    if (!box.HandLineTo(FTimer->TickThread()))
        qCWarning(lcRun, "the serial line could not be handed to the sampling thread");
    FTimer->Start();
}

bool TRunSequence::StartRun()
{
    // A stop shows Run enabled before the sampling step has unloaded: a run
    // still under way is never started over.
    if (Active())
        return false;
    if (FState.Protected())
        return RefuseStart(QCoreApplication::translate("kv::TRunSequence", "当前处于保护状态,请重启软件和控制器!"),
                           true);
    FState.Curve.clear();
    TBaseTest *test = Test();
    if (!test)
        return RefuseStart(Tr("请选择试验"), false);
    TCtrlBox *box = Box();
    if (!box)
        return RefuseStart(Tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), false);
    if (box->ParamDiffCount >= 1 && FContext.ResolveDifferences)
        FContext.ResolveDifferences();
    if (box->ParamDiffCount >= 1)
        return RefuseStart(Tr("软件与控制箱之间有%1个参数不一致,请判断").arg(box->ParamDiffCount), false);
    const bool opensGroup = FState.Mode == TRunMode::Normal && test->FCurrent == 1;
    if (opensGroup && !OpenGroup(*test))
        return false;

    ArmRun(*box);
    if (!PrepareBox(*box, *test, opensGroup))
        return false;
    StartSampling(*box, *test);
    return true;
}

// ---------------------------------------------------------------------------
// The sampling step

void TRunSequence::SamplingTick()
{
    TCtrlBox *box = Box();
    if (!box || !Test() || !Active())
        return;
    auto gridPoint = [this] { return (Clock().nowMs() - FSamplingStartMs) / kSamplePeriodMs; };
    if (const qint64 due = gridPoint(); due > FLastStep) {
        FSkippedSteps += due - FLastStep - 1;
        FLastStep = due;
        SampleStep();
        // Grid points a step runs past are left out, not run late.
        const qint64 after = gridPoint();
        FSkippedSteps += std::max<qint64>(0, after - FLastStep);
        FLastStep = std::max(FLastStep, after);
        return;
    }
    FRunEnded = false;
    const auto finish = qScopeGuard([this, box] { EndOfTick(*box); });
    box->DrainFrames();
    if (WatchFrames(*box))
        OnBreak();
}

void TRunSequence::EndOfTick(TCtrlBox &box)
{
    // The unload is over: the line goes back before the status timer runs.
    if (FRunEnded && !OnUiThread())
        box.HandLineTo(FUi.UiThread());
    FlushUi();
}

void TRunSequence::SampleStep()
{
    if (FStepObserver)
        FStepObserver();
    TCtrlBox *box = Box();
    TBaseTest *test = Test();
    if (!box || !test || !Active())
        return;
    FRunEnded = false;
    const auto finish = qScopeGuard([this, box] { EndOfTick(*box); });

    if (const int demo = FDemoCommand.exchange(0))
        box->Command(demo);
    Ui([this] { Observer().StateChanged(); });

    QString message;
    const TCheckInput before{*box, FState};
    if (const TSafetyRule *rule = FirstFiring(TCheckStage::BeforeSample, before, message)) {
        // This message opens the off-line period: the idle monitor does not
        // warn again, and the panel says off-line before the box opens.
        Ui([this] {
            FState.OfflineShown = true;
            FState.SilentTicks = 0;
            Observer().PanelText(TStatusPanel::Link, Tr("系统状态：脱机工作"));
        });
        EndBy(*rule, message);
        return;
    }

    float force = 0.0f;
    if (!ReadSample(*box, force))
        return;
    if (FState.StepBusy.exchange(true))
        return;
    TStepBusyGuard busy{FState.StepBusy};

    if (FState.ControlTicks == 0) {
        if (!WaitForStartForce(*box, force))
            return;
        EnterControl(*box);
        if (FRunEnded)
            return;
    }
    JudgeSample(*box, *test, force);
}

bool TRunSequence::WatchFrames(TCtrlBox &box)
{
    // Only a run to break judges, and only once its samples are judged: the
    // valve backs off on entering control and the force may dip meanwhile.
    // Nor across a restart of the box's streaming: a force that fell while
    // the box was silent is no break of the specimen.
    const bool judging = FState.Judging && FState.Mode != TRunMode::ConstantLoad &&
                         box.StreamRestarts == FState.StreamRestartsAtStart;
    bool broke = false;
    for (const TBoxReading &frame : box.TakeReadings()) {
        const float force = box.CodeToForce(frame.ForceCode);
        FState.PeakForce = std::max(FState.PeakForce, force);
        broke = broke || (judging && FrameShowsBreak(box, FState, force));
    }
    return broke;
}

// Reads the sample, keeps the peak and the histories, and ends the run on
// the operator's stop or a check of every sample; false when it ended.
bool TRunSequence::ReadSample(TCtrlBox &box, float &force)
{
    const int code = box.ReadForceCode();
    const bool frameBroke = WatchFrames(box);
    const int aux = box.GetAuxCode();
    Ui([this, code, aux] {
        Observer().PanelText(TStatusPanel::ForceCode, Tr("当前力码") + QString::number(code));
        Observer().PanelText(TStatusPanel::Valve, Tr("当前阀位置") + QString::number(aux));
    });
    force = box.ReadForce();
    FState.PeakForce = std::max(FState.PeakForce, force);
    FState.SamplePeak = std::max(FState.SamplePeak, force);
    FState.ForceHistory.Push(force);
    FState.ValveHistory.Push(static_cast<float>(box.GetAuxCode()));

    if (FState.StopRequested.load()) {
        StopAndUnload(Tr("试验已停止，请等工作台回落后继续试验"));
        return false;
    }
    QString message;
    const TCheckInput in{box, FState, force, force / FState.LoadCoe};
    if (const TSafetyRule *rule = FirstFiring(TCheckStage::EverySample, in, message)) {
        EndBy(*rule, message);
        return false;
    }
    if (frameBroke) {
        OnBreak();
        return false;
    }
    return true;
}

// The phase of waiting for the start force: displays, the waiting time and
// its end; true when this sample reached the start force.
bool TRunSequence::WaitForStartForce(TCtrlBox &box, float force)
{
    const double fd = force / FState.LoadCoe;
    ++FState.WaitTicks;
    if (EveryNth(FState.WaitTicks, FState.DisplayEvery)) {
        const double stress = Stress(force);
        Ui([this, fd, stress] {
            Observer().ShowValue(TRunDisplay::Force, fd);
            Observer().ShowValue(TRunDisplay::Stress, stress);
            Observer().ShowValue(TRunDisplay::PeakForce, 0.0);
            Observer().ShowValue(TRunDisplay::PeakStress, 0.0);
        });
    }
    if (force >= static_cast<float>(box.FForcedLoad))
        return true;
    Ui([this] { Observer().ShowValue(TRunDisplay::Speed, 0.0); });
    QString message;
    const TCheckInput in{box, FState, force, fd};
    if (const TSafetyRule *rule = FirstFiring(TCheckStage::Waiting, in, message)) {
        EndBy(*rule, message);
    } else if (FState.WaitTicks % 10 == 9) {
        const int left = box.FCantLoadTime - FState.WaitTicks * 100 / 1000;
        Ui([this, left] { Observer().PanelText(TStatusPanel::Status, Tr("到现在等待时间还有%1秒").arg(left)); });
    }
    return false;
}

// The start force is reached: the control stage begins with the valve
// backed off.
void TRunSequence::EnterControl(TCtrlBox &box)
{
    Ui([this] { Observer().ShowText(TRunDisplay::PeakForce, QStringLiteral("0.0")); });
    QString message;
    const TCheckInput in{box, FState};
    if (const TSafetyRule *rule = FirstFiring(TCheckStage::StartForce, in, message)) {
        EndBy(*rule, message);
        return;
    }
    FState.Phase = TRunPhase::Control;
    FState.ForceHistory.Clear();
    FState.ValveHistory.Clear();
    const TRunMode mode = FState.Mode;
    const float rate = FState.DisplayRate;
    const double holdRate = FState.HoldRate / FState.LoadCoe;
    Ui([this, mode, rate, holdRate] {
        if (mode == TRunMode::Normal)
            Observer().ShowValue(TRunDisplay::Speed, rate);
        else if (mode == TRunMode::ConstantLoad)
            Observer().ShowValue(TRunDisplay::Speed, holdRate);
        else
            Observer().ShowText(TRunDisplay::Speed, QString::asprintf("%.2f", static_cast<double>(rate)));
        Observer().PanelText(TStatusPanel::Status, Tr("现在进入正式控制阶段，请不要做任何操作!!!"));
    });
    FState.ValveStart -= box.FValveBack;
    box.MoveValve(0, box.FValveBack);
    Clock().sleepMs(200);
}

// A sample of the control stage: drawn, kept, judged, shown.
void TRunSequence::JudgeSample(TCtrlBox &box, TBaseTest &test, float force)
{
    ++FState.ControlTicks;
    TrackStall(box, force);
    QString message;
    if (const TSafetyRule *rule = FirstFiring(TCheckStage::Control, TCheckInput{box, FState, force}, message)) {
        EndBy(*rule, message);
        return;
    }
    const float t = static_cast<float>(FState.ControlTicks) * FState.SamplePeriod;
    // Single-precision 0.1 is a little above a tenth: this skips two samples.
    if (static_cast<double>(t) <= 0.3)
        return;
    FState.Judging = true;
    if (force > static_cast<float>(box.FForcedLoad))
        GrowAxesAndDraw(box, t, static_cast<float>(force / FState.LoadCoe));
    FState.Curve.push_back(TCurvePoint{t, force});

    if (FState.Mode == TRunMode::ConstantLoad) {
        const TJudgement j = JudgeHold(FState, force, FState.SamplePeriod);
        if (FState.HoldReached)
            FState.Phase = TRunPhase::Hold;
        if (j.State == jsHoldOver) {
            FunBreak();
            Ui([this] { StopClick(); });
            Ui([this] {
                TMsgRequest r;
                r.text = Tr("定荷的时间已到，自动卸载");
                r.caption = DefaultCaption();
                r.icon = TMsgIcon::None;
                Messages().show(r);
            });
            return;
        }
        ShowSample(force, j.Speed, t);
        return;
    }
    const TJudgement j = JudgeBreak(box, FState, force, test.FSpeed, FState.SamplePeriod);
    if (j.State == jsBreak) {
        OnBreak();
        return;
    }
    const TCheckInput in{box, FState, force, force / FState.LoadCoe, j.Speed};
    if (const TSafetyRule *rule = FirstFiring(TCheckStage::Judgement, in, message)) {
        EndBy(*rule, message);
        return;
    }
    ShowSample(force, j.Speed, t);
}

// How long the force of the control stage has stayed below the start force.
void TRunSequence::TrackStall(TCtrlBox &box, float force)
{
    if (force >= static_cast<float>(box.FForcedLoad)) {
        FState.BelowStartSinceMs = -1;
        FState.BelowStartSeconds = 0.0f;
        return;
    }
    const qint64 now = Clock().nowMs();
    if (FState.BelowStartSinceMs < 0)
        FState.BelowStartSinceMs = now;
    FState.BelowStartSeconds = static_cast<float>(now - FState.BelowStartSinceMs) / 1000.0f;
}

// The displays of a continued sample, thinned by DisplayEvery and SpeedEvery.
void TRunSequence::ShowSample(float force, float speed, float t)
{
    TCtrlBox *box = Box();
    const double coe = FState.LoadCoe;
    if (EveryNth(FState.ControlTicks, FState.DisplayEvery)) {
        const double peak = FState.PeakForce / coe, fd = force / coe;
        const double stress = Stress(force), peakStress = Stress(FState.PeakForce);
        Ui([this, peak, fd, t, stress, peakStress] {
            Observer().ShowValue(TRunDisplay::PeakForce, peak);
            Observer().ShowValue(TRunDisplay::Force, fd);
            Observer().ShowText(TRunDisplay::Time, QString::asprintf("%.1f", static_cast<double>(t)));
            Observer().ShowValue(TRunDisplay::Stress, stress);
            Observer().ShowValue(TRunDisplay::PeakStress, peakStress);
        });
    }
    if (box && box->FIsViewSpeed == 0 && force > static_cast<float>(box->FForcedLoad) &&
        EveryNth(FState.ControlTicks, FState.SpeedEvery)) {
        const double shown = speed / coe;
        Ui([this, shown] { Observer().ShowValue(TRunDisplay::Speed, shown); });
    }
}

void TRunSequence::GrowAxesAndDraw(TCtrlBox &box, float t, float forceDisplay)
{
    // An axis grows by a step once the curve passes eight tenths of it.
    auto grow = [this](TRunAxis axis, float &max, float step) {
        max += step;
        const float m = max;
        Ui([this, axis, m] { Observer().AxisGrown(axis, m); });
    };
    const float maxDisplay = static_cast<float>(box.FMaxLoad / FState.LoadCoe);
    if (maxDisplay > FState.AxisForceMax && forceDisplay > 8.0f * FState.AxisForceMax / 10.0f)
        grow(TRunAxis::Force, FState.AxisForceMax, 50.0f);
    if (t > 8.0f * FState.AxisTimeMax / 10.0f)
        grow(TRunAxis::Time, FState.AxisTimeMax, 20.0f);
    Ui([this, t, forceDisplay] { Observer().CurvePoint(t, forceDisplay); });
}

// ---------------------------------------------------------------------------
// The end of a run

void TRunSequence::EndBy(const TSafetyRule &rule, const QString &message)
{
    switch (rule.End) {
    case TCheckEnd::StopAndUnload:
        StopAndUnload(message);
        return;
    case TCheckEnd::CloseAndUnload:
        Ui([this] { FState.GroupActive = false; });
        FunBreak();
        Warn(message);
        return;
    case TCheckEnd::Protect:
        return; // idle only
    }
}

void TRunSequence::StopAndUnload(const QString &text)
{
    Ui([this] { StopClick(); });
    FunBreak();
    Warn(text);
}

void TRunSequence::OnBreak()
{
    FunBreak();
    const float peak = FState.PeakForce;
    TCurvePoints curve = FState.Curve;
    Ui([this, peak, curve] { StoreBrokenSpecimen(peak, curve); });
}

// The broken specimen's peak and strength go to its test with its curve;
// the test stores the specimen and the group goes on or ends.
void TRunSequence::StoreBrokenSpecimen(float peak, const TCurvePoints &curve)
{
    TBaseTest *test = Test();
    if (!test)
        return;
    // The peak shown is the one stored, also when the break came between samples.
    Observer().ShowValue(TRunDisplay::PeakForce, peak / FState.LoadCoe);
    if (TSpecial *s = test->GetSpecial(test->FCurrent - 1)) {
        s->FForce = QString::asprintf("%.1f", static_cast<double>(peak)).toDouble();
        s->FStrength = s->FArea > 0 ? peak / s->FArea : 0.0;
        Observer().ShowValue(TRunDisplay::Stress, s->FStrength);
        Observer().ShowValue(TRunDisplay::PeakStress, s->FStrength);
    }
    if (!StoreSpecimenCurve(*test, FContext.OutFileDir, curve)) {
        qCWarning(lcRun) << "curve of specimen" << test->FCurrent << "not written to"
                         << CurveFilePath(*test, FContext.OutFileDir);
        Warn(Tr("试样%1的曲线没有写入曲线文件").arg(test->FCurrent));
    }
    test->EndSpecimen(true);

    // The peak mark goes on the first point with the largest force.
    const auto top = std::max_element(curve.begin(), curve.end(), [](const TCurvePoint &a, const TCurvePoint &b) {
        return a.Force < b.Force;
    });
    if (top != curve.end())
        Observer().PeakMark(top->X, top->Force / FState.LoadCoe);

    if (test->FGroupSize < test->FCurrent) {
        FState.GroupActive = false;
        test->EndGroup();
        FState.GroupClosed = true;
        test->FCurrent = 1;
        Observer().StateChanged();
    } else if (test->FContinuous == 1) {
        FState.AutoRunPending = true;
        FState.AutoRunSeconds = 0;
    } else {
        Observer().StateChanged();
    }
}

// The unload that ends every run: the sampling timer stops, the valve goes
// back by the run's valve start, the box stops twice, streaming goes on.
void TRunSequence::FunBreak()
{
    TCtrlBox *box = Box();
    FState.Phase = TRunPhase::Unloading;
    Ui([this] {
        FState.Running = false;
        Observer().StateChanged();
    });
    if (FTimer)
        FTimer->Stop();
    box->KeepReadings(false);
    Ui([this] {
        FIdle->Start();
        SetDemoControls(false);
    });
    box->LastRunTime = QDateTime::currentDateTime();

    box->MoveValve(0, FState.ValveStart);
    FState.ValveStart = 0;
    box->Command(bcStop);
    Clock().sleepMs(20);
    box->Command(bcStop);
    Clock().sleepMs(20);

    if (FState.PeakForce < 0.5f)
        FState.PeakForce = 0.0f;
    Ui([this] { Observer().ShowText(TRunDisplay::Speed, QStringLiteral("0.00")); });
    FState.Phase = TRunPhase::Idle;

    const TRunMode mode = FState.Mode;
    if (FState.Mode == TRunMode::Demonstration)
        FState.Mode = TRunMode::Normal;
    Ui([this, mode] { Observer().Unloaded(mode); });
    Ui([this] { Observer().PanelText(TStatusPanel::Status, Tr("目前系统处于卸载状态.")); });
    box->SetADState(adRelative);
    Ui([this] {
        Observer().StateChanged();
        if (!FState.GroupActive)
            StopClick();
        FState.JustUnloaded = true;
    });
    FRunEnded = true;
}

void TRunSequence::KillSamplingTimer()
{
    if (!FTimer)
        return;
    FTimer->Stop();
    FTimer.reset();
    FlushUi();
}

// ---------------------------------------------------------------------------
// Commands

void TRunSequence::RunClick()
{
    if (FState.Mode == TRunMode::ConstantLoad)
        FState.Mode = TRunMode::Normal;
    StartRun();
}

void TRunSequence::StopClick()
{
    TBaseTest *test = Test();
    FState.Running = false;
    if (test && test->FCurrent == 1) {
        FState.GroupActive = false;
        // One stop clicks this up to three times (operator, step, unload):
        // the module closes the group once.
        if (!FState.GroupClosed)
            test->EndGroup();
        FState.GroupClosed = true;
        Observer().StateChanged();
    }
    if (test)
        test->SetContinuous(0);
    // The step sees the request at its next sample; the commands follow at
    // once (Run is enabled again before the unload).
    FState.StopRequested = true;
    SetDemoControls(false);
    Observer().PanelText(TStatusPanel::Status, Tr("目前系统处于卸载状态."));
}

void TRunSequence::EndGroupClick()
{
    TBaseTest *test = Test();
    if (!test || Active())
        return;
    FState.GroupClosed = true;
    if (test->FCurrent > 1) {
        test->EndGroup();
        FState.GroupActive = false;
        test->FCurrent = 1;
        test->SetSpecimenCount(FState.GroupSizeAtStart);
    } else {
        FState.GroupActive = false;
        test->FCurrent = 1;
        test->EndGroup();
    }
    Observer().StateChanged();
}

void TRunSequence::DemonstrationClick()
{
    FState.Mode = TRunMode::Demonstration;
    SetDemoControls(true);
    StartRun();
}

void TRunSequence::StartConstantLoad(float force, int seconds)
{
    FState.HoldForce = force;
    FState.HoldTime = static_cast<qint16>(std::clamp(seconds, 0, 32767));
    FState.HoldStartTick = 0;
    FState.HoldReached = false;
    FState.Mode = TRunMode::ConstantLoad;
    FUi.Later([this] { OnMsg_CheckMulti(0); });
}

void TRunSequence::OnMsg_CheckMulti(int wParam)
{
    if (wParam == 0) {
        StartRun();
        return;
    }
    TCtrlBox *box = Box();
    if (!box)
        return;
    FIdle->Stop();
    box->SetADState(adOff);
    box->SetADState(adRelative);
    FIdle->Start();
}

void TRunSequence::GroupResumed()
{
    FState.GroupActive = true;
    Observer().StateChanged();
}

void TRunSequence::ResetProtection()
{
    if (FState.Protected())
        FState.Phase = TRunPhase::Idle;
    FState.ProtectBusy = false;
    FState.ProtectTripped = false;
    FState.ProtectSuppressed = false;
    FState.JustUnloaded = false;
    FState.IdleElapsed = 0.0f;
    FState.TickCount = 1;
}

void TRunSequence::DemoCommand(int command)
{
    // During a run the sampling thread holds the line: it sends the command.
    if (Active() && FTimer && FTimer->Active())
        FDemoCommand = command;
    else if (TCtrlBox *box = Box())
        box->Command(command);
}

bool TRunSequence::KeyPress(int key, bool autoRepeat)
{
    TCtrlBox *box = Box();
    if (!box)
        return false;
    if (Active()) {
        if (key == Qt::Key_Space) {
            if (box->FSpaceJudge == 0 && !autoRepeat)
                FState.ManualBreak = true;
            return true; // never a click on the focused button during a run
        }
        if (key == Qt::Key_Shift) {
            StopClick();
            return true;
        }
        return false;
    }
    if (key == Qt::Key_Shift && FState.AutoRunPending.load())
        FState.StopRequested = true;
    return false;
}

} // namespace kv
