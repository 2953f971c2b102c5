#include "Clock.h"

#include <QElapsedTimer>
#include <QThread>

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

} // namespace kv
