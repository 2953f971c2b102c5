#include "Clock.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>

namespace kv {

namespace {
TRealClock g_realClock;
std::atomic<TClock *> g_clock{nullptr};

QElapsedTimer &origin()
{
    static QElapsedTimer t = [] { QElapsedTimer e; e.start(); return e; }();
    return t;
}
} // namespace

TClock::~TClock() = default;

TClock &TClock::current()
{
    TClock *c = g_clock.load();
    return c ? *c : g_realClock;
}

void TClock::install(TClock *clock) { g_clock.store(clock); }

qint64 TRealClock::nowMs() const { return origin().elapsed(); }

void TRealClock::sleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

TPeriodicTimer::~TPeriodicTimer() = default;

namespace {

// Real time: a thread sleeping to absolute deadlines on the steady clock, so
// the period does not drift with the time the ticks take.
class TThreadTimer final : public TPeriodicTimer {
public:
    TThreadTimer(int periodMs, TTick tick) : m_period(std::chrono::milliseconds(periodMs)), m_tick(std::move(tick))
    {
        m_thread.reset(QThread::create([this] {
            Loop();
            if (m_finish)
                m_finish();
        }));
        m_thread->setObjectName(QStringLiteral("kv periodic timer"));
    }
    ~TThreadTimer() override
    {
        Stop();
        if (m_thread->isRunning() && QThread::currentThread() != m_thread.get())
            m_thread->wait();
    }

    void Start() override
    {
        if (m_thread->isRunning() || m_thread->isFinished())
            return;
        m_stop = false;
        m_active = true;
        m_thread->start(QThread::TimeCriticalPriority);
    }
    void Stop() override
    {
        {
            std::lock_guard<std::mutex> g(m_mutex);
            m_stop = true;
            m_active = false;
        }
        m_wake.notify_all();
        if (QThread::currentThread() != m_thread.get() && m_thread->isRunning())
            m_thread->wait();
    }
    bool Active() const override { return m_active.load(); }
    QThread *TickThread() const override { return m_thread.get(); }

private:
    void Loop()
    {
        using clock = std::chrono::steady_clock;
        auto deadline = clock::now() + m_period;
        std::unique_lock<std::mutex> g(m_mutex);
        for (;;) {
            if (m_wake.wait_until(g, deadline, [this] { return m_stop; }))
                return;
            g.unlock();
            ++m_ticks;
            m_tick();
            g.lock();
            if (m_stop)
                return;
            deadline += m_period;
            const auto now = clock::now();
            while (deadline <= now) {
                deadline += m_period;
                ++m_skipped;
            }
        }
    }

    const std::chrono::milliseconds m_period;
    TTick m_tick;
    std::unique_ptr<QThread> m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::atomic<bool> m_active{false};
};

} // namespace

std::unique_ptr<TPeriodicTimer> TRealClock::createPeriodicTimer(int periodMs, TPeriodicTimer::TTick tick)
{
    return std::make_unique<TThreadTimer>(periodMs > 0 ? periodMs : 1, std::move(tick));
}

namespace {

// Real time on an event loop: a QTimer of the creating thread.
class TLoopTimer final : public TPeriodicTimer {
public:
    TLoopTimer(int periodMs, TTick tick) : m_tick(std::move(tick))
    {
        m_timer.setInterval(periodMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            ++m_ticks;
            m_tick();
        });
    }
    void Start() override { m_timer.start(); }
    void Stop() override { m_timer.stop(); }
    bool Active() const override { return m_timer.isActive(); }
    QThread *TickThread() const override { return m_timer.thread(); }

private:
    TTick m_tick;
    QTimer m_timer;
};

} // namespace

std::unique_ptr<TPeriodicTimer> TRealClock::createLoopTimer(int periodMs, TPeriodicTimer::TTick tick)
{
    return std::make_unique<TLoopTimer>(periodMs > 0 ? periodMs : 1, std::move(tick));
}

class TVirtualTimer final : public TPeriodicTimer {
public:
    TVirtualTimer(TVirtualClock *clock, int periodMs, TTick tick)
        : Clock(clock), Period(periodMs > 0 ? periodMs : 1), Tick(std::move(tick))
    {
    }
    ~TVirtualTimer() override
    {
        if (Clock)
            Clock->remove(this);
    }
    void Start() override
    {
        if (!Clock || Running)
            return;
        Deadline = Clock->nowMs() + Period;
        Running = true;
    }
    void Stop() override { Running = false; }
    bool Active() const override { return Running; }
    QThread *TickThread() const override { return QThread::currentThread(); }

    TVirtualClock *Clock;
    const qint64 Period;
    TTick Tick;
    qint64 Deadline = 0;
    bool Running = false;
    friend class TVirtualClock;
};

TVirtualClock::~TVirtualClock()
{
    std::lock_guard<std::mutex> g(m_lock);
    for (TVirtualTimer *t : m_timers)
        t->Clock = nullptr;
}

std::unique_ptr<TPeriodicTimer> TVirtualClock::createPeriodicTimer(int periodMs, TPeriodicTimer::TTick tick)
{
    auto timer = std::make_unique<TVirtualTimer>(this, periodMs, std::move(tick));
    std::lock_guard<std::mutex> g(m_lock);
    m_timers.push_back(timer.get());
    return timer;
}

void TVirtualClock::remove(TVirtualTimer *timer)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_timers.erase(std::remove(m_timers.begin(), m_timers.end(), timer), m_timers.end());
}

void TVirtualClock::advance(qint64 ms)
{
    const qint64 target = m_now.load() + (ms > 0 ? ms : 0);
    for (;;) {
        TVirtualTimer *next = nullptr;
        {
            std::lock_guard<std::mutex> g(m_lock);
            for (TVirtualTimer *t : m_timers)
                if (t->Running && t->Deadline <= target && (!next || t->Deadline < next->Deadline))
                    next = t;
        }
        if (!next)
            break;
        if (m_now.load() < next->Deadline)
            m_now = next->Deadline;
        next->Deadline += next->Period;
        ++next->m_ticks;
        next->Tick();
        // The timer may have been stopped by its tick, but it is alive: only
        // its owner destroys it, never from inside the tick.
        while (next->Running && next->Deadline <= m_now.load()) {
            next->Deadline += next->Period;
            ++next->m_skipped;
        }
    }
    if (m_now.load() < target)
        m_now = target;
}

} // namespace kv
