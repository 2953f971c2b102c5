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

    QLineEdit *edtName = nullptr;
    QLineEdit *edtpassone = nullptr;
    QLineEdit *edtpasstwo = nullptr;
    QPushButton *btnok = nullptr;
    QPushButton *btnno = nullptr;

private:
    void btnokClick();

    TUserAdmin FAdmin;
};

} // namespace kv
