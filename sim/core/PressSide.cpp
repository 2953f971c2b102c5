#include "PressSide.h"

#include <algorithm>
#include <cmath>

namespace kvdsim {

namespace {

constexpr double kFilterTime = 0.03;     // s, loading-rate estimate
constexpr double kIntegralTime = 0.3;    // s, rate controller
constexpr double kValveSlew = 60000;     // valve steps per second
constexpr double kHoldTime = 0.5;        // s, force error to rate when holding
constexpr double kWanderTime = 0.8;      // s, drift of the hydraulic gain
constexpr double kWanderSize = 0.015;    // relative size of that drift
constexpr int kMinEntryCode = 20;        // control never starts on sensor noise
constexpr double kMinUnloadDelay = 0.5;  // s
constexpr double kNoForce = 0.5;         // N, below this the frame counts as unloaded
constexpr double kCrushTime = 3.0;       // s, the remains of a broken specimen give way

} // namespace

TPressSide::TPressSide(TFamily family, bool motorDriven, std::uint32_t seed)
    : FFamily(family),
      FFrame(FrameSpec(family, motorDriven)),
      FLayout(FamilyLayout(family)),
      FRng(seed)
{
    FZeroRef = FFrame.adcOffset;
    FStrengthMean = FFrame.strengthMean;
    FStrengthSpread = FFrame.strengthSpread;
}

const char *TPressSide::ModeName(TMode m)
{
    switch (m) {
    case Idle: return "idle";
    case Loading: return "loading";
    case Keeping: return "keeping";
    case Jogging: return "jogging";
    case Unloading: return "unloading";
    case Returning: return "returning";
    }
    return "?";
}

int TPressSide::Word(int address) const
{
    if (!FWords || address < 0 || address > 999)
        return 0;
    return FWords[address];
}

const TPressSide::TParams &TPressSide::P() const
{
    if (!FDirty)
        return FParams;
    FDirty = false;
    const int off = FLayout.offset;
    FParams.maxLoad = Word(AddrMaxLoad + off) * FLayout.forceUnit;
    FParams.fastRate = Word(AddrFastSpeed + off) / FLayout.speedScale;
    FParams.slowRate = Word(AddrSlowSpeed + off) / FLayout.speedScale;
    FParams.valveInit = Word(AddrValveInit + off);
    FParams.valveMiddle = Word(AddrValveMiddle);
    FParams.ctrlEntry = Word(AddrCtrlEntry + off);
    FParams.unloadDelay = std::max(double(Word(AddrUnloadDelay + off)), kMinUnloadDelay);

    // Calibration nodes: the origin, then the points while both columns rise
    // (a first point at the origin is skipped).
    auto build = [this](const int *words, QList<QPair<double, double>> *nodes) {
        nodes->clear();
        nodes->append({0.0, 0.0});
        for (int k = 0; k < 12; ++k) {
            const int base = AddrTable + 3 * k + FLayout.offset;
            const double value = words[base] * FLayout.forceUnit;
            const double code = double((qint64(words[base + 1]) << 16) | (words[base + 2] & 0xFFFF));
            const auto &last = nodes->last();
            if (k == 0 && value == 0 && code == 0)
                continue;
            if (value > last.first && code > last.second)
                nodes->append({value, code});
            else
                break;
        }
    };
    static const int kEmpty[1000] = {};
    build(FWords ? FWords : kEmpty, &FParams.table);
    if (FParams.table.size() < 2) {
        // A box without a usable table keeps converting with its factory one.
        int factory[1000] = {};
        const TFactoryTable t = FactoryTable(FFamily);
        for (int i = 0; i < t.count; ++i) {
            const TFactoryParam &p = t.rows[i];
            const long w = FactoryWireValue(p);
            if (p.highAddress >= 0) {
                factory[p.highAddress] = int(w >> 16);
                factory[p.address] = int(w & 0xFFFF);
            } else if (p.address >= 0) {
                factory[p.address] = int(w);
            }
        }
        build(factory, &FParams.table);
    }
    return FParams;
}

double TPressSide::Interpolate(const TTable &t, double x, bool fromCode)
{
    const auto in = [fromCode](const QPair<double, double> &n) { return fromCode ? n.second : n.first; };
    const auto out = [fromCode](const QPair<double, double> &n) { return fromCode ? n.first : n.second; };
    const double ax = std::abs(x);
    int k = 1;
    while (k < t.size() - 1 && ax > in(t[k]))
        ++k;
    const auto &a = t[k - 1];
    const auto &b = t[k];
    const double y = out(a) + (ax - in(a)) * (out(b) - out(a)) / (in(b) - in(a));
    return x < 0 ? -y : y;
}

int TPressSide::ForceToCode(double newtons) const
{
    return int(std::lround(Interpolate(P().table, newtons, false)));
}

double TPressSide::CodeToForce(int code) const
{
    return Interpolate(P().table, code, true);
}

void TPressSide::SetGain(double gain)
{
    FSensorTable = P().table;
    FGain = gain;
    FGainSet = true;
    Note(QStringLiteral("sensor gain %1 on the calibration table held now").arg(gain));
}

void TPressSide::ClearGain()
{
    if (!FGainSet)
        return;
    FGainSet = false;
    FGain = 1.0;
    FSensorTable.clear();
    Note(QStringLiteral("sensor gain off: codes follow the table in force"));
}

double TPressSide::MaxLoad() const
{
    return P().maxLoad;
}

double TPressSide::OverloadFloor(double newtons) const
{
    if (!FOverload)
        return newtons;
    const double limit = (P().maxLoad > 0 ? P().maxLoad : FFrame.strengthMean) * 1.05;
    return std::max(newtons, limit);
}

double TPressSide::MeasuredForce() const
{
    return OverloadFloor(FForce);
}

int TPressSide::AbsoluteCode() const
{
    // An overloaded sensor reads 105 % of the maximum whatever its gain.
    const int code = FGainSet ? int(std::lround(Interpolate(FSensorTable, OverloadFloor(FGain * FForce), false)))
                              : ForceToCode(MeasuredForce());
    return code + FFrame.adcOffset + FDrift;
}

int TPressSide::StatusBits() const
{
    int s = 0;
    if (FMode == Loading || FMode == Keeping || FMode == Jogging)
        s |= StatusLoading;
    if ((FMode == Loading && FControl) || FMode == Keeping)
        s |= StatusControl;
    if (FSlow)
        s |= StatusSlow;
    if (FMode == Unloading || FMode == Returning)
        s |= StatusReturn;
    return s;
}

void TPressSide::Note(const QString &text) const
{
    if (onNote)
        onNote(QLatin1String(FFrame.name) + QStringLiteral(": ") + text);
}

void TPressSide::SetStrengthRule(double fixed, double mean, double spread)
{
    FFixedStrength = fixed;
    if (mean > 0)
        FStrengthMean = mean;
    if (spread >= 0)
        FStrengthSpread = spread;
}

double TPressSide::NextStrength()
{
    if (!FStrengthQueue.isEmpty())
        return FStrengthQueue.takeFirst();
    if (FFixedStrength > 0)
        return FFixedStrength;
    const double s = FStrengthMean + FStrengthSpread * FRng.Normal();
    return std::max(s, FStrengthMean * 0.05);
}

void TPressSide::PlaceSpecimen(double strength)
{
    FSpecimen = TSpecimen();
    FSpecimen.present = true;
    FSpecimen.strength = strength;
    FSpecimen.contact = std::max(FFrame.contactGap, FPos + FFrame.minGap);
    Note(QStringLiteral("new specimen, strength %1 N").arg(strength, 0, 'f', 0));
}

void TPressSide::Run(bool manualControl)
{
    if (FMode == Loading) {
        Note(QStringLiteral("run ignored: already loading"));
        return;
    }
    const bool underLoad = FSpecimen.present && !FSpecimen.broken && FForce > 0;
    if (!FSpecimen.present || FSpecimen.broken || (!FStrengthQueue.isEmpty() && !underLoad))
        PlaceSpecimen(NextStrength());
    FManual = manualControl;
    FControl = false;
    FIntegral = 0;
    FValve = FValveStartSet ? FValveStart : P().valveInit;
    FValveCmd = FValve;
    FMode = Loading;
    FInRun = true;
    FRunFramed = false;
    FRuns.append(TRunRecord());
    Note(QStringLiteral("run (%1%2), valve %3")
             .arg(FSlow ? QStringLiteral("slow") : QStringLiteral("fast"))
             .arg(FManual ? QStringLiteral(", manual control") : QString())
             .arg(Valve()));
}

void TPressSide::Stop()
{
    const bool loaded = FForce >= kNoForce;
    if (FMode == Loading || FMode == Keeping || FMode == Jogging || (FMode == Idle && loaded)) {
        FMode = Unloading;
        FQuiet = 0;
        Note(QStringLiteral("stop: unloading from %1 N").arg(FForce, 0, 'f', 0));
    }
    if (FInRun) {
        FInRun = false;
        TRunRecord &run = FRuns.last();
        run.stopped = true;
        run.framed = FRunFramed;
        if (FRunFramed) {
            run.largestForce = CodeToForce(FLargestCode - FLargestZero);
            Note(QStringLiteral("largest frame since run: code %1 = %2 N")
                     .arg(FLargestCode)
                     .arg(run.largestForce, 0, 'f', 1));
        } else
            Note(QStringLiteral("largest frame since run: none sent"));
    }
    FControl = false;
    FKeepArmed = false;
    FValve = 0;
    FValveCmd = 0;
    FIntegral = 0;
    FOverload = false;
}

void TPressSide::FrameSent(int code, int zero)
{
    if (!FInRun)
        return;
    // Compared above the code of no force, so a switch between relative and
    // absolute codes within a run does not pick the offset.
    if (!FRunFramed || code - zero > FLargestCode - FLargestZero) {
        FLargestCode = code;
        FLargestZero = zero;
    }
    FRunFramed = true;
}

void TPressSide::Keep()
{
    if (FMode == Loading || FMode == Jogging || (FMode == Idle && FForce > 0)) {
        FHoldForce = FForce;
        FMode = Keeping;
        FIntegral = 0;
        if (FValve < P().valveMiddle)
            FValve = P().valveMiddle;
        FValveCmd = FValve;
        Note(QStringLiteral("keep at %1 N").arg(FHoldForce, 0, 'f', 0));
    }
}

void TPressSide::Reset()
{
    FMode = Returning;
    FControl = false;
    FKeepArmed = false;
    FValve = 0;
    FValveCmd = 0;
    Note(QStringLiteral("reset: returning to the start position"));
}

void TPressSide::PowerOn()
{
    if (FMode != Idle || FForce >= kNoForce) {
        FMode = Unloading;
        FQuiet = 0;
    }
    // The run ends without a stop command: its record stays open.
    FInRun = false;
    FControl = false;
    FKeepArmed = false;
    FKeepTarget = 0;
    FValve = 0;
    FValveCmd = 0;
    FIntegral = 0;
    FOverload = false;
    FSlow = false;
    FValveStartSet = false;
    FZeroRef = FFrame.adcOffset;
    Note(QStringLiteral("power-on: the run is lost, the load let off, the channel zeroed"));
}

void TPressSide::Jog(int direction)
{
    if (FMode != Jogging)
        Note(direction > 0 ? QStringLiteral("move up") : QStringLiteral("move down"));
    FControl = false;
    FMode = Jogging;
    FJogDir = direction > 0 ? 1 : -1;
    FJogLeft = FFrame.jogTime;
}

void TPressSide::MoveValve(int direction, int steps)
{
    FValve = std::clamp(FValve + (direction ? steps : -steps), 0.0, 65535.0);
}

void TPressSide::SetValvePosition(int value)
{
    FValve = std::clamp(value, 0, 65535);
    FValveCmd = FValve;
}

void TPressSide::SetValveStart(int value)
{
    FValveStart = std::clamp(value, 0, 65535);
    FValveStartSet = true;
}

void TPressSide::SetKeepTarget(int wireValue)
{
    FKeepTarget = wireValue * FLayout.forceUnit;
    FKeepArmed = true;
    Note(QStringLiteral("keep-load target %1 N").arg(FKeepTarget, 0, 'f', 0));
}

void TPressSide::Zero()
{
    FZeroRef = AbsoluteCode();
}

void TPressSide::Preload(double newtons)
{
    if (newtons <= 0)
        newtons = (P().maxLoad > 0 ? P().maxLoad : FFrame.strengthMean) * 0.1;
    if (!FSpecimen.present || FSpecimen.broken)
        PlaceSpecimen(NextStrength());
    FSpecimen.strength = std::max(FSpecimen.strength, newtons * 1.5);
    FPos = std::min(FSpecimen.contact + newtons / FFrame.stiffness, FFrame.stroke);
    UpdateForce(0);
    FLastForce = FForce;
    Note(QStringLiteral("specimen already loaded with %1 N").arg(FForce, 0, 'f', 0));
}

void TPressSide::Control(double dt)
{
    const TParams &p = P();
    const double gain = FFrame.stiffness * FFrame.noLoadGain;   // N/s per valve step
    double target = FSlow ? p.slowRate : p.fastRate;
    const bool holding = FMode == Keeping || FKeepArmed;
    if (holding) {
        const double goal = FMode == Keeping ? FHoldForce : FKeepTarget;
        target = std::clamp((goal - FForce) / kHoldTime, -target, target);
    }
    const double error = target - FRateF;
    double cmd = p.valveMiddle + (target + FIntegral) / gain;
    cmd = std::clamp(cmd, 0.0, 65535.0);
    FValveCmd = cmd;
    const double step = kValveSlew * dt;
    if (std::abs(cmd - FValve) <= step) {
        FValve = cmd;
        // Integrate only while the valve can follow (no wind-up in a slew).
        FIntegral += error * dt / kIntegralTime;
        FIntegral = std::clamp(FIntegral, -65535.0 * gain, 65535.0 * gain);
    } else {
        FValve += cmd > FValve ? step : -step;
    }
}

void TPressSide::UpdateForce(double dt)
{
    if (!FSpecimen.present) {
        FForce = 0;
        return;
    }
    const double travel = FPos - FSpecimen.contact;
    const double elastic = travel > 0 ? FFrame.stiffness * travel : 0.0;
    if (!FSpecimen.broken) {
        if (elastic >= FSpecimen.strength) {
            FSpecimen.broken = true;
            FSpecimen.brokenFor = 0;
            FSpecimen.peakAtBreak = elastic;
            if (FInRun) {
                FRuns.last().broken = true;
                FRuns.last().breakForce = elastic;
            }
            Note(QStringLiteral("specimen broke at %1 N").arg(elastic, 0, 'f', 1));
        }
        FForce = elastic;
    } else {
        FSpecimen.brokenFor += dt;
        const double r = FFrame.residual;
        // Fast collapse to the residual, then the crushed remains give way too.
        const double t = FSpecimen.brokenFor;
        const double cap = FSpecimen.peakAtBreak
                           * (r * std::exp(-t / kCrushTime) + (1 - r) * std::exp(-t / FFrame.failTime));
        FForce = cap < kNoForce ? 0.0 : std::min(elastic, cap);
    }
    FSpecimen.peak = std::max(FSpecimen.peak, FForce);
}

void TPressSide::Step(double dt)
{
    const TParams &p = P();
    FWander += -FWander / kWanderTime * dt + kWanderSize * std::sqrt(2 * dt / kWanderTime) * FRng.Normal();

    double speed = 0;   // platen speed, mm/s, up positive
    switch (FMode) {
    case Idle:
        break;
    case Loading:
    case Keeping:
        if (FControl || FMode == Keeping)
            Control(dt);
        speed = (FValve - p.valveMiddle) * FFrame.noLoadGain * (1 + FWander);
        if (FLeak)
            speed -= FFrame.leakSpeed;
        break;
    case Jogging:
        speed = FJogDir * FFrame.jogSpeed;
        FJogLeft -= dt;
        if (FJogLeft <= 0)
            FMode = Idle;
        break;
    case Unloading:
        speed = -FFrame.returnSpeed;
        break;
    case Returning:
        speed = -FFrame.returnSpeed;
        break;
    }

    FPos = std::clamp(FPos + speed * dt, 0.0, FFrame.stroke);
    UpdateForce(dt);
    if (dt > 0) {
        const double rate = (FForce - FLastForce) / dt;
        FRateF += (rate - FRateF) * std::min(dt / kFilterTime, 1.0);
    }
    FLastForce = FForce;

    if (FMode == Unloading) {
        FQuiet = FForce < kNoForce ? FQuiet + dt : 0;
        if (FQuiet >= p.unloadDelay) {
            FMode = Idle;
            Note(QStringLiteral("unloaded"));
        }
    } else if (FMode == Returning && FPos <= 0) {
        FMode = Idle;
        Note(QStringLiteral("at the start position"));
    }

    if (FMode == Loading && !FControl && !FManual
        && RelativeCode() >= std::max(p.ctrlEntry, kMinEntryCode)) {
        FControl = true;
        FIntegral = 0;
        Note(QStringLiteral("rate control from %1 N").arg(FForce, 0, 'f', 0));
    }
}

} // namespace kvdsim
