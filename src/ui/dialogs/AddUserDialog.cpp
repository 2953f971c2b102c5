#include "ui/dialogs/AddUserDialog.h"

#include "store/DataModule.h"
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

TfrmAddUser::TfrmAddUser(db::TDbConnection &connection, QWidget *parent) : QDialog(parent), FAdmin(connection)
{
    setObjectName(QStringLiteral("frmAddUser"));
    setWindowTitle(tr("新增用户"));
    setModal(true);

    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setMaxLength(TZovData::MaxUserNameLength);
    edtpassone = MakePasswordBox(this, QStringLiteral("edtpassone"), kPasswordBoxLength);
    edtpasstwo = MakePasswordBox(this, QStringLiteral("edtpasstwo"), kPasswordBoxLength);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(10);
    form->addRow(tr("用户名："), edtName);
    form->addRow(tr("密码："), edtpassone);
    form->addRow(tr("确认密码："), edtpasstwo);

    btnok = new QPushButton(tr("确定"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnno = new QPushButton(tr("取消"), this);
    btnno->setObjectName(QStringLiteral("btnno"));
    btnok->setDefault(true);
    connect(btnok, &QPushButton::clicked, this, &TfrmAddUser::btnokClick);
    connect(btnno, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(14);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(btnok, btnno));
    setMinimumWidth(340);
}

void TfrmAddUser::btnokClick()
{
    const TUserResult r = FAdmin.AddUser(edtName->text(), edtpassone->text(), edtpasstwo->text());
    if (!r.Message.isEmpty())
        ShowMessage(r.Message, r.DatabaseError ? TMsgIcon::Error : TMsgIcon::Information, TMsgButtons::Ok,
                    QString(), this);
    if (r.Ok)
        accept();
}

} // namespace kv
