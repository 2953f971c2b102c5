#include "link/CtrlBox.h"

#include "link/BoxFrames.h"
#include "store/BoxSaveItems.h"
#include "Clock.h"

#include <QCoreApplication>
#include <QDebug>
#include <cmath>
#include <limits>

namespace kv {

using namespace box;

namespace {

const char *const kUnit = "CtrlBox";

TParamSetFactory &ParamSetFactory()
{
    static TParamSetFactory factory;
    return factory;
}

TSerialLineFactory &DefaultSerialFactory()
{
    static TSerialLineFactory factory;
    return factory;
}

[[noreturn]] void Raise(const char *what)
{
    throw EAssertion(std::string(kUnit) + ": " + what);
}

// Delphi's Round: nearest, halves to even.
qint64 RoundEven(double x)
{
    const double r = std::nearbyint(x);
    if (!(r > -9.2e18 && r < 9.2e18))
        return r < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    return static_cast<qint64>(r);
}

double Lerp(double x, double x0, double y0, double x1, double y1)
{
    return y0 + (x - x0) * (y1 - y0) / (x1 - x0);
}

// One direction of the calibration table P0 = origin, Pk = (xs[k-1], ys[k-1]):
// x (not negative) looked up on the x side, answered on the y side. Only
// the points of the leading run that rises in both columns take part; the
// search for the segment holding x starts at segment firstSegment (code to
// force starts at 2 and extends the second segment below P1, force to code
// starts at 1, from the origin).
double Interpolate(const std::array<int, 12> &xs, const std::array<int, 12> &ys, double x, int firstSegment)
{
    auto px = [&xs](int k) -> double { return k == 0 ? 0.0 : xs[size_t(k - 1)]; };
    auto py = [&ys](int k) -> double { return k == 0 ? 0.0 : ys[size_t(k - 1)]; };
    int n = 0;
    for (int k = 2; k <= 12 && px(k) > px(k - 1) && py(k) > py(k - 1); ++k)
        ++n;
    if (n == 0)
        return px(1) > 0 && py(1) > 0 ? x * py(1) / px(1) : 0.0;
    for (int k = firstSegment; k <= n; ++k)
        if (px(k) > x)
            return Lerp(x, px(k - 1), py(k - 1), px(k), py(k));
    // Beyond the last node the last segment extends; below a first node that
    // no searched segment holds there is no answer.
    if (px(n) > x || (n == 1 && !(px(1) > 0)))
        return 0.0;
    return Lerp(x, px(n - 1), py(n - 1), px(n), py(n));
}

} // namespace

TJudgeFlags JudgeMaskToFlags(int mask)
{
    TJudgeFlags f;
    f.Force = (mask & 4) != 0;
    f.Speed = (mask & 2) != 0;
    f.Valve = (mask & 1) != 0;
    return f;
}

int JudgeFlagsToMask(const TJudgeFlags &flags)
{
    return (flags.Force ? 4 : 0) | (flags.Speed ? 2 : 0) | (flags.Valve ? 1 : 0);
}

int DecodeChannelCode(quint8 b1, quint8 b2, quint8 b3) { return ChannelCode(b1, b2, b3); }

// ---------------------------------------------------------------------------

TCtrlBox::TCtrlBox(const TBoxModel &model) : FModel(model) {}

TCtrlBox::~TCtrlBox() = default;

void TCtrlBox::SetParamSetFactory(TParamSetFactory factory) { ParamSetFactory() = std::move(factory); }

void TCtrlBox::SetDefaultSerialFactory(TSerialLineFactory factory) { DefaultSerialFactory() = std::move(factory); }

bool TCtrlBox::BaseInit()
{
    if (FComm)
        FComm->Close();
    if (FSerialFactory)
        FComm = FSerialFactory();
    else if (DefaultSerialFactory())
        FComm = DefaultSerialFactory()();
    else
        FComm = std::make_unique<TMSComm>();
    Ready = 1;
    ParamDiffCount = -1;
    return true;
}

bool TCtrlBox::BaseFinish()
{
    if (FComm) {
        if (FComm->IsOpen())
            FComm->Close();
        FComm.reset();
    }
    return Ready != 0;
}

// Every model: settings of the model, its parameter set, then the line.
bool TCtrlBox::Init()
{
    CommPort = 1;
    Settings = QString::fromLatin1(FModel.DefaultSettings);

    FParamSet.reset();
    if (ParamSetFactory())
        FParamSet = ParamSetFactory()(*this);

    LoadPortSettings(QString::fromLatin1(FModel.Key), CommPort, Settings);
    LoadParams();
    return BaseInit();
}

bool TCtrlBox::Finish()
{
    if (!BaseFinish())
        return false;
    return StorePortSettings(QString::fromLatin1(FModel.Key), CommPort, Settings);
}

bool TCtrlBox::OpenPort()
{
    try {
        if (!FComm) {
            Online = 0;
            return false;
        }
        if (FComm->IsOpen())
            FComm->Close();
        if (!FComm->Open(CommPort, Settings)) {
            Online = 0;
            return false;
        }
        DiscardInput();
        return true;
    } catch (...) {
        Online = 0;
        return false;
    }
}

void TCtrlBox::Activate()
{
    SendByte(CmdStop);
    if (FModel.Family.ActivateByte >= 0)
        SendByte(FModel.Family.ActivateByte);
}

void TCtrlBox::Deactivate()
{
    if (FModel.Family.DeactivateByte >= 0)
        SendByte(FModel.Family.DeactivateByte);
}

int TCtrlBox::CompareParams()
{
    if (FParamSet)
        ParamDiffCount = FParamSet->CompareParams();
    return FModel.Family.CompareResult;
}

void TCtrlBox::MoveValve(int direction, int steps)
{
    if (steps < 0 || steps > 65535)
        Raise("valve step count outside 0..65535");
    const TFrame f = MoveValveFrame(direction, steps);
    QByteArray bytes;
    for (int b : f)
        bytes.append(static_cast<char>(b));
    SendFrame(bytes);
}

void TCtrlBox::ResetPlaten() { SendByte(CmdResetPlaten); }

bool TCtrlBox::WriteParam(int number, int value) { return WriteParamRaw(3 * number + FModel.Family.ParamOffset, value); }

bool TCtrlBox::WriteParam32(int number, qint32 value)
{
    const quint32 u = static_cast<quint32>(value);
    if (!WriteParamRaw(3 * number + FModel.Family.ParamOffset + 1, static_cast<int>(u >> 16)))
        return false;
    return WriteParamRaw(3 * number + FModel.Family.ParamOffset + 2, static_cast<int>(u & 0xFFFF));
}

int TCtrlBox::ReadParam(int number)
{
    int v = 0;
    return ReadParamRaw(3 * number + FModel.Family.ParamOffset, v) ? v : 0;
}

int TCtrlBox::ReadParam32(int number)
{
    int high = 0, low = 0;
    if (!ReadParamRaw(3 * number + FModel.Family.ParamOffset + 1, high))
        return 0;
    if (!ReadParamRaw(3 * number + FModel.Family.ParamOffset + 2, low))
        return 0;
    return static_cast<int>((static_cast<quint32>(high) << 16) | (static_cast<quint32>(low) & 0xFFFF));
}

bool TCtrlBox::ReadParamAt(int address, quint16 &value)
{
    int v = 0;
    if (!ReadParamRaw(address, v))
        return false;
    value = static_cast<quint16>(v);
    return true;
}

bool TCtrlBox::WriteParamAt(int address, int value) { return WriteParamRaw(address, value); }

bool TCtrlBox::SendValueFrame(quint8 command, int value)
{
    const TFrame f = ValueFrame(command, value);
    QByteArray bytes;
    for (int b : f)
        bytes.append(static_cast<char>(b));
    return SendFrame(bytes);
}

bool TCtrlBox::SetKeepLoad(double force)
{
    const double onWire = std::fabs(force) / FModel.Family.KeepLoadDivisor;
    return SendValueFrame(FrameKeepLoad, static_cast<int>(RoundEven(onWire) & 0xFFFF));
}

bool TCtrlBox::SetValveStart(int value)
{
    const bool ok = SendValueFrame(FrameValveStart, value & 0xFFFF);
    Sleep(80);
    return ok;
}

bool TCtrlBox::SetValvePosition(int value) { return SendValueFrame(FrameValvePosition, value & 0xFFFF); }

bool TCtrlBox::SetFastSpeed(int value)
{
    return WriteParamRaw(FModel.Family.FastSpeedAddress, value * FModel.Family.SpeedScale);
}

bool TCtrlBox::SetSlowSpeed(int value)
{
    return WriteParamRaw(FModel.Family.SlowSpeedAddress, value * FModel.Family.SpeedScale);
}

bool TCtrlBox::WriteParamRaw(int address, int value)
{
    const TFrame f = WriteParamFrame(address, value);
    bool ok = false;
    {
        QByteArray bytes;
        bool fits = true;
        for (int b : f)
            fits = fits && b >= 0 && b <= 255;
        if (!fits)
            Raise("frame byte above 255");
        for (int b : f)
            bytes.append(static_cast<char>(b));
        ok = SendFrame(bytes);
    }
    Sleep(80);
    return ok;
}

bool TCtrlBox::ReadParamRaw(int address, int &value)
{
    Sleep(20);
    const TFrame f = ReadParamFrame(address);
    for (int b : f)
        if (b < 0 || b > 255)
            Raise("frame byte above 255");
    QByteArray request;
    for (int b : f)
        request.append(static_cast<char>(b));

    for (int attempt = 0; attempt < 3; ++attempt) {
        try {
            if (!FComm || !FComm->IsOpen())
                continue; // the control would raise: next attempt
            DiscardInput();
            if (!SendFrame(request))
                continue;
            if (!WaitForBytes(ParamReplyLength))
                return false; // silent box: no further attempt
            const QByteArray reply = FComm->Input(ParamReplyLength);
            int a = -1, v = 0;
            if (ParseParamReply(reply, a, v) && a == address) {
                value = v;
                return true;
            }
        } catch (const EAssertion &) {
            throw;
        } catch (...) {
            // as a bad reply: next attempt
        }
    }
    return false;
}

bool TCtrlBox::WaitForBytes(int count)
{
    for (int rounds = 1;; ++rounds) {
        if ((FComm ? FComm->InBufferCount() : 0) >= count)
            return true;
        if (rounds > 10)
            return false;
        Sleep(20);
    }
}

void TCtrlBox::MissedPoll()
{
    ++MissCount;
    if (MissCount % 10 == 5) {
        ++StreamRestarts;
        SetADState(adRelative);
    }
    if (MissCount == 30) {
        Online = 0;
        ++StreamRestarts;
        SetADState(adRelative);
    }
}

bool TCtrlBox::FrameLooksGood(const QByteArray &frame) const
{
    return FModel.FrameLength == 7 ? Looks7(frame) : Looks12(frame);
}

int TCtrlBox::ResyncPosition(const QByteArray &frame) const
{
    for (int k = 1; k < frame.size(); ++k) {
        const quint8 b = static_cast<quint8>(frame[k]);
        // Only a frame start carries these top bits; every other byte of a
        // good frame has at least one of them clear.
        if (FModel.FrameLength == 7 ? (b & 0xE0) == 0xE0 : b == StatusStart)
            return k;
    }
    return -1;
}

bool TCtrlBox::DecodeFrame(const QByteArray &frame)
{
    if (!FrameLooksGood(frame))
        return false;
    const TStatusFrame s = FModel.FrameLength == 7 ? Decode7(frame) : Decode12(frame);
    // A seven-byte frame has channel A only: its channel B reads 0.
    const bool onB = FModel.Family.ForceChannel == TForceChannel::B;
    ForceCode = onB ? s.ChannelB : s.ChannelA;
    SecondCode = onB ? s.ChannelA : s.ChannelB;
    AuxCode = s.Aux;
    Status = s.Status;
    MissCount = 0;
    Online = 1;
    // Bounded: nobody taking them must not let the list grow without end.
    if (FKeepReadings && FReadings.size() < kMaxReadings)
        FReadings.push_back(TBoxReading{ForceCode, AuxCode});
    return true;
}

int TCtrlBox::DrainFrames()
{
    if (!FComm || !FComm->IsOpen())
        return 0;
    const int have = FComm->InBufferCount();
    if (have > 0)
        FRx += FComm->Input(have);
    const int len = FModel.FrameLength;
    int decoded = 0;
    while (FRx.size() >= len) {
        const QByteArray frame = FRx.left(len);
        if (DecodeFrame(frame)) {
            FRx.remove(0, len);
            ++decoded;
            continue;
        }
        // Resynchronise on the next frame start; a window without one is dropped.
        const int k = ResyncPosition(frame);
        FRx.remove(0, k > 0 ? k : len);
        FDropped += k > 0 ? k : len;
    }
    FDecodedSincePoll += decoded;
    return decoded;
}

bool TCtrlBox::Poll()
{
    // Waits for a frame only when none has come since the last poll: in
    // 20 ms rounds, and a silent box counts as a missed poll after 11
    // pauses. Garbage of a frame's length or more ends the poll at once.
    const qint64 dropped = FDropped;
    DrainFrames();
    // A closed line (the device went away) brings no frame: missed at once,
    // so a pulled cable does not hold up the caller on every poll.
    if (FDecodedSincePoll == 0 && (!FComm || !FComm->IsOpen())) {
        MissedPoll();
        return true;
    }
    int rounds = 0;
    while (FDecodedSincePoll == 0 && FDropped - dropped < FModel.FrameLength) {
        if (++rounds > 11) {
            MissedPoll();
            break;
        }
        Sleep(20);
        DrainFrames();
    }
    FDecodedSincePoll = 0;
    return true;
}

void TCtrlBox::KeepReadings(bool on)
{
    FKeepReadings = on;
    FReadings.clear();
}

std::vector<TBoxReading> TCtrlBox::TakeReadings()
{
    std::vector<TBoxReading> taken;
    taken.swap(FReadings);
    return taken;
}

void TCtrlBox::DiscardInput()
{
    if (FComm)
        FComm->DiscardInput();
    FRx.clear();
}

bool TCtrlBox::IsOnline() const { return Online != 0; }

QString TCtrlBox::OverloadText()
{
    return QCoreApplication::translate("kv::TCtrlBox", "当前力值已经超过选择的最大力值，请等工作台复位后继续试验！.");
}

bool TCtrlBox::OtherChannelTripped() const
{
    switch (FModel.Family.OtherCheck) {
    case TOtherCheck::None:
        return false;
    case TOtherCheck::Flexural:
        return FCheckKZ != 0 && SecondCode > FKZThreshold;
    case TOtherCheck::Compressive:
        return FCheckKY != 0 && SecondCode > FKYTHreshold;
    }
    return false;
}

QString TCtrlBox::OtherChannelText() const
{
    const char *text = FModel.Family.OtherCheckMessage;
    return text ? QCoreApplication::translate("kv::TCtrlBox", text) : QString();
}

bool TCtrlBox::CheckOverload(QString &message)
{
    if (Overloaded(ReadForce())) {
        message = OverloadText();
        return true;
    }
    if (OtherChannelTripped()) {
        message = OtherChannelText();
        return true;
    }
    return false;
}

int TCtrlBox::ReadForceCode()
{
    Poll();
    return ForceCode;
}

float TCtrlBox::ReadForce() { return CodeToForce(ForceCode); }

void TCtrlBox::ClearZero() { SendByte(FModel.Family.ClearZeroByte); }

int TCtrlBox::GetAuxCode() const { return AuxCode; }

int TCtrlBox::GetStatus() const { return Status; }

void TCtrlBox::SendByte(int code)
{
    if (FExistHand == 1 && FAutoLoad == 1 && code >= 0 && code <= 255 && MaskedInManualMode(code))
        return;
    SendFrame({code});
    Sleep(10);
}

void TCtrlBox::Command(int kind)
{
    switch (kind) {
    case bcStop: SendByte(CmdStop); break;
    case bcRun: SendByte(FModel.Family.RunByte); break;
    case bcKeep: SendByte(CmdKeep); break;
    case bcManualUp: SendByte(CmdManualUp); break;
    case bcManualDown: SendByte(CmdManualDown); break;
    case bcMotorUp: SendByte(CmdMotorUp); break;
    case bcMotorDown: SendByte(CmdMotorDown); break;
    default: break;
    }
}

void TCtrlBox::SetSpeedStage(int stage)
{
    if (stage == 0)
        SendByte(CmdFastStage);
    else if (stage == 1)
        SendByte(CmdSlowStage);
}

void TCtrlBox::SetADState(int state)
{
    static const char *const names[] = {"相对码", "绝对码", "停止发送"};
    static const int bytes[] = {CmdStreamRelative, CmdStreamAbsolute, CmdStreamOff};
    if (state < adRelative || state > adOff)
        return;
    SendByte(bytes[state]);
    qDebug().noquote() << QStringLiteral("%1 AD state %2 (%3)")
                              .arg(QLatin1String(FModel.ClassName))
                              .arg(state)
                              .arg(QString::fromUtf8(names[state]));
}

void TCtrlBox::SetControlMode(int mode)
{
    static const int bytes[] = {CmdModeAuto, CmdMode1, CmdModeManual, CmdLinkInit, CmdHostLeaving};
    if (mode >= cmAutomatic && mode <= cmHostLeaving)
        SendByte(bytes[mode]);
}

void TCtrlBox::SetProtect(int state)
{
    if (state == psOn)
        SendByte(CmdProtectOn);
    else if (state == psOff)
        SendByte(CmdProtectOff);
}

void TCtrlBox::Cmd35() { SendByte(CmdReserved35); }

void TCtrlBox::Cmd36() { SendByte(CmdReserved36); }

QWidget *TCtrlBox::ShowParams() { return FParamSet ? FParamSet->ShowParams() : nullptr; }

float TCtrlBox::CodeToForce(int code) const
{
    const double r = Interpolate(FLoadCode, FLoadValue, std::fabs(static_cast<double>(code)), 2);
    return static_cast<float>(code < 0 ? -r : r);
}

int TCtrlBox::ForceToCode(float force) const
{
    const double r = Interpolate(FLoadValue, FLoadCode, std::fabs(static_cast<double>(force)), 1);
    qint64 rounded = RoundEven(r);
    rounded = qBound<qint64>(-qint64(std::numeric_limits<int>::max()), rounded, qint64(std::numeric_limits<int>::max()));
    return static_cast<int>(force < 0 ? -rounded : rounded);
}

void TCtrlBox::SaveParams()
{
    if (FParamSet)
        FParamSet->SaveParams();
}

void TCtrlBox::LoadParams()
{
    if (FParamSet)
        FParamSet->LoadParams();
}

void TCtrlBox::UseSoftwareParams()
{
    if (FParamSet)
        FParamSet->UseSoftwareParams();
}

void TCtrlBox::Reserved43() { Raise("reserved driver operation called"); }

void TCtrlBox::RevertParams()
{
    if (FParamSet)
        FParamSet->RevertParams();
}

void TCtrlBox::UseBoxParams()
{
    if (FParamSet)
        FParamSet->UseBoxParams();
}

int TCtrlBox::ModelKind() const { return FModel.Kind; }

bool TCtrlBox::SendFrame(const std::initializer_list<int> &bytes)
{
    QByteArray out;
    for (int b : bytes) {
        if (b < 0 || b > 255)
            Raise("frame byte above 255");
        out.append(static_cast<char>(b));
    }
    return SendFrame(out);
}

bool TCtrlBox::SendFrame(const QByteArray &bytes)
{
    if (!FComm)
        return false;
    try {
        if (!FComm->IsOpen())
            return false;
        return FComm->Output(bytes);
    } catch (const EAssertion &) {
        throw;
    } catch (...) {
        return false;
    }
}

void TCtrlBox::RecomputeCoolReduction(const QDateTime &now)
{
    // Minutes since the last unload; never run counts as long ago.
    const double m = LastRunTime.isValid() ? LastRunTime.msecsTo(now) / 60000.0 : 1e12;
    double r = CoolReduction;
    if (m > CoolMaxTime)
        r = 0;
    else if (m >= 5)
        r = std::max(r - (m - 5) * CoolMaxReduction / CoolMaxTime, 0.0);
    else
        r = r + CoolEachReduction;
    CoolReduction = static_cast<int>(RoundEven(r));
}

void TCtrlBox::ResetRunFields(const QDateTime &now)
{
    CoolReduction = SavedCoolReduction;
    LastRunTime = SavedLastRunTime;
    RecomputeCoolReduction(now);
}

void TCtrlBox::SaveRunState()
{
    SavedCoolReduction = CoolReduction;
    SavedLastRunTime = LastRunTime;
}

// ---------------------------------------------------------------------------

TKVD300::TKVD300() : TCtrlBox(BoxModel(0)) {}
TKVD510::TKVD510() : TCtrlBox(BoxModel(1)) {}
TKVD520::TKVD520() : TCtrlBox(BoxModel(2)) {}
TKVD300_DJ::TKVD300_DJ() : TCtrlBox(BoxModel(3)) {}
TKVD510_DJ::TKVD510_DJ() : TCtrlBox(BoxModel(4)) {}
TKVD520_DJ::TKVD520_DJ() : TCtrlBox(BoxModel(5)) {}

// The models differ only in their row: every driver is the base driver on
// the row of its type.
std::unique_ptr<TCtrlBox> CreateCtrlBox(int machineType) { return std::make_unique<TCtrlBox>(BoxModel(machineType)); }

} // namespace kv
