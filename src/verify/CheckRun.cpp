#include "verify/CheckRun.h"

#include "Clock.h"
#include "MessageService.h"
#include "SqlText.h"
#include "db/DbEngine.h"
#include "link/BoxModels.h"
#include "link/CtrlBox.h"
#include "run/RunJudge.h"
#include "store/DataModule.h"
#include "store/GlobalParams.h"

#include <QLoggingCategory>
#include <QScopeGuard>
#include <QThread>
#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcCheck, "kv.verify.run")

namespace kv {

namespace {

QString Fmt(const char *format, double value) { return QString::asprintf(format, value); }

bool Verification(const TMyGlbParam &glb) { return glb.CheckMode == TMyGlbParam::TCheckMode::Verification; }

// The box holds no run at control-mode byte 1 by itself: that is automatic control.
bool AutomaticControl(const TMyGlbParam &glb) { return glb.Settings.ControlMode == 1; }

} // namespace

TCheckRun::TCheckRun(TCheckContext context) : FContext(std::move(context)) {}

TCheckRun::~TCheckRun() { Close(); }

TCtrlBox *TCheckRun::Box() const { return FContext.Box ? FContext.Box() : nullptr; }

TClock &TCheckRun::Clock() const { return FContext.Clock ? *FContext.Clock : TClock::current(); }

TMessageService &TCheckRun::Messages() const
{
    return FContext.Messages ? *FContext.Messages : TMessageService::current();
}

void TCheckRun::Info(const QString &text)
{
    TMsgRequest r;
    r.text = text;
    r.caption = DefaultCaption();
    r.icon = TMsgIcon::Information;
    Messages().show(r);
}

QString TCheckRun::StopText(TCheckStop reason)
{
    switch (reason) {
    case TCheckStop::ValveOpen:
        return tr("无法加载,可能是回油阀没有关紧或油管泄露！");
    case TCheckStop::LinkLost:
        return tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!");
    case TCheckStop::Stopped:
        return tr("试验已停止，请等工作台回落后继续试验");
    case TCheckStop::Overload:
        return tr("当前力值已经超过选择的最大力值，请等工作台复位后继续试验！.");
    case TCheckStop::CannotLoad:
        return tr("无法加载,可能原因是\n1.等待加载时间不够.\n2.初始开度不够.\n3.回油阀没关紧(液压式)");
    case TCheckStop::InitialForce:
        return tr("初始力值过大，系统无法加载，请检查是否清零！");
    case TCheckStop::None:
    case TCheckStop::Complete:
        break;
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Checkpoints and stored results

int TCheckRun::DefaultCheckpoints(const std::array<int, 12> &force, const std::array<int, 12> &code,
                                  std::vector<float> &points, std::vector<int> &codes)
{
    int n = 10;
    for (int p = 2; p <= 12; ++p)
        if (force[size_t(p - 1)] == 0) {
            n = p - 3;
            break;
        }
    n = std::max(n, 0);
    points.clear();
    codes.clear();
    for (int k = 1; k <= n; ++k) {
        points.push_back(float(force[size_t(k)]));
        codes.push_back(code[size_t(k)]);
    }
    return n;
}

float TCheckRun::RelativeError(float measured, float checkpoint)
{
    return checkpoint != 0.0f ? (measured - checkpoint) / checkpoint * 100.0f : 0.0f;
}

// The last stored results of the model: each list stops at its first
// failing read and leaves the rest as they were.
void TCheckRun::LoadStoredResults(std::array<float, 12> &measured, std::array<float, 12> &error) const
{
    TCtrlBox *box = Box();
    if (!FContext.Data || !box)
        return;
    const QString model = QString::fromLatin1(box->Model().Key);
    auto read = [&](const QString &prefix, std::array<float, 12> &into) {
        for (int k = 1; k <= 12; ++k) {
            try {
                db::TDbQuery q(FContext.Data->conZovDb);
                q.setSql(QStringLiteral("select * from checktempvalue  where ctrlbox = ") + QuotedStr(model) +
                         QStringLiteral(" and name = ") + QuotedStr(prefix + QString::number(k)));
                q.open();
                if (q.recordCount() == 0)
                    return;
                into[size_t(k - 1)] = float(q.fieldByName(QStringLiteral("Value")).asFloat());
            } catch (const std::exception &e) {
                qCWarning(lcCheck, "reading %s%d: %s", qPrintable(prefix), k, e.what());
                return;
            }
        }
    };
    read(QStringLiteral("CheckNum"), measured);
    read(QStringLiteral("CheckError"), error);
}

// The default checkpoints with the stored results of their points, the
// measured force and the error in format.
void TCheckRun::ShowDefaults(const char *format)
{
    TMyGlbParam &glb = *FContext.Glb;
    std::vector<float> points;
    std::vector<int> codes;
    if (TCtrlBox *box = Box())
        DefaultCheckpoints(box->FLoadValue, box->FLoadCode, points, codes);
    glb.CheckCount = int(points.size());
    // The codes as the grid shows them: no checkpoint keeps the code an
    // earlier run took at another force (the force-code window pairs them).
    for (size_t k = 0; k < points.size(); ++k) {
        glb.CheckForce[k] = points[k];
        glb.CheckCode[k] = codes[k];
    }
    // No point of these checkpoints is taken yet.
    glb.RecordedCount = 0;
    LoadStoredResults(glb.CheckMeasured, glb.CheckError);
    FRows.clear();
    for (size_t k = 0; k < points.size(); ++k)
        FRows.push_back({Fmt("%.f", points[k] / FContext.Coe), Fmt(format, glb.CheckMeasured[k] / FContext.Coe),
                         QString::number(codes[k]), Fmt(format, glb.CheckError[k])});
    Observer().GridChanged();
}

bool TCheckRun::SaveCheckResults(int n)
{
    if (int(FRows.size()) != n || n < 1)
        return true;
    TCtrlBox *box = Box();
    if (!FContext.Data || !box)
        return false;
    TMyGlbParam &glb = *FContext.Glb;
    const QString model = QString::fromLatin1(box->Model().Key);
    // A row missing from the installed set is added, so no result is lost
    // to an update that found nothing.
    auto write = [&](const QString &name, const QString &value) {
        const QString where = QStringLiteral(" where ctrlbox = ") + QuotedStr(model) + QStringLiteral(" and name = ") +
                              QuotedStr(name);
        try {
            db::TDbQuery q(FContext.Data->conZovDb);
            q.setSql(QStringLiteral("update CheckTempValue set [Value] = ") + QuotedStr(value) + where);
            if (q.execSql() > 0)
                return true;
            q.setSql(QStringLiteral("insert into CheckTempValue (ctrlbox, name, [Value]) values(") + QuotedStr(model) +
                     QStringLiteral(", ") + QuotedStr(name) + QStringLiteral(", ") + QuotedStr(value) +
                     QStringLiteral(")"));
            return q.execSql() == 1;
        } catch (const std::exception &e) {
            qCWarning(lcCheck, "storing %s: %s", qPrintable(name), e.what());
            return false;
        }
    };
    for (int k = 1; k <= n; ++k) {
        const QStringList &row = FRows[size_t(k - 1)];
        const double measured = row.value(1).toDouble() * FContext.Coe;
        if (!write(QStringLiteral("CheckNum") + QString::number(k), Fmt("%.2f", measured)))
            return false;
        if (!write(QStringLiteral("CheckError") + QString::number(k), row.value(3)))
            return false;
        glb.CheckMeasured[size_t(k - 1)] = float(measured);
        glb.CheckError[size_t(k - 1)] = row.value(3).toFloat();
    }
    return true;
}

// ---------------------------------------------------------------------------
// Opening, idle, closing

void TCheckRun::ResetChart(TCtrlBox &box)
{
    FAxisForce = float(std::max(1L, std::lround(box.FMaxLoad / FContext.Coe / 2.0)));
    FAxisTime = 20.0f;
    Observer().ChartReset(FAxisForce, FAxisTime);
}

void TCheckRun::Open()
{
    FRunning = false;
    FCurrent = 1;
    FZeroEnabled = true;
    FSpeedButtons = false;
    if (TCtrlBox *box = Box())
        ResetChart(*box);
    ShowDefaults("%.3f");
    Observer().StateChanged();
    StartIdle();
}

void TCheckRun::StartIdle()
{
    if (!FIdleTimer)
        FIdleTimer = Clock().createLoopTimer(kCheckIdleMs, [this] { IdleTick(); });
    if (!FIdleTimer->Active())
        FIdleTimer->Start();
}

void TCheckRun::IdleTick()
{
    TCtrlBox *box = Box();
    if (!box || FRunning || FProtectBusy)
        return;
    box->ReadForceCode();
    const float shown = box->ReadForce() / float(FContext.Coe);
    Observer().ShowForce(Fmt("%.2f", shown));
    if (box->FUseProtect != 0 || Protected())
        return;
    // After a run the platen may still carry force for a while.
    if (FProtectHold > 0) {
        --FProtectHold;
        return;
    }
    if (!FProtectArmed) {
        FProtectArmed = shown < float(box->FProtectLoad);
        return;
    }
    if (shown <= float(box->FProtectLoad))
        return;
    FProtectBusy = true;
    const auto done = qScopeGuard([this] { FProtectBusy = false; });
    FProtectArmed = false;
    box->SetProtect(psOn);
    TMsgRequest warn;
    warn.text = tr("当前力值超过设定的空闲保护力值,已进入保护状态,请先排查原因!");
    warn.caption = DefaultCaption();
    warn.icon = TMsgIcon::Warning;
    Messages().show(warn);
    TMsgRequest ask;
    ask.text = tr("是否解除保护?如已排除请选择\"是\"");
    ask.caption = DefaultCaption();
    ask.icon = TMsgIcon::Question;
    ask.buttons = TMsgButtons::YesNo;
    if (Messages().show(ask) == TMsgResult::Yes) {
        box->SetProtect(psOff);
        return;
    }
    FPhase = TCheckPhase::Protected;
    Observer().StateChanged();
    if (!FProtectShown) {
        FProtectShown = true;
        Info(tr("当前处于保护状态,请重启软件和控制器!"));
    }
}

void TCheckRun::SuspendIdle()
{
    if (FIdleTimer)
        FIdleTimer->Stop();
}

void TCheckRun::ClearZero()
{
    if (TCtrlBox *box = Box(); box && !FRunning)
        box->ClearZero();
}

bool TCheckRun::MayClose()
{
    if (!FRunning)
        return true;
    Info(tr("正在检测中，请先结束后退出"));
    return false;
}

void TCheckRun::Close()
{
    if (FTimer) {
        FTimer->Stop();
        FTimer.reset();
        FUi.Flush();
    }
    if (FIdleTimer)
        FIdleTimer->Stop();
    FRunning = false;
    FCurrent = 1;
    if (!Protected())
        FPhase = TCheckPhase::Idle;
}

// ---------------------------------------------------------------------------
// Start and the operator's commands

bool TCheckRun::Start()
{
    if (FRunning || FStopPending)
        return false;
    TCtrlBox *box = Box();
    if (!box) {
        Info(StopText(TCheckStop::LinkLost));
        return false;
    }
    if (Protected()) {
        Info(tr("当前处于保护状态,请重启软件和控制器!"));
        return false;
    }
    if (box->ParamDiffCount > 0) {
        Info(tr("软件与控制箱之间有%1个参数不一致,请判断").arg(box->ParamDiffCount));
        return false;
    }
    if (FIdleTimer)
        FIdleTimer->Stop();
    box->SetADState(adOff);
    const bool confirmed = FContext.AskParams ? FContext.AskParams() : true;
    box->SetADState(adRelative);
    StartIdle();
    if (!confirmed)
        return false;

    TMyGlbParam &glb = *FContext.Glb;
    const int n = std::clamp(glb.CheckCount, 0, TMyGlbParam::MaxCheckPoints);
    FRows.clear();
    for (int k = 0; k < n; ++k)
        FRows.push_back({Fmt("%.f", glb.CheckForce[size_t(k)] / FContext.Coe), QString(), QString(), QString()});
    Observer().GridChanged();
    FSpeedButtons = glb.Settings.AutoFastSlow == 0;
    FFastEnabled = false;
    FSlowEnabled = true;
    FCurrent = 1;
    if (!box->IsOnline()) {
        Observer().StateChanged();
        Info(StopText(TCheckStop::LinkLost));
        return false;
    }

    FStopRequest = false;
    FTakeRequest = false;
    FFastRequest = false;
    FSlowRequest = false;
    FEndAfterStop = false;
    FLastStop = TCheckStop::None;
    FWaitTicks = 0;
    FControlTicks = 0;
    FSlowStage = false;
    FJustRecorded = false;
    FTarget = glb.FastLoadSpeed;
    FHistory.fill(0.0f);
    const TDisplayEvery every = DisplayIntervals(glb.Settings, box->FViewSpeedTime);
    FDisplayEvery = every.Force;
    FSpeedEvery = every.Speed;
    Observer().ShowTime(QStringLiteral("0.0"));
    ResetChart(*box);

    if (FIdleTimer)
        FIdleTimer->Stop();
    box->Command(bcRun);
    FRunning = true;
    FPhase = TCheckPhase::Waiting;
    FTimer = Clock().createPeriodicTimer(kCheckTickMs, [this] { RunTick(); });
    QThread *ui = FUi.UiThread();
    FTimer->SetFinish([box, ui] { box->HandLineTo(ui); });
    // The run tick talks to the box from now until the unload.
    if (!box->HandLineTo(FTimer->TickThread()))
        qCWarning(lcCheck, "the serial line could not be handed to the run tick");
    Observer().StateChanged();
    Observer().FocusGrid();
    FTimer->Start();
    return true;
}

void TCheckRun::EndClick()
{
    if (FRunning) {
        // The next tick stops; what the points lead to follows the stop.
        FStopRequest = true;
        FEndAfterStop = true;
        return;
    }
    // The stop of the last point is on its way: its points stay.
    if (FStopPending)
        return;
    ShowDefaults("%.2f");
}

bool TCheckRun::KeyPress(int key)
{
    if (!FRunning)
        return false;
    switch (key) {
    case Qt::Key_Space:
        TakePoint();
        return true; // never a click on the focused button during a run
    case Qt::Key_Shift:
        EndClick();
        return true;
    case Qt::Key_Up:
        FastClick();
        return true;
    case Qt::Key_Down:
        SlowClick();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// The run tick

void TCheckRun::RunTick()
{
    TCtrlBox *box = Box();
    if (!box || !FRunning)
        return;
    FTickEnded = false;
    const auto finish = qScopeGuard([this, box] { EndTick(*box); });
    TMyGlbParam &glb = *FContext.Glb;

    if (FContext.ValveStart && *FContext.ValveStart >= kValveStartLimit)
        return StopRun(*box, TCheckStop::ValveOpen);
    if (!box->IsOnline())
        return StopRun(*box, TCheckStop::LinkLost);
    const int code = box->ReadForceCode();
    const float x = box->ReadForce();
    std::move_backward(FHistory.begin(), FHistory.end() - 1, FHistory.end());
    FHistory[0] = x;
    if (FStopRequest)
        return StopRun(*box, TCheckStop::Stopped);
    if (Verification(glb) && box->Overloaded(x))
        return StopRun(*box, TCheckStop::Overload);

    if (FControlTicks == 0) {
        ++FWaitTicks;
        if (FWaitTicks % FDisplayEvery == 0)
            Ui([this, x] { Observer().ShowForce(Fmt("%.2f", x / FContext.Coe)); });
        if (x < float(box->FForcedLoad)) {
            if (FWaitTicks * 100 / 1000 > box->FCantLoadTime)
                StopRun(*box, TCheckStop::CannotLoad);
            return;
        }
        Ui([this] {
            FZeroEnabled = false;
            Observer().StateChanged();
        });
        if (FWaitTicks < 10)
            return StopRun(*box, TCheckStop::InitialForce);
        FPhase = TCheckPhase::Control;
        const float fast = glb.FastLoadSpeed;
        Ui([this, fast] { Observer().ShowSpeed(Fmt("%.2f", fast / FContext.Coe)); });
    }
    if (Control(*box, x, code))
        StopRun(*box, TCheckStop::Complete);
}

// One control tick; true when the last checkpoint was taken.
bool TCheckRun::Control(TCtrlBox &box, float x, int code)
{
    ++FControlTicks;
    const float t = float(FControlTicks) * 0.1f;
    if (FControlTicks <= 3)
        return false;
    if (x > 2.0f) {
        const float shown = x / float(FContext.Coe);
        bool grown = false;
        if (shown > 0.9f * FAxisForce && FAxisForce < float(box.FMaxLoad / FContext.Coe)) {
            FAxisForce += 50.0f;
            grown = true;
        }
        if (t > 0.9f * FAxisTime) {
            FAxisTime += 20.0f;
            grown = true;
        }
        const float forceMax = FAxisForce, timeMax = FAxisTime;
        Ui([this, shown, t, grown, forceMax, timeMax] {
            if (grown)
                Observer().ChartAxes(forceMax, timeMax);
            Observer().ChartPoint(shown, t);
        });
    }
    if (PointsAndSpeed(box, x, code))
        return true;
    if (FControlTicks % FDisplayEvery == 0)
        Ui([this, x, t] {
            Observer().ShowForce(Fmt("%.2f", x / FContext.Coe));
            Observer().ShowTime(Fmt("%.1f", t));
        });
    if (box.FIsViewSpeed == 0 && x > float(box.FForcedLoad) && FControlTicks % FSpeedEvery == 0) {
        const float rate = DisplayRate(FTarget);
        Ui([this, rate] { Observer().ShowSpeed(Fmt("%.2f", rate / FContext.Coe)); });
    }
    return false;
}

bool TCheckRun::PointsAndSpeed(TCtrlBox &box, float x, int code)
{
    TMyGlbParam &glb = *FContext.Glb;
    const int n = std::clamp(glb.CheckCount, 0, TMyGlbParam::MaxCheckPoints);
    // The rate shown is judged against the stage the box is in.
    FTarget = FSlowStage ? glb.SlowLoadSpeed : glb.FastLoadSpeed;
    if (FTakeRequest.exchange(false)) {
        const int k = FCurrent;
        if (k >= 1 && k <= n) {
            const size_t i = size_t(k - 1);
            const float error = RelativeError(x, glb.CheckForce[i]);
            glb.CheckCode[i] = code;
            glb.CheckMeasured[i] = x;
            glb.CheckError[i] = error;
            Ui([this, i, code, x, error] {
                if (i < FRows.size()) {
                    QStringList &row = FRows[i];
                    row[1] = Fmt("%.3f", x / FContext.Coe);
                    row[2] = QString::number(code);
                    row[3] = Fmt("%.3f", error);
                }
                Observer().GridChanged();
            });
        }
        FJustRecorded = true;
        FCurrent = k + 1;
        if (k + 1 > n) {
            FCurrent = 1;
            return true;
        }
    }
    if (glb.Settings.AutoFastSlow != 0) {
        FFastRequest = false;
        FSlowRequest = false;
        const float a = glb.SlowAdvance;
        auto near = [x, a](float c) { return x > c - a && x < c + a; };
        const int k = FCurrent;
        if (FJustRecorded && k >= 1 && k <= n && near(glb.CheckForce[size_t(k - 1)]))
            FJustRecorded = false;
        bool slow = false;
        for (int i = 0; i < n && !FJustRecorded && !slow; ++i)
            slow = near(glb.CheckForce[size_t(i)]);
        if (slow != FSlowStage) {
            FSlowStage = slow;
            FTarget = slow ? glb.SlowLoadSpeed : glb.FastLoadSpeed;
            box.SetSpeedStage(slow ? 1 : 0);
        }
        return false;
    }
    auto stage = [this, &box, &glb](bool slow) {
        box.SetSpeedStage(slow ? 1 : 0);
        FSlowStage = slow;
        FTarget = slow ? glb.SlowLoadSpeed : glb.FastLoadSpeed;
        Ui([this, slow] {
            FFastEnabled = slow;
            FSlowEnabled = !slow;
            Observer().StateChanged();
        });
    };
    if (FFastRequest.exchange(false))
        stage(false);
    if (FSlowRequest.exchange(false))
        stage(true);
    return false;
}

float TCheckRun::DisplayRate(float target) const
{
    THistory h;
    for (int k = int(FHistory.size()); k >= 1; --k)
        h.Push(FHistory[size_t(k - 1)]);
    // Under manual control the box sets no rate: the raw slope is shown.
    if (!AutomaticControl(*FContext.Glb))
        return std::fabs(target) < 0.01f ? 0.0f : HistorySlope(h, 15, 0.1f);
    return DisplaySpeed(h, target, 0.1f);
}

// ---------------------------------------------------------------------------
// Stopping

void TCheckRun::StopRun(TCtrlBox &box, TCheckStop reason)
{
    if (FTimer)
        FTimer->Stop();
    TMyGlbParam &glb = *FContext.Glb;
    if (AutomaticControl(glb) && FContext.ValveStart) {
        box.MoveValve(0, *FContext.ValveStart);
        *FContext.ValveStart = 0;
    }
    box.Command(bcStop);
    Clock().sleepMs(20);
    box.Command(bcStop);
    // The box keeps its stage from run to run: leave it fast, as every run
    // (this window's and the specimen runs) starts.
    box.SetSpeedStage(0);
    box.SetADState(adRelative);
    FStopPending = true;
    FRunning = false;
    FPhase = TCheckPhase::Idle;
    FLastStop = reason;
    FTickEnded = true;
    const int current = FCurrent;
    const int n = std::clamp(glb.CheckCount, 0, TMyGlbParam::MaxCheckPoints);
    Ui([this, reason, current, n] {
        FStopPending = false;
        TMyGlbParam &glb = *FContext.Glb;
        Observer().ShowSpeed(QStringLiteral("0.00"));
        FZeroEnabled = true;
        FProtectHold = std::max(0, Box() ? Box()->FProtectTime : 0) * (1000 / kCheckIdleMs);
        StartIdle();
        if (reason == TCheckStop::Complete) {
            FSpeedButtons = false;
            glb.RecordedCount = n;
            KeepSeries(n);
            Observer().StateChanged();
            Finish();
            return;
        }
        Observer().StateChanged();
        Info(StopText(reason));
        if (!FEndAfterStop)
            return;
        FEndAfterStop = false;
        if (current <= 1) {
            ShowDefaults("%.2f");
            return;
        }
        glb.RecordedCount = current - 1;
        FRows.resize(size_t(current - 1));
        Observer().GridChanged();
        KeepSeries(current - 1);
        Finish();
    });
}

void TCheckRun::EndTick(TCtrlBox &box)
{
    // The unload is over: the line goes back before the idle tick reads.
    if (FTickEnded && !FUi.OnUiThread())
        box.HandLineTo(FUi.UiThread());
    FUi.Flush();
}

void TCheckRun::KeepSeries(int recorded)
{
    const TMyGlbParam &glb = *FContext.Glb;
    TCheckSeries series;
    series.Taken = QDateTime::currentDateTime();
    for (int k = 0; k < recorded && k < TMyGlbParam::MaxCheckPoints; ++k)
        series.Points.push_back({glb.CheckForce[size_t(k)], glb.CheckMeasured[size_t(k)], glb.CheckCode[size_t(k)],
                                 glb.CheckError[size_t(k)]});
    FSeries.push_back(std::move(series));
}

void TCheckRun::Finish()
{
    if (Verification(*FContext.Glb)) {
        TMsgRequest ask;
        ask.text = tr("力值检测结束，是否需要修正标定力值数据");
        ask.caption = DefaultCaption();
        ask.icon = TMsgIcon::Question;
        ask.buttons = TMsgButtons::YesNo;
        ask.defaultNo = true;
        if (Messages().show(ask) != TMsgResult::Yes)
            return;
    }
    Observer().OpenForceCodes();
}

} // namespace kv
