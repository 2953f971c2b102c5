#include "link/ParamExchange.h"

#include "link/CtrlBox.h"
#include "link/ParamSet.h"

namespace kv {

TParamExchange::TParamExchange(TBaseParams &params, QObject *parent)
    : QObject(parent), FParams(params), FTask(new TBoxTask(params.Box(), this))
{
    connect(FTask, &TBoxTask::progress, this, &TParamExchange::progress);
    connect(FTask, &TBoxTask::finished, this, &TParamExchange::finished);
}

// The task is a child: its destructor waits for a running worker.
TParamExchange::~TParamExchange() = default;

bool TParamExchange::Start(bool read)
{
    TBaseParams &params = FParams;
    return FTask->Start([&params, read](TCtrlBox &box, const TBoxTask::TProgress &report) {
        if (!read)
            return params.WriteBox(report);
        box.SetADState(adOff);
        const int failures = params.ReadBox(report);
        box.SetADState(adRelative);
        return failures;
    });
}

} // namespace kv
