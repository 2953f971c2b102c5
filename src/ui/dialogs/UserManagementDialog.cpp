#include "ui/dialogs/UserManagementDialog.h"

#include "ui/dialogs/AddUserDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "MessageService.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv {

TfrmUserMng::TfrmUserMng(db::TDbConnection &connection, QWidget *parent)
    : QDialog(parent), FConnection(connection), FAdmin(connection)
{
    setObjectName(QStringLiteral("frmUserMng"));
    setWindowTitle(tr("用户管理"));
    setModal(true);

    strngrd1 = new QTableWidget(0, 3, this);
    strngrd1->setObjectName(QStringLiteral("strngrd1"));
    strngrd1->setHorizontalHeaderLabels({tr("序号"), tr("用户名"), tr("权限")});
    strngrd1->verticalHeader()->setVisible(false);
    strngrd1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strngrd1->setSelectionBehavior(QAbstractItemView::SelectRows);
    strngrd1->setSelectionMode(QAbstractItemView::SingleSelection);
    strngrd1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    strngrd1->setMinimumSize(300, 220);

    btnNew = new QPushButton(tr("新增用户"), this);
    btnNew->setObjectName(QStringLiteral("btnNew"));
    btnDel = new QPushButton(tr("删除用户"), this);
    btnDel->setObjectName(QStringLiteral("btnDel"));
    btnRedir = new QPushButton(tr("修改密码"), this);
    btnRedir->setObjectName(QStringLiteral("btnRedir"));
    btnOk = new QPushButton(tr("退出"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    connect(btnNew, &QPushButton::clicked, this, &TfrmUserMng::btnNewClick);
    connect(btnDel, &QPushButton::clicked, this, &TfrmUserMng::btnDelClick);
    connect(btnRedir, &QPushButton::clicked, this, &TfrmUserMng::btnRedirClick);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(10);
    for (QPushButton *b : {btnNew, btnDel, btnRedir, btnOk}) {
        b->setMinimumSize(130, 32);
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(strngrd1, 1);
    layout->addLayout(buttons);
    resize(480, 300);
}

void TfrmUserMng::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    RefreshList();
}

bool TfrmUserMng::RefreshList()
{
    const int keepRow = strngrd1->currentRow();
    QList<TUserRow> rows;
    QString error;
    if (!FAdmin.List(rows, error)) {
        ShowMessage(error, TMsgIcon::Error, TMsgButtons::Ok, QString(), this);
        return false;
    }
    strngrd1->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const QString cells[3] = {QStringLiteral("   ") + QString::number(r + 1), rows[r].Name, rows[r].Right};
        for (int c = 0; c < 3; ++c)
            strngrd1->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    if (!rows.isEmpty())
        strngrd1->setCurrentCell(qBound(0, keepRow, int(rows.size()) - 1), 1);
    return true;
}

QString TfrmUserMng::CurrentName() const
{
    const int row = strngrd1->currentRow();
    const QTableWidgetItem *item = row >= 0 ? strngrd1->item(row, 1) : nullptr;
    return item ? item->text() : QString();
}

void TfrmUserMng::btnNewClick()
{
    TfrmAddUser dlg(FConnection, this);
    if (ExecDialog(dlg) == QDialog::Accepted)
        RefreshList();
}

void TfrmUserMng::btnDelClick()
{
    const QString name = CurrentName();
    const QString refusal = FAdmin.DeleteRefusal(name);
    if (!refusal.isEmpty()) {
        MsgInfo(refusal, this);
        return;
    }
    if (ShowMessage(TUserAdmin::DeleteQuestion(name), TMsgIcon::Question, TMsgButtons::YesNo, QString(), this)
        == TMsgResult::No)
        return;
    const TUserResult r = FAdmin.DeleteUser(name);
    if (!r.Message.isEmpty())
        ShowMessage(r.Message, r.DatabaseError ? TMsgIcon::Error : TMsgIcon::Information, TMsgButtons::Ok,
                    QString(), this);
    RefreshList();
}

void TfrmUserMng::btnRedirClick()
{
    const QString name = CurrentName();
    if (name.trimmed().isEmpty()) {
        MsgInfo(TUserAdmin::SelectUserToChangeText(), this);
        return;
    }
    TfrmRevision dlg(FConnection, name, this);
    ExecDialog(dlg);
}

} // namespace kv
