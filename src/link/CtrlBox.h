#pragma once
// TCtrlBox: the driver of one controller box. It owns the serial line, keeps
// the last values the box reported, holds the controller parameter set as
// plain integer fields, converts between force codes and forces through the
// 12-point calibration table and offers every box command as a method.
//
// The six models (TKVD300 ... TKVD520_DJ) differ only in data: key, default
// settings, frame format, force channel, address offset, speed scale, command
// bytes. That data lives in the model table of BoxModels.h.
//
// The driver is not re-entrant and has no lock: one caller at a time. It is
// used from the thread that opened its port (see SerialPort.h for the rule).
#include "link/BoxModels.h"
#include "link/SerialPort.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

class QWidget;

namespace kv {

class TCtrlBox;

// One decoded status frame, as kept for whoever watches every frame (the
// run's peak force and its break check between samples).
struct TBoxReading {
    int ForceCode = 0;
    int AuxCode = 0;
};

// The three break criteria kept next to FJudgeMethod (mask 4 force, 2 speed,
// 1 valve opening; other bits ignored).
struct TJudgeFlags {
    bool Force = false;
    bool Speed = false;
    bool Valve = false;
    bool operator==(const TJudgeFlags &o) const
    { return Force == o.Force && Speed == o.Speed && Valve == o.Valve; }
};
TJudgeFlags JudgeMaskToFlags(int mask);
int JudgeFlagsToMask(const TJudgeFlags &flags);

// The parameter set of one driver: item table, database storage, box
// exchange and comparison. Created by the factory registered with
// TCtrlBox::SetParamSetFactory when a model's Init runs; the driver owns it.
// Without a registered factory a driver has no parameter set and the
// parameter operations do nothing.
class TCtrlParamSet {
public:
    virtual ~TCtrlParamSet() = default;
    // Database -> driver fields (also rebuilds FJudgeFlags).
    virtual void LoadParams() = 0;
    // Driver fields -> database.
    virtual void SaveParams() = 0;
    // Reads every box parameter into the box-side copies and counts the
    // items whose box value differs from the software value (marking them).
    // The result is stored by the driver in ParamDiffCount.
    virtual int CompareParams() = 0;
    // Software values -> box-side copies, differing ones written to the box.
    virtual void UseSoftwareParams() = 0;
    // Software values -> box-side copies only.
    virtual void RevertParams() = 0;
    // Box-side values -> software values (ParamDiffCount := 0).
    virtual void UseBoxParams() = 0;
    // The parameter window, when one exists.
    virtual QWidget *ShowParams() { return nullptr; }
};
using TParamSetFactory = std::function<std::unique_ptr<TCtrlParamSet>(TCtrlBox &box)>;

// What Command(kind) asks of the box.
enum TBoxCommand : int {
    bcStop = 0,       // 0xF1: stop loading, unload
    bcRun = 1,        // the model's run byte: start loading
    bcKeep = 2,       // 0xF5: keep the force
    bcManualUp = 3,   // 0xFA: demonstration force up
    bcManualDown = 4, // 0xFB: demonstration force down
    bcMotorUp = 5,    // 0xB5: motor-driven platen up
    bcMotorDown = 6,  // 0xB6: motor-driven platen down
};
// How the box streams status frames (SetADState).
enum TADState : int { adRelative = 0, adAbsolute = 1, adOff = 2 };
// Control modes of SetControlMode.
enum TControlMode : int { cmAutomatic = 0, cmMode1 = 1, cmManual = 2, cmLinkInit = 3, cmHostLeaving = 4 };
// Idle protection of the box (SetProtect).
enum TProtectState : int { psOn = 0, psOff = 1 };

class TCtrlBox {
public:
    explicit TCtrlBox(const TBoxModel &model);
    virtual ~TCtrlBox();
    TCtrlBox(const TCtrlBox &) = delete;
    TCtrlBox &operator=(const TCtrlBox &) = delete;

    const TBoxModel &Model() const { return FModel; }

    // ---- virtual operations, in slot order ----
    virtual bool Init();                                   // 0
    virtual bool Finish();                                 // 1
    virtual bool OpenPort();                               // 2
    virtual void Activate();                               // 3
    virtual void Deactivate();                             // 4
    virtual int CompareParams();                           // 5
    virtual void MoveValve(int direction, int steps);      // 6
    virtual void ResetPlaten();                            // 7
    virtual bool WriteParam(int number, int value);        // 8
    virtual bool WriteParam32(int number, qint32 value);   // 9
    virtual int ReadParam(int number);                     // 10
    virtual int ReadParam32(int number);                   // 11
    virtual bool ReadParamAt(int address, quint16 &value); // 12
    virtual bool WriteParamAt(int address, int value);     // 13
    virtual bool SetKeepLoad(double force);                // 14
    virtual bool SetValveStart(int value);                 // 15
    virtual bool SetValvePosition(int value);              // 16
    virtual bool SetFastSpeed(int value);                  // 17
    virtual bool SetSlowSpeed(int value);                  // 18
    virtual bool WriteParamRaw(int address, int value);    // 19
    virtual bool ReadParamRaw(int address, int &value);    // 20
    virtual bool Poll();                                   // 21
    virtual bool IsOnline() const;                         // 22
    virtual bool CheckOverload(QString &message);          // 23
    virtual int ReadForceCode();                           // 24
    virtual float ReadForce();                             // 25
    virtual void ClearZero();                              // 26
    virtual int GetAuxCode() const;                        // 27
    virtual int GetStatus() const;                         // 28
    virtual void SendByte(int code);                       // 29
    virtual void Command(int kind);                        // 30
    virtual void SetSpeedStage(int stage);                 // 31
    virtual void SetADState(int state);                    // 32
    virtual void SetControlMode(int mode);                 // 33
    virtual void SetProtect(int state);                    // 34
    virtual void Cmd35();                                  // 35
    virtual void Cmd36();                                  // 36
    virtual QWidget *ShowParams();                         // 37
    virtual float CodeToForce(int code) const;             // 38
    virtual int ForceToCode(float force) const;            // 39
    virtual void SaveParams();                             // 40
    virtual void LoadParams();                             // 41
    virtual void UseSoftwareParams();                      // 42
    virtual void Reserved43();                             // 43: raises EAssertion
    virtual void RevertParams();                           // 44
    virtual void UseBoxParams();                           // 45
    virtual int ModelKind() const;                         // 46

    // Hands a byte array to the port; false when there is no line, the port
    // is closed or the write fails. Raises EAssertion for an element above 255.
    bool SendFrame(const std::initializer_list<int> &bytes);
    bool SendFrame(const QByteArray &bytes);

    // ---- link and readings ----
    int CommPort = 1;
    QString Settings;
    int ForceCode = 0;
    int SecondCode = 0;   // the other channel (two-channel frames)
    int AuxCode = 0;      // present valve position
    int Status = 0;       // status nibble
    quint8 Ready = 0;
    quint8 Online = 0;
    int ParamDiffCount = 0;
    int MissCount = 0;
    // How often the missed-poll rule had to tell a silent box to stream
    // again: a box that streams only since then lost its own state (a reset).
    int StreamRestarts = 0;
    // HandMode is the parameter FAutoLoad (1 = manual control selected),
    // ExistHand the parameter FExistHand (1 = the box has manual control).
    int HandMode() const { return FAutoLoad; }
    int ExistHand() const { return FExistHand; }

    // ---- parameter fields (driver units: forces in N, codes raw) ----
    int FMaxLoad = 0, FCtrlEntry = 0, FForcedLoad = 0, FCantLoadTime = 0, FUnloadDelay = 0;
    int FStartJudge = 0, FJudgeMethod = 0, FBreakValue = 0, FdotCount = 0;
    int FValveInit = 0, FValveMiddle = 0;
    int FValveBack = 0;   // stored as "FValveBreak" on family 300
    int FPIDSect1 = 0, FPIDSect2 = 0;
    int FPIDLoadKP1 = 0, FPIDLoadKI1 = 0, FPIDLoadKP2 = 0, FPIDLoadKI2 = 0, FPIDLoadKP3 = 0, FPIDLoadKI3 = 0;
    int FPIDKeepKP1 = 0, FPIDKeepKI1 = 0, FPIDKeepKP2 = 0, FPIDKeepKI2 = 0, FPIDKeepKP3 = 0, FPIDKeepKI3 = 0;
    int FPIDMaxOut = 0, FPIDMinOut = 0;
    int FColdMaxTime = 0, FColdMaxSub = 0, FColdEachSub = 0, FColdCurrSub = 0, FColdWaitTime = 0, FColdCurrWait = 0;
    int FProtectLoad = 0, FUseProtect = 0, FProtectTime = 0;
    std::array<int, 12> FLoadValue{}; // FLoadValue1..12 = FLoadValue[0..11]
    std::array<int, 12> FLoadCode{};  // FLoadCode1..12 = FLoadCode[0..11]
    int FIsViewSpeed = 0, FViewSpeedTime = 0, FExistHand = 0, FAutoLoad = 0, FSpaceJudge = 0;
    int FJudgeLoadPointType = 0, FJudgeLoadType = 0, FJudgeSpeedTime = 0, FJudgeSpeedK = 0;
    int FJudgeFaTime = 0, FJudgeFaK = 0;
    TJudgeFlags FJudgeFlags;
    // Two-channel models: check of the other channel in CheckOverload.
    int FCheckKZ = 0, FKZThreshold = 0;  // KVD510 models (flexural channel)
    int FCheckKY = 0, FKYTHreshold = 0;  // KVD520 models (compressive channel)

    // ---- the valve's memory of recent runs ----
    QDateTime LastRunTime;        // time of the last unload (invalid: never)
    int CoolReduction = 0;        // valve-start reduction after recent runs
    QDateTime SavedLastRunTime;   // saved twins, kept across the program's runs
    int SavedCoolReduction = 0;
    // Working values of the reduction: longest cooling time T (min), largest
    // reduction R, reduction per run E.
    int CoolMaxTime = 0, CoolMaxReduction = 0, CoolEachReduction = 0;
    // Valve-start reduction for the time since the last run.
    void RecomputeCoolReduction(const QDateTime &now);
    // First show: saved reduction back in place, reduction recomputed.
    virtual void ResetRunFields(const QDateTime &now);
    // Copies the live reduction and last-run time into their saved twins.
    virtual void SaveRunState();

    // ---- the force checks of CheckOverload ----
    // The force (N) is above 1.02 x FMaxLoad.
    bool Overloaded(float force) const { return static_cast<double>(force) > FMaxLoad * 1.02; }
    static QString OverloadText();
    // A two-channel model's check of the other channel is on and its code
    // is above the threshold (swapped sensor cables).
    bool OtherChannelTripped() const;
    QString OtherChannelText() const;

    // ---- every status frame ----
    // Decodes every whole status frame buffered now, oldest first, without
    // waiting; the fields hold the newest. The number decoded. Poll does the
    // same and waits only when not even one frame has come since the last poll.
    int DrainFrames();
    // Keeps every decoded frame for TakeReadings from now on (or stops);
    // either way the kept ones are dropped.
    void KeepReadings(bool on);
    // The frames decoded since the last call, oldest first.
    std::vector<TBoxReading> TakeReadings();

    // The parameter set (null until Init, or without a registered factory).
    TCtrlParamSet *ParamSet() const { return FParamSet.get(); }
    // Registers how every driver's Init creates its parameter set.
    static void SetParamSetFactory(TParamSetFactory factory);

    // How Init creates the serial line; empty = TMSComm. Tests inject a
    // scripted line.
    void SetSerialFactory(TSerialLineFactory factory) { FSerialFactory = std::move(factory); }
    static void SetDefaultSerialFactory(TSerialLineFactory factory);
    TSerialLine *Line() const { return FComm.get(); }
    // Hands the serial line to thread (see TSerialLine::HandTo).
    bool HandLineTo(QThread *thread) { return !FComm || FComm->HandTo(thread); }

protected:
    // Base behaviour of Init and Finish (serial line, ready flag).
    bool BaseInit();
    bool BaseFinish();
    // Waits in 20 ms rounds until count bytes are buffered; false after 10
    // pauses (the wait for a parameter reply).
    bool WaitForBytes(int count);
    void MissedPoll();
    // Drops what the line and the frame assembly hold (InBufferCount := 0).
    void DiscardInput();
    bool DecodeFrame(const QByteArray &frame);
    bool FrameLooksGood(const QByteArray &frame) const;
    int ResyncPosition(const QByteArray &frame) const;
    bool SendValueFrame(quint8 command, int value);

    const TBoxModel &FModel;
    std::unique_ptr<TSerialLine> FComm;
    std::unique_ptr<TCtrlParamSet> FParamSet;
    TSerialLineFactory FSerialFactory;

    static constexpr size_t kMaxReadings = 4096;
    QByteArray FRx;                  // bytes taken off the line, not yet a whole frame
    int FDecodedSincePoll = 0;       // frames decoded since the last Poll ended
    qint64 FDropped = 0;             // bytes dropped while looking for a frame start
    bool FKeepReadings = false;
    std::vector<TBoxReading> FReadings;
};

// The six models. Each one is the base driver with its profile.
class TKVD300 : public TCtrlBox { public: TKVD300(); };
class TKVD510 : public TCtrlBox { public: TKVD510(); };
class TKVD520 : public TCtrlBox { public: TKVD520(); };
class TKVD300_DJ : public TCtrlBox { public: TKVD300_DJ(); };
class TKVD510_DJ : public TCtrlBox { public: TKVD510_DJ(); };
class TKVD520_DJ : public TCtrlBox { public: TKVD520_DJ(); };

// A new driver of machine type 0..5 (fields zero; Init does the work).
std::unique_ptr<TCtrlBox> CreateCtrlBox(int machineType);

// Decoding of the channel codes of a twelve-byte status frame (b1, b2, b3).
int DecodeChannelCode(quint8 b1, quint8 b2, quint8 b3);

} // namespace kv
