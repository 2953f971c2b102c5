#include "BoxFrames.h"

#include <QList>
#include <algorithm>
#include <cstdlib>

namespace kvdsim {

namespace {

constexpr std::uint8_t kHeader = 0x68;
constexpr std::uint8_t kTerminator = 0x16;

// Three bytes of a signed channel code: sign in 0x40 of the first byte,
// 20 magnitude bits spread 6 + 7 + 7.
void PutChannel(QByteArray &f, int code)
{
    const bool negative = code < 0;
    const int m = std::min(std::abs(code), kMaxCode12);
    f.append(char(((m >> 14) & 0x3F) | (negative ? 0x40 : 0)));
    f.append(char((m >> 7) & 0x7F));
    f.append(char(m & 0x7F));
}

void PutDigits(QByteArray &f, int value, int width)
{
    QByteArray d(width, '0');
    for (int i = width - 1; i >= 0; --i) {
        d[i] = char('0' + value % 10);
        value /= 10;
    }
    f.append(d);
}

bool IsDigit(std::uint8_t b) { return b >= 0x30 && b <= 0x39; }

int Digits(const QByteArray &f, int from, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i)
        v = v * 10 + (std::uint8_t(f[from + i]) - 0x30);
    return v;
}

} // namespace

QByteArray EncodeStatus12(int codeA, int codeB, int aux, int status)
{
    QByteArray f;
    f.reserve(12);
    f.append(char(0xAA));
    PutChannel(f, codeA);
    PutChannel(f, codeB);
    const bool negative = aux < 0;
    const int m = std::min(std::abs(aux), kMaxAux);
    f.append(char(((m >> 14) & 0x03) | (negative ? 0x40 : 0)));
    f.append(char((m >> 7) & 0x7F));
    f.append(char(m & 0x7F));
    f.append(char(status & 0x0F));
    f.append(char(0x88));
    return f;
}

QByteArray EncodeStatus7(int code, int aux, int status)
{
    const bool negative = code < 0;
    const int m = std::min(std::abs(code), kMaxCode7);
    const int a = std::clamp(aux, 0, kMaxAux);
    QByteArray f;
    f.reserve(7);
    f.append(char(0xE0 | (negative ? 0x08 : 0) | ((m >> 14) & 0x07)));
    f.append(char((m >> 7) & 0x7F));
    f.append(char(m & 0x7F));
    f.append(char(0xA0 | (status & 0x0F)));
    f.append(char((a >> 9) & 0x7F));
    f.append(char((a >> 2) & 0x7F));
    f.append(char(0x0A | ((a & 0x03) << 5)));
    return f;
}

QByteArray EncodeParamReply(int address, int value)
{
    QByteArray f;
    f.reserve(10);
    f.append(char(kHeader));
    PutDigits(f, std::clamp(address, 0, 999), 3);
    PutDigits(f, std::clamp(value, 0, 99999), 5);
    f.append(char(kTerminator));
    return f;
}

int TCommandReceiver::FrameLength(std::uint8_t type)
{
    switch (type) {
    case 0xD0: return 11;               // write parameter
    case 0xD1: return 6;                // read parameter
    case 0xD3: case 0xD4: case 0xD5: return 8;   // keep load, valve start, valve position
    default: return 6;                  // valve move: 68 D L H sum 16 (D = 0 or 1)
    }
}

void TCommandReceiver::Feed(std::uint8_t byte, qint64 nowMs, QList<TBoxCommand> *out)
{
    FNowMs = nowMs;
    Expire(nowMs, out);
    Accept(byte, out);
}

void TCommandReceiver::Expire(qint64 nowMs, QList<TBoxCommand> *out)
{
    FNowMs = nowMs;
    if (!FFrame.isEmpty() && nowMs - FStartedMs > kFrameTimeoutMs)
        Broken(QStringLiteral("unfinished frame"), out);
}

void TCommandReceiver::Accept(std::uint8_t byte, QList<TBoxCommand> *out)
{
    if (FFrame.isEmpty()) {
        if (byte == kHeader) {
            FFrame.append(char(byte));
            FStartedMs = FNowMs;
            return;
        }
        TBoxCommand c;
        c.kind = TBoxCommand::Byte;
        c.byte = byte;
        c.raw = QByteArray(1, char(byte));
        out->append(c);
        return;
    }

    FFrame.append(char(byte));
    const int pos = FFrame.size() - 1;
    const std::uint8_t type = std::uint8_t(FFrame[1]);
    if (pos == 1 && !(type <= 0x01 || type == 0xD0 || type == 0xD1 || type == 0xD3 || type == 0xD4
                      || type == 0xD5)) {
        // Not a frame after all: the lone header is dropped and the byte is
        // taken on its own (a stop byte after a stray 68 still stops).
        TBoxCommand bad;
        bad.kind = TBoxCommand::Bad;
        bad.raw = FFrame.left(1);
        bad.text = QStringLiteral("header without a frame type");
        out->append(bad);
        FFrame.clear();
        Accept(type, out);
        return;
    }
    const int len = FrameLength(type);
    const bool ascii = type == 0xD0 || type == 0xD1 || type == 0xD3 || type == 0xD4 || type == 0xD5;

    if (pos < len - 1) {
        // Payload byte: ASCII frames carry only digits.
        if (pos >= 2 && ascii && !IsDigit(byte))
            Broken(QStringLiteral("non-digit in frame"), out);
        return;
    }

    // Last byte of the frame.
    if (byte != kTerminator) {
        Broken(QStringLiteral("bad terminator"), out);
        return;
    }
    TBoxCommand c;
    c.raw = FFrame;
    switch (type) {
    case 0xD0:
        c.kind = TBoxCommand::WriteParam;
        c.address = Digits(FFrame, 2, 3);
        c.value = Digits(FFrame, 5, 5);
        break;
    case 0xD1:
        c.kind = TBoxCommand::ReadParam;
        c.address = Digits(FFrame, 2, 3);
        break;
    case 0xD3:
    case 0xD4:
    case 0xD5:
        c.kind = type == 0xD3 ? TBoxCommand::KeepLoad
               : type == 0xD4 ? TBoxCommand::ValveStart : TBoxCommand::ValvePosition;
        c.value = Digits(FFrame, 2, 5);
        break;
    default: {
        const int lo = std::uint8_t(FFrame[2]);
        const int hi = std::uint8_t(FFrame[3]);
        if (((lo + hi) & 0xFF) != std::uint8_t(FFrame[4])) {
            Broken(QStringLiteral("valve move check sum"), out);
            return;
        }
        c.kind = TBoxCommand::MoveValve;
        c.direction = type;
        c.value = lo | (hi << 8);
        break;
    }
    }
    FFrame.clear();
    out->append(c);
}

void TCommandReceiver::Broken(const QString &why, QList<TBoxCommand> *out)
{
    TBoxCommand bad;
    bad.kind = TBoxCommand::Bad;
    bad.raw = FFrame;
    bad.text = why;
    // Look for a later header among the bytes of the broken frame and start
    // over from it; the bytes before it are dropped.
    const int next = FFrame.indexOf(char(kHeader), 1);
    QByteArray rest = next > 0 ? FFrame.mid(next) : QByteArray();
    if (next > 0)
        bad.raw = FFrame.left(next);
    FFrame.clear();
    out->append(bad);
    if (!rest.isEmpty()) {
        FFrame.append(rest[0]);
        FStartedMs = FNowMs;
        for (int i = 1; i < rest.size(); ++i)
            Accept(std::uint8_t(rest[i]), out);
    }
}

QString HexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace kvdsim
