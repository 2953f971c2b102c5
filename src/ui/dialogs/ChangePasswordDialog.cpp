#include "ui/dialogs/ChangePasswordDialog.h"

#include "ui/dialogs/UserDialogLook.h"
#include "MessageService.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {
constexpr int kPasswordBoxLength = 15;
}

TfrmRevision::TfrmRevision(db::TDbConnection &connection, const QString &userName, QWidget *parent)
    : QDialog(parent), FAdmin(connection), FUserName(userName)
{
    setObjectName(QStringLiteral("frmRevision"));
    setWindowTitle(tr("密码修改"));
    setModal(true);

    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setReadOnly(true);
    edtName->setText(userName);
    edtOldPass = MakePasswordBox(this, QStringLiteral("edtOldPass"), kPasswordBoxLength);
    edtPassOne = MakePasswordBox(this, QStringLiteral("edtPassOne"), kPasswordBoxLength);
    edtPassTwo = MakePasswordBox(this, QStringLiteral("edtPassTwo"), kPasswordBoxLength);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(10);
    form->addRow(tr("用户名："), edtName);
    form->addRow(tr("原密码："), edtOldPass);
    form->addRow(tr("新密码："), edtPassOne);
    form->addRow(tr("确认新密码："), edtPassTwo);

    BitBtn1 = new QPushButton(tr("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(tr("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmRevision::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(14);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(BitBtn1, BitBtn2));
    setMinimumWidth(340);
    edtOldPass->setFocus();
}

void TfrmRevision::BitBtn1Click()
{
    const TUserResult r = FAdmin.ChangePassword(FUserName, edtOldPass->text(), edtPassOne->text(),
                                                edtPassTwo->text());
    if (!r.Message.isEmpty())
        ShowMessage(r.Message, r.DatabaseError ? TMsgIcon::Error : TMsgIcon::Information, TMsgButtons::Ok,
                    QString(), this);
    if (r.Ok)
        accept();
}

} // namespace kv
