#pragma once
// What one verification or calibration run took: at each checkpoint the
// force the reference showed (the checkpoint), the force the machine
// measured, the box's force code and the relative error. The runs of one
// window session are kept in order, so the report can judge repeatability.
#include <QDateTime>
#include <vector>

namespace kv {

struct TCheckPoint {
    float Force = 0;    // checkpoint C[k], N
    float Measured = 0; // M[k], N
    int Code = 0;       // Q[k]
    float Error = 0;    // E[k] = (M - C) / C x 100, %
};

struct TCheckSeries {
    QDateTime Taken;                 // when the run ended
    std::vector<TCheckPoint> Points; // the points taken, in checkpoint order
};

} // namespace kv
