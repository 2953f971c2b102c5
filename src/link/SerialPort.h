#pragma once
// The serial line to the controller box: open by port number and settings
// string ("19200,n,8,1"), write a byte array, count the buffered bytes, read
// a given number of bytes, discard the receive buffer, close.
//
// TSerialLine is the interface the driver talks to, so tests can put a
// scripted line in its place. TMSComm is the real line over QSerialPort.
//
// Threads: a TMSComm is used by one thread at a time. The QSerialPort inside
// is created by Open on the calling thread and belongs to it; Close destroys
// it. A thread that has finished with the line (the port-scan worker) closes
// it before it ends, and the next Open on another thread creates a fresh port
// object there. A call from another thread than the opener's while the port
// is open is refused (reported as a failure) rather than touching an object
// of another thread.
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QSerialPort;
class QThread;

namespace kv {

// Line parameters taken from a settings string.
struct TSerialSettings {
    qint32 BaudRate = 19200;
    char Parity = 'n';   // 'n' none, 'o' odd, 'e' even, 'm' mark, 's' space
    int DataBits = 8;    // 5..8
    QString StopBits = "1"; // "1", "1.5" or "2"
};

// Parses "baud,parity,data,stop". Missing or malformed fields keep their
// defaults; false when the text is not of that form at all.
bool ParseSerialSettings(const QString &text, TSerialSettings &settings);

// The device a port number stands for: "<program folder>/ports/COM<N>" when
// that entry exists (a link to a pseudo-terminal of the simulator or of a
// test), otherwise the fixed mapping 1..4 -> /dev/ttyS0..3,
// 5..12 -> /dev/ttyUSB0..7, 13..16 -> /dev/ttyACM0..3. Empty for other
// numbers. programFolder empty: the folder of the running executable.
QString SerialDevicePath(int port, const QString &programFolder = QString());

class TSerialLine {
public:
    virtual ~TSerialLine() = default;
    // Closes first when open. False when the device cannot be opened or the
    // settings are not supported.
    virtual bool Open(int port, const QString &settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // One write of the whole array; false when closed or the write failed.
    virtual bool Output(const QByteArray &bytes) = 0;
    // Bytes received and not yet read (InBufferCount).
    virtual int InBufferCount() = 0;
    // Takes up to count bytes from the receive buffer (fewer when fewer are
    // buffered).
    virtual QByteArray Input(int count) = 0;
    // Drops everything received so far (InBufferCount := 0).
    virtual void DiscardInput() = 0;
    // Gives the line to another thread (the sampling thread of a run, and
    // back): called by the thread that holds it; false when it cannot.
    virtual bool HandTo(QThread *thread)
    {
        (void)thread;
        return true;
    }
};

using TSerialLineFactory = std::function<std::unique_ptr<TSerialLine>()>;

class TMSComm : public TSerialLine {
public:
    // programFolder: where "ports/COM<N>" entries are looked for; empty =
    // the folder of the running executable.
    explicit TMSComm(const QString &programFolder = QString());
    ~TMSComm() override;

    bool Open(int port, const QString &settings) override;
    void Close() override;
    bool IsOpen() const override;
    bool Output(const QByteArray &bytes) override;
    int InBufferCount() override;
    QByteArray Input(int count) override;
    void DiscardInput() override;
    bool HandTo(QThread *thread) override;

    // The device path of the last Open.
    QString DevicePath() const { return FDevicePath; }

private:
    bool OwnedHere() const;
    void DropPort();

    QString FProgramFolder;
    QString FDevicePath;
    QSerialPort *FPort = nullptr;
    QThread *FOwner = nullptr;
};

} // namespace kv
