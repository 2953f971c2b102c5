#pragma once
// The box's side of the serial line: building the frames it sends and taking
// apart the bytes it receives. Independent of the program's driver code.
#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kvdsim {

// Frames the box sends.
// Twelve bytes: AA, channel A (3), channel B (3), auxiliary (3), status, 88.
QByteArray EncodeStatus12(int codeA, int codeB, int aux, int status);
// Seven bytes (single-channel box): force code, status, auxiliary code.
QByteArray EncodeStatus7(int code, int aux, int status);
// Parameter reply: 68, three address digits, five value digits, 16.
QByteArray EncodeParamReply(int address, int value);

// Largest magnitudes the frames can carry; larger values are clamped.
constexpr int kMaxCode12 = (1 << 20) - 1;   // 1048575
constexpr int kMaxCode7 = (1 << 17) - 1;    // 131071
constexpr int kMaxAux = 0xFFFF;

// One command the box received.
struct TBoxCommand {
    enum Kind {
        None,
        Byte,           // single command byte (value)
        WriteParam,     // address, value
        ReadParam,      // address
        KeepLoad,       // value
        ValveStart,     // value
        ValvePosition,  // value
        MoveValve,      // direction (0/1), value = steps
        Bad             // a broken frame; text says why, raw holds its bytes
    };
    Kind kind = None;
    int byte = 0;
    int address = 0;
    int value = 0;
    int direction = 0;
    QByteArray raw;
    QString text;
};

// Byte-by-byte receiver. A header byte 68 starts a fixed-length frame whose
// length follows from its second byte; any other byte outside a frame is a
// single command. A frame that breaks (non-digit where a digit belongs, wrong
// terminator or check sum) is dropped and the receiver looks for the next 68
// among its bytes, so a following good frame is not lost; bytes of a broken
// frame are never executed as commands. A frame left unfinished for longer
// than kFrameTimeoutMs is dropped the same way.
class TCommandReceiver {
public:
    static constexpr int kFrameTimeoutMs = 200;

    // Feeds one byte received at box time nowMs; completed commands (at most
    // a few, a rescan may finish a frame and run into another) are appended.
    void Feed(std::uint8_t byte, qint64 nowMs, QList<TBoxCommand> *out);
    // Called as box time passes: drops an unfinished frame after the time-out.
    void Expire(qint64 nowMs, QList<TBoxCommand> *out);
    void Reset() { FFrame.clear(); }
    bool InFrame() const { return !FFrame.isEmpty(); }

private:
    void Accept(std::uint8_t byte, QList<TBoxCommand> *out);
    void Broken(const QString &why, QList<TBoxCommand> *out);
    static int FrameLength(std::uint8_t type);

    QByteArray FFrame;
    qint64 FStartedMs = 0;
    qint64 FNowMs = 0;
};

QString HexBytes(const QByteArray &bytes);

} // namespace kvdsim
