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

} // namespace kv
