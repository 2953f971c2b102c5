#include "link/ParamExchange.h"

#include "link/CtrlBox.h"
#include "link/ParamSet.h"

#include <QDebug>

namespace kv {

TParamExchange::TParamExchange(TBaseParams &params, QObject *parent) : QObject(parent), FParams(params) {}

TParamExchange::~TParamExchange()
{
    if (FThread)
        FThread->wait();
}

bool TParamExchange::Start(bool read)
{
    if (FThread)
        return false;
    QThread *home = QThread::currentThread();
    std::unique_ptr<QThread> worker(QThread::create([this, read, home] { Run(read, home); }));
    // The line moves while the worker is not started yet, from the thread that owns it.
    if (!FParams.Box().HandLineTo(worker.get())) {
        QMetaObject::invokeMethod(this, [this] { emit finished(LineUnavailable); }, Qt::QueuedConnection);
        return false;
    }
    FThread = std::move(worker);
    // The thread object lives here, so its end is delivered on this thread.
    connect(FThread.get(), &QThread::finished, this, &TParamExchange::Done);
    FThread->start();
    return true;
}

void TParamExchange::Run(bool read, QThread *home)
{
    TCtrlBox &box = FParams.Box();
    // Progress is posted to the owner's thread so its receivers run there.
    const TBaseParams::TProgress report = [this](int done, int total) {
        QMetaObject::invokeMethod(this, [this, done, total] { emit progress(done, total); }, Qt::QueuedConnection);
    };
    if (read) {
        box.SetADState(adOff);
        FResult = FParams.ReadBox(report);
        box.SetADState(adRelative);
    } else {
        FResult = FParams.WriteBox(report);
    }
    if (!box.HandLineTo(home))
        qWarning() << "parameter exchange: the serial line could not be handed back";
}

void TParamExchange::Done()
{
    FThread->wait();
    FThread.reset();
    emit finished(FResult.load());
}

} // namespace kv
