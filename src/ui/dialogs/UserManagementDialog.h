#pragma once
// TfrmUserMng: the administrator's user list with adding, deleting and
// changing passwords. Opened modally from the main window's user menu.
#include "store/UserAdmin.h"

#include <QDialog>
#include <functional>

class QPushButton;
class QTableWidget;

namespace kv {

class TfrmUserMng : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUserMng(db::TDbConnection &connection, QWidget *parent = nullptr);

    // Shows the add and change dialogs; returns their result. Modal by
    // default; tests drive the dialogs without a modal loop.
    std::function<int(QDialog &)> ExecDialog = [](QDialog &d) { return d.exec(); };

    // Reads the users into the grid; false (message shown) on a database error.
    bool RefreshList();
    // The name in column 1 of the current row; empty when no row is current.
    QString CurrentName() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void btnNewClick();
    void btnDelClick();
    void btnRedirClick();

    // The widgets; the form name each keeps as objectName after it.
    QTableWidget *FUserGrid = nullptr;            // strngrd1
    QPushButton *FAddUserButton = nullptr;        // btnNew
    QPushButton *FDeleteUserButton = nullptr;     // btnDel
    QPushButton *FChangePasswordButton = nullptr; // btnRedir
    QPushButton *FCloseButton = nullptr;          // btnOk "退出"

    db::TDbConnection &FConnection;
    TUserAdmin FAdmin;
};

} // namespace kv
