#pragma once
// The run sequence without a window: a scripted controller box, a probe test
// and an observer that records what the run reports, all in virtual time.
// Each advance of the clock runs the sampling steps and status ticks that
// fall due, on the test's thread.
#include "BaseTest.h"
#include "Clock.h"
#include "CurveFile.h"
#include "MessageService.h"
#include "link/CtrlBox.h"
#include "run/RunObserver.h"
#include "run/RunSequence.h"
#include "run/SpecimenCurve.h"
#include "store/Settings.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <array>
#include <functional>
#include <memory>

namespace runtest {

// A box that loads along a scripted curve: Loading(ms since Command(1)) is
// the force while loading; after Command(0) it reads IdleForce.
class TScriptedBox : public kv::TKVD300 {
public:
    explicit TScriptedBox(kv::TVirtualClock &clock) : Clock(clock)
    {
        FMaxLoad = 300000;
        FForcedLoad = 1000;
        FCantLoadTime = 10;
        FValveInit = 1000;
        FValveBack = 100;
        FStartJudge = 5000;
        FJudgeFlags.Force = true;
        FJudgeLoadPointType = 1;
        FBreakValue = 500;
        FdotCount = 3;
        FUseProtect = 1;
        FProtectTime = 2;
        FProtectLoad = 5;
        FSpaceJudge = 0;
        FViewSpeedTime = 10;
        Online = 1;
    }

    bool Init() override { return true; }
    bool Finish() override { return true; }
    bool OpenPort() override { return true; }
    void Activate() override {}
    int CompareParams() override { return 0; }
    bool IsOnline() const override { return Connected; }
    int ReadForceCode() override
    {
        ++Reads;
        Online = Connected ? 1 : 0;
        return static_cast<int>(Current());
    }
    float ReadForce() override { return Current(); }
    int GetAuxCode() const override { return Aux; }
    void Command(int kind) override
    {
        Log(QStringLiteral("Command(%1)").arg(kind));
        if (kind == 1) {
            Loaded = true;
            LoadStart = Clock.nowMs();
        } else if (kind == 0) {
            Loaded = false;
        }
    }
    void MoveValve(int direction, int steps) override { Log(QStringLiteral("MoveValve(%1,%2)").arg(direction).arg(steps)); }
    void SetADState(int state) override { Log(QStringLiteral("SetADState(%1)").arg(state)); }
    void SetControlMode(int mode) override { Log(QStringLiteral("SetControlMode(%1)").arg(mode)); }
    void SetProtect(int state) override { Log(QStringLiteral("SetProtect(%1)").arg(state)); }
    bool SetFastSpeed(int value) override
    {
        Log(QStringLiteral("SetFastSpeed(%1)").arg(value));
        return FastSpeedAccepted;
    }
    bool SetValveStart(int value) override
    {
        Log(QStringLiteral("SetValveStart(%1)").arg(value));
        return true;
    }

    float Current() const { return Loaded && Loading ? Loading(Clock.nowMs() - LoadStart) : IdleForce; }
    void Log(const QString &s) { Calls.append(s); }

    kv::TVirtualClock &Clock;
    std::function<float(qint64 ms)> Loading;
    float IdleForce = 0.0f;
    bool Loaded = false;
    qint64 LoadStart = 0;
    bool Connected = true;
    bool FastSpeedAccepted = true;
    int Aux = 0;
    int Reads = 0;
    QStringList Calls;
};

// The platen takes this long to meet the specimen after the start.
inline constexpr qint64 kContactMs = 1500;

// From contact on, a force rising at rate N/s up to top.
inline float RampAt(qint64 ms, float rate, float top, float base = 0.0f)
{
    if (ms < kContactMs)
        return 0.0f;
    return std::min(top, base + rate * static_cast<float>(ms - kContactMs) / 1000.0f);
}

// A specimen that rises at rate N/s to strength, holds it for one sample,
// then breaks and falls to a fifth of it.
inline std::function<float(qint64)> Specimen(float strength, float rate = 2400.0f)
{
    return [strength, rate](qint64 ms) {
        const qint64 peakMs = kContactMs + static_cast<qint64>(strength / rate * 1000.0f);
        return ms <= peakMs + 100 ? RampAt(ms, rate, strength) : strength / 5.0f;
    };
}

// A test that records what the run sequence tells it.
class TProbeTest : public kv::TBaseTest {
public:
    TProbeTest()
    {
        FTestName = QStringLiteral("Probe");
        FGroupNo = QStringLiteral("G1");
        FSpeed = 2400.0f;
        FGroupSize = 3;
        CreateSpecimens(3);
    }
    void CreateSpecimens(int n) override
    {
        FSpecials.Clear();
        for (int i = 0; i < n; ++i) {
            auto s = std::make_unique<kv::TSpecial>();
            s->FArea = 1600.0;
            FSpecials.AddObject(QString::number(i), std::move(s));
        }
        FSpecimenCount = n;
    }
    int CheckGroupState() override { return StoredState; }
    void BeginGroup(QString &err) override
    {
        ++BeginGroups;
        err = GroupRefusal;
    }
    void BeginSpecimen(QString &err) override
    {
        ++BeginSpecimens;
        err = SpecimenRefusal;
    }
    void EndSpecimen(bool valid) override
    {
        const kv::TSpecial *s = GetSpecial(FCurrent - 1);
        Forces.append(s ? s->FForce : -1.0);
        Strengths.append(s ? s->FStrength : -1.0);
        Valid.append(valid);
        ++FCurrent;
    }
    void EndGroup() override { ++EndGroups; }

    int StoredState = 0;
    QString GroupRefusal, SpecimenRefusal;
    int BeginGroups = 0, BeginSpecimens = 0, EndGroups = 0;
    QList<double> Forces, Strengths;
    QList<bool> Valid;
};

// Advances the clock in sampling periods until the run ends (or maxMs
// passed); the number of periods.
inline int RunToEnd(kv::TVirtualClock &clock, const kv::TRunSequence &run, qint64 maxMs = 600000)
{
    int steps = 0;
    while (run.Active() && steps * 100 < maxMs) {
        clock.advance(100);
        ++steps;
    }
    return steps;
}

// n ticks of the status timer.
inline void StatusTicks(kv::TVirtualClock &clock, int n)
{
    for (int i = 0; i < n; ++i)
        clock.advance(kv::kStatusTickMs);
}

// Everything the run reports, as the window would show it.
struct TRunProbe : kv::TRunObserver {
    std::array<double, 6> Values{};
    std::array<QString, 6> Texts;
    std::array<QString, 6> Panels;
    std::vector<std::pair<float, float>> Points; // the curve since the last reset
    float ForceAxisMax = 0.0f;
    float TimeAxisMax = 0.0f;
    int PeakMarks = 0;
    float PeakTime = 0.0f;
    double PeakForce = 0.0;
    int Starts = 0;
    int StateChanges = 0;
    QList<kv::TRunMode> Unloads;
    int StatusTicks = 0;

    void ShowValue(kv::TRunDisplay d, double value) override { Values[size_t(d)] = value; }
    void ShowText(kv::TRunDisplay d, const QString &text) override { Texts[size_t(d)] = text; }
    void PanelText(kv::TStatusPanel panel, const QString &text) override { Panels[size_t(panel)] = text; }
    void ChartReset(float forceMax, float timeMax) override
    {
        Points.clear();
        PeakMarks = 0;
        ForceAxisMax = forceMax;
        TimeAxisMax = timeMax;
    }
    void CurvePoint(float t, float force) override { Points.emplace_back(t, force); }
    void AxisGrown(kv::TRunAxis axis, float max) override
    {
        (axis == kv::TRunAxis::Force ? ForceAxisMax : TimeAxisMax) = max;
    }
    void PeakMark(float t, double force) override
    {
        PeakMarks = 1;
        PeakTime = t;
        PeakForce = force;
    }
    void RunStarting() override { ++Starts; }
    void StateChanged() override { ++StateChanges; }
    void Unloaded(kv::TRunMode mode) override { Unloads.append(mode); }
    void StatusTicked() override { ++StatusTicks; }

    QString Panel(int n) const { return Panels[size_t(n)]; }
};

// A run sequence on a scripted box with the probe test current.
struct TRunRig {
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard MessageGuard{&Messages};
    kv::TVirtualClock Clock;
    kv::TClockGuard ClockGuard{&Clock};
    QTemporaryDir OutDir;
    kv::TGlobalSettings Settings;
    TRunProbe Observer;
    std::unique_ptr<TScriptedBox> OwnBox = std::make_unique<TScriptedBox>(Clock);
    TScriptedBox *Box = OwnBox.get();
    kv::TCtrlBox *Driver = Box; // the driver the run talks to (the scripted box unless a test puts another)
    std::unique_ptr<TProbeTest> OwnProbe = std::make_unique<TProbeTest>();
    TProbeTest *Probe = OwnProbe.get();
    bool TestSelected = true;
    double LoadCoe = 1000.0;
    std::function<void()> Resolve; // the difference dialog's part, when a test gives one
    QList<int> SilentTicks;        // the re-initialisations of a silent box, by their tick
    std::unique_ptr<kv::TRunSequence> Run;

    TRunRig()
    {
        kv::TRunContext context;
        context.Box = [this] { return Driver; };
        context.Test = [this] { return TestSelected ? static_cast<kv::TBaseTest *>(Probe) : nullptr; };
        context.Reinitialise = [this](int silentTick) {
            SilentTicks.append(silentTick);
            // What the link's service does for a silent box.
            Driver->SetADState(0);
            kv::Sleep(100);
            Driver->SetControlMode(3);
            kv::Sleep(100);
            Driver->SetControlMode(Driver->ExistHand() == 1 && Driver->HandMode() != 0 ? 2 : 0);
            kv::Sleep(100);
        };
        context.Settings = &Settings;
        context.LoadCoe = [this] { return LoadCoe; };
        context.OutFileDir = OutDir.path();
        context.Observer = &Observer;
        context.ResolveDifferences = [this] {
            if (Resolve)
                Resolve();
        };
        Run = std::make_unique<kv::TRunSequence>(std::move(context));
    }

    // As the main window's first show leaves the run: protection armed,
    // status timer running.
    void Open()
    {
        Run->ResetProtection();
        Run->Idle().Start();
        Messages.clear();
        Box->Calls.clear();
    }

    int RunToEnd(qint64 maxMs = 600000) { return runtest::RunToEnd(Clock, *Run, maxMs); }
    void Ticks(int n) { StatusTicks(Clock, n); }
    kv::TRunState &State() { return Run->State(); }
};

} // namespace runtest
