#pragma once
// The simulated controller box: receives command bytes, keeps its parameter
// memory, runs one or two press frames and streams status frames. It has no
// clock of its own: Advance(ms) moves box time on, so a test can run minutes
// of loading in microseconds and a pty runner can follow the wall clock.
#include "BoxFrames.h"
#include "PressSide.h"
#include "SimModels.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <memory>

namespace kvdsim {

struct TBoxOptions {
    TModel model = TModel::KVD300;
    int rateMs = 20;            // status frame period
    std::uint32_t seed = 1;
    double noise = 2.0;         // standard deviation of the code noise
    double strength = 0;        // fixed specimen strength (N) of the main frame; 0 = drawn
    double strengthMean = 0;    // mean of drawn strengths; 0 = the frame's default
    double strengthSpread = -1; // spread of drawn strengths; < 0 = the frame's default
    int offset = 0;             // zero offset (codes) of the main frame's sensor
};

class TSimBox {
public:
    enum TStreaming { StreamOff, StreamRelative, StreamAbsolute };
    enum TControlMode { ControlAutomatic, ControlMode1, ControlManual };

    explicit TSimBox(const TBoxOptions &options);

    // Wire side.
    void Receive(const QByteArray &bytes);   // bytes from the PC
    QByteArray TakeOutput();                  // bytes for the PC
    void Advance(int ms);                     // box time moves on by ms
    qint64 NowMs() const { return FNow; }

    // Parameter memory.
    int Word(int address) const;
    void SetWord(int address, int value);
    void LoadFactory();

    // Faults and test hooks (the control channel's verbs).
    void InjectBytes(const QByteArray &bytes);      // sent at once
    void InjectGarbage(int count);                  // random bytes at once
    void StrayBeforeNextFrame(int count);           // bytes in front of the next frame
    void DropOutput(int count);                     // the next count bytes are lost
    void Silence(int ms);                           // sends nothing for ms
    // The box restarts (power dip, watchdog): streaming off, automatic
    // control, both frames unlocked and without their runs; the parameter
    // memory is kept.
    void Reset();
    void SetPlugged(bool plugged);
    bool Plugged() const { return FPlugged; }
    void SetSwapped(bool on) { FSwapped = on; }
    bool Swapped() const { return FSwapped; }
    void SetNoise(double sigma) { FOptions.noise = sigma; }
    void SetPattern(bool on, int a = 0, int b = 0, int aux = 0, int status = 0);
    // Front panel of the box (works in manual control as well).
    void PanelCommand(int byte) { Execute(byte); }

    // Frames: 0 = channel A (compression), 1 = channel B (flexure, two-frame
    // boxes only). The main frame is the one the model reads its force from.
    int SideCount() const { return int(FSides.size()); }
    TPressSide &Side(int index) { return *FSides[std::size_t(index)]; }
    const TPressSide &Side(int index) const { return *FSides[std::size_t(index)]; }
    int MainSide() const;
    int ActiveSide() const { return FActive; }
    TPressSide &Active() { return Side(FActive); }

    const TModelInfo &Info() const { return FInfo; }
    TStreaming Streaming() const { return FStreaming; }
    TControlMode ControlMode() const { return FControlMode; }
    bool CompressionLocked() const { return FLocked; }
    QString StatusText() const;

    // Counters.
    int FramesSent() const { return FFramesSent; }
    int ReadsAnswered() const { return FReadsAnswered; }
    int ReadsRefused() const { return FReadsRefused; }
    int BadFrames() const { return FBadFrames; }
    qint64 BytesReceived() const { return FBytesIn; }
    qint64 BytesSent() const { return FBytesOut; }

    // The frame the box would send now, without noise (for tests and status).
    QByteArray CurrentFrame(bool withNoise = false);

    std::function<void(const QString &)> onNote;

private:
    void Execute(int byte);
    void Handle(const TBoxCommand &c);
    void Emit(const QByteArray &bytes);
    void Note(const QString &text) const;
    int SideCode(int index, bool withNoise);
    int ChannelCode(TChannel channel, bool withNoise);

    TBoxOptions FOptions;
    TModelInfo FInfo;
    std::array<int, 1000> FMemory{};
    std::vector<std::unique_ptr<TPressSide>> FSides;
    TCommandReceiver FReceiver;
    TRandom FWireRng;
    QByteArray FOut;

    qint64 FNow = 0;
    qint64 FNextFrame = 0;
    TStreaming FStreaming = StreamOff;
    TControlMode FControlMode = ControlAutomatic;
    int FActive = 0;
    bool FLocked = false;

    bool FPlugged = true;
    bool FSwapped = false;
    int FDrop = 0;
    int FStray = 0;
    qint64 FSilentUntil = 0;
    bool FPattern = false;
    int FPatternA = 0, FPatternB = 0, FPatternAux = 0, FPatternStatus = 0;

    // The force code each side has in the status frame being built, if any.
    std::array<int, 2> FFrameCodes{};
    std::array<bool, 2> FFrameCarries{};

    int FFramesSent = 0;
    int FReadsAnswered = 0;
    int FReadsRefused = 0;
    int FBadFrames = 0;
    qint64 FBytesIn = 0;
    qint64 FBytesOut = 0;
};

} // namespace kvdsim
