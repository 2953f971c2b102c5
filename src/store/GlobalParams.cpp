#include "store/GlobalParams.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kv {

void THistory::Push(float value)
{
    for (int i = Size - 1; i > 0; --i)
        m_v[i] = m_v[i - 1];
    m_v[0] = value;
}

TMyGlbParam::TMyGlbParam(const QString &programDir)
    : OutFileDir(programDir + QStringLiteral("/OutFile"))
{
}

void TMyGlbParam::ResetRunState()
{
    PeakForce = 0.0f;
    WaitTicks = 0;
    ControlTicks = 0;
    ForceHistory.Clear();
    ValveHistory.Clear();
    DisplayEvery = 0;
    SpeedEvery = 0;
    ValveStart = 0;
    DisplayRate = 0.0f;
    AutoRunSeconds = 0;
    HoldForce = 0.0f;
    HoldTime = 0;
    HoldRate = 0.0f;
    HoldReached = false;
    HoldStartTick = 0;
}

} // namespace kv
