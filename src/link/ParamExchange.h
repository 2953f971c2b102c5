#pragma once
// TParamExchange: one read or write of the box parameters on a worker thread
// (a TBoxTask), so the caller's event loop (a progress window) keeps running.
// Meanwhile the caller must leave the driver alone (no status polling).
#include "link/BoxTask.h"

#include <QObject>
#include <QThread>

namespace kv {

class TBaseParams;

class TParamExchange : public QObject {
    Q_OBJECT
public:
    // finished() count when the worker could not get the serial line.
    static constexpr int LineUnavailable = TBoxTask::LineUnavailable;

    explicit TParamExchange(TBaseParams &params, QObject *parent = nullptr);
    ~TParamExchange() override;

    // Reads every box item (ReadBox) with streaming switched off around it.
    // False when an exchange is already running or the line cannot be handed
    // over; in the latter case finished(LineUnavailable) follows at once.
    bool StartRead() { return Start(true); }
    // Writes the items whose differs flag is set (WriteBox); same rules.
    bool StartWrite() { return Start(false); }
    bool Running() const { return FTask->Running(); }
    // The worker of the running exchange (null when idle).
    QThread *Worker() const { return FTask->Worker(); }

signals:
    // Both arrive on the thread that owns the exchange, in order.
    void progress(int done, int total);
    // failures: items that could not be read / sent, or LineUnavailable.
    void finished(int failures);

private:
    bool Start(bool read);

    TBaseParams &FParams;
    TBoxTask *FTask = nullptr;
};

} // namespace kv
