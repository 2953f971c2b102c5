#pragma once
// One clock for every pause and timer of the program. The program runs on
// real time; tests install a virtual clock and run long sequences instantly.
#include "Export.h"
#include <QtGlobal>
#include <atomic>

namespace kv {

class KVPLATFORM_EXPORT TClock {
public:
    virtual ~TClock();
    // Monotonic milliseconds since an arbitrary origin.
    virtual qint64 nowMs() const = 0;
    // Blocks the caller for ms milliseconds (a virtual clock only advances).
    virtual void sleepMs(int ms) = 0;

    // The clock in force; the real clock unless a test installed another.
    static TClock &current();
    // Installs a clock (not owned); nullptr restores the real clock.
    static void install(TClock *clock);
};

class KVPLATFORM_EXPORT TRealClock : public TClock {
public:
    qint64 nowMs() const override;
    void sleepMs(int ms) override;
};

// Time moves only when someone sleeps or a test advances it.
class KVPLATFORM_EXPORT TVirtualClock : public TClock {
public:
    qint64 nowMs() const override { return m_now.load(); }
    void sleepMs(int ms) override { m_now += ms > 0 ? ms : 0; m_slept += ms > 0 ? ms : 0; }
    void advance(qint64 ms) { m_now += ms; }
    qint64 totalSlept() const { return m_slept.load(); }

private:
    std::atomic<qint64> m_now{0};
    std::atomic<qint64> m_slept{0};
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
