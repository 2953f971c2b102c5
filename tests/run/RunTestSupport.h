#pragma once
// A main window with the run sequence, a scripted controller box and a probe
// test, all in virtual time: each advance of the clock runs the sampling
// steps that fall due, on the test's thread.
#include "../core/CoreTestSupport.h"
#include "CurveFile.h"
#include "ui/main/CtrlBoxDriver.h"
#include "link/CtrlBox.h"
#include "host/ModuleHost.h"
#include "run/RunSequence.h"

#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <functional>

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
    bool CheckOverload(QString &message) override
    {
        if (Overload.isEmpty())
            return false;
        message = Overload;
        return true;
    }
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
    QString Overload;
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

struct TRunRig : coretest::TWindowRig {
    TScriptedBox *Box = nullptr;
    TProbeTest *Probe = nullptr;
    std::unique_ptr<kv::TfrmMeasure> W;
    kv::TRunSequence *Run = nullptr;

    TRunRig()
    {
        Steps.CreateDriver = [this](int) {
            auto box = std::make_unique<TScriptedBox>(Clock);
            Box = box.get();
            return std::make_unique<kv::TCtrlBoxDriver>(std::move(box));
        };
        kv::InstallRunSequence(Steps);
        Steps.CurrentTestContinuous = [](const kv::TfrmMeasure &w) {
            const kv::TBaseTest *t = w.MyFunction()->CurrentTest();
            return t && t->FContinuous != 0;
        };
    }

    void Open()
    {
        W = Create();
        W->show();
        Run = dynamic_cast<kv::TRunSequence *>(W->Run());
        auto probe = std::make_unique<TProbeTest>();
        Probe = probe.get();
        W->MyFunction()->AddTest(QStringLiteral("Probe"), std::move(probe));
        W->MyFunction()->SetCurrentIndex(W->MyFunction()->TestCount() - 1);
        W->EnableAllButton();
        Messages.clear();
        Box->Calls.clear();
    }

    // Advances in sampling periods until the run ends (or maxMs passed).
    int RunToEnd(qint64 maxMs = 600000)
    {
        int steps = 0;
        while (Box->RunActive.load() && steps * 100 < maxMs) {
            Clock.advance(100);
            ++steps;
        }
        return steps;
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            Clock.advance(kv::kStatusTickMs);
            Run->StatusTick();
        }
    }
    kv::TMyGlbParam &Glb() { return *W->GlbParam(); }
};

} // namespace runtest
