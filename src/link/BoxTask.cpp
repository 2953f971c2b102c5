#include "link/BoxTask.h"

#include "link/CtrlBox.h"

#include <QDebug>

namespace kv {

TBoxTask::TBoxTask(TCtrlBox &box, QObject *parent) : QObject(parent), FBox(box) {}

TBoxTask::~TBoxTask()
{
    if (FThread)
        FThread->wait();
}

bool TBoxTask::Start(TWork work)
{
    if (FThread)
        return false;
    QThread *home = QThread::currentThread();
    std::unique_ptr<QThread> worker(QThread::create([this, work = std::move(work), home] {
        // Progress is posted to the owner's thread so its receivers run there.
        const TProgress report = [this](int done, int total) {
            QMetaObject::invokeMethod(this, [this, done, total] { emit progress(done, total); }, Qt::QueuedConnection);
        };
        FResult = work(FBox, report);
        if (!FBox.HandLineTo(home))
            qWarning() << "box task: the serial line could not be handed back";
    }));
    // The line moves while the worker is not started yet, from the thread that owns it.
    if (!FBox.HandLineTo(worker.get())) {
        QMetaObject::invokeMethod(this, [this] { emit finished(LineUnavailable); }, Qt::QueuedConnection);
        return false;
    }
    FThread = std::move(worker);
    // The thread object lives here, so its end is delivered on this thread.
    connect(FThread.get(), &QThread::finished, this, &TBoxTask::Done);
    FThread->start();
    return true;
}

void TBoxTask::Done()
{
    FThread->wait();
    FThread.reset();
    emit finished(FResult.load());
}

} // namespace kv
