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

    QLineEdit *edtName = nullptr;
    QLineEdit *edtOldPass = nullptr;
    QLineEdit *edtPassOne = nullptr;
    QLineEdit *edtPassTwo = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

private:
    void BitBtn1Click();

    TUserAdmin FAdmin;
    QString FUserName;
};

} // namespace kv
