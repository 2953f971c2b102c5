#pragma once
// The main window's view of a controller driver: start-up, first show and
// closing call these operations; TCtrlBoxDriver carries them out on a real
// TCtrlBox and shows the serial settings dialog when asked.
#include "ui/main/MeasureSteps.h"
#include "link/CtrlBox.h"

#include <memory>

namespace kv {

class TCtrlBoxDriver : public TStartupDriver {
public:
    explicit TCtrlBoxDriver(std::unique_ptr<TCtrlBox> box);
    ~TCtrlBoxDriver() override;

    TCtrlBox *Box() const { return FBox.get(); }

    void Init() override;
    void OpenPort() override;
    void Activate() override;
    void SetControlMode(int mode) override;
    void SetADState(int state) override;
    void ReadForceCode() override;
    bool IsOnline() const override;
    void Command(int command) override;
    // Reads the box's parameters and counts the differences (busy cursor
    // meanwhile); the parameter set hands differences to its handler.
    void CompareParams(QWidget *owner) override;
    bool EditCommSettings(QWidget *owner) override;
    void ResetRunFields() override;
    int ValveInit() const override;
    int ExistHand() const override;
    int HandMode() const override;
    void SaveRunState() override;
    void Finish() override;
    void Deactivate() override;
    int MaxLoad() const override;

    // How EditCommSettings asks the operator; empty = the modal
    // TfrmCommSettings. Returns true on OK with port and settings chosen.
    using TCommDialog = std::function<bool(QWidget *owner, TCtrlBox &box, int &port, QString &settings)>;
    void SetCommDialog(TCommDialog dialog) { FCommDialog = std::move(dialog); }

private:
    std::unique_ptr<TCtrlBox> FBox;
    TCommDialog FCommDialog;
};

// The driver of a machine type 0..5 for the main window.
std::unique_ptr<TStartupDriver> CreateStartupDriver(int machineType);
// The real box of a main-window driver; null for any other driver.
TCtrlBox *CtrlBoxOf(TStartupDriver *driver);

} // namespace kv
