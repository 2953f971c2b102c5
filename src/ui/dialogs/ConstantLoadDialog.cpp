#include "ui/dialogs/ConstantLoadDialog.h"

#include "link/BoxModels.h"
#include "ui/main/MainWindow.h"
#include "store/DataModule.h"
#include "store/Settings.h"
#include "Clock.h"
#include "MessageService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

namespace {

constexpr int kMaxSeconds = 36000;
constexpr int kSettleMs = 200;

QSpinBox *MakeSpin(QWidget *parent, const QString &name)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setMinimumWidth(140);
    s->setAlignment(Qt::AlignRight);
    s->setStyleSheet(QStringLiteral("QSpinBox { font: 12pt; }"));
    return s;
}

} // namespace

TStopParRange StopParRange(double maxLoad, double loadCoe)
{
    const double coe = loadCoe > 0 ? loadCoe : 1.0;
    return {static_cast<int>(std::lround(maxLoad / 50.0 / coe)),
            static_cast<int>(std::lround(maxLoad * 1.02 / coe))};
}

bool StopForceAccepted(double force, double maxLoad)
{
    // A force of nothing holds nothing, even when the maximum force is unknown.
    return force > 0.0 && force >= 0.01 * maxLoad && force <= 1.03 * maxLoad;
}

TfrmStopPar::TfrmStopPar(TZovData *data, TCtrlBox *box, bool kvd520Family, double maxLoad,
                         const QString &loadUnit, double loadCoe, QWidget *parent)
    : QDialog(parent), FData(data), FBox(box), FFlexural(kvd520Family), FMaxLoad(maxLoad),
      FLoadCoe(loadCoe > 0 ? loadCoe : 1.0)
{
    setObjectName(QStringLiteral("frmStopPar"));
    setWindowTitle(tr("定荷设置"));
    setModal(true);

    auto *heading = new QLabel(tr("设置定荷力值和时间"), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    heading->setStyleSheet(QStringLiteral("QLabel { font: bold 13pt; }"));

    FForceSpin = MakeSpin(this, QStringLiteral("se_Stop"));
    const TStopParRange range = StopParRange(maxLoad, FLoadCoe);
    FForceSpin->setRange(range.Min, range.Max);
    const THoldSettings stored = data ? TSettingsStore(*data).Hold(FFlexural) : THoldSettings{};
    FForceSpin->setValue(stored.Force);
    FTimeSpin = MakeSpin(this, QStringLiteral("se_Time"));
    FTimeSpin->setRange(1, kMaxSeconds);
    FTimeSpin->setValue(stored.Time);
    FUnitLabel = new QLabel(loadUnit, this);
    FUnitLabel->setObjectName(QStringLiteral("lblUnit"));
    auto *seconds = new QLabel(tr("秒"), this);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    grid->addWidget(new QLabel(tr("定荷的力值："), this), 0, 0);
    grid->addWidget(FForceSpin, 0, 1);
    grid->addWidget(FUnitLabel, 0, 2);
    grid->addWidget(new QLabel(tr("定荷的时间："), this), 1, 0);
    grid->addWidget(FTimeSpin, 1, 1);
    grid->addWidget(seconds, 1, 2);
    grid->setColumnStretch(1, 1);

    FRunButton = new QPushButton(tr("运行"), this);
    FRunButton->setObjectName(QStringLiteral("btnStopSet"));
    FRunButton->setToolTip(tr("开始定荷控制"));
    FRunButton->setDefault(true);
    FCancelButton = new QPushButton(tr("取消"), this);
    FCancelButton->setObjectName(QStringLiteral("btnStopOk"));
    connect(FRunButton, &QPushButton::clicked, this, &TfrmStopPar::btnStopSetClick);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(FRunButton);
    buttons->addWidget(FCancelButton);

    auto *col = new QVBoxLayout(this);
    col->setContentsMargins(20, 16, 20, 14);
    col->addWidget(heading);
    col->addSpacing(8);
    col->addLayout(grid);
    col->addSpacing(12);
    col->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(340, 190)));
}

void TfrmStopPar::btnStopSetClick()
{
    const double force = FForceSpin->value() * FLoadCoe;
    if (!StopForceAccepted(force, FMaxLoad)) {
        MsgWarning(tr("设定的定荷力值超出范围最大力的(%1-100%)"), this);
        return;
    }
    FForce = force;
    FTime = FTimeSpin->value();
    if (FBox)
        FBox->SetKeepLoad(force);
    if (FData) {
        TSettingsStore(*FData).SetHold(FFlexural, {FForceSpin->value(), FTimeSpin->value()});
    }
    Sleep(kSettleMs);
    accept();
}

bool ShowStopPar(TfrmMeasure &window, float &force, int &seconds)
{
    TCtrlBox *box = window.CurrentDriver();
    TfrmStopPar dialog(window.DataModule(), box, window.FlexuralSide(), box ? box->FMaxLoad : 0.0, window.FLoadUnit,
                       window.FLoadCoe, &window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    force = static_cast<float>(dialog.HoldForce());
    seconds = dialog.HoldTime();
    return true;
}

void InstallConstantLoadDialog(TMeasureSteps &steps) { steps.ConstantLoadDialog = ShowStopPar; }

} // namespace kv
