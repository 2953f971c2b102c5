#include "ui/verify/ExamCaptionsDialog.h"

#include "records/CaptionEditor.h"
#include "MessageService.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv {

TfrmExamCaptions::TfrmExamCaptions(TZovData &data, QWidget *parent) : QDialog(parent), FData(data)
{
    setObjectName(QStringLiteral("frmExamCaptions"));
    setWindowTitle(tr("记录表表头"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *layout = new QVBoxLayout(this);
    auto *hint = new QLabel(tr("检测记录表上方的表头内容（单位、设备、标准测力仪等），每项不超过10个汉字。"), this);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    FGrid = new QTableWidget(MaxCaptionLines, 4, this);
    FGrid->setObjectName(QStringLiteral("sgCaptions"));
    FGrid->setHorizontalHeaderLabels({tr("名称"), tr("内容"), tr("名称"), tr("内容")});
    FGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    FGrid->setMinimumSize(560, 300);
    layout->addWidget(FGrid, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto *cancel = new QPushButton(tr("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TfrmExamCaptions::btnOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetLines(LoadExamCaptions(FData));
}

void TfrmExamCaptions::SetLines(const std::vector<TExamCaption> &lines)
{
    for (int r = 0; r < FGrid->rowCount(); ++r) {
        const TExamCaption line = r < int(lines.size()) ? lines[size_t(r)] : TExamCaption{};
        const QString texts[4] = {line.Name1, line.Data1, line.Name2, line.Data2};
        for (int c = 0; c < 4; ++c)
            FGrid->setItem(r, c, new QTableWidgetItem(texts[c]));
    }
}

std::vector<TExamCaption> TfrmExamCaptions::Lines() const
{
    std::vector<TExamCaption> lines;
    for (int r = 0; r < FGrid->rowCount(); ++r) {
        auto text = [this, r](int c) { return FGrid->item(r, c) ? FGrid->item(r, c)->text().trimmed() : QString(); };
        const TExamCaption line{text(0), text(1), text(2), text(3)};
        if (!(line.Name1 + line.Data1 + line.Name2 + line.Data2).isEmpty())
            lines.push_back(line);
    }
    return lines;
}

void TfrmExamCaptions::btnOKClick()
{
    const std::vector<TExamCaption> lines = Lines();
    for (const TExamCaption &l : lines)
        for (const QString &t : {l.Name1, l.Data1, l.Name2, l.Data2})
            if (CaptionTooLong(t)) {
                MsgWarning(TCaptionEditor::TooLongText(), this);
                return;
            }
    if (!SaveExamCaptions(FData, lines)) {
        MsgWarning(tr("保存到数据库出错"), this);
        return;
    }
    accept();
}

} // namespace kv
