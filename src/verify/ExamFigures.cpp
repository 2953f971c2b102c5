#include "verify/ExamFigures.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Sums of float readings leave a trace of rounding; a figure that lies on a
// limit to this margin is taken as on it.
constexpr double LimitMargin = 1e-9;

bool SameCheckpoints(const TCheckSeries &a, const TCheckSeries &b)
{
    if (a.Points.size() != b.Points.size())
        return false;
    for (size_t k = 0; k < a.Points.size(); ++k)
        if (a.Points[k].Force != b.Points[k].Force)
            return false;
    return true;
}

bool Holds(const TExamFigures &f, const TAccuracyClass &c)
{
    return std::all_of(f.Points.begin(), f.Points.end(), [&c](const TExamPoint &p) {
        return std::fabs(p.Error) <= c.Error + LimitMargin && p.Repeat <= c.Repeatability + LimitMargin;
    });
}

} // namespace

TExamFigures ExamFigures(const std::vector<TCheckSeries> &series)
{
    TExamFigures f;
    auto newest = std::find_if(series.rbegin(), series.rend(), [](const TCheckSeries &s) { return !s.Points.empty(); });
    if (newest == series.rend())
        return f;

    // The newest series over the same checkpoints, newest first.
    std::vector<const TCheckSeries *> counted;
    for (auto it = newest; it != series.rend() && int(counted.size()) < RepeatSeries; ++it)
        if (SameCheckpoints(*it, *newest))
            counted.push_back(&*it);
    f.Series = int(counted.size());
    const bool repeat = f.Series >= RepeatSeries;

    for (size_t k = 0; k < newest->Points.size(); ++k) {
        TExamPoint p;
        p.Force = newest->Points[k].Force;
        p.Min = p.Max = counted.front()->Points[k].Measured;
        double sum = 0;
        for (const TCheckSeries *s : counted) {
            const double fi = s->Points[k].Measured;
            sum += fi;
            p.Min = std::min(p.Min, fi);
            p.Max = std::max(p.Max, fi);
        }
        p.Mean = sum / f.Series;
        // A zero checkpoint has no relative error; it counts as none.
        p.Error = p.Force != 0 ? (p.Mean - p.Force) * 100 / p.Force : 0;
        p.HasRepeat = repeat;
        p.Repeat = repeat && p.Force != 0 ? (p.Max - p.Min) * 100 / std::fabs(p.Force) : 0;
        f.Points.push_back(p);
    }

    if (!repeat) {
        f.Verdict = TClassVerdict::TooFewSeries;
        return f;
    }
    f.Verdict = TClassVerdict::NotReached;
    for (const TAccuracyClass &c : AccuracyClasses)
        if (Holds(f, c)) {
            f.Verdict = TClassVerdict::Reached;
            f.Class = c.Class;
            break;
        }
    return f;
}

QString ClassText(double cls) { return QString::number(cls, 'g', 3); }

} // namespace kv
