#include "ui/params/DifferenceDialog.h"

#include "ui/params/ParamsWindow.h"

#include "link/ParamBackup.h"
#include "link/ParamSet.h"
#include "MessageService.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

TfrmMessage::TfrmMessage(TBaseParams &params, int count, TMode mode, const QString &programFolder, QWidget *parent,
                         const QString &userName)
    : QDialog(parent), FParams(params), FProgramFolder(programFolder), FUserName(userName)
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

    FPanel1 = new QWidget(this);
    FPanel1->setObjectName(QStringLiteral("Panel1"));
    auto *panel = new QVBoxLayout(FPanel1);
    panel->setContentsMargins(0, 0, 0, 0);
    FPanel1->hide();
    layout->addWidget(FPanel1);

    connect(FButton1, &QPushButton::clicked, this, &TfrmMessage::Button1Click);
    connect(FButton2, &QPushButton::clicked, this, &TfrmMessage::Button2Click);
    connect(FButton3, &QPushButton::clicked, this, &QDialog::reject);
    connect(FButton4, &QPushButton::clicked, this, &QDialog::accept);
    connect(FBitBtn1, &QPushButton::clicked, this, &TfrmMessage::BitBtn1Click);
}

// The window that built the borrowed pages goes first, so none of its slots
// runs while the pages are taken down.
TfrmMessage::~TfrmMessage()
{
    delete FParamsWindow;
}

int TfrmMessage::Resolve(TBaseParams &params, QWidget *parent, const QString &programFolder, const QString &userName)
{
    // The dialog's own read-back compares again: no second dialog meanwhile.
    static bool open = false;
    if (open)
        return params.Box().ParamDiffCount;
    open = true;
    TfrmMessage dialog(params, params.Box().ParamDiffCount, TMode::Choice, programFolder, parent, userName);
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

bool TfrmMessage::DetailsShown() const { return FPanel1->isVisible(); }

QTabWidget *TfrmMessage::DetailPages() const { return FParamsWindow ? FParamsWindow->Pages() : nullptr; }

// The parameter window's pages, for viewing: its edits read only, its
// choices fixed; the first page with a differing row comes to the front.
void TfrmMessage::BorrowPages()
{
    FParamsWindow = new TfrmBaseParams(FParams, FUserName, this);
    FParamsWindow->hide();
    QTabWidget *pages = FParamsWindow->Pages();
    pages->setParent(FPanel1);
    FPanel1->layout()->addWidget(pages);
    int first = -1;
    for (QLineEdit *e : pages->findChildren<QLineEdit *>()) {
        e->setReadOnly(true);
        if (first < 0 && !e->styleSheet().isEmpty())
            for (int p = 0; p < pages->count() && first < 0; ++p)
                if (pages->widget(p)->isAncestorOf(e) && pages->isTabVisible(p))
                    first = p;
    }
    for (QComboBox *c : pages->findChildren<QComboBox *>())
        c->setEnabled(false);
    for (QCheckBox *c : pages->findChildren<QCheckBox *>())
        c->setEnabled(false);
    if (first >= 0)
        pages->setCurrentIndex(first);
}

void TfrmMessage::BitBtn1Click()
{
    // The panel below the buttons grows the dialog; hiding it shrinks it back.
    if (!FParamsWindow)
        BorrowPages();
    FPanel1->setVisible(!FPanel1->isVisible());
    adjustSize();
    if (screen())
        move(screen()->availableGeometry().center() - rect().center());
}

void InstallDifferenceDialog(const QString &programFolder, std::function<QString()> userName)
{
    TCtrlBox::SetParamSetFactory([programFolder, userName](TCtrlBox &box) {
        std::unique_ptr<TCtrlParamSet> set = CreateBaseParams(box);
        if (auto *params = dynamic_cast<TBaseParams *>(set.get())) {
            // Only the start-up / side-switch comparison asks the operator.
            params->SetDifferencesHandler([params, programFolder, userName](int, int mode) {
                if (mode == 1)
                    TfrmMessage::Resolve(*params, QApplication::activeWindow(), programFolder,
                                         userName ? userName() : QString());
            });
        }
        return set;
    });
}

} // namespace kv
