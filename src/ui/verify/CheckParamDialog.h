#pragma once
// TfrmCheckParam ("检测参数"): the parameters of a verification run, opened
// by the verification window at every start. The checkpoint grid with its
// row commands, the fast and slow speeds offered for the side, automatic or
// manual fast/slow switching and the slow-speed advance. OK checks them,
// sends the two speeds to the box, stores them and confirms the run; the
// rules are those of TCheckParams.
#include "verify/CheckParams.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kv {

class TCtrlBox;
class TMyGlbParam;
class TPointGrid;
class TZovData;

class TfrmCheckParam : public QDialog {
    Q_OBJECT
public:
    // unit and coe: the force unit shown and its factor (shown = N / coe).
    // data: where the speeds and the advance are read and stored (null:
    // nothing is read and storing fails).
    TfrmCheckParam(TCtrlBox &box, TZovData *data, TMyGlbParam &glb, const QString &unit, double coe,
                   QWidget *parent = nullptr);
    ~TfrmCheckParam() override;

    // True once OK sent the speeds to the box; the verification window reads
    // it after the dialog closed.
    bool Confirmed() const { return FConfirmed; }
    TPointGrid *Grid() const { return FGrid; }

public slots:
    void BitBtn5Click(); // 确定
    void BitBtn6Click(); // 取消

private:
    void ComboChanged();
    void ModeChanged();

    TCtrlBox &FBox;
    TZovData *FData;
    TMyGlbParam &FGlb;
    QString FUnit;
    double FCoe;
    TCheckParams FParams;
    bool FConfirmed = false;

    TPointGrid *FGrid = nullptr;          // StringGrid1
    QLabel *FMaxLabel = nullptr;          // Label3
    QComboBox *FFast = nullptr;           // ComboBox1
    QComboBox *FSlow = nullptr;           // ComboBox2
    QRadioButton *FAutomatic = nullptr;   // RadioGroup1 item 0
    QRadioButton *FManual = nullptr;      // RadioGroup1 item 1
    QLabel *FAdvanceLabel = nullptr;      // Label4
    QLineEdit *FAdvance = nullptr;        // edtAdvance
};

} // namespace kv
