// The main window's part of the test modules: the parameter panel, the
// caption and chart reset of a selection, and the side switch of two-frame
// machines, which brings another driver and another set of tests.
#include "ui/main/MainWindow.h"

#include "link/BoxModels.h"

#include "store/DataModule.h"
#include "store/Settings.h"
#include "Clock.h"
#include "MessageService.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <cmath>

namespace kv {

namespace {

// The application-starting cursor for the lifetime of the guard.
struct TBusyCursor {
    TBusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void TfrmMeasure::ShowParamForm(QWidget *form)
{
    if (!form)
        return;
    TakeParamForm();
    form->setParent(PnlParam, Qt::Widget);
    PnlParam->layout()->addWidget(form);
    form->show();
    FParamForm = form;
}

void TfrmMeasure::TakeParamForm()
{
    if (!FParamForm)
        return;
    QWidget *form = FParamForm;
    FParamForm = nullptr;
    PnlParam->layout()->removeWidget(form);
    form->hide();
    form->setParent(nullptr);
}

void TfrmMeasure::RefreshCaption()
{
    const TStartupDriver *driver = CurrentDriver();
    const double maxLoad = driver ? driver->MaxLoad() : 0.0;
    const long shown = std::lround(maxLoad / (FLoadCoe > 0 ? FLoadCoe : 1.0));
    setWindowTitle(QStringLiteral("KalvioV6.1 - [ ") + QString::number(shown) + FLoadUnit + QStringLiteral(" ]"));
}

void TfrmMeasure::ResetChart()
{
    Series1->clear();
    Series2->clear();
    AxisTime->setRange(0, 20);
    AxisTime->setTickCount(11);
    const TStartupDriver *driver = CurrentDriver();
    const double maxLoad = driver ? driver->MaxLoad() : 0.0;
    // A force axis needs some length even before the driver knows its maximum.
    const long forceMax = std::max(1L, std::lround(maxLoad / (FLoadCoe > 0 ? FLoadCoe : 1.0) / 2.0));
    AxisLoad->setRange(0, static_cast<qreal>(forceMax));
    AxisLoad->setTickCount(11);
    FForceAxisMax = static_cast<float>(forceMax);
    FTimeAxisMax = 20.0f;
}

void TfrmMeasure::OnClickMachine(QToolButton *button)
{
    const bool toCompressive = button == btnKY;
    if (!toCompressive && button != btnKZ)
        return;
    const int mask = toCompressive ? mkCompressive : mkFlexural;
    const int newType = SideModel(FMachineType, mask);
    // Never while a specimen runs or a group is open: its test would go.
    if (newType < 0 || newType == FMachineType || FRunning || FGroupActive) {
        SetupMachine(FMachineType); // the pressed button stays the active side
        return;
    }
    TBusyCursor busy;

    // 2. The tests of the side being left go; the status timer rests.
    // A form that its test does not free with itself has no owner left.
    QPointer<QWidget> orphan = FParamForm;
    TakeParamForm();
    FMyFunction->ClearTests();
    delete orphan.data();
    timeStsBar->stop();
    const int noted = CheckedTestIndex();
    QCoreApplication::processEvents();

    // 3. Tests, driver, menu and settings of the new side.
    if (FSteps.LoadTestModules)
        FSteps.LoadTestModules(*this, FProgramDir + QStringLiteral("/dll/"), mask);
    if (TStartupDriver *old = CurrentDriver()) {
        old->Deactivate();
        old->Finish();
    }
    FMachineType = newType;
    SetupMachine(newType);
    pmTestList->clear();
    if (FSteps.BuildTestMenu)
        FSteps.BuildTestMenu(*this, mask);
    int index = 0;
    if (TZovData *data = DataModule()) {
        TSettingsStore settings(*data);
        settings.SetTestIndex(toCompressive, noted);
        settings.TestIndex(!toCompressive, index);
        settings.SetMachineType(newType);
    }

    // 4-5. The new driver's box.
    ContactAfterSwitch();
    RefreshDriverCommands();
    if (IsOnline()) {
        SetPanelText(2, tr("系统状态：联机工作"));
    } else {
        SetPanelText(2, tr("系统状态：脱机工作"));
        for (QObject *c : std::initializer_list<QObject *>{btnRun, menuRun, btnCheck, btnOneChk}) {
            if (auto *w = qobject_cast<QWidget *>(c))
                w->setEnabled(false);
            else if (auto *a = qobject_cast<QAction *>(c))
                a->setEnabled(false);
        }
    }

    // 6. The test this side had last; beyond the menu, the first one.
    const QList<QAction *> items = pmTestList->actions();
    if (!items.isEmpty() && FSteps.SelectTest) {
        if (index < 0 || index >= items.size())
            index = 0;
        FSteps.SelectTest(*this, items[index]);
    }

    // 7. Run fields of the new driver, status timer, peak displays.
    if (TStartupDriver *driver = CurrentDriver()) {
        driver->ResetRunFields();
        const int valveMax = static_cast<int>(std::lround(driver->ValveInit() * 1.2));
        tbValveSet->setMaximum(valveMax);
        guValvePos->setMaximum(valveMax);
    }
    timeStsBar->start();
    ShowValue(stMaxPre, 0, FLoadFormat);
    ShowValue(stMaxMpa, 0, FStressFormat);
}

void TfrmMeasure::ContactAfterSwitch()
{
    TStartupDriver *driver = CurrentDriver();
    if (!driver)
        return;
    driver->Init();
    driver->OpenPort();
    driver->SetADState(0);
    Sleep(100);
    for (int i = 0; i < 12; ++i)
        driver->ReadForceCode();
    RetryContactUntilOnline(driver);
    driver->Activate();
    if (driver->IsOnline()) {
        driver->SetADState(2);
        driver->CompareParams(this);
        driver->SetADState(0);
    }
}

} // namespace kv
