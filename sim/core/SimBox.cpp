#include "SimBox.h"

#include <QStringList>
#include <algorithm>

namespace kvdsim {

namespace {

// Unused second input of a single-frame box with two-channel frames.
constexpr int kSpareAdcOffset = 600;

} // namespace

TSimBox::TSimBox(const TBoxOptions &options)
    : FOptions(options), FInfo(ModelInfo(options.model)), FWireRng(options.seed * 2654435761u + 7u)
{
    FSides.push_back(std::make_unique<TPressSide>(FInfo.familyA, FInfo.motorDriven, options.seed * 2u + 1u));
    if (FInfo.dualFrame)
        FSides.push_back(std::make_unique<TPressSide>(TFamily::F520, FInfo.motorDriven, options.seed * 2u + 2u));
    for (auto &s : FSides) {
        s->AttachMemory(FMemory.data());
        s->onNote = [this](const QString &t) { Note(t); };
    }
    LoadFactory();
    FActive = MainSide();
    TPressSide &main = Side(MainSide());
    main.SetStrengthRule(options.strength, options.strengthMean, options.strengthSpread);
    main.SetDrift(options.offset);
}

void TSimBox::LoadFactory()
{
    FMemory.fill(0);
    auto load = [this](TFamily family) {
        const TFactoryTable t = FactoryTable(family);
        for (int i = 0; i < t.count; ++i) {
            const TFactoryParam &p = t.rows[i];
            if (p.address < 0)
                continue;
            const long w = FactoryWireValue(p);
            if (p.highAddress >= 0) {
                FMemory[std::size_t(p.highAddress)] = int(w >> 16);
                FMemory[std::size_t(p.address)] = int(w & 0xFFFF);
            } else {
                FMemory[std::size_t(p.address)] = int(w);
            }
        }
    };
    load(FInfo.familyA);
    if (FInfo.dualFrame)
        load(TFamily::F520);
    for (auto &s : FSides)
        s->ParamsChanged();
}

int TSimBox::MainSide() const
{
    return (FInfo.forceChannel == ChanB && FSides.size() > 1) ? 1 : 0;
}

int TSimBox::Word(int address) const
{
    if (address < 0 || address > 999)
        return 0;
    return FMemory[std::size_t(address)];
}

void TSimBox::SetWord(int address, int value)
{
    if (address < 0 || address > 999)
        return;
    FMemory[std::size_t(address)] = std::clamp(value, 0, 99999);
    for (auto &s : FSides)
        s->ParamsChanged();
}

void TSimBox::Note(const QString &text) const
{
    if (onNote)
        onNote(text);
}

void TSimBox::SetPlugged(bool plugged)
{
    if (plugged == FPlugged)
        return;
    FPlugged = plugged;
    FReceiver.Reset();
    if (!plugged)
        FOut.clear();
    Note(plugged ? QStringLiteral("cable plugged in") : QStringLiteral("cable unplugged"));
}

void TSimBox::Reset()
{
    for (auto &s : FSides)
        s->PowerOn();
    FStreaming = StreamOff;
    FControlMode = ControlAutomatic;
    FLocked = false;
    FActive = MainSide();
    FReceiver.Reset();
    FOut.clear();
    FStray = 0;
    FDrop = 0;
    Note(QStringLiteral("box reset: streaming off, automatic control, parameters kept"));
}

void TSimBox::SetPattern(bool on, int a, int b, int aux, int status)
{
    FPattern = on;
    FPatternA = a;
    FPatternB = b;
    FPatternAux = aux;
    FPatternStatus = status;
}

// ---------------------------------------------------------------------------
// Receiving

void TSimBox::Receive(const QByteArray &bytes)
{
    if (!FPlugged)
        return;
    FBytesIn += bytes.size();
    QList<TBoxCommand> commands;
    for (char ch : bytes) {
        commands.clear();
        FReceiver.Feed(std::uint8_t(ch), FNow, &commands);
        for (const TBoxCommand &c : commands)
            Handle(c);
    }
}

void TSimBox::Handle(const TBoxCommand &c)
{
    switch (c.kind) {
    case TBoxCommand::None:
        break;
    case TBoxCommand::Byte:
        Execute(c.byte);
        break;
    case TBoxCommand::WriteParam:
        SetWord(c.address, c.value);
        Note(QStringLiteral("write %1 = %2").arg(c.address).arg(c.value));
        break;
    case TBoxCommand::ReadParam:
        if (FStreaming != StreamOff) {
            ++FReadsRefused;
            Note(QStringLiteral("read %1 not answered: streaming is on").arg(c.address));
        } else {
            ++FReadsAnswered;
            Emit(EncodeParamReply(c.address, Word(c.address)));
        }
        break;
    case TBoxCommand::KeepLoad:
        Active().SetKeepTarget(c.value);
        break;
    case TBoxCommand::ValveStart:
        Active().SetValveStart(c.value);
        Note(QStringLiteral("valve start %1").arg(c.value));
        break;
    case TBoxCommand::ValvePosition:
        Active().SetValvePosition(c.value);
        Note(QStringLiteral("valve position %1").arg(c.value));
        break;
    case TBoxCommand::MoveValve:
        Active().MoveValve(c.direction, c.value);
        Note(QStringLiteral("valve %1 by %2").arg(c.direction ? QStringLiteral("opened") : QStringLiteral("closed"))
                 .arg(c.value));
        break;
    case TBoxCommand::Bad:
        ++FBadFrames;
        Note(QStringLiteral("dropped %1: %2").arg(c.text, HexBytes(c.raw)));
        break;
    }
}

void TSimBox::Execute(int byte)
{
    const bool manual = FControlMode == ControlManual;
    switch (byte) {
    case 0xF0:
        if (FLocked) {
            Note(QStringLiteral("run refused: the compression side is locked (D3)"));
            break;
        }
        FActive = 0;
        Side(0).Run(manual);
        break;
    case 0xE0:
        if (SideCount() < 2) {
            Note(QStringLiteral("flexure run ignored: no flexure frame"));
            break;
        }
        FActive = 1;
        Side(1).Run(manual);
        break;
    case 0xF1:
        for (auto &s : FSides)
            s->Stop();
        break;
    case 0xF2:
        Side(0).Zero();
        Note(QStringLiteral("compression channel zeroed"));
        break;
    case 0xE2:
        if (SideCount() > 1) {
            Side(1).Zero();
            Note(QStringLiteral("flexure channel zeroed"));
        } else {
            Note(QStringLiteral("flexure zero ignored: no flexure frame"));
        }
        break;
    case 0xF3:
    case 0xF4:
        for (auto &s : FSides)
            s->SetSlowStage(byte == 0xF4);
        Note(byte == 0xF4 ? QStringLiteral("slow stage") : QStringLiteral("fast stage"));
        break;
    case 0xF5:
        Active().Keep();
        break;
    case 0xF6:
    case 0xF7:
        if (FStreaming == StreamOff)
            FNextFrame = FNow + 1;
        FStreaming = byte == 0xF6 ? StreamRelative : StreamAbsolute;
        Note(byte == 0xF6 ? QStringLiteral("streaming relative codes") : QStringLiteral("streaming absolute codes"));
        break;
    case 0xF8:
        FStreaming = StreamOff;
        Note(QStringLiteral("streaming off"));
        break;
    case 0xF9:
        Active().Reset();
        break;
    case 0xFA:
    case 0xB5:
        Active().Jog(+1);
        break;
    case 0xFB:
    case 0xB6:
        Active().Jog(-1);
        break;
    case 0xD0:
        FControlMode = ControlManual;
        Note(QStringLiteral("manual control"));
        break;
    case 0xD1:
        FControlMode = ControlMode1;
        Note(QStringLiteral("control mode 1"));
        break;
    case 0xD2:
        FControlMode = ControlAutomatic;
        Note(QStringLiteral("automatic control"));
        break;
    case 0xA1:
        FReceiver.Reset();
        Note(QStringLiteral("link initialisation"));
        break;
    case 0xA2:
        for (auto &s : FSides)
            s->Stop();
        FStreaming = StreamOff;
        Note(QStringLiteral("host closed the link: stopped, streaming off"));
        break;
    case 0xD3:
        if (Side(0).Mode() != TPressSide::Idle && Side(0).Mode() != TPressSide::Returning)
            Side(0).Stop();
        FLocked = true;
        if (SideCount() > 1)
            FActive = 1;
        Note(QStringLiteral("compression side locked (D3)"));
        break;
    case 0xD4:
        FLocked = false;
        FActive = 0;
        Note(QStringLiteral("compression side released (D4)"));
        break;
    case 0xFC:
    case 0xFD:
        Note(QStringLiteral("reserved command %1").arg(byte, 2, 16, QLatin1Char('0')).toUpper());
        break;
    default:
        Note(QStringLiteral("unknown command byte %1").arg(byte, 2, 16, QLatin1Char('0')).toUpper());
        break;
    }
}

// ---------------------------------------------------------------------------
// Sending

void TSimBox::Emit(const QByteArray &bytes)
{
    if (!FPlugged || FNow < FSilentUntil)
        return;
    QByteArray b = bytes;
    if (FDrop > 0) {
        const int n = std::min(FDrop, int(b.size()));
        b.remove(0, n);
        FDrop -= n;
    }
    FOut.append(b);
    FBytesOut += b.size();
}

QByteArray TSimBox::TakeOutput()
{
    QByteArray out;
    out.swap(FOut);
    return out;
}

void TSimBox::InjectBytes(const QByteArray &bytes)
{
    Emit(bytes);
}

void TSimBox::InjectGarbage(int count)
{
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(char(FWireRng.Bits() & 0xFF));
    Emit(b);
}

void TSimBox::StrayBeforeNextFrame(int count)
{
    FStray += std::max(count, 0);
}

void TSimBox::DropOutput(int count)
{
    FDrop += std::max(count, 0);
}

void TSimBox::Silence(int ms)
{
    FSilentUntil = FNow + std::max(ms, 0);
    Note(QStringLiteral("silent for %1 ms").arg(ms));
}

int TSimBox::SideCode(int index, bool withNoise)
{
    TPressSide &s = Side(index);
    int code = FStreaming == StreamAbsolute ? s.AbsoluteCode() : s.RelativeCode();
    if (withNoise && FOptions.noise > 0)
        code += s.Noise(FOptions.noise);
    FFrameCodes[std::size_t(index)] = code;
    FFrameCarries[std::size_t(index)] = true;
    return code;
}

int TSimBox::ChannelCode(TChannel channel, bool withNoise)
{
    // With the cables swapped each input carries the other sensor.
    const TChannel sensor = FSwapped ? (channel == ChanA ? ChanB : ChanA) : channel;
    if (sensor == ChanA)
        return SideCode(0, withNoise);
    if (SideCount() > 1)
        return SideCode(1, withNoise);
    // Unused input of a single-frame box: only noise around its offset.
    int code = FStreaming == StreamAbsolute ? kSpareAdcOffset : 0;
    if (withNoise && FOptions.noise > 0)
        code += Side(0).Noise(FOptions.noise);
    return code;
}

QByteArray TSimBox::CurrentFrame(bool withNoise)
{
    const int aux = Active().Valve();
    const int status = Active().StatusBits();
    if (FInfo.format == TFrameFormat::Seven) {
        if (FPattern)
            return EncodeStatus7(FPatternA, FPatternAux, FPatternStatus);
        return EncodeStatus7(ChannelCode(ChanA, withNoise), aux, status);
    }
    if (FPattern)
        return EncodeStatus12(FPatternA, FPatternB, FPatternAux, FPatternStatus);
    const int a = ChannelCode(ChanA, withNoise);
    const int b = ChannelCode(ChanB, withNoise);
    return EncodeStatus12(a, b, aux, status);
}

void TSimBox::Advance(int ms)
{
    QList<TBoxCommand> expired;
    for (int i = 0; i < ms; ++i) {
        ++FNow;
        expired.clear();
        FReceiver.Expire(FNow, &expired);
        for (const TBoxCommand &c : expired)
            Handle(c);
        for (auto &s : FSides)
            s->Step(0.001);
        if (FStreaming != StreamOff && FNow >= FNextFrame) {
            FNextFrame = FNow + std::max(FOptions.rateMs, 1);
            FFrameCarries.fill(false);
            QByteArray frame = CurrentFrame(true);
            if (FStray > 0) {
                QByteArray stray;
                while (stray.size() < FStray) {
                    const char b = char(FWireRng.Bits() & 0x7F);   // never a frame start
                    if (b != 0x68)
                        stray.append(b);
                }
                FStray = 0;
                frame.prepend(stray);
            }
            if (FPlugged && FNow >= FSilentUntil) {
                ++FFramesSent;
                // Each frame's press side learns the force code that went out for it.
                for (int k = 0; k < SideCount(); ++k)
                    if (FFrameCarries[std::size_t(k)])
                        Side(k).FrameSent(FFrameCodes[std::size_t(k)],
                                          FStreaming == StreamAbsolute ? Side(k).ZeroRef() : 0);
            }
            Emit(frame);
        }
    }
}

// ---------------------------------------------------------------------------

QString TSimBox::StatusText() const
{
    static const char *kStream[] = {"off", "relative codes", "absolute codes"};
    static const char *kControl[] = {"automatic", "mode 1", "manual"};
    QStringList l;
    l << QStringLiteral("model: %1 (%2, %3)")
             .arg(QLatin1String(FInfo.key),
                  FInfo.motorDriven ? QStringLiteral("motor-driven") : QStringLiteral("hydraulic"),
                  FInfo.format == TFrameFormat::Seven ? QStringLiteral("7-byte frames")
                                                      : QStringLiteral("12-byte frames"));
    l << QStringLiteral("box time: %1 s").arg(double(FNow) / 1000.0, 0, 'f', 3);
    l << QStringLiteral("streaming: %1, every %2 ms").arg(QLatin1String(kStream[FStreaming])).arg(FOptions.rateMs);
    l << QStringLiteral("control: %1").arg(QLatin1String(kControl[FControlMode]));
    l << QStringLiteral("compression side: %1").arg(FLocked ? QStringLiteral("locked (D3)") : QStringLiteral("free"));
    l << QStringLiteral("cable: %1%2%3")
             .arg(FPlugged ? QStringLiteral("plugged") : QStringLiteral("unplugged"),
                  FSwapped ? QStringLiteral(", sensors swapped") : QString(),
                  FNow < FSilentUntil ? QStringLiteral(", silent") : QString());
    for (int i = 0; i < SideCount(); ++i) {
        const TPressSide &s = Side(i);
        QStringList q;
        for (double v : s.StrengthQueue())
            q << QString::number(v, 'f', 0);
        l << QStringLiteral("side %1 %2%3: %4, force %5 N, code %6 (abs %7), valve %8, platen %9 mm")
                 .arg(i == 0 ? QStringLiteral("A") : QStringLiteral("B"),
                      QLatin1String(s.Spec().name),
                      i == FActive ? QStringLiteral(" [active]") : QString(),
                      QLatin1String(TPressSide::ModeName(s.Mode())))
                 .arg(s.Force(), 0, 'f', 1)
                 .arg(s.RelativeCode())
                 .arg(s.AbsoluteCode())
                 .arg(s.Valve())
                 .arg(s.Position(), 0, 'f', 3);
        l << QStringLiteral("  specimen: %1, strength %2 N, peak %3 N; next strengths: %4")
                 .arg(!s.SpecimenPresent() ? QStringLiteral("none")
                      : s.SpecimenBroken() ? QStringLiteral("broken") : QStringLiteral("intact"))
                 .arg(s.SpecimenStrength(), 0, 'f', 0)
                 .arg(s.SpecimenPeak(), 0, 'f', 0)
                 .arg(q.isEmpty() ? QStringLiteral("drawn") : q.join(QLatin1Char(' ')));
        l << QStringLiteral("  stage %1, rate control %2, max load %3 N%4%5%6%7")
                 .arg(s.SlowStage() ? QStringLiteral("slow") : QStringLiteral("fast"),
                      s.ControlActive() ? QStringLiteral("on") : QStringLiteral("off"))
                 .arg(s.MaxLoad(), 0, 'f', 0)
                 .arg(s.Leak() ? QStringLiteral(", return valve leaks") : QString(),
                      s.Overload() ? QStringLiteral(", overload") : QString(),
                      s.Drift() ? QStringLiteral(", zero offset %1").arg(s.Drift()) : QString(),
                      s.GainSet() ? QStringLiteral(", sensor gain %1 (own table)").arg(s.Gain()) : QString());
    }
    l << QStringLiteral("counters: %1 frames, %2 reads answered, %3 refused, %4 bad frames, %5 bytes in, %6 out")
             .arg(FFramesSent).arg(FReadsAnswered).arg(FReadsRefused).arg(FBadFrames)
             .arg(FBytesIn).arg(FBytesOut);
    return l.join(QLatin1Char('\n'));
}

} // namespace kvdsim
