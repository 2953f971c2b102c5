#pragma once
// The PC's view of the box's frames, written for the tests on their own (no
// code shared with the simulator's encoder or the program's driver).
#include <QByteArray>
#include <QList>
#include <cstdint>

namespace simtest {

struct TStatus {
    int a = 0;        // channel A (or the only channel)
    int b = 0;        // channel B (twelve-byte frames)
    int aux = 0;
    int status = 0;
};

inline std::uint8_t U(const QByteArray &f, int i) { return std::uint8_t(f[i]); }

inline bool IsFrame12(const QByteArray &f)
{
    return f.size() == 12 && U(f, 0) == 0xAA && (U(f, 10) & 0xF0) == 0 && U(f, 11) == 0x88;
}

inline bool IsFrame7(const QByteArray &f)
{
    return f.size() == 7 && (U(f, 0) & 0xE0) == 0xE0 && (U(f, 3) & 0xA0) == 0xA0 && (U(f, 6) & 0x0A) == 0x0A;
}

inline int Channel(const QByteArray &f, int i)
{
    const int m = ((U(f, i) & 0x3F) << 14) | ((U(f, i + 1) & 0x7F) << 7) | (U(f, i + 2) & 0x7F);
    return (U(f, i) & 0x40) ? -m : m;
}

inline TStatus Decode12(const QByteArray &f)
{
    TStatus s;
    s.a = Channel(f, 1);
    s.b = Channel(f, 4);
    const int aux = ((U(f, 7) & 0x03) << 14) | ((U(f, 8) & 0x7F) << 7) | (U(f, 9) & 0x7F);
    s.aux = (U(f, 7) & 0x40) ? -aux : aux;
    s.status = U(f, 10) & 0x0F;
    return s;
}

inline TStatus Decode7(const QByteArray &f)
{
    TStatus s;
    const int m = ((U(f, 0) & 0x07) << 14) | ((U(f, 1) & 0x7F) << 7) | (U(f, 2) & 0x7F);
    s.a = (U(f, 0) & 0x08) ? -m : m;
    s.status = U(f, 3) & 0x0F;
    s.aux = ((U(f, 4) & 0x7F) << 9) | ((U(f, 5) & 0x7F) << 2) | ((U(f, 6) & 0x60) >> 5);
    return s;
}

// Splits a byte stream into whole frames of one format; bytes that belong to
// no frame are counted in *stray.
inline QList<QByteArray> SplitFrames(const QByteArray &stream, bool seven, int *stray = nullptr)
{
    QList<QByteArray> frames;
    const int len = seven ? 7 : 12;
    int i = 0, lost = 0;
    while (i + len <= stream.size()) {
        const QByteArray f = stream.mid(i, len);
        if (seven ? IsFrame7(f) : IsFrame12(f)) {
            frames.append(f);
            i += len;
        } else {
            ++i;
            ++lost;
        }
    }
    if (stray)
        *stray = lost;
    return frames;
}

// Command frames as the PC sends them.
inline QByteArray Digits(int value, int width)
{
    QByteArray d(width, '0');
    for (int i = width - 1; i >= 0; --i, value /= 10)
        d[i] = char('0' + value % 10);
    return d;
}

inline QByteArray WriteParam(int address, int value)
{
    return QByteArray("\x68\xD0", 2) + Digits(address, 3) + Digits(value, 5) + QByteArray("\x16", 1);
}

inline QByteArray ReadParam(int address)
{
    return QByteArray("\x68\xD1", 2) + Digits(address, 3) + QByteArray("\x16", 1);
}

inline QByteArray ValueFrame(int type, int value)
{
    return QByteArray("\x68", 1) + QByteArray(1, char(type)) + Digits(value, 5) + QByteArray("\x16", 1);
}

inline QByteArray MoveValve(int direction, int steps)
{
    const int lo = steps & 0xFF, hi = (steps >> 8) & 0xFF;
    QByteArray f("\x68", 1);
    f.append(char(direction ? 1 : 0));
    f.append(char(lo));
    f.append(char(hi));
    f.append(char((lo + hi) & 0xFF));
    f.append(char(0x16));
    return f;
}

inline QByteArray Byte(int b) { return QByteArray(1, char(b)); }

inline QByteArray Hex(const char *text) { return QByteArray::fromHex(QByteArray(text)); }

} // namespace simtest
