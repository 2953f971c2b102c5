#include "run/RunJudge.h"

#include "link/CtrlBox.h"
#include "store/Settings.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcJudge, "kv.run.judge")

namespace kv {

float HistorySlope(const THistory &history, int n, float period)
{
    if (n < 2 || period <= 0.0f)
        return 0.0f;
    return (history[1] - history[n]) / (static_cast<float>(n - 1) * period);
}

float DisplaySpeed(const THistory &forces, float rate, float period)
{
    if (std::fabs(rate) < 0.01f)
        return 0.0f;
    const float s14 = HistorySlope(forces, 15, period);
    const float lo = std::min(rate / 2.0f, 2.0f * rate);
    const float hi = std::max(rate / 2.0f, 2.0f * rate);
    if (s14 < lo || s14 > hi)
        return s14;
    const float s29 = HistorySlope(forces, 30, period);
    float r = rate + (s29 - rate) / 5.0f;
    const float a = std::fabs(rate);
    if (std::fabs(r) > 1.07f * a)
        r = 1.07f * rate;
    if (std::fabs(r) < 0.93f * a)
        r = 0.93f * rate;
    return r;
}

TDisplayEvery DisplayIntervals(TGlobalSettings &settings, int viewSpeedTime)
{
    TDisplayEvery every;
    if (settings.RefreshRate == 0)
        settings.RefreshRate = 12;
    // More than 20 refreshes a second would round to "never"; every sample is the most.
    every.Force = int(std::max(1L, std::lround(1.0 / (settings.RefreshRate * 0.1))));
    if (settings.SpeedDisplayMode < 20) {
        if (settings.SpeedDisplayMode == 0)
            settings.SpeedDisplayMode = 1;
        every.Speed = int(std::clamp(std::lround(viewSpeedTime * 0.1), 1L, 255L));
    } else {
        every.Speed = 255;
    }
    return every;
}

namespace {

bool ForceDropped(const TCtrlBox &box, const TRunState &run, float x)
{
    if (box.FJudgeLoadPointType != 0)
        return run.SamplePeak - x > static_cast<float>(box.FBreakValue);
    const int n = box.FdotCount;
    if (n < 1)
        return false;
    int count = 0;
    for (int k = 1; k <= n; ++k) {
        const bool below = box.FJudgeLoadType != 0 ? run.ForceHistory[k] < run.SamplePeak
                                                   : run.ForceHistory[k] < run.ForceHistory[k + 1];
        if (below)
            ++count;
    }
    return count == n;
}

bool SpeedDropped(const TCtrlBox &box, const TRunState &run, float setRate, float period)
{
    const int n = box.FJudgeSpeedTime;
    if (n < 2)
        return false; // one sample has no slope
    const float v = HistorySlope(run.ForceHistory, n, period);
    qCDebug(lcJudge, "Speed = %.2f", static_cast<double>(v));
    return v <= static_cast<float>(box.FJudgeSpeedK) * setRate / 100.0f;
}

bool ValveSurged(const TCtrlBox &box, const TRunState &run, float period)
{
    const int n = box.FJudgeFaTime;
    if (n < 2)
        return false;
    const float span = static_cast<float>(n - 1) * period;
    const float current = (run.ValveHistory[1] - run.ValveHistory[n]) / span;
    const float last = (run.ValveHistory[3] - run.ValveHistory[n + 3]) / span *
                       (static_cast<float>(box.FJudgeFaK) / 100.0f + 1.0f);
    qCDebug(lcJudge, "CurrFa = %.1f, LastFa = %.1f", static_cast<double>(current), static_cast<double>(last));
    return current > last;
}

} // namespace

TJudgement JudgeBreak(const TCtrlBox &box, const TRunState &run, float x, float setRate, float period)
{
    bool broken = false;
    if (box.FJudgeFlags.Force)
        broken = ForceDropped(box, run, x);
    if (!broken && box.FJudgeFlags.Speed)
        broken = SpeedDropped(box, run, setRate, period);
    if (!broken && box.FJudgeFlags.Valve)
        broken = ValveSurged(box, run, period);
    if (static_cast<float>(box.FStartJudge) > run.SamplePeak)
        broken = false;

    TJudgement j;
    if (broken || run.ManualBreak.load()) {
        j.State = jsBreak;
        return j;
    }
    j.Speed = x < 10.0f ? setRate : DisplaySpeed(run.ForceHistory, setRate, period);
    return j;
}

bool FrameShowsBreak(const TCtrlBox &box, const TRunState &run, float x)
{
    return box.FJudgeFlags.Force && box.FJudgeLoadPointType != 0 &&
           static_cast<float>(box.FStartJudge) <= run.PeakForce &&
           run.PeakForce - x > static_cast<float>(box.FBreakValue);
}

TJudgement JudgeHold(TRunState &run, float x, float period)
{
    if (!run.HoldReached && x > run.HoldForce - 1.0f) {
        run.HoldReached = true;
        run.HoldStartTick = run.ControlTicks;
    }
    TJudgement j;
    if (run.HoldReached) {
        j.Speed = 0.0f;
        const float held = static_cast<float>(run.ControlTicks - run.HoldStartTick) * period;
        j.State = held > static_cast<float>(run.HoldTime) ? jsHoldOver : jsContinue;
        return j;
    }
    j.Speed = DisplaySpeed(run.ForceHistory, run.HoldRate, period);
    return j;
}

} // namespace kv
