#include "ui/main/CtrlBoxDriver.h"

#include "ui/dialogs/CommSettingsDialog.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>

namespace kv {

TCtrlBoxDriver::TCtrlBoxDriver(std::unique_ptr<TCtrlBox> box) : FBox(std::move(box)) {}

TCtrlBoxDriver::~TCtrlBoxDriver() = default;

void TCtrlBoxDriver::Init() { FBox->Init(); }
void TCtrlBoxDriver::OpenPort() { FBox->OpenPort(); }
void TCtrlBoxDriver::Activate() { FBox->Activate(); }
void TCtrlBoxDriver::SetControlMode(int mode) { FBox->SetControlMode(mode); }
void TCtrlBoxDriver::SetADState(int state) { FBox->SetADState(state); }
void TCtrlBoxDriver::ReadForceCode() { FBox->ReadForceCode(); }
bool TCtrlBoxDriver::IsOnline() const { return FBox->IsOnline(); }
void TCtrlBoxDriver::Command(int command) { FBox->Command(command); }

void TCtrlBoxDriver::CompareParams(QWidget *)
{
    const bool cursor = qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
    if (cursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    FBox->CompareParams();
    if (cursor)
        QApplication::restoreOverrideCursor();
}

bool TCtrlBoxDriver::EditCommSettings(QWidget *owner)
{
    int port = FBox->CommPort;
    QString settings = FBox->Settings;
    bool ok = false;
    if (FCommDialog) {
        ok = FCommDialog(owner, *FBox, port, settings);
    } else {
        TfrmCommSettings dlg(FBox.get(), owner);
        ok = dlg.exec() == QDialog::Accepted;
        port = dlg.GetPort();
        settings = dlg.GetSettings();
    }
    if (ok) {
        FBox->CommPort = port;
        FBox->Settings = settings;
    }
    return ok;
}

void TCtrlBoxDriver::ResetRunFields() { FBox->ResetRunFields(QDateTime::currentDateTime()); }
int TCtrlBoxDriver::ValveInit() const { return FBox->FValveInit; }
int TCtrlBoxDriver::ExistHand() const { return FBox->ExistHand(); }
int TCtrlBoxDriver::HandMode() const { return FBox->HandMode(); }
void TCtrlBoxDriver::SaveRunState() { FBox->SaveRunState(); }
void TCtrlBoxDriver::Finish() { FBox->Finish(); }
void TCtrlBoxDriver::Deactivate() { FBox->Deactivate(); }
int TCtrlBoxDriver::MaxLoad() const { return FBox->FMaxLoad; }

std::unique_ptr<TStartupDriver> CreateStartupDriver(int machineType)
{
    return std::make_unique<TCtrlBoxDriver>(CreateCtrlBox(machineType));
}

TCtrlBox *CtrlBoxOf(TStartupDriver *driver)
{
    auto *d = dynamic_cast<TCtrlBoxDriver *>(driver);
    return d ? d->Box() : nullptr;
}

} // namespace kv
