#pragma once
// TfrmTextInfo: the header captions of a stored group's report, up to eight
// lines of two name/content pairs, optionally kept as the defaults of the
// test kind. The loading, length rule and saving live in TCaptionEditor.
#include "records/CaptionEditor.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace kv {

class TZovData;

class TfrmTextInfo : public QDialog {
    Q_OBJECT
public:
    // testName is the test's display name, groupNo the group's number; the
    // lines are read through the program's data module (ZovData()).
    TfrmTextInfo(TBaseTest &test, const QString &testName, const QString &groupNo, QWidget *parent = nullptr);

    // The grid's lines as they stand, untrimmed.
    TCaptionLines Lines() const;

private:
    void SetLines(const TCaptionLines &lines);
    void AppendEmptyLine();
    void btn1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void FitToGrid();

    // The widgets; the form name each keeps as objectName after it.
    QTableWidget *FCaptionGrid = nullptr;   // StringGrid1
    QCheckBox *FSaveDefaultCheck = nullptr; // chkSaveDef
    QPushButton *FAddLineButton = nullptr;  // btn1
    QPushButton *FRemoveLineButton = nullptr; // BitBtn1
    QPushButton *FOkButton = nullptr;       // BitBtn2
    QPushButton *FCancelButton = nullptr;   // BitBtn3

    TBaseTest &FTest;
    QString FTestName;
    QString FGroupNo;
};

// Shows the dialog modally; true when the captions were saved. Any exception
// is swallowed, so the records window keeps running.
bool ShowCaptionsDialog(TBaseTest &test, const QString &testName, const QString &groupNo, QWidget *parent);

} // namespace kv
