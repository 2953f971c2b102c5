#include "verify/CodeTable.h"

#include "link/CtrlBox.h"
#include "link/ParamTable.h"
#include "store/GlobalParams.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv {

namespace {

bool FitsInt(double x)
{
    return std::isfinite(x) && x >= double(std::numeric_limits<int>::min()) &&
           x <= double(std::numeric_limits<int>::max());
}

bool Integer(const QString &text, qint64 &value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok;
}

// The family's row of calibration force 1.
const TParamDef *FirstForceRow(const TBoxModel &model)
{
    for (const TParamDef &def : model.Family.ParamTable())
        if (def.Points == &TCtrlBox::FLoadValue && def.Point == 0)
            return &def;
    return nullptr;
}

} // namespace

TCodeTable TCodeTable::FromPoints(const std::vector<TCodePoint> &points)
{
    TCodeTable t;
    t.FCount = int(std::min<size_t>(points.size(), MaxPoints));
    for (int k = 1; k <= t.FCount; ++k) {
        t.FForce[size_t(k)] = points[size_t(k - 1)].Force;
        t.FCode[size_t(k)] = points[size_t(k - 1)].Code;
    }
    const int n = t.FCount;
    if (n >= 1) {
        // With one point the segment from the origin extends.
        t.FForce[size_t(n + 1)] = Extrapolated(t.FForce[size_t(n - 1)], t.FForce[size_t(n)]);
        t.FCode[size_t(n + 1)] = Extrapolated(t.FCode[size_t(n - 1)], t.FCode[size_t(n)]);
    }
    return t;
}

int Extrapolated(int before, int last)
{
    const qint64 v = 2 * qint64(last) - qint64(before);
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int StoredPointCount(const std::array<int, 12> &force, const std::array<int, 12> &code)
{
    int last = 0;
    for (int p = 1; p < 12; ++p)
        if (force[size_t(p)] != 0 || code[size_t(p)] != 0)
            last = p;
    const auto extra = [&](const std::array<int, 12> &v) {
        return v[size_t(last)] == 2 * v[size_t(last - 1)] - v[size_t(last - 2)];
    };
    if (last >= 2 && extra(force) && extra(code))
        return last - 1;
    return last;
}

TCodeTable TCodeTable::FromBox(const TCtrlBox &box)
{
    TCodeTable t;
    for (int p = 0; p < BoxEntries; ++p) {
        t.FForce[size_t(p)] = box.FLoadValue[size_t(p)];
        t.FCode[size_t(p)] = box.FLoadCode[size_t(p)];
    }
    t.FCount = StoredPointCount(box.FLoadValue, box.FLoadCode);
    return t;
}

TCodeTable TCodeTable::FromStore(const TMyGlbParam &glb)
{
    TCodeTable t;
    t.FCount = std::clamp(glb.CalCount, 0, MaxPoints);
    t.FForce = glb.CalForce;
    t.FCode = glb.CalCode;
    return t;
}

void TCodeTable::ToStore(TMyGlbParam &glb) const
{
    glb.CalForce = FForce;
    glb.CalCode = FCode;
    glb.CalCount = FCount;
}

void TCodeTable::ToBox(TCtrlBox &box) const
{
    for (int p = 0; p < BoxEntries; ++p) {
        box.FLoadValue[size_t(p)] = FForce[size_t(p)];
        box.FLoadCode[size_t(p)] = FCode[size_t(p)];
    }
}

TCodePoint TCodeTable::Entry(int p) const
{
    if (p < 0 || p >= Entries)
        return {};
    return {FForce[size_t(p)], FCode[size_t(p)]};
}

std::vector<TCodePoint> TCodeTable::Points() const
{
    std::vector<TCodePoint> points;
    for (int k = 1; k <= FCount; ++k)
        points.push_back(Entry(k));
    return points;
}

bool TCodeTable::SameInBox(const TCodeTable &other) const
{
    for (int p = 0; p < BoxEntries; ++p)
        if (!(Entry(p) == other.Entry(p)))
            return false;
    return true;
}

bool TCodeTable::SameInBox(const TCtrlBox &box) const
{
    for (int p = 0; p < BoxEntries; ++p)
        if (FForce[size_t(p)] != box.FLoadValue[size_t(p)] || FCode[size_t(p)] != box.FLoadCode[size_t(p)])
            return false;
    return true;
}

double CalibrationBoxScale(const TBoxModel &model)
{
    const TParamDef *def = FirstForceRow(model);
    return def ? def->BoxScale : 1.0;
}

qint64 CalibrationBoxWord(double force, double scale)
{
    // A fractional scale divides exactly (0.001: by 1000), halves to even.
    const double v = scale > 0 && scale < 1 ? force / std::round(1.0 / scale) : force * scale;
    const double r = std::nearbyint(v);
    return std::isfinite(r) && std::fabs(r) < 9e18 ? qint64(r) : std::numeric_limits<qint64>::max();
}

int CalibrationForceOfWord(qint64 word, double scale)
{
    const double v = scale > 0 && scale < 1 ? double(word) * std::round(1.0 / scale) : double(word) / scale;
    const double r = std::nearbyint(v);
    return FitsInt(r) ? int(r) : 0;
}

QStringList CalibrationItemNames(const TBoxModel &model)
{
    QStringList names;
    for (int k = 0; k < 12; ++k)
        for (auto column : {&TCtrlBox::FLoadValue, &TCtrlBox::FLoadCode})
            for (const TParamDef &def : model.Family.ParamTable())
                if (def.Points == column && def.Point == k)
                    names << QString::fromLatin1(def.Name);
    return names;
}

TCodeGridCheck::TCodeGridCheck(double factor, int maxLoad, const TBoxModel &model)
    : FFactor(factor), FMaxLoad(maxLoad), FBoxScale(CalibrationBoxScale(model))
{
}

QString TCodeGridCheck::Validate(const std::vector<TCodeRowText> &rows, std::vector<TCodePoint> &points) const
{
    points.clear();
    const QString forceError = tr("力值输入出错");
    const QString codeError = tr("力码输入出错");
    if (rows.empty())
        return forceError;
    for (const TCodeRowText &row : rows) {
        qint64 force = 0, code = 0;
        if (!Integer(row.Force, force) || !Integer(row.Code, code))
            return forceError;
        const double newtons = std::nearbyint(double(force) * FFactor);
        if (!FitsInt(newtons) || !FitsInt(double(code)))
            return forceError;
        // The force as the box can keep it.
        points.push_back({CalibrationForceOfWord(CalibrationBoxWord(newtons, FBoxScale), FBoxScale), int(code)});
    }
    if (points.front().Force < 0 || points.front().Code < 0)
        return codeError;
    if (points.back().Force > FMaxLoad)
        return forceError;
    for (size_t k = 1; k < points.size(); ++k)
        if (points[k].Force < points[k - 1].Force)
            return tr("第%1点的力值小于第%2点的力值,力值不能减小").arg(k + 1).arg(k);
    for (size_t k = 1; k < points.size(); ++k)
        if (points[k].Code < points[k - 1].Code)
            return tr("第%1点的力码小于第%2点的力码,力码不能减小").arg(k + 1).arg(k);
    // The extra point must be a number the table can hold, and every force
    // the box is sent, the extra point too, must fit its word.
    const size_t n = points.size();
    const TCodePoint before = n >= 2 ? points[n - 2] : TCodePoint();
    if (!FitsInt(2 * double(points.back().Force) - before.Force))
        return forceError;
    if (!FitsInt(2 * double(points.back().Code) - before.Code))
        return codeError;
    const TCodeTable table = TCodeTable::FromPoints(points);
    for (int p = 0; p < TCodeTable::BoxEntries; ++p) {
        const qint64 word = CalibrationBoxWord(table.Entry(p).Force, FBoxScale);
        if (word < 0 || word > 0xFFFF)
            return forceError;
    }
    return QString();
}

} // namespace kv
