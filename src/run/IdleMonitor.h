#pragma once
// TIdleMonitor: the status timer's work between runs. It shows the control
// mode, force code, valve position and idle force, warns once per off-line
// period and re-initialises the box on every tick until it answers, runs the
// idle-force protection, and counts down to the next run of a continuous
// group. Runs on the user-interface thread.
#include <functional>

namespace kv {

class TCtrlBox;
class TfrmMeasure;

inline constexpr int kStatusTickMs = 200;

class TIdleMonitor {
public:
    // startRun: called when a continuous countdown ends.
    TIdleMonitor(TfrmMeasure &window, std::function<TCtrlBox *()> box, std::function<double()> area,
                 std::function<void()> startRun);
    void Tick();

private:
    void Protect(float forceDisplay);
    void Countdown();
    void Reinitialise(TCtrlBox &box);

    TfrmMeasure &W;
    std::function<TCtrlBox *()> FBox;
    std::function<double()> FArea;
    std::function<void()> FStartRun;
    bool FInTick = false;
};

} // namespace kv
