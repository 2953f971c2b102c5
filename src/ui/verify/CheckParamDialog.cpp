#include "ui/verify/CheckParamDialog.h"

#include "ui/verify/PointGrid.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "store/GlobalParams.h"
#include "MessageService.h"
#include "SqlText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

TfrmCheckParam::TfrmCheckParam(TCtrlBox &box, TZovData *data, TMyGlbParam &glb, const QString &unit, double coe,
                               QWidget *parent)
    : QDialog(parent), FBox(box), FData(data), FGlb(glb), FUnit(unit), FCoe(coe > 0 ? coe : 1.0),
      FParams(CheckFamily(box.Model()), FCoe, box.FMaxLoad)
{
    setObjectName(QStringLiteral("frmCheckParam"));
    setWindowTitle(tr("检测参数"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const QString paren = QStringLiteral("(") + FUnit + QStringLiteral(")");
    const QString rate = QStringLiteral("(") + FUnit + QStringLiteral("/s)");

    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    FGrid = new TPointGrid([](int k) { return QStringLiteral("  ") + tr("第%1点").arg(k); },
                           {tr("序号"), tr("检测点") + paren}, this);
    FGrid->setObjectName(QStringLiteral("StringGrid1"));
    FGrid->SetPopup(TPointGrid::TPopupCells::LabelColumn, tr("插入"), tr("删 除"), tr("增加"), tr("减少"));
    left->addWidget(FGrid, 1);
    auto *rowButtons = new QHBoxLayout;
    auto button = [this](const QString &text, const char *name, QBoxLayout *to) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        to->addWidget(b);
        return b;
    };
    connect(button(tr("增加"), "BitBtn1", rowButtons), &QPushButton::clicked, FGrid, &TPointGrid::AddPoint);
    connect(button(tr("减少"), "BitBtn2", rowButtons), &QPushButton::clicked, FGrid, &TPointGrid::RemoveLastPoint);
    connect(button(tr("插入"), "BitBtn3", rowButtons), &QPushButton::clicked, FGrid, &TPointGrid::InsertPoint);
    connect(button(tr("删除"), "BitBtn4", rowButtons), &QPushButton::clicked, FGrid, &TPointGrid::DeletePoint);
    left->addLayout(rowButtons);
    FMaxLabel = new QLabel(this);
    FMaxLabel->setObjectName(QStringLiteral("Label3"));
    FMaxLabel->setText(tr("提示 ： 允许检测的最大力为") + QString::number(qint64(std::nearbyint(box.FMaxLoad / FCoe))) +
                       FUnit);
    left->addWidget(FMaxLabel);
    layout->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    auto *loading = new QGroupBox(tr("加载设置"), this);
    loading->setObjectName(QStringLiteral("GroupBox1"));
    auto *form = new QFormLayout(loading);
    FFast = new QComboBox(loading);
    FFast->setObjectName(QStringLiteral("ComboBox1"));
    FFast->setEditable(true);
    FSlow = new QComboBox(loading);
    FSlow->setObjectName(QStringLiteral("ComboBox2"));
    FSlow->setEditable(true);
    form->addRow(tr("快速加载") + rate, FFast);
    form->addRow(tr("慢速加载") + rate, FSlow);
    right->addWidget(loading);

    auto *mode = new QGroupBox(tr("快慢速选择"), this);
    mode->setObjectName(QStringLiteral("RadioGroup1"));
    auto *modeLayout = new QVBoxLayout(mode);
    FAutomatic = new QRadioButton(tr("自动快慢速"), mode);
    FAutomatic->setObjectName(QStringLiteral("rbAutomatic"));
    FManual = new QRadioButton(tr("手动快慢速"), mode);
    FManual->setObjectName(QStringLiteral("rbManual"));
    modeLayout->addWidget(FAutomatic);
    modeLayout->addWidget(FManual);
    right->addWidget(mode);

    auto *advance = new QHBoxLayout;
    FAdvanceLabel = new QLabel(tr("慢速提前量") + paren + QStringLiteral(":"), this);
    FAdvanceLabel->setObjectName(QStringLiteral("Label4"));
    FAdvance = new QLineEdit(this);
    FAdvance->setObjectName(QStringLiteral("edtAdvance"));
    advance->addWidget(FAdvanceLabel);
    advance->addWidget(FAdvance);
    right->addLayout(advance);
    right->addStretch(1);
    auto *okCancel = new QHBoxLayout;
    QPushButton *ok = button(tr("确定"), "BitBtn5", okCancel);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfrmCheckParam::BitBtn5Click);
    connect(button(tr("取消"), "BitBtn6", okCancel), &QPushButton::clicked, this, &TfrmCheckParam::BitBtn6Click);
    right->addLayout(okCancel);
    layout->addLayout(right);

    // Opening: the stored speeds, the switching choice, the advance, the list.
    const TCheckFamily &family = FParams.Family();
    TCheckSettings stored;
    if (FData)
        stored = FParams.Load(*FData);
    FGlb.FastLoadSpeed = stored.Fast;
    FGlb.SlowLoadSpeed = stored.Slow;
    (FGlb.Settings.AutoFastSlow != 0 ? FAutomatic : FManual)->setChecked(true);
    FFast->addItems(family.FastList());
    FSlow->addItems(family.SlowList());
    FFast->setCurrentText(FixedText(stored.Fast / FCoe, 1));
    FSlow->setCurrentText(FixedText(stored.Slow / FCoe, 1));
    if (stored.HasAdvance)
        FAdvance->setText(FixedText(stored.Advance / FCoe, 1));
    else
        ComboChanged();
    TPointRows rows(1);
    std::vector<QStringList> cells;
    for (int k = 0; k < FGlb.CheckCount && k < TMyGlbParam::MaxCheckPoints; ++k)
        cells.push_back({FixedText(FGlb.CheckForce[size_t(k)] / FCoe, 0)});
    rows.SetRows(cells);
    FGrid->SetRows(rows);
    ModeChanged();

    connect(FFast, &QComboBox::currentTextChanged, this, &TfrmCheckParam::ComboChanged);
    connect(FSlow, &QComboBox::currentTextChanged, this, &TfrmCheckParam::ComboChanged);
    connect(FAutomatic, &QRadioButton::toggled, this, &TfrmCheckParam::ModeChanged);
    resize(560, 400);
}

TfrmCheckParam::~TfrmCheckParam() = default;

void TfrmCheckParam::ComboChanged()
{
    const QString text = FParams.DefaultAdvance(FFast->currentText(), FSlow->currentText());
    if (!text.isNull())
        FAdvance->setText(text);
}

void TfrmCheckParam::ModeChanged()
{
    const bool automatic = FAutomatic->isChecked();
    FAdvance->setVisible(automatic);
    FAdvanceLabel->setVisible(automatic);
}

void TfrmCheckParam::BitBtn5Click()
{
    FGrid->CommitEdit();
    TCheckEntry entry;
    entry.Points = FGrid->Column(1);
    entry.Fast = FFast->currentText();
    entry.Slow = FSlow->currentText();
    entry.Automatic = FAutomatic->isChecked();
    entry.Advance = FAdvance->text();
    TCheckValues values;
    const QString message = FParams.Validate(entry, values);
    if (!message.isEmpty()) {
        MsgWarning(message, this);
        return;
    }
    switch (FParams.Apply(values, FBox, FData, FGlb, FConfirmed)) {
    case TCheckApply::SpeedRefused:
        MsgWarning(tr("发送数据到控制器出错"), this);
        return;
    case TCheckApply::StoreFailed:
        // The run is confirmed with the speeds the box has; Cancel starts it.
        MsgWarning(tr("保存到数据库出错"), this);
        return;
    case TCheckApply::Done:
        accept();
        return;
    }
}

void TfrmCheckParam::BitBtn6Click() { reject(); }

} // namespace kv
