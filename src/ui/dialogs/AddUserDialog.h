#pragma once
// TfrmAddUser: a new user with a password typed twice; closes with the OK
// result after a successful insert.
#include "store/UserAdmin.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kv {

class TfrmAddUser : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAddUser(db::TDbConnection &connection, QWidget *parent = nullptr);

private:
    void btnokClick();

    // The widgets; the form name each keeps as objectName after it.
    QLineEdit *FNameEdit = nullptr;          // edtName
    QLineEdit *FPasswordEdit = nullptr;      // edtpassone
    QLineEdit *FPasswordAgainEdit = nullptr; // edtpasstwo
    QPushButton *FOkButton = nullptr;        // btnok
    QPushButton *FCancelButton = nullptr;    // btnno

    TUserAdmin FAdmin;
};

} // namespace kv
