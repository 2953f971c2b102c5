#include "ui/main/MainWindow.h"
#include "ui/help/HelpViewer.h"

#include "link/BoxModels.h"
#include "ui/dialogs/ControlModeDialog.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/QuitDialog.h"
#include "ui/main/CtrlBoxDriver.h"
#include "store/DataModule.h"
#include "store/DisplayUnits.h"
#include "store/Settings.h"
#include "store/UserRights.h"
#include "Clock.h"
#include "SqlText.h"
#include "MessageService.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr int kStatusTimerMs = 200;
constexpr int kRestoreIgnored = 1001;

const char *const kDisplayValue = "kvValue";
const char *const kDigitHint = "kvDigitHint";

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

void SetEnabledOf(QObject *command, bool enabled)
{
    if (auto *w = qobject_cast<QWidget *>(command))
        w->setEnabled(enabled);
    else if (auto *a = qobject_cast<QAction *>(command))
        a->setEnabled(enabled);
}

void ShowDisplay(QLabel *display, double value, const QString &format)
{
    display->setProperty(kDisplayValue, value);
    display->setText(FormatValue(value, format));
}

} // namespace

TfrmMeasure::TfrmMeasure(TMeasureEnv env, QWidget *parent)
    : QMainWindow(parent),
      FProgramDir(env.ProgramDir),
      FSteps(std::move(env.Steps)),
      FWaitWindow(std::move(env.WaitWindow)),
      FData(std::move(env.Data))
{
    setObjectName(QStringLiteral("frmMeasure"));
    setWindowTitle(QStringLiteral("KalvioV6.1"));
    resize(1280, 720);

    BuildMenus();
    BuildToolBar();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);
    BuildDisplayStrip();
    layout->addWidget(Panel1);

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    BuildChart();
    BuildRightPanel();
    Splitter1->addWidget(Chart1);
    Splitter1->addWidget(PnlParam->parentWidget());
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({900, 300});
    layout->addWidget(Splitter1, 1);
    setCentralWidget(central);
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { LayoutRunButtons(); });

    BuildStatusBar();

    timeStsBar = new QTimer(this);
    timeStsBar->setObjectName(QStringLiteral("timeStsBar"));
    timeStsBar->setInterval(kStatusTimerMs);
    connect(timeStsBar, &QTimer::timeout, this, &TfrmMeasure::timeStsBarTimer);

    // Commands whose windows are not part of the program yet (records,
    // calibration, verification, hardware test, force codes, report
    // settings), and those that wait for the run sequence or the driver.
    for (QObject *c : std::initializer_list<QObject *>{
             menuRun, menuAdvanced, menuTestHard, menuGro, NChangeAutoORHand, NConfigRep,
             btnPrint, btnOneChk, btnCheck, btnStable, btnEndGro, btnSlow,
             btnFast, btnReset, btnRun, btnStop, bitUp, BitDown, sb_ClearZero, btnUP, btnKeep, btnDown,
             tbValveSet, btnValveDec, btnValveInc})
        SetCommandAvailable(c, false);
    ConnectDriverCommands();
    SetCommandAvailable(menuLeave, static_cast<bool>(FSteps.Login));
    // The side switch reloads the tests: it needs the module host.
    SetCommandAvailable(btnKZ, static_cast<bool>(FSteps.LoadTestModules));
    SetCommandAvailable(btnKY, static_cast<bool>(FSteps.LoadTestModules));
    SetCommandAvailable(menuUser, static_cast<bool>(FSteps.UserManagement));

    // Hints also show in the first status panel.
    for (QWidget *w : findChildren<QWidget *>())
        if (!w->toolTip().isEmpty() && w->statusTip().isEmpty())
            w->setStatusTip(w->toolTip());
    RefreshUnitCaptions();

    FormCreate();
    ConnectRun();
}

TfrmMeasure::~TfrmMeasure()
{
    if (FRun)
        qApp->removeEventFilter(this);
    FormDestroy();
}

// The run commands go to the run sequence; without one they stay disabled.
void TfrmMeasure::ConnectRun()
{
    if (!FSteps.CreateRun)
        return;
    FRun = FSteps.CreateRun(*this);
    if (!FRun)
        return;
    TRunCommands *run = FRun.get();
    connect(btnRun, &QPushButton::clicked, this, [run] { run->btnRunClick(); });
    connect(btnStop, &QPushButton::clicked, this, [run] { run->btnStopClick(); });
    connect(btnEndGro, &QToolButton::clicked, this, [run] { run->btnEndGroClick(); });
    connect(menuRun, &QAction::triggered, this, [run] { run->menuRunClick(); });
    connect(btnStable, &QToolButton::clicked, this, [run] { run->btnStableClick(); });
    connect(btnUP, &QPushButton::clicked, this, [run] { run->DemoCommand(3); });
    connect(btnKeep, &QPushButton::clicked, this, [run] { run->DemoCommand(2); });
    connect(btnDown, &QPushButton::clicked, this, [run] { run->DemoCommand(4); });
    for (QObject *c : std::initializer_list<QObject *>{btnRun, btnStop, btnEndGro, menuRun, btnUP, btnKeep, btnDown})
        SetCommandAvailable(c, true);
    SetCommandAvailable(btnStable, static_cast<bool>(FSteps.ConstantLoadDialog));
    // The window sees every key first (space declares a break, Shift stops).
    qApp->installEventFilter(this);
    Chart1->viewport()->installEventFilter(this);
}

void TfrmMeasure::OnMsg_CheckMulti(int wParam)
{
    if (FRun)
        FRun->OnMsg_CheckMulti(wParam);
}

// ---------------------------------------------------------------------------
// Layout

void TfrmMeasure::BuildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuMain"));

    menuSystem = bar->addMenu(tr("系统功能(&S)"));
    menuSystem->setObjectName(QStringLiteral("menuSystem"));
    menuUser = menuSystem->addAction(tr("用户操作"));
    menuUser->setObjectName(QStringLiteral("menuUser"));
    menuLeave = menuSystem->addAction(tr("用户注销"));
    menuLeave->setObjectName(QStringLiteral("menuLeave"));
    menuRun = menuSystem->addAction(tr(" 演 示"));
    menuRun->setObjectName(QStringLiteral("menuRun"));
    menuSystem->addSeparator();
    menuQuit = menuSystem->addAction(tr(" 退 出"));
    menuQuit->setObjectName(QStringLiteral("menuQuit"));

    menuSetting = bar->addMenu(tr("系统设定(&D)"));
    menuSetting->setObjectName(QStringLiteral("menuSetting"));
    menuAdvanced = menuSetting->addAction(tr("高级参数"));
    menuAdvanced->setObjectName(QStringLiteral("menuAdvanced"));
    menuTestHard = menuSetting->addAction(tr("硬件测试"));
    menuTestHard->setObjectName(QStringLiteral("menuTestHard"));
    menuGro = menuSetting->addAction(tr("力码设定"));
    menuGro->setObjectName(QStringLiteral("menuGro"));
    NChangeAutoORHand = menuSetting->addAction(tr("控制方式"));
    NChangeAutoORHand->setObjectName(QStringLiteral("NChangeAutoORHand"));
    NChangeAutoORHand->setVisible(false);
    NConfigRep = menuSetting->addAction(tr("报表设置"));
    NConfigRep->setObjectName(QStringLiteral("NConfigRep"));
    menuSetting->addSeparator();

    N1 = menuSetting->addMenu(tr("语言切换"));
    N1->setObjectName(QStringLiteral("N1"));
    Chinese1 = N1->addAction(tr("中文(Chinese)"));
    Chinese1->setObjectName(QStringLiteral("Chinese1"));
    English1 = N1->addAction(tr("English(英文)"));
    English1->setObjectName(QStringLiteral("English1"));
    Chinese1->setCheckable(true);
    English1->setCheckable(true);
    connect(Chinese1, &QAction::triggered, this, [this] { LanguageClick(false); });
    connect(English1, &QAction::triggered, this, [this] { LanguageClick(true); });

    MenuMachine = menuSetting->addMenu(tr("机型切换"));
    MenuMachine->setObjectName(QStringLiteral("MenuMachine"));
    mniN2 = MenuMachine->addAction(tr("液压抗压机"));
    mniN2->setObjectName(QStringLiteral("mniN2"));
    mniN3 = MenuMachine->addAction(tr("液压抗折抗压机"));
    mniN3->setObjectName(QStringLiteral("mniN3"));
    Ncompress = MenuMachine->addAction(tr("电子抗压机"));
    Ncompress->setObjectName(QStringLiteral("Ncompress"));
    Nbend = MenuMachine->addAction(tr("电子抗折抗压机"));
    Nbend->setObjectName(QStringLiteral("Nbend"));
    connect(mniN2, &QAction::triggered, this, [this] { MachineTypeClick(0); });
    connect(mniN3, &QAction::triggered, this, [this] { MachineTypeClick(1); });
    connect(Ncompress, &QAction::triggered, this, [this] { MachineTypeClick(3); });
    connect(Nbend, &QAction::triggered, this, [this] { MachineTypeClick(4); });

    menuAbout = bar->addMenu(tr(" 关于(&A)"));
    menuAbout->setObjectName(QStringLiteral("menuAbout"));
    menuAbtAbt = menuAbout->addAction(tr("系统说明"));
    menuAbtAbt->setObjectName(QStringLiteral("menuAbtAbt"));
    NHelp = menuAbout->addAction(tr("系统帮助"));
    NHelp->setObjectName(QStringLiteral("NHelp"));

    connect(menuQuit, &QAction::triggered, this, &TfrmMeasure::menuQuitClick);
    connect(menuAbtAbt, &QAction::triggered, this, [this] { TfrmExplain::Show(this); });
    connect(menuAdvanced, &QAction::triggered, this, &TfrmMeasure::menuAdvancedClick);
    connect(NChangeAutoORHand, &QAction::triggered, this, &TfrmMeasure::NChangeAutoORHandClick);
    connect(NHelp, &QAction::triggered, this, &TfrmMeasure::NHelpClick);
    connect(menuUser, &QAction::triggered, this, &TfrmMeasure::menuUserClick);
    connect(menuLeave, &QAction::triggered, this, [this] {
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
    tbarTop = new QToolBar(this);
    tbarTop->setObjectName(QStringLiteral("tbarTop"));
    tbarTop->setMovable(false);
    tbarTop->setFloatable(false);
    tbarTop->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, tbarTop);

    // One strip holds the buttons so that each one shows and hides on its own.
    auto *strip = new QWidget(tbarTop);
    strip->setObjectName(QStringLiteral("tbarTopStrip"));
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);

    btnKZ = MakeToolButton(strip, QStringLiteral("btnKZ"), tr("抗　折"));
    btnKY = MakeToolButton(strip, QStringLiteral("btnKY"), tr("抗　压"));
    btnKZ->setToolTip(tr("切换到抗折，在负荷传感器上试验"));
    btnKY->setToolTip(tr("切换到抗压，在压力传感器上试验"));
    btnKZ->setCheckable(true);
    btnKY->setCheckable(true);
    grpSide = new QButtonGroup(this);
    grpSide->setExclusive(true);
    grpSide->addButton(btnKZ);
    grpSide->addButton(btnKY);
    connect(btnKZ, &QToolButton::clicked, this, [this] { OnClickMachine(btnKZ); });
    connect(btnKY, &QToolButton::clicked, this, [this] { OnClickMachine(btnKY); });

    tbTest = MakeToolButton(strip, QStringLiteral("tbTest"), tr("试验选择"));
    pmTestList = new QMenu(tbTest);
    pmTestList->setObjectName(QStringLiteral("pmTestList"));
    connect(tbTest, &QToolButton::clicked, this, &TfrmMeasure::tbTestClick);

    btnPrint = MakeToolButton(strip, QStringLiteral("btnPrint"), tr("报 告"));
    btnOneChk = MakeToolButton(strip, QStringLiteral("btnOneChk"), tr(" 力值校准 "));
    btnCheck = MakeToolButton(strip, QStringLiteral("btnCheck"), tr("力值检定"));
    btnStable = MakeToolButton(strip, QStringLiteral("btnStable"), tr("定  荷"));
    btnEndGro = MakeToolButton(strip, QStringLiteral("btnEndGro"), tr("结束一组"));
    btnSlow = MakeToolButton(strip, QStringLiteral("btnSlow"), tr("慢  速"));
    btnFast = MakeToolButton(strip, QStringLiteral("btnFast"), tr("快  速"));
    btnOut = MakeToolButton(strip, QStringLiteral("btnOut"), tr("退  出"));
    btnSlow->setVisible(false);
    btnFast->setVisible(false);
    connect(btnOut, &QToolButton::clicked, this, &TfrmMeasure::btnOutClick);

    for (QToolButton *b : {btnKZ, btnKY, tbTest, btnPrint, btnOneChk, btnCheck, btnStable, btnEndGro, btnSlow,
                           btnFast, btnOut})
        row->addWidget(b);
    row->addStretch(1);
    tbarTop->addWidget(strip);
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
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto *strip = new QHBoxLayout(Panel1);
    strip->setContentsMargins(4, 2, 4, 4);
    strip->setSpacing(6);

    auto makeGroup = [this](const QString &name) {
        auto *g = new QGroupBox(Panel1);
        g->setObjectName(name);
        auto *grid = new QGridLayout(g);
        grid->setContentsMargins(6, 4, 6, 4);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(4);
        return g;
    };

    gbLZ = makeGroup(QStringLiteral("gbLZ"));
    pnl_ZH = MakeTitleLabel(gbLZ, QStringLiteral("pnl_ZH"), QString());
    stPress = MakeValueLabel(gbLZ, QStringLiteral("stPress"), "yellow");
    pnl_ZHFZ = MakeTitleLabel(gbLZ, QStringLiteral("pnl_ZHFZ"), QString());
    stMaxPre = MakeValueLabel(gbLZ, QStringLiteral("stMaxPre"), "lime");
    sb_ClearZero = new QPushButton(tr("清零"), gbLZ);
    sb_ClearZero->setObjectName(QStringLiteral("sb_ClearZero"));
    sb_ClearZero->setMinimumHeight(44);
    sb_ClearZero->setStyleSheet(QStringLiteral("QPushButton { font: bold 11pt; }"));
    auto *gz = static_cast<QGridLayout *>(gbLZ->layout());
    gz->addWidget(pnl_ZH, 0, 0);
    gz->addWidget(stPress, 0, 1);
    gz->addWidget(sb_ClearZero, 0, 2);
    gz->addWidget(pnl_ZHFZ, 1, 0);
    gz->addWidget(stMaxPre, 1, 1, 1, 2);
    gz->setColumnStretch(1, 1);

    gbWY = makeGroup(QStringLiteral("gbWY"));
    pnl_QD = MakeTitleLabel(gbWY, QStringLiteral("pnl_QD"), QString());
    stMpaRes = MakeValueLabel(gbWY, QStringLiteral("stMpaRes"), "yellow");
    Pnl_QDFZ = MakeTitleLabel(gbWY, QStringLiteral("Pnl_QDFZ"), QString());
    stMaxMpa = MakeValueLabel(gbWY, QStringLiteral("stMaxMpa"), "lime");
    auto *gw = static_cast<QGridLayout *>(gbWY->layout());
    gw->addWidget(pnl_QD, 0, 0);
    gw->addWidget(stMpaRes, 0, 1);
    gw->addWidget(Pnl_QDFZ, 1, 0);
    gw->addWidget(stMaxMpa, 1, 1);
    gw->setColumnStretch(1, 1);

    GroupBox1 = makeGroup(QStringLiteral("GroupBox1"));
    Pnl_Speed = MakeTitleLabel(GroupBox1, QStringLiteral("Pnl_Speed"), QString());
    stSpeed = MakeValueLabel(GroupBox1, QStringLiteral("stSpeed"), "yellow");
    pnl_Time = MakeTitleLabel(GroupBox1, QStringLiteral("pnl_Time"), tr("时间(s)"));
    st_Time = MakeValueLabel(GroupBox1, QStringLiteral("st_Time"), "yellow");
    st_Time->setContextMenuPolicy(Qt::NoContextMenu);
    auto *gs = static_cast<QGridLayout *>(GroupBox1->layout());
    gs->addWidget(Pnl_Speed, 0, 0);
    gs->addWidget(stSpeed, 0, 1);
    gs->addWidget(pnl_Time, 1, 0);
    gs->addWidget(st_Time, 1, 1);
    gs->setColumnStretch(1, 1);

    // Force 12/30 of the width, speed 8/30, strength the rest.
    strip->addWidget(gbLZ, 12);
    strip->addWidget(gbWY, 10);
    strip->addWidget(GroupBox1, 8);

    PMUnitLoad = BuildDigitMenu(QStringLiteral("PMUnitLoad"), 3, QStringLiteral("1"));
    PMUnitStress = BuildDigitMenu(QStringLiteral("PMUnitStress"), 3, QStringLiteral("2"));
    pmUnitSpeed = BuildDigitMenu(QStringLiteral("pmUnitSpeed"), 2, QStringLiteral("3"));
    const std::pair<QLabel *, QMenu *> digitMenus[] = {
        {stPress, PMUnitLoad}, {stMpaRes, PMUnitStress}, {stSpeed, pmUnitSpeed}};
    for (const auto &[display, menu] : digitMenus) {
        QLabel *d = display;
        QMenu *m = menu;
        connect(d, &QWidget::customContextMenuRequested, this, [d, m](const QPoint &pos) {
            m->popup(d->mapToGlobal(pos));
        });
    }
    for (QMenu *m : {PMUnitLoad, PMUnitStress, pmUnitSpeed})
        m->actions().value(2)->setChecked(true);

    ShowDisplay(stPress, 0, FLoadFormat);
    ShowDisplay(stMaxPre, 0, FLoadFormat);
    ShowDisplay(stMpaRes, 0, FStressFormat);
    ShowDisplay(stMaxMpa, 0, FStressFormat);
    ShowDisplay(stSpeed, 0, FSpeedFormat);
    st_Time->setText(QStringLiteral("0.0"));
}

void TfrmMeasure::BuildChart()
{
    Chart = new QChart();
    Chart->setObjectName(QStringLiteral("Chart"));
    Chart->setTitle(tr("载荷－时间曲线"));
    QFont titleFont = Chart->titleFont();
    titleFont.setPointSize(13);
    titleFont.setBold(true);
    Chart->setTitleFont(titleFont);
    Chart->legend()->hide();
    Chart->setMargins(QMargins(4, 4, 8, 4));

    Series1 = new QLineSeries(Chart);
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setPen(QPen(Qt::red, 2));
    Series2 = new QScatterSeries(Chart);
    Series2->setObjectName(QStringLiteral("Series2"));
    Series2->setColor(Qt::green);
    Series2->setBorderColor(Qt::darkGreen);
    Series2->setMarkerSize(8);
    Series2->setPointLabelsColor(Qt::black);
    Chart->addSeries(Series1);
    Chart->addSeries(Series2);

    AxisTime = new QValueAxis(Chart);
    AxisTime->setObjectName(QStringLiteral("AxisTime"));
    AxisTime->setTitleText(tr("时间(s)"));
    AxisTime->setRange(0, 20);
    AxisTime->setTickCount(11);
    AxisTime->setLabelFormat(QStringLiteral("%.0f"));
    AxisLoad = new QValueAxis(Chart);
    AxisLoad->setObjectName(QStringLiteral("AxisLoad"));
    AxisLoad->setRange(0, 100);
    AxisLoad->setTickCount(11);
    AxisLoad->setLabelFormat(QStringLiteral("%.0f"));
    Chart->addAxis(AxisTime, Qt::AlignBottom);
    Chart->addAxis(AxisLoad, Qt::AlignLeft);
    for (QAbstractSeries *s : {static_cast<QAbstractSeries *>(Series1), static_cast<QAbstractSeries *>(Series2)}) {
        s->attachAxis(AxisTime);
        s->attachAxis(AxisLoad);
    }

    Chart1 = new QChartView(Chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setRubberBand(QChartView::RectangleRubberBand);
    Chart1->setMinimumWidth(400);

    // Buttons of the demonstration run, on the chart's top left.
    auto *demo = new QWidget(Chart1);
    demo->setObjectName(QStringLiteral("pnlDemo"));
    auto *row = new QHBoxLayout(demo);
    row->setContentsMargins(0, 0, 0, 0);
    btnUP = new QPushButton(tr("加力"), demo);
    btnKeep = new QPushButton(tr("保持"), demo);
    btnDown = new QPushButton(tr("减力"), demo);
    btnUP->setObjectName(QStringLiteral("btnUP"));
    btnKeep->setObjectName(QStringLiteral("btnKeep"));
    btnDown->setObjectName(QStringLiteral("btnDown"));
    for (QPushButton *b : {btnUP, btnKeep, btnDown}) {
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

    PlManuCtrl = new QFrame(right);
    PlManuCtrl->setObjectName(QStringLiteral("PlManuCtrl"));
    PlManuCtrl->setFrameShape(QFrame::StyledPanel);
    auto *manu = new QGridLayout(PlManuCtrl);
    guValvePos = new QProgressBar(PlManuCtrl);
    guValvePos->setObjectName(QStringLiteral("guValvePos"));
    guValvePos->setRange(0, 100);
    guValvePos->setValue(0);
    guValvePos->setFormat(QStringLiteral("%v"));
    edtValvePos = new QLineEdit(PlManuCtrl);
    edtValvePos->setObjectName(QStringLiteral("edtValvePos"));
    edtValvePos->setReadOnly(true);
    edtValvePos->setText(QStringLiteral("0"));
    tbValveSet = new QSlider(Qt::Horizontal, PlManuCtrl);
    tbValveSet->setObjectName(QStringLiteral("tbValveSet"));
    tbValveSet->setRange(0, 100);
    btnValveDec = new QPushButton(QStringLiteral("-"), PlManuCtrl);
    btnValveDec->setObjectName(QStringLiteral("btnValveDec"));
    btnValveInc = new QPushButton(QStringLiteral("+"), PlManuCtrl);
    btnValveInc->setObjectName(QStringLiteral("btnValveInc"));
    btnValveDec->setFixedWidth(28);
    btnValveInc->setFixedWidth(28);
    manu->addWidget(guValvePos, 0, 0, 1, 2);
    manu->addWidget(edtValvePos, 0, 2, 1, 2);
    manu->addWidget(btnValveDec, 1, 0);
    manu->addWidget(tbValveSet, 1, 1, 1, 2);
    manu->addWidget(btnValveInc, 1, 3);
    PlManuCtrl->setVisible(false);

    PnlParam = new QFrame(right);
    PnlParam->setObjectName(QStringLiteral("PnlParam"));
    PnlParam->setFrameShape(QFrame::StyledPanel);
    PnlParam->setLayout(new QVBoxLayout);
    PnlParam->layout()->setContentsMargins(0, 0, 0, 0);

    Panel5 = new QFrame(right);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setFrameShape(QFrame::StyledPanel);
    Panel5->setFixedHeight(112);
    btnRun = MakeRunButton(Panel5, QStringLiteral("btnRun"), tr("运行"));
    btnStop = MakeRunButton(Panel5, QStringLiteral("btnStop"), tr("停止"));
    btnReset = MakeRunButton(Panel5, QStringLiteral("btnReset"), tr("复位"));
    bitUp = MakeRunButton(Panel5, QStringLiteral("bitUp"), tr("上升"));
    BitDown = MakeRunButton(Panel5, QStringLiteral("BitDown"), tr("下降"));
    bitUp->setVisible(false);
    BitDown->setVisible(false);
    Panel5->installEventFilter(this);

    col->addWidget(PlManuCtrl);
    col->addWidget(PnlParam, 1);
    col->addWidget(Panel5);
}

void TfrmMeasure::BuildStatusBar()
{
    sbBarDown = new QStatusBar(this);
    sbBarDown->setObjectName(QStringLiteral("sbBarDown"));
    sbBarDown->setSizeGripEnabled(false);
    setStatusBar(sbBarDown);
    const QString texts[6] = {tr("信息提示："), tr("状态提示："), tr("系统状态："),
                              tr("当前时间："), tr("当前相对码:"), tr("当前阀口位置:")};
    const int stretch[6] = {3, 4, 2, 2, 2, 2};
    for (int i = 0; i < 6; ++i) {
        auto *l = new QLabel(texts[i], sbBarDown);
        l->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(60);
        sbBarDown->addWidget(l, stretch[i]);
        FPanels[i] = l;
    }
}

void TfrmMeasure::LayoutRunButtons()
{
    if (!Panel5)
        return;
    const int a = static_cast<int>(std::lround((Panel5->width() - 40) / 3.0));
    const int top = 10;
    const int h = Panel5->height() - 2 * top;
    const int half = (h - 6) / 2;
    btnRun->setGeometry(10, top, a, h);
    btnStop->setGeometry(a + 20, top, a, h);
    btnReset->setGeometry(2 * a + 30, top, a, h);
    bitUp->setGeometry(2 * a + 30, top, a, half);
    BitDown->setGeometry(2 * a + 30, top + half + 6, a, half);
}

bool TfrmMeasure::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Panel5 && event->type() == QEvent::Resize)
        LayoutRunButtons();
    if (FRun && event->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == this) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (FRun->KeyPress(key->key(), key->isAutoRepeat()))
                return true;
        }
    }
    if (FRun && Chart1 && watched == Chart1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        FRun->ZoomReset();
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmMeasure::event(QEvent *event)
{
    // Hints of the controls under the mouse go to the first status panel.
    if (event->type() == QEvent::StatusTip && FPanels[0]) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        FPanels[0]->setText(tip.isEmpty() ? tr("信息提示：") : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMeasure::SetPanelText(int panel, const QString &text)
{
    if (panel >= 0 && panel < 6)
        FPanels[panel]->setText(text);
}

QString TfrmMeasure::PanelText(int panel) const
{
    return panel >= 0 && panel < 6 ? FPanels[panel]->text() : QString();
}

// ---------------------------------------------------------------------------
// Start-up

void TfrmMeasure::FormCreate()
{
    if (FWaitWindow)
        FWaitWindow->repaint();
    TZovData *data = DataModule();

    FMyFunction = std::make_unique<TMyFunction>();
    FGlbParam = std::make_unique<TMyGlbParam>(FProgramDir);

    if (data)
        FLanguageEnglish = TSettingsStore(*data).English();
    Chinese1->setChecked(!FLanguageEnglish);
    English1->setChecked(FLanguageEnglish);

    if (data)
        FMachineType = TSettingsStore(*data).MachineType();
    SetupMachine(FMachineType);

    const int kind = StoredBoxModel(FMachineType).Kind;
    if (FSteps.LoadTestModules)
        FSteps.LoadTestModules(*this, FProgramDir + QStringLiteral("/dll/"), kind);
    pmTestList->clear();
    if (FSteps.BuildTestMenu)
        FSteps.BuildTestMenu(*this, kind);

    const quint8 loaded = data ? data->LoadGlobalParams(FGlbParam->Settings, StoredBoxModel(FMachineType).FlexuralSide()) : 100;
    if (loaded > 100) {
        FRunLocked = true;
        btnRun->setEnabled(false);
        MsgError(tr("读取参数时有%1个参数读取错误").arg(loaded - 100), this);
    }

    for (const char *folder : {"OutFile", "Report", "BackUp"})
        QDir().mkpath(FProgramDir + QLatin1Char('/') + QLatin1String(folder));
}

void TfrmMeasure::SetupMachine(int type)
{
    const TBoxModel &m = StoredBoxModel(type);
    btnKY->setVisible(m.TwoSides());
    btnKZ->setVisible(m.TwoSides());
    btnReset->setVisible(!m.Motor);
    bitUp->setVisible(m.Motor);
    BitDown->setVisible(m.Motor);
    grpSide->setExclusive(false);
    btnKY->setChecked(m.Kind == mkCompressive);
    btnKZ->setChecked(m.Kind == mkFlexural);
    grpSide->setExclusive(true);
    if (!FDrivers[type] && FSteps.CreateDriver)
        FDrivers[type] = FSteps.CreateDriver(type);
}

TStartupDriver *TfrmMeasure::CurrentDriver() const { return FDrivers[FMachineType].get(); }

TZovData *TfrmMeasure::DataModule() const { return FData ? FData.get() : ZovData(); }

void TfrmMeasure::ShowValue(QLabel *display, double value, const QString &format)
{
    ShowDisplay(display, value, format);
}

bool TfrmMeasure::IsOnline() const
{
    const TStartupDriver *d = CurrentDriver();
    return d && d->IsOnline();
}

void TfrmMeasure::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TfrmMeasure::FormShow()
{
    RefreshUnitCaptions();
    FGroupActive = false;

    // Nobody gets in without a login step.
    TLoginOutcome login;
    if (FSteps.Login)
        login = FSteps.Login(this);
    FWaitWindow.reset();
    if (!login.Ok) {
        showMinimized();
        if (FSteps.QuitApplication)
            FSteps.QuitApplication();
        else
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return;
    }
    FUserName = login.UserName;

    FunMenuEnable(FUserName);

    ContactController();

    TStartupDriver *driver = CurrentDriver();
    if (driver) {
        driver->ResetRunFields();
        const int valveMax = static_cast<int>(std::lround(driver->ValveInit() * 1.2));
        tbValveSet->setMaximum(valveMax);
        guValvePos->setMaximum(valveMax);
    }

    SelectLastTest();
    RefreshDriverCommands();

    if (driver) {
        if (driver->ExistHand() == 1) {
            NChangeAutoORHand->setVisible(true);
            driver->SetControlMode(driver->HandMode() == 1 ? 2 : 0);
        } else {
            NChangeAutoORHand->setVisible(false);
            driver->SetControlMode(0);
        }
    }

    FProtectBusy = false;
    FProtectLatched = false;
    FProtectTripped = false;
    FProtectSuppressed = false;
    FJustUnloaded = false;
    FIdleElapsed = 0.0f;
    timeStsBar->start();
    FTickCount = 1;
    EnableAllButton();
    LayoutRunButtons();
}

void TfrmMeasure::ContactController()
{
    TStartupDriver *driver = CurrentDriver();
    if (!driver) {
        SetOffline();
        return;
    }
    driver->Init();
    driver->OpenPort();
    for (int i = 0; i < 2; ++i) {
        driver->SetControlMode(3);
        Sleep(100);
    }
    driver->SetADState(0);
    Sleep(100);
    for (int i = 0; i < 12; ++i)
        driver->ReadForceCode();

    RetryContactUntilOnline(driver);

    driver->Activate();
    if (driver->IsOnline()) {
        for (int i = 0; i < 2; ++i) {
            driver->SetControlMode(3);
            Sleep(100);
        }
        driver->Command(0);
        driver->SetADState(2);
        driver->CompareParams(this);
        driver->SetADState(0);
        SetPanelText(2, tr("系统状态：联机工作"));
    } else {
        SetOffline();
    }
}

void TfrmMeasure::SetOffline()
{
    SetPanelText(2, tr("系统状态：脱机工作"));
    btnRun->setEnabled(false);
    menuRun->setEnabled(false);
    btnCheck->setEnabled(false);
}

bool TfrmMeasure::FlexuralSide() const { return StoredBoxModel(FMachineType).FlexuralSide(); }

void TfrmMeasure::SelectLastTest()
{
    const QList<QAction *> items = pmTestList->actions();
    if (items.isEmpty())
        return; // no test module for this machine: nothing to select
    int index = 0;
    if (TZovData *data = DataModule())
        TSettingsStore(*data).TestIndex(StoredBoxModel(FMachineType).FlexuralSide(), index);
    if (index < 0 || index >= items.size())
        index = 0;
    if (FSteps.SelectTest)
        FSteps.SelectTest(*this, items[index]);
}

void TfrmMeasure::OnMsg_RESTORE(int wParam, int /*lParam*/)
{
    if (wParam == kRestoreIgnored)
        return;
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

// ---------------------------------------------------------------------------
// Commands and state

void TfrmMeasure::SetCommandAvailable(QObject *command, bool available)
{
    if (!command)
        return;
    if (available)
        FUnavailable.remove(command);
    else
        FUnavailable.insert(command);
    SetEnabledOf(command, available);
    if (FShown)
        EnableAllButton();
}

void TfrmMeasure::EnableAllButton()
{
    const bool continuous = FSteps.CurrentTestContinuous && FSteps.CurrentTestContinuous(*this);
    EnableAllButton(FRunning, FGroupActive, IsOnline(), continuous);
}

void TfrmMeasure::EnableAllButton(bool running, bool group, bool online, bool continuous)
{
    auto set = [this](QObject *c, bool on) { SetEnabledOf(c, on && CommandAvailable(c)); };
    const bool idle = !running && !group;
    const bool mayLeave = !running && !(group && continuous);
    set(btnKZ, idle && online);
    set(btnKY, idle && online);
    for (QObject *c : std::initializer_list<QObject *>{btnOneChk, btnCheck, btnStable, tbTest, btnPrint})
        set(c, idle);
    set(btnEndGro, !running && group && !continuous);
    set(btnOut, mayLeave);
    set(menuQuit, mayLeave);
    set(btnRun, mayLeave && online && !FRunLocked);
    for (QObject *c : std::initializer_list<QObject *>{btnReset, bitUp, BitDown})
        set(c, mayLeave && online);
    // The sampling thread owns the box during a run: no zeroing meanwhile.
    set(sb_ClearZero, !running);
    for (QMenu *m : {menuSystem, menuSetting, menuAbout})
        m->menuAction()->setEnabled(idle);
}

void TfrmMeasure::FunMenuEnable(const QString &userName)
{
    const TUserRights rights = RightsOf(userName);
    const bool maintenance = rights.Maintenance;
    const bool privileged = rights.Settings;
    menuRun->setVisible(maintenance);
    PlManuCtrl->setVisible(maintenance);
    MenuMachine->menuAction()->setVisible(maintenance);
    N1->menuAction()->setVisible(maintenance);
    menuSetting->menuAction()->setVisible(privileged);
    menuAdvanced->setVisible(privileged);
    menuGro->setVisible(privileged);
    menuUser->setVisible(privileged);
    btnOneChk->setVisible(privileged);
    btnCheck->setVisible(privileged);
}

void TfrmMeasure::menuUserClick()
{
    if (FSteps.UserManagement && RightsOf(FUserName).Settings)
        FSteps.UserManagement(this);
}

int TfrmMeasure::CheckedTestIndex() const
{
    const QList<QAction *> items = pmTestList->actions();
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            return i;
    return 0;
}

int TfrmMeasure::ReadUnit(int type, int index)
{
    TZovData *data = DataModule();
    TDisplayUnit unit;
    if (!data || !ReadDisplayUnit(*data, type, index, unit))
        return 0;
    if (type == 0) {
        FLoadUnit = unit.Name;
        FLoadCoe = unit.Coe > 0 ? unit.Coe : 1.0;
    } else if (type == 1) {
        FStressUnit = unit.Name;
    }
    if (type == 0 || type == 1)
        RefreshUnitCaptions();
    return unit.Decimals;
}

void TfrmMeasure::RefreshUnitCaptions()
{
    const QString load = tr("载荷"), peak = tr("峰值"), speed = tr("速度"), strength = tr("强度");
    pnl_ZH->setText(load + QLatin1Char('(') + FLoadUnit + QLatin1Char(')'));
    pnl_ZHFZ->setText(peak + QLatin1Char('(') + FLoadUnit + QLatin1Char(')'));
    Pnl_Speed->setText(speed + QLatin1Char('(') + FLoadUnit + QStringLiteral("/s)"));
    pnl_QD->setText(strength + QLatin1Char('(') + FStressUnit + QLatin1Char(')'));
    Pnl_QDFZ->setText(peak + QLatin1Char('(') + FStressUnit + QLatin1Char(')'));
    AxisLoad->setTitleText(load + QLatin1Char('(') + FLoadUnit + QLatin1Char(')'));
}

void TfrmMeasure::SetDigits(QAction *item)
{
    if (!item)
        return;
    const int d = item->data().toInt();
    const QString hint = item->property(kDigitHint).toString();
    const QString format = DisplayFormat(d);
    QString unit;
    QList<QLabel *> displays;
    if (hint == QLatin1String("1")) {
        FLoadFormat = format;
        unit = FLoadUnit;
        displays = {stPress, stMaxPre};
    } else if (hint == QLatin1String("2")) {
        FStressFormat = format;
        unit = FStressUnit;
        displays = {stMpaRes, stMaxMpa};
    } else {
        FSpeedFormat = format;
        unit = QStringLiteral("Speed");
        displays = {stSpeed};
    }
    for (QLabel *display : displays)
        ShowDisplay(display, display->property(kDisplayValue).toDouble(), format);
    if (TZovData *data = DataModule())
        StoreUnitDecimals(*data, unit, d);
    item->setChecked(true);
}

void TfrmMeasure::btnOutClick() { close(); }

void TfrmMeasure::menuQuitClick()
{
    if (btnOut->isEnabled())
        btnOut->click();
}

void TfrmMeasure::tbTestClick()
{
    if (pmTestList->isEmpty())
        return;
    pmTestList->popup(tbTest->mapToGlobal(QPoint(0, tbTest->height())));
}

void TfrmMeasure::LanguageClick(bool english)
{
    // The check marks follow the stored language only at the next start.
    Chinese1->setChecked(!FLanguageEnglish);
    English1->setChecked(FLanguageEnglish);
    if (english == FLanguageEnglish)
        return;
    TZovData *data = DataModule();
    if (!data || !TSettingsStore(*data).SetEnglish(english)) {
        MsgWarning(tr("设置保存失败,请检查数据库!"), this);
        return;
    }
    MsgInfo(tr("语言切换成功,下次启动后生效!"), this);
}

void TfrmMeasure::MachineTypeClick(int type)
{
    TZovData *data = DataModule();
    if (!data || !TSettingsStore(*data).SetMachineType(type)) {
        MsgWarning(tr("设置保存失败,请检查数据库!"), this);
        return;
    }
    MsgInfo(tr("机型切换成功,下次启动后生效!"), this);
}

// The program's help set beside the program; without one nothing happens.
void TfrmMeasure::NHelpClick() { ShowProgramHelp(this); }

void TfrmMeasure::timeStsBarTimer()
{
    if (FSteps.StatusTick)
        FSteps.StatusTick(*this);
    else if (FRun)
        FRun->StatusTick();
    RefreshValvePanel();
}

// The manual valve panel of the maintenance user: the gauge follows the
// valve; the slider and its step buttons stay disabled with the slider at 0.
void TfrmMeasure::RefreshValvePanel()
{
    if (!PlManuCtrl->isVisible())
        return;
    {
        const QSignalBlocker quiet(tbValveSet);
        tbValveSet->setValue(0);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{tbValveSet, btnValveDec, btnValveInc})
        w->setEnabled(false);
    TCtrlBox *box = CtrlBoxOf(CurrentDriver());
    if (!box || box->RunActive.load())
        return;
    const int valve = box->GetAuxCode();
    guValvePos->setValue(std::clamp(valve, guValvePos->minimum(), guValvePos->maximum()));
    edtValvePos->setText(QString::number(valve));
}

// ---------------------------------------------------------------------------
// Commands that talk to the driver (only between runs: EnableAllButton
// disables them while the sampling thread owns the box).

void TfrmMeasure::ConnectDriverCommands()
{
    connect(btnReset, &QPushButton::clicked, this, [this] {
        if (TCtrlBox *box = CtrlBoxOf(CurrentDriver()))
            box->ResetPlaten();
    });
    connect(bitUp, &QPushButton::clicked, this, [this] {
        if (TStartupDriver *d = CurrentDriver())
            d->Command(5);
    });
    connect(BitDown, &QPushButton::clicked, this, [this] {
        if (TStartupDriver *d = CurrentDriver())
            d->Command(6);
    });
    connect(sb_ClearZero, &QPushButton::clicked, this, [this] {
        if (TCtrlBox *box = CtrlBoxOf(CurrentDriver()); box && !FRunning)
            box->ClearZero();
    });
    connect(tbValveSet, &QSlider::valueChanged, this, [this](int position) {
        if (TCtrlBox *box = CtrlBoxOf(CurrentDriver()); box && !FRunning)
            box->SetValvePosition(position);
    });
    connect(btnValveDec, &QPushButton::clicked, this, [this] { tbValveSet->setValue(tbValveSet->value() - 1); });
    connect(btnValveInc, &QPushButton::clicked, this, [this] { tbValveSet->setValue(tbValveSet->value() + 1); });
}

// What the current driver offers: the box commands need a controller box,
// the advanced parameters its parameter window, the control-mode switch
// a box with manual control.
void TfrmMeasure::RefreshDriverCommands()
{
    TStartupDriver *driver = CurrentDriver();
    TCtrlBox *box = CtrlBoxOf(driver);
    SetCommandAvailable(btnReset, box != nullptr);
    SetCommandAvailable(sb_ClearZero, box != nullptr);
    SetCommandAvailable(bitUp, driver != nullptr);
    SetCommandAvailable(BitDown, driver != nullptr);
    SetCommandAvailable(menuAdvanced, box && box->ShowParams());
    SetCommandAvailable(NChangeAutoORHand, box != nullptr);
    NChangeAutoORHand->setVisible(driver && driver->ExistHand() == 1);
}

void TfrmMeasure::menuAdvancedClick()
{
    TStartupDriver *driver = CurrentDriver();
    TCtrlBox *box = CtrlBoxOf(driver);
    if (!box)
        return;
    timeStsBar->stop();
    driver->Command(0);
    driver->SetADState(2);
    if (QPointer<QWidget> window = box->ShowParams()) {
        if (auto *dialog = qobject_cast<QDialog *>(window.data())) {
            dialog->exec();
        } else {
            window->setWindowModality(Qt::ApplicationModal);
            window->show();
            while (window && window->isVisible())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    driver->SetADState(0);
    ResetChart();
    RefreshCaption();
    timeStsBar->start();
    NChangeAutoORHand->setVisible(driver->ExistHand() == 1);
}

void TfrmMeasure::NChangeAutoORHandClick()
{
    TStartupDriver *driver = CurrentDriver();
    TCtrlBox *box = CtrlBoxOf(driver);
    if (!box)
        return;
    TChange dialog(driver->HandMode(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ApplyControlMode(DataModule(), *box, *driver, dialog.Choice(), this))
        MsgWarning(tr("设置保存失败,请检查数据库!"), this);
}

// ---------------------------------------------------------------------------
// Shutdown

bool TfrmMeasure::FormCloseQuery()
{
    if (FRunning) {
        MsgWarning(tr("正在检测中，请先结束后退出"), this);
        return false;
    }
    if (FGroupActive) {
        MsgWarning(tr("一组试验没有完成，请先结束一组试验。"), this);
        return false;
    }
    const bool leave = FSteps.AskQuit ? FSteps.AskQuit(this) : TfrmQuit::Ask(this);
    if (!leave)
        return false;
    showMinimized();
    return true;
}

void TfrmMeasure::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TfrmMeasure::FormClose()
{
    timeStsBar->stop();
    Sleep(20);
    TStartupDriver *driver = CurrentDriver();
    if (driver)
        driver->SetADState(2);
    Sleep(20);
    if (driver)
        driver->SetControlMode(4);
    Sleep(20);
    if (FSteps.KillSamplingTimer)
        FSteps.KillSamplingTimer(*this);
    if (FRun)
        FRun->KillSamplingTimer();

    TZovData *data = DataModule();
    if (!data)
        return;
    if (driver)
        driver->SaveRunState();
    data->SaveGlobalParams(FGlbParam->Settings);

    TSettingsStore(*data).SetTestIndex(StoredBoxModel(FMachineType).FlexuralSide(), CheckedTestIndex());
}

void TfrmMeasure::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    timeStsBar->stop();
    // The sampling thread ends before the drivers it talks to.
    if (FRun)
        FRun->KillSamplingTimer();
    for (auto &driver : FDrivers) {
        if (driver) {
            driver->Finish();
            driver.reset();
        }
    }
    FMyFunction.reset();
    if (FData) {
        if (ZovData() == FData.get())
            SetZovData(nullptr);
        FData.reset();
    }
    FGlbParam.reset();
    FWaitWindow.reset();
}


// While the box stays silent: warn, offer the serial settings and try again;
// a cancel leaves the program off-line with the run commands disabled.
void TfrmMeasure::RetryContactUntilOnline(TStartupDriver *driver)
{
    while (!driver->IsOnline()) {
        MsgWarning(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
        if (!driver->EditCommSettings(this)) {
            btnRun->setEnabled(false);
            menuRun->setEnabled(false);
            btnCheck->setEnabled(false);
            break;
        }
        driver->OpenPort();
        driver->Activate();
        driver->SetADState(0);
        Sleep(50);
        QCoreApplication::processEvents();
        for (int i = 0; i < 11; ++i)
            driver->ReadForceCode();
    }
}

} // namespace kv
