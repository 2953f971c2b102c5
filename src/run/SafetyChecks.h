#pragma once
// Every judgement that protects the machine and the specimen, in one list:
// what it looks at, at which point of a run or of the idle time, and how it
// ends the run. The run sequence and the idle monitor ask the list at each
// stage; a new protection is one more row and one more predicate.
#include "run/RunState.h"

#include <QString>
#include <vector>

namespace kv {

class TCtrlBox;

enum class TSafetyCheck {
    LinkLost,      // the box stopped answering during a run
    StreamRestarted, // the box streams again only since it was told to during the run: it lost the run (a reset)
    Overload,      // the force is above 1.02 × the maximum force
    SwappedSensor, // the other channel's code is above its threshold
    CannotLoad,    // the start force did not come within the waiting time
    InitialForce,  // the start force was there within the first second
    TooFast,       // the loading speed is above 60 kN/s
    Stalled,       // in the control stage the force stayed below the start force for the waiting time
    IdleForce,     // between runs the force rose above the protection force
};

// When a check is looked at.
enum class TCheckStage {
    BeforeSample, // every sampling step, before the force is read
    EverySample,  // every sampling step, on the force read
    Waiting,      // while the force stays below the start force
    StartForce,   // the sample that first reaches the start force
    Control,      // every sample of the control stage
    Judgement,    // every judged sample of a run to break
    Idle,         // every status tick between runs, protection armed
};

// How a check that fires ends a run.
enum class TCheckEnd {
    StopAndUnload,  // the stop button's steps, the unload, the message
    CloseAndUnload, // the group ends, the unload, the message
    Protect,        // the box protects itself and the operator decides
};

struct TSafetyRule {
    TSafetyCheck Check;
    TCheckStage Stage;
    TCheckEnd End;
};

// What the checks look at.
struct TCheckInput {
    const TCtrlBox &Box;
    const TRunState &State;
    float Force = 0.0f;      // N, of the sample or the idle reading
    double ForceShown = 0.0; // the same in display units
    float Speed = 0.0f;      // N/s, of the judgement
};

// The list, in the order the checks of one stage are asked.
const std::vector<TSafetyRule> &SafetyRules();
// The first rule of stage whose check fires, with the message the operator
// sees; null when none fires.
const TSafetyRule *FirstFiring(TCheckStage stage, const TCheckInput &in, QString &message);

} // namespace kv
