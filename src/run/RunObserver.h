#pragma once
// What the run sequence and the idle monitor report. A window implements
// the observer and shows it; every report arrives on the user-interface
// thread, in the order the run made it (the run queues the reports of a
// sampling step as one batch).
#include "run/RunState.h"

#include <QString>

namespace kv {

// The numeric displays of the main window.
enum class TRunDisplay { Force, PeakForce, Stress, PeakStress, Speed, Time };
// The panels of the main window's status bar.
enum class TStatusPanel { Hint = 0, Status = 1, Link = 2, Control = 3, ForceCode = 4, Valve = 5 };
// The axes of the load-time curve.
enum class TRunAxis { Time, Force };

class TRunObserver {
public:
    virtual ~TRunObserver() = default;

    // A display shows value (display units: force, N/mm², speed) in its format.
    virtual void ShowValue(TRunDisplay display, double value) = 0;
    // A display shows a text as it stands.
    virtual void ShowText(TRunDisplay display, const QString &text) = 0;
    virtual void PanelText(TStatusPanel panel, const QString &text) = 0;

    // The curve: emptied with both axes at their start, a point (s, display
    // units), an axis grown to a new maximum.
    virtual void ChartReset(float forceMax, float timeMax) = 0;
    virtual void CurvePoint(float t, float force) = 0;
    virtual void AxisGrown(TRunAxis axis, float max) = 0;
    // The maximum of a broken specimen's curve (s, display units).
    virtual void PeakMark(float t, double force) = 0;

    // A run is starting: the main window takes the focus.
    virtual void RunStarting() = 0;
    // Running, group, phase or the demonstration buttons changed, or the link
    // may have: the commands follow.
    virtual void StateChanged() = 0;
    // A run of this mode ended with its unload.
    virtual void Unloaded(TRunMode mode) = 0;
    // One tick of the status timer is over.
    virtual void StatusTicked() = 0;
};

} // namespace kv
