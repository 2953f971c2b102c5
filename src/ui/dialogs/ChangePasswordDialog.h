#pragma once
// TfrmRevision: a new password for the user given by the caller, after the
// old one.
#include "store/UserAdmin.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kv {

class TfrmRevision : public QDialog {
    Q_OBJECT
public:
    TfrmRevision(db::TDbConnection &connection, const QString &userName, QWidget *parent = nullptr);

private:
    void BitBtn1Click();

    // The widgets; the form name each keeps as objectName after it.
    QLineEdit *FNameEdit = nullptr;             // edtName
    QLineEdit *FOldPasswordEdit = nullptr;      // edtOldPass
    QLineEdit *FNewPasswordEdit = nullptr;      // edtPassOne
    QLineEdit *FNewPasswordAgainEdit = nullptr; // edtPassTwo
    QPushButton *FOkButton = nullptr;           // BitBtn1 "确定"
    QPushButton *FCancelButton = nullptr;       // BitBtn2 "取消"

    TUserAdmin FAdmin;
    QString FUserName;
};

} // namespace kv
