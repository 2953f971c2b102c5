#include "verify/CheckParams.h"

#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "store/GlobalParams.h"
#include "Clock.h"
#include "SqlText.h"

#include <cmath>
#include <iterator>

namespace kv {

namespace {

// One row per side: SavNum rows, offered speeds, advance factor.
const TCheckFamily kFamilies[] = {
    {false, TSavNum::FastSpeed, TSavNum::SlowSpeed, TSavNum::SlowAdvance, "1.0|1.5|2.0|2.4|3.0|5.0|8.0",
     "0.1|0.2|0.3|0.5|0.8|1.0", 2},
    {true, TSavNum::FastSpeedFlexural, TSavNum::SlowSpeedFlexural, TSavNum::SlowAdvanceFlexural, "30|50|80|100|150",
     "20|50|80", 4},
};

// Slack for bounds that are products of decimal fractions.
bool AtMost(double x, double bound) { return x <= bound + 1e-9 * std::max(1.0, std::fabs(bound)); }

bool Number(const QString &text, double &value)
{
    bool ok = false;
    value = ParseNumber(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

qint64 RoundEven(double x) { return qint64(std::nearbyint(x)); }

} // namespace

const TCheckFamily &CheckFamily(const TBoxModel &model)
{
    for (const TCheckFamily &f : kFamilies)
        if (f.Flexural == model.FlexuralSide())
            return f;
    return kFamilies[0];
}

QString TCheckParams::DefaultAdvance(const QString &fast, const QString &slow) const
{
    double f = 0, s = 0;
    if (!Number(fast, f) || !Number(slow, s))
        return QString();
    return FixedText(std::max(10 * s, FFamily.FastAdvanceFactor * f), 1);
}

QString TCheckParams::Validate(const TCheckEntry &entry, TCheckValues &values) const
{
    values = TCheckValues();
    const QString pointError = tr("检测点输入有误");
    double last = 0;
    for (const QString &cell : entry.Points) {
        bool ok = false;
        const qint64 v = cell.trimmed().toLongLong(&ok);
        if (!ok)
            return pointError;
        const double internal = double(v) * FCoe;
        if (RoundEven(internal) < 1 || (!values.Points.empty() && !(internal > last)) || internal > FMaxLoad)
            return pointError;
        values.Points.push_back(float(internal));
        last = internal;
    }
    if (values.Points.empty())
        return pointError;

    double fast = 0, slow = 0;
    if (!Number(entry.Fast, fast) || !Number(entry.Slow, slow) || !(slow < fast) || !AtMost(0.1, slow))
        return tr("速度输入有误");

    values.Automatic = entry.Automatic;
    if (entry.Automatic) {
        double a = 0;
        if (!Number(entry.Advance, a))
            return tr("慢速提前量错误");
        if (!AtMost(slow, a) || !AtMost(a, 8 * fast))
            return tr("慢速提前量范围出错");
        values.Advance = float(a * FCoe);
    }
    values.Fast = float(fast * FCoe);
    values.Slow = float(slow * FCoe);
    return QString();
}

TCheckSettings TCheckParams::Load(TZovData &data) const
{
    TCheckSettings s;
    if (!data.ReadNumSingle(int(FFamily.FastSpeed), s.Fast))
        s.Fast = 0;
    if (!data.ReadNumSingle(int(FFamily.SlowSpeed), s.Slow))
        s.Slow = 0;
    s.HasAdvance = data.ReadNumSingle(int(FFamily.Advance), s.Advance);
    // A speed below the smallest the dialog accepts (the installed 2.4 and
    // 0.3 are display units, not N/s) is offered as that choice of the list,
    // else as the list's first, so OK does not fail on a value nobody set.
    auto usable = [this](float stored, const QStringList &choices) {
        if (stored / FCoe >= 0.1 - 1e-9)
            return stored;
        const QString asShown = QString::number(double(stored), 'f', 1);
        return float((choices.contains(asShown) ? asShown : choices.first()).toDouble() * FCoe);
    };
    s.Fast = usable(s.Fast, FFamily.FastList());
    s.Slow = usable(s.Slow, FFamily.SlowList());
    return s;
}

TCheckApply TCheckParams::Apply(const TCheckValues &values, TCtrlBox &box, TZovData *data, TMyGlbParam &glb,
                                bool &confirmed) const
{
    glb.CheckCount = int(std::min<size_t>(values.Points.size(), glb.CheckForce.size()));
    for (int k = 0; k < glb.CheckCount; ++k)
        glb.CheckForce[size_t(k)] = values.Points[size_t(k)];
    glb.Settings.AutoFastSlow = values.Automatic ? 1 : 0;
    if (values.Automatic)
        glb.SlowAdvance = values.Advance;
    glb.FastLoadSpeed = glb.Settings.FastSpeed = values.Fast;
    glb.SlowLoadSpeed = glb.Settings.SlowSpeed = values.Slow;

    if (!box.SetFastSpeed(int(RoundEven(values.Fast))))
        return TCheckApply::SpeedRefused;
    Sleep(100);
    if (!box.SetSlowSpeed(int(RoundEven(values.Slow))))
        return TCheckApply::SpeedRefused;
    Sleep(100);
    confirmed = true;

    bool stored = data != nullptr;
    if (stored) {
        // The switching choice is kept at once too, not only at exit.
        stored = data->WriteNumByte(int(TSavNum::AutoFastSlow), glb.Settings.AutoFastSlow);
        if (values.Automatic)
            stored = data->WriteNumSingle(int(FFamily.Advance), values.Advance) && stored;
        stored = data->WriteNumSingle(int(FFamily.FastSpeed), values.Fast) &&
                 data->WriteNumSingle(int(FFamily.SlowSpeed), values.Slow) && stored;
    }
    return stored ? TCheckApply::Done : TCheckApply::StoreFailed;
}

} // namespace kv
