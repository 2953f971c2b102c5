#include "run/RunSequence.h"

#include "Clock.h"
#include "host/TestList.h"
#include "store/GlobalParams.h"
#include "ui/main/MainWindow.h"
#include "host/ModuleHost.h"
#include "ui/main/CtrlBoxDriver.h"
#include "link/CtrlBox.h"
#include "run/RunJudge.h"
#include "MessageService.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
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

TRunSequence::TRunSequence(TfrmMeasure &window)
    : W(window),
      FIdle(window, [this] { return Box(); }, [this] { return CurrentArea(); }, [this] { StartRun(); })
{
}

TRunSequence::~TRunSequence() { KillSamplingTimer(); }

TCtrlBox *TRunSequence::Box() const { return CtrlBoxOf(W.CurrentDriver()); }

TBaseTest *TRunSequence::Test() const { return W.MyFunction() ? W.MyFunction()->CurrentTest() : nullptr; }

bool TRunSequence::RunActive() const
{
    const TCtrlBox *box = Box();
    return box && box->RunActive.load();
}

bool TRunSequence::OnUiThread() const { return QThread::currentThread() == W.thread(); }

void TRunSequence::Ui(std::function<void()> effect)
{
    if (OnUiThread())
        effect();
    else
        FBatch.push_back(std::move(effect));
}

void TRunSequence::FlushUi()
{
    if (FBatch.empty())
        return;
    auto batch = std::make_shared<std::vector<std::function<void()>>>(std::move(FBatch));
    FBatch.clear();
    QMetaObject::invokeMethod(
        &W, [batch] {
            for (auto &effect : *batch)
                effect();
        },
        Qt::QueuedConnection);
}

void TRunSequence::ShowLater(QLabel *display, double value, const QString &format)
{
    Ui([this, display, value, format] { W.ShowValue(display, value, format); });
}

void TRunSequence::ShowTextLater(QLabel *display, const QString &text)
{
    Ui([display, text] { display->setText(text); });
}

void TRunSequence::PanelLater(int panel, const QString &text)
{
    Ui([this, panel, text] { W.SetPanelText(panel, text); });
}

void TRunSequence::WarnLater(const QString &text)
{
    Ui([this, text] { MsgWarning(text, &W); });
}

double TRunSequence::CurrentArea() const
{
    TBaseTest *test = Test();
    const TSpecial *s = test ? test->GetSpecial(test->FCurrent - 1) : nullptr;
    return s ? s->FArea : 0.0;
}

// A specimen without an area shows no strength rather than an infinite one.
double TRunSequence::Stress(double force) const { return FArea > 0.0 ? force / FArea : 0.0; }

void TRunSequence::ShowDemoButtons(bool visible)
{
    for (QPushButton *b : {W.btnUP, W.btnKeep, W.btnDown})
        b->setVisible(visible);
}

// ---------------------------------------------------------------------------
// Starting a run

bool TRunSequence::StartRun()
{
    TMyGlbParam &glb = *W.GlbParam();
    // A stop shows Run enabled before the sampling step has unloaded: a run
    // still under way is never started over.
    if (RunActive())
        return false;
    if (W.FProtectLatched && W.FProtectTripped) {
        MsgInfo(Tr("当前处于保护状态,请重启软件和控制器!"), &W);
        return false;
    }
    FCurve.clear();
    TBaseTest *test = Test();
    if (!test) {
        MsgWarning(Tr("请选择试验"), &W);
        return false;
    }
    TCtrlBox *box = Box();
    if (!box) {
        MsgWarning(Tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), &W);
        return false;
    }
    if (box->ParamDiffCount >= 1) {
        MsgWarning(Tr("软件与控制箱之间有%1个参数不一致,请判断").arg(box->ParamDiffCount), &W);
        return false;
    }
    const bool opensGroup = glb.RunMode == 1 && test->FCurrent == 1;
    if (opensGroup) {
        QString err;
        test->BeginGroup(err);
        if (!err.isEmpty()) {
            MsgInfo(err, &W);
            test->EndGroup();
            return false;
        }
        static const QString kBad = QStringLiteral("/\\*:?\"<>|");
        if (std::any_of(test->FGroupNo.begin(), test->FGroupNo.end(), [](QChar c) { return kBad.contains(c); })) {
            MsgInfo(Tr("组号中不能包括'/', '\\', '*', ':', '?', '") + QLatin1Char('"') +
                        Tr("', '<', '>', '|'字符"),
                    &W);
            test->EndGroup();
            return false;
        }
        if (test->CheckGroupState() == 1) {
            MsgWarning(Tr("当前编号的试样已经在数据库中存在，请填写新的编号"), &W);
            test->EndGroup();
            return false;
        }
    }

    FSamplePeriod = 0.1f;
    glb.ForceHistory.Clear();
    W.ShowValue(W.stMaxPre, 0.0, W.FLoadFormat);
    W.ShowValue(W.stMpaRes, 0.0, W.FStressFormat);
    W.ShowValue(W.stMaxMpa, 0.0, W.FStressFormat);
    W.ShowValue(W.stSpeed, 0.0, W.FSpeedFormat);
    W.st_Time->setText(QStringLiteral("0.0"));

    box->StopRequested = false;
    box->ManualBreak = false;
    box->AutoRunPending = false;
    box->StepBusy = false; // a run that ended inside a step must not block this one
    box->RunActive = true;
    glb.PeakForce = 0.0f;
    glb.WaitTicks = 0;
    glb.ControlTicks = 0;

    if (glb.RefreshRate() == 0)
        glb.RefreshRate() = 12;
    // More than 20 refreshes a second would round to "never"; every sample is the most.
    glb.DisplayEvery = static_cast<quint8>(std::max(1L, std::lround(1.0 / (glb.RefreshRate() * 0.1))));
    if (glb.SpeedDisplayMode() < 20) {
        if (glb.SpeedDisplayMode() == 0)
            glb.SpeedDisplayMode() = 1;
        const long every = std::lround(box->FViewSpeedTime * 0.1);
        glb.SpeedEvery = static_cast<quint8>(std::clamp(every, 1L, 255L));
    } else {
        glb.SpeedEvery = 255;
    }

    W.activateWindow();
    W.stPress->setFocus();
    box->RecomputeCoolReduction(QDateTime::currentDateTime());
    box->CoolReduction = std::min(box->CoolReduction, box->CoolMaxReduction);
    glb.ValveStart = box->FValveInit - box->CoolReduction;

    // A refusal from here on leaves no run active.
    auto refuse = [box] {
        box->RunActive = false;
        return false;
    };
    box->SetADState(2);
    Sleep(100);
    QString err;
    test->BeginSpecimen(err);
    if (!err.isEmpty()) {
        MsgInfo(err, &W);
        // Only a group this start opened is closed; a group under way stays.
        if (opensGroup)
            test->EndGroup();
        box->SetADState(0);
        return refuse();
    }
    FArea = CurrentArea();
    FLoadCoe = W.FLoadCoe > 0 ? W.FLoadCoe : 1.0;
    glb.DisplayRate = static_cast<float>(test->FSpeed / FLoadCoe);
    qCDebug(lcRun, "试验加载速度:%f", static_cast<double>(test->FSpeed));

    if (!box->SetFastSpeed(static_cast<int>(std::lround(test->FSpeed)))) {
        MsgWarning(Tr("发送数据到控制器出错"), &W);
        box->SetADState(0);
        Sleep(40);
        return refuse();
    }
    Sleep(100);
    box->SetADState(0);
    Sleep(40);
    if (!box->SetValveStart(glb.ValveStart)) {
        MsgWarning(Tr("发送数据到控制器出错"), &W);
        return refuse();
    }
    box->Command(1);
    if (glb.RunMode == 7) {
        glb.HoldReached = false;
        glb.HoldStartTick = 0;
        glb.HoldRate = test->FSpeed;
    }

    FTimer.reset();
    FTimer = TClock::current().createPeriodicTimer(kSamplePeriodMs, [this] { SampleStep(); });
    QThread *ui = W.thread();
    FTimer->SetFinish([box, ui] { box->HandLineTo(ui); });
    W.timeStsBar->stop();
    W.ResetChart();
    FAxisForceMax = W.FForceAxisMax;
    FAxisTimeMax = W.FTimeAxisMax;
    FGroupSizeAtStart = test->FGroupSize;
    FGroupClosed = false;
    W.FGroupActive = true;
    W.FRunning = true;
    W.EnableAllButton();
    FRunEnded = false;
    // The sampling thread talks to the box from now until the unload.
    if (!box->HandLineTo(FTimer->TickThread()))
        qCWarning(lcRun, "the serial line could not be handed to the sampling thread");
    FTimer->Start();
    return true;
}

// ---------------------------------------------------------------------------
// The sampling step

void TRunSequence::SampleStep()
{
    if (FStepObserver)
        FStepObserver();
    TCtrlBox *box = Box();
    TBaseTest *test = Test();
    if (!box || !test || !box->RunActive.load())
        return;
    TMyGlbParam &glb = *W.GlbParam();
    FRunEnded = false;
    auto finish = [this, box] {
        // The unload is over: the line goes back before the status timer runs.
        if (FRunEnded && !OnUiThread())
            box->HandLineTo(W.thread());
        FlushUi();
    };

    if (const int demo = FDemoCommand.exchange(0))
        box->Command(demo);

    Ui([this] { W.EnableAllButton(); });
    if (!box->IsOnline()) {
        Ui([this] { W.FGroupActive = false; });
        FunBreak();
        WarnLater(Tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"));
        PanelLater(2, Tr("系统状态：脱机工作"));
        finish();
        return;
    }

    const int code = box->ReadForceCode();
    const int aux = box->GetAuxCode();
    PanelLater(4, Tr("当前力码") + QString::number(code));
    PanelLater(5, Tr("当前阀位置") + QString::number(aux));
    const float force = box->ReadForce();
    glb.PeakForce = std::max(glb.PeakForce, force);
    glb.ForceHistory.Push(force);
    glb.ValveHistory.Push(static_cast<float>(box->GetAuxCode()));

    QString overload;
    if (box->StopRequested.load()) {
        StopAndUnload(Tr("试验已停止，请等工作台回落后继续试验"));
        finish();
        return;
    }
    if (box->CheckOverload(overload)) {
        StopAndUnload(overload);
        finish();
        return;
    }
    if (box->StepBusy.exchange(true)) {
        finish();
        return;
    }
    TStepBusyGuard busy{box->StepBusy};

    const double fd = force / FLoadCoe;
    if (glb.ControlTicks == 0) {
        ++glb.WaitTicks;
        if (EveryNth(glb.WaitTicks, glb.DisplayEvery)) {
            ShowLater(W.stPress, fd, W.FLoadFormat);
            ShowLater(W.stMpaRes, Stress(force), W.FStressFormat);
            ShowLater(W.stMaxPre, 0.0, W.FLoadFormat);
            ShowLater(W.stMaxMpa, 0.0, W.FStressFormat);
        }
        if (force < static_cast<float>(box->FForcedLoad)) {
            ShowLater(W.stSpeed, 0.0, W.FSpeedFormat);
            const int waited = glb.WaitTicks * 100 / 1000;
            if (box->FCantLoadTime < waited) {
                Ui([this] { W.FGroupActive = false; });
                FunBreak();
                WarnLater(Tr("无法加载,可能原因是\n1.等待加载时间不够.\n2.初始开度不够.\n3.回油阀没关紧(液压式)"));
            } else if (glb.WaitTicks % 10 == 9) {
                PanelLater(1, Tr("到现在等待时间还有%1秒").arg(box->FCantLoadTime - waited));
            }
            finish();
            return;
        }
        // The start force is reached.
        ShowTextLater(W.stMaxPre, QStringLiteral("0.0"));
        if (glb.WaitTicks < 10) {
            StopAndUnload(Tr("初始力值过大，系统无法加载，请检查是否清零！"));
            finish();
            return;
        }
        Ui([this] { W.sb_ClearZero->setEnabled(false); });
        glb.ForceHistory.Clear();
        glb.ValveHistory.Clear();
        if (glb.RunMode == 1)
            ShowLater(W.stSpeed, glb.DisplayRate, W.FSpeedFormat);
        else if (glb.RunMode == 7)
            ShowLater(W.stSpeed, glb.HoldRate / FLoadCoe, W.FSpeedFormat);
        else
            ShowTextLater(W.stSpeed, QString::asprintf("%.2f", static_cast<double>(glb.DisplayRate)));
        PanelLater(1, Tr("现在进入正式控制阶段，请不要做任何操作!!!"));
        glb.ValveStart -= box->FValveBack;
        box->MoveValve(0, box->FValveBack);
        Sleep(200);
    }

    ++glb.ControlTicks;
    const float t = static_cast<float>(glb.ControlTicks) * FSamplePeriod;
    // Single-precision 0.1 is a little above a tenth: this skips two samples.
    if (static_cast<double>(t) <= 0.3) {
        finish();
        return;
    }
    if (force > static_cast<float>(box->FForcedLoad))
        GrowAxesAndDraw(t, static_cast<float>(fd));
    FCurve.push_back(TCurvePoint{t, force});

    const TJudgement j = glb.RunMode == 7 ? JudgeHold(glb, force, FSamplePeriod)
                                          : JudgeBreak(*box, glb, force, test->FSpeed, FSamplePeriod);
    if (HandleJudgement(j.State)) {
        if (EveryNth(glb.ControlTicks, glb.DisplayEvery)) {
            ShowLater(W.stMaxPre, glb.PeakForce / FLoadCoe, W.FLoadFormat);
            ShowLater(W.stPress, fd, W.FLoadFormat);
            ShowTextLater(W.st_Time, QString::asprintf("%.1f", static_cast<double>(t)));
            ShowLater(W.stMpaRes, Stress(force), W.FStressFormat);
            ShowLater(W.stMaxMpa, Stress(glb.PeakForce), W.FStressFormat);
        }
        if (box->FIsViewSpeed == 0 && force > static_cast<float>(box->FForcedLoad) &&
            EveryNth(glb.ControlTicks, glb.SpeedEvery))
            ShowLater(W.stSpeed, j.Speed / FLoadCoe, W.FSpeedFormat);
    }
    finish();
}

void TRunSequence::GrowAxesAndDraw(float t, float forceDisplay)
{
    // An axis grows by a step once the curve passes eight tenths of it.
    auto grow = [this](QValueAxis *axis, float &max, float step, float *shown) {
        max += step;
        const float m = max;
        Ui([axis, m, shown] {
            axis->setRange(0, m);
            axis->setTickCount(11);
            *shown = m;
        });
    };
    const float maxDisplay = static_cast<float>(Box()->FMaxLoad / FLoadCoe);
    if (maxDisplay > FAxisForceMax && forceDisplay > 8.0f * FAxisForceMax / 10.0f)
        grow(W.AxisLoad, FAxisForceMax, 50.0f, &W.FForceAxisMax);
    if (t > 8.0f * FAxisTimeMax / 10.0f)
        grow(W.AxisTime, FAxisTimeMax, 20.0f, &W.FTimeAxisMax);
    Ui([this, t, forceDisplay] { W.Series1->append(t, forceDisplay); });
}

void TRunSequence::ZoomReset()
{
    if (!W.FRunning)
        return;
    W.Chart->zoomReset();
    W.AxisLoad->setRange(0, W.FForceAxisMax);
    W.AxisTime->setRange(0, W.FTimeAxisMax);
    W.AxisLoad->setTickCount(11);
    W.AxisTime->setTickCount(11);
}

bool TRunSequence::HandleJudgement(int state)
{
    switch (state) {
    case jsContinue:
        return true;
    case jsBreak:
        OnBreak();
        return false;
    case jsTooFast:
        ClickStop();
        FunBreak();
        WarnLater(Tr("系统加载速度过快"));
        return false;
    case jsHoldOver:
        FunBreak();
        ClickStop();
        Ui([this] { ShowMessage(Tr("定荷的时间已到，自动卸载"), TMsgIcon::None, TMsgButtons::Ok, QString(), &W); });
        return false;
    default:
        FunBreak();
        WarnLater(Tr("试验方法出错,试验停止"));
        return false;
    }
}

void TRunSequence::StopAndUnload(const QString &text)
{
    ClickStop();
    FunBreak();
    WarnLater(text);
}

void TRunSequence::ClickStop()
{
    Ui([this] { btnStopClick(); });
}

// ---------------------------------------------------------------------------
// The end of a run

void TRunSequence::OnBreak()
{
    FunBreak();
    const float peak = W.GlbParam()->PeakForce;
    TCurvePoints curve = FCurve;
    Ui([this, peak, curve] { StoreBrokenSpecimen(peak, curve); });
}

void TRunSequence::StoreBrokenSpecimen(float peak, const TCurvePoints &curve)
{
    TBaseTest *test = Test();
    TCtrlBox *box = Box();
    if (!test)
        return;
    if (TSpecial *s = test->GetSpecial(test->FCurrent - 1)) {
        s->FForce = QString::asprintf("%.1f", static_cast<double>(peak)).toDouble();
        s->FStrength = s->FArea > 0 ? peak / s->FArea : 0.0;
        W.ShowValue(W.stMpaRes, s->FStrength, W.FStressFormat);
        W.ShowValue(W.stMaxMpa, s->FStrength, W.FStressFormat);
    }
    if (!StoreSpecimenCurve(*test, W.GlbParam()->OutFileDir, curve)) {
        qCWarning(lcRun) << "curve of specimen" << test->FCurrent << "not written to"
                         << CurveFilePath(*test, W.GlbParam()->OutFileDir);
        MsgWarning(Tr("试样%1的曲线没有写入曲线文件").arg(test->FCurrent), &W);
    }
    test->EndSpecimen(true);

    // The peak mark goes on the first point with the largest force.
    const auto top = std::max_element(curve.begin(), curve.end(), [](const TCurvePoint &a, const TCurvePoint &b) {
        return a.Force < b.Force;
    });
    if (top != curve.end()) {
        const double f = top->Force / FLoadCoe;
        W.Series2->clear();
        W.Series2->append(top->X, f);
        W.Series2->setPointLabelsFormat(Tr("最大力值") + QString::asprintf("%.2f", f) + W.FLoadUnit);
        W.Series2->setPointLabelsColor(Qt::black);
        W.Series2->setPointLabelsVisible(true);
    }

    if (test->FGroupSize < test->FCurrent) {
        W.FGroupActive = false;
        test->EndGroup();
        FGroupClosed = true;
        test->FCurrent = 1;
        W.EnableAllButton();
    } else if (test->FContinuous == 1) {
        if (box)
            box->AutoRunPending = true;
        W.GlbParam()->AutoRunSeconds = 0;
    } else {
        W.EnableAllButton();
    }
}

void TRunSequence::FunBreak()
{
    TCtrlBox *box = Box();
    TMyGlbParam &glb = *W.GlbParam();
    Ui([this] {
        W.FRunning = false;
        W.EnableAllButton();
    });
    if (FTimer)
        FTimer->Stop();
    Ui([this] {
        W.timeStsBar->start();
        ShowDemoButtons(false);
    });
    box->LastRunTime = QDateTime::currentDateTime();

    box->MoveValve(0, glb.ValveStart);
    glb.ValveStart = 0;
    box->Command(0);
    Sleep(20);
    box->Command(0);
    Sleep(20);

    if (glb.PeakForce < 0.5f)
        glb.PeakForce = 0.0f;
    ShowTextLater(W.stSpeed, QStringLiteral("0.00"));
    box->RunActive = false;

    if (glb.RunMode == 2)
        glb.RunMode = 1;
    if (glb.RunMode > 4) {
        Ui([this] {
            W.btnSlow->setVisible(false);
            W.btnFast->setVisible(false);
            W.btnEndGro->setVisible(true);
            W.btnOut->setVisible(true);
        });
    }
    PanelLater(1, Tr("目前系统处于卸载状态."));
    box->SetADState(0);
    Ui([this] {
        W.sb_ClearZero->setEnabled(W.CommandAvailable(W.sb_ClearZero));
        if (W.btnStop->isEnabled() && !W.FGroupActive)
            btnStopClick();
        W.FJustUnloaded = true;
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

void TRunSequence::btnRunClick()
{
    TMyGlbParam &glb = *W.GlbParam();
    if (glb.RunMode >= 5 && glb.RunMode <= 7)
        glb.RunMode = 1;
    StartRun();
}

void TRunSequence::btnStopClick()
{
    TBaseTest *test = Test();
    if (test && test->FCurrent == 1) {
        W.FRunning = false;
        W.FGroupActive = false;
        // One stop clicks this up to three times (operator, step, unload):
        // the module closes the group once.
        if (!FGroupClosed)
            test->EndGroup();
        FGroupClosed = true;
        W.EnableAllButton();
    }
    W.FRunning = false;
    if (test)
        test->SetContinuous(0);
    W.EnableAllButton();
    if (TCtrlBox *box = Box())
        box->StopRequested = true;
    ShowDemoButtons(false);
    W.SetPanelText(1, Tr("目前系统处于卸载状态."));
}

void TRunSequence::btnEndGroClick()
{
    TBaseTest *test = Test();
    if (!test || !W.btnRun->isEnabled() || RunActive())
        return;
    FGroupClosed = true;
    if (test->FCurrent > 1) {
        test->EndGroup();
        W.FGroupActive = false;
        test->FCurrent = 1;
        test->SetSpecimenCount(FGroupSizeAtStart);
        W.EnableAllButton();
    } else {
        W.FGroupActive = false;
        test->FCurrent = 1;
        test->EndGroup();
    }
}

void TRunSequence::menuRunClick()
{
    if (!W.btnRun->isEnabled())
        return;
    W.GlbParam()->RunMode = 2;
    ShowDemoButtons(true);
    StartRun();
}

void TRunSequence::btnStableClick()
{
    TCtrlBox *box = Box();
    if (!box || !W.Steps().ConstantLoadDialog)
        return;
    box->SetADState(2);
    W.timeStsBar->stop();
    float force = 0.0f;
    int seconds = 0;
    const bool confirmed = W.Steps().ConstantLoadDialog(W, force, seconds);
    box->SetADState(0);
    W.timeStsBar->start();
    if (!confirmed)
        return;
    TMyGlbParam &glb = *W.GlbParam();
    glb.HoldForce = force;
    glb.HoldTime = static_cast<qint16>(std::clamp(seconds, 0, 32767));
    glb.HoldStartTick = 0;
    glb.HoldReached = false;
    glb.RunMode = 7;
    QMetaObject::invokeMethod(&W, [this] { OnMsg_CheckMulti(0); }, Qt::QueuedConnection);
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
    W.timeStsBar->stop();
    box->SetADState(2);
    box->SetADState(0);
    W.timeStsBar->start();
}

void TRunSequence::DemoCommand(int command)
{
    // During a run the sampling thread holds the line: it sends the command.
    if (RunActive() && FTimer && FTimer->Active())
        FDemoCommand = command;
    else if (TCtrlBox *box = Box())
        box->Command(command);
}

bool TRunSequence::KeyPress(int key, bool autoRepeat)
{
    TCtrlBox *box = Box();
    if (!box)
        return false;
    if (box->RunActive.load()) {
        if (key == Qt::Key_Space) {
            if (box->FSpaceJudge == 0 && !autoRepeat)
                box->ManualBreak = true;
            return true; // never a click on the focused button during a run
        }
        if (key == Qt::Key_Shift) {
            btnStopClick();
            return true;
        }
        return false;
    }
    if (key == Qt::Key_Shift && box->AutoRunPending.load())
        box->StopRequested = true;
    return false;
}

void InstallRunSequence(TMeasureSteps &steps)
{
    steps.CreateRun = [](TfrmMeasure &w) { return std::make_unique<TRunSequence>(w); };
}

} // namespace kv
