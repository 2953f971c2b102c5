#include "ui/verify/CheckWindow.h"

#include "ui/verify/CheckParamDialog.h"
#include "ui/verify/ExamCaptionsDialog.h"
#include "ui/verify/ExamReport.h"
#include "ui/verify/SetportDialog.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "store/GlobalParams.h"
#include "verify/ExamCaptions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

namespace kv {

namespace {

QToolButton *ToolButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumSize(78, 40);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setStyleSheet(QStringLiteral("QToolButton { font: 11pt; padding: 2px 6px; }"));
    return b;
}

QLabel *Readout(QWidget *parent, const char *name)
{
    auto *l = new QLabel(QStringLiteral("0.00"), parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(130);
    l->setStyleSheet(QStringLiteral("QLabel { background: black; color: yellow; font: bold 20pt; padding: 2px 6px; }"));
    return l;
}

QLabel *Title(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setStyleSheet(QStringLiteral("QLabel { font: bold 11pt; }"));
    return l;
}

} // namespace

TfrmCheck::TfrmCheck(TCtrlBox &box, TMyGlbParam &glb, TZovData *data, const QString &unit, double coe,
                     int *valveStart, QWidget *parent)
    : QDialog(parent), FBox(box), FGlb(glb), FData(data), FUnit(unit), FCoe(coe > 0 ? coe : 1.0)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(glb.CheckMode == TMyGlbParam::TCheckMode::Verification ? tr("力值检测") : tr("力值校准"));
    BuildLayout();

    TCheckContext context;
    context.Box = [this] { return &FBox; };
    context.Glb = &FGlb;
    context.Data = FData;
    context.Coe = FCoe;
    context.ValveStart = valveStart;
    context.AskParams = [this] { return OpenParamsDialog(); };
    context.Observer = this;
    FRun = std::make_unique<TCheckRun>(std::move(context));
    qApp->installEventFilter(this);
}

TfrmCheck::~TfrmCheck()
{
    qApp->removeEventFilter(this);
    FRun.reset();
}

void TfrmCheck::BuildLayout()
{
    const QString paren = QStringLiteral("(") + FUnit + QStringLiteral(")");
    auto *layout = new QVBoxLayout(this);
    auto *strip = new QHBoxLayout;
    FRunButton = ToolButton(this, "btnrun", tr("开  始"));
    FEndButton = ToolButton(this, "btnend", tr("结  束"));
    FForceCodesButton = ToolButton(this, "ToolButton1", tr("力码设置"));
    FPrintButton = ToolButton(this, "btnprint", tr("打  印"));
    FCaptionButton = ToolButton(this, "btnCaption", tr("表  头"));
    FCaptionButton->setToolTip(tr("检测记录表的表头内容"));
    FFastButton = ToolButton(this, "btnfast", tr("快  速"));
    FSlowButton = ToolButton(this, "btnslow", tr("慢  速"));
    FTakeButton = ToolButton(this, "ToolButton2", tr("采  点"));
    FQuitButton = ToolButton(this, "btnQuit", tr("退  出"));
    for (QToolButton *b : {FRunButton, FEndButton, FForceCodesButton, FPrintButton, FCaptionButton, FFastButton,
                           FSlowButton, FTakeButton, FQuitButton})
        strip->addWidget(b);
    strip->addStretch(1);
    layout->addLayout(strip);

    auto *displays = new QGroupBox(this);
    displays->setObjectName(QStringLiteral("gbDisplay"));
    auto *grid = new QGridLayout(displays);
    FForceTitle = Title(displays, "pnl_ZH", tr("载荷") + paren);
    FForceDisplay = Readout(displays, "stPress");
    FSpeedTitle = Title(displays, "Pnl_Speed", tr("速度") + QStringLiteral("(") + FUnit + QStringLiteral("/s)"));
    FSpeedDisplay = Readout(displays, "stSpeed");
    FTimeDisplay = Readout(displays, "stTime");
    FTimeDisplay->setText(QStringLiteral("0.0"));
    FZeroButton = new QPushButton(tr("清零"), displays);
    FZeroButton->setObjectName(QStringLiteral("sb_ClearZero"));
    FZeroButton->setMinimumHeight(40);
    FZeroButton->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(FForceTitle, 0, 0);
    grid->addWidget(FForceDisplay, 0, 1);
    grid->addWidget(FZeroButton, 0, 2);
    grid->addWidget(FSpeedTitle, 0, 3);
    grid->addWidget(FSpeedDisplay, 0, 4);
    grid->addWidget(Title(displays, "pnl_Time", tr("时间(s)")), 0, 5);
    grid->addWidget(FTimeDisplay, 0, 6);
    layout->addWidget(displays);

    FHint = new QLabel(tr("开始后，当标准测力仪显示检测点力值时，请按空格键或“采  点”按钮采点。"), this);
    FHint->setObjectName(QStringLiteral("pnlHint"));
    FHint->setStyleSheet(QStringLiteral("QLabel { color: #0030a0; font: 11pt; }"));
    layout->addWidget(FHint);

    auto *body = new QHBoxLayout;
    FGrid = new QTableWidget(0, 5, this);
    FGrid->setObjectName(QStringLiteral("StringGrid1"));
    FGrid->setToolTip(tr("显示校准/检定结果"));
    FGrid->setHorizontalHeaderLabels({QStringLiteral("   ") + tr("序号"), QStringLiteral(" ") + tr("检测点") + paren,
                                      tr("实测力值") + paren, QStringLiteral("   ") + tr("力码"),
                                      QStringLiteral("  ") + tr("误差(%)")});
    FGrid->verticalHeader()->hide();
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    body->addWidget(FGrid, 0);

    FChart = new QChart();
    FChart->legend()->hide();
    FChart->setTitle(tr("载荷－时间曲线"));
    FSeries = new QLineSeries(FChart);
    FSeries->setObjectName(QStringLiteral("Series1"));
    FSeries->setPen(QPen(Qt::red, 2));
    FChart->addSeries(FSeries);
    FTimeAxis = new QValueAxis(FChart);
    FTimeAxis->setTitleText(tr("时间(s)"));
    FTimeAxis->setTickCount(11);
    FTimeAxis->setLabelFormat(QStringLiteral("%.0f"));
    FForceAxis = new QValueAxis(FChart);
    FForceAxis->setTitleText(tr("载荷") + paren);
    FForceAxis->setTickCount(11);
    FForceAxis->setLabelFormat(QStringLiteral("%.0f"));
    FChart->addAxis(FTimeAxis, Qt::AlignBottom);
    FChart->addAxis(FForceAxis, Qt::AlignLeft);
    FSeries->attachAxis(FTimeAxis);
    FSeries->attachAxis(FForceAxis);
    FChartView = new QChartView(FChart, this);
    FChartView->setObjectName(QStringLiteral("Chart1"));
    FChartView->setRenderHint(QPainter::Antialiasing);
    FChartView->setMinimumSize(480, 360);
    body->addWidget(FChartView, 1);
    layout->addLayout(body, 1);

    connect(FRunButton, &QToolButton::clicked, this, &TfrmCheck::btnrunClick);
    connect(FEndButton, &QToolButton::clicked, this, &TfrmCheck::btnendClick);
    connect(FForceCodesButton, &QToolButton::clicked, this, &TfrmCheck::ToolButton1Click);
    connect(FPrintButton, &QToolButton::clicked, this, &TfrmCheck::btnprintClick);
    connect(FQuitButton, &QToolButton::clicked, this, &TfrmCheck::btnQuitClick);
    connect(FCaptionButton, &QToolButton::clicked, this, &TfrmCheck::btnCaptionClick);
    connect(FFastButton, &QToolButton::clicked, this, [this] { FRun->FastClick(); });
    connect(FSlowButton, &QToolButton::clicked, this, [this] { FRun->SlowClick(); });
    connect(FTakeButton, &QToolButton::clicked, this, [this] { FRun->TakePoint(); });
    connect(FZeroButton, &QPushButton::clicked, this, [this] { FRun->ClearZero(); });
    resize(1100, 640);
}

// ---------------------------------------------------------------------------
// Commands

void TfrmCheck::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (FOpened)
        return;
    FOpened = true;
    FRun->Open();
}

void TfrmCheck::btnrunClick() { FRun->Start(); }

void TfrmCheck::btnendClick() { FRun->EndClick(); }

void TfrmCheck::ToolButton1Click() { OpenForceCodesDialog(); }

void TfrmCheck::btnprintClick()
{
    TExamReportData data;
    data.Unit = FUnit;
    data.Coe = FCoe;
    data.Rows = FRun->Rows();
    data.Series = FRun->Series();
    if (FData)
        data.Captions = LoadExamCaptions(*FData);
    data.Mode = FGlb.CheckMode;
    TfrmExamreport::Present(data, this);
}

void TfrmCheck::btnCaptionClick()
{
    if (!FData)
        return;
    TfrmExamCaptions dialog(*FData, this);
    dialog.exec();
}

void TfrmCheck::btnQuitClick() { close(); }

void TfrmCheck::reject() { close(); }

void TfrmCheck::closeEvent(QCloseEvent *event)
{
    if (!FRun->MayClose()) {
        event->ignore();
        return;
    }
    FRun->Close();
    event->accept();
    QDialog::reject();
}

bool TfrmCheck::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == this && FRun->KeyPress(static_cast<QKeyEvent *>(event)->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmCheck::OpenParamsDialog()
{
    if (FOpenParams)
        return FOpenParams();
    TfrmCheckParam dialog(FBox, FData, FGlb, FUnit, FCoe, this);
    dialog.exec();
    return dialog.Confirmed();
}

void TfrmCheck::OpenForceCodesDialog()
{
    // The download owns the line: no idle reading meanwhile.
    FRun->SuspendIdle();
    if (FOpenForceCodes) {
        FOpenForceCodes();
    } else {
        FGlb.SetPortFromMain = false;
        TfrmSetport dialog(FBox, FGlb, FUnit, FCoe, this, FData ? &FData->conZovDb : nullptr);
        dialog.SetStoreResults([this] { return FRun->SaveCheckResults(FGlb.RecordedCount); });
        dialog.exec();
    }
    FRun->ResumeIdle();
}

// ---------------------------------------------------------------------------
// What the run shows

void TfrmCheck::ShowForce(const QString &text) { FForceDisplay->setText(text); }

void TfrmCheck::ShowSpeed(const QString &text) { FSpeedDisplay->setText(text); }

void TfrmCheck::ShowTime(const QString &text) { FTimeDisplay->setText(text); }

void TfrmCheck::ChartReset(float forceMax, float timeMax)
{
    FSeries->clear();
    ChartAxes(forceMax, timeMax);
}

void TfrmCheck::ChartAxes(float forceMax, float timeMax)
{
    FTimeAxis->setRange(0, timeMax);
    FForceAxis->setRange(0, forceMax);
}

void TfrmCheck::ChartPoint(float force, float t) { FSeries->append(t, force); }

void TfrmCheck::GridChanged()
{
    const std::vector<QStringList> &rows = FRun->Rows();
    FGrid->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        auto set = [this, r](int column, const QString &text) {
            auto *item = FGrid->item(r, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                   : Qt::AlignRight | Qt::AlignVCenter);
                FGrid->setItem(r, column, item);
            }
            item->setText(text);
        };
        set(0, QStringLiteral("  ") + tr("第%1点").arg(r + 1));
        for (int c = 0; c < 4; ++c)
            set(c + 1, rows[size_t(r)].value(c));
    }
    // Every column stays in sight: the grid is as wide as its columns.
    FGrid->resizeColumnsToContents();
    int width = 2 * FGrid->frameWidth() + FGrid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < FGrid->columnCount(); ++c)
        width += FGrid->columnWidth(c);
    FGrid->setMinimumWidth(width);
}

void TfrmCheck::StateChanged()
{
    const bool running = FRun->Running();
    FRunButton->setEnabled(!running);
    FPrintButton->setEnabled(!running);
    FCaptionButton->setEnabled(!running && FData);
    FQuitButton->setEnabled(!running);
    FForceCodesButton->setEnabled(!running);
    FTakeButton->setEnabled(running);
    FEndButton->setEnabled(true);
    FFastButton->setVisible(running && FRun->SpeedButtonsVisible());
    FSlowButton->setVisible(running && FRun->SpeedButtonsVisible());
    FFastButton->setEnabled(FRun->FastEnabled());
    FSlowButton->setEnabled(FRun->SlowEnabled());
    FZeroButton->setEnabled(FRun->ZeroEnabled());
}

void TfrmCheck::FocusGrid() { FGrid->setFocus(); }

void TfrmCheck::OpenForceCodes() { OpenForceCodesDialog(); }

} // namespace kv
