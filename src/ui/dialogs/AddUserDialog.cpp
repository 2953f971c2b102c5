#include "ui/dialogs/AddUserDialog.h"

#include "store/DataModule.h"
#include "ui/dialogs/UserDialogLook.h"
#include "MessageService.h"
#include "ui/WholeCharacters.h"

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

    FNameEdit = new QLineEdit(this);
    FNameEdit->setObjectName(QStringLiteral("edtName"));
    FNameEdit->setMaxLength(TZovData::MaxUserNameLength);
    KeepWholeCharacters(FNameEdit);
    FPasswordEdit = MakePasswordBox(this, QStringLiteral("edtpassone"), kPasswordBoxLength);
    FPasswordAgainEdit = MakePasswordBox(this, QStringLiteral("edtpasstwo"), kPasswordBoxLength);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(10);
    form->addRow(tr("用户名："), FNameEdit);
    form->addRow(tr("密码："), FPasswordEdit);
    form->addRow(tr("确认密码："), FPasswordAgainEdit);

    FOkButton = new QPushButton(tr("确定"), this);
    FOkButton->setObjectName(QStringLiteral("btnok"));
    FCancelButton = new QPushButton(tr("取消"), this);
    FCancelButton->setObjectName(QStringLiteral("btnno"));
    FOkButton->setDefault(true);
    connect(FOkButton, &QPushButton::clicked, this, &TfrmAddUser::btnokClick);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(14);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(FOkButton, FCancelButton));
    setMinimumWidth(340);
}

void TfrmAddUser::btnokClick()
{
    const TUserResult r = FAdmin.AddUser(FNameEdit->text(), FPasswordEdit->text(), FPasswordAgainEdit->text());
    if (!r.Message.isEmpty())
        ShowMessage(r.Message, r.DatabaseError ? TMsgIcon::Error : TMsgIcon::Information, TMsgButtons::Ok,
                    QString(), this);
    if (r.Ok)
        accept();
}

} // namespace kv
