#include "link/BoxFrames.h"

#include <cstdlib>

namespace kv::box {

namespace {

void AppendDigits(TFrame &f, qint64 v, int width)
{
    // Most significant position first; the top position is not reduced
    // modulo 10, so an oversized number shows up as a byte out of range.
    qint64 div = 1;
    for (int i = 1; i < width; ++i)
        div *= 10;
    f.push_back(static_cast<int>(qMin<qint64>(v / div + 0x30, 0x7FFFFFFF)));
    for (int i = width - 1; i > 0; --i) {
        div /= 10;
        f.push_back(static_cast<int>((v / div) % 10 + 0x30));
    }
}

bool Digit(char c, int &d)
{
    if (c < '0' || c > '9')
        return false;
    d = c - '0';
    return true;
}

} // namespace

bool MaskedInManualMode(int code)
{
    switch (code) {
    case CmdRun:
    case CmdStop:
    case CmdFastStage:
    case CmdSlowStage:
    case CmdKeep:
    case CmdResetPlaten:
        return true;
    default:
        return false;
    }
}

TFrame WriteParamFrame(int address, qint64 value)
{
    TFrame f{FrameHeader, FrameWriteParam};
    AppendDigits(f, std::llabs(address % 1000), 3);
    AppendDigits(f, std::llabs(value), 5);
    f.push_back(FrameEnd);
    return f;
}

TFrame ReadParamFrame(int address)
{
    TFrame f{FrameHeader, FrameReadParam};
    AppendDigits(f, std::llabs(static_cast<qint64>(address)), 3);
    f.push_back(FrameEnd);
    return f;
}

TFrame ValueFrame(int command, int value16)
{
    TFrame f{FrameHeader, command};
    AppendDigits(f, static_cast<quint16>(value16), 5);
    f.push_back(FrameEnd);
    return f;
}

TFrame MoveValveFrame(int direction, int steps)
{
    const int lo = steps & 0xFF;
    const int hi = (steps >> 8) & 0xFF;
    return TFrame{FrameHeader, direction != 0 ? 1 : 0, lo, hi, (lo + hi) & 0xFF, FrameEnd};
}

bool ParseParamReply(const QByteArray &reply, int &address, int &value)
{
    if (reply.size() != ParamReplyLength)
        return false;
    if (static_cast<quint8>(reply[0]) != FrameHeader || static_cast<quint8>(reply[9]) != FrameEnd)
        return false;
    int a = 0, v = 0, d = 0;
    for (int i = 1; i <= 3; ++i) {
        if (!Digit(reply[i], d))
            return false;
        a = a * 10 + d;
    }
    for (int i = 4; i <= 8; ++i) {
        if (!Digit(reply[i], d))
            return false;
        v = v * 10 + d;
    }
    address = a;
    value = v;
    return true;
}

int ChannelCode(quint8 b1, quint8 b2, quint8 b3)
{
    const int magnitude = ((b1 & 0x3F) << 14) | ((b2 & 0x7F) << 7) | (b3 & 0x7F);
    return (b1 & 0x40) ? -magnitude : magnitude;
}

namespace {
quint8 At(const QByteArray &f, int i) { return static_cast<quint8>(f[i]); }
} // namespace

bool Looks12(const QByteArray &f)
{
    return f.size() == 12 && At(f, 0) == StatusStart && (At(f, 10) & 0xF0) == 0 && At(f, 11) == StatusEnd;
}

bool Looks7(const QByteArray &f)
{
    return f.size() == 7 && (At(f, 0) & 0xE0) == 0xE0 && (At(f, 3) & 0xA0) == 0xA0 && (At(f, 6) & 0x0A) == 0x0A;
}

TStatusFrame Decode12(const QByteArray &f)
{
    TStatusFrame s;
    s.ChannelA = ChannelCode(At(f, 1), At(f, 2), At(f, 3));
    s.ChannelB = ChannelCode(At(f, 4), At(f, 5), At(f, 6));
    const int aux = ((At(f, 7) & 0x03) << 14) | ((At(f, 8) & 0x7F) << 7) | (At(f, 9) & 0x7F);
    s.Aux = (At(f, 7) & 0x40) ? -aux : aux;
    s.Status = At(f, 10) & 0x0F;
    return s;
}

TStatusFrame Decode7(const QByteArray &f)
{
    TStatusFrame s;
    const int force = ((At(f, 0) & 0x07) << 14) | ((At(f, 1) & 0x7F) << 7) | (At(f, 2) & 0x7F);
    s.ChannelA = (At(f, 0) & 0x08) ? -force : force;
    s.Status = At(f, 3) & 0x0F;
    s.Aux = ((At(f, 4) & 0x7F) << 9) | ((At(f, 5) & 0x7F) << 2) | ((At(f, 6) & 0x60) >> 5);
    return s;
}

namespace {
void PutChannel(QByteArray &f, int at, int code, int topMask)
{
    const int m = code < 0 ? -code : code;
    f[at] = static_cast<char>(((m >> 14) & topMask) | (code < 0 ? 0x40 : 0));
    f[at + 1] = static_cast<char>((m >> 7) & 0x7F);
    f[at + 2] = static_cast<char>(m & 0x7F);
}
} // namespace

QByteArray Encode12(int a, int b, int aux, int status)
{
    QByteArray f(12, '\0');
    f[0] = static_cast<char>(StatusStart);
    PutChannel(f, 1, a, 0x3F);
    PutChannel(f, 4, b, 0x3F);
    PutChannel(f, 7, aux, 0x03);
    f[10] = static_cast<char>(status & 0x0F);
    f[11] = static_cast<char>(StatusEnd);
    return f;
}

QByteArray Encode7(int force, int aux, int status)
{
    const int m = force < 0 ? -force : force;
    const int u = aux & 0xFFFF;
    QByteArray f(7, '\0');
    f[0] = static_cast<char>(0xE0 | (force < 0 ? 0x08 : 0) | ((m >> 14) & 0x07));
    f[1] = static_cast<char>((m >> 7) & 0x7F);
    f[2] = static_cast<char>(m & 0x7F);
    f[3] = static_cast<char>(0xA0 | (status & 0x0F));
    f[4] = static_cast<char>((u >> 9) & 0x7F);
    f[5] = static_cast<char>((u >> 2) & 0x7F);
    f[6] = static_cast<char>(0x0A | ((u & 0x03) << 5));
    return f;
}

} // namespace kv::box
