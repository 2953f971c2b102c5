#pragma once
// TfrmStopPar: the constant-load settings opened by btnStable before a
// constant-load run. The range and slot rules are plain functions so that
// they can be checked without the window.
#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

namespace kv {

class TCtrlBox;
class TfrmMeasure;
class TZovData;
struct TMeasureSteps;

// Range of the force spin edit in display units: 2 % .. 102 % of maxLoad.
struct TStopParRange {
    int Min;
    int Max;
};
TStopParRange StopParRange(double maxLoad, double loadCoe);
// A hold force (N) the box accepts: above 0 and within 1 % .. 103 % of maxLoad.
bool StopForceAccepted(double force, double maxLoad);

class TfrmStopPar : public QDialog {
    Q_OBJECT
public:
    // maxLoad in N; loadUnit / loadCoe the force unit shown; box may be null.
    TfrmStopPar(TZovData *data, TCtrlBox *box, bool kvd520Family, double maxLoad, const QString &loadUnit,
                double loadCoe, QWidget *parent = nullptr);

    // After an accepted close: the hold force (N) and time (s).
    double HoldForce() const { return FForce; }
    int HoldTime() const { return FTime; }

    void btnStopSetClick();

private:
    // The widgets; the form name each keeps as objectName after it.
    QSpinBox *FForceSpin = nullptr;      // se_Stop
    QLabel *FUnitLabel = nullptr;        // lblUnit
    QSpinBox *FTimeSpin = nullptr;       // se_Time
    QPushButton *FRunButton = nullptr;   // btnStopSet "运行"
    QPushButton *FCancelButton = nullptr; // btnStopOk "取消"

    TZovData *FData;
    TCtrlBox *FBox;
    bool FFlexural; // the KVD520 family keeps its own force and time
    double FMaxLoad;
    double FLoadCoe;
    double FForce = 0.0;
    int FTime = 0;
};

// The dialog of a main window: the hold force (N) and time (s) when "运行"
// was confirmed (true).
bool ShowStopPar(TfrmMeasure &window, float &force, int &seconds);
// Puts the dialog into the steps of a main window.
void InstallConstantLoadDialog(TMeasureSteps &steps);

} // namespace kv
