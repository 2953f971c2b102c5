#include "ui/dialogs/TestHardWareDialog.h"

#include "link/CtrlBox.h"
#include "Clock.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace kv {

TfrmTestHardWare::TfrmTestHardWare(TCtrlBox &box, QWidget *parent) : QDialog(parent), FBox(box)
{
    setObjectName(QStringLiteral("frmTestHardWare"));
    setWindowTitle(tr("测试硬件采样模块"));
    setModal(true);

    auto *label = new QLabel(tr("当前力码："), this);
    label->setObjectName(QStringLiteral("lblCode"));
    label->setStyleSheet(QStringLiteral("QLabel { font: bold 12pt; }"));
    FCodeEdit = new QLineEdit(QStringLiteral("0000000"), this);
    FCodeEdit->setObjectName(QStringLiteral("edtCode"));
    // A display: nothing is typed here, so a code of any length shows whole.
    FCodeEdit->setReadOnly(true);
    FCodeEdit->setAlignment(Qt::AlignRight);
    FCodeEdit->setStyleSheet(QStringLiteral("QLineEdit { font: bold 20pt; background: black; color: yellow; }"));
    FCodeEdit->setMinimumWidth(190);

    FModeButton = new QPushButton(tr("相对码"), this);
    FModeButton->setObjectName(QStringLiteral("btnMode"));
    FZeroButton = new QPushButton(tr("清零"), this);
    FZeroButton->setObjectName(QStringLiteral("btnZero"));
    FZeroButton->setEnabled(false);
    FExitButton = new QPushButton(tr("退出"), this);
    FExitButton->setObjectName(QStringLiteral("btnExit"));
    for (QPushButton *b : {FModeButton, FZeroButton, FExitButton}) {
        b->setMinimumSize(110, 32);
        b->setAutoDefault(false);
    }
    connect(FModeButton, &QPushButton::clicked, this, &TfrmTestHardWare::btnModeClick);
    connect(FZeroButton, &QPushButton::clicked, this, &TfrmTestHardWare::btnZeroClick);
    connect(FExitButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(18, 16, 18, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(14);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FCodeEdit, 0, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(FModeButton);
    buttons->addWidget(FZeroButton);
    buttons->addStretch(1);
    buttons->addWidget(FExitButton);
    grid->addLayout(buttons, 1, 0, 1, 3);
    setFixedSize(sizeHint().expandedTo(QSize(360, 120)));

    FTimer = TClock::current().createLoopTimer(PeriodMs, [this] { TimerTick(); });
}

TfrmTestHardWare::~TfrmTestHardWare()
{
    if (FTimer)
        FTimer->Stop();
}

bool TfrmTestHardWare::TimerActive() const { return FTimer && FTimer->Active(); }

// Every opening starts in absolute mode, whatever mode it was left in.
void TfrmTestHardWare::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || FStreaming)
        return;
    FAbsolute = true;
    FModeButton->setText(tr("相对码"));
    FZeroButton->setEnabled(false);
    FBox.SetADState(adAbsolute);
    FStreaming = true;
    FTimer->Start();
}

void TfrmTestHardWare::TimerTick()
{
    // An off-line box leaves the last code standing; the poll keeps its own count.
    FCodeEdit->setText(QString::number(FBox.ReadForceCode()));
}

// The button names the mode its next click selects.
void TfrmTestHardWare::btnModeClick()
{
    FAbsolute = !FAbsolute;
    FModeButton->setText(FAbsolute ? tr("相对码") : tr("绝对码"));
    FBox.SetADState(FAbsolute ? adAbsolute : adRelative);
    FZeroButton->setEnabled(!FAbsolute);
}

void TfrmTestHardWare::btnZeroClick() { FBox.ClearZero(); }

// Closing (退出, the window's close box, Esc): no more ticks, streaming off.
void TfrmTestHardWare::done(int result)
{
    FTimer->Stop();
    if (FStreaming) {
        FBox.SetADState(adOff);
        FStreaming = false;
    }
    QDialog::done(result);
}

} // namespace kv
