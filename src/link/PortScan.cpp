#include "link/PortScan.h"

#include "Clock.h"
#include "link/CtrlBox.h"

namespace kv {

TPortScan::TPortScan(TCtrlBox &box, QObject *parent) : QThread(parent), FBox(box) {}

TPortScan::~TPortScan()
{
    Cancel();
    wait();
}

void TPortScan::run()
{
    bool found = false;
    for (int port = FirstPort; port <= LastPort; ++port) {
        emit Progress(port);
        if (FCancel)
            break;
        emit Trying(port);
        FBox.CommPort = port;
        // Only a frame from this port counts, not the state of an earlier one.
        FBox.Online = 0;
        FBox.MissCount = 0;
        FBox.OpenPort();
        FBox.SetADState(adRelative);
        Sleep(100);
        for (int i = 0; i < 5; ++i)
            FBox.ReadForceCode();
        if (FBox.IsOnline()) {
            found = true;
            break;
        }
    }
    // The port object belongs to this thread: it is closed before the thread
    // ends, the caller opens it again on its own thread.
    if (FBox.Line())
        FBox.Line()->Close();
    emit Done(found);
}

} // namespace kv
