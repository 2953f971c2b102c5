#include "ui/dialogs/ControlModeDialog.h"

#include "link/CtrlBox.h"
#include "store/BoxSaveItems.h"
#include "store/DataModule.h"
#include "SqlText.h"
#include "MessageService.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kv {

TChange::TChange(int handMode, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Change"));
    setWindowTitle(tr("手动自动切换"));
    setModal(true);

    auto *box = new QGroupBox(tr("控制方式"), this);
    box->setObjectName(QStringLiteral("rgMode"));
    FAutomaticOption = new QRadioButton(tr("自动"), box);
    FAutomaticOption->setObjectName(QStringLiteral("rbAuto"));
    FManualOption = new QRadioButton(tr("手动"), box);
    FManualOption->setObjectName(QStringLiteral("rbHand"));
    auto *group = new QButtonGroup(this);
    group->addButton(FAutomaticOption, 0);
    group->addButton(FManualOption, 1);
    (handMode == 1 ? FManualOption : FAutomaticOption)->setChecked(true);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(16, 10, 16, 10);
    row->addWidget(FAutomaticOption);
    row->addSpacing(24);
    row->addWidget(FManualOption);
    row->addStretch(1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *col = new QVBoxLayout(this);
    col->setContentsMargins(18, 14, 18, 12);
    col->addWidget(box);
    col->addSpacing(8);
    col->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 140)));
}

int TChange::Choice() const { return FManualOption->isChecked() ? 1 : 0; }

bool StoreAutoLoad(TZovData &data, const QString &model, int value)
{
    return SetBoxItem(data, model, QStringLiteral("FAutoLoad"), SqlNum(qint64(value)));
}

bool ApplyControlMode(TZovData *data, TCtrlBox &box, int choice, QWidget *parent)
{
    box.FAutoLoad = choice == 1 ? 1 : 0;
    if (box.FAutoLoad == 1) {
        box.SetControlMode(cmManual);
        MsgInfo(TChange::tr("切换到手动控制"), parent);
    } else {
        box.SetControlMode(cmAutomatic);
        MsgInfo(TChange::tr("切换到自动控制"), parent);
    }
    return data && StoreAutoLoad(*data, QString::fromLatin1(box.Model().Key), box.FAutoLoad);
}

} // namespace kv
