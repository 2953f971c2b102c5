#include "ui/dialogs/QuitDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kv {

TfrmQuit::TfrmQuit(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmQuit"));
    setWindowTitle(tr("提示"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(40, 40));
    auto *text = new QLabel(tr("是否真的退出程序？"), this);
    text->setObjectName(QStringLiteral("lblQuestion"));
    text->setStyleSheet(QStringLiteral("QLabel { font: 12pt; }"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(8);
    row->addWidget(text, 1);
    auto *col = new QVBoxLayout(this);
    col->setContentsMargins(20, 18, 20, 14);
    col->addLayout(row);
    col->addSpacing(12);
    col->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(320, 130)));
}

bool TfrmQuit::Ask(QWidget *parent)
{
    TfrmQuit dialog(parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kv
