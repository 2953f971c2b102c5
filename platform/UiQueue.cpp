#include "UiQueue.h"

#include <QMetaObject>
#include <QThread>
#include <memory>

namespace kv {

TUiQueue::TUiQueue() : FUiThread(QThread::currentThread()) {}

bool TUiQueue::OnUiThread() const { return QThread::currentThread() == FUiThread; }

void TUiQueue::Post(TEffect effect)
{
    if (OnUiThread())
        effect();
    else
        FBatch.push_back(std::move(effect));
}

void TUiQueue::Flush()
{
    if (FBatch.empty())
        return;
    auto batch = std::make_shared<std::vector<TEffect>>(std::move(FBatch));
    FBatch.clear();
    QMetaObject::invokeMethod(
        &FPost, [batch] {
            for (auto &effect : *batch)
                effect();
        },
        Qt::QueuedConnection);
}

void TUiQueue::Later(TEffect effect)
{
    QMetaObject::invokeMethod(&FPost, std::move(effect), Qt::QueuedConnection);
}

} // namespace kv
