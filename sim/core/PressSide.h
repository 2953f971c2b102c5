#pragma once
// One press frame behind the box: platen, valve (or motor drive), the
// specimen on the platen and the box's loading control for that frame.
// Time advances only through Step, so tests can run it without a clock.
#include "SimModels.h"
#include "SimRandom.h"

#include <QList>
#include <QString>
#include <cmath>
#include <functional>

namespace kvdsim {

class TPressSide {
public:
    enum TMode { Idle, Loading, Keeping, Jogging, Unloading, Returning };

    // Status nibble bits of this frame.
    enum { StatusLoading = 1, StatusControl = 2, StatusSlow = 4, StatusReturn = 8 };

    TPressSide(TFamily family, bool motorDriven, std::uint32_t seed);

    // The box memory (1000 words) this frame reads its parameters from.
    void AttachMemory(const int *words) { FWords = words; FDirty = true; }
    void ParamsChanged() { FDirty = true; }

    // Commands.
    void Run(bool manualControl);
    void Stop();
    void Keep();
    void Reset();
    // The box restarted: the run and the working settings are lost, the
    // load is let off, the channel is zeroed as at power-on.
    void PowerOn();
    void Jog(int direction);            // +1 up, -1 down
    void MoveValve(int direction, int steps);
    void SetValvePosition(int value);
    void SetValveStart(int value);
    void SetKeepTarget(int wireValue);  // force word of the family (kN or N)
    void SetSlowStage(bool slow) { FSlow = slow; }
    bool SlowStage() const { return FSlow; }
    void Zero();

    // Specimens and faults.
    void QueueStrength(double newtons) { FStrengthQueue.append(newtons); }
    void ClearStrengthQueue() { FStrengthQueue.clear(); }
    void SetStrengthRule(double fixed, double mean, double spread);
    void Preload(double newtons);       // <= 0: a tenth of the maximum force
    void SetLeak(bool on) { FLeak = on; }
    void SetOverload(bool on) { FOverload = on; }
    void SetDrift(int codes) { FDrift = codes; }
    // The sensor reads gain x the force on it and has its own characteristic:
    // the calibration table the box holds now, frozen, so later downloads no
    // longer change its codes. ClearGain: codes follow the table in force again.
    void SetGain(double gain);
    void ClearGain();
    bool GainSet() const { return FGainSet; }
    double Gain() const { return FGainSet ? FGain : 1.0; }

    // One step of dt seconds (the box ticks in 1 ms steps).
    void Step(double dt);

    // Readings.
    double Force() const { return FForce; }              // true force on the specimen, N
    double MeasuredForce() const;                         // what the sensor sees, N
    int AbsoluteCode() const;                             // noise-free
    int RelativeCode() const { return AbsoluteCode() - FZeroRef; }
    int Valve() const { return int(FValve + 0.5); }
    int StatusBits() const;
    TMode Mode() const { return FMode; }
    bool ControlActive() const { return FControl; }
    double Position() const { return FPos; }
    double Rate() const { return FRateF; }
    bool SpecimenPresent() const { return FSpecimen.present; }
    bool SpecimenBroken() const { return FSpecimen.broken; }
    double SpecimenStrength() const { return FSpecimen.strength; }
    double SpecimenPeak() const { return FSpecimen.peak; }
    bool Leak() const { return FLeak; }
    bool Overload() const { return FOverload; }
    int Drift() const { return FDrift; }
    int ZeroRef() const { return FZeroRef; }
    int AdcOffset() const { return FFrame.adcOffset; }
    double MaxLoad() const;
    TFamily Family() const { return FFamily; }
    const TFrameSpec &Spec() const { return FFrame; }
    QList<double> StrengthQueue() const { return FStrengthQueue; }
    static const char *ModeName(TMode m);

    // Calibration of the box as downloaded: force in N to code and back.
    // With a gain set the sensor's codes come from its frozen table instead.
    int ForceToCode(double newtons) const;
    double CodeToForce(int code) const;

    // Gaussian code noise for one frame.
    int Noise(double sigma) { return int(std::lround(sigma * FRng.Normal())); }

    // A status frame carried this frame's force as code (zero: the code of no
    // force, the sensor's zero on absolute codes). Between a run command and
    // the stop command the largest one is kept and noted at the stop.
    void FrameSent(int code, int zero);

    // One run of this frame, from its run command to the stop command that
    // ends it: what a test compares the program's stored results with.
    struct TRunRecord {
        bool broken = false;       // the specimen broke during the run
        double breakForce = 0;     // N, true force at the break
        bool stopped = false;      // a stop command ended the run
        bool framed = false;       // a status frame carried this frame's force during the run
        double largestForce = 0;   // N, the largest force such a frame carried (as noted at the stop)
    };
    // Every run since the box started, oldest first.
    const QList<TRunRecord> &Runs() const { return FRuns; }
    bool InRun() const { return FInRun; }

    std::function<void(const QString &)> onNote;

private:
    using TTable = QList<QPair<double, double>>;   // (force N, code), from the origin
    struct TParams {
        double maxLoad = 0;     // N
        double fastRate = 0;    // N/s
        double slowRate = 0;    // N/s
        int valveInit = 0;
        int valveMiddle = 0;
        int ctrlEntry = 0;      // code
        double unloadDelay = 0; // s
        TTable table;
    };
    struct TSpecimen {
        bool present = false;
        bool broken = false;
        double contact = 0;     // platen position of first contact, mm
        double strength = 0;    // N
        double peak = 0;        // N
        double peakAtBreak = 0;
        double brokenFor = 0;   // s since the break
    };

    const TParams &P() const;
    static double Interpolate(const TTable &t, double x, bool fromCode);
    double OverloadFloor(double newtons) const;
    int Word(int address) const;
    void PlaceSpecimen(double newtons_strength);
    double NextStrength();
    void Control(double dt);
    void UpdateForce(double dt);
    void Note(const QString &text) const;

    TFamily FFamily;
    TFrameSpec FFrame;
    TFamilyLayout FLayout;
    const int *FWords = nullptr;
    mutable TParams FParams;
    mutable bool FDirty = true;
    TRandom FRng;

    TMode FMode = Idle;
    bool FManual = false;
    bool FControl = false;
    bool FSlow = false;
    double FPos = 0;
    double FValve = 0;
    double FValveCmd = 0;
    double FIntegral = 0;
    double FForce = 0;
    double FLastForce = 0;
    double FRateF = 0;
    double FWander = 0;
    double FHoldForce = 0;
    bool FKeepArmed = false;
    double FKeepTarget = 0;
    int FValveStart = 0;
    bool FValveStartSet = false;
    double FJogLeft = 0;
    int FJogDir = 0;
    double FQuiet = 0;
    int FZeroRef = 0;
    int FDrift = 0;
    bool FLeak = false;
    bool FOverload = false;
    bool FGainSet = false;
    double FGain = 1.0;
    TTable FSensorTable;          // the sensor's own characteristic while a gain is set
    TSpecimen FSpecimen;
    bool FInRun = false;          // between a run command and the stop command
    bool FRunFramed = false;      // a frame went out during this run
    int FLargestCode = 0;         // largest force code sent during this run, as sent
    int FLargestZero = 0;         // its code of no force
    QList<TRunRecord> FRuns;
    QList<double> FStrengthQueue;
    double FFixedStrength = 0;
    double FStrengthMean = 0;
    double FStrengthSpread = 0;
};

} // namespace kvdsim
