// The main window's widgets as they are built: menus, tool bar, display
// strip, chart, right panel, status bar, and the run buttons' geometry.
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowParts.h"

#include "ui/dialogs/AboutDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <cmath>

namespace kv {

using namespace mw;

namespace {

QLabel *MakeValueLabel(QWidget *parent, const QString &name, const char *colour)
{
    auto *l = new QLabel(QStringLiteral("0"), parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumHeight(44);
    l->setStyleSheet(QStringLiteral("QLabel { background: black; color: %1; font: bold 26pt; padding: 0 8px; "
                                    "border: 2px inset #404040; }")
                         .arg(QLatin1String(colour)));
    l->setContextMenuPolicy(Qt::CustomContextMenu);
    return l;
}

QLabel *MakeTitleLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setStyleSheet(QStringLiteral("QLabel { font: bold 11pt; }"));
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setMinimumWidth(86);
    return l;
}

QToolButton *MakeToolButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumSize(78, 40);
    b->setAutoRaise(true);
    b->setStyleSheet(QStringLiteral("QToolButton { font: 11pt; padding: 2px 6px; }"
                                    "QToolButton:checked { background: #c8d8f0; border: 1px inset #6080b0; }"));
    return b;
}

QPushButton *MakeRunButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setStyleSheet(QStringLiteral("QPushButton { font: bold 13pt; }"));
    return b;
}

} // namespace

void TfrmMeasure::BuildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuMain"));

    FSystemMenu = bar->addMenu(tr("系统功能(&S)"));
    FSystemMenu->setObjectName(QStringLiteral("menuSystem"));
    FUserManagementItem = FSystemMenu->addAction(tr("用户操作"));
    FUserManagementItem->setObjectName(QStringLiteral("menuUser"));
    FLogOffItem = FSystemMenu->addAction(tr("用户注销"));
    FLogOffItem->setObjectName(QStringLiteral("menuLeave"));
    FDemonstrationItem = FSystemMenu->addAction(tr(" 演 示"));
    FDemonstrationItem->setObjectName(QStringLiteral("menuRun"));
    FSystemMenu->addSeparator();
    FQuitItem = FSystemMenu->addAction(tr(" 退 出"));
    FQuitItem->setObjectName(QStringLiteral("menuQuit"));

    FSettingsMenu = bar->addMenu(tr("系统设定(&D)"));
    FSettingsMenu->setObjectName(QStringLiteral("menuSetting"));
    FAdvancedParamsItem = FSettingsMenu->addAction(tr("高级参数"));
    FAdvancedParamsItem->setObjectName(QStringLiteral("menuAdvanced"));
    FHardwareTestItem = FSettingsMenu->addAction(tr("硬件测试"));
    FHardwareTestItem->setObjectName(QStringLiteral("menuTestHard"));
    FForceCodesItem = FSettingsMenu->addAction(tr("力码设定"));
    FForceCodesItem->setObjectName(QStringLiteral("menuGro"));
    FControlModeItem = FSettingsMenu->addAction(tr("控制方式"));
    FControlModeItem->setObjectName(QStringLiteral("NChangeAutoORHand"));
    FControlModeItem->setVisible(false);
    FReportSettingsItem = FSettingsMenu->addAction(tr("报表设置"));
    FReportSettingsItem->setObjectName(QStringLiteral("NConfigRep"));
    FSettingsMenu->addSeparator();
    FBackupItem = FSettingsMenu->addAction(tr("参数备份"));
    FBackupItem->setObjectName(QStringLiteral("menuBackPar"));
    FRestoreItem = FSettingsMenu->addAction(tr("参数恢复"));
    FRestoreItem->setObjectName(QStringLiteral("menuResPar"));
    FDatabaseItem = FSettingsMenu->addAction(tr("数据库设置"));
    FDatabaseItem->setObjectName(QStringLiteral("menuDatabase"));
    FSettingsMenu->addSeparator();

    FLanguageMenu = FSettingsMenu->addMenu(tr("语言切换"));
    FLanguageMenu->setObjectName(QStringLiteral("N1"));
    FChineseItem = FLanguageMenu->addAction(tr("中文(Chinese)"));
    FChineseItem->setObjectName(QStringLiteral("Chinese1"));
    FEnglishItem = FLanguageMenu->addAction(tr("English(英文)"));
    FEnglishItem->setObjectName(QStringLiteral("English1"));
    FChineseItem->setCheckable(true);
    FEnglishItem->setCheckable(true);
    connect(FChineseItem, &QAction::triggered, this, [this] { LanguageClick(false); });
    connect(FEnglishItem, &QAction::triggered, this, [this] { LanguageClick(true); });

    FMachineTypeMenu = FSettingsMenu->addMenu(tr("机型切换"));
    FMachineTypeMenu->setObjectName(QStringLiteral("MenuMachine"));
    FHydraulicPressItem = FMachineTypeMenu->addAction(tr("液压抗压机"));
    FHydraulicPressItem->setObjectName(QStringLiteral("mniN2"));
    FHydraulicFlexPressItem = FMachineTypeMenu->addAction(tr("液压抗折抗压机"));
    FHydraulicFlexPressItem->setObjectName(QStringLiteral("mniN3"));
    FElectricPressItem = FMachineTypeMenu->addAction(tr("电子抗压机"));
    FElectricPressItem->setObjectName(QStringLiteral("Ncompress"));
    FElectricFlexPressItem = FMachineTypeMenu->addAction(tr("电子抗折抗压机"));
    FElectricFlexPressItem->setObjectName(QStringLiteral("Nbend"));
    connect(FHydraulicPressItem, &QAction::triggered, this, [this] { MachineTypeClick(0); });
    connect(FHydraulicFlexPressItem, &QAction::triggered, this, [this] { MachineTypeClick(1); });
    connect(FElectricPressItem, &QAction::triggered, this, [this] { MachineTypeClick(3); });
    connect(FElectricFlexPressItem, &QAction::triggered, this, [this] { MachineTypeClick(4); });

    FAboutMenu = bar->addMenu(tr(" 关于(&A)"));
    FAboutMenu->setObjectName(QStringLiteral("menuAbout"));
    FAboutItem = FAboutMenu->addAction(tr("系统说明"));
    FAboutItem->setObjectName(QStringLiteral("menuAbtAbt"));
    FHelpItem = FAboutMenu->addAction(tr("系统帮助"));
    FHelpItem->setObjectName(QStringLiteral("NHelp"));

    connect(FQuitItem, &QAction::triggered, this, &TfrmMeasure::menuQuitClick);
    connect(FAboutItem, &QAction::triggered, this, [this] {
        TfrmExplain::Show(this, FMyFunction ? FMyFunction->ModuleLoads() : std::vector<TModuleLoad>());
    });
    connect(FAdvancedParamsItem, &QAction::triggered, this, &TfrmMeasure::menuAdvancedClick);
    connect(FForceCodesItem, &QAction::triggered, this, &TfrmMeasure::menuGroClick);
    connect(FHardwareTestItem, &QAction::triggered, this, &TfrmMeasure::menuTestHardClick);
    connect(FBackupItem, &QAction::triggered, this, &TfrmMeasure::menuBackParClick);
    connect(FRestoreItem, &QAction::triggered, this, &TfrmMeasure::menuResParClick);
    connect(FDatabaseItem, &QAction::triggered, this, [this] {
        if (FSteps.DatabaseSettings)
            FSteps.DatabaseSettings(this);
    });
    connect(FControlModeItem, &QAction::triggered, this, &TfrmMeasure::NChangeAutoORHandClick);
    connect(FHelpItem, &QAction::triggered, this, &TfrmMeasure::NHelpClick);
    connect(FUserManagementItem, &QAction::triggered, this, &TfrmMeasure::menuUserClick);
    connect(FLogOffItem, &QAction::triggered, this, [this] {
        if (!FSteps.Login)
            return;
        const TLoginOutcome outcome = FSteps.Login(this);
        if (outcome.Ok)
            FUserName = outcome.UserName;
        FunMenuEnable(FUserName);
    });
}

void TfrmMeasure::BuildToolBar()
{
    FToolBar = new QToolBar(this);
    FToolBar->setObjectName(QStringLiteral("tbarTop"));
    FToolBar->setMovable(false);
    FToolBar->setFloatable(false);
    FToolBar->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, FToolBar);

    // One strip holds the buttons so that each one shows and hides on its own.
    auto *strip = new QWidget(FToolBar);
    strip->setObjectName(QStringLiteral("tbarTopStrip"));
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);

    FFlexuralSideButton = MakeToolButton(strip, QStringLiteral("btnKZ"), tr("抗　折"));
    FCompressiveSideButton = MakeToolButton(strip, QStringLiteral("btnKY"), tr("抗　压"));
    FFlexuralSideButton->setToolTip(tr("切换到抗折，在负荷传感器上试验"));
    FCompressiveSideButton->setToolTip(tr("切换到抗压，在压力传感器上试验"));
    FFlexuralSideButton->setCheckable(true);
    FCompressiveSideButton->setCheckable(true);
    FSideGroup = new QButtonGroup(this);
    FSideGroup->setExclusive(true);
    FSideGroup->addButton(FFlexuralSideButton);
    FSideGroup->addButton(FCompressiveSideButton);
    connect(FFlexuralSideButton, &QToolButton::clicked, this, [this] { OnClickMachine(FFlexuralSideButton); });
    connect(FCompressiveSideButton, &QToolButton::clicked, this,
            [this] { OnClickMachine(FCompressiveSideButton); });

    FTestChoiceButton = MakeToolButton(strip, QStringLiteral("tbTest"), tr("试验选择"));
    FTestMenu = new QMenu(FTestChoiceButton);
    FTestMenu->setObjectName(QStringLiteral("pmTestList"));
    connect(FTestChoiceButton, &QToolButton::clicked, this, &TfrmMeasure::tbTestClick);

    FReportButton = MakeToolButton(strip, QStringLiteral("btnPrint"), tr("报 告"));
    FCalibrationButton = MakeToolButton(strip, QStringLiteral("btnOneChk"), tr(" 力值校准 "));
    FVerificationButton = MakeToolButton(strip, QStringLiteral("btnCheck"), tr("力值检定"));
    FConstantLoadButton = MakeToolButton(strip, QStringLiteral("btnStable"), tr("定  荷"));
    FEndGroupButton = MakeToolButton(strip, QStringLiteral("btnEndGro"), tr("结束一组"));
    FSlowButton = MakeToolButton(strip, QStringLiteral("btnSlow"), tr("慢  速"));
    FFastButton = MakeToolButton(strip, QStringLiteral("btnFast"), tr("快  速"));
    FExitButton = MakeToolButton(strip, QStringLiteral("btnOut"), tr("退  出"));
    FSlowButton->setVisible(false);
    FFastButton->setVisible(false);
    connect(FExitButton, &QToolButton::clicked, this, &TfrmMeasure::btnOutClick);

    for (QToolButton *b : {FFlexuralSideButton, FCompressiveSideButton, FTestChoiceButton, FReportButton,
                           FCalibrationButton, FVerificationButton, FConstantLoadButton, FEndGroupButton, FSlowButton,
                           FFastButton, FExitButton})
        row->addWidget(b);
    row->addStretch(1);
    FToolBar->addWidget(strip);
}

QMenu *TfrmMeasure::BuildDigitMenu(const QString &name, int maxDecimals, const QString &hint)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(name);
    auto *group = new QActionGroup(menu);
    group->setExclusive(true);
    for (int d = 0; d <= maxDecimals; ++d) {
        QAction *item = menu->addAction(tr("%1位").arg(d));
        item->setObjectName(name + QString::number(d));
        item->setCheckable(true);
        item->setData(d);
        item->setProperty(kDigitHint, hint);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { SetDigits(item); });
    }
    return menu;
}

void TfrmMeasure::BuildDisplayStrip()
{
    FDisplayStrip = new QFrame(this);
    FDisplayStrip->setObjectName(QStringLiteral("Panel1"));
    FDisplayStrip->setFrameShape(QFrame::StyledPanel);
    auto *strip = new QHBoxLayout(FDisplayStrip);
    strip->setContentsMargins(4, 2, 4, 4);
    strip->setSpacing(6);

    auto makeGroup = [this](const QString &name) {
        auto *g = new QGroupBox(FDisplayStrip);
        g->setObjectName(name);
        auto *grid = new QGridLayout(g);
        grid->setContentsMargins(6, 4, 6, 4);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(4);
        return g;
    };

    FForceGroup = makeGroup(QStringLiteral("gbLZ"));
    FForceTitle = MakeTitleLabel(FForceGroup, QStringLiteral("pnl_ZH"), QString());
    FForceDisplay = MakeValueLabel(FForceGroup, QStringLiteral("stPress"), "yellow");
    FPeakForceTitle = MakeTitleLabel(FForceGroup, QStringLiteral("pnl_ZHFZ"), QString());
    FPeakForceDisplay = MakeValueLabel(FForceGroup, QStringLiteral("stMaxPre"), "lime");
    FZeroButton = new QPushButton(tr("清零"), FForceGroup);
    FZeroButton->setObjectName(QStringLiteral("sb_ClearZero"));
    FZeroButton->setMinimumHeight(44);
    FZeroButton->setStyleSheet(QStringLiteral("QPushButton { font: bold 11pt; }"));
    auto *gz = static_cast<QGridLayout *>(FForceGroup->layout());
    gz->addWidget(FForceTitle, 0, 0);
    gz->addWidget(FForceDisplay, 0, 1);
    gz->addWidget(FZeroButton, 0, 2);
    gz->addWidget(FPeakForceTitle, 1, 0);
    gz->addWidget(FPeakForceDisplay, 1, 1, 1, 2);
    gz->setColumnStretch(1, 1);

    FStrengthGroup = makeGroup(QStringLiteral("gbWY"));
    FStrengthTitle = MakeTitleLabel(FStrengthGroup, QStringLiteral("pnl_QD"), QString());
    FStrengthDisplay = MakeValueLabel(FStrengthGroup, QStringLiteral("stMpaRes"), "yellow");
    FPeakStrengthTitle = MakeTitleLabel(FStrengthGroup, QStringLiteral("Pnl_QDFZ"), QString());
    FPeakStrengthDisplay = MakeValueLabel(FStrengthGroup, QStringLiteral("stMaxMpa"), "lime");
    auto *gw = static_cast<QGridLayout *>(FStrengthGroup->layout());
    gw->addWidget(FStrengthTitle, 0, 0);
    gw->addWidget(FStrengthDisplay, 0, 1);
    gw->addWidget(FPeakStrengthTitle, 1, 0);
    gw->addWidget(FPeakStrengthDisplay, 1, 1);
    gw->setColumnStretch(1, 1);

    FSpeedGroup = makeGroup(QStringLiteral("GroupBox1"));
    FSpeedTitle = MakeTitleLabel(FSpeedGroup, QStringLiteral("Pnl_Speed"), QString());
    FSpeedDisplay = MakeValueLabel(FSpeedGroup, QStringLiteral("stSpeed"), "yellow");
    FTimeTitle = MakeTitleLabel(FSpeedGroup, QStringLiteral("pnl_Time"), tr("时间(s)"));
    FTimeDisplay = MakeValueLabel(FSpeedGroup, QStringLiteral("st_Time"), "yellow");
    FTimeDisplay->setContextMenuPolicy(Qt::NoContextMenu);
    auto *gs = static_cast<QGridLayout *>(FSpeedGroup->layout());
    gs->addWidget(FSpeedTitle, 0, 0);
    gs->addWidget(FSpeedDisplay, 0, 1);
    gs->addWidget(FTimeTitle, 1, 0);
    gs->addWidget(FTimeDisplay, 1, 1);
    gs->setColumnStretch(1, 1);

    // Force 12/30 of the width, speed 8/30, strength the rest.
    strip->addWidget(FForceGroup, 12);
    strip->addWidget(FStrengthGroup, 10);
    strip->addWidget(FSpeedGroup, 8);

    FForceDigitsMenu = BuildDigitMenu(QStringLiteral("PMUnitLoad"), 3, QStringLiteral("1"));
    FStrengthDigitsMenu = BuildDigitMenu(QStringLiteral("PMUnitStress"), 3, QStringLiteral("2"));
    FSpeedDigitsMenu = BuildDigitMenu(QStringLiteral("pmUnitSpeed"), 2, QStringLiteral("3"));
    const std::pair<QLabel *, QMenu *> digitMenus[] = {
        {FForceDisplay, FForceDigitsMenu},
        {FStrengthDisplay, FStrengthDigitsMenu},
        {FSpeedDisplay, FSpeedDigitsMenu}};
    for (const auto &[display, menu] : digitMenus) {
        QLabel *d = display;
        QMenu *m = menu;
        connect(d, &QWidget::customContextMenuRequested, this, [d, m](const QPoint &pos) {
            m->popup(d->mapToGlobal(pos));
        });
    }
    for (QMenu *m : {FForceDigitsMenu, FStrengthDigitsMenu, FSpeedDigitsMenu})
        m->actions().value(2)->setChecked(true);

    ShowDisplay(FForceDisplay, 0, FLoadFormat);
    ShowDisplay(FPeakForceDisplay, 0, FLoadFormat);
    ShowDisplay(FStrengthDisplay, 0, FStressFormat);
    ShowDisplay(FPeakStrengthDisplay, 0, FStressFormat);
    ShowDisplay(FSpeedDisplay, 0, FSpeedFormat);
    FTimeDisplay->setText(QStringLiteral("0.0"));
}

void TfrmMeasure::BuildChart()
{
    FChart = new QChart();
    FChart->setObjectName(QStringLiteral("Chart"));
    FChart->setTitle(tr("载荷－时间曲线"));
    QFont titleFont = FChart->titleFont();
    titleFont.setPointSize(13);
    titleFont.setBold(true);
    FChart->setTitleFont(titleFont);
    FChart->legend()->hide();
    FChart->setMargins(QMargins(4, 4, 8, 4));

    FCurveSeries = new QLineSeries(FChart);
    FCurveSeries->setObjectName(QStringLiteral("Series1"));
    FCurveSeries->setPen(QPen(Qt::red, 2));
    FPeakSeries = new QScatterSeries(FChart);
    FPeakSeries->setObjectName(QStringLiteral("Series2"));
    FPeakSeries->setColor(Qt::green);
    FPeakSeries->setBorderColor(Qt::darkGreen);
    FPeakSeries->setMarkerSize(8);
    FPeakSeries->setPointLabelsColor(Qt::black);
    FChart->addSeries(FCurveSeries);
    FChart->addSeries(FPeakSeries);

    FTimeAxis = new QValueAxis(FChart);
    FTimeAxis->setObjectName(QStringLiteral("AxisTime"));
    FTimeAxis->setTitleText(tr("时间(s)"));
    FTimeAxis->setRange(0, 20);
    FTimeAxis->setTickCount(11);
    FTimeAxis->setLabelFormat(QStringLiteral("%.0f"));
    FForceAxis = new QValueAxis(FChart);
    FForceAxis->setObjectName(QStringLiteral("AxisLoad"));
    FForceAxis->setRange(0, 100);
    FForceAxis->setTickCount(11);
    FForceAxis->setLabelFormat(QStringLiteral("%.0f"));
    FChart->addAxis(FTimeAxis, Qt::AlignBottom);
    FChart->addAxis(FForceAxis, Qt::AlignLeft);
    for (QAbstractSeries *s :
         {static_cast<QAbstractSeries *>(FCurveSeries), static_cast<QAbstractSeries *>(FPeakSeries)}) {
        s->attachAxis(FTimeAxis);
        s->attachAxis(FForceAxis);
    }

    FChartView = new QChartView(FChart, this);
    FChartView->setObjectName(QStringLiteral("Chart1"));
    FChartView->setRenderHint(QPainter::Antialiasing);
    FChartView->setRubberBand(QChartView::RectangleRubberBand);
    FChartView->setMinimumWidth(400);

    // Buttons of the demonstration run, on the chart's top left.
    auto *demo = new QWidget(FChartView);
    demo->setObjectName(QStringLiteral("pnlDemo"));
    auto *row = new QHBoxLayout(demo);
    row->setContentsMargins(0, 0, 0, 0);
    FDemoLoadButton = new QPushButton(tr("加力"), demo);
    FDemoHoldButton = new QPushButton(tr("保持"), demo);
    FDemoUnloadButton = new QPushButton(tr("减力"), demo);
    FDemoLoadButton->setObjectName(QStringLiteral("btnUP"));
    FDemoHoldButton->setObjectName(QStringLiteral("btnKeep"));
    FDemoUnloadButton->setObjectName(QStringLiteral("btnDown"));
    for (QPushButton *b : {FDemoLoadButton, FDemoHoldButton, FDemoUnloadButton}) {
        row->addWidget(b);
        b->setVisible(false);
    }
    demo->move(70, 8);
}

void TfrmMeasure::BuildRightPanel()
{
    auto *right = new QWidget(this);
    right->setObjectName(QStringLiteral("pnlRight"));
    right->setMinimumWidth(240);
    auto *col = new QVBoxLayout(right);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(4);

    FValvePanel = new QFrame(right);
    FValvePanel->setObjectName(QStringLiteral("PlManuCtrl"));
    FValvePanel->setFrameShape(QFrame::StyledPanel);
    auto *manu = new QGridLayout(FValvePanel);
    FValveGauge = new QProgressBar(FValvePanel);
    FValveGauge->setObjectName(QStringLiteral("guValvePos"));
    FValveGauge->setRange(0, 100);
    FValveGauge->setValue(0);
    FValveGauge->setFormat(QStringLiteral("%v"));
    FValvePositionEdit = new QLineEdit(FValvePanel);
    FValvePositionEdit->setObjectName(QStringLiteral("edtValvePos"));
    FValvePositionEdit->setReadOnly(true);
    FValvePositionEdit->setText(QStringLiteral("0"));
    FValveSlider = new QSlider(Qt::Horizontal, FValvePanel);
    FValveSlider->setObjectName(QStringLiteral("tbValveSet"));
    FValveSlider->setRange(0, 100);
    FValveStepDownButton = new QPushButton(QStringLiteral("-"), FValvePanel);
    FValveStepDownButton->setObjectName(QStringLiteral("btnValveDec"));
    FValveStepUpButton = new QPushButton(QStringLiteral("+"), FValvePanel);
    FValveStepUpButton->setObjectName(QStringLiteral("btnValveInc"));
    FValveStepDownButton->setFixedWidth(28);
    FValveStepUpButton->setFixedWidth(28);
    manu->addWidget(FValveGauge, 0, 0, 1, 2);
    manu->addWidget(FValvePositionEdit, 0, 2, 1, 2);
    manu->addWidget(FValveStepDownButton, 1, 0);
    manu->addWidget(FValveSlider, 1, 1, 1, 2);
    manu->addWidget(FValveStepUpButton, 1, 3);
    FValvePanel->setVisible(false);

    FParamPanel = new QFrame(right);
    FParamPanel->setObjectName(QStringLiteral("PnlParam"));
    FParamPanel->setFrameShape(QFrame::StyledPanel);
    FParamPanel->setLayout(new QVBoxLayout);
    FParamPanel->layout()->setContentsMargins(0, 0, 0, 0);

    FRunPanel = new QFrame(right);
    FRunPanel->setObjectName(QStringLiteral("Panel5"));
    FRunPanel->setFrameShape(QFrame::StyledPanel);
    FRunPanel->setFixedHeight(112);
    FRunButton = MakeRunButton(FRunPanel, QStringLiteral("btnRun"), tr("运行"));
    FStopButton = MakeRunButton(FRunPanel, QStringLiteral("btnStop"), tr("停止"));
    FResetButton = MakeRunButton(FRunPanel, QStringLiteral("btnReset"), tr("复位"));
    FMotorUpButton = MakeRunButton(FRunPanel, QStringLiteral("bitUp"), tr("上升"));
    FMotorDownButton = MakeRunButton(FRunPanel, QStringLiteral("BitDown"), tr("下降"));
    FMotorUpButton->setVisible(false);
    FMotorDownButton->setVisible(false);
    FRunPanel->installEventFilter(this);

    col->addWidget(FValvePanel);
    col->addWidget(FParamPanel, 1);
    col->addWidget(FRunPanel);
}

void TfrmMeasure::BuildStatusBar()
{
    FStatusBar = new QStatusBar(this);
    FStatusBar->setObjectName(QStringLiteral("sbBarDown"));
    FStatusBar->setSizeGripEnabled(false);
    setStatusBar(FStatusBar);
    const QString texts[6] = {tr("信息提示："), tr("状态提示："), tr("系统状态："),
                              tr("当前时间："), tr("当前相对码:"), tr("当前阀口位置:")};
    const int stretch[6] = {3, 4, 2, 2, 2, 2};
    for (int i = 0; i < 6; ++i) {
        auto *l = new QLabel(texts[i], FStatusBar);
        l->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(60);
        FStatusBar->addWidget(l, stretch[i]);
        FPanels[i] = l;
    }
}

void TfrmMeasure::LayoutRunButtons()
{
    if (!FRunPanel)
        return;
    const int a = static_cast<int>(std::lround((FRunPanel->width() - 40) / 3.0));
    const int top = 10;
    const int h = FRunPanel->height() - 2 * top;
    const int half = (h - 6) / 2;
    FRunButton->setGeometry(10, top, a, h);
    FStopButton->setGeometry(a + 20, top, a, h);
    FResetButton->setGeometry(2 * a + 30, top, a, h);
    FMotorUpButton->setGeometry(2 * a + 30, top, a, half);
    FMotorDownButton->setGeometry(2 * a + 30, top + half + 6, a, half);
}

} // namespace kv
