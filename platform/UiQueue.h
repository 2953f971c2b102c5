#pragma once
// Effects of a worker tick on the user-interface thread, in their order.
// A tick collects what it wants done there (reports to an observer,
// messages) and hands them over as one batch when it ends; on the
// user-interface thread itself (virtual time in tests) they run at once.
#include "Export.h"

#include <QObject>
#include <functional>
#include <vector>

class QThread;

namespace kv {

class KVPLATFORM_EXPORT TUiQueue {
public:
    using TEffect = std::function<void()>;
    // The creating thread is the user-interface thread.
    TUiQueue();
    TUiQueue(const TUiQueue &) = delete;
    TUiQueue &operator=(const TUiQueue &) = delete;

    QThread *UiThread() const { return FUiThread; }
    bool OnUiThread() const;
    // Runs now on the user-interface thread, else joins the batch.
    void Post(TEffect effect);
    // Hands the batch to the user-interface thread's event loop.
    void Flush();
    // Runs from the user-interface thread's event loop, after what is queued.
    void Later(TEffect effect);

private:
    QThread *FUiThread;
    QObject FPost; // lives on the user-interface thread
    std::vector<TEffect> FBatch;
};

} // namespace kv
