#include "link/BoxConnection.h"

#include "Clock.h"

#include <QCoreApplication>
#include <QDateTime>

namespace kv {

TBoxConnection::TBoxConnection(TFactory factory) : FFactory(std::move(factory)) {}

TBoxConnection::~TBoxConnection() { FinishAll(); }

void TBoxConnection::Select(int machineType)
{
    FMachineType = StoredBoxModel(machineType).MachineType;
    if (!Current() && FFactory)
        FDrivers[size_t(FMachineType)] = FFactory(FMachineType);
}

bool TBoxConnection::IsOnline() const
{
    const TCtrlBox *box = Current();
    return box && box->IsOnline();
}

void TBoxConnection::Poll(int times)
{
    for (int i = 0; i < times; ++i)
        Current()->ReadForceCode();
}

// Opens the driver's port, polls the box and retries while it stays silent,
// then activates it; wake: the link is initialised first (the first
// contact of the program). True when the box answers.
bool TBoxConnection::Reach(TCtrlBox &box, bool wake)
{
    box.Init();
    box.OpenPort();
    for (int i = 0; wake && i < 2; ++i) {
        box.SetControlMode(cmLinkInit);
        Sleep(100);
    }
    box.SetADState(adRelative);
    Sleep(100);
    Poll(12);
    RetryUntilOnline(box);
    box.Activate();
    return box.IsOnline();
}

bool TBoxConnection::Connect()
{
    TCtrlBox *box = Current();
    if (!box || !Reach(*box, true))
        return false;
    for (int i = 0; i < 2; ++i) {
        box->SetControlMode(cmLinkInit);
        Sleep(100);
    }
    box->Command(bcStop);
    Compare(*box);
    return true;
}

bool TBoxConnection::ConnectSide()
{
    TCtrlBox *box = Current();
    if (!box || !Reach(*box, false))
        return false;
    Compare(*box);
    return true;
}

// While the box stays silent the operator may choose another port; each
// choice is opened and polled again. A refusal leaves the box off-line.
void TBoxConnection::RetryUntilOnline(TCtrlBox &box)
{
    while (!box.IsOnline()) {
        if (!FAskPort || !FAskPort(box))
            return;
        box.OpenPort();
        box.Activate();
        box.SetADState(adRelative);
        Sleep(50);
        QCoreApplication::processEvents();
        Poll(11);
    }
}

// The parameter comparison reads every box word: streaming is off meanwhile.
void TBoxConnection::Compare(TCtrlBox &box)
{
    box.SetADState(adOff);
    if (FBusy)
        FBusy(true);
    box.CompareParams();
    if (FBusy)
        FBusy(false);
    box.SetADState(adRelative);
}

void TBoxConnection::LeaveSide()
{
    if (TCtrlBox *box = Current()) {
        box->Deactivate();
        box->Finish();
    }
}

void TBoxConnection::ApplyControlMode()
{
    TCtrlBox *box = Current();
    if (!box)
        return;
    if (box->ExistHand() == 1)
        box->SetControlMode(box->HandMode() == 1 ? cmManual : cmAutomatic);
    else
        box->SetControlMode(cmAutomatic);
}

void TBoxConnection::Reinitialise(int silentTick)
{
    TCtrlBox *box = Current();
    if (!box)
        return;
    // A port opened again is a first contact: a run the box may still be
    // loading since the line went is stopped, the box activated.
    if (silentTick >= kReopenFirstTick && (silentTick - kReopenFirstTick) % kReopenEveryTicks == 0 &&
        box->OpenPort())
        box->Activate();
    // Nothing to say to a port that is gone.
    if (!box->Line() || !box->Line()->IsOpen())
        return;
    box->SetADState(adRelative);
    Sleep(100);
    box->SetControlMode(cmLinkInit);
    Sleep(100);
    box->SetControlMode(box->ExistHand() == 1 && box->HandMode() != 0 ? cmManual : cmAutomatic);
    Sleep(100);
}

void TBoxConnection::Leave()
{
    TCtrlBox *box = Current();
    if (box)
        box->SetADState(adOff);
    Sleep(20);
    if (box)
        box->SetControlMode(cmHostLeaving);
    Sleep(20);
}

void TBoxConnection::FinishAll()
{
    for (auto &driver : FDrivers) {
        if (driver) {
            driver->Finish();
            driver.reset();
        }
    }
}

} // namespace kv
