#include "ui/records/CaptionsDialog.h"

#include "store/DataModule.h"
#include "MessageService.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv {

namespace {
constexpr int kColumns = 4;
// Room for the longest caption: ten Chinese characters or twenty digits.
int CaptionColumnWidth(const QFontMetrics &m)
{
    return qMax(m.horizontalAdvance(QString(MaxCaptionBytes / 2, QChar(0x6C49))),
                m.horizontalAdvance(QString(MaxCaptionBytes, QLatin1Char('0')))) + 16;
}
} // namespace

TfrmTextInfo::TfrmTextInfo(TBaseTest &test, const QString &testName, const QString &groupNo, QWidget *parent)
    : QDialog(parent), FTest(test), FTestName(testName), FGroupNo(groupNo.trimmed())
{
    setObjectName(QStringLiteral("frmTextInfo"));
    setWindowTitle(tr("打印表头设置"));
    setModal(true);

    FCaptionGrid = new QTableWidget(0, kColumns, this);
    FCaptionGrid->setObjectName(QStringLiteral("StringGrid1"));
    FCaptionGrid->setHorizontalHeaderLabels({tr("名称"), tr("内容"), tr("名称"), tr("内容")});
    // Typing into a cell edits it, as does a double click; merely moving
    // the cursor does not open an editor.
    FCaptionGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    FCaptionGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FCaptionGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FCaptionGrid->horizontalHeader()->setStretchLastSection(true);
    FCaptionGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FCaptionGrid->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    const int columnWidth = CaptionColumnWidth(FCaptionGrid->fontMetrics());
    for (int c = 0; c < kColumns; ++c)
        FCaptionGrid->setColumnWidth(c, columnWidth);

    FSaveDefaultCheck = new QCheckBox(tr("保存为默认表头"), this);
    FSaveDefaultCheck->setObjectName(QStringLiteral("chkSaveDef"));
    FSaveDefaultCheck->setToolTip(tr("设为默认表头后，凡是没有单独设置表头的报告都将采用默认表头"));

    FAddLineButton = new QPushButton(tr("增加行"), this);
    FAddLineButton->setObjectName(QStringLiteral("btn1"));
    FRemoveLineButton = new QPushButton(tr("减少行"), this);
    FRemoveLineButton->setObjectName(QStringLiteral("BitBtn1"));
    FOkButton = new QPushButton(tr("确定"), this);
    FOkButton->setObjectName(QStringLiteral("BitBtn2"));
    FCancelButton = new QPushButton(tr("取消"), this);
    FCancelButton->setObjectName(QStringLiteral("BitBtn3"));
    connect(FAddLineButton, &QPushButton::clicked, this, &TfrmTextInfo::btn1Click);
    connect(FRemoveLineButton, &QPushButton::clicked, this, &TfrmTextInfo::BitBtn1Click);
    connect(FOkButton, &QPushButton::clicked, this, &TfrmTextInfo::BitBtn2Click);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(FAddLineButton);
    buttons->addWidget(FRemoveLineButton);
    buttons->addStretch(1);
    buttons->addWidget(FOkButton);
    buttons->addWidget(FCancelButton);
    for (QPushButton *b : {FAddLineButton, FRemoveLineButton, FOkButton, FCancelButton}) {
        b->setMinimumSize(90, 30);
        // Enter in the grid edits a cell; it never closes the dialog.
        b->setAutoDefault(false);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(FCaptionGrid, 1);
    layout->addWidget(FSaveDefaultCheck);
    layout->addLayout(buttons);

    TCaptionLines lines;
    if (TZovData *data = ZovData())
        lines = TCaptionEditor(*data, FTest, FTestName, FGroupNo).Load();
    if (lines.isEmpty())
        lines.append(TCaptionLine{});
    SetLines(lines.mid(0, MaxCaptionLines));
    FitToGrid();
}

void TfrmTextInfo::FitToGrid()
{
    // Room for all four columns and eight lines without scrolling.
    QHeaderView *top = FCaptionGrid->horizontalHeader();
    QHeaderView *side = FCaptionGrid->verticalHeader();
    const int frame = 2 * FCaptionGrid->frameWidth();
    const int width = side->sizeHint().width() + top->length() + frame;
    const int height = top->sizeHint().height() + MaxCaptionLines * side->defaultSectionSize() + frame;
    FCaptionGrid->setMinimumSize(width, height);
}

TCaptionLines TfrmTextInfo::Lines() const
{
    TCaptionLines lines;
    auto cell = [this](int r, int c) {
        const QTableWidgetItem *item = FCaptionGrid->item(r, c);
        return item ? item->text() : QString();
    };
    for (int r = 0; r < FCaptionGrid->rowCount(); ++r)
        lines.append({cell(r, 0), cell(r, 1), cell(r, 2), cell(r, 3)});
    return lines;
}

void TfrmTextInfo::SetLines(const TCaptionLines &lines)
{
    FCaptionGrid->setRowCount(lines.size());
    for (int r = 0; r < lines.size(); ++r) {
        const QString texts[kColumns] = {lines[r].Name1, lines[r].Data1, lines[r].Name2, lines[r].Data2};
        for (int c = 0; c < kColumns; ++c) {
            // Existing cells keep their item, so an open editor stays valid.
            if (QTableWidgetItem *item = FCaptionGrid->item(r, c))
                item->setText(texts[c]);
            else
                FCaptionGrid->setItem(r, c, new QTableWidgetItem(texts[c]));
        }
    }
}

void TfrmTextInfo::AppendEmptyLine()
{
    const int r = FCaptionGrid->rowCount();
    FCaptionGrid->insertRow(r);
    for (int c = 0; c < kColumns; ++c)
        FCaptionGrid->setItem(r, c, new QTableWidgetItem);
}

void TfrmTextInfo::btn1Click()
{
    if (FCaptionGrid->rowCount() < MaxCaptionLines)
        AppendEmptyLine();
}

void TfrmTextInfo::BitBtn1Click()
{
    if (FCaptionGrid->rowCount() > MinCaptionLines)
        FCaptionGrid->removeRow(FCaptionGrid->rowCount() - 1);
}

void TfrmTextInfo::BitBtn2Click()
{
    TCaptionLines lines;
    for (const TCaptionLine &line : Lines())
        lines.append(TrimmedCaptionLine(line));
    SetLines(lines);
    for (const TCaptionLine &line : lines)
        if (CaptionTooLong(line)) {
            MsgInfo(TCaptionEditor::TooLongText(), this);
            return;
        }
    if (TZovData *data = ZovData())
        TCaptionEditor(*data, FTest, FTestName, FGroupNo).Save(lines, FSaveDefaultCheck->isChecked());
    accept();
}

bool ShowCaptionsDialog(TBaseTest &test, const QString &testName, const QString &groupNo, QWidget *parent)
{
    try {
        TfrmTextInfo dialog(test, testName, groupNo, parent);
        return dialog.exec() == QDialog::Accepted;
    } catch (...) {
        return false;
    }
}

} // namespace kv
