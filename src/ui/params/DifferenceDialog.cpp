#include "ui/params/DifferenceDialog.h"

#include "link/ParamBackup.h"
#include "link/ParamSet.h"
#include "MessageService.h"

#include <QApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv {

TfrmMessage::TfrmMessage(TBaseParams &params, int count, TMode mode, const QString &programFolder, QWidget *parent)
    : QDialog(parent), FParams(params), FProgramFolder(programFolder)
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(tr("提示"));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FLabel1 = new QLabel(tr("软件与控制箱之间有%1个参数不一致,请判断").arg(count), this);
    FLabel1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(FLabel1);

    auto *row = new QHBoxLayout;
    auto button = [&](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    FButton1 = button("Button1", tr("软件参数准确"));
    FButton1->setToolTip(tr("以电脑为准，修改控制箱参数"));
    FButton2 = button("Button2", tr("控制箱参数准确"));
    FButton2->setToolTip(tr("以控制箱为准，修改电脑参数"));
    FButton3 = button("Button3", tr("不更改"));
    FBitBtn1 = button("BitBtn1", tr("详细信息"));
    FButton4 = button("Button4", tr("确定"));
    layout->addLayout(row);

    const bool choice = mode == TMode::Choice;
    for (QPushButton *b : {FButton1, FButton2, FButton3, FBitBtn1})
        b->setVisible(choice);
    FButton4->setVisible(!choice);

    FDetails = new QTableWidget(0, 3, this);
    FDetails->setObjectName(QStringLiteral("grdDetails"));
    FDetails->setHorizontalHeaderLabels({tr("参数"), tr("软件值"), tr("控制箱值")});
    FDetails->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FDetails->verticalHeader()->hide();
    FDetails->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    FDetails->setMinimumSize(420, 220);
    FDetails->hide();
    layout->addWidget(FDetails);

    connect(FButton1, &QPushButton::clicked, this, &TfrmMessage::Button1Click);
    connect(FButton2, &QPushButton::clicked, this, &TfrmMessage::Button2Click);
    connect(FButton3, &QPushButton::clicked, this, &QDialog::reject);
    connect(FButton4, &QPushButton::clicked, this, &QDialog::accept);
    connect(FBitBtn1, &QPushButton::clicked, this, &TfrmMessage::BitBtn1Click);
}

int TfrmMessage::Resolve(TBaseParams &params, QWidget *parent, const QString &programFolder)
{
    // The dialog's own read-back compares again: no second dialog meanwhile.
    static bool open = false;
    if (open)
        return params.Box().ParamDiffCount;
    open = true;
    TfrmMessage dialog(params, params.Box().ParamDiffCount, TMode::Choice, programFolder, parent);
    dialog.exec();
    open = false;
    return params.Box().ParamDiffCount;
}

bool TfrmMessage::Confirm(const QString &text)
{
    // The dialog steps aside while the operator confirms; a No brings it back.
    hide();
    TMsgRequest r;
    r.text = text;
    r.caption = DefaultCaption();
    r.icon = TMsgIcon::Question;
    r.buttons = TMsgButtons::YesNo;
    r.parent = parentWidget();
    r.defaultNo = true; // both answers overwrite one side: Enter must not
    if (TMessageService::current().show(r) == TMsgResult::Yes)
        return true;
    show();
    return false;
}

QString TfrmMessage::BackupFile() const
{
    return TParamBackup::AutoBackupFileName(QDateTime::currentDateTime(), FProgramFolder);
}

void TfrmMessage::Button1Click()
{
    if (!Confirm(tr("系统将以软件参数为准,请再次确认")))
        return;
    TCtrlBox &box = FParams.Box();
    if (!TParamBackup::BackupBox(FParams, BackupFile()))
        MsgWarning(tr("控制箱参数备份失败"), parentWidget());
    FParams.UseSoftwareParams();
    // Only a read-back that matches counts as agreement.
    box.SetADState(adOff);
    const int left = FParams.CompareParams();
    box.SetADState(adRelative);
    box.ParamDiffCount = left;
    if (left > 0)
        MsgWarning(tr("写入后仍有%1个参数不一致").arg(left), parentWidget());
    accept();
}

void TfrmMessage::Button2Click()
{
    if (!Confirm(tr("系统将以控制箱参数为准,请再次确认")))
        return;
    TCtrlBox &box = FParams.Box();
    const int before = box.ParamDiffCount;
    if (!TParamBackup::Backup(FParams, BackupFile()))
        MsgWarning(tr("软件参数备份失败"), parentWidget());
    FParams.UseBoxParams();
    const int unknown = box.ParamDiffCount;
    const int unsaved = FParams.SaveToDatabase();
    if (unknown > 0 || unsaved > 0) {
        box.ParamDiffCount = unknown > 0 ? unknown : before;
        MsgWarning(tr("控制箱参数未能全部保存到软件中"), parentWidget());
    } else {
        box.ParamDiffCount = 0;
    }
    accept();
}

bool TfrmMessage::DetailsShown() const { return FDetails->isVisible(); }

void TfrmMessage::FillDetails()
{
    FDetails->setRowCount(0);
    for (int i = 0; i < FParams.Count(); ++i) {
        if (!FParams.Differs(i))
            continue;
        const int row = FDetails->rowCount();
        FDetails->insertRow(row);
        const QString box = FParams.Item(i).BoxUnknown ? tr("未读出") : FParams.ShowBoxValue(i);
        const QString texts[3] = {FParams.Item(i).Caption, FParams.ShowValue(i), box};
        for (int c = 0; c < 3; ++c)
            FDetails->setItem(row, c, new QTableWidgetItem(texts[c]));
    }
}

void TfrmMessage::BitBtn1Click()
{
    // The panel below the buttons grows the dialog; hiding it shrinks it back.
    if (!FDetails->isVisible())
        FillDetails();
    FDetails->setVisible(!FDetails->isVisible());
    adjustSize();
}

void InstallDifferenceDialog()
{
    TCtrlBox::SetParamSetFactory([](TCtrlBox &box) {
        std::unique_ptr<TCtrlParamSet> set = CreateBaseParams(box);
        if (auto *params = dynamic_cast<TBaseParams *>(set.get())) {
            // Only the start-up / side-switch comparison asks the operator.
            params->SetDifferencesHandler([params](int, int mode) {
                if (mode == 1)
                    TfrmMessage::Resolve(*params, QApplication::activeWindow());
            });
        }
        return set;
    });
}

} // namespace kv
