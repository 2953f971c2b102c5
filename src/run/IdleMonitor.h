#pragma once
// TIdleMonitor: the status timer's work between runs. Every 200 ms it shows
// the control mode, force code, valve position and idle force, warns once
// per off-line period and re-initialises a silent box on every tick until it
// answers, runs the idle-force protection, and counts down to the next run
// of a continuous group. It owns the status timer (a loop timer of the
// clock) and works on the user-interface thread.
#include "MessageService.h"
#include "run/RunContext.h"

#include <functional>
#include <memory>

namespace kv {

class TPeriodicTimer;
struct TRunState;

inline constexpr int kStatusTickMs = 200;

class TIdleMonitor {
public:
    // startRun: called when a continuous countdown ends.
    TIdleMonitor(const TRunContext &context, TRunState &state, std::function<void()> startRun);
    ~TIdleMonitor();

    // The status timer (timeStsBar).
    void Start();
    void Stop();
    bool Active() const;

    // One tick; the timer calls it, tests may too.
    void Tick();

private:
    void Watch();
    void Protect(float forceShown, float force);
    void Countdown();
    TMsgResult Show(const QString &text, TMsgIcon icon, TMsgButtons buttons) const;

    const TRunContext &FContext;
    TRunState &FState;
    std::function<void()> FStartRun;
    std::unique_ptr<TPeriodicTimer> FTimer;
    bool FInTick = false;
};

} // namespace kv
