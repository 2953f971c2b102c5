// The main window's part of the test modules: the test menu and the
// selection of a test, the parameter panel, the caption, and the side switch
// of two-frame machines, which brings another driver and another set of
// tests.
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowParts.h"
#include "ui/main/ModuleSteps.h"

#include "host/ModuleHost.h"
#include "link/BoxModels.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "store/Settings.h"
#include "MessageService.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
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
    form->setParent(FParamPanel, Qt::Widget);
    FParamPanel->layout()->addWidget(form);
    form->show();
    FParamForm = form;
}

void TfrmMeasure::TakeParamForm()
{
    if (!FParamForm)
        return;
    QWidget *form = FParamForm;
    FParamForm = nullptr;
    FParamPanel->layout()->removeWidget(form);
    form->hide();
    form->setParent(nullptr);
}

void TfrmMeasure::RefreshCaption()
{
    const TCtrlBox *box = CurrentDriver();
    const double maxLoad = box ? box->FMaxLoad : 0.0;
    const long shown = std::lround(maxLoad / (FLoadCoe > 0 ? FLoadCoe : 1.0));
    setWindowTitle(QStringLiteral("KalvioV6.1 - [ ") + QString::number(shown) + FLoadUnit + QStringLiteral(" ]"));
}

void TfrmMeasure::OnClickMachine(QToolButton *button)
{
    const bool toCompressive = button == FCompressiveSideButton;
    if (!toCompressive && button != FFlexuralSideButton)
        return;
    const int mask = toCompressive ? mkCompressive : mkFlexural;
    const int newType = SideModel(FMachineType, mask);
    // Never while a specimen runs or a group is open: its test would go.
    if (newType < 0 || newType == FMachineType || FRun->Running() || FRun->GroupActive()) {
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
    FRun->Idle().Stop();
    const int noted = CheckedTestIndex();
    QCoreApplication::processEvents();

    // 3. Tests, driver, menu and settings of the new side.
    if (FSteps.LoadTestModules)
        FSteps.LoadTestModules(*this, FProgramDir + QStringLiteral("/dll/"), mask);
    FConnection->LeaveSide();
    FMachineType = newType;
    SetupMachine(newType);
    FTestMenu->clear();
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
    FConnection->ConnectSide();
    RefreshDriverCommands();
    if (IsOnline()) {
        SetPanelText(2, tr("系统状态：联机工作"));
    } else {
        SetPanelText(2, tr("系统状态：脱机工作"));
        for (QObject *c : std::initializer_list<QObject *>{FRunButton, FDemonstrationItem, FVerificationButton,
                                                           FCalibrationButton})
            mw::SetEnabledOf(c, false);
    }

    // 6. The test this side had last; beyond the menu, the first one.
    const QList<QAction *> items = FTestMenu->actions();
    if (!items.isEmpty() && FSteps.SelectTest) {
        if (index < 0 || index >= items.size())
            index = 0;
        FSteps.SelectTest(*this, items[index]);
    }

    // 7. Run fields of the new driver, status timer, peak displays.
    if (TCtrlBox *driver = CurrentDriver()) {
        driver->ResetRunFields(QDateTime::currentDateTime());
        const int valveMax = static_cast<int>(std::lround(driver->FValveInit * 1.2));
        FValveSlider->setMaximum(valveMax);
        FValveGauge->setMaximum(valveMax);
    }
    FRun->Idle().Start();
    ShowValue(FPeakForceDisplay, 0, FLoadFormat);
    ShowValue(FPeakStrengthDisplay, 0, FStressFormat);
}

// ---------------------------------------------------------------------------
// The test menu and the selection of a test (the module host's window steps)

void BuildTestMenu(TfrmMeasure &window, int mask)
{
    QMenu *menu = window.TestMenu();
    menu->clear();
    if (!window.MyFunction())
        return;
    for (const TTestMenuEntry &entry : TestMenuEntries(*window.MyFunction(), mask)) {
        QAction *item = menu->addAction(entry.Caption);
        item->setCheckable(true);
        item->setData(entry.ListIndex);
        QObject::connect(item, &QAction::triggered, &window, [&window, item] {
            if (window.Steps().SelectTest)
                window.Steps().SelectTest(window, item);
        });
    }
}

void SelectTest(TfrmMeasure &window, QAction *item)
{
    TMyFunction *list = window.MyFunction();
    bool tagged = false;
    const int tag = item ? item->data().toInt(&tagged) : -1;
    TBaseTest *test = list && tagged ? list->Test(tag) : nullptr;
    if (!test)
        return;

    // 1-2. The status timer rests; the previous form leaves the panel.
    TIdleMonitor &idle = window.Run().Idle();
    const bool timerRan = idle.Active();
    idle.Stop();
    window.TakeParamForm();

    // 3. The item is the only one checked; its test is current.
    const QList<QAction *> items = window.TestMenu()->actions();
    for (QAction *a : items)
        a->setChecked(false);
    item->setChecked(true);
    list->SetCurrentIndex(tag);

    try {
        // 4. Units and digits of the test.
        const int forceDigits = window.ReadUnit(0, test->GetDefaultUnit(0));
        const int strengthDigits = window.ReadUnit(1, test->GetDefaultUnit(1));
        const int speedDigits = window.ReadUnit(2, 0);
        window.SelectDigits(forceDigits, strengthDigits, speedDigits);

        // 5-7. Operator and date of the group, caption, an empty chart.
        test->FGroupData.FOperator = window.FUserName;
        test->FGroupData.FTestDate = QDateTime::currentDateTime();
        window.RefreshCaption();
        window.ResetChart();

        // 8. The test's parameter form fills the parameter panel.
        if (QWidget *form = test->CreateParamForm(nullptr))
            window.ShowParamForm(form);

        // 9. Remembered for the next start and the next side switch.
        if (TZovData *data = window.DataModule())
            TSettingsStore(*data).SetTestIndex(window.FlexuralSide(), items.indexOf(item));

        // 10. A group of this number left unfinished.
        if (test->CheckGroupState() == 2) {
            QCoreApplication::processEvents();
            const QString question =
                QCoreApplication::translate("kv::TfrmMeasure",
                                            "试验编号为%1的试验上一次并没有完成,是否需要继续试验?")
                    .arg(test->FGroupNo);
            if (MsgYesNo(question, TMsgIcon::Warning, &window)) {
                test->ResumeGroup();
                window.Run().GroupResumed();
            } else {
                test->CloseUnfinishedGroup();
            }
        }
    } catch (const std::exception &e) {
        MsgError(QString::fromLocal8Bit(e.what()), &window);
    }

    // 11.
    if (timerRan)
        idle.Start();
    window.LayoutRunButtons();
}

void InstallTestModuleHost(TMeasureSteps &steps)
{
    steps.LoadTestModules = [](TfrmMeasure &window, const QString &folder, int mask) {
        if (TMyFunction *list = window.MyFunction()) {
            TZovData *data = window.DataModule();
            list->SetModuleEnvironment(qobject_cast<QApplication *>(QCoreApplication::instance()),
                                       QGuiApplication::primaryScreen());
            list->LoadTestModules(folder, mask, data ? &data->conZovDb : nullptr);
        }
    };
    steps.BuildTestMenu = [](TfrmMeasure &window, int mask) { BuildTestMenu(window, mask); };
    steps.SelectTest = [](TfrmMeasure &window, QAction *item) { SelectTest(window, item); };
}

} // namespace kv
