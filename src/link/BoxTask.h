#pragma once
// TBoxTask: one piece of box traffic on a worker thread, so the caller's
// event loop (a progress window) keeps running. The driver's serial line is
// handed to the worker for the task and back at its end; meanwhile the
// caller must leave the driver alone (no status polling). The parameter
// exchange and the download of the force-code table run on it.
#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

namespace kv {

class TCtrlBox;

class TBoxTask : public QObject {
    Q_OBJECT
public:
    // finished() result when the worker could not get the serial line.
    static constexpr int LineUnavailable = -1;
    // Reports progress from the worker; delivered on the owner's thread.
    using TProgress = std::function<void(int done, int total)>;
    // The work, run on the worker with the line; its result goes to finished().
    using TWork = std::function<int(TCtrlBox &box, const TProgress &progress)>;

    explicit TBoxTask(TCtrlBox &box, QObject *parent = nullptr);
    // Waits for a running task (the line is handed back before it ends).
    ~TBoxTask() override;

    // False when a task is already running or the line cannot be handed
    // over; in the latter case finished(LineUnavailable) follows at once.
    bool Start(TWork work);
    bool Running() const { return FThread != nullptr; }
    // The worker of the running task (null when idle).
    QThread *Worker() const { return FThread.get(); }
    TCtrlBox &Box() const { return FBox; }

signals:
    // Both arrive on the thread that owns the task, in order.
    void progress(int done, int total);
    void finished(int result);

private:
    void Done();

    TCtrlBox &FBox;
    std::unique_ptr<QThread> FThread;
    std::atomic<int> FResult{0};
};

} // namespace kv
