#pragma once
// The judgement of one control sample: break detection (force drop, speed
// drop, valve surge, start-judge force, manual break), the displayed loading
// speed, and the constant-load hold. Plain functions over the run's histories
// and the driver's judgement parameters.
#include "run/RunState.h"

namespace kv {

class TCtrlBox;
struct TGlobalSettings;

// What a judged sample leads to.
enum TJudgeState : int {
    jsContinue = 1, // load on (the speed is shown; too fast is a safety check)
    jsBreak = 2,    // the specimen broke
    jsHoldOver = 8, // the constant load was held its time
};

struct TJudgement {
    float Speed = 0.0f;  // N/s
    int State = jsContinue;
};

// Slope of a history over n samples: (h[1] - h[n]) / ((n - 1) * period).
// Windows longer than the history read its oldest entry; a window of fewer
// than two samples has no slope (0).
float HistorySlope(const THistory &history, int n, float period);

// The loading speed shown for a set rate (N/s): the raw 14-interval slope
// when it is outside half to twice the rate, else the 29-interval slope
// pulled toward the rate and held within 93 %..107 % of it.
float DisplaySpeed(const THistory &forces, float rate, float period);

// How often a run refreshes its displays, in 100 ms samples: the force every
// round(10 / refresh rate) samples (a rate of 0 reads as 12), the loading
// speed every round(speed-display period / 10) samples, or every 255 when
// the speed display mode is 20 or more. Zero bytes of the settings are
// replaced as the run reads them.
struct TDisplayEvery {
    int Force = 1;
    int Speed = 1;
};
TDisplayEvery DisplayIntervals(TGlobalSettings &settings, int viewSpeedTime);

// Break judgement for force x (N) against the driver's criteria; reads
// SamplePeak, ManualBreak and both histories of the run. setRate is the
// test's FSpeed (N/s).
TJudgement JudgeBreak(const TCtrlBox &box, const TRunState &run, float x, float setRate, float period);

// The one-point force-drop criterion on a single status frame of force x
// (N): on, the peak past the start-judge force, and x more than the break
// value below the peak. Checked on every frame between the samples.
bool FrameShowsBreak(const TCtrlBox &box, const TRunState &run, float x);

// Constant-load judgement: marks when HoldForce is first reached and ends
// the hold after HoldTime seconds.
TJudgement JudgeHold(TRunState &run, float x, float period);

} // namespace kv
