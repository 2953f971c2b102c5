#pragma once
// TParamExchange: one read or write of the box parameters on a worker thread,
// so the caller's event loop (a progress window) keeps running. The driver's
// serial line is handed to the worker for the exchange and back at its end;
// meanwhile the caller must leave the driver alone (no status polling).
#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

namespace kv {

class TBaseParams;

class TParamExchange : public QObject {
    Q_OBJECT
public:
    // finished() count when the worker could not get the serial line.
    static constexpr int LineUnavailable = -1;

    explicit TParamExchange(TBaseParams &params, QObject *parent = nullptr);
    // Waits for a running exchange (the line is handed back before it ends).
    ~TParamExchange() override;

    // Reads every box item (ReadBox) with streaming switched off around it.
    // False when an exchange is already running or the line cannot be handed
    // over; in the latter case finished(LineUnavailable) follows at once.
    bool StartRead() { return Start(true); }
    // Writes the items whose differs flag is set (WriteBox); same rules.
    bool StartWrite() { return Start(false); }
    bool Running() const { return FThread != nullptr; }
    // The worker of the running exchange (null when idle).
    QThread *Worker() const { return FThread.get(); }

signals:
    // Both arrive on the thread that owns the exchange, in order.
    void progress(int done, int total);
    // failures: items that could not be read / sent, or LineUnavailable.
    void finished(int failures);

private:
    bool Start(bool read);
    void Run(bool read, QThread *home);
    void Done();

    TBaseParams &FParams;
    std::unique_ptr<QThread> FThread;
    std::atomic<int> FResult{0};
};

} // namespace kv
