#pragma once
// TfrmRes ("数据明细"): the specimens of one stored group with their forces
// and loading rates, of which only the force may be corrected. OK writes
// every force back.
#include <QDialog>
#include <QString>

class QTableWidget;
class QPushButton;

namespace kv::fw {

class TFrameworkTest;

class TfrmRes : public QDialog {
    Q_OBJECT
public:
    TfrmRes(TFrameworkTest &test, const QString &groupNo, const QString &age, QWidget *parent = nullptr);

    // Writes every row back (none when a force is not a number); the saved
    // message and accept, or the error message and the window stays open.
    void btnOKClick();

private:
    void Fill();

    // The widgets; the name each keeps as objectName after it.
    QTableWidget *FDataGrid = nullptr;    // sgData
    QPushButton *FOkButton = nullptr;     // btnOK
    QPushButton *FCancelButton = nullptr; // btnCancel

    TFrameworkTest &FTest;
    QString FGroupNo;
    QString FAge;
};

} // namespace kv::fw
