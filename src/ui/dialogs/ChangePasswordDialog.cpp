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

    FNameEdit = new QLineEdit(this);
    FNameEdit->setObjectName(QStringLiteral("edtName"));
    FNameEdit->setReadOnly(true);
    FNameEdit->setText(userName);
    FOldPasswordEdit = MakePasswordBox(this, QStringLiteral("edtOldPass"), kPasswordBoxLength);
    FNewPasswordEdit = MakePasswordBox(this, QStringLiteral("edtPassOne"), kPasswordBoxLength);
    FNewPasswordAgainEdit = MakePasswordBox(this, QStringLiteral("edtPassTwo"), kPasswordBoxLength);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(10);
    form->addRow(tr("用户名："), FNameEdit);
    form->addRow(tr("原密码："), FOldPasswordEdit);
    form->addRow(tr("新密码："), FNewPasswordEdit);
    form->addRow(tr("确认新密码："), FNewPasswordAgainEdit);

    FOkButton = new QPushButton(tr("确定"), this);
    FOkButton->setObjectName(QStringLiteral("BitBtn1"));
    FCancelButton = new QPushButton(tr("取消"), this);
    FCancelButton->setObjectName(QStringLiteral("BitBtn2"));
    FOkButton->setDefault(true);
    connect(FOkButton, &QPushButton::clicked, this, &TfrmRevision::BitBtn1Click);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(14);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(FOkButton, FCancelButton));
    setMinimumWidth(340);
    FOldPasswordEdit->setFocus();
}

void TfrmRevision::BitBtn1Click()
{
    const TUserResult r = FAdmin.ChangePassword(FUserName, FOldPasswordEdit->text(), FNewPasswordEdit->text(),
                                                FNewPasswordAgainEdit->text());
    if (!r.Message.isEmpty())
        ShowMessage(r.Message, r.DatabaseError ? TMsgIcon::Error : TMsgIcon::Information, TMsgButtons::Ok,
                    QString(), this);
    if (r.Ok)
        accept();
}

} // namespace kv
