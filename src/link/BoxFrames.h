#pragma once
// The bytes on the line to the controller box: command bytes, the command
// frames the PC sends and the frames the box sends back (parameter reply,
// twelve- and seven-byte status frames). Pure functions, no port.
//
// Command frames are built as int arrays: a digit position is quotient +
// 0x30 without clamping, so a value that does not fit its field gives an
// element above 255, which the sender refuses.
#include <QByteArray>
#include <QtGlobal>
#include <vector>

namespace kv::box {

using TFrame = std::vector<int>;

inline constexpr int FrameHeader = 0x68;
inline constexpr int FrameEnd = 0x16;
inline constexpr int StatusStart = 0xAA;   // twelve-byte status frame
inline constexpr int StatusEnd = 0x88;
inline constexpr int Status7Start = 0xE0;  // seven-byte frame, resynchronisation byte
inline constexpr int ParamReplyLength = 10;

// Single command bytes.
enum TCommandByte : int {
    CmdRun = 0xF0,
    CmdRunFlex = 0xE0,
    CmdStop = 0xF1,
    CmdClearZero = 0xF2,
    CmdClearZeroFlex = 0xE2,
    CmdFastStage = 0xF3,
    CmdSlowStage = 0xF4,
    CmdKeep = 0xF5,
    CmdStreamRelative = 0xF6,
    CmdStreamAbsolute = 0xF7,
    CmdStreamOff = 0xF8,
    CmdResetPlaten = 0xF9,
    CmdManualUp = 0xFA,
    CmdManualDown = 0xFB,
    CmdMotorUp = 0xB5,
    CmdMotorDown = 0xB6,
    CmdModeManual = 0xD0,
    CmdMode1 = 0xD1,
    CmdModeAuto = 0xD2,
    CmdLinkInit = 0xA1,
    CmdHostLeaving = 0xA2,
    CmdProtectOn = 0xD3,
    CmdProtectOff = 0xD4,
    CmdReserved36 = 0xFC,
    CmdReserved35 = 0xFD,
};

// Frame command codes (second byte).
inline constexpr int FrameWriteParam = 0xD0;
inline constexpr int FrameReadParam = 0xD1;
inline constexpr int FrameKeepLoad = 0xD3;
inline constexpr int FrameValveStart = 0xD4;
inline constexpr int FrameValvePosition = 0xD5;

// Bytes that manual control keeps from the box: run, stop, the two speed
// stages, keep and platen reset (a 256-bit mask).
bool MaskedInManualMode(int code);

// 68 D0 A2 A1 A0 V4..V0 16: address modulo 1000, the value's magnitude.
TFrame WriteParamFrame(int address, qint64 value);
// 68 D1 A2 A1 A0 16.
TFrame ReadParamFrame(int address);
// 68 <command> V4..V0 16 with a 16-bit value (keep load, valve start/position).
TFrame ValueFrame(int command, int value16);
// 68 D L H (L+H)&FF 16. Steps must lie in 0..65535 (the caller checks).
TFrame MoveValveFrame(int direction, int steps);

// A parameter reply of exactly ten bytes: header, three address digits, five
// value digits, terminator. False for anything else (a byte that is not a
// digit included).
bool ParseParamReply(const QByteArray &reply, int &address, int &value);

// One decoded status frame.
struct TStatusFrame {
    int ChannelA = 0;  // KVD300: the force code
    int ChannelB = 0;  // twelve-byte frames only
    int Aux = 0;
    int Status = 0;
};

// Channel code of three bytes (b1 and 0x3F, b2, b3 seven bits each; sign in
// b1 bit 6).
int ChannelCode(quint8 b1, quint8 b2, quint8 b3);

// Frame checks of the quick test (start, end and marker bits).
bool Looks12(const QByteArray &f);
bool Looks7(const QByteArray &f);
TStatusFrame Decode12(const QByteArray &f);
TStatusFrame Decode7(const QByteArray &f);

// Encoders, the inverse of the decoders (used by the tests).
QByteArray Encode12(int a, int b, int aux, int status);
QByteArray Encode7(int force, int aux, int status);

} // namespace kv::box
