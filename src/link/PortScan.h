#pragma once
// TPortScan: looks for the controller box on ports 1 to 16, on a worker
// thread: each port is opened with the driver's line settings, streaming is
// asked for and polled five times; the first port that answers ends the
// scan with the driver set to it. The serial settings dialog shows the
// progress and can cancel.
#include <QThread>
#include <atomic>

namespace kv {

class TCtrlBox;

class TPortScan : public QThread {
    Q_OBJECT
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 16;

    explicit TPortScan(TCtrlBox &box, QObject *parent = nullptr);
    ~TPortScan() override;

    // Asks the scan to stop before its next port.
    void Cancel() { FCancel = true; }
    bool Cancelled() const { return FCancel.load(); }

signals:
    // A port is about to be looked at (also the one at which a cancel stops).
    void Progress(int port);
    // The port is being tried.
    void Trying(int port);
    // The scan is over; found: the driver answers on its CommPort.
    void Done(bool found);

protected:
    void run() override;

private:
    TCtrlBox &FBox;
    std::atomic<bool> FCancel{false};
};

} // namespace kv
