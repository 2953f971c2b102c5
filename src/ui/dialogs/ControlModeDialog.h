#pragma once
// TChange: the control-mode switch of the main window ("手动自动切换"),
// automatic (0) or manual (1) loading control, and how a choice is applied
// to the driver and kept with its model's parameter set.
#include <QDialog>

class QRadioButton;

namespace kv {

class TCtrlBox;
class TZovData;

class TChange : public QDialog {
    Q_OBJECT
public:
    // handMode: 0 automatic, 1 manual.
    explicit TChange(int handMode, QWidget *parent = nullptr);
    int Choice() const;

private:
    QRadioButton *FAutomaticOption = nullptr; // rbAuto
    QRadioButton *FManualOption = nullptr;    // rbHand
};

// Stores FAutoLoad under the model key in CtrlBoxSaveItems: the row is
// updated, or inserted when there is none. False on a database failure.
bool StoreAutoLoad(TZovData &data, const QString &model, int value);

// A confirmed choice: HandMode := choice, the box told (2 manual, 0
// automatic), the information shown, FAutoLoad stored. False when the
// setting could not be stored.
bool ApplyControlMode(TZovData *data, TCtrlBox &box, int choice, QWidget *parent);

} // namespace kv
