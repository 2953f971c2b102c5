#include "ui/params/ParamsWindow.h"

#include "link/ParamBackup.h"
#include "link/ParamExchange.h"
#include "link/ParamSet.h"
#include "store/UserRights.h"
#include "MessageService.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

const char *const kPageNames[] = {
    QT_TRANSLATE_NOOP("kv::TfrmBaseParams", "基本参数"),   QT_TRANSLATE_NOOP("kv::TfrmBaseParams", "阀参数"),
    QT_TRANSLATE_NOOP("kv::TfrmBaseParams", "PID控制参数"), QT_TRANSLATE_NOOP("kv::TfrmBaseParams", "传感器校准值"),
    QT_TRANSLATE_NOOP("kv::TfrmBaseParams", "温度参数"),   QT_TRANSLATE_NOOP("kv::TfrmBaseParams", "其它设置"),
    QT_TRANSLATE_NOOP("kv::TfrmBaseParams", "破碎判断方式"),
};
constexpr int kPageCount = 7;
const char *const kJudgeNames[] = {"cbJudgeForce", "cbJudgeSpeed", "cbJudgeValve"};
const QString kDiffersStyle = QStringLiteral("background-color: #c0ffff;");

// Which break flag enables a break-page row: speed and valve rows by their
// stored names, every other row of the page follows the force judgement.
int JudgeOf(const TParamDef &def)
{
    if (def.Page != TParamPage::Break)
        return -1;
    const QString name = QString::fromLatin1(def.Name);
    if (name.startsWith(QLatin1String("FJudgeSpeed")))
        return 1;
    if (name.startsWith(QLatin1String("FJudgeFa")))
        return 2;
    return 0;
}

} // namespace

TfrmBaseParams::TfrmBaseParams(TBaseParams &params, const QString &userName, QWidget *parent)
    : QDialog(parent), FParams(params)
{
    setObjectName(QStringLiteral("frmBaseParams"));
    setWindowTitle(tr("高级参数"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    FExchange = new TParamExchange(FParams, this);
    connect(FExchange, &TParamExchange::progress, this, [this](int done, int total) {
        FWaitBar->setMaximum(std::max(total, 1));
        FWaitBar->setValue(done);
    });
    connect(FExchange, &TParamExchange::finished, this, &TfrmBaseParams::ExchangeFinished);

    auto *layout = new QVBoxLayout(this);
    FPages = new QTabWidget(this);
    FPages->setObjectName(QStringLiteral("pcParams"));
    layout->addWidget(FPages, 1);
    BuildPages(userName == MaintenanceUserName());

    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString &text, const char *name, void (TfrmBaseParams::*slot)()) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    FReadButton = button(tr("读取控制箱"), "btnRead", &TfrmBaseParams::btnReadClick);
    FCorrectBoxButton = button(tr("更正控制箱"), "btnCorrectBox", &TfrmBaseParams::btnCorrectBoxClick);
    FCorrectSoftButton = button(tr("更正软件"), "btnCorrectSoft", &TfrmBaseParams::btnCorrectSoftClick);
    FBackupButton = button(tr("备份参数"), "btnBackup", &TfrmBaseParams::btnBackupClick);
    FRestoreButton = button(tr("还原参数"), "btnRestore", &TfrmBaseParams::btnRestoreClick);
    buttons->addStretch(1);
    FOkButton = button(tr("确定"), "btnOK", &TfrmBaseParams::btnOKClick);
    FCancelButton = button(tr("取消"), "btnCancel", &TfrmBaseParams::btnCancelClick);
    layout->addLayout(buttons);

    // The wait window of a box exchange: modal, no cancel, follows the progress.
    FWait = new QDialog(this);
    FWait->setObjectName(QStringLiteral("dlgWait"));
    FWait->setWindowTitle(tr("串口通讯等待"));
    FWait->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    FWait->setModal(true);
    auto *waitLayout = new QVBoxLayout(FWait);
    FWaitLabel = new QLabel(FWait);
    FWaitBar = new QProgressBar(FWait);
    FWaitBar->setObjectName(QStringLiteral("pbWait"));
    FWaitBar->setMinimumWidth(320);
    waitLayout->addWidget(FWaitLabel);
    waitLayout->addWidget(FWaitBar);

    FFileDialog = [](QWidget *owner, bool save) {
        const QString filter = tr("参数备份文件 (*.ini)");
        return save ? QFileDialog::getSaveFileName(owner, tr("请输入要保存的备份文件"), QString(), filter)
                    : QFileDialog::getOpenFileName(owner, tr("请选择要还原的备份文件"), QString(), filter);
    };

    FParams.FlagsFromMethod();
    ShowSoftware();
    ShowBox();
    // The box column shows once the box values are known (a read here or the
    // comparison at start-up).
    bool known = false;
    for (int i = 0; i < FParams.Count(); ++i)
        known = known || (FParams.Item(i).Def->InBox() && !FParams.Item(i).BoxUnknown);
    FBoxShown = known;
    for (const TRow &row : FRows)
        if (row.Box)
            row.Box->setVisible(FBoxShown);
    for (QLabel *l : FBoxHeadings)
        l->setVisible(FBoxShown);
    resize(640, 660);
}

TfrmBaseParams::~TfrmBaseParams() = default;

void TfrmBaseParams::BuildPages(bool maintenance)
{
    std::vector<QGridLayout *> grids;
    std::vector<int> nextRow;
    for (int p = 0; p < kPageCount; ++p) {
        auto *scroll = new QScrollArea(FPages);
        scroll->setObjectName(QStringLiteral("tsPage%1").arg(p));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto *page = new QWidget(scroll);
        auto *grid = new QGridLayout(page);
        grid->setColumnStretch(0, 1);
        grid->setColumnMinimumWidth(1, 150);
        grid->setColumnMinimumWidth(2, 150);
        int row = 0;
        if (p == int(TParamPage::Break)) {
            auto *checks = new QHBoxLayout;
            const QString texts[] = {tr("力值判断"), tr("速度判断"), tr("阀口开度判断")};
            for (int j = 0; j < 3; ++j) {
                FJudgeChecks[j] = new QCheckBox(texts[j], page);
                FJudgeChecks[j]->setObjectName(QLatin1String(kJudgeNames[j]));
                connect(FJudgeChecks[j], &QCheckBox::toggled, this, [this] { EnableJudgeRows(); });
                checks->addWidget(FJudgeChecks[j]);
            }
            checks->addStretch(1);
            grid->addLayout(checks, row++, 0, 1, 3);
        }
        auto *soft = new QLabel(tr("软件的值"), page);
        auto *box = new QLabel(tr("控制箱的值"), page);
        FBoxHeadings.push_back(box);
        grid->addWidget(soft, row, 1, Qt::AlignHCenter);
        grid->addWidget(box, row, 2, Qt::AlignHCenter);
        ++row;
        grids.push_back(grid);
        nextRow.push_back(row);
        scroll->setWidget(page);
        FPages->addTab(scroll, tr(kPageNames[p]));
    }
    for (int i = 0; i < FParams.Count(); ++i) {
        const TParamItem &item = FParams.Item(i);
        const TParamDef &def = *item.Def;
        if (def.Control == TParamControl::JudgeChecks)
            continue; // the break page's check boxes
        const int p = int(def.Page);
        QWidget *page = grids[size_t(p)]->parentWidget();
        TRow row;
        row.Index = i;
        row.Judge = JudgeOf(def);
        // Forces carry their unit: kN on families 300 and 510, N on 520.
        const bool inNewtons = FParams.Box().Model().Family.Family == TBoxFamily::F520;
        const QString unit = inNewtons ? QStringLiteral("(N)") : QStringLiteral("(kN)");
        row.Caption = new QLabel((def.Force || def.Code) ? item.Caption + unit : item.Caption, page);
        const QString name = QString::fromLatin1(def.Name);
        if (def.Control == TParamControl::Choice || def.Control == TParamControl::Radio) {
            row.Choice = new QComboBox(page);
            row.Choice->setObjectName(QStringLiteral("cb") + name);
            row.Choice->addItems(FParams.ChoiceTexts(i));
        } else {
            row.Soft = new QLineEdit(page);
            row.Soft->setObjectName(QStringLiteral("ed") + name);
        }
        if (def.InBox()) {
            row.Box = new QLineEdit(page);
            row.Box->setObjectName(QStringLiteral("edBox") + name);
            row.Box->setReadOnly(true);
        }
        int &r = nextRow[size_t(p)];
        grids[size_t(p)]->addWidget(row.Caption, r, 0);
        grids[size_t(p)]->addWidget(row.Soft ? static_cast<QWidget *>(row.Soft) : row.Choice, r, 1);
        if (row.Box)
            grids[size_t(p)]->addWidget(row.Box, r, 2);
        ++r;
        FRows.push_back(row);
        const size_t k = FRows.size() - 1;
        if (row.Soft)
            connect(row.Soft, &QLineEdit::textChanged, this, [this, k] { Highlight(FRows[k]); });
        else
            connect(row.Choice, &QComboBox::currentIndexChanged, this, [this, k] { Highlight(FRows[k]); });
    }
    // Pages without box items show no box heading.
    std::vector<QLabel *> headings;
    for (size_t p = 0; p < grids.size(); ++p) {
        grids[p]->setRowStretch(nextRow[p], 1);
        QWidget *page = grids[p]->parentWidget();
        const bool boxOnPage = std::any_of(FRows.begin(), FRows.end(),
                                           [page](const TRow &r) { return r.Box && r.Box->parentWidget() == page; });
        if (boxOnPage)
            headings.push_back(FBoxHeadings[p]);
        else
            delete FBoxHeadings[p];
    }
    FBoxHeadings = headings;
    if (!maintenance) {
        FPages->setTabVisible(int(TParamPage::Cooling), false);
        FPages->setTabVisible(int(TParamPage::Other), false);
    }
}

const TfrmBaseParams::TRow *TfrmBaseParams::Row(int index) const
{
    for (const TRow &row : FRows)
        if (row.Index == index)
            return &row;
    return nullptr;
}

QLineEdit *TfrmBaseParams::SoftEdit(int index) const { const TRow *r = Row(index); return r ? r->Soft : nullptr; }
QComboBox *TfrmBaseParams::SoftChoice(int index) const { const TRow *r = Row(index); return r ? r->Choice : nullptr; }
QLineEdit *TfrmBaseParams::BoxEdit(int index) const { const TRow *r = Row(index); return r ? r->Box : nullptr; }

QString TfrmBaseParams::SoftText(const TRow &row) const
{
    return row.Soft ? row.Soft->text() : QString::number(row.Choice->currentIndex());
}

void TfrmBaseParams::SetSoftText(const TRow &row, const QString &text)
{
    if (row.Soft)
        row.Soft->setText(text);
    else
        row.Choice->setCurrentIndex(text.toInt());
}

// A choice item's box edit shows the choice's text and keeps the number.
QString TfrmBaseParams::BoxText(const TRow &row) const
{
    return row.Choice ? row.Box->property("value").toString() : row.Box->text();
}

void TfrmBaseParams::SetBoxText(const TRow &row, const QString &text)
{
    if (row.Choice) {
        const QStringList choices = FParams.ChoiceTexts(row.Index);
        const int v = text.toInt();
        row.Box->setProperty("value", text);
        row.Box->setText(v >= 0 && v < choices.size() ? choices[v] : text);
    } else {
        row.Box->setText(text);
    }
    Highlight(row);
}

// One text per item in table order; items without an edit in the column stay null.
QStringList TfrmBaseParams::SoftColumn() const
{
    QStringList texts;
    for (int i = 0; i < FParams.Count(); ++i) {
        const TRow *row = Row(i);
        texts.append(row ? SoftText(*row) : QString());
    }
    return texts;
}

QStringList TfrmBaseParams::BoxColumn() const
{
    QStringList texts;
    for (int i = 0; i < FParams.Count(); ++i) {
        const TRow *row = Row(i);
        texts.append(row && row->Box ? BoxText(*row) : QString());
    }
    return texts;
}

void TfrmBaseParams::ShowSoftware()
{
    for (const TRow &row : FRows)
        SetSoftText(row, FParams.ShowValue(row.Index));
    const TJudgeFlags &flags = FParams.Box().FJudgeFlags;
    FJudgeChecks[0]->setChecked(flags.Force);
    FJudgeChecks[1]->setChecked(flags.Speed);
    FJudgeChecks[2]->setChecked(flags.Valve);
    EnableJudgeRows();
}

void TfrmBaseParams::ShowBox()
{
    for (const TRow &row : FRows)
        if (row.Box)
            SetBoxText(row, FParams.ShowBoxValue(row.Index));
}

void TfrmBaseParams::Highlight(const TRow &row)
{
    if (!row.Box)
        return;
    const bool same = FParams.SameText(row.Index, SoftText(row), BoxText(row));
    row.Box->setStyleSheet(same ? QString() : kDiffersStyle);
}

void TfrmBaseParams::EnableJudgeRows()
{
    for (const TRow &row : FRows) {
        if (row.Judge < 0)
            continue;
        const bool on = FJudgeChecks[row.Judge]->isChecked();
        row.Caption->setEnabled(on);
        (row.Soft ? static_cast<QWidget *>(row.Soft) : row.Choice)->setEnabled(on);
        if (row.Box)
            row.Box->setEnabled(on);
    }
}

bool TfrmBaseParams::TakeSoftware()
{
    for (const TRow &row : FRows) {
        int value = 0;
        if (!FParams.EnterValue(row.Index, SoftText(row), value)) {
            MsgWarning(FParams.Item(row.Index).Caption + tr("输入不正确"), this);
            return false;
        }
        FParams.SetValue(row.Index, value);
    }
    FParams.Box().FJudgeFlags = {FJudgeChecks[0]->isChecked(), FJudgeChecks[1]->isChecked(),
                                 FJudgeChecks[2]->isChecked()};
    FParams.MethodFromFlags();
    return true;
}

void TfrmBaseParams::SetBusy(bool busy)
{
    for (QPushButton *b : {FReadButton, FCorrectBoxButton, FCorrectSoftButton, FBackupButton, FRestoreButton,
                           FOkButton, FCancelButton})
        b->setEnabled(!busy);
}

void TfrmBaseParams::StartExchange(bool read)
{
    FReading = read;
    FWaitLabel->setText(read ? tr("正在读取数据,请稍后...") : tr("正在下发数据,请稍后..."));
    FWaitBar->setRange(0, std::max(FParams.BoxItemCount(), 1));
    FWaitBar->setValue(0);
    SetBusy(true);
    FWait->open();
    // A refused start is followed by finished(LineUnavailable), which ends the wait.
    if (read)
        FExchange->StartRead();
    else
        FExchange->StartWrite();
}

void TfrmBaseParams::ExchangeFinished(int failures)
{
    FWait->hide();
    SetBusy(false);
    if (failures == TParamExchange::LineUnavailable) {
        MsgWarning(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
        return;
    }
    if (FReading) {
        ShowBox();
        FBoxShown = true;
        for (const TRow &row : FRows)
            if (row.Box)
                row.Box->setVisible(true);
        for (QLabel *l : FBoxHeadings)
            l->setVisible(true);
        FParams.Compare(0);
    } else if (failures == 0) {
        accept();
    } else {
        // Items the box did not take keep their flag; the window stays open.
        MsgWarning(tr("软件与控制箱之间有%1个参数不一致,请判断").arg(failures), this);
    }
}

void TfrmBaseParams::btnReadClick()
{
    if (!FParams.Box().IsOnline()) {
        MsgWarning(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
        return;
    }
    StartExchange(true);
}

void TfrmBaseParams::btnCorrectBoxClick()
{
    const QString message = FParams.ValidateColumn(SoftColumn(), true);
    if (!message.isEmpty()) {
        MsgWarning(message, this);
        return;
    }
    for (const TRow &row : FRows) {
        if (!row.Box || FParams.SameText(row.Index, SoftText(row), BoxText(row)))
            continue;
        SetBoxText(row, SoftText(row));
        FParams.SetDiffers(row.Index, true);
    }
}

void TfrmBaseParams::btnCorrectSoftClick()
{
    const QString message = FParams.ValidateColumn(BoxColumn(), false);
    if (!message.isEmpty()) {
        MsgWarning(message, this);
        return;
    }
    for (const TRow &row : FRows)
        if (row.Box)
            SetSoftText(row, BoxText(row));
}

// The backup holds what the window shows: the software column is taken into
// the driver for the file and the driver's values are put back after it.
void TfrmBaseParams::btnBackupClick()
{
    const QString file = FFileDialog(this, true);
    if (file.isEmpty())
        return;
    const std::vector<int> before = FParams.Snapshot();
    const TJudgeFlags flags = FParams.Box().FJudgeFlags;
    if (!TakeSoftware())
        return;
    const bool ok = TParamBackup::Backup(FParams, file);
    FParams.RestoreSnapshot(before);
    FParams.Box().FJudgeFlags = flags;
    if (!ok)
        MsgWarning(tr("备份文件无法写入:%1").arg(file), this);
}

void TfrmBaseParams::btnRestoreClick()
{
    const QString file = FFileDialog(this, false);
    if (file.isEmpty())
        return;
    TParamBackup::TRestoreResult result = TParamBackup::Restore(FParams, file);
    if (!result.Ok) {
        MsgWarning(result.Message, this);
        return;
    }
    // Cancel undoes every restore since the window was shown.
    if (!FRestored) {
        FSnapshot = std::move(result.Snapshot);
        FRestored = true;
    }
    FParams.FlagsFromMethod();
    ShowSoftware();
    MsgInfo(result.Message, this);
}

void TfrmBaseParams::reject()
{
    if (FExchange->Running())
        return;
    if (FRestored) {
        FParams.RestoreSnapshot(FSnapshot);
        FParams.FlagsFromMethod();
        FRestored = false;
    }
    QDialog::reject();
}

void TfrmBaseParams::btnCancelClick() { reject(); }

void TfrmBaseParams::btnOKClick()
{
    if (!FParams.Box().IsOnline()) {
        MsgWarning(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
        return;
    }
    if (FBoxShown) {
        int count = 0;
        for (const TRow &row : FRows)
            if (row.Box && !FParams.SameText(row.Index, SoftText(row), BoxText(row)))
                ++count;
        if (count > 0) {
            MsgWarning(tr("软件与控制箱之间有%1个参数不一致,请判断").arg(count), this);
            return;
        }
    }
    QString message = FParams.ValidateColumn(SoftColumn(), true);
    if (message.isEmpty())
        message = FParams.ValidateColumn(BoxColumn(), false);
    if (!message.isEmpty()) {
        MsgWarning(message, this);
        return;
    }
    if (!TakeSoftware())
        return;
    FParams.SaveParams();
    FRestored = false; // the restored values are now the driver's own
    for (const TRow &row : FRows) {
        int value = 0;
        if (row.Box && FParams.EnterValue(row.Index, BoxText(row), value))
            FParams.SetBoxValue(row.Index, value);
    }
    StartExchange(false);
}

} // namespace kv
