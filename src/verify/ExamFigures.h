#pragma once
// The figures of a force verification by the reference-force method: the
// reference instrument is set to each checkpoint force F and the machine's
// indicated force Fi is read. Per checkpoint the relative indication error
// q = (mean Fi - F) / F x 100 and, from three series over the same
// checkpoints, the relative repeatability error b = (Fi max - Fi min) / F x
// 100; then the best accuracy class whose limits hold at every checkpoint.
// Reversibility, zero and resolution are not measured by this machine.
#include "verify/CheckSeries.h"

#include <QString>
#include <vector>

namespace kv {

// One accuracy class and its limits (%): |q| <= Error, b <= Repeatability.
struct TAccuracyClass {
    double Class;
    double Error;
    double Repeatability;
};
// Best first.
inline constexpr TAccuracyClass AccuracyClasses[] = {
    {0.5, 0.5, 0.5},
    {1.0, 1.0, 1.0},
    {2.0, 2.0, 2.0},
    {3.0, 3.0, 3.0},
};
// Series a repeatability error needs.
inline constexpr int RepeatSeries = 3;

struct TExamPoint {
    double Force = 0;     // F, N
    double Mean = 0;      // mean Fi over the series counted, N
    double Min = 0;       // smallest and largest Fi, N
    double Max = 0;
    double Error = 0;     // q, %
    bool HasRepeat = false;
    double Repeat = 0;    // b, % (when HasRepeat)
};

// Why a class is or is not given.
enum class TClassVerdict {
    NoData,      // no series with points
    TooFewSeries,// fewer than three series over the same checkpoints
    Reached,     // Class holds
    NotReached,  // even class 3 fails
};

struct TExamFigures {
    std::vector<TExamPoint> Points; // the checkpoints of the newest series
    int Series = 0;                 // series counted (at most three)
    TClassVerdict Verdict = TClassVerdict::NoData;
    double Class = 0;               // when Reached
};

// series: the runs of one session, oldest first. The newest run with points
// names the checkpoints; the series over exactly those checkpoints count,
// the newest three of them at most.
TExamFigures ExamFigures(const std::vector<TCheckSeries> &series);

// The class number as printed: "0.5", "1", "2", "3".
QString ClassText(double cls);

} // namespace kv
