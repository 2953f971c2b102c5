// The main window's side of the run: the run is created with this window as
// its observer, the operator's commands go to it, and what it reports is
// shown in the displays, the status bar and the load-time curve.
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowParts.h"

#include "link/CtrlBox.h"
#include "link/ParamSet.h"
#include "ui/params/DifferenceDialog.h"
#include "store/DataModule.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

namespace kv {

using namespace mw;

void TfrmMeasure::CreateRun()
{
    TRunContext context;
    context.Box = [this] { return CurrentDriver(); };
    context.Test = [this] { return FMyFunction ? FMyFunction->CurrentTest() : nullptr; };
    context.Reinitialise = [this](int silentTick) { FConnection->Reinitialise(silentTick); };
    context.Settings = &FGlbParam->Settings;
    context.LoadCoe = [this] { return FLoadCoe; };
    context.OutFileDir = FGlbParam->OutFileDir;
    context.Observer = this;
    context.ResolveDifferences = [this] {
        if (TCtrlBox *box = CurrentDriver())
            if (auto *params = dynamic_cast<TBaseParams *>(box->ParamSet()))
                TfrmMessage::Resolve(*params, this, FProgramDir, FUserName);
    };
    FRun = std::make_unique<TRunSequence>(std::move(context));
}

void TfrmMeasure::ConnectRun()
{
    TRunSequence *run = FRun.get();
    connect(FRunButton, &QPushButton::clicked, this, [run] { run->RunClick(); });
    connect(FStopButton, &QPushButton::clicked, this, [run] { run->StopClick(); });
    connect(FEndGroupButton, &QToolButton::clicked, this, [this, run] {
        if (FRunButton->isEnabled())
            run->EndGroupClick();
    });
    connect(FDemonstrationItem, &QAction::triggered, this, [this, run] {
        if (FRunButton->isEnabled())
            run->DemonstrationClick();
    });
    connect(FConstantLoadButton, &QToolButton::clicked, this, [this] { btnStableClick(); });
    connect(FCalibrationButton, &QToolButton::clicked, this,
            [this] { CheckClick(TMyGlbParam::TCheckMode::Calibration); });
    connect(FVerificationButton, &QToolButton::clicked, this,
            [this] { CheckClick(TMyGlbParam::TCheckMode::Verification); });
    connect(FDemoLoadButton, &QPushButton::clicked, this, [run] { run->DemoCommand(bcManualUp); });
    connect(FDemoHoldButton, &QPushButton::clicked, this, [run] { run->DemoCommand(bcKeep); });
    connect(FDemoUnloadButton, &QPushButton::clicked, this, [run] { run->DemoCommand(bcManualDown); });
    for (QObject *c : std::initializer_list<QObject *>{FRunButton, FStopButton, FEndGroupButton, FDemonstrationItem,
                                                       FDemoLoadButton, FDemoHoldButton, FDemoUnloadButton})
        SetCommandAvailable(c, true);
    SetCommandAvailable(FConstantLoadButton, static_cast<bool>(FSteps.ConstantLoadDialog));
    connect(FReportButton, &QToolButton::clicked, this, [this] { btnPrintClick(); });
    SetCommandAvailable(FReportButton, static_cast<bool>(FSteps.RecordsWindow));
    connect(FReportSettingsItem, &QAction::triggered, this, [this] {
        if (FSteps.ReportSettings)
            FSteps.ReportSettings(*this);
    });
    SetCommandAvailable(FReportSettingsItem, static_cast<bool>(FSteps.ReportSettings));
    // The window sees every key first (space declares a break, Shift stops).
    qApp->installEventFilter(this);
    FChartView->viewport()->installEventFilter(this);
}

// btnPrint: the records window, with the box's streaming and the status
// timer off while it is open.
void TfrmMeasure::btnPrintClick()
{
    if (!FSteps.RecordsWindow)
        return;
    TCtrlBox *box = CurrentDriver();
    if (box)
        box->SetADState(adOff);
    FRun->Idle().Stop();
    FSteps.RecordsWindow(*this);
    if (box)
        box->SetADState(adRelative);
    FRun->Idle().Start();
}

// btnStable: the constant-load dialog with the box's streaming off; a
// confirmed hold starts its run from the event loop.
void TfrmMeasure::btnStableClick()
{
    TCtrlBox *box = CurrentDriver();
    if (!box || !FSteps.ConstantLoadDialog)
        return;
    box->SetADState(adOff);
    FRun->Idle().Stop();
    float force = 0.0f;
    int seconds = 0;
    const bool confirmed = FSteps.ConstantLoadDialog(*this, force, seconds);
    box->SetADState(adRelative);
    FRun->Idle().Start();
    if (confirmed)
        FRun->StartConstantLoad(force, seconds);
}

// During a run: both chart axes back to their current full range.
void TfrmMeasure::ZoomReset()
{
    if (!FRun->Running())
        return;
    FChart->zoomReset();
    FForceAxis->setRange(0, FForceAxisMax);
    FTimeAxis->setRange(0, FTimeAxisMax);
    FForceAxis->setTickCount(11);
    FTimeAxis->setTickCount(11);
}

void TfrmMeasure::ResetChart()
{
    const TCtrlBox *box = CurrentDriver();
    const TChartAxes axes = StartAxes(box ? box->FMaxLoad : 0.0, FLoadCoe);
    ResetChart(axes.ForceMax, axes.TimeMax);
}

void TfrmMeasure::ResetChart(float forceMax, float timeMax)
{
    FCurveSeries->clear();
    // The last specimen's peak mark and its label go with it.
    FPeakSeries->clear();
    FPeakSeries->setPointLabelsVisible(false);
    FTimeAxis->setRange(0, timeMax);
    FTimeAxis->setTickCount(11);
    FForceAxis->setRange(0, forceMax);
    FForceAxis->setTickCount(11);
    FForceAxisMax = forceMax;
    FTimeAxisMax = timeMax;
}

// ---------------------------------------------------------------------------
// The run's reports

QLabel *TfrmMeasure::Display(TRunDisplay display) const
{
    switch (display) {
    case TRunDisplay::Force: return FForceDisplay;
    case TRunDisplay::PeakForce: return FPeakForceDisplay;
    case TRunDisplay::Stress: return FStrengthDisplay;
    case TRunDisplay::PeakStress: return FPeakStrengthDisplay;
    case TRunDisplay::Speed: return FSpeedDisplay;
    case TRunDisplay::Time: return FTimeDisplay;
    }
    return FTimeDisplay;
}

const QString &TfrmMeasure::FormatOf(TRunDisplay display) const
{
    switch (display) {
    case TRunDisplay::Force:
    case TRunDisplay::PeakForce: return FLoadFormat;
    case TRunDisplay::Stress:
    case TRunDisplay::PeakStress: return FStressFormat;
    case TRunDisplay::Speed:
    case TRunDisplay::Time: break;
    }
    return FSpeedFormat;
}

void TfrmMeasure::ShowValue(TRunDisplay display, double value) { ShowDisplay(Display(display), value, FormatOf(display)); }

void TfrmMeasure::ShowText(TRunDisplay display, const QString &text) { Display(display)->setText(text); }

void TfrmMeasure::PanelText(TStatusPanel panel, const QString &text) { SetPanelText(static_cast<int>(panel), text); }

void TfrmMeasure::ChartReset(float forceMax, float timeMax) { ResetChart(forceMax, timeMax); }

void TfrmMeasure::CurvePoint(float t, float force) { FCurveSeries->append(t, force); }

void TfrmMeasure::AxisGrown(TRunAxis axis, float max)
{
    QValueAxis *a = axis == TRunAxis::Force ? FForceAxis : FTimeAxis;
    a->setRange(0, max);
    a->setTickCount(11);
    (axis == TRunAxis::Force ? FForceAxisMax : FTimeAxisMax) = max;
}

void TfrmMeasure::PeakMark(float t, double force)
{
    FPeakSeries->clear();
    FPeakSeries->append(t, force);
    FPeakSeries->setPointLabelsFormat(QCoreApplication::translate("kv::TRunSequence", "最大力值") +
                                  QString::asprintf("%.2f", force) + FLoadUnit);
    FPeakSeries->setPointLabelsColor(Qt::black);
    FPeakSeries->setPointLabelsVisible(true);
}

void TfrmMeasure::RunStarting()
{
    activateWindow();
    FForceDisplay->setFocus();
}

void TfrmMeasure::StateChanged()
{
    const bool demo = FRun->State().DemoControls;
    for (QPushButton *b : {FDemoLoadButton, FDemoHoldButton, FDemoUnloadButton})
        b->setVisible(demo);
    EnableAllButton();
}

// After a hold the group commands come back in place of the speed stages.
void TfrmMeasure::Unloaded(TRunMode mode)
{
    if (mode != TRunMode::ConstantLoad)
        return;
    FSlowButton->setVisible(false);
    FFastButton->setVisible(false);
    FEndGroupButton->setVisible(true);
    FExitButton->setVisible(true);
}

void TfrmMeasure::StatusTicked() { RefreshValvePanel(); }

} // namespace kv
