#pragma once
// One clock for every pause and timer of the program. The program runs on
// real time; tests install a virtual clock and run long sequences instantly.
#include "Export.h"
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QThread;

namespace kv {

// A timer that calls its tick every period on the grid start + k * period.
// A tick that runs past one or more grid points makes the timer skip them
// (counted in Skipped) instead of queueing late ticks.
class KVPLATFORM_EXPORT TPeriodicTimer {
public:
    using TTick = std::function<void()>;
    virtual ~TPeriodicTimer();
    // The first tick comes one period after Start.
    virtual void Start() = 0;
    // No tick begins after Stop. Called from inside a tick it only marks the
    // timer stopped; from another thread it also waits for a running tick.
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
    // The thread the ticks run on; it exists from construction, so objects
    // can be handed to it before Start.
    virtual QThread *TickThread() const = 0;
    qint64 Skipped() const { return m_skipped.load(); }
    qint64 Ticks() const { return m_ticks.load(); }
    // Runs on the tick thread when the timer ends there (set before Start).
    void SetFinish(TTick finish) { m_finish = std::move(finish); }

protected:
    TTick m_finish;
    std::atomic<qint64> m_skipped{0};
    std::atomic<qint64> m_ticks{0};
};

class KVPLATFORM_EXPORT TClock {
public:
    virtual ~TClock();
    // Monotonic milliseconds since an arbitrary origin.
    virtual qint64 nowMs() const = 0;
    // Blocks the caller for ms milliseconds (a virtual clock only advances).
    virtual void sleepMs(int ms) = 0;

    // A periodic timer of this clock (not started).
    virtual std::unique_ptr<TPeriodicTimer> createPeriodicTimer(int periodMs, TPeriodicTimer::TTick tick) = 0;
    // A periodic timer whose ticks run on the creating thread's event loop,
    // between its other events (the status timer of the main window).
    virtual std::unique_ptr<TPeriodicTimer> createLoopTimer(int periodMs, TPeriodicTimer::TTick tick) = 0;

    // The clock in force; the real clock unless a test installed another.
    static TClock &current();
    // Installs a clock (not owned); nullptr restores the real clock.
    static void install(TClock *clock);
};

class KVPLATFORM_EXPORT TRealClock : public TClock {
public:
    qint64 nowMs() const override;
    void sleepMs(int ms) override;
    // Ticks on a thread of their own, against absolute deadlines.
    std::unique_ptr<TPeriodicTimer> createPeriodicTimer(int periodMs, TPeriodicTimer::TTick tick) override;
    std::unique_ptr<TPeriodicTimer> createLoopTimer(int periodMs, TPeriodicTimer::TTick tick) override;
};

class TVirtualTimer;

// Time moves only when someone sleeps or a test advances it. Periodic timers
// tick on the thread that calls advance, in deadline order; a sleep inside a
// tick moves time on, and grid points it passes over are skipped.
class KVPLATFORM_EXPORT TVirtualClock : public TClock {
public:
    ~TVirtualClock() override;
    qint64 nowMs() const override { return m_now.load(); }
    void sleepMs(int ms) override { m_now += ms > 0 ? ms : 0; m_slept += ms > 0 ? ms : 0; }
    void advance(qint64 ms);
    qint64 totalSlept() const { return m_slept.load(); }
    std::unique_ptr<TPeriodicTimer> createPeriodicTimer(int periodMs, TPeriodicTimer::TTick tick) override;
    // Virtual time has one thread: loop timers tick in advance() like the others.
    std::unique_ptr<TPeriodicTimer> createLoopTimer(int periodMs, TPeriodicTimer::TTick tick) override
    {
        return createPeriodicTimer(periodMs, std::move(tick));
    }

private:
    friend class TVirtualTimer;
    void remove(TVirtualTimer *timer);

    std::atomic<qint64> m_now{0};
    std::atomic<qint64> m_slept{0};
    std::mutex m_lock;
    std::vector<TVirtualTimer *> m_timers;
};

// Installs a clock for the lifetime of the guard (tests).
class KVPLATFORM_EXPORT TClockGuard {
public:
    explicit TClockGuard(TClock *clock) { TClock::install(clock); }
    ~TClockGuard() { TClock::install(nullptr); }
    TClockGuard(const TClockGuard &) = delete;
    TClockGuard &operator=(const TClockGuard &) = delete;
};

// Shorthand for the pauses the controller box needs between commands.
inline void Sleep(int ms) { TClock::current().sleepMs(ms); }

} // namespace kv
