#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowParts.h"
#include "ui/help/HelpViewer.h"

#include "link/BoxModels.h"
#include "ui/dialogs/ControlModeDialog.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/QuitDialog.h"
#include "ui/dialogs/SettingsBackupCommands.h"
#include "ui/dialogs/TestHardWareDialog.h"
#include "ui/dialogs/CommSettingsDialog.h"
#include "ui/params/ParamsWindow.h"
#include "ui/verify/CheckWindow.h"
#include "ui/verify/SetportDialog.h"
#include "link/ParamSet.h"
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

using namespace mw;

namespace {
constexpr int kRestoreIgnored = 1001;
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
    layout->addWidget(FDisplayStrip);

    FSplitter = new QSplitter(Qt::Horizontal, central);
    FSplitter->setObjectName(QStringLiteral("Splitter1"));
    BuildChart();
    BuildRightPanel();
    FSplitter->addWidget(FChartView);
    FSplitter->addWidget(FParamPanel->parentWidget());
    FSplitter->setStretchFactor(0, 1);
    FSplitter->setStretchFactor(1, 0);
    FSplitter->setSizes({900, 300});
    layout->addWidget(FSplitter, 1);
    setCentralWidget(central);
    connect(FSplitter, &QSplitter::splitterMoved, this, [this] { LayoutRunButtons(); });

    BuildStatusBar();

    // Commands whose windows are not part of the program yet (records,
    // calibration, verification, hardware test, force codes, report
    // settings), and those that wait for the run sequence or the driver.
    for (QObject *c : std::initializer_list<QObject *>{
             FDemonstrationItem, FAdvancedParamsItem, FHardwareTestItem, FForceCodesItem, FControlModeItem,
             FReportSettingsItem, FReportButton, FCalibrationButton, FVerificationButton, FConstantLoadButton,
             FEndGroupButton, FSlowButton, FFastButton, FResetButton, FRunButton, FStopButton, FMotorUpButton,
             FMotorDownButton, FZeroButton, FDemoLoadButton, FDemoHoldButton, FDemoUnloadButton, FValveSlider,
             FValveStepDownButton, FValveStepUpButton})
        SetCommandAvailable(c, false);
    ConnectDriverCommands();
    SetCommandAvailable(FLogOffItem, static_cast<bool>(FSteps.Login));
    // The side switch reloads the tests: it needs the module host.
    SetCommandAvailable(FFlexuralSideButton, static_cast<bool>(FSteps.LoadTestModules));
    SetCommandAvailable(FCompressiveSideButton, static_cast<bool>(FSteps.LoadTestModules));
    SetCommandAvailable(FUserManagementItem, static_cast<bool>(FSteps.UserManagement));
    SetCommandAvailable(FDatabaseItem, static_cast<bool>(FSteps.DatabaseSettings));

    // Hints also show in the first status panel.
    for (QWidget *w : findChildren<QWidget *>())
        if (!w->toolTip().isEmpty() && w->statusTip().isEmpty())
            w->setStatusTip(w->toolTip());
    RefreshUnitCaptions();

    FormCreate();
    CreateRun();
    ConnectRun();
}

TfrmMeasure::~TfrmMeasure()
{
    qApp->removeEventFilter(this);
    FormDestroy();
}

void TfrmMeasure::OnMsg_CheckMulti(int wParam) { FRun->OnMsg_CheckMulti(wParam); }

bool TfrmMeasure::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FRunPanel && event->type() == QEvent::Resize)
        LayoutRunButtons();
    if (FRun && event->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == this) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (FRun->KeyPress(key->key(), key->isAutoRepeat()))
                return true;
        }
    }
    if (FRun && FChartView && watched == FChartView->viewport() && event->type() == QEvent::MouseButtonDblClick)
        ZoomReset();
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
    FChineseItem->setChecked(!FLanguageEnglish);
    FEnglishItem->setChecked(FLanguageEnglish);

    if (data)
        FMachineType = StoredBoxModel(TSettingsStore(*data).MachineType()).MachineType;
    FConnection = std::make_unique<TBoxConnection>(FSteps.CreateDriver);
    FConnection->SetAskPort([this](TCtrlBox &box) { return AskPort(box); });
    FConnection->SetBusy([](bool busy) {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return;
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    SetupMachine(FMachineType);

    const int kind = StoredBoxModel(FMachineType).Kind;
    if (FSteps.LoadTestModules)
        FSteps.LoadTestModules(*this, FProgramDir + QStringLiteral("/dll/"), kind);
    FTestMenu->clear();
    if (FSteps.BuildTestMenu)
        FSteps.BuildTestMenu(*this, kind);

    const quint8 loaded = data ? data->LoadGlobalParams(FGlbParam->Settings, StoredBoxModel(FMachineType).FlexuralSide()) : 100;
    if (loaded > 100) {
        FRunLocked = true;
        FRunButton->setEnabled(false);
        MsgError(tr("读取参数时有%1个参数读取错误").arg(loaded - 100), this);
    }

    for (const char *folder : {"OutFile", "Report", "BackUp"})
        QDir().mkpath(FProgramDir + QLatin1Char('/') + QLatin1String(folder));
}

void TfrmMeasure::SetupMachine(int type)
{
    const TBoxModel &m = StoredBoxModel(type);
    FCompressiveSideButton->setVisible(m.TwoSides());
    FFlexuralSideButton->setVisible(m.TwoSides());
    FResetButton->setVisible(!m.Motor);
    FMotorUpButton->setVisible(m.Motor);
    FMotorDownButton->setVisible(m.Motor);
    FSideGroup->setExclusive(false);
    FCompressiveSideButton->setChecked(m.Kind == mkCompressive);
    FFlexuralSideButton->setChecked(m.Kind == mkFlexural);
    FSideGroup->setExclusive(true);
    FConnection->Select(type);
}

TZovData *TfrmMeasure::DataModule() const { return FData ? FData.get() : ZovData(); }

void TfrmMeasure::ShowValue(QLabel *display, double value, const QString &format)
{
    ShowDisplay(display, value, format);
}

bool TfrmMeasure::RunEnabled() const { return FRunButton->isEnabled(); }

bool TfrmMeasure::IsOnline() const { return FConnection && FConnection->IsOnline(); }

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
    FRun->State().GroupActive = false;

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

    TCtrlBox *driver = CurrentDriver();
    if (driver) {
        driver->ResetRunFields(QDateTime::currentDateTime());
        const int valveMax = static_cast<int>(std::lround(driver->FValveInit * 1.2));
        FValveSlider->setMaximum(valveMax);
        FValveGauge->setMaximum(valveMax);
    }

    SelectLastTest();
    RefreshDriverCommands();

    if (driver) {
        FControlModeItem->setVisible(driver->ExistHand() == 1);
        FConnection->ApplyControlMode();
    }

    FRun->ResetProtection();
    FRun->Idle().Start();
    EnableAllButton();
    LayoutRunButtons();
}

void TfrmMeasure::ContactController()
{
    if (FConnection->Connect())
        SetPanelText(2, tr("系统状态：联机工作"));
    else
        SetOffline();
}

// While the box stays silent: warn and offer the serial settings; a cancel
// leaves the program off-line.
bool TfrmMeasure::AskPort(TCtrlBox &box)
{
    MsgWarning(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
    if (FSteps.CommSettings)
        return FSteps.CommSettings(this, box);
    TfrmCommSettings dialog(&box, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    box.CommPort = dialog.GetPort();
    box.Settings = dialog.GetSettings();
    return true;
}

void TfrmMeasure::SetOffline()
{
    SetPanelText(2, tr("系统状态：脱机工作"));
    FRunButton->setEnabled(false);
    FDemonstrationItem->setEnabled(false);
    FVerificationButton->setEnabled(false);
}

bool TfrmMeasure::FlexuralSide() const { return StoredBoxModel(FMachineType).FlexuralSide(); }

void TfrmMeasure::SelectLastTest()
{
    const QList<QAction *> items = FTestMenu->actions();
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
    const TBaseTest *test = FMyFunction ? FMyFunction->CurrentTest() : nullptr;
    const bool continuous = test && test->FContinuous != 0;
    EnableAllButton(FRun && FRun->Running(), FRun && FRun->GroupActive(), IsOnline(), continuous);
}

void TfrmMeasure::EnableAllButton(bool running, bool group, bool online, bool continuous)
{
    auto set = [this](QObject *c, bool on) { SetEnabledOf(c, on && CommandAvailable(c)); };
    const bool idle = !running && !group;
    const bool mayLeave = !running && !(group && continuous);
    set(FFlexuralSideButton, idle && online);
    set(FCompressiveSideButton, idle && online);
    for (QObject *c : std::initializer_list<QObject *>{FCalibrationButton, FVerificationButton, FConstantLoadButton,
                                                       FTestChoiceButton, FReportButton})
        set(c, idle);
    set(FEndGroupButton, !running && group && !continuous);
    set(FExitButton, mayLeave);
    set(FQuitItem, mayLeave);
    set(FRunButton, mayLeave && online && !FRunLocked);
    for (QObject *c : std::initializer_list<QObject *>{FResetButton, FMotorUpButton, FMotorDownButton})
        set(c, mayLeave && online);
    // The sampling thread owns the box during a run: no zeroing meanwhile.
    set(FZeroButton, !running);
    // A restore may change the test of an open group: only between groups.
    set(FBackupItem, !running);
    set(FRestoreItem, idle);
    set(FDatabaseItem, idle);
    for (QMenu *m : {FSystemMenu, FAboutMenu})
        m->menuAction()->setEnabled(idle);
    // Off line the settings stay within reach, with a group open too.
    FSettingsMenu->menuAction()->setEnabled(idle || (!running && !online));
}

void TfrmMeasure::FunMenuEnable(const QString &userName)
{
    const TUserRights rights = RightsOf(userName);
    const bool maintenance = rights.Maintenance;
    const bool privileged = rights.Settings;
    FDemonstrationItem->setVisible(maintenance);
    FValvePanel->setVisible(maintenance);
    FMachineTypeMenu->menuAction()->setVisible(maintenance);
    FLanguageMenu->menuAction()->setVisible(maintenance);
    FSettingsMenu->menuAction()->setVisible(privileged);
    FAdvancedParamsItem->setVisible(privileged);
    FForceCodesItem->setVisible(privileged);
    FUserManagementItem->setVisible(privileged);
    FCalibrationButton->setVisible(privileged);
    FVerificationButton->setVisible(privileged);
}

void TfrmMeasure::menuUserClick()
{
    if (FSteps.UserManagement && RightsOf(FUserName).Settings)
        FSteps.UserManagement(this);
}

int TfrmMeasure::CheckedTestIndex() const
{
    const QList<QAction *> items = FTestMenu->actions();
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
    FForceTitle->setText(load + QLatin1Char('(') + FLoadUnit + QLatin1Char(')'));
    FPeakForceTitle->setText(peak + QLatin1Char('(') + FLoadUnit + QLatin1Char(')'));
    FSpeedTitle->setText(speed + QLatin1Char('(') + FLoadUnit + QStringLiteral("/s)"));
    FStrengthTitle->setText(strength + QLatin1Char('(') + FStressUnit + QLatin1Char(')'));
    FPeakStrengthTitle->setText(peak + QLatin1Char('(') + FStressUnit + QLatin1Char(')'));
    FForceAxis->setTitleText(load + QLatin1Char('(') + FLoadUnit + QLatin1Char(')'));
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
        displays = {FForceDisplay, FPeakForceDisplay};
    } else if (hint == QLatin1String("2")) {
        FStressFormat = format;
        unit = FStressUnit;
        displays = {FStrengthDisplay, FPeakStrengthDisplay};
    } else {
        FSpeedFormat = format;
        unit = QStringLiteral("Speed");
        displays = {FSpeedDisplay};
    }
    for (QLabel *display : displays)
        ShowDisplay(display, display->property(kDisplayValue).toDouble(), format);
    if (TZovData *data = DataModule())
        StoreUnitDecimals(*data, unit, d);
    item->setChecked(true);
}

void TfrmMeasure::SelectDigits(int force, int strength, int speed)
{
    const std::pair<QMenu *, int> choices[] = {
        {FForceDigitsMenu, force}, {FStrengthDigitsMenu, strength}, {FSpeedDigitsMenu, speed}};
    for (const auto &[menu, digits] : choices) {
        const QList<QAction *> items = menu->actions();
        if (!items.isEmpty())
            SetDigits(digits >= 0 && digits < items.size() ? items[digits] : items[0]);
    }
}

void TfrmMeasure::btnOutClick() { close(); }

void TfrmMeasure::menuQuitClick()
{
    if (FExitButton->isEnabled())
        FExitButton->click();
}

void TfrmMeasure::tbTestClick()
{
    if (FTestMenu->isEmpty())
        return;
    FTestMenu->popup(FTestChoiceButton->mapToGlobal(QPoint(0, FTestChoiceButton->height())));
}

void TfrmMeasure::LanguageClick(bool english)
{
    // The check marks follow the stored language only at the next start.
    FChineseItem->setChecked(!FLanguageEnglish);
    FEnglishItem->setChecked(FLanguageEnglish);
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

// The manual valve panel of the maintenance user: the gauge follows the
// valve; the slider and its step buttons stay disabled with the slider at 0.
void TfrmMeasure::RefreshValvePanel()
{
    if (!FValvePanel->isVisible())
        return;
    {
        const QSignalBlocker quiet(FValveSlider);
        FValveSlider->setValue(0);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{FValveSlider, FValveStepDownButton, FValveStepUpButton})
        w->setEnabled(false);
    TCtrlBox *box = CurrentDriver();
    if (!box || FRun->Active())
        return;
    const int valve = box->GetAuxCode();
    FValveGauge->setValue(std::clamp(valve, FValveGauge->minimum(), FValveGauge->maximum()));
    FValvePositionEdit->setText(QString::number(valve));
}

// ---------------------------------------------------------------------------
// Commands that talk to the driver (only between runs: EnableAllButton
// disables them while the sampling thread owns the box).

void TfrmMeasure::ConnectDriverCommands()
{
    connect(FResetButton, &QPushButton::clicked, this, [this] {
        if (TCtrlBox *box = CurrentDriver())
            box->ResetPlaten();
    });
    connect(FMotorUpButton, &QPushButton::clicked, this, [this] {
        if (TCtrlBox *box = CurrentDriver())
            box->Command(bcMotorUp);
    });
    connect(FMotorDownButton, &QPushButton::clicked, this, [this] {
        if (TCtrlBox *box = CurrentDriver())
            box->Command(bcMotorDown);
    });
    connect(FZeroButton, &QPushButton::clicked, this, [this] {
        if (TCtrlBox *box = CurrentDriver(); box && !FRun->Running())
            box->ClearZero();
    });
    connect(FValveSlider, &QSlider::valueChanged, this, [this](int position) {
        if (TCtrlBox *box = CurrentDriver(); box && !FRun->Running())
            box->SetValvePosition(position);
    });
    connect(FValveStepDownButton, &QPushButton::clicked, this,
            [this] { FValveSlider->setValue(FValveSlider->value() - 1); });
    connect(FValveStepUpButton, &QPushButton::clicked, this,
            [this] { FValveSlider->setValue(FValveSlider->value() + 1); });
}

// What the current driver offers: the box commands need a controller box,
// the advanced parameters its parameter window, the control-mode switch
// a box with manual control.
void TfrmMeasure::RefreshDriverCommands()
{
    TCtrlBox *box = CurrentDriver();
    SetCommandAvailable(FResetButton, box != nullptr);
    SetCommandAvailable(FZeroButton, box != nullptr);
    SetCommandAvailable(FMotorUpButton, box != nullptr);
    SetCommandAvailable(FMotorDownButton, box != nullptr);
    SetCommandAvailable(FAdvancedParamsItem,
                        box && (box->ShowParams() || dynamic_cast<TBaseParams *>(box->ParamSet())));
    SetCommandAvailable(FControlModeItem, box != nullptr);
    SetCommandAvailable(FHardwareTestItem, box != nullptr);
    FControlModeItem->setVisible(box && box->ExistHand() == 1);
    // The force-code table lives in the parameter set of the driver.
    SetCommandAvailable(FForceCodesItem, box && dynamic_cast<TBaseParams *>(box->ParamSet()));
    // Verification and calibration lead to the same force-code table.
    SetCommandAvailable(FCalibrationButton, box && dynamic_cast<TBaseParams *>(box->ParamSet()));
    SetCommandAvailable(FVerificationButton, box && dynamic_cast<TBaseParams *>(box->ParamSet()));
}

void TfrmMeasure::menuAdvancedClick()
{
    TCtrlBox *box = CurrentDriver();
    if (!box)
        return;
    FRun->Idle().Stop();
    box->Command(bcStop);
    box->SetADState(adOff);
    const int existHand = box->ExistHand();
    if (QPointer<QWidget> window = box->ShowParams()) {
        if (auto *dialog = qobject_cast<QDialog *>(window.data())) {
            dialog->exec();
        } else {
            window->setWindowModality(Qt::ApplicationModal);
            window->show();
            while (window && window->isVisible())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    } else if (auto *params = dynamic_cast<TBaseParams *>(box->ParamSet())) {
        // The parameter window of every model (the link shows no windows).
        TfrmBaseParams dialog(*params, FUserName, this);
        dialog.exec();
    }
    box->SetADState(adRelative);
    ResetChart();
    RefreshCaption();
    // A box that gained or lost its manual control is told its control mode
    // again, as at start-up; otherwise it could stay in manual mode unseen.
    if (box->ExistHand() != existHand)
        FConnection->ApplyControlMode();
    FRun->Idle().Start();
    FControlModeItem->setVisible(box->ExistHand() == 1);
}

// menuGro: the force-code window in its direct mode, the status timer off
// while it may talk to the box.
void TfrmMeasure::menuGroClick()
{
    TCtrlBox *box = CurrentDriver();
    if (!box)
        return;
    FRun->Idle().Stop();
    FGlbParam->SetPortFromMain = true;
    TZovData *data = DataModule();
    TfrmSetport dialog(*box, *FGlbParam, FLoadUnit, FLoadCoe, this, data ? &data->conZovDb : nullptr);
    dialog.exec();
    FGlbParam->SetPortFromMain = false;
    FRun->Idle().Start();
}

// menuTestHard: the hardware test window with the box's streaming and the
// status timer off around it; off line only the warning.
void TfrmMeasure::menuTestHardClick()
{
    TCtrlBox *box = CurrentDriver();
    if (!box)
        return;
    if (!IsOnline()) {
        MsgWarning(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
        return;
    }
    box->SetADState(adOff);
    FRun->Idle().Stop();
    {
        TfrmTestHardWare dialog(*box, this);
        dialog.exec();
    }
    box->SetADState(adRelative);
    FRun->Idle().Start();
}

void TfrmMeasure::menuBackParClick()
{
    if (TZovData *data = DataModule())
        BackupSettings(this, *data, FProgramDir, FSteps.ChooseBackupFile);
}

void TfrmMeasure::menuResParClick()
{
    TZovData *data = DataModule();
    if (!data || !RestoreSettings(this, *data, FProgramDir, FSteps.ChooseBackupFile))
        return;
    // What the program writes back at exit is the restored block and test,
    // not what it read at start.
    data->LoadGlobalParams(FGlbParam->Settings, FlexuralSide());
    SelectLastTest();
}

// btnOneChk / btnCheck: the verification window in its mode, the status
// timer off while it is open.
void TfrmMeasure::CheckClick(TMyGlbParam::TCheckMode mode)
{
    TCtrlBox *box = CurrentDriver();
    if (!box || (FRun && FRun->Active()))
        return;
    FRun->Idle().Stop();
    FGlbParam->CheckMode = mode;
    TfrmCheck window(*box, *FGlbParam, DataModule(), FLoadUnit, FLoadCoe, &FRun->State().ValveStart, this);
    window.exec();
    ResetChart();
    FRun->Idle().Start();
}

void TfrmMeasure::NChangeAutoORHandClick()
{
    TCtrlBox *box = CurrentDriver();
    if (!box)
        return;
    TChange dialog(box->HandMode(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ApplyControlMode(DataModule(), *box, dialog.Choice(), this))
        MsgWarning(tr("设置保存失败,请检查数据库!"), this);
}

// ---------------------------------------------------------------------------
// Shutdown

bool TfrmMeasure::FormCloseQuery()
{
    if (FRun->Running()) {
        MsgWarning(tr("正在检测中，请先结束后退出"), this);
        return false;
    }
    if (FRun->GroupActive()) {
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
    FRun->Idle().Stop();
    Sleep(20);
    FConnection->Leave();
    FRun->KillSamplingTimer();

    TZovData *data = DataModule();
    if (!data)
        return;
    if (TCtrlBox *driver = CurrentDriver())
        driver->SaveRunState();
    data->SaveGlobalParams(FGlbParam->Settings);

    TSettingsStore(*data).SetTestIndex(StoredBoxModel(FMachineType).FlexuralSide(), CheckedTestIndex());
}

void TfrmMeasure::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    // The sampling thread ends before the drivers it talks to.
    if (FRun) {
        FRun->Idle().Stop();
        FRun->KillSamplingTimer();
    }
    if (FConnection)
        FConnection->FinishAll();
    FMyFunction.reset();
    if (FData) {
        if (ZovData() == FData.get())
            SetZovData(nullptr);
        FData.reset();
    }
    FGlbParam.reset();
    FWaitWindow.reset();
}


} // namespace kv
