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

    FUserGrid = new QTableWidget(0, 3, this);
    FUserGrid->setObjectName(QStringLiteral("strngrd1"));
    FUserGrid->setHorizontalHeaderLabels({tr("序号"), tr("用户名"), tr("权限")});
    FUserGrid->verticalHeader()->setVisible(false);
    FUserGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FUserGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FUserGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FUserGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    FUserGrid->setMinimumSize(300, 220);

    FAddUserButton = new QPushButton(tr("新增用户"), this);
    FAddUserButton->setObjectName(QStringLiteral("btnNew"));
    FDeleteUserButton = new QPushButton(tr("删除用户"), this);
    FDeleteUserButton->setObjectName(QStringLiteral("btnDel"));
    FChangePasswordButton = new QPushButton(tr("修改密码"), this);
    FChangePasswordButton->setObjectName(QStringLiteral("btnRedir"));
    FCloseButton = new QPushButton(tr("退出"), this);
    FCloseButton->setObjectName(QStringLiteral("btnOk"));
    connect(FAddUserButton, &QPushButton::clicked, this, &TfrmUserMng::btnNewClick);
    connect(FDeleteUserButton, &QPushButton::clicked, this, &TfrmUserMng::btnDelClick);
    connect(FChangePasswordButton, &QPushButton::clicked, this, &TfrmUserMng::btnRedirClick);
    connect(FCloseButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(10);
    for (QPushButton *b : {FAddUserButton, FDeleteUserButton, FChangePasswordButton, FCloseButton}) {
        b->setMinimumSize(130, 32);
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(FUserGrid, 1);
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
    const int keepRow = FUserGrid->currentRow();
    QList<TUserRow> rows;
    QString error;
    if (!FAdmin.List(rows, error)) {
        ShowMessage(error, TMsgIcon::Error, TMsgButtons::Ok, QString(), this);
        return false;
    }
    FUserGrid->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const QString cells[3] = {QStringLiteral("   ") + QString::number(r + 1), rows[r].Name, rows[r].Right};
        for (int c = 0; c < 3; ++c)
            FUserGrid->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    if (!rows.isEmpty())
        FUserGrid->setCurrentCell(qBound(0, keepRow, int(rows.size()) - 1), 1);
    return true;
}

QString TfrmUserMng::CurrentName() const
{
    const int row = FUserGrid->currentRow();
    const QTableWidgetItem *item = row >= 0 ? FUserGrid->item(row, 1) : nullptr;
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
